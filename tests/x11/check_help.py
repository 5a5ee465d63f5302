#!/usr/bin/python3
"""korvane-x11 answers --help and --version on standard output with status 0, without a
display; its help and its manual page name the same options, and the manual page carries the
version the program reports.

    check_help.py MANUAL_PAGE KORVANE_X11 PROJECT_VERSION
"""
import os
import re
import subprocess
import sys

OPTION = re.compile(r"^\s+(--?[a-z][a-z-]*)", re.MULTILINE)


def manual_options(page):
    """The options the OPTIONS section gives a paragraph each (.B or .BI after .TP)."""
    section = page.split(".SH OPTIONS", 1)[1].split("\n.SH ", 1)[0]
    names = re.findall(r"^\.TP\n\.BI? (\\-[^ \n]+)", section, re.MULTILINE)
    return {name.replace("\\-", "-") for name in names}


def run(program, *arguments):
    # No display and a manager's window that names nothing: an answer needs neither.
    env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
    env["XSCREENSAVER_WINDOW"] = "nonsense"
    return subprocess.run([program, *arguments], capture_output=True, text=True, timeout=60,
                          env=env)


def main(argv):
    manual_path, program, version = argv[1], argv[2], argv[3]
    with open(manual_path, encoding="utf-8") as page_file:
        page = page_file.read()
    failures = []

    helped = run(program, "--help")
    if helped.returncode != 0 or helped.stderr or not helped.stdout.startswith(
            "usage: korvane-x11 "):
        failures.append(f"--help: status {helped.returncode}, stderr {helped.stderr!r}, "
                        f"output starting {helped.stdout[:40]!r}")
    in_help = set(OPTION.findall(helped.stdout))
    in_manual = manual_options(page)
    if in_help != in_manual:
        failures.append(f"only in --help: {sorted(in_help - in_manual)}; "
                        f"only in the manual page: {sorted(in_manual - in_help)}")

    answered = run(program, "--version")
    if answered.returncode != 0 or answered.stdout != f"korvane-x11 {version}\n":
        failures.append(f"--version: status {answered.returncode}, {answered.stdout!r}, "
                        f"not 'korvane-x11 {version}'")
    header = re.search(r'^\.TH .* "Korvane ([^"]+)"', page, re.MULTILINE)
    if header is None or header.group(1) != version:
        failures.append(f"the manual page's header names version "
                        f"{header.group(1) if header else None}, not {version}")

    for failure in failures:
        print("FAIL:", failure, file=sys.stderr)
    if not failures:
        print(f"--help names the manual page's {len(in_manual)} options; version {version}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
