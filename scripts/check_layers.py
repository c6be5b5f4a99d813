#!/usr/bin/env python3
"""Refuses an include that runs against the layers of src/ (README, "Layout of the source").

Each folder of src/ is a layer; a file may include headers of its own folder and of the
layers below it, never of a layer above or of a sibling on the same level. The pure
rules include no platform header at all: only the standard library's. Nor may files go
round in a circle: a header and its source count as one piece, and no piece may come
back to itself through what it includes. Prints every offending include and circle and
exits 1.
    scripts/check_layers.py [SRC_DIR]
    scripts/check_layers.py --self-test"""
import pathlib
import posixpath
import re
import sys
import tempfile

# Bottom to top; folders on one level are siblings that must not include each other.
LAYERS = [["text"], ["parse", "core"], ["base"], ["view"], ["session"], ["commands", "settings"], ["shell"]]
# The pure rules: no platform header, so they build and are tested with any compiler.
PURE = {"text", "parse", "core"}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def level_of(folder):
    for level, folders in enumerate(LAYERS):
        if folder in folders:
            return level
    return None


def problem_of(folder, level, kind, name):
    """What is wrong with one include of a file in folder, or None."""
    parts = posixpath.normpath(name).split("/")
    if ".." in name.split("/"):
        return f'"{name}" climbs out of its folder'
    target_level = level_of(parts[0]) if len(parts) > 1 else None
    if kind == "<" and target_level is None:
        # The standard library's headers carry no extension (C's as <cstdio>).
        if folder in PURE and "." in name:
            return f"the pure rules include no platform header: <{name}>"
        return None
    if target_level is None:
        return f'"{name}" names no layer\'s folder'
    if target_level > level:
        return f'{folder}/ includes "{name}" from the layer above'
    if target_level == level and parts[0] != folder:
        return f'{folder}/ includes "{name}" from its sibling'
    return None


def circles(includes):
    """The circles among pieces (a folder/stem each), given what each one includes."""
    index, low, stack, on_stack, found = {}, {}, [], set(), []

    def visit(piece):
        index[piece] = low[piece] = len(index)
        stack.append(piece)
        on_stack.add(piece)
        for other in includes.get(piece, ()):
            if other not in index:
                visit(other)
                low[piece] = min(low[piece], low[other])
            elif other in on_stack:
                low[piece] = min(low[piece], index[other])
        if low[piece] == index[piece]:
            members = []
            while True:
                member = stack.pop()
                on_stack.discard(member)
                members.append(member)
                if member == piece:
                    break
            if len(members) > 1:
                found.append(sorted(members))

    for piece in sorted(includes):
        if piece not in index:
            visit(piece)
    return found


def check(src):
    problems = []
    includes = {}
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        folder = path.relative_to(src).parts[0]
        level = level_of(folder)
        where = path.relative_to(src.parent)
        if level is None:
            problems.append(f"{where}: folder {folder}/ is no layer")
            continue
        piece = path.relative_to(src).with_suffix("").as_posix()
        pieces = includes.setdefault(piece, set())
        for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
            match = INCLUDE.match(line)
            if match:
                problem = problem_of(folder, level, *match.groups())
                if problem:
                    problems.append(f"{where}:{number}: {problem}")
                elif match.group(1) == '"':
                    other = posixpath.splitext(posixpath.normpath(match.group(2)))[0]
                    if other != piece:
                        pieces.add(other)
    for circle in circles(includes):
        problems.append("circle of files: " + " -> ".join(circle + circle[:1]))
    return problems


def self_test():
    """Each rule once, on a tree of its own."""
    cases = {
        "text/a.cpp": ('#include "text/b.h"\n#include <string>\n#include <cstdio>\n', 0),
        "core/a.cpp": ('#include "text/b.h"\n#include "core/c.h"\n', 0),
        "core/sibling.cpp": ('#include "parse/b.h"\n', 1),
        "text/up.cpp": ('#include "core/session_core.h"\n', 1),
        "view/a.cpp": ('#include "base/app_state.h"\n#include <windows.h>\n', 0),
        "parse/up.cpp": ('#include "view/output_pane.h"\n', 1),
        "core/angled.cpp": ("#include <shell/controls.h>\n", 1),
        "text/climb.cpp": ('#include "text/../shell/main_window.h"\n', 1),
        "core/platform.cpp": ("#include <windef.h>\n", 1),
        "commands/sibling.cpp": ('#include "settings/settings_file.h"\n', 1),
        "base/nowhere.cpp": ('#include "helpers.h"\n', 1),
        "tools/odd.cpp": ("", 1),
    }
    # Trees of several files: a header and its source are one piece.
    trees = {
        "a circle": ({"core/a.h": '#include "core/b.h"\n', "core/b.cpp": '#include "core/a.h"\n',
                      "core/b.h": ""}, 1),
        "a chain": ({"core/a.h": '#include "core/b.h"\n', "core/a.cpp": '#include "core/a.h"\n',
                     "core/b.h": '#include "text/c.h"\n', "text/c.h": ""}, 0),
    }
    for name, (text, expected) in cases.items():
        trees[name] = ({name: text}, expected)
    failed = 0
    for name, (files, expected) in trees.items():
        with tempfile.TemporaryDirectory() as root:
            for file_name, text in files.items():
                path = pathlib.Path(root, "src", file_name)
                path.parent.mkdir(parents=True, exist_ok=True)
                path.write_text(text)
            found = len(check(pathlib.Path(root, "src")))
            if found != expected:
                print(f"self-test: {name}: {found} problems, expected {expected}", file=sys.stderr)
                failed = 1
    print("check_layers self-test: " + ("FAILED" if failed else "every rule holds"))
    return failed


def main():
    if sys.argv[1:] == ["--self-test"]:
        return self_test()
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
