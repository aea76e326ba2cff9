#!/usr/bin/env bash
# Installs the package with apt-get, checks the program folder, the link and
# the operator's files, removes it (the operator's files stay), installs it
# again over them (they are kept) and purges it (they go). It changes the
# machine, so it runs only as root in CI (CI=true), or when KVL_PACKAGE_TEST=1
# says the machine may be changed; otherwise it is skipped (status 77).
# Usage: install_package.sh PACKAGE_DIR
set -euo pipefail
if [ "$(id -u)" -ne 0 ] || { [ "${CI:-}" != true ] && [ "${KVL_PACKAGE_TEST:-}" != 1 ]; }; then
    echo "install_package: skipped: needs root on a throwaway machine (CI=true or KVL_PACKAGE_TEST=1)"
    exit 77
fi
deb=$(ls "$1"/kvltalviopos_*.deb | head -n 1)
folder=/opt/kvltalviopos
fail() { echo "install_package: $*" >&2; exit 1; }
export DEBIAN_FRONTEND=noninteractive
apt_get() { apt-get -o DPkg::Lock::Timeout=900 -y -qq "$@" >/dev/null; }

if dpkg -s kvltalviopos >/dev/null 2>&1; then
    fail "kvltalviopos is already installed here; not touching it"
fi

apt_get install "$deb"
[ "$(stat -c '%U:%G %a' "$folder")" = "root:kvltalviopos 2775" ] || fail "program folder owner/mode"
[ "$(readlink /usr/bin/KvlTalvioPos)" = "$folder/KvlTalvioPos" ] || fail "link on the PATH"
[ -f "$folder/ParamTlvPos.TXT" ] && [ -f "$folder/ConfigTlvPos.TXT" ] || fail "samples not copied"
getent passwd kvltalviopos >/dev/null || fail "no service user"
out=$(KVL_HEADLESS=1 /usr/bin/KvlTalvioPos -V) || fail "-V from the PATH failed"
grep -q '^Versione 1.0.0.7$' <<<"$out" || fail "-V said: $out"

# The operator's edits survive removal and reinstallation.
printf '1\r\n%s/ConfigTlvPos.TXT\r\n%s/LogTlvPos.TXT\r\n' "$folder" "$folder" >"$folder/ParamTlvPos.TXT"
echo '; edited by the operator' >>"$folder/ConfigTlvPos.TXT"
apt_get remove kvltalviopos
[ ! -e "$folder/KvlTalvioPos" ] && [ ! -e /usr/bin/KvlTalvioPos ] || fail "program left after remove"
grep -q 'edited by the operator' "$folder/ConfigTlvPos.TXT" || fail "configuration lost on remove"
apt_get install "$deb"
grep -q '^1' "$folder/ParamTlvPos.TXT" || fail "parameter file replaced on reinstall"
grep -q 'edited by the operator' "$folder/ConfigTlvPos.TXT" || fail "configuration replaced"

apt_get purge kvltalviopos
[ ! -e "$folder" ] || fail "purge left $folder: $(ls -A "$folder")"
! getent passwd kvltalviopos >/dev/null || fail "purge left the service user"
echo "install_package: installed, removed, reinstalled and purged cleanly"
