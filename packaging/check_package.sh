#!/usr/bin/env bash
# Builds the Debian package from a built tree and checks it: the files of the
# decided layout, the link on the PATH, the samples with CR LF lines, the
# maintainer scripts, and Depends filled from the shared libraries.
# Usage: check_package.sh BUILD_DIR CPACK
set -euo pipefail
build=$1
cpack=$2
fail() { echo "check_package: $*" >&2; exit 1; }

cd "$build"
rm -rf package
"$cpack" -G DEB --config CPackConfig.cmake >cpack.log 2>&1 || { cat cpack.log; fail "cpack failed"; }
deb=$(ls package/kvltalviopos_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no package in $build/package"

listing=$(dpkg -c "$deb")
echo "$listing"
expect_entry() {
    grep -qE "$1" <<<"$listing" || fail "missing: $1"
}
expect_entry '^-rwxr-xr-x root/root .* \./opt/kvltalviopos/KvlTalvioPos$'
expect_entry '^-rw[x-]r-[x-]r-[x-] root/root .* \./opt/kvltalviopos/libiae17\.so$'
expect_entry '^-rwxr-xr-x root/root .* \./opt/kvltalviopos/terminal-sim$'
expect_entry '\./opt/kvltalviopos/Manuale_TalvioPosIngenico\.pdf$'
expect_entry '^lrwxrwxrwx .* \./usr/bin/KvlTalvioPos -> /opt/kvltalviopos/KvlTalvioPos$'
expect_entry '\./usr/share/applications/kvltalviopos\.desktop$'
expect_entry '\./etc/xdg/autostart/kvltalviopos\.desktop$'
expect_entry '\./lib/systemd/system/kvltalviopos\.service$'
expect_entry '\./usr/share/icons/hicolor/scalable/apps/kvltalviopos\.svg$'
expect_entry '\./usr/share/kvltalviopos/ConfigTlvPos\.TXT$'
expect_entry '\./usr/share/kvltalviopos/ParamTlvPos\.TXT$'
# The operator's files are not the package's: an upgrade would overwrite them.
if grep -qE '\./opt/kvltalviopos/(ConfigTlvPos|ParamTlvPos)\.TXT$' <<<"$listing"; then
    fail "the package owns a file the operator edits"
fi
if grep -qE '\./usr/local|/build' <<<"$listing"; then
    fail "a path outside the layout"
fi

info=$(dpkg -I "$deb")
echo "$info"
grep -q '^ Package: kvltalviopos$' <<<"$info" || fail "package name"
grep -q '^ Version: 1\.0\.0\.7$' <<<"$info" || fail "version"
depends=$(sed -n 's/^ Depends: //p' <<<"$info")
for needed in adduser libc6 libstdc++6 libqt6widgets6 libqt6svg6 libqt6gui6; do
    grep -q "$needed" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
for script in postinst prerm postrm; do
    grep -qE "^ +[0-9]+ bytes, +[0-9]+ lines +\* +$script" <<<"$info" || fail "no executable $script"
done

contents=$(mktemp -d)
trap 'rm -rf "$contents"' EXIT
dpkg-deb -x "$deb" "$contents"
param="$contents/usr/share/kvltalviopos/ParamTlvPos.TXT"
[ "$(cat "$param")" = $'0\r\n/opt/kvltalviopos/ConfigTlvPos.TXT\r\n/opt/kvltalviopos/LogTlvPos.TXT\r' ] ||
    fail "the sample parameter file: $(od -c "$param" | head -n 3)"
grep -q $'^INPF: SR_DATI.TXT\r$' "$contents/usr/share/kvltalviopos/ConfigTlvPos.TXT" ||
    fail "the sample configuration lacks its CR LF command file line"
if readelf -d "$contents/opt/kvltalviopos/KvlTalvioPos" | grep -qE 'R(UN)?PATH'; then
    fail "the installed program keeps a run path into the build tree"
fi
echo "check_package: $deb is complete"
