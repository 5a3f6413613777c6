#!/usr/bin/env python3
"""The shipped program driven from outside, as a person and a companion tool would.

Starts "Brannic Linkora CFG.exe" under Wine with a command line, moves the mouse and presses
keys with xdotool (openbox must run: synthetic input reaches Wine windows only with a window
manager), reads the window through linkora-cfg-ui-probe and receives the companion datagram on
127.0.0.1. Meant for run_gui_test.sh inside `lab/lab run --wine --sim ...`, the simulator
holding the demo's modules. Prints one line per check and exits 1 when one failed.
"""

import argparse
import os
import pathlib
import shutil
import socket
import subprocess
import sys
import tempfile
import time

TITLE = "Brannic Linkora CFG"
EXIT_BUTTON = 1
SET, CANCEL, IP_ADDRESS, DHCP_ON, HOST_NAME = 1, 2, 1004, 1008, 1015  # configuration dialog
PASSWORD, CHANGE_PASSWORD = 1010, 1013
CONFIRM_TITLE = "Confirm new password"
MESSAGE_TEXT = 0xFFFF  # the text of a message box
MODULES = 8
ENVELOPE = len("<SELECTED_IP></SELECTED_IP>\n<SELECTED_MAC></SELECTED_MAC>")
PORT = 5000


class Checks:
    def __init__(self):
        self.failed = 0
        self.passed = 0

    def check(self, holds, what):
        print(("ok: " if holds else "FAIL: ") + what, flush=True)
        if holds:
            self.passed += 1
        else:
            self.failed += 1


class Listener:
    """The companion tool's socket on 127.0.0.1."""

    def __init__(self, port):
        self.socket = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.socket.bind(("127.0.0.1", port))

    def received(self, wait):
        """Every datagram that arrives within `wait` seconds of the last one."""
        datagrams = []
        self.socket.settimeout(wait)
        try:
            while True:
                datagrams.append(self.socket.recv(65536))
        except socket.timeout:
            return datagrams

    def close(self):
        self.socket.close()


class Program:
    def __init__(self, options, args, executable=None):
        self.options = options
        self.process = subprocess.Popen(
            [options.wine, executable or options.program, *args],
            stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL,
        )

    def probe(self, *args, window=TITLE):
        return probe(self.options, "--window", window, *args)

    def shows(self, window=TITLE):
        return self.probe("wait-window", 20000, window=window)[0]

    def text(self, control, window=TITLE):
        return self.probe("text", control, window=window)[1].rstrip("\n")

    def box_text(self):
        """The text of the program's own message box, captioned with its name, once it shows."""
        return self.probe("box-text", 20000)[1].rstrip("\n")

    def rows(self):
        return [line.split("\t") for line in self.probe("rows")[1].splitlines()]

    def click_at(self, rect, dx=None, clicks=1):
        x, y, width, height = map(int, rect.split())
        xdotool("mousemove", x + (dx if dx is not None else width // 2), y + height // 2)
        time.sleep(0.2)  # moved without --sync, which hangs when the pointer is there already
        xdotool("click", "--repeat", clicks, "--delay", 100, "1")

    def click(self, control, window=TITLE, dx=None):
        self.click_at(self.probe("rect", control, window=window)[1], dx=dx)

    def click_row(self, row, dx=20, clicks=1):
        self.click_at(self.probe("row-rect", row)[1], dx=dx, clicks=clicks)

    def retype(self, control, text, window, dx=None):
        """Clicks into a field, selects what it holds and types `text` over it."""
        self.click(control, window=window, dx=dx)
        xdotool("key", "ctrl+a")
        xdotool("type", "--delay", 60, text)

    def keys(self, *names, window=TITLE):
        xdotool("search", "--sync", "--name", f"^{window}$", "windowactivate", "--sync")
        for name in names:
            xdotool("key", name)
            time.sleep(0.2)

    def ended(self, wait=10):
        try:
            self.process.wait(wait)
            return True
        except subprocess.TimeoutExpired:
            return False

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


def probe(options, *args):
    """Runs linkora-cfg-ui-probe: whether it succeeded, and what it printed."""
    try:
        result = subprocess.run([options.wine, options.probe, *map(str, args)],
                                capture_output=True, text=True, timeout=40)
        return result.returncode == 0, result.stdout
    except subprocess.TimeoutExpired:
        return False, ""


def start_wine_session(options):
    """Starts the session's services with a first Wine process whose output nobody reads: they
    keep what it was given open, and a pipe would never end."""
    subprocess.run([options.wine, options.probe, "--window", "none", "wait-gone", "0"],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60, check=False)


def screenshot(options, name, title=None):
    """Saves the screen, or the window manager's frame around the window titled `title`, as
    NAME.png in the screenshots folder, when one was given."""
    if not options.screenshots:
        return
    os.makedirs(options.screenshots, exist_ok=True)
    time.sleep(0.5)  # painted
    crop = []
    if title:
        window = subprocess.run(["xdotool", "search", "--name", f"^{title}$"], capture_output=True,
                                text=True, check=True).stdout.split()[0]
        crop = ["-crop", frame_geometry(window), "+repage"]
    subprocess.run(["import", "-window", "root", *crop,
                    os.path.join(options.screenshots, name + ".png")], check=True, timeout=20)


def frame_geometry(window):
    """WIDTHxHEIGHT+X+Y of the window manager's frame around an X window: its ancestor below
    the root."""
    while True:
        tree = subprocess.run(["xwininfo", "-id", window, "-tree"], capture_output=True,
                              text=True, check=True).stdout
        parent = next(line for line in tree.splitlines() if "Parent window id:" in line)
        if "(the root window)" in parent:
            break
        window = parent.split()[3]
    info = subprocess.run(["xwininfo", "-id", window], capture_output=True, text=True,
                          check=True).stdout
    value = {line.split(":")[0].strip(): line.split(":")[1].strip()
             for line in info.splitlines() if ":" in line}
    return (f"{value['Width']}x{value['Height']}+{value['Absolute upper-left X']}"
            f"+{value['Absolute upper-left Y']}")


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True, stdout=subprocess.DEVNULL,
                   timeout=20)


def running_programs():
    """The program's processes in this network namespace: Wine names each after its Windows path."""
    ours = os.readlink("/proc/self/ns/net")
    found = []
    for process in pathlib.Path("/proc").glob("[0-9]*"):
        try:
            if os.readlink(process / "ns/net") != ours:
                continue
            command = (process / "cmdline").read_bytes().split(b"\0")[0].decode(errors="replace")
        except OSError:
            continue
        if command.endswith(pathlib.Path(TITLE + ".exe").name):
            found.append(f"{process.name} {command}")
    return found


def scans_received():
    with open(os.environ["TOLM_LAB_SIM_LOG"], encoding="ascii", errors="replace") as log:
        return sum(1 for line in log if line.startswith("Module Scan"))


def datagram(ip, mac):
    return f"<SELECTED_IP>{ip}</SELECTED_IP>\n<SELECTED_MAC>{mac}</SELECTED_MAC>".encode()


def run_case(options, checks, args, drive, executable=None):
    """Starts the program with `args`, lets `drive` work it, and returns what the listener got."""
    listener = Listener(PORT)
    program = Program(options, args, executable)
    try:
        drive(program)
        ended = program.ended()
        checks.check(ended and program.process.returncode == 0,
                     f"{args}: the program ends by itself, status 0")
        return listener.received(0.5)
    finally:
        program.stop()
        listener.close()


def check_selected_row(options, checks):
    picked = {}

    def drive(program):
        program.probe("wait-rows", MODULES, 20000)
        picked["caption"] = program.text(EXIT_BUTTON)
        picked["row"] = program.rows()[2]
        program.click_row(2)
        program.click(EXIT_BUTTON)

    got = run_case(options, checks, ["SOCKETCOMM", str(PORT)], drive)
    row = picked["row"]
    expected = datagram(row[0], row[6])
    checks.check(picked["caption"] == "OK" and got == [expected] and
                 len(got[0]) == ENVELOPE + len(row[0]) + len(row[6]),
                 f"companion mode: the button reads OK; a row clicked and OK clicked send one "
                 f"datagram of {len(expected)} bytes with its IP and MAC texts: {got}")


def check_keys(options, checks):
    state = {}

    def drive(program):
        program.shows()
        program.keys("Escape")
        state["open after Escape"] = program.probe("wait-window", 1000)[0]
        # Scan has the focus; Tab moves it to OK, Return presses it.
        program.keys("Tab", "Return")

    got = run_case(options, checks, ["SOCKETCOMM", str(PORT)], drive)
    checks.check(state["open after Escape"] and got == [datagram("", "")] and
                 len(got[0]) == ENVELOPE,
                 f"Escape does nothing; Tab and Return on OK with no row send the empty "
                 f"{ENVELOPE}-byte datagram: {got}")


def check_close_box(options, checks):
    def drive(program):
        program.probe("wait-rows", 1, 20000)
        program.click_row(0)
        program.keys("alt+F4")

    got = run_case(options, checks, ["SOCKETCOMM", str(PORT)], drive)
    checks.check(got == [datagram("", "")],
                 f"closing the window, a row selected, sends the empty datagram: {got}")


def check_port_readings(options, checks):
    def press_ok(program):
        program.shows()
        program.click(EXIT_BUTTON)

    for port in ("5000abc", str(PORT - 65536), str(PORT + 65536)):
        got = run_case(options, checks, ["SOCKETCOMM", port], press_ok)
        checks.check(got == [datagram("", "")],
                     f"SOCKETCOMM {port}: the datagram goes to port {PORT}: {got}")


def check_normal_mode(options, checks):
    for args in (["socketcomm", str(PORT)], [f"SOCKETCOMM={PORT}"], ["SOCKETCOMM"],
                 ["SOCKETCOMM", "port"], []):
        caption = {}

        def press_exit(program):
            program.shows()
            caption["text"] = program.text(EXIT_BUTTON)
            program.click(EXIT_BUTTON)

        got = run_case(options, checks, args, press_exit)
        checks.check(caption["text"] == "Exit" and got == [],
                     f"{args}: normal mode, the button reads Exit and nothing is sent: {got}")


def configure_lines():
    with open(os.environ["TOLM_LAB_SIM_LOG"], encoding="ascii", errors="replace") as log:
        return [line.rstrip("\n") for line in log if line.startswith("Configure: ")]


def check_configure(options, checks):
    """A double-click on a row's Type cell, new values typed into the dialog, Set."""
    mac = "02-00-00-00-00-06"
    caption = f"Configure: {mac}"
    seen = {}

    def drive(program):
        program.probe("wait-rows", MODULES, 20000)
        before = len(configure_lines())
        row = [r[6] for r in program.rows()].index(mac)
        program.click_row(row, dx=400, clicks=2)
        seen["dialog"] = program.shows(window=caption)
        # The IP address control's first field; '.' moves on to the next field.
        program.retype(IP_ADDRESS, "10.77.0.161", caption, dx=10)
        program.retype(HOST_NAME, "pump_61", caption)
        program.click(DHCP_ON, window=caption)
        program.click(SET, window=caption)
        seen["gone"] = program.probe("wait-gone", 10000, window=caption)[0]
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline:
            seen["row"] = next((r for r in program.rows() if r[6] == mac), None)
            if seen["row"] and seen["row"][0] == "10.77.0.161":
                break
            time.sleep(0.2)
        seen["sent"] = configure_lines()[before:]
        program.click(EXIT_BUTTON)

    run_case(options, checks, [], drive)
    expected = (f"{caption};IP = 10.77.0.161;SN = 255.255.0.0;GW = 10.77.0.254;DHCP = ON;"
                "HN = pump_61;DNS1 = 10.77.0.1;DNS2 = 10.77.0.2;\\x00")
    checks.check(seen["dialog"] and seen["gone"] and seen["sent"] == [expected] and
                 seen["row"][:4] == ["10.77.0.161", "255.255.0.0", "10.77.0.254", "On"],
                 f"double-click, typing and Set configure the module: {seen.get('sent')}; "
                 f"its row now reads {seen.get('row')}")


def check_refusals(options, checks):
    """Set with an address that cuts the module off, with this PC's own address, then with a new
    password typed differently the second time: each is refused in a box, nothing goes out, the
    dialog opens again."""
    address_caption = "Configure: 02-00-00-00-00-01"
    password_caption = "Configure: 02-00-00-00-00-05"
    seen = {}

    def open_dialog(program, caption):
        row = [r[6] for r in program.rows()].index(caption.split(": ")[1])
        program.click_row(row, dx=300, clicks=2)
        return program.shows(window=caption)

    def drive(program):
        program.probe("wait-rows", MODULES, 20000)
        before = len(configure_lines())
        seen["dialog"] = open_dialog(program, address_caption)
        program.retype(HOST_NAME, "press_91", address_caption)
        program.retype(IP_ADDRESS, "0.0.0.0", address_caption, dx=10)
        program.click(SET, window=address_caption)
        seen["address box"] = program.box_text()
        screenshot(options, "refused-address")
        xdotool("key", "Return")
        seen["reopened"] = program.shows(window=address_caption)
        seen["host name"] = program.text(HOST_NAME, window=address_caption)
        screenshot(options, "refused-address-dialog-reopened", address_caption)
        program.retype(IP_ADDRESS, "10.77.0.1", address_caption, dx=10)
        program.click(SET, window=address_caption)
        seen["own box"] = program.box_text()
        screenshot(options, "own-address-refused")
        xdotool("key", "Return")
        seen["reopened for own"] = program.shows(window=address_caption)
        program.click(CANCEL, window=address_caption)
        program.probe("wait-gone", 10000, window=address_caption)

        open_dialog(program, password_caption)
        program.retype(PASSWORD, "secret", password_caption)
        program.click(CHANGE_PASSWORD, window=password_caption)
        program.retype(1011, "s3cret_2", password_caption)
        program.click(SET, window=password_caption)
        seen["confirm"] = program.shows(window=CONFIRM_TITLE)
        xdotool("type", "--delay", 60, "s3cret_3")
        screenshot(options, "confirm-new-password", CONFIRM_TITLE)
        xdotool("key", "Return")
        seen["password box"] = program.box_text()
        xdotool("key", "Return")
        seen["reopened again"] = program.shows(window=password_caption)
        program.click(CANCEL, window=password_caption)
        program.probe("wait-gone", 10000, window=password_caption)
        seen["sent"] = configure_lines()[before:]
        program.click(EXIT_BUTTON)

    run_case(options, checks, [], drive)
    checks.check(seen["dialog"] and seen["address box"] ==
                 "Configuration was NOT downloaded!\n\nThe IP address 0.0.0.0 would leave the "
                 "module without an address." and seen["reopened"] and
                 seen["host name"] == "press_91",
                 f"IP 0.0.0.0 is refused in a box that names the field: {seen['address box']!r}; "
                 f"the dialog opens again with the host name typed: {seen.get('host name')!r}")
    checks.check(seen["own box"] ==
                 "Configuration was NOT downloaded!\n\nThe IP address 10.77.0.1 is this PC's own "
                 "address: the module and the PC would both answer to it." and
                 seen["reopened for own"],
                 f"this PC's own address, from the library's adapters, is refused in a box as the "
                 f"other rule errors are, and the dialog opens again: {seen['own box']!r}")
    checks.check(seen["confirm"] and seen["password box"].endswith(
                 "The new password typed the second time differs from the first.") and
                 seen["reopened again"] and seen["sent"] == [],
                 f"with \"Change password\" Set asks for the new password again; typed "
                 f"differently it is refused and the dialog opens again; nothing was sent: "
                 f"{seen['sent']}")


def check_refused_library(options, checks, variant, caption, text):
    folder = pathlib.Path(tempfile.mkdtemp(prefix="linkora-refused."))
    try:
        executable = folder / pathlib.Path(options.program).name
        shutil.copy(options.program, executable)
        library = pathlib.Path(options.binding) / variant / "tolm.dll"
        if library.exists():
            shutil.copy(library, folder / "tolm.dll")
        scans = scans_received()
        shown = {}

        def answer_box(program):
            shown["box"] = program.shows(window=caption)
            shown["text"] = program.text(MESSAGE_TEXT, window=caption)
            program.keys("Return", window=caption)

        got = run_case(options, checks, ["SOCKETCOMM", str(PORT)], answer_box, str(executable))
        checks.check(shown["box"] and shown["text"] == text and got == [] and
                     scans_received() == scans,
                     f"library {variant}: \"{caption}\" box \"{shown['text']}\"; after it the "
                     f"program ends, no scan and no datagram: {got}")
    finally:
        shutil.rmtree(folder)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--wine", required=True, help="Wine loader for the program's architecture")
    parser.add_argument("--program", required=True, help='"Brannic Linkora CFG.exe"')
    parser.add_argument("--probe", required=True, help="linkora-cfg-ui-probe.exe of that architecture")
    parser.add_argument("--binding", required=True, help="folder of the stand-in libraries")
    parser.add_argument("--screenshots", help="folder for screenshots of the refusals")
    options = parser.parse_args()
    start_wine_session(options)
    checks = Checks()
    check_selected_row(options, checks)
    check_keys(options, checks)
    check_close_box(options, checks)
    check_port_readings(options, checks)
    check_normal_mode(options, checks)
    check_configure(options, checks)
    check_refusals(options, checks)
    check_refused_library(options, checks, "refused_1400", "Warning", "Incorrect TOLM.DLL version")
    check_refused_library(options, checks, "no_dll_get_version", "Error", "Error loading TOLM.DLL")
    left = running_programs()
    checks.check(not left, f"nothing of the program is left running: {left}")
    print(f"{checks.passed} passed, {checks.failed} failed", flush=True)
    return 1 if checks.failed else 0


if __name__ == "__main__":
    sys.exit(main())
