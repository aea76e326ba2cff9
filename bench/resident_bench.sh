#!/usr/bin/env bash
# Measures the resident service against terminal-sim answering at once:
#   - command-to-result latency (command file written -> command file gone,
#     which the ECR takes as "result complete"), compared with the pacing;
#   - the service's CPU share while idle, over IDLE_SECONDS (default 60);
#   - its resident memory.
# Usage: bench/resident_bench.sh [commands] (default 30). Needs build/bin.
set -euo pipefail
cd "$(dirname "$0")/.."
count=${1:-30}
idle_seconds=${IDLE_SECONDS:-60}
. bench/installation.sh
start_simulator 8200
prepare_installation

KVL_HEADLESS=1 "$work/KvlTalvioPos" 2>"$work/bridge.err" &
bridge_pid=$!
sleep 2

now_ms() { echo $(($(date +%s%N) / 1000000)); }

latencies=()
for i in $(seq "$count"); do
    # Spread the drops over the polling period, as an ECR's sales would be.
    sleep "0.$((RANDOM % 10))"
    start=$(now_ms)
    printf 'POS_PAGAME,T1,E1,A%09d,P00\r\n' "$((100 + i))" >"$work/ecr/SR_DATI.TXT"
    while [ -e "$work/ecr/SR_DATI.TXT" ]; do sleep 0.005; done
    latencies+=($(($(now_ms) - start)))
    grep -q '^ESITO_COMANDO = OK' "$work/ecr/SR_OUT.TXT" || echo "command $i: not OK" >&2
done

sorted=$(printf '%s\n' "${latencies[@]}" | sort -n)
pick() { printf '%s\n' "$sorted" | awk -v p="$1" -v n="$count" 'NR == int((n - 1) * p) + 1'; }
echo "command-to-result latency over $count payments (ms):"
echo "  min $(pick 0)  median $(pick 0.5)  p90 $(pick 0.9)  max $(pick 1)"
echo "  designed: a look every ~1300 ms when idle (1000 ms wait + 300 ms timer),"
echo "  plus 100 ms for a file stamped less than 100 ms before the look, plus the exchange."

ticks() { awk '{print $14 + $15}' "/proc/$bridge_pid/stat"; }
hz=$(getconf CLK_TCK)
before=$(ticks)
sleep "$idle_seconds"
after=$(ticks)
echo "idle CPU over ${idle_seconds}s: $(awk -v t=$((after - before)) -v hz="$hz" -v s="$idle_seconds" \
    'BEGIN { printf "%.3f%%", 100 * t / hz / s }')"
echo "resident memory: $(awk '/^VmRSS/ {print $2, $3}' "/proc/$bridge_pid/status")" \
    "(peak $(awk '/^VmHWM/ {print $2, $3}' "/proc/$bridge_pid/status"))"
