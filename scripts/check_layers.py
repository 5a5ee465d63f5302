#!/usr/bin/env python3
"""Fails when a source file includes a project header against the layer rule.

Each top-level folder is a layer. A file may include headers of its own folder and of the
folders its layer lists below; tests/ and bench/ may include anything. docs/architecture.md
draws the same map.
"""
import pathlib
import re
import sys

# layer: the layers below it that it may include (its own folder is always allowed).
MAY_INCLUDE = {
    "resources": set(),
    "sprites": set(),
    "win32": set(),
    "grid": {"sprites"},
    "settings": {"win32", "resources"},
    "display": {"sprites", "win32", "resources"},
    "show": {"grid", "settings", "sprites", "resources"},
    "frontend": {"show", "grid", "settings", "display", "sprites", "resources"},
    "host": {"show", "grid", "settings", "display", "sprites", "win32", "resources"},
    "tools": {"frontend", "show", "grid", "settings", "display", "sprites", "resources"},
    "x11": {"frontend", "show", "grid", "settings", "display", "sprites", "resources"},
}
ANYTHING = {"tests", "bench"}

# Inside host/, floors of their own: a file may include the host headers of its floor and
# the floors below. The covers and the password gate stand below the saver window, so they
# reach it only through the interfaces it hands them (host/saver_input_windows.h).
HOST_FLOORS = [
    # the saver's portable rules
    {"command_line", "input_rules", "preview_animation", "password_flag", "monitor_layout",
     "lock_checks", "cue_request", "cue_player", "wave_samples", "wave_device"},
    # devices and the interfaces the saver window offers what stands below it
    {"screen_saver_password", "threaded_sound_player_windows", "waveout_device_windows",
     "sound_resources_windows", "window_cover_windows", "saver_input_windows",
     "lock_integrity_windows", "message_filter_windows", "running_saver_windows"},
    # the gate and the covers
    {"password_gate_windows", "monitor_covers_windows"},
    # the framework and the show's program-wide instances
    {"saver_framework_windows", "show_binding_windows"},
    # the saver window and the show's procedure
    {"saver_window_windows", "show_saver_proc_windows"},
    # start-up
    {"saver_start_windows", "saver_main_windows"},
]
SOURCE_SUFFIXES = {".h", ".hpp", ".c", ".cpp", ".rc"}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def host_floor(stem):
    for floor, stems in enumerate(HOST_FLOORS):
        if stem in stems or stem.removesuffix("_windows") in stems:
            return floor
    return None


def host_violation(path, include):
    """The floor rule inside host/, or None when the include keeps to it."""
    mine = host_floor(path.stem)
    theirs = host_floor(pathlib.PurePosixPath(include).stem)
    if mine is None:
        return None  # said once for the file
    if theirs is None:
        return f'"{include}" is on no floor of host/'
    if theirs > mine:
        return f'host/{path.name} may not include "{include}" (a floor above it in host/)'
    return None


def violations(root):
    found = []
    for layer in sorted(MAY_INCLUDE.keys() | ANYTHING):
        folder = root / layer
        if not folder.is_dir():
            continue
        for path in sorted(folder.rglob("*")):
            if path.suffix not in SOURCE_SUFFIXES or not path.is_file():
                continue
            if layer == "host" and path.suffix != ".rc" and host_floor(path.stem) is None:
                found.append(f"{path.relative_to(root)}: on no floor of host/")
            lines = path.read_text(encoding="utf-8", errors="replace").splitlines()
            for number, line in enumerate(lines, 1):
                match = INCLUDE.match(line)
                if match is None or "/" not in match.group(1):
                    continue  # a system header, or a neighbour in the same folder
                target = match.group(1).split("/", 1)[0]
                where = f"{path.relative_to(root)}:{number}"
                if target not in MAY_INCLUDE and target not in ANYTHING:
                    found.append(f'{where}: "{match.group(1)}" is in no layer')
                elif layer == "host" and target == "host":
                    problem = host_violation(path, match.group(1))
                    if problem is not None:
                        found.append(f"{where}: {problem}")
                elif layer in ANYTHING or target == layer:
                    continue
                elif target not in MAY_INCLUDE[layer]:
                    found.append(f'{where}: {layer}/ may not include "{match.group(1)}"')
    return found


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent)
    found = violations(root.resolve())
    for line in found:
        print(line, file=sys.stderr)
    if found:
        print(f"{len(found)} include(s) against the layer rule (see docs/architecture.md)",
              file=sys.stderr)
        return 1
    print("layer rule: every include keeps to its layer")
    return 0


if __name__ == "__main__":
    sys.exit(main())
