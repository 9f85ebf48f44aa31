#!/usr/bin/env python3
"""No two files of the code lean on each other. A file is one unit with its header (x.h, x.cpp, x_cairo.cpp and
x_win32.cpp are the unit x); a unit uses another when it includes that one's header. A cycle of units is reported
with its files, and fails the test.

    file-cycles-test.py SOURCE_DIR
"""
import pathlib
import re
import sys

FOLDERS = ["geometry", "analysis", "speed", "print", "settings", "cli", "windows", "web"]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def unit_of(path: pathlib.Path, root: pathlib.Path) -> str:
    name = path.stem
    for suffix in ("_cairo", "_win32"):
        if name.endswith(suffix) and not (path.parent / (name + ".h")).exists():
            name = name[: -len(suffix)]
    return f"{path.parent.relative_to(root)}/{name}"


def main() -> int:
    root = pathlib.Path(sys.argv[1]).resolve()
    uses: dict[str, set[str]] = {}
    for folder in FOLDERS:
        for path in sorted((root / folder).glob("*")):
            if path.suffix not in (".h", ".cpp"):
                continue
            unit = unit_of(path, root)
            uses.setdefault(unit, set())
            for included in INCLUDE.findall(path.read_text(encoding="utf-8", errors="replace")):
                target = root / included
                if target.exists() and target.suffix == ".h":
                    other = unit_of(target, root)
                    if other != unit:
                        uses[unit].add(other)

    cycles = []
    state: dict[str, int] = {}
    trail: list[str] = []

    def visit(unit: str) -> None:
        state[unit] = 1
        trail.append(unit)
        for other in sorted(uses.get(unit, ())):
            if state.get(other) == 1:
                cycles.append(trail[trail.index(other):] + [other])
            elif other not in state:
                visit(other)
        trail.pop()
        state[unit] = 2

    for unit in sorted(uses):
        if unit not in state:
            visit(unit)
    for cycle in cycles:
        print("cycle: " + " -> ".join(cycle))
    print(f"{len(uses) - len(cycles)} passed, {len(cycles)} failed")
    return 1 if cycles else 0


if __name__ == "__main__":
    sys.exit(main())
