#!/usr/bin/env bash
# Memory of the one-shot run on command files of SIZE_MB megabytes (default
# 100): short comment lines followed by a status request, then one line of
# that length, answered like any other, then a status request whose start
# reads the journal holding that line's block. The peak resident memory
# should stay a small multiple of the longest line, whatever the file's size.
# Usage: bench/long_line_bench.sh [SIZE_MB]. Needs build/bin and /usr/bin/time.
set -euo pipefail
cd "$(dirname "$0")/.."
size_mb=${1:-100}
. bench/installation.sh
start_simulator 8300
prepare_installation

run() {
    KVL_HEADLESS=1 /usr/bin/time -f '%M %e' -o "$work/time" "$work/KvlTalvioPos" -E 2>"$work/bridge.err"
    read -r peak_kb seconds <"$work/time"
    [ ! -e "$work/ecr/SR_DATI.TXT" ] || echo "the command file is still there" >&2
    echo "$1: peak resident memory $((peak_kb / 1024)) MB," \
        "${seconds} s; result file $(($(stat -c %s "$work/ecr/SR_OUT.TXT") / 1024)) kB," \
        "$(grep -c '^TIPO_COMANDO' "$work/ecr/SR_OUT.TXT") block(s)"
}

{
    (yes ';a comment line of the ECR' || true) | head -c $((size_mb * 1024 * 1024)) | sed 's/$/\r/'
    printf '\r\nPOS_STATUS\r\n'
} >"$work/ecr/SR_DATI.TXT"
run "${size_mb} MB of short comment lines"

{
    printf 'POS_PAGAME,T1,E1,A'
    head -c $((size_mb * 1024 * 1024)) /dev/zero | tr '\0' '7'
    printf '\r\n'
} >"$work/ecr/SR_DATI.TXT"
run "one command line of ${size_mb} MB"

# The next start reads the journal, which now holds that line's block.
printf 'POS_STATUS\r\n' >"$work/ecr/SR_DATI.TXT"
run "a status request after it"
