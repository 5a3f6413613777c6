#!/usr/bin/env python3
"""linkora against simulated modules, run inside a lab run (lab/lab run ... --):
   linkora_lab_test.py --linkora PATH [--wine LOADER] CASE
The lab options each case needs are in CMakeLists.txt beside this file. Prints
one line per check and exits 0 when every check held."""

import argparse
import csv
import io
import json
import os
import pty
import re
import select
import signal
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from schemas import errors_against  # noqa: E402
failures = []
LINKORA = []
RSS_LIMIT_MB = [64]
FLOOD_RATE = [50000]


def check(holds, what):
    print(("ok: " if holds else "FAIL: ") + what, flush=True)
    if not holds:
        failures.append(what)
    return holds


def linkora(*args, stdin=None, timeout=30):
    """Runs linkora; returns (status, stdout, stderr), line ends made LF. Output goes
    to files, not pipes: Wine's own processes, started by the first program, would
    inherit a pipe and keep it open."""
    with tempfile.TemporaryFile("w+") as out, tempfile.TemporaryFile("w+") as err:
        # Never the terminal a person ran the tests from: linkora would ask it.
        feed = {"input": stdin} if stdin is not None else {"stdin": subprocess.DEVNULL}
        status = subprocess.run(LINKORA + list(args), stdout=out, stderr=err, text=True,
                                timeout=timeout, **feed).returncode
        out.seek(0)
        err.seek(0)
        return status, out.read().replace("\r\n", "\n"), err.read().replace("\r\n", "\n")


def valid(document, schema):
    """Validates the document against docs/schemas/SCHEMA.schema.json; one check line."""
    errors = errors_against(document, schema)
    return check(not errors, f"{schema}: {errors[:3]}" if errors else f"{schema} holds")


def scan_json(*args):
    status, out, err = linkora("scan", "--format", "json", *args)
    check(status == 0, f"scan --format json {' '.join(args)} exits 0 (stderr: {err.strip()})")
    document = json.loads(out)
    valid(document, "scan")
    return document


def by_mac(document):
    return {module["mac"]: module for module in document["modules"]}


def case_formats():
    status, out, err = linkora("scan")
    lines = out.splitlines()
    check(status == 0 and lines[0].split()[:7] == ["IP", "SN", "GW", "DHCP", "Version", "Type",
                                                   "MAC"], "the table has the list's headings")
    ips = [line.split()[0] for line in lines[1:5]]
    check(ips == ["10.77.0.9", "10.77.0.101", "10.77.0.102", "10.77.0.105"],
          f"rows sorted by address value: {ips}")
    check(lines[4].split()[3:5] == ["Off", "N/A"], "unreported values read N/A")
    check("4 modules found" in out, "the table counts the modules")
    check("1 answer carries no MAC address" in out and "--format json" in out,
          "the answer without a MAC is counted, with a hint")

    document = scan_json()
    modules = by_mac(document)
    check(sorted(modules) == [f"02-00-00-00-00-0{n}" for n in (1, 2, 3, 5)], "JSON lists 4 modules")
    press = modules["02-00-00-00-00-01"]
    expected = {"ip": "10.77.0.101", "subnet_mask": "255.255.255.0", "gateway": "10.77.0.1",
                "dhcp": False, "module_version": "2.15.1000", "fb_type": "PROFIBUS DP",
                "host_name": "press_1", "dns1": "10.77.0.1", "dns2": "10.77.0.2",
                "password": False, "protocol_version": "1.0", "adapter": "tl0"}
    check(all(press[key] == value for key, value in expected.items()), f"JSON fields: {press}")
    check(modules["02-00-00-00-00-02"]["password"] is True, "password state in JSON")
    check(modules["02-00-00-00-00-03"]["dhcp"] is True, "DHCP state in JSON")
    frozen = modules["02-00-00-00-00-05"]
    check(frozen["gateway"] is None and frozen["fb_type"] is None and frozen["dns1"] is None,
          "null for what the module did not report")
    apart = document["answers_without_mac"]
    check(len(apart) == 1 and apart[0]["mac"] is None and apart[0]["ip"] == "10.77.0.99",
          "the answer without a MAC is listed apart")

    status, out, _ = linkora("scan", "--format", "csv")
    rows = list(csv.reader(io.StringIO(out)))
    check(status == 0 and rows[0][6] == "MAC" and len(rows) == 5 and rows[1][0] == "10.77.0.9",
          f"CSV: a heading row and 4 rows ({len(rows)} rows)")

    started = time.monotonic()
    status, out, _ = linkora("scan", "--expect", "2", "--min-wait-ms", "0", "--max-wait-ms",
                             "5000", "--quiet-ms", "5000")
    check(status == 0 and time.monotonic() - started < 2.5, "--expect 2 ends the scan early")
    status, _, err = linkora("scan", "--expect", "9", "--max-wait-ms", "400")
    check(status == 5 and "found 4 of 9 expected modules" in err, f"--expect 9 fails: {err!r}")


def on_terminal(args, answers):
    """Runs linkora on a new terminal, typing each answer after the prompt that ends
    in ': '; returns (status, everything the terminal showed)."""
    pid, terminal = pty.fork()
    if pid == 0:
        os.execv(LINKORA[0], LINKORA + args)
    shown, answers, answered_at = b"", list(answers), 0
    deadline = time.monotonic() + 30
    while time.monotonic() < deadline:
        ready, _, _ = select.select([terminal], [], [], 0.1)
        try:
            chunk = os.read(terminal, 4096) if ready else b""
        except OSError:  # the program ended and closed the terminal
            break
        shown += chunk
        # Only a prompt shown since the last answer: echo is off from then on.
        if answers and len(shown) > answered_at and shown.endswith(b": "):
            os.write(terminal, answers.pop(0).encode() + b"\n")
            answered_at = len(shown)
    os.close(terminal)
    _, status = os.waitpid(pid, 0)
    return os.waitstatus_to_exitcode(status), shown.decode(errors="replace")


def case_terminal():
    status, shown = on_terminal(["set", "02-00-00-00-00-02", "--hostname", "typed_2",
                                 "--new-password"], ["secret", "n3w_pw", "n3w_pw"])
    print(shown, flush=True)
    check(status == 0 and "Password of 02-00-00-00-00-02: " in shown and
          "New password again: " in shown, "the passwords are asked for on the terminal")
    check("secret" not in shown and "n3w_pw" not in shown, "what is typed is not echoed")
    status, shown = on_terminal(["set", "02-00-00-00-00-02", "--hostname", "x_2",
                                 "--new-password"], ["n3w_pw", "one", "other"])
    check(status == 2 and "the two new passwords differ" in shown, "differing new passwords")
    status, shown = on_terminal(["set", "02-00-00-00-00-02", "--hostname", "x_2",
                                 "--new-password"], ["n3w_pw", "", ""])
    check(status == 2 and "the new password is empty" in shown, "Enter twice: refused")
    status, shown = on_terminal(["set", "02-00-00-00-00-02", "--remove-password"], ["n3w_pw", "n"])
    check(status == 1 and "Remove the password of 02-00-00-00-00-02?" in shown and
          "the password stays; nothing was sent" in shown, "--remove-password asks first")
    # Ctrl-C at the password prompt: nothing sent, and the terminal echoes again.
    pid, terminal = pty.fork()
    if pid == 0:
        os.execv("/bin/sh", ["sh", "-c", '"$0" set 02-00-00-00-00-02 --hostname y_2; '
                             'echo "status $?"; stty -a', LINKORA[0]])
    shown = b""
    deadline = time.monotonic() + 30
    while time.monotonic() < deadline:
        if select.select([terminal], [], [], 0.1)[0]:
            try:
                chunk = os.read(terminal, 4096)
            except OSError:
                break
            shown += chunk
            if b"Password of" in chunk:
                os.write(terminal, b"\x03")
    os.close(terminal)
    os.waitpid(pid, 0)
    text = shown.decode(errors="replace")
    check("status 1" in text and "interrupted at the prompt; nothing was sent" in text and
          re.search(r"(?<![-\w])echo\b", text) is not None,
          "Ctrl-C at the prompt: exit 1, nothing sent, the echo is back")
    status, shown = on_terminal(["scan", "--min-wait-ms", "600"], [])
    check(status == 0 and "Scanning: " in shown, "a progress line on a terminal")
    _, _, err = linkora("scan")
    check(err == "", "no progress line when standard error is no terminal")


def set_module(*args, stdin=None):
    status, out, err = linkora("set", *args, stdin=stdin)
    print(out + err, end="", flush=True)
    return status, out + err


def case_set():
    outputs = []
    status, text = set_module("02-00-00-00-00-01", "--ip", "10.77.0.111", "--mask", "255.255.0.0",
                              "--gateway", "10.77.0.254", "--dhcp", "on", "--dns1", "10.77.0.53",
                              "--dns2", "10.77.0.54", "--hostname", "press_one")
    check(status == 0 and "Verified" in text, "set with every field is confirmed and verified")
    after = by_mac(scan_json())["02-00-00-00-00-01"]
    check((after["ip"], after["subnet_mask"], after["gateway"], after["dhcp"], after["dns1"],
           after["dns2"], after["host_name"]) ==
          ("10.77.0.111", "255.255.0.0", "10.77.0.254", True, "10.77.0.53", "10.77.0.54",
           "press_one"), f"the module reports every new value: {after}")
    status, text = set_module("02-00-00-00-00-01", "--ip", "10.77.0.101")
    after = by_mac(scan_json())["02-00-00-00-00-01"]
    check(status == 0 and after["host_name"] == "press_one" and after["dhcp"] is True and
          after["dns1"] == "10.77.0.53", "values not given, the host name among them, are kept")

    status, text = set_module("02-00-00-00-00-02", "--ip", "10.77.0.122", "--password-stdin",
                              stdin="wrong\n")
    outputs.append(text)
    check(status == 6 and "refused the password" in text, "a wrong password: exit 6")
    status, text = set_module("02-00-00-00-00-02", "--ip", "10.77.0.122")
    outputs.append(text)
    check(status == 2 and "password in force" in text, "no password and no terminal: exit 2")
    check(by_mac(scan_json())["02-00-00-00-00-02"]["ip"] == "10.77.0.102", "nothing was changed")
    status, text = set_module("02-00-00-00-00-02", "--hostname", "press_two", "--password-stdin",
                              stdin="secret\n")
    outputs.append(text)
    check(status == 0, "the right password from standard input")
    with tempfile.TemporaryDirectory() as folder:
        old, new = os.path.join(folder, "old"), os.path.join(folder, "new")
        with open(old, "w") as f:
            f.write("secret\n")
        with open(new, "w") as f:
            f.write("s3cr3t_new\n")
        status, text = set_module("02-00-00-00-00-02", "--password-file", old,
                                  "--new-password-file", new)
        outputs.append(text)
        check(status == 0, "the password and a new one from files")
        status, text = set_module("02-00-00-00-00-02", "--dns1", "10.77.0.8", "--password-file",
                                  old)
        outputs.append(text)
        check(status == 6, "the old password is refused after the change")
        status, text = set_module("02-00-00-00-00-02", "--dns1", "10.77.0.8", "--password-stdin",
                                  "--new-password", stdin="s3cr3t_new\nsecret\n")
        outputs.append(text)
        check(status == 0, "the new password and another new one from standard input")
    check(not any(word in text for text in outputs for word in ("secret", "wrong", "s3cr3t")),
          "no password appears in any output")

    # Ctrl-C while set verifies: the verification goes on; a second one stops it.
    setting = subprocess.Popen(LINKORA + ["set", "02-00-00-00-00-05", "--ip", "10.77.0.157",
                                          "--verify-ms", "20000"], stdin=subprocess.DEVNULL,
                               stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    started = time.monotonic()
    for line in setting.stdout:
        if line.startswith("Reconfigured:"):
            break
    setting.send_signal(signal.SIGINT)
    time.sleep(1.5)
    check(setting.poll() is None, "after one Ctrl-C the verification goes on")
    setting.send_signal(signal.SIGINT)
    rest = setting.stdout.read()
    setting.wait(timeout=10)
    check(setting.returncode == 8 and "Ctrl-C again: no longer verifying" in rest and
          time.monotonic() - started < 8, "a second Ctrl-C stops the verification: exit 8")

    # No password goes to a module that reports none in force; a password file others can read
    # is told of.
    with tempfile.TemporaryDirectory() as folder:
        shared = os.path.join(folder, "shared.pw")
        with open(shared, "w") as f:
            f.write("secret\n")
        os.chmod(shared, 0o644)
        status, text = set_module("02-00-00-00-00-01", "--hostname", "press_p", "--password-file",
                                  shared)
        check(status == 0 and requests_for("02-00-00-00-00-01")[-1] ==
              "Configure: 02-00-00-00-00-01;HN = press_p;\\x00" and
              f"the password file {shared} can be read by others than you (mode 0644)" in text,
              "no password to an unprotected module; a readable password file is told of")
        os.chmod(shared, 0o600)
        status, text = set_module("02-00-00-00-00-01", "--hostname", "press_q", "--password-file",
                                  shared)
        check(status == 0 and "can be read by others" not in text, "a private one is not")

    # An empty new password would remove the protection: refused unless asked for.
    sent = len(requests_for("02-00-00-00-00-02"))
    with tempfile.TemporaryDirectory() as folder:
        empty, pw = os.path.join(folder, "empty"), os.path.join(folder, "pw")
        open(empty, "w").close()
        with open(pw, "w") as f:
            f.write("secret\n")
        refusals = [
            (["--password-stdin", "--new-password"], "secret\n\n", "the new password is empty"),
            (["--password-file", pw, "--new-password-file", empty], None,
             f"the new password file {empty} holds no password"),
            (["--password-file", empty, "--hostname", "x_2"], None,
             f"the password file {empty} holds no password"),
        ]
        for args, stdin, message in refusals:
            status, text = set_module("02-00-00-00-00-02", *args, stdin=stdin)
            check(status == 2 and message in text, f"refused: {message}")
        check(len(requests_for("02-00-00-00-00-02")) == sent, "the refusals sent nothing")
        status, text = set_module("02-00-00-00-00-02", "--password-file", pw, "--remove-password")
        check(status == 0 and "New Password = ;" in requests_for("02-00-00-00-00-02")[-1] and
              by_mac(scan_json())["02-00-00-00-00-02"]["password"] is False,
              "--remove-password sends an empty new password and the protection is gone")

    status, text = set_module("02-00-00-00-00-05", "--ip", "10.77.0.155", "--verify-ms", "800")
    check(status == 8 and "IP address: sent 10.77.0.155, the module reports 10.77.0.105" in text,
          "a module that does not show the new value fails the verification")
    status, text = set_module("02-00-00-00-00-05", "--ip", "10.77.0.155", "--no-verify")
    check(status == 0 and "Verified" not in text, "--no-verify skips the verification")
    with open(os.environ["TOLM_LAB_SIM_LOG"]) as log:
        requests = [line for line in log if "Configure: 02-00-00-00-00-05;" in line]
    check(requests and "IP = 10.77.0.155;" in requests[-1] and "HN = frozen_5;" in requests[-1] and
          all(key not in requests[-1] for key in ("GW =", "DNS1 =", "DNS2 =")),
          f"values the module did not report are left unchanged, not sent as 0: {requests[-1:]}")
    status, text = set_module("02-00-00-00-00-42", "--ip", "10.77.0.42", "--find-ms", "300")
    check(status == 5 and "did not answer" in text, "a module that does not answer: exit 5")


def found_macs(*args):
    return sorted(by_mac(scan_json("--interface", "tl0", *args)))


def case_late_default():
    check(found_macs() == ["02-00-00-00-00-01", "02-00-00-00-0B-01", "02-00-00-00-0C-01"],
          "a default scan waits for the answer 846 ms after the first")


def case_late_short():
    started = time.monotonic()
    macs = found_macs("--min-wait-ms", "300")
    check(macs == ["02-00-00-00-00-01", "02-00-00-00-0B-01"] and time.monotonic() - started < 1.5,
          f"a shorter minimum ends the scan early and misses the late answer: {macs}")


def case_lossy():
    listed = [len(scan_json()["modules"]) for _ in range(5)]
    check(min(listed) >= 999, f"with a tenth of the answers lost, rounds list them all: {listed}")


def case_adapters():
    status, out, _ = linkora("scan")
    check(status == 0 and "Adapter" in out.splitlines()[0] and "through 2 adapters" in out,
          "the table shows the adapters when two were used")
    document = scan_json()
    adapters = {module["mac"]: module["adapter"] for module in document["modules"]}
    check(document["adapters"] == ["tl0", "tl1"] and
          adapters == {"02-00-00-00-00-01": "tl0", "02-00-00-00-0B-01": "tl1"},
          f"one segment found through each adapter: {adapters}")
    only = scan_json("--interface", "tl1")
    check([m["mac"] for m in only["modules"]] == ["02-00-00-00-0B-01"] and
          only["adapters"] == ["tl1"], "--interface tl1 limits the scan to its segment")
    status, out, _ = linkora("adapters", "--format", "json")
    listed = json.loads(out)
    valid(listed, "adapters")
    check(status == 0 and [(a["name"], a["address"], a["broadcast"]) for a in listed["adapters"]] ==
          [("tl0", "10.77.0.1", "10.77.0.255"), ("tl1", "10.77.1.1", "10.77.1.255")],
          f"linkora adapters lists both links: {listed}")
    status, out, _ = linkora("adapters")
    check(status == 0 and out.splitlines()[0].split()[:2] == ["Adapter", "Address"] and
          "2 adapters." in out, "and as a table")
    status, _, err = linkora("--interface", "eth9", "scan")
    check(status == 2 and 'no adapter "eth9"' in err and "tl0, tl1" in err,
          f"an unknown adapter is named with the ones there are: {err.strip()}")
    status, text = set_module("02-00-00-00-0B-01", "--hostname", "far_away")
    check(status == 0 and "through tl1" in text, "a module behind the second adapter is set")
    check(requests_for("02-00-00-00-0B-01", 2) and not requests_for("02-00-00-00-0B-01", 1),
          "its address fits neither adapter, yet its request leaves on its link only")

    # A second address on tl0, as a technician adds one to reach modules at a factory address:
    # still one request per interface, so a new password goes once and the next request's
    # old password is never refused by a copy.
    subprocess.run(["ip", "address", "add", "192.168.0.1/24", "dev", "tl0"], check=True)
    folder = os.environ["TOLM_LAB_DIR"]
    first, second = os.path.join(folder, "first.pw"), os.path.join(folder, "second.pw")
    for path, word in ((first, "first_1"), (second, "second_2")):
        with open(path, "w") as f:
            f.write(word + "\n")
        os.chmod(path, 0o600)
    before = len(requests_for("02-00-00-00-00-01"))
    status, _ = set_module("02-00-00-00-00-01", "--hostname", "two_addresses",
                           "--new-password-file", first)
    status2, text = set_module("02-00-00-00-00-01", "--password-file", first,
                               "--new-password-file", second)
    check(status == 0 and status2 == 0 and len(requests_for("02-00-00-00-00-01")) == before + 2,
          f"two addresses on one adapter: each request goes once ({status}, {status2})")
    status, out, _ = linkora("scan")
    check(status == 0 and "through 2 adapters" in out, "the adapter with two addresses counts once")
    status, out, _ = linkora("adapters")
    check(status == 0 and "2 adapters with 3 addresses." in out, f"also in adapters: {out}")


def case_errors():
    log = os.environ["TOLM_LAB_SIM_LOG"]
    long_name = "h" * 94
    with tempfile.NamedTemporaryFile("w", suffix=".pw") as long_password:
        long_password.write("p" * 89 + "\n")
        long_password.flush()
        cases = [
            (["scan", "--bogus"], "--bogus"),
            (["scan", "--format", "xml"], "xml"),
            (["scan", "--expect", "0"], "--expect"),
            (["frobnicate"], "frobnicate"),
            (["set", "--ip", "10.77.0.5"], "MAC"),
            (["set", "02-00-00-00-00-0G", "--ip", "10.77.0.5"], "not a hex digit"),
            (["set", "02-00-00-00-00-01", "--ip", "10.77.0.300"], "--ip: \"10.77.0.300\""),
            (["set", "02-00-00-00-00-01", "--mask", "255.255.0"], "--mask"),
            (["set", "02-00-00-00-00-01", "--gateway", "10.77.0.255.1"], "--gateway"),
            (["set", "02-00-00-00-00-01", "--dns1", "ten"], "--dns1"),
            (["set", "02-00-00-00-00-01", "--dhcp", "maybe"], "--dhcp"),
            (["set", "02-00-00-00-00-01", "--hostname", "press-1"], "illegal host name"),
            (["set", "02-00-00-00-00-01", "--hostname", long_name], "the host name is too long"),
            (["set", "02-00-00-00-00-01", "--ip", "10.77.0.5", "--password-file",
              long_password.name], "the password is too long"),
            (["set", "02-00-00-00-00-01", "--ip", "10.77.0.5", "--password-file", "/nonexistent"],
             "cannot read the password file"),
            (["set", "02-00-00-00-00-01", "--ip", "10.77.0.5", "--password-stdin",
              "--password-file", "/tmp/x"], "excludes"),
            (["set", "02-00-00-00-00-01"], "nothing to set"),
            (["set", "02-00-00-00-00-01", "--ip", "255.255.255.255"], "cannot be sent"),
            # What no module may be given, by the rule the program follows too.
            (["set", "02-00-00-00-00-01", "--mask", "255.0.255.0"],
             "--mask: the subnet mask 255.0.255.0 is not a subnet mask"),
            (["set", "02-00-00-00-00-01", "--ip", "0.0.0.0"],
             "--ip: the IP address 0.0.0.0 would leave the module without an address"),
            (["set", "02-00-00-00-00-01", "--ip", "10.77.0.1"],
             "--ip: the IP address 10.77.0.1 is this PC's own address"),
            (["set", "02-00-00-00-00-01", "--ip", "224.0.0.9"], "is a multicast address"),
            (["set", "02-00-00-00-00-01", "--ip", "10.77.0.255", "--find-ms", "500"],
             "the broadcast address of its subnet 10.77.0.0/24; nothing was sent"),
        ]
        for args, message in cases:
            status, _, err = linkora(*args)
            check(status == 2 and message in err and "p" * 89 not in err,
                  f"{' '.join(args)[:60]}: exit {status}, {err.strip()[:90]!r}")
    with open(log) as f:
        check("Configure:" not in f.read(), "no request was sent")

    holder = subprocess.Popen([os.environ["TOLM_SIM"], "--modules", "1", "--ip-base", "10.77.0.200",
                               "--ready-file", os.path.join(os.environ["TOLM_LAB_DIR"], "holder")])
    try:
        while not os.path.exists(os.path.join(os.environ["TOLM_LAB_DIR"], "holder")):
            time.sleep(0.02)
        status, _, err = linkora("scan")
        check(status == 4 and "port 3250 is taken" in err, f"port taken: exit 4, {err.strip()!r}")
    finally:
        holder.terminate()
        holder.wait()


def case_silent():
    status, out, err = linkora("check", "--max-wait-ms", "600")
    check(status == 5 and "No findings among 0 modules" in out and "no module answered" in err
          and "'linkora doctor'" in err,
          f"check with no module answering at all: exit 5 with the hint to doctor ({status})")


def case_watch():
    watch = subprocess.Popen(LINKORA + ["watch", "--format", "json"], stdin=subprocess.DEVNULL,
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    time.sleep(1.5)
    watch.send_signal(signal.SIGINT)
    out, err = watch.communicate(timeout=10)
    events = [json.loads(line) for line in out.splitlines() if line.strip()]
    for event in events:
        valid(event, "watch-line")
    macs = sorted({e["module"]["mac"] for e in events if e["event"] == "answer" and
                   e["module"]["mac"]})
    check(watch.returncode == 0 and err == "", f"Ctrl-C ends watch cleanly ({watch.returncode})")
    check(macs == [f"02-00-00-00-00-0{n}" for n in (1, 2, 3, 5)] and
          all("seconds" in e for e in events), f"watch prints every answer as JSON lines: {macs}")


def sim_log(side):
    with open(os.path.join(os.environ["TOLM_LAB_DIR"], f"sim-{side}.log")) as log:
        return log.read().splitlines()


def requests_for(mac, side=1):
    return [line for line in sim_log(side) if line.startswith(f"Configure: {mac};")]


def from_module_side(side, *sim_args):
    """Starts the simulator's sending mode on a module side, as a second sender there."""
    namespace = os.environ["TOLM_LAB_MODULE_NSES"].split()[side - 1]
    return subprocess.Popen(["ip", "netns", "exec", namespace, "env",
                             "TOLM_LAB=" + os.environ["TOLM_LAB"], os.environ["TOLM_SIM"],
                             *sim_args], stdin=subprocess.DEVNULL)


def case_trust():
    twin, plain, guarded, ghost = ("02-00-00-00-00-01", "02-00-00-00-00-02", "02-00-00-00-00-03",
                                   "02-00-00-00-00-99")
    document = scan_json()
    conflicts = {c["mac"]: c["answers"] for c in document["conflicts"]}
    check(list(conflicts) == [twin] and
          sorted(a["sender"] for a in conflicts[twin]) == ["10.77.0.101", "10.77.0.201"] and
          sorted(a["gateway"] for a in conflicts[twin]) == ["10.77.0.1", "10.77.0.66"] and
          twin in by_mac(document), f"a MAC answered from two senders is a conflict: {conflicts}")
    _, _, err = linkora("scan")
    check(f"two or more senders answer as MAC {twin}: " in err, f"the table's reader is told: {err}")
    status, text = set_module(twin, "--hostname", "cell_7", "--password-stdin", stdin="secret\n")
    check(status == 9 and "10.77.0.101 via tl0" in text and "10.77.0.201 via tl0" in text and
          not requests_for(twin, 1) and not requests_for(twin, 2), "set on a conflict: exit 9")

    status, text = set_module(plain, "--hostname", "cell_7")
    check(status == 0 and f"Sending: Configure: {plain};HN = cell_7;" in text and
          requests_for(plain)[-1] == f"Configure: {plain};HN = cell_7;\\x00",
          f"a new host name sends only the host name: {requests_for(plain)[-1:]}")
    status, text = set_module(plain, "--dns2", "10.77.0.54")
    after = by_mac(scan_json())[plain]
    check(status == 0 and requests_for(plain)[-1] == f"Configure: {plain};HN = cell_7;"
          "DNS2 = 10.77.0.54;\\x00" and (after["gateway"], after["dns1"], after["dns2"]) ==
          ("10.77.0.1", "10.77.0.53", "10.77.0.54"), "only the given value and the host name go")
    # A second sender that starts answering as the MAC after the change, with the new values:
    # the whole verification scan hears both, and neither is taken for the module.
    sent = len(requests_for(plain))
    setting = subprocess.Popen(LINKORA + ["set", plain, "--hostname", "cell_8", "--verify-ms",
                                          "2500"], stdin=subprocess.DEVNULL,
                               stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    while len(requests_for(plain)) == sent and setting.poll() is None:
        time.sleep(0.01)
    forger = from_module_side(2, "--send", f"mac = {plain};ip = 10.77.0.102;hn = cell_8;\\0",
                              "--repeat", "300", "--rate", "100")
    text, _ = setting.communicate(timeout=30)
    forger.terminate()
    forger.wait()
    print(text, end="")
    check(setting.returncode == 8 and "two or more senders answer as its MAC: 10.77.0.102 via "
          "tl0, 10.77.0.12 via tl0" in text, "a second sender after the change: not verified")
    status, text = set_module("02-00-00-00-00-44", "--ip", "10.77.0.150")
    check(status == 2 and "reported no host name" in text and
          not requests_for("02-00-00-00-00-44"), "no host name reported, none given: exit 2")

    status, text = set_module(guarded, "--hostname", "press_33", "--password-stdin",
                              stdin="secret\n")
    check(status == 0 and f"Sending: Configure: {guarded};Password: ****;HN = press_33;" in text and
          "secret" not in text, "the request is printed, its password as ****")
    forger = from_module_side(2, "--send", f"Reconfigured: {guarded}\\0", "--send",
                              "Reconfigured:\\0", "--repeat", "4000", "--rate", "1000")
    try:
        status, text = set_module(guarded, "--ip", "10.77.0.133", "--password-stdin",
                                  "--no-verify", stdin="wrong\n")
        check(status == 6 and "refused the password" in text,
              "the module's own refusal wins over another sender's confirmation")
        status, text = set_module(ghost, "--hostname", "ghost_2", "--no-verify", "--confirm-ms", "800")
        check(status == 7 and "no confirmation from the module" in text and
              'ignored a "Reconfigured:" from 10.77.0.12 via tl0' in text,
              "confirmations from others are no confirmation, also with --no-verify")
    finally:
        forger.terminate()
        forger.wait()

    # Ctrl-C while set waits for the confirmation: as in apply, the wait goes on.
    audit = os.path.join(os.environ["XDG_STATE_HOME"], "linkora", "audit.jsonl")
    setting = subprocess.Popen(LINKORA + ["set", ghost, "--hostname", "ghost_3", "--confirm-ms",
                                          "2000"], stdin=subprocess.DEVNULL,
                               stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    for line in setting.stdout:
        if line.startswith("Sending:"):
            break
    started = time.monotonic()
    setting.send_signal(signal.SIGINT)
    rest = setting.stdout.read()
    setting.wait(timeout=10)
    with open(audit) as f:
        last = [json.loads(line) for line in f][-2:]
    check(setting.returncode == 7 and "Ctrl-C: no further requests go" in rest and
          time.monotonic() - started > 1.5 and [l["result"] for l in last] ==
          ["sent", "not-confirmed"], "set: Ctrl-C waits for the confirmation asked for, logged")

    with tempfile.NamedTemporaryFile("w", suffix=".pw") as split:
        split.write("ab;IP = 10.0.0.1\n")
        split.flush()
        sent_before = len(requests_for(plain))
        status, text = set_module(plain, "--new-password-file", split.name)
        check(status == 2 and "the new password holds ';' at position 3" in text and
              len(requests_for(plain)) == sent_before, "a password that cannot travel: exit 2")

    status, out, _ = linkora("scan")
    check("\x1b" not in out and "\x07" not in out and "bell\\x07\\x1B[31m" in out,
          "terminal escapes in module texts reach the table escaped")
    _, out, _ = linkora("scan", "--format", "csv")
    check(",'=cmd|' /C calc'!A0," in out, "a CSV cell that would be a formula is quoted")
    status, shown = on_terminal(["scan", "--format", "csv"], [])
    # The progress line's own escapes aside, no byte of the module's reaches the terminal raw.
    check("\x07" not in shown and "\x1b[31m" not in shown and "bell\\x07\\x1B[31m" in shown,
          "CSV to a terminal escapes module texts as the table does")
    check(by_mac(scan_json())["02-00-00-00-00-55"]["host_name"] == "bell\x07\x1b[31m",
          "JSON keeps the text exact")
    status, text = set_module("02-00-00-00-00-55", "--hostname", "bell_ok", "--no-verify")
    check("\x1b" not in text and "host name bell\\x07\\x1B[31m" in text,
          "messages escape module texts too")


def peak_rss_mb(process):
    _, status, usage = os.wait4(process.pid, 0)
    process.returncode = os.waitstatus_to_exitcode(status)
    return usage.ru_maxrss / 1024


def case_flood():
    # Two senders: one alone reaches about 70,000 a second here.
    floods = [from_module_side(1, "--send", "junk without a key", "--repeat", "1500000",
                               "--rate", str(FLOOD_RATE[0])) for _ in range(2)]
    try:
        time.sleep(0.5)
        started = time.monotonic()
        scan = subprocess.Popen(LINKORA + ["scan", "--format", "json", "--max-wait-ms", "1500"],
                                stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                stderr=subprocess.DEVNULL, text=True)
        out = scan.stdout.read()
        rss = peak_rss_mb(scan)
        seconds = time.monotonic() - started
        document = json.loads(out)
        check(scan.returncode == 0 and len(document["modules"]) == 6,
              f"every real module is listed under the flood ({len(document['modules'])})")
        check(seconds < 1.5 + 2.5 and rss < RSS_LIMIT_MB[0],
              f"the scan ends ({seconds:.2f} s) and stays small ({rss:.1f} MB peak)")
        check(document["answers_without_mac_count"] == 1 and
              document["datagrams_without_mac"] > 1000, "the flood is counted, its answer once")
    finally:
        for flood in floods:
            flood.terminate()
            flood.wait()

    watch = subprocess.Popen(LINKORA + ["watch", "--format", "json"], stdin=subprocess.DEVNULL,
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    time.sleep(0.5)
    # Far more than the library can queue, while nobody reads watch's output.
    from_module_side(1, "--send", "junk without a key", "--repeat", "300000", "--rate",
                     "100000").wait(timeout=120)
    with open(f"/proc/{watch.pid}/status") as status:
        peak = [int(line.split()[1]) / 1024 for line in status if line.startswith("VmHWM")]
    watch.send_signal(signal.SIGINT)
    out, err = watch.communicate(timeout=30)
    check(peak and peak[0] < RSS_LIMIT_MB[0],
          f"watch with a stalled output stays bounded ({peak} MB)")
    dropped = [json.loads(line) for line in out.splitlines() if b'"event":"dropped"' in line]
    for event in dropped:
        valid(event, "watch-line")
    check(watch.returncode == 0 and b"answers dropped so far" in err and dropped,
          "watch tells of the answers dropped meanwhile")


PLANT = [f"02-00-00-00-01-{n:02d}" for n in range(1, 19)]
GHOST, MISSING, STRAY = "02-00-00-00-01-99", "02-00-00-00-01-30", "02-00-00-00-01-21"
PASSWORDS = ("secret", "own07", "own15", "wrong15")
HEADING = ["MAC", "IP", "SN", "GW", "DHCP", "Host name", "DNS1", "DNS2"]
# Per module: the plan's cells (by heading) and the pieces its request must carry.
PLAN = {
    1: ({"IP": "10.77.0.201", "Host name": "cell_01"}, "IP = 10.77.0.201;HN = cell_01;"),
    2: ({"IP": "10.77.0.202"}, "IP = 10.77.0.202;HN = st_02;"),
    3: ({"Host name": "cell_03"}, "Password: secret;HN = cell_03;"),
    4: ({"GW": "10.77.0.254", "DNS1": "10.77.0.53"}, "GW = 10.77.0.254;HN = st_04;DNS1 = 10.77.0.53;"),
    5: ({"DHCP": "on"}, "DHCP = ON;HN = st_05;"),
    6: ({"SN": "255.255.0.0", "DHCP": "Off"}, "SN = 255.255.0.0;HN = st_06;"),
    7: ({"IP": "10.77.0.207"}, "Password: own07;IP = 10.77.0.207;HN = st_07;"),
    11: ({"IP": "10.77.0.211"}, "Password: secret;IP = 10.77.0.211;HN = st_11;"),
    12: ({"DNS2": "10.77.0.3"}, "Password: secret;HN = st_12;DNS2 = 10.77.0.3;"),
    15: ({"IP": "10.77.0.215"}, "Password: wrong15;IP = 10.77.0.215;HN = st_15;"),
    17: ({"IP": "10.77.0.117", "Host name": "st_17", "SN": "N/A"}, None),
}
for n in (8, 9, 10, 13, 14, 16):
    PLAN[n] = ({"IP": f"10.77.0.2{n:02d}", "Host name": f"cell_{n:02d}"},
               f"IP = 10.77.0.2{n:02d};HN = cell_{n:02d};")


def plan_file(folder, name, rows):
    """Writes a CSV plan of (mac, cells) rows; returns its path."""
    path = os.path.join(folder, name)
    with open(path, "w", newline="") as f:
        out = csv.writer(f)
        out.writerow(HEADING)
        for mac, cells in rows:
            out.writerow([mac if h == "MAC" else cells.get(h, "") for h in HEADING])
    return path


def configure_lines():
    return [line for line in sim_log(1) if line.startswith("Configure: ")]


def audit_lines(path):
    if not os.path.exists(path):
        return []
    with open(path) as f:
        return [json.loads(line) for line in f]


def apply_plan(*args, stdin=None):
    status, out, err = linkora("apply", *args, stdin=stdin, timeout=60)
    print(out + err, end="", flush=True)
    return status, out, err


def case_plant():
    folder = os.environ["TOLM_LAB_DIR"]
    audit = os.path.join(os.environ["XDG_STATE_HOME"], "linkora", "audit.jsonl")
    plan_rows = [(PLANT[n - 1], cells) for n, (cells, _) in sorted(PLAN.items())]
    plan_rows += [(PLANT[17], {}), (GHOST, {"Host name": "ghost_2"}),
                  (MISSING, {"IP": "10.77.0.230"})]
    plan = plan_file(folder, "plan.csv", plan_rows)
    passwords = os.path.join(folder, "passwords.csv")
    with open(passwords, "w") as f:
        f.write(f"mac,password\n{PLANT[6]},own07\n{PLANT[14]},wrong15\n")
    report = os.path.join(folder, "report.json")

    status, out, _ = linkora("check", "--format", "json")
    document = json.loads(out)
    check(status == 0 and document["findings"] == [] and document["answered"] == 20,
          f"check: a sound network has no findings ({status})")
    valid(document, "check")

    broken = plan_file(folder, "broken.csv", [
        (PLANT[0], {"IP": "10.77.0.300"}), ("02-00-00-00-01", {}),
        (PLANT[2], {"Host name": "a;b", "DHCP": "maybe"})])
    status, _, err = apply_plan(broken)
    check(status == 2 and "broken.csv:2:19: \"10.77.0.300\" is not an IPv4 address" in err and
          "broken.csv:3:1: \"02-00-00-00-01\" is not a MAC address" in err and
          "broken.csv:4:22: unknown DHCP word \"maybe\"" in err and
          "broken.csv:4:28: the host name \"a;b\" holds ';'" in err and "4 problems" in err,
          "a malformed plan: exit 2, every problem with its line and column")

    collides = plan_file(folder, "collides.csv", plan_rows[:1] + [(PLANT[1], {"IP": "10.77.0.121"})])
    status, out, _ = linkora("check", "--plan", collides, "--format", "json")
    valid(json.loads(out), "check")
    taken = [f for f in json.loads(out)["findings"] if f["kind"] == "address-taken"]
    check(status == 10 and taken and taken[0]["macs"] == [PLANT[1], STRAY],
          f"check --plan: a planned address another module holds ({taken})")
    status, out, _ = apply_plan(collides, "--password-stdin", stdin="secret\n")
    check(status == 10 and "address-taken" in out and "Refused: the plan has 1 error" in out and
          not configure_lines(), "apply refuses a plan with an error and sends nothing")

    status, out, _ = apply_plan(plan, "--dry-run", "--passwords", passwords, "--report", report)
    rows = {line.split()[0]: line.split()[-1] for line in out.splitlines()
            if line.startswith("02-") and line.split()[-1] in ("would-change", "unchanged",
                                                              "missing")}
    check(status == 11 and len(rows) == 20 and rows[PLANT[16]] == rows[PLANT[17]] == "unchanged" and
          rows[MISSING] == "missing" and list(rows.values()).count("would-change") == 17,
          f"dry run: one row per planned module ({status}, {len(rows)} rows)")
    check(f"{PLANT[2]} through tl0: Configure: {PLANT[2]};Password: ****;HN = cell_03;" in out and
          "Dry run: nothing was sent." in out and not configure_lines(),
          "dry run: each request as it would go, passwords as ****; nothing on the wire")
    with open(report) as f:
        valid(json.load(f), "apply-report")

    status, out, err = apply_plan(plan, "--password-stdin", "--passwords", passwords, "--report",
                                  report, "--confirm-ms", "1500", stdin="secret\n")
    results = {line.split()[0]: line.split()[-1] for line in out.splitlines()
               if line.startswith("02-00-00-00-01-") and " " in line}
    expected = {PLANT[n - 1]: "verified" for n in PLAN if n not in (15, 17)}
    expected.update({PLANT[14]: "invalid-password", PLANT[16]: "unchanged",
                     PLANT[17]: "unchanged", GHOST: "not-confirmed", MISSING: "missing"})
    check(status == 11 and results == expected,
          f"apply: every planned module ends as it should ({status}): "
          f"{ {m: r for m, r in results.items() if expected.get(m) != r} }")
    sent = {line.split(";")[0][len("Configure: "):]: line for line in configure_lines()}
    wrong = [mac for n, (_, pieces) in PLAN.items() if pieces
             for mac in [PLANT[n - 1]] if sent.get(mac) != f"Configure: {mac};{pieces}\\x00"]
    check(not wrong and sorted(sent) == sorted([PLANT[n - 1] for n in PLAN if n != 17] + [GHOST]),
          f"only the planned pieces went on the wire, one request per module: {wrong}")
    with open(report) as f:
        document = json.load(f)
    valid(document, "apply-report")
    modules = {m["mac"]: m for m in document["modules"]}
    check(document["exit_code"] == 11 and modules[PLANT[0]]["after"]["ip"] == "10.77.0.201" and
          modules[PLANT[0]]["before"]["ip"] == "10.77.0.101" and
          modules[PLANT[2]]["request"][1] == "Password: ****;",
          "the report has before, after and the request's pieces without passwords")
    lines = audit_lines(audit)
    outcomes = [line for line in lines if line["result"] != "sent"]
    check(len(lines) == 34 and all([valid(line, "audit-line") for line in lines]) and
          [line["mac"] for line in lines if line["result"] == "sent"] ==
          [line["mac"] for line in outcomes] and
          {line["mac"]: line["result"] for line in outcomes}[GHOST] == "not-confirmed" and
          f"Audit log: {audit} (34 lines added)" in out,
          f"an audit line as each request goes and one with its outcome ({len(lines)})")
    texts = [out, err, json.dumps(document)] + [json.dumps(line) for line in lines]
    check(not any(word in text for text in texts for word in PASSWORDS[:3] + ("wrong15",)),
          "no password in the output, the report or the audit log")

    # With the right password the refused module is done; after that nothing is left to send.
    fixed = plan_file(folder, "fixed.csv", plan_rows[:-2])
    with open(passwords, "w") as f:
        f.write(f"{PLANT[6]},own07\n{PLANT[14]},own15\n")
    status, out, _ = apply_plan(fixed, "--password-stdin", "--passwords", passwords,
                                stdin="secret\n")
    check(status == 0 and len(configure_lines()) == len(sent) + 1, "apply sends what is left")
    for form in ("csv", "json"):
        _, exported, _ = linkora("scan", "--format", form)
        with open(os.path.join(folder, "scan." + form), "w") as f:
            f.write(exported)
    before = len(configure_lines())
    for again in (fixed, os.path.join(folder, "scan.csv"), os.path.join(folder, "scan.json")):
        status, out, _ = apply_plan(again, "--find-ms", "1000")
        check(status == 0 and len(configure_lines()) == before,
              f"applying {os.path.basename(again)} again sends nothing and exits 0")
    check(len(audit_lines(audit)) == 36, "no audit line when nothing is sent")

    status, text = set_module(PLANT[0], "--hostname", "set_01", "--log",
                              os.path.join(folder, "set.jsonl"))
    lines = audit_lines(os.path.join(folder, "set.jsonl"))
    check(status == 0 and [line["result"] for line in lines] == ["sent", "verified"] and
          lines[0]["command"] == "set" and
          lines[0]["changes"] == [{"field": "host_name", "before": "cell_01", "after": "set_01"}] and
          all([valid(line, "audit-line") for line in lines]), "set writes the same audit lines")
    for verb in (["set", PLANT[0], "--hostname", "set_1"], ["apply", fixed]):
        status, _, err = linkora(*verb, "--log", "/proc/x/audit.jsonl")
        check(status == 1 and "cannot make the audit log's folder /proc/x" in err and
              "nothing was sent" in err and len(configure_lines()) == before + 1,
              f"{verb[0]}: a log that cannot be written: exit 1, nothing sent")
        status, _, err = linkora(*verb, "--report", "/proc/x/report.json")
        check(status == 1 and "cannot write the report /proc/x/report.json" in err and
              "nothing was sent" in err and len(configure_lines()) == before + 1,
              f"{verb[0]}: a report that cannot be written: exit 1, nothing sent")
    with open(fixed) as f:
        kept = f.read()
    for name in (fixed, os.path.join(folder, "set.jsonl")):
        status, _, err = linkora("apply", fixed, "--report", name, "--log",
                                 os.path.join(folder, "set.jsonl"))
        with open(fixed) as f:
            check(status == 2 and "would overwrite" in err and f.read() == kept,
                  f"a report that would overwrite {os.path.basename(name)}: exit 2")

    # Ctrl-C while the first request waits: nothing further goes, the run still reports. The
    # second module is to take the ghost's address, so it waits for the ghost's move.
    ghost_first = plan_file(folder, "ghost_first.csv",
                            [(GHOST, {"IP": "10.77.0.198", "Host name": "ghost_3"}),
                             (PLANT[0], {"IP": "10.77.0.199"})] + plan_rows[1:3])
    secret = os.path.join(folder, "secret")
    with open(secret, "w") as f:
        f.write("secret\n")
    started = time.monotonic()
    apply = subprocess.Popen(LINKORA + ["apply", ghost_first, "--report", report, "--confirm-ms",
                                        "2000", "--password-file", secret],
                             stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                             stderr=subprocess.PIPE, text=True)
    while not any(GHOST in line and "ghost_3" in line for line in configure_lines()):
        time.sleep(0.05)
    apply.send_signal(signal.SIGINT)
    out, err = apply.communicate(timeout=30)
    print(out + err)
    with open(report) as f:
        document = json.load(f)
    results = {m["mac"]: m["result"] for m in document["modules"]}
    check(apply.returncode == 11 and document["interrupted"] and results[GHOST] == "not-confirmed"
          and set(results.values()) == {"not-confirmed", "not-sent", "unchanged"} and
          "Ctrl-C: no further requests go" in err and time.monotonic() - started < 10,
          f"Ctrl-C: no further request, the one in flight waited for, reported: {results}")

    # The SSH session drops while the first request waits, its output long gone (| head):
    # the run ends as after Ctrl-C and keeps its record.
    logged = len(audit_lines(audit))
    ghost_again = plan_file(folder, "ghost_again.csv", [(GHOST, {"Host name": "ghost_4"})])
    apply = subprocess.Popen(LINKORA + ["apply", ghost_again, "--report", report, "--confirm-ms",
                                        "2000"],
                             stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL)
    apply.stdout.close()
    while not any(GHOST in line and "ghost_4" in line for line in configure_lines()):
        time.sleep(0.05)
    apply.send_signal(signal.SIGHUP)
    apply.wait(timeout=30)
    with open(report) as f:
        document = json.load(f)
    lines = audit_lines(audit)[logged:]
    check(apply.returncode == 11 and document["interrupted"] and document["plan"] == ghost_again
          and [line["result"] for line in lines] == ["sent", "not-confirmed"] and
          lines[0]["changes"][0]["before"] == "ghost",
          f"SIGHUP with standard output closed: the record is whole ({apply.returncode}, "
          f"{[line['result'] for line in lines]})")

    # Address hand-overs: a swap can never go; a chain goes from its free end.
    sixteen, seventeen = PLANT[15], PLANT[16]  # at 10.77.0.216 and 10.77.0.117 by now
    before = len(configure_lines())
    swap = plan_file(folder, "swap.csv", [(sixteen, {"IP": "10.77.0.117"}),
                                           (seventeen, {"IP": "10.77.0.216"})])
    status, out, _ = apply_plan(swap, "--find-ms", "1000")
    check(status == 10 and "address-cycle" in out and len(configure_lines()) == before,
          "a swap of addresses is refused as an address-cycle, nothing sent")
    chain = plan_file(folder, "chain.csv", [(sixteen, {"IP": "10.77.0.117"}),
                                            (seventeen, {"IP": "10.77.0.241"})])
    status, out, _ = apply_plan(chain, "--find-ms", "1000")
    order = [line.split(";")[0][len("Configure: "):] for line in configure_lines()[before:]]
    check(status == 0 and order == [seventeen, sixteen],
          f"a chain: the holder moves first, then its address is given on ({status}, {order})")


def case_plan_files():
    """Plans as spreadsheets and shells save them read as one; what cannot be read is refused."""
    folder = os.environ["TOLM_LAB_DIR"]

    def write(name, text, encoding="utf-8"):
        path = os.path.join(folder, name)
        marks = {"utf-16-le": b"\xff\xfe", "utf-16-be": b"\xfe\xff"}
        with open(path, "wb") as f:
            f.write(marks.get(encoding, b"") + text.encode(encoding))
        return path

    def findings(path):
        status, out, err = linkora("check", "--plan", path, "--format", "json")
        if status != 10:
            return status, err.strip()
        return status, [(f["kind"], f["macs"], f["message"]) for f in json.loads(out)["findings"]]

    # The program's labels, quoted cells, a trailing empty column, N/A.
    rows = [["MAC address:", "IP address", "Hostname", "Type", ""],
            ["02-00-00-00-00-01", "10.77.0.151", "cell_1", "PROFIBUS, DP", ""],
            ["02-00-00-00-00-02", "N/A", "cell_2", "Z\u00e4hler", ""]]
    expected = None
    for encoding in ("utf-8", "utf-8-sig", "utf-16-le", "utf-16-be"):
        for separator, end in ((",", "\n"), (";", "\r\n"), ("\t", "\r\n")):
            text = "".join(separator.join(f'"{c}"' if separator in c or " " in c else c
                                          for c in row) + end for row in rows)
            got = findings(write("plan.csv", text, encoding))
            expected = expected or got
            same = got == expected and got[0] == 10
            check(same and [kind for kind, _, _ in got[1]].count("differs") == 3,
                  f"{encoding} with {separator!r} and {end!r} reads as the same plan" +
                  ("" if same else f": {got} against {expected}"))

    status, _, err = linkora("apply", write("typo.csv", "MAC,Adress,Host name\n"
                                                        "02-00-00-00-00-01,10.77.0.152,x\n"))
    check(status == 2 and 'typo.csv:1:5: unknown heading "Adress"' in err and
          "IP address" in err and not any(line.startswith("Configure: ") for line in sim_log(1)),
          f"an unknown heading: exit 2, named with the headings known, nothing sent ({status})")
    status, _, err = linkora("check", "--plan", write("number.csv", "MAC;IP\n"
                                                                    "02-00-00-00-00-01;1077001\n"))
    check(status == 2 and 'number.csv:2:19: "1077001" is a number, not an IPv4 address' in err,
          f"a cell a spreadsheet turned into a number: exit 2, its place and what it holds ({err})")
    status, got = findings(write("nothing.json", '[{"mac": "02-00-00-00-00-01", "ip": null}]'))
    check(status == 10 and [(kind, macs) for kind, macs, _ in got if kind != "unexpected"] ==
          [("plans-nothing", ["02-00-00-00-00-01"])],
          f"a module the plan gives nothing: warning plans-nothing ({got})")


def case_wine():
    status, out, _ = linkora("scan")
    print(out, end="")
    check(status == 0 and "through 2 adapters" in out, "linkora.exe scans through both adapters")
    adapters = {m["mac"]: m["adapter"] for m in scan_json()["modules"]}
    check(adapters == {"02-00-00-00-00-01": "tl0", "02-00-00-00-0B-01": "tl1"},
          f"each answer names its adapter under Wine: {adapters}")
    status, text = set_module("02-00-00-00-0B-01", "--ip", "10.77.1.150", "--hostname", "wine_set")
    check(status == 0 and "Verified" in text, "linkora.exe sets a module behind the second adapter")
    status, text = set_module("02-00-00-00-00-01", "--ip", "10.77.0.300")
    check(status == 2 and "10.77.0.300" in text, "linkora.exe refuses a bad address")
    plan = os.path.join(os.environ["TOLM_LAB_DIR"], "plan.csv")
    with open(plan, "w") as f:
        f.write("mac,ip,host_name\n02-00-00-00-00-01,10.77.0.111,wine_1\n"
                "02-00-00-00-0B-01,,wine_b\n")
    status, out, err = linkora("apply", plan)
    print(out + err, end="")
    check(status == 0 and out.count("  verified\n") == 2 and "Audit log: C:\\" in out and
          "linkora\\audit.jsonl (4 lines added)" in out,
          "linkora.exe applies a plan through both adapters and logs to %LOCALAPPDATA%")


def doctor(*args):
    """Runs doctor as a table and as JSON; returns (status, table, document), the document
    checked against its schema and the two runs' statuses against each other."""
    status, out, err = linkora("doctor", "--round-ms", "500", *args)
    print(out + err, end="", flush=True)
    json_status, text, _ = linkora("doctor", "--round-ms", "500", "--format", "json", *args)
    document = json.loads(text)
    valid(document, "doctor")
    check(json_status == status and document["stands_in_the_way"] == (status == 10),
          f"table and JSON agree on the exit status ({status}, {json_status})")
    return status, out, document


def findings(document, severity, words):
    return [f for f in document["findings"] if f["severity"] == severity and words in f["seen"]]


def shell(*commands):
    for command in commands:
        subprocess.run(command, shell=True, check=True)


def case_doctor():
    status, out, document = doctor()
    check(status == 0 and "Nothing stands in the way" in out and document["answered"] == 3 and
          findings(document, "ok", "3 modules answered through tl0"),
          f"a healthy segment: exit 0, three modules through tl0 ({status})")

    # Adapters, veth pairs named as lab links (the kernel may lack dummy links, the lab guard
    # refuses other names): one up without IPv4, its peer on 169.254.x.x, a third on tl0's subnet.
    shell("ip link add tlbare type veth peer name tldirect",
          "ip address add 169.254.7.7/16 dev tldirect", "ip link set tlbare up",
          "ip link set tldirect up", "ip link add tltwin type veth peer name tltwinpeer",
          "ip address add 10.77.0.200/24 dev tltwin", "ip link set tltwin up",
          "ip link set tltwinpeer up")
    status, _, document = doctor()
    check(status == 10 and findings(document, "warning", "tlbare is up but has no IPv4 address") and
          findings(document, "warning", "only the link-local address 169.254.7.7/16") and
          findings(document, "warning", "are on one subnet 10.77.0.0/24") and
          document["answered"] == 3, "the adapters without IPv4, on 169.254 and on one subnet")
    shell("ip link del tlbare", "ip link del tltwin")

    # Another program holds the port: which one, and no scan passed for done.
    holder = subprocess.Popen([sys.executable, "-c", "import socket, time\n"
                               "s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)\n"
                               "s.bind(('0.0.0.0', 3250))\nprint('bound', flush=True)\n"
                               "time.sleep(60)"], stdout=subprocess.PIPE, text=True)
    holder.stdout.readline()
    try:
        status, out, document = doctor()
    finally:
        holder.kill()
        holder.wait()
    check(status == 10 and findings(document, "error", f"held by PID {holder.pid} (python3)")
          and findings(document, "info", "could not check: the scan") and
          document["answered"] == 0, "a process holding UDP 3250 is named by PID and program")


def case_doctor_filters():
    # The module behind tl1 answers from 192.168.9.101: outside the subnet, seen while
    # nothing filters it.
    status, _, document = doctor()
    check(status == 10 and findings(document, "warning", "at 192.168.9.101 answered through tl1 "
                                    "from outside its subnet 10.77.1.0/24"),
          "an answer from outside the adapter's subnet")
    shell("sysctl -qw net.ipv4.conf.all.rp_filter=1",
          "nft add table inet doctor_test",
          "nft add chain inet doctor_test input '{ type filter hook input priority 0; }'",
          "nft add rule inet doctor_test input udp dport 3250 drop")
    status, out, document = doctor()
    check(status == 10 and findings(document, "error", "an nftables rule drops UDP port 3250") and
          "nft delete rule inet doctor_test input handle" in out and
          findings(document, "warning", "strict reverse-path filtering on tl1") and
          not findings(document, "warning", "reverse-path filtering on tl0") and
          document["answered"] == 0, "a dropping nftables rule, and strict rp_filter on tl1")
    # The rule gone, strict filtering alone hides the module outside tl1's subnet; the kernel
    # counts what it dropped.
    shell("nft delete table inet doctor_test")
    status, _, document = doctor()
    check(status == 10 and document["answered"] == 1 and
          findings(document, "warning", "by reverse-path filtering during the scan"),
          "strict rp_filter: the module outside the subnet is missing, the drops counted")


def case_doctor_lossy():
    status, _, document = doctor("--rounds", "4")
    check(status == 10 and findings(document, "warning", "rounds only: answers are lost"),
          "a lossy segment: modules missing from some rounds")


def case_doctor_wine():
    status, out, document = doctor()
    check(status in (0, 10) and document["answered"] == 2 and
          findings(document, "ok", "answered through tl0"),
          f"linkora.exe doctor scans under Wine ({status})")
    unchecked = [f["seen"] for f in document["findings"] if not f["checked"]]
    check(all(f.startswith("could not check: ") for f in unchecked) and
          all(f["severity"] == "info" for f in document["findings"] if not f["checked"]),
          f"what Wine cannot answer is said so: {unchecked}")
    check(findings(document, "ok", "linkora can listen on UDP port 3250"),
          "the port's table is read under Wine")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--linkora", required=True)
    parser.add_argument("--wine")
    parser.add_argument("--rss-limit-mb", type=int, default=64,
                        help="a sanitizer's shadow memory needs more than the 64 MB a build keeps to")
    parser.add_argument("--flood-rate", type=int, default=50000,
                        help="datagrams a second of each of the flood's two senders; a sanitized "
                             "library drains far fewer than a build does")
    parser.add_argument("case")
    arguments = parser.parse_args()
    RSS_LIMIT_MB[0] = arguments.rss_limit_mb
    FLOOD_RATE[0] = arguments.flood_rate
    # The audit log of set and apply goes into the run, never the user's own.
    os.environ["XDG_STATE_HOME"] = os.path.join(os.environ["TOLM_LAB_DIR"], "state")
    LINKORA.extend(([arguments.wine] if arguments.wine else []) + [arguments.linkora])
    globals()["case_" + arguments.case]()
    print(f"{arguments.case}: {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
