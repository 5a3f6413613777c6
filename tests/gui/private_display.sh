# shellcheck shell=bash
# A private X server for Windows programs under Wine: Xvfb on a free display,
# then openbox (synthetic input and window placement need a window manager).
# Start it before the first Wine process of the session. Sourced; the caller
# runs stop_private_display on exit.

display_xvfb_pid=""
display_wm_pid=""

# start_private_display WORKDIR: exports DISPLAY; logs go to WORKDIR.
start_private_display() {
    local work=$1 display_fd
    # Xvfb picks a free display and writes its number once it accepts clients.
    exec {display_fd}>"$work/display"
    Xvfb -displayfd "$display_fd" -screen 0 1024x768x24 -nolisten tcp -noreset \
        >"$work/xvfb.log" 2>&1 &
    display_xvfb_pid=$!
    exec {display_fd}>&-
    for _ in $(seq 100); do
        [[ -s $work/display ]] && break
        sleep 0.05
    done
    [[ -s $work/display ]] || { echo "display: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; return 1; }
    export DISPLAY=":$(head -n 1 "$work/display")"

    openbox --sm-disable >"$work/openbox.log" 2>&1 &
    display_wm_pid=$!
    for _ in $(seq 100); do
        [[ $(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null) == *"window id"* ]] && return 0
        sleep 0.05
    done
    echo "display: openbox did not start" >&2
    cat "$work/openbox.log" >&2
    return 1
}

stop_private_display() {
    [[ -z $display_wm_pid ]] || kill "$display_wm_pid" 2>/dev/null || true
    [[ -z $display_xvfb_pid ]] || kill "$display_xvfb_pid" 2>/dev/null || true
    [[ -z $display_wm_pid ]] || wait "$display_wm_pid" 2>/dev/null || true
    [[ -z $display_xvfb_pid ]] || wait "$display_xvfb_pid" 2>/dev/null || true
    display_wm_pid=""
    display_xvfb_pid=""
}
