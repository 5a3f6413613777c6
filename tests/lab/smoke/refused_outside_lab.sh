#!/usr/bin/env bash
# The smoke program must refuse, with status 3 and before it opens any socket, to run outside the lab.
# It runs here in a fresh network namespace of its own with loopback only, so that even a program that
# failed to refuse could not reach the machine's network; the machine's interfaces stay visible in
# /sys/class/net, which is what the guard looks at.
set -euo pipefail

smoke=${1:?usage: refused_outside_lab.sh SMOKE_BINARY}
command -v strace >/dev/null || { echo "FAIL: strace is needed (Debian package strace)" >&2; exit 1; }
trace=$(mktemp)
trap 'rm -f "$trace" "$trace.err"' EXIT
failed=0

expect_refused() {
    local case=$1 status=0
    shift
    unshare --net strace -f -qq -e trace=socket -o "$trace" "$@" "$smoke" 2>"$trace.err" || status=$?
    if ((status != 3)); then
        echo "FAIL ($case): exit status $status, not 3; stderr: $(cat "$trace.err")"
        failed=1
    elif ! grep -q "refusing to run outside the lab" "$trace.err"; then
        echo "FAIL ($case): no refusal message; stderr: $(cat "$trace.err")"
        failed=1
    elif grep -q 'socket(' "$trace"; then
        echo "FAIL ($case): a socket was opened before the refusal: $(grep 'socket(' "$trace")"
        failed=1
    else
        echo "ok ($case): refused with status 3, no socket opened"
    fi
}

expect_refused "TOLM_LAB unset" env -u TOLM_LAB
expect_refused "TOLM_LAB set, machine's interfaces present" env TOLM_LAB=not-a-lab
exit "$failed"
