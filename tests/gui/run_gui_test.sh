#!/usr/bin/env bash
# Runs one Windows GUI program under Wine on a private X server: Xvfb, then
# openbox (synthetic input and window placement need a window manager), then
# the program, which is the first Wine process of the session's wineserver.
# Usage: run_gui_test.sh [--screenshots DIR] WINE_LOADER PROGRAM [ARGS...]
# Meant for `lab/lab run --wine --no-sim -- ...`; exits with the program's status.
set -euo pipefail

screenshots=""
if [[ ${1:-} == --screenshots ]]; then
    screenshots=$2
    shift 2
fi
(($# >= 2)) || { echo "usage: $0 [--screenshots DIR] WINE_LOADER PROGRAM [ARGS...]" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/tolm-gui.XXXXXX")
xvfb_pid=""
wm_pid=""
stop() {
    [[ -z $wm_pid ]] || kill "$wm_pid" 2>/dev/null || true
    [[ -z $xvfb_pid ]] || kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap stop EXIT

# Xvfb picks a free display and writes its number once it accepts clients.
exec {display_fd}>"$work/display"
Xvfb -displayfd "$display_fd" -screen 0 1024x768x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
    [[ -s $work/display ]] && break
    sleep 0.05
done
[[ -s $work/display ]] || { echo "gui: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$work/display")"

openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm_pid=$!
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.05
done
xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' ||
    { echo "gui: openbox did not start" >&2; cat "$work/openbox.log" >&2; exit 1; }

if [[ -n $screenshots ]]; then
    mkdir -p "$screenshots"
    export TOLM_GUI_SCREENSHOTS=$screenshots
fi
status=0
# End the Wine session while its X server still runs, so no Wine process
# reports a lost display.
"$@" || status=$?
wineserver -k 2>/dev/null || true
# The program saves bitmaps; PNG is what viewers and CI artifact pages show.
if [[ -n $screenshots ]]; then
    for bitmap in "$screenshots"/*.bmp; do
        [[ -e $bitmap ]] || continue
        convert "$bitmap" "${bitmap%.bmp}.png" && rm -f "$bitmap"
    done
fi
exit "$status"
