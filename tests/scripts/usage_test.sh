#!/usr/bin/env bash
# Every command in scripts/ answers --help with its usage on standard output
# (status 0) and a wrong option with its usage on standard error (status 2),
# and does nothing else: each must end within seconds, where a real run
# installs, builds or tests for minutes.
set -uo pipefail
scripts=${1:?usage: usage_test.sh SCRIPTS_FOLDER}
failed=0

fail() { echo "FAIL: $*" && failed=1; }

for script in "$scripts"/*; do
    [[ -f $script && -x $script ]] || continue
    name=scripts/$(basename "$script")
    out=$(timeout -k 5 20 "$script" --help 2>/dev/null) status=$?
    ((status == 0)) || fail "$name --help: status $status"
    [[ $out == *"$(basename "$script")"* ]] || fail "$name --help shows no usage: ${out:0:200}"
    err=$(timeout -k 5 20 "$script" --no-such-option 2>&1 >/dev/null) status=$?
    ((status == 2)) || fail "$name --no-such-option: status $status"
    [[ -n $err ]] || fail "$name --no-such-option says nothing on standard error"
done
((failed == 0)) && echo "every script answers --help and a wrong option with its usage"
exit "$failed"
