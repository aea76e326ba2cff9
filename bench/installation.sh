# Shared by the benchmark scripts: a terminal-sim on 127.0.0.1 and a program
# folder in a temporary folder, removed with both processes at exit.
# Source it after `cd` to the repository; it sets bin, work, port, sim_pid and
# leaves bridge_pid for the caller.
bin=${KVL_BIN:-build/bin}
work=$(mktemp -d)
sim_pid=""
bridge_pid=""
cleanup() {
    [ -n "$bridge_pid" ] && kill -TERM "$bridge_pid" 2>/dev/null && wait "$bridge_pid" 2>/dev/null
    [ -n "$sim_pid" ] && kill -TERM "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# start_simulator FIRST_PORT: the first free port from FIRST_PORT on.
start_simulator() {
    for port in $(seq "$1" $(($1 + 100))); do
        "$bin/terminal-sim" --tcp "127.0.0.1:$port" >"$work/sim.log" 2>&1 &
        sim_pid=$!
        sleep 0.2
        grep -q '^listening' "$work/sim.log" && return 0
        wait "$sim_pid" 2>/dev/null || true
        sim_pid=""
    done
    echo "no free port for terminal-sim" >&2
    exit 1
}

# The program, its library, a configuration for the simulator and the ECR's
# folder "ecr", a parameter file with the log off.
prepare_installation() {
    cp "$bin/KvlTalvioPos" "$bin/libiae17.so" "$work/"
    mkdir "$work/ecr"
    printf 'TIPO: ETH\r\nIPAD: 127.0.0.1\r\nPORT: %s\r\nINPF: %s\r\nOUTF: %s\r\n' \
        "$port" "$work/ecr/SR_DATI.TXT" "$work/ecr/SR_OUT.TXT" >"$work/ConfigTlvPos.TXT"
    printf '0\r\n%s\r\n%s\r\n' "$work/ConfigTlvPos.TXT" "$work/LogTlvPos.TXT" >"$work/ParamTlvPos.TXT"
}
