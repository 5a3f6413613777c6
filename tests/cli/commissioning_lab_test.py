#!/usr/bin/env python3
"""Commissioning a line inside a lab run (lab/lab run ... --): a plan made from a range,
checked and applied, its reports in each format; modules assigned as they are powered up.
   commissioning_lab_test.py --linkora PATH CASE
The lab options each case needs are in CMakeLists.txt beside this file."""

import argparse
import csv
import json
import os
import pty
import select
import signal
import sys
import time

import linkora_lab_test as lab
from linkora_lab_test import check, linkora, valid

RANGE = ["--ip", "10.77.0.201", "--ip-last", "10.77.0.220", "--hostname", "press_{n:02}"]


def folder_file(name):
    return os.path.join(os.environ["TOLM_LAB_DIR"], name)


def rows_of(path):
    with open(path, newline="") as f:
        return list(csv.reader(f))


def parsed_html(path):
    """The page's rows of cells as a real HTML parser reads it; a parse error fails."""
    with open(path, "rb") as f:
        page = f.read()
    try:
        import html5lib
        document = html5lib.HTMLParser(strict=True, namespaceHTMLElements=False).parse(page)
        rows = document.iter("tr")
        return [["".join(cell.itertext()) for cell in row] for row in rows]
    except ImportError:
        pass
    try:
        from bs4 import BeautifulSoup
    except ImportError:
        check(False, "an HTML parser (python3-html5lib or python3-bs4) is installed")
        return []
    soup = BeautifulSoup(page, "html.parser")
    return [[cell.get_text() for cell in row.find_all(["th", "td"])] for row in soup.find_all("tr")]


def case_range():
    status, _, err = linkora("plan", "--ip", "10.77.0.201", "--ip-last", "10.77.0.210",
                             "--hostname", "p_{n}")
    check(status == 2 and "numbers 10 modules, not the 20 found" in err, f"a range too small: {err}")
    for args, why in ((["--ip", "10.77.0.240", "--hostname", "p_{n}"], "broadcast"),
                      (["--ip", "10.77.0.1", "--hostname", "p_{n}"], "this PC"),
                      (["--ip", "10.77.0.201", "--hostname", "press-{n}"], "breaks the host-name rule"),
                      (["--ip", "10.77.0.201", "--hostname", "press_{x}"], "is not {n}"),
                      # Elsewhere -o is the format: here a format's name is a slip.
                      (["--ip", "10.77.0.201", "-o", "json"], "give -f json"),
                      # Module 2 is an EtherCAT module, which a plan of the PROFINET ones leaves out.
                      (["--ip", "10.77.0.102", "--only-type", "profinet"], "10.77.0.102")):
        status, _, err = linkora("plan", *args)
        check(status == 2 and why in err,
              f"plan {' '.join(args)} is refused naming '{why}': {err.strip()}")

    plan = folder_file("plan.csv")
    status, out, err = linkora("plan", *RANGE, "-o", plan)
    print(out + err, end="")
    rows = rows_of(plan)
    check(status == 0 and rows[0] == ["MAC", "IP", "Host name"] and len(rows) == 21 and
          rows[1] == ["02-00-00-00-00-01", "10.77.0.201", "press_01"] and
          rows[20][1:] == ["10.77.0.220", "press_20"], f"a plan of 20 from the range ({status})")
    status, out, _ = linkora("plan", *RANGE, "--sort", "mac", "--only-type", "EtherCAT",
                             "--format", "json")
    document = json.loads(out) if status == 0 else {"modules": []}
    check([m["mac"] for m in document["modules"]] == [f"02-00-00-00-00-{n:02X}" for n in
                                                      range(2, 21, 2)] and
          document["modules"][0]["host_name"] == "press_01",
          "--only-type and --sort mac as JSON: the ten EtherCAT modules")

    with open(plan) as f:
        written = f.read()
    status, out, _ = linkora("plan", "--from", plan, *RANGE)
    check(status == 0 and out == written, "--from the plan's own file gives the same plan")

    status, out, _ = linkora("check", "--plan", plan, "--format", "json")
    findings = json.loads(out)["findings"]
    check(status == 10 and len({f["macs"][0] for f in findings}) == 20 and
          {f["kind"] for f in findings} == {"differs"},
          f"check --plan finds only differences ({status}, {[f['kind'] for f in findings][:3]})")

    html = folder_file("report.html")
    status, out, err = linkora("apply", plan, "--report", html, timeout=60)
    print(out + err, end="")
    check(status == 0 and out.count(" verified\n") == 20, f"apply verifies all 20 ({status})")
    table = parsed_html(html)
    modules = [row for row in table if len(row) == 7 and row[0].startswith("02-")]
    check(len(modules) == 20 and all(row[3] == "verified" for row in modules) and
          modules[0][1] == "IP 10.77.0.101, Host name module-1" and
          modules[0][2] == "IP 10.77.0.201, Host name press_01",
          f"the HTML report parses and holds every module's before and after: {modules[:1]}")
    status, out, _ = linkora("check", "--plan", plan)
    check(status == 0, f"check --plan after apply finds nothing ({status}): {out.strip()}")

    report = folder_file("set.CSV")
    status, _, _ = linkora("set", "02-00-00-00-00-05", "--hostname", "spare_05", "--report", report)
    rows = rows_of(report)
    check(status == 0 and rows[0] == ["MAC", "before", "after", "result", "time", "adapter",
                                      "user"] and
          rows[1][:4] == ["02-00-00-00-00-05", "Host name press_05", "Host name spare_05",
                          "verified"] and rows[1][4].endswith("Z") and rows[1][5] == "tl0",
          f"set --report .CSV: one row per module ({rows[1:]})")
    report = folder_file("again.json")
    status, out, _ = linkora("apply", plan, "--report", report, timeout=60)
    with open(report) as f:
        document = json.load(f)
    valid(document, "apply-report")
    results = [m["result"] for m in document["modules"]]
    check(status == 0 and results.count("unchanged") == 19 and results.count("verified") == 1,
          f"applied again, only the renamed module is sent to ({status})")


def assign(*args, timeout=40):
    status, out, err = linkora("assign", *args, timeout=timeout)
    print(out + err, end="", flush=True)
    return status, out, err


def configured_macs(side):
    return [line.split(";")[0][len("Configure: "):] for line in lab.sim_log(side)
            if line.startswith("Configure: ")]


def case_assign_yes():
    status, _, err = assign("--ip", "10.77.0.201", "--hostname", "press_{n:02}")
    check(status == 2 and "--yes" in err and configured_macs(2) == [],
          "without a terminal and without --yes nothing is sent")
    written, report = folder_file("assigned.csv"), folder_file("assign.json")
    status, out, _ = assign("--yes", "--ip", "10.77.0.201", "--ip-last", "10.77.0.203",
                            "--hostname", "press_{n:02}", "--write", written, "--report", report)
    lines = out.splitlines()
    # Requests go by broadcast to every side; none may name a present module.
    check("Present: 2 modules, left alone" in out and
          not any(mac.startswith("02-00-00-00-00-") for mac in configured_macs(1)),
          "the modules present at the start are listed and left alone")
    assigned = [line for line in lines if line.startswith("02-00-00-00-0A-")]
    check(status == 0 and len(assigned) == 3 and all(line.endswith("  verified") for line in assigned)
          and "IP: 10.77.0.250 -> 10.77.0.201, Host name: factory -> press_01" in assigned[0]
          and "The range is used up." in out, f"three modules assigned one by one ({status})")
    check(rows_of(written)[1:] == [[f"02-00-00-00-0A-0{n}", f"10.77.0.20{n}", f"press_0{n}"]
                                   for n in (1, 2, 3)], "--write keeps MAC, address and name")
    with open(report) as f:
        document = json.load(f)
    valid(document, "apply-report")
    check(document["command"] == "assign" and len(document["modules"]) == 3,
          "the report holds the three runs")
    status, out, _ = linkora("check", "--plan", written, "--format", "json")
    kinds = sorted(f["kind"] for f in json.loads(out)["findings"])
    check(status == 10 and kinds == ["unexpected", "unexpected"],
          f"check --plan accepts the written plan: only the two present modules besides it ({status})")


def case_assign_terminal():
    """Yes for the first, Yes for the second (whose MAC two senders answer as: skipped),
    No for the third, then Ctrl-C."""
    written = folder_file("assigned.csv")
    pid, terminal = pty.fork()
    if pid == 0:
        os.execv(lab.LINKORA[0], lab.LINKORA + ["assign", "--ip", "10.77.0.201", "--hostname",
                                                "press_{n:02}", "--write", written])
    shown, answers, answered_at, interrupted = b"", [b"y", b"y", b"n"], 0, False
    deadline = time.monotonic() + 40
    while time.monotonic() < deadline:
        if select.select([terminal], [], [], 0.1)[0]:
            try:
                chunk = os.read(terminal, 4096)
            except OSError:  # the program ended and closed the terminal
                break
            if not chunk:
                break
            shown += chunk
        if answers and shown.endswith(b"[y/N]: ") and len(shown) > answered_at:
            os.write(terminal, answers.pop(0) + b"\n")
            answered_at = len(shown)
        elif not answers and not interrupted and b"0A-03  left alone" in shown:
            os.kill(pid, signal.SIGINT)
            interrupted = True
    os.close(terminal)
    _, status = os.waitpid(pid, 0)
    text = shown.decode(errors="replace").replace("\r\n", "\n")
    print(text, flush=True)
    check(text.count("[y/N]: ") == 3 and "Assign 02-00-00-00-0A-01 (at 10.77.0.250, host name "
          "factory) IP 10.77.0.201, Host name press_01?" in text, "each new module is asked about")
    check("02-00-00-00-0A-02  " in text and "conflicting-answers" in text and
          "skipped:" in text, "the module two senders answer as is skipped and reported")
    check("02-00-00-00-0A-03  left alone" in text and
          configured_macs(2) == ["02-00-00-00-0A-01"], "No leaves the module alone: nothing sent")
    check(os.waitstatus_to_exitcode(status) == 11 and "Assigned 1 module." in text and
          rows_of(written)[1:] == [["02-00-00-00-0A-01", "10.77.0.201", "press_01"]],
          f"Ctrl-C ends it and the plan keeps the one module ({os.waitstatus_to_exitcode(status)})")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--linkora", required=True)
    parser.add_argument("case")
    arguments = parser.parse_args()
    os.environ["XDG_STATE_HOME"] = folder_file("state")
    lab.LINKORA.append(arguments.linkora)
    globals()["case_" + arguments.case]()
    print(f"{arguments.case}: {len(lab.failures)} failed")
    return 1 if lab.failures else 0


if __name__ == "__main__":
    sys.exit(main())
