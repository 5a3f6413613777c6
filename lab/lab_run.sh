# shellcheck shell=bash
# `lab/lab run`: builds one run's network, starts the simulators, runs the command on the tool side and
# tears everything down again. Sourced by lab/lab, whose helpers it uses.

RUN_ID=
TOOL_NS=
SWITCH_NS=
MODULE_NSES=()
LAB_DIR=

need_value() {
    (($# >= 2)) || die "run: option $1 needs a value"
}

parse_run_options() {
    SIDES=1 LINKS=1 START_SIM=1 USE_WINE=0 READY_TIMEOUT=10 TIME_LIMIT=0
    SIM_BINARY=${TOLM_SIM:-$REPO/build/linux/sim/tolm-sim}
    SIM_ARGS=()
    while (($# > 0)); do
        case $1 in
        --module-sides) need_value "$@" && SIDES=$2 && shift 2 ;;
        --tool-links) need_value "$@" && LINKS=$2 && shift 2 ;;
        --sim) need_value "$@" && SIM_ARGS+=("$2") && shift 2 ;;
        --no-sim) START_SIM=0 && shift ;;
        --sim-binary) need_value "$@" && SIM_BINARY=$2 && shift 2 ;;
        --ready-timeout) need_value "$@" && READY_TIMEOUT=$2 && shift 2 ;;
        --wine) USE_WINE=1 && shift ;;
        --timeout) need_value "$@" && TIME_LIMIT=$2 && shift 2 ;;
        --) shift && break ;;
        -h | --help) usage && exit 0 ;;
        *) die "run: unknown option '$1' (see lab/lab help)" ;;
        esac
    done
    COMMAND=("$@")
    ((${#COMMAND[@]} > 0)) || die "run: no command given after --"
    if [[ ! $SIDES =~ ^[1-9][0-9]*$ ]] || ((SIDES > 200)); then die "run: --module-sides wants 1 to 200"; fi
    if [[ ! $LINKS =~ ^[1-9]$ ]]; then die "run: --tool-links wants 1 to 9"; fi
    [[ $READY_TIMEOUT =~ ^[1-9][0-9]*$ ]] || die "run: --ready-timeout wants whole seconds"
    [[ $TIME_LIMIT =~ ^[0-9]+$ ]] || die "run: --timeout wants whole seconds"
    ((START_SIM == 1 || ${#SIM_ARGS[@]} == 0)) || die "run: --sim and --no-sim exclude each other"
    SIM_BINARY=$(realpath -m -- "$SIM_BINARY")
}

add_namespace() {
    local error
    error=$(ip netns add "$1" 2>&1) ||
        die "cannot create network namespace $1 (the lab needs root, or CAP_NET_ADMIN and" \
            "CAP_SYS_ADMIN): $error"
    ip -n "$1" link set lo up
}

# One veth link from a port of segment K's bridge to LINK on a side, made inside the namespaces only.
wire_side() {
    local ns=$1 address=$2 port=$3 segment=$4 link=${5:-tl0}
    ip -n "$SWITCH_NS" link add "$port" type veth peer name "$link" netns "$ns"
    ip -n "$SWITCH_NS" link set "$port" master "tlbr$segment" up
    ip -n "$ns" address add "$address/24" broadcast + dev "$link"
    ip -n "$ns" link set "$link" up
}

# Segment K is the subnet 10.77.K.0/24 on bridge tlbrK; the tool side has link tlK on each, module
# side N sits on segment (N-1) mod LINKS.
build_network() {
    TOOL_NS=$LAB_PREFIX-$RUN_ID-tool
    SWITCH_NS=$LAB_PREFIX-$RUN_ID-sw
    add_namespace "$TOOL_NS"
    add_namespace "$SWITCH_NS"
    local segment side
    for ((segment = 0; segment < LINKS; segment++)); do
        ip -n "$SWITCH_NS" link add "tlbr$segment" type bridge
        ip -n "$SWITCH_NS" link set "tlbr$segment" up
        wire_side "$TOOL_NS" "$LAB_NET.$segment.1" "tlt$segment" "$segment" "tl$segment"
    done
    # Without a route nothing can be sent to 255.255.255.255; it leaves through tl0.
    ip -n "$TOOL_NS" route add default dev tl0
    for ((side = 1; side <= SIDES; side++)); do
        segment=$(((side - 1) % LINKS))
        MODULE_NSES+=("$LAB_PREFIX-$RUN_ID-m$side")
        add_namespace "${MODULE_NSES[side - 1]}"
        wire_side "${MODULE_NSES[side - 1]}" "$LAB_NET.$segment.$((10 + side))" "tlm$side" "$segment"
        ip -n "${MODULE_NSES[side - 1]}" route add default dev tl0
    done
}

# Splits a string into words as a shell would (quotes honoured, nothing expanded or run).
split_words() {
    local -n words=$1
    local file=$LAB_DIR/words
    xargs -r printf '%s\0' <<<"$2" >"$file" || die "run: cannot split simulator arguments: $2"
    # shellcheck disable=SC2034 # filled for the caller through the name reference
    mapfile -d '' -t words <"$file"
}

simulator_settled() {
    [[ -e $1 ]] || ! process_running "$2"
}

start_simulator() {
    local side=$1 ns=$2 pid
    local -a args
    local given=${#SIM_ARGS[@]}
    ((given == 0)) || split_words args "${SIM_ARGS[$((side <= given ? side - 1 : given - 1))]}"
    local ready=$LAB_DIR/sim-$side.ready output=$LAB_DIR/sim-$side.out
    ip netns exec "$ns" env TOLM_LAB="$RUN_ID" TOLM_LAB_SIDE="$side" "$SIM_BINARY" "${args[@]}" \
        --ready-file "$ready" --log "$LAB_DIR/sim-$side.log" </dev/null >"$output" 2>&1 &
    pid=$!
    disown "$pid" # teardown stops it; no job report wanted
    wait_for "$READY_TIMEOUT" simulator_settled "$ready" "$pid" ||
        die "simulator on module side $side not ready after ${READY_TIMEOUT}s:"$'\n'"$(tail -n 20 "$output")"
    [[ -e $ready ]] ||
        die "simulator on module side $side ended before it was ready:"$'\n'"$(tail -n 20 "$output")"
}

start_simulators() {
    [[ -x $SIM_BINARY ]] ||
        die "no simulator at $SIM_BINARY (build it, or give --sim-binary, TOLM_SIM or --no-sim)"
    local side
    for ((side = 1; side <= SIDES; side++)); do
        start_simulator "$side" "${MODULE_NSES[side - 1]}"
    done
}

# The run's own prefix, so that its wineserver, and so every socket Wine makes, lives on the tool side.
# The prepared prefix is seen through an overlay (0.7 GB need not be copied), or copied where overlays
# cannot be mounted; either way the run's prefix is root's, as Wine wants, also when the prepared
# one was handed back to the user whose checkout it is.
start_wine() {
    local template=${TOLM_WINEPREFIX_TEMPLATE:-$REPO/build/wineprefix}
    local prefix=$LAB_DIR/wineprefix upper=$LAB_DIR/wine-upper work=$LAB_DIR/wine-work
    [[ -f $template/system.reg ]] ||
        die "no prepared Wine prefix at $template; make one with:" \
            "WINEPREFIX=$template WINEDEBUG=-all wineboot -i (or set TOLM_WINEPREFIX_TEMPLATE)"
    template=$(realpath -- "$template")
    mkdir -p "$prefix" "$upper" "$work"
    mount -t overlay "$LAB_PREFIX-wine" -o "lowerdir=$template,upperdir=$upper,workdir=$work" \
        "$prefix" 2>/dev/null || cp -a --no-preserve=ownership -- "$template/." "$prefix" ||
        die "cannot copy the Wine prefix $template"
    export WINEPREFIX=$prefix WINEDEBUG=-all
    ip netns exec "$TOOL_NS" wineserver -p || die "cannot start a wineserver on the tool side"
}

export_run_environment() {
    export TOLM_LAB=$RUN_ID TOLM_LAB_TOOL_NS=$TOOL_NS TOLM_LAB_MODULE_NS=${MODULE_NSES[0]}
    export TOLM_LAB_MODULE_NSES="${MODULE_NSES[*]}" TOLM_LAB_SIM_LOG=$LAB_DIR/sim-1.log
    export TOLM_SIM=$SIM_BINARY TOLM_LAB_DIR=$LAB_DIR TOLM_LAB_TOOL_LINKS
    TOLM_LAB_TOOL_LINKS=$(seq -s ' ' -f 'tl%g' 0 $((LINKS - 1)))
}

teardown() {
    local status=$1 remains
    set +e
    trap '' INT TERM HUP
    [[ -n $RUN_ID ]] || exit "$status"
    remove_run "$RUN_ID"
    remains=$(remains_of_run "$RUN_ID")
    if [[ -n $remains ]]; then
        echo "lab: run $RUN_ID left behind:"$'\n'"$remains"$'\n'"lab: try lab/lab cleanup" >&2
        exit "$LAB_FAILED"
    fi
    exit "$status"
}

cmd_run() {
    parse_run_options "$@"
    trap 'teardown $?' EXIT
    trap 'exit 129' HUP
    trap 'exit 130' INT
    trap 'exit 143' TERM
    RUN_ID=$$-$(start_time $$)
    LAB_DIR=$(mktemp -d "$TEMP_ROOT/$LAB_PREFIX-$RUN_ID.XXXXXX")
    build_network
    ((START_SIM == 0)) || start_simulators
    export_run_environment
    ((USE_WINE == 0)) || start_wine
    # A time limit of our own ends the command before a test driver's would SIGKILL the lab and leave
    # the run behind.
    local -a limit=()
    ((TIME_LIMIT == 0)) || limit=(timeout --kill-after=5 "$TIME_LIMIT")
    # In the background, so that a signal reaches its trap at once; the command keeps our stdin.
    ip netns exec "$TOOL_NS" "${limit[@]}" "${COMMAND[@]}" <&0 &
    local status=0
    wait "$!" || status=$?
    if ((TIME_LIMIT > 0 && status == 124)); then
        echo "lab: the command did not end within ${TIME_LIMIT}s" >&2
    fi
    exit "$status"
}
