#!/usr/bin/env python3
"""The layer check passes a tree that keeps to the rule and names every include that does not."""
import pathlib
import subprocess
import sys
import tempfile

CHECK = pathlib.Path(__file__).resolve().parents[2] / "scripts" / "check_layers.py"


def run(files):
    with tempfile.TemporaryDirectory() as folder:
        root = pathlib.Path(folder)
        for name, text in files.items():
            (root / name).parent.mkdir(parents=True, exist_ok=True)
            (root / name).write_text(text)
        result = subprocess.run([sys.executable, str(CHECK), str(root)], capture_output=True,
                                text=True)
        return result.returncode, result.stderr


def main():
    failures = []
    clean = {
        "grid/a.cpp": '#include "grid/a.h"\n#include "sprites/surface.h"\n#include <vector>\n',
        "host/saver_window_windows.cpp": '#include "win32/scoped_handles_windows.h"\n'
        '#include "display/d.h"\n#include "host/monitor_covers_windows.h"\n'
        '#include "host/saver_window_windows.h"\n',
        "host/monitor_covers_windows.cpp": '#include "host/saver_input_windows.h"\n',
        "tests/t.cpp": '#include "host/b.h"\n#include "tools/sim/x.h"\n#include "local.h"\n',
    }
    code, errors = run(clean)
    if code != 0:
        failures.append(f"a clean tree failed: {errors}")

    broken = dict(clean)
    broken["grid/c.cpp"] = '#include "display/memory_display.h"\n'  # up into the worlds
    broken["show/d.h"] = '  #  include "host/saver_host_windows.h"\n'  # up into a front end
    broken["x11/e.cpp"] = '#include "win32/scoped_handles_windows.h"\n'  # Windows floor
    broken["sprites/f.h"] = '#include "nowhere/g.h"\n'  # no such layer
    # Inside host/: the covers reach up to the saver window; a file on no floor.
    broken["host/monitor_covers_windows.cpp"] = '#include "host/saver_window_windows.h"\n'
    broken["host/stray_windows.cpp"] = "\n"
    code, errors = run(broken)
    if code == 0:
        failures.append("a tree with six bad includes passed")
    for where in ("grid/c.cpp:1", "show/d.h:1", "x11/e.cpp:1", "sprites/f.h:1",
                  "host/monitor_covers_windows.cpp:1", "host/stray_windows.cpp"):
        if where not in errors:
            failures.append(f"{where} not reported: {errors}")
    if any(name in errors for name in ("grid/a.cpp", "tests/t.cpp", "host/saver_window_windows.cpp")):
        failures.append(f"a good include reported: {errors}")

    for failure in failures:
        print(failure, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
