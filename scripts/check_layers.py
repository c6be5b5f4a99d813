#!/usr/bin/env python3
"""Refuses an include that runs against the layers of src/ (README, "Layout of the source").

Each folder of src/ is a layer; a file may include headers of its own folder and of the
layers below it, never of a layer above or of a sibling on the same level. The pure
rules include no Windows header at all. Prints every offending include and exits 1.
    scripts/check_layers.py [SRC_DIR]"""
import pathlib
import re
import sys

# Bottom to top; folders on one level are siblings that must not include each other.
LAYERS = [["rules"], ["base"], ["view"], ["session", "commands", "settings"], ["shell"]]
WINDOWS_HEADERS = {"windows.h", "winsock.h", "winsock2.h", "ws2tcpip.h", "commctrl.h",
                   "shellapi.h", "psapi.h", "uxtheme.h", "wingdi.h", "winuser.h", "winbase.h"}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def level_of(folder):
    for level, folders in enumerate(LAYERS):
        if folder in folders:
            return level
    return None


def check(src):
    problems = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        folder = path.relative_to(src).parts[0]
        level = level_of(folder)
        where = path.relative_to(src.parent)
        if level is None:
            problems.append(f"{where}: folder {folder}/ is no layer")
            continue
        for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            kind, name = match.groups()
            if kind == "<":
                if folder == "rules" and name.lower() in WINDOWS_HEADERS:
                    problems.append(f"{where}:{number}: the pure rules include no Windows header: <{name}>")
                continue
            target = name.split("/")[0]
            target_level = level_of(target)
            if "/" not in name or target_level is None:
                problems.append(f"{where}:{number}: \"{name}\" names no layer's folder")
            elif target_level > level:
                problems.append(f"{where}:{number}: {folder}/ includes \"{name}\" from the layer above")
            elif target_level == level and target != folder:
                problems.append(f"{where}:{number}: {folder}/ includes \"{name}\" from its sibling")
    return problems


def main():
    src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent / "src")
    problems = check(src.resolve())
    for problem in problems:
        print(problem, file=sys.stderr)
    if problems:
        print("layers: " + " < ".join("/".join(level) for level in LAYERS), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
