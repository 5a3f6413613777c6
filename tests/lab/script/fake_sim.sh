#!/usr/bin/env bash
# Takes the simulator's place in tests of lab/lab itself: it records into $FAKE_SIM_RECORD how it was
# started and which processes it has, then only waits, sending nothing. Its own switches:
# --never-ready, --exit-early, --ignore-term.
set -euo pipefail

record=${FAKE_SIM_RECORD:?}
ready=
never_ready=0
for ((i = 1; i <= $#; i++)); do
    case ${!i} in
    --ready-file) ((i++)) && ready=${!i} ;;
    --never-ready) never_ready=1 ;;
    --exit-early) echo "fake simulator: told to fail" >&2 && exit 1 ;;
    --ignore-term) trap '' TERM ;;
    esac
done

remember_process() {
    local stat fields
    read -r stat <"/proc/$1/stat"
    read -ra fields <<<"${stat##*) }"
    echo "$1 ${fields[19]}" >>"$record/sim-pids"
}

echo "$TOLM_LAB" >"$record/run"
printf '%s\n' "$@" >"$record/sim-$TOLM_LAB_SIDE.args"
remember_process $$
((never_ready == 1)) || : >"$ready"
while :; do
    sleep 600 &
    remember_process $!
    wait "$!" || true
done
