#!/usr/bin/env bash
# The program's start-up and memory with its Qt views (on an Xvfb display of
# its own with the trayer tray host) and headless (KVL_HEADLESS=1), against
# terminal-sim answering at once:
#   - start-up: from the start of the process to its first look for the
#     command file (the first opening of the command file's folder);
#   - resident memory (VmRSS, and the peak VmHWM) 3 s after the start.
# Usage: bench/desktop_bench.sh [runs] (default 10). Needs build/bin and
# build-bench/bin/startup_bench (bench/README.md).
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-10}
bin=${KVL_BIN:-build/bin}
probe=${KVL_PROBE:-build-bench/bin/startup_bench}
work=$(mktemp -d)
pids=()
cleanup() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        { kill -TERM "${pids[i]}" && wait "${pids[i]}"; } 2>/dev/null || true
    done
    rm -rf "$work"
    true
}
trap cleanup EXIT

for number in $(seq 121 160); do
    [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ] && continue
    Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do [ -S "/tmp/.X11-unix/X$number" ] && break; sleep 0.1; done
    [ -S "/tmp/.X11-unix/X$number" ] && break
done
display=":$number"
DISPLAY=$display env -u DBUS_SESSION_BUS_ADDRESS trayer --edge bottom --align right \
    --widthtype pixel --width 100 --heighttype pixel --height 24 >/dev/null 2>&1 &
pids+=($!)

for port in $(seq 8300 8400); do
    "$bin/terminal-sim" --tcp "127.0.0.1:$port" >"$work/sim.log" 2>&1 &
    sim=$!
    sleep 0.2
    grep -q '^listening' "$work/sim.log" && break
    kill "$sim" 2>/dev/null || true
done
pids+=("$sim")

mkdir "$work/in" "$work/out"
cp "$bin/KvlTalvioPos" "$bin/libiae17.so" "$work/"
printf 'TIPO: ETH\r\nIPAD: 127.0.0.1\r\nPORT: %s\r\nINPF: %s\r\nOUTF: %s\r\n' \
    "$port" "$work/in/SR_DATI.TXT" "$work/out/SR_OUT.TXT" >"$work/ConfigTlvPos.TXT"
printf '0\r\n%s\r\n%s\r\n' "$work/ConfigTlvPos.TXT" "$work/LogTlvPos.TXT" >"$work/ParamTlvPos.TXT"

measure() {
    local label=$1
    shift
    local looks=() rss=() hwm=()
    for _ in $(seq "$runs"); do
        line=$(env "$@" "$probe" "$work/in" 3000 "$work/KvlTalvioPos")
        looks+=("$(sed 's/.*first_look_ms=\([0-9-]*\).*/\1/' <<<"$line")")
        rss+=("$(sed 's/.*rss_kb=\([0-9-]*\).*/\1/' <<<"$line")")
        hwm+=("$(sed 's/.*hwm_kb=\([0-9-]*\).*/\1/' <<<"$line")")
    done
    median() { printf '%s\n' "$@" | sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'; }
    echo "$label: first look for the command file median $(median "${looks[@]}") ms" \
        "(min $(printf '%s\n' "${looks[@]}" | sort -n | head -n 1)," \
        "max $(printf '%s\n' "${looks[@]}" | sort -n | tail -n 1));" \
        "resident memory median $(median "${rss[@]}") kB, peak $(median "${hwm[@]}") kB"
}

echo "$runs runs each, terminal-sim on 127.0.0.1:$port"
measure "with the views (Xvfb $display, trayer)" DISPLAY="$display" KVL_HEADLESS=0 \
    XDG_RUNTIME_DIR="$work"
measure "headless (KVL_HEADLESS=1)" KVL_HEADLESS=1
if [ -x "${KVL_NOGUI_BIN:-build-nogui/bin}/KvlTalvioPos" ]; then
    cp "${KVL_NOGUI_BIN:-build-nogui/bin}/KvlTalvioPos" "$work/KvlTalvioPos"
    measure "built without views (-DKVL_GUI=OFF)" KVL_HEADLESS=1
fi
