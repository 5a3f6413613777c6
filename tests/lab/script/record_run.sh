#!/usr/bin/env bash
# Run as the command of a lab run: writes into directory $1 what the run looks like from inside.
set -euo pipefail
out=$1

echo "$TOLM_LAB" >"$out/run"
env | grep '^TOLM_' | sort >"$out/env"
ls /sys/class/net >"$out/tool-links"
for ns in $TOLM_LAB_TOOL_NS $TOLM_LAB_MODULE_NSES; do
    echo "$ns: $(ip netns exec "$ns" ls /sys/class/net | tr '\n' ' ')"
    echo "$ns: $(ip -n "$ns" -4 -o address show | awk '{ printf "%s %s ", $2, $4 }')"
    echo "$ns: $(ip -n "$ns" route show default)"
done >"$out/network"
# Every process of the run with its start time, so that a reused pid is not mistaken for it.
for ns in $TOLM_LAB_TOOL_NS $TOLM_LAB_MODULE_NSES; do
    for pid in $(ip netns pids "$ns"); do
        read -r stat 2>/dev/null <"/proc/$pid/stat" || continue
        read -r comm 2>/dev/null <"/proc/$pid/comm" || continue
        read -ra fields <<<"${stat##*) }"
        echo "$pid ${fields[19]} $comm"
    done
done >"$out/pids.part"
mv "$out/pids.part" "$out/pids"
