#!/usr/bin/env python3
"""The shipped program on a segment it cannot trust, driven from outside as a person would.

Meant for run_gui_test.sh inside `lab/lab run --wine --module-sides 2 ...`: the first module
side serves tests/gui/trust_modules.conf, the second a twin of its module 1 (another address and
gateway). A double-click on the twin's row warns and opens nothing; Enter on the module that
reported no host name opens it, and Set asks before it sends an empty one; a request for the
MAC nobody serves is followed by the message that no confirmation came. Prints one line per
check and exits 1 when one failed.
"""

import argparse
import sys
import time

from program_test import (EXIT_BUTTON, SET, Checks, configure_lines, run_case, running_programs,
                          screenshot, start_wine_session, xdotool)

TWIN, NAMELESS, GHOST = "02-00-00-00-00-01", "02-00-00-00-00-02", "02-00-00-00-00-99"
ROWS = 3


def row_of(program, mac):
    program.probe("wait-rows", ROWS, 20000)
    return [r[6] for r in program.rows()].index(mac)


def check_twin(options, checks):
    seen = {}

    def drive(program):
        row = row_of(program, TWIN)
        time.sleep(1)  # both senders' answers are in
        before = len(configure_lines())
        program.click_row(row, clicks=2)
        seen["box"] = program.box_text()
        screenshot(options, "two-senders-warning")
        xdotool("key", "Return")
        seen["dialog"] = program.probe("wait-window", 1500, window=f"Configure: {TWIN}")[0]
        seen["row"] = next(r for r in program.rows() if r[6] == TWIN)
        seen["sent"] = configure_lines()[before:]
        program.click(EXIT_BUTTON)

    run_case(options, checks, [], drive)
    box = seen["box"]
    checks.check(box.startswith(f"More than one device answers as {TWIN}") and
                 "\n10.77.0.11" in box and "\n10.77.0.12" in box and not seen["dialog"] and
                 seen["sent"] == [] and seen["row"][0] in ("10.77.0.101", "10.77.0.201"),
                 f"a MAC two senders answer as: a double-click warns naming both and opens "
                 f"nothing, the row shows the first answer ({seen['row'][0]}): {box!r}")


def check_nameless(options, checks):
    caption = f"Configure: {NAMELESS}"
    seen = {}

    def drive(program):
        row = row_of(program, NAMELESS)
        before = len(configure_lines())
        program.click_row(row)
        program.keys("Return")
        seen["dialog"] = program.shows(window=caption)
        program.click(SET, window=caption)
        seen["question"] = program.box_text()
        screenshot(options, "host-name-question")
        xdotool("key", "Return")  # No, the default button
        seen["reopened"] = program.shows(window=caption)
        seen["after no"] = configure_lines()[before:]
        program.click(SET, window=caption)
        program.box_text()
        xdotool("key", "y")
        seen["gone"] = program.probe("wait-gone", 10000, window=caption)[0]
        time.sleep(1)
        seen["sent"] = configure_lines()[before:]
        program.click(EXIT_BUTTON)

    run_case(options, checks, [], drive)
    checks.check(seen["dialog"] and seen["question"].startswith(
                 f"The module {NAMELESS} did not report its host name; Set sends an empty one, "
                 "which clears any it has.") and seen["reopened"] and seen["after no"] == [] and
                 seen["gone"] and seen["sent"] == [f"Configure: {NAMELESS};IP = 10.77.0.102;"
                                                   "SN = 255.255.255.0;HN = ;\\x00"],
                 f"Enter opens the module that reported no host name; Set asks first, No opens "
                 f"the dialog again, Yes sends the empty name: {seen.get('sent')}")


def check_silent(options, checks):
    caption = f"Configure: {GHOST}"
    seen = {}

    def drive(program):
        row = row_of(program, GHOST)
        program.click_row(row, clicks=2)
        seen["dialog"] = program.shows(window=caption)
        program.click(SET, window=caption)
        # Set is pressed now; the probe that sees the dialog gone can take a second under load.
        sent = time.monotonic()
        program.probe("wait-gone", 10000, window=caption)
        seen["box"] = program.probe("box-text", 10000, window="Warning")[1].rstrip("\n")
        seen["after"] = time.monotonic() - sent
        screenshot(options, "no-confirmation")
        xdotool("key", "Return")
        program.click(EXIT_BUTTON)

    run_case(options, checks, [], drive)
    checks.check(seen["dialog"] and seen["box"].startswith(
                 f"No confirmation came from {GHOST} within 5 seconds of Set") and
                 4 <= seen["after"] <= 8,
                 f"no reply to Set: after {seen['after']:.1f} s the message names the module: "
                 f"{seen['box']!r}")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--wine", required=True, help="Wine loader for the program's architecture")
    parser.add_argument("--program", required=True, help='"Brannic Linkora CFG.exe"')
    parser.add_argument("--probe", required=True, help="linkora-cfg-ui-probe.exe of that architecture")
    parser.add_argument("--screenshots", help="folder for screenshots of the warnings")
    options = parser.parse_args()
    start_wine_session(options)
    checks = Checks()
    check_twin(options, checks)
    check_nameless(options, checks)
    check_silent(options, checks)
    left = running_programs()
    checks.check(not left, f"nothing of the program is left running: {left}")
    print(f"{checks.passed} passed, {checks.failed} failed", flush=True)
    return 1 if checks.failed else 0


if __name__ == "__main__":
    sys.exit(main())
