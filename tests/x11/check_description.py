#!/usr/bin/python3
"""The saver-manager description offers exactly the program's show options, each of which
the program accepts.

    check_description.py DESCRIPTION.xml KORVANE_X11
"""
import os
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

EXPECTED = {"-root", "--no-title", "--no-phone", "--no-message", "--no-code",
            "--phone-number", "--message-file", "--scale"}


def switches(root):
    found = []
    for element in root.iter():
        for attribute in ("arg", "arg-set", "arg-unset"):
            if attribute in element.attrib:
                found.append(element.attrib[attribute])
    return found


def main(argv):
    description, program = argv[1], argv[2]
    root = ElementTree.parse(description).getroot()
    failures = []
    if root.tag != "screensaver" or root.get("name") != "korvane-x11" or not root.get("_label"):
        failures.append("the root element is not <screensaver name=\"korvane-x11\" _label=...>")
    if root.find("_description") is None or not root.find("_description").text.strip():
        failures.append("no <_description>")
    named = {arg.split()[0] for arg in switches(root)}
    if named != EXPECTED:
        failures.append(f"the description offers {sorted(named)}, not {sorted(EXPECTED)}")

    with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as message:
        message.write("HELLO")
    try:
        for arg in switches(root):
            value = "5551234" if "phone" in arg else message.name
            words = arg.replace("%", value).split()
            # A display that cannot exist: accepted arguments reach it and fail with 1, bad
            # ones stop before it with 2.
            run = subprocess.run([program, *words, "-display", ":65000"],
                                 capture_output=True, text=True, timeout=60,
                                 env={k: v for k, v in os.environ.items()
                                      if k != "XSCREENSAVER_WINDOW"})
            if run.returncode != 1 or "cannot open display" not in run.stderr:
                failures.append(f"'{arg}' was not accepted: status {run.returncode}, "
                                f"{run.stderr.strip()}")
    finally:
        os.unlink(message.name)
    for failure in failures:
        print("FAIL:", failure, file=sys.stderr)
    if not failures:
        print(f"{len(switches(root))} options described, all accepted")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
