#!/usr/bin/env bash
# Tests of lab/lab itself: the network it builds, the status it exits with, and that nothing of a run
# (namespace, link, process, temp dir) is left after it ends, fails, is interrupted or cannot start.
# Usage: lab_script_test.sh CASE (one of the case_* functions below, without the prefix).
# shellcheck disable=SC2016,SC2317 # commands are quoted for the run's shell; cases are called by name
set -euo pipefail
set -m # interrupt tests need background jobs that do not ignore SIGINT

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
LAB=$(realpath "$HERE/../../../lab/lab")
FAKE_SIM=$HERE/fake_sim.sh
RECORD_RUN=$HERE/record_run.sh
WORK=$(mktemp -d /tmp/lab-script-test.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
# The runs' temp dirs land here, apart from those of other runs.
export TMPDIR=$WORK/tmp FAKE_SIM_RECORD=$WORK/record
mkdir -p "$TMPDIR" "$FAKE_SIM_RECORD"
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

expect_eq() {
    [[ $1 == "$2" ]] || fail "$3: got '$1', expected '$2'"
}

expect_in() {
    [[ $1 == *"$2"* ]] || fail "$3: '$2' not in: $1"
}

# Runs lab/lab, keeping its status, stdout and stderr in STATUS, OUTPUT and ERRORS.
lab() {
    STATUS=0
    "$LAB" "$@" >"$WORK/stdout" 2>"$WORK/stderr" || STATUS=$?
    OUTPUT=$(<"$WORK/stdout")
    ERRORS=$(<"$WORK/stderr")
    cat "$WORK/stdout" "$WORK/stderr"
}

process_alive() {
    local stat fields
    read -r stat 2>/dev/null <"/proc/$1/stat" || return 1
    read -ra fields <<<"${stat##*) }"
    [[ ${fields[0]} != Z && ${fields[19]} == "$2" ]]
}

# Checks that the run recorded in the record dir left nothing, then empties the record dir.
expect_nothing_left() {
    local what=$1 run pid started namespaces left
    run=$(cat "$FAKE_SIM_RECORD/run" 2>/dev/null) || { fail "$what: the run was not recorded"; return; }
    namespaces=$(ip netns list | grep "^tolmlab-$run-" || true)
    [[ -z $namespaces ]] || fail "$what: namespaces left: $namespaces"
    # Wine makes a wine-* base dir in $TMPDIR; only the run's server dir in it belongs to the run.
    left=$(find "$TMPDIR" -mindepth 1 \( -mindepth 2 -o ! -name 'wine-*' \) -print)
    [[ -z $left ]] || fail "$what: temp files left: $left"
    if ip -o link show | grep -q ': tl'; then fail "$what: lab links in the machine's own namespace"; fi
    : >"$WORK/alive"
    while read -r pid started _; do
        if process_alive "$pid" "$started"; then
            echo "$pid $(tr '\0' ' ' <"/proc/$pid/cmdline")" >>"$WORK/alive"
        fi
    done < <(cat "$FAKE_SIM_RECORD"/*pids 2>/dev/null || true)
    [[ ! -s $WORK/alive ]] || fail "$what: processes left: $(cat "$WORK/alive")"
    rm -rf "${FAKE_SIM_RECORD:?}"/*
}

case_environment() {
    lab run --module-sides 3 --sim-binary "$FAKE_SIM" --sim "--first 'two words'" --sim "--rest" \
        -- bash -c '"$1" "$FAKE_SIM_RECORD" && "$2" module-exec --side 2 -- ip -4 -o address show tl0 \
                    >"$FAKE_SIM_RECORD/module-exec"' - "$RECORD_RUN" "$LAB"
    expect_eq "$STATUS" 0 "status"
    local run ready_file
    run=$(<"$FAKE_SIM_RECORD/run")
    expect_eq "$(tr '\n' ' ' <"$FAKE_SIM_RECORD/tool-links")" "lo tl0 " "links seen by the command"
    local -a sides=("tolmlab-$run-tool 10.77.0.1" "tolmlab-$run-m1 10.77.0.11" "tolmlab-$run-m2 10.77.0.12"
        "tolmlab-$run-m3 10.77.0.13")
    local side ns address
    for side in "${sides[@]}"; do
        read -r ns address <<<"$side"
        expect_in "$(cat "$FAKE_SIM_RECORD/network")" "$ns: lo tl0 " "links of $ns"
        expect_in "$(cat "$FAKE_SIM_RECORD/network")" "$ns: lo 127.0.0.1/8 tl0 $address/24 " "addresses of $ns"
        expect_in "$(cat "$FAKE_SIM_RECORD/network")" "$ns: default dev tl0" "default route of $ns"
    done
    expect_in "$(cat "$FAKE_SIM_RECORD/module-exec")" "10.77.0.12/24" "module-exec --side 2"
    ready_file=$(sed -n '4p' "$FAKE_SIM_RECORD/sim-1.args")
    expect_eq "$(head -n 3 "$FAKE_SIM_RECORD/sim-1.args" | tr '\n' '|')" "--first|two words|--ready-file|" \
        "simulator arguments of side 1"
    expect_eq "$(head -n 2 "$FAKE_SIM_RECORD/sim-3.args" | tr '\n' '|')" "--rest|--ready-file|" \
        "simulator arguments of side 3 (the last --sim)"
    local env
    env=$(<"$FAKE_SIM_RECORD/env")
    expect_in "$env" "TOLM_LAB=$run" "TOLM_LAB"
    expect_in "$env" "TOLM_LAB_TOOL_NS=tolmlab-$run-tool" "TOLM_LAB_TOOL_NS"
    expect_in "$env" "TOLM_LAB_MODULE_NS=tolmlab-$run-m1"$'\n' "TOLM_LAB_MODULE_NS"
    expect_in "$env" "TOLM_LAB_MODULE_NSES=tolmlab-$run-m1 tolmlab-$run-m2 tolmlab-$run-m3" "TOLM_LAB_MODULE_NSES"
    expect_in "$env" "TOLM_LAB_SIM_LOG=$(sed -n '6p' "$FAKE_SIM_RECORD/sim-1.args")" "TOLM_LAB_SIM_LOG"
    expect_in "$env" "TOLM_LAB_DIR=$(dirname "$ready_file")" "TOLM_LAB_DIR"
    expect_in "$env" "TOLM_SIM=$FAKE_SIM" "TOLM_SIM"
    expect_nothing_left "a run with three module sides"
}

# Two tool-side links: each on a segment of its own, module sides spread over them.
case_tool_links() {
    lab run --module-sides 3 --tool-links 2 --sim-binary "$FAKE_SIM" \
        -- bash -c '"$1" "$FAKE_SIM_RECORD" && ip -n "${TOLM_LAB_TOOL_NS%-tool}-sw" -o link show \
                    >"$FAKE_SIM_RECORD/switch"' - "$RECORD_RUN"
    expect_eq "$STATUS" 0 "status"
    local run network
    run=$(<"$FAKE_SIM_RECORD/run")
    network=$(<"$FAKE_SIM_RECORD/network")
    expect_eq "$(tr '\n' ' ' <"$FAKE_SIM_RECORD/tool-links")" "lo tl0 tl1 " "links seen by the command"
    expect_in "$network" "tolmlab-$run-tool: lo 127.0.0.1/8 tl0 10.77.0.1/24 tl1 10.77.1.1/24 " \
        "addresses of the tool side"
    expect_in "$network" "tolmlab-$run-tool: default dev tl0" "default route of the tool side"
    expect_in "$network" "tolmlab-$run-m1: lo 127.0.0.1/8 tl0 10.77.0.11/24 " "side 1 on segment 0"
    expect_in "$network" "tolmlab-$run-m2: lo 127.0.0.1/8 tl0 10.77.1.12/24 " "side 2 on segment 1"
    expect_in "$network" "tolmlab-$run-m3: lo 127.0.0.1/8 tl0 10.77.0.13/24 " "side 3 on segment 0"
    local switch
    switch=$(<"$FAKE_SIM_RECORD/switch")
    local port bridge
    for port in tlt0:tlbr0 tlt1:tlbr1 tlm1:tlbr0 tlm2:tlbr1 tlm3:tlbr0; do
        bridge=$(grep -o "${port%:*}@[^:]*:.* master [a-z0-9]*" <<<"$switch" | awk '{ print $NF }')
        expect_eq "$bridge" "${port#*:}" "bridge of port ${port%:*}"
    done
    expect_in "$(<"$FAKE_SIM_RECORD/env")" "TOLM_LAB_TOOL_LINKS=tl0 tl1" "TOLM_LAB_TOOL_LINKS"
    lab run --tool-links 10 --no-sim -- true
    expect_eq "$STATUS" 125 "status for --tool-links 10"
    expect_in "$ERRORS" "--tool-links wants 1 to 9" "message for --tool-links 10"
    expect_nothing_left "a run with two tool links"
}

case_exit_status() {
    local status
    for status in 0 7; do
        lab run --sim-binary "$FAKE_SIM" -- bash -c '"$1" "$FAKE_SIM_RECORD"; exit "$2"' - "$RECORD_RUN" "$status"
        expect_eq "$STATUS" "$status" "lab status when the command exits $status"
        expect_nothing_left "a command that exits $status"
    done
    lab run --no-sim -- /nonexistent/command
    ((STATUS != 0)) || fail "a command that cannot start gives status 0"
    lab run --sim-binary "$FAKE_SIM" --timeout 1 -- bash -c '"$1" "$FAKE_SIM_RECORD"; sleep 60' - "$RECORD_RUN"
    expect_eq "$STATUS" 124 "lab status when the command outlives --timeout"
    expect_in "$ERRORS" "did not end within 1s" "message for --timeout"
    expect_nothing_left "a command that outlives --timeout"
}

# Starts a run whose command waits, then sends the lab a signal; the lab must exit 128+signal.
interrupt_run() {
    local signal=$1 expected=$2 pid ticks
    "$LAB" run --sim-binary "$FAKE_SIM" --sim "--modules 2" \
        -- bash -c 'sleep 300 & "$1" "$FAKE_SIM_RECORD"; wait' - "$RECORD_RUN" &
    pid=$!
    for ((ticks = 0; ticks < 500; ticks++)); do
        [[ -e $FAKE_SIM_RECORD/pids ]] && break
        sleep 0.02
    done
    kill "-$signal" "$pid"
    STATUS=0
    wait "$pid" || STATUS=$?
    expect_eq "$STATUS" "$expected" "lab status on SIG$signal"
    expect_nothing_left "a run interrupted by SIG$signal"
}

case_interrupted() {
    interrupt_run TERM 143
    interrupt_run INT 130
}

case_stubborn_processes() {
    lab run --sim-binary "$FAKE_SIM" --sim "--ignore-term" \
        -- bash -c 'trap "" TERM; sleep 300 & "$1" "$FAKE_SIM_RECORD"; exit 5' - "$RECORD_RUN"
    expect_eq "$STATUS" 5 "status when processes ignore SIGTERM"
    expect_in "$ERRORS" "killing processes that ignored SIGTERM" "message about killed processes"
    expect_nothing_left "processes that ignore SIGTERM"
}

case_simulator_failures() {
    lab run --sim-binary "$FAKE_SIM" --sim "--never-ready" --ready-timeout 1 -- true
    expect_eq "$STATUS" 125 "status when the simulator is never ready"
    expect_in "$ERRORS" "not ready after 1s" "message for a simulator never ready"
    expect_nothing_left "a simulator never ready"
    lab run --sim-binary "$FAKE_SIM" --module-sides 2 --sim "" --sim "--exit-early" -- true
    expect_eq "$STATUS" 125 "status when the simulator ends at once"
    expect_in "$ERRORS" "module side 2 ended before it was ready" "message for a simulator that ended"
    expect_in "$ERRORS" "told to fail" "the simulator's own output"
    expect_nothing_left "a simulator that ends at once"
    lab run --sim-binary "$WORK/no-such-simulator" -- true
    expect_eq "$STATUS" 125 "status without a simulator"
    expect_in "$ERRORS" "no simulator at $WORK/no-such-simulator" "message without a simulator"
    [[ -z $(ls -A "$TMPDIR") ]] || fail "temp dirs left without a simulator: $(ls -A "$TMPDIR")"
}

case_unprivileged() {
    local pid
    STATUS=0
    setpriv --bounding-set=-net_admin,-sys_admin --inh-caps=-net_admin,-sys_admin \
        "$LAB" run --no-sim -- true 2>"$WORK/stderr" &
    pid=$! # setpriv becomes the lab, whose pid begins the run id
    wait "$pid" || STATUS=$?
    expect_eq "$STATUS" 125 "status without CAP_NET_ADMIN and CAP_SYS_ADMIN"
    expect_in "$(<"$WORK/stderr")" "cannot create network namespace" "message without privileges"
    [[ -z $(ls -A "$TMPDIR") ]] || fail "temp dirs left without privileges: $(ls -A "$TMPDIR")"
    if ip netns list | grep -q "^tolmlab-$pid-"; then fail "a namespace was made without privileges"; fi
}

# A run whose lab process died without tearing down (as under SIGKILL): cleanup removes it.
case_cleanup_dead_run() {
    local dead run
    sleep 60 &
    dead=$!
    # Killed before it is sleep, the child would still be this shell and run its EXIT trap.
    until [[ $(cat "/proc/$dead/comm" 2>/dev/null) == sleep ]]; do sleep 0.01; done
    run="$dead-$(awk '{ print $22 }' "/proc/$dead/stat")"
    kill "$dead"
    wait "$dead" || true
    echo "$run" >"$FAKE_SIM_RECORD/run"
    ip netns add "tolmlab-$run-tool"
    ip -n "tolmlab-$run-tool" link add tl0 type veth peer name tl1
    mkdir "$TMPDIR/tolmlab-$run.left"
    ip netns exec "tolmlab-$run-tool" setsid sleep 300 </dev/null >/dev/null 2>&1 &
    sleep 0.1
    for pid in $(ip netns pids "tolmlab-$run-tool"); do echo "$pid $(awk '{ print $22 }' "/proc/$pid/stat")"; done \
        >"$FAKE_SIM_RECORD/pids"
    [[ -s $FAKE_SIM_RECORD/pids ]] || fail "the dead run's process did not start"
    lab check
    expect_eq "$STATUS" 1 "check with a dead run's leftovers"
    expect_in "$OUTPUT" "left by dead run $run:"$'\n'"namespace tolmlab-$run-tool" "check's report"
    lab cleanup
    expect_eq "$STATUS" 0 "cleanup status"
    expect_nothing_left "cleanup of a dead run"
}

case_wine() {
    lab run --wine --no-sim -- bash -c '"$1" "$FAKE_SIM_RECORD" && wine cmd /c echo lab-wine-ok \
        >"$FAKE_SIM_RECORD/wine-output" && "$1" "$FAKE_SIM_RECORD" && echo "$WINEPREFIX" >"$FAKE_SIM_RECORD/prefix"' \
        - "$RECORD_RUN"
    expect_eq "$STATUS" 0 "status of a Wine run (stderr: $ERRORS)"
    expect_in "$(cat "$FAKE_SIM_RECORD/wine-output" 2>/dev/null)" "lab-wine-ok" "output of wine cmd"
    expect_in "$(cat "$FAKE_SIM_RECORD/prefix" 2>/dev/null)" "$TMPDIR/tolmlab-" "WINEPREFIX of the run"
    expect_in "$(cat "$FAKE_SIM_RECORD/pids")" " wineserver" "the wineserver on the tool side"
    expect_nothing_left "a Wine run"
}

declare -F "case_${1:-}" >/dev/null || { echo "usage: lab_script_test.sh CASE" >&2 && exit 2; }
"case_$1"
((failures == 0)) && echo "ok: $1"
exit $((failures > 0))
