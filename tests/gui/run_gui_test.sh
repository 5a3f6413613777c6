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

# shellcheck source=tests/gui/private_display.sh
source "$(dirname "${BASH_SOURCE[0]}")/private_display.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/tolm-gui.XXXXXX")
stop() {
    stop_private_display
    rm -rf "$work"
}
trap stop EXIT
start_private_display "$work"

# The program's bitmaps land in this run's own folder: other runs share the screenshots folder.
if [[ -n $screenshots ]]; then
    mkdir -p "$screenshots" "$work/screenshots"
    export TOLM_GUI_SCREENSHOTS=$work/screenshots
fi
status=0
# End the Wine session while its X server still runs, so no Wine process
# reports a lost display.
"$@" || status=$?
wineserver -k 2>/dev/null || true
# The program saves bitmaps; PNG is what viewers and CI artifact pages show.
if [[ -n $screenshots ]]; then
    for bitmap in "$work/screenshots"/*.bmp; do
        [[ -e $bitmap ]] || continue
        name=$(basename "$bitmap" .bmp)
        convert "$bitmap" "$screenshots/$name.png"
    done
fi
exit "$status"
