#!/usr/bin/env python3
"""Fails when a file includes a folder that its floor may not see (ARCHITECTURE.md, Floors).

The build enforces the same arrows by include roots; this check states them as a rule.
"""
import pathlib
import re
import sys

COMPONENT = ["runtime", "core", "expression", "legend", "labeler"]
MAPS = ["runtime", "platform", "map"]
SEES = {
    "quillet": [],  # include/quillet: self-contained
    "runtime": [],
    "core": COMPONENT[:1],
    "expression": COMPONENT[:2],
    "legend": COMPONENT[:3],
    "labeler": COMPONENT[:4],
    "platform": ["runtime"],
    "map": ["runtime", "platform"],
    "document": MAPS,
    "qgis": MAPS,
    "classify": [],
    "host": COMPONENT + MAPS + ["document", "qgis", "classify"],
    "cli": COMPONENT + MAPS + ["document", "qgis", "classify", "host"],
    "python": [],  # the public API only
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"/]+)/', re.MULTILINE)


def main(root: pathlib.Path) -> int:
    faults = []
    places = [(root / "include" / "quillet", "quillet"), (root / "python", "python")]
    places += [(folder, folder.name) for folder in sorted((root / "src").iterdir())
               if folder.is_dir()]
    for folder, floor in places:
        if floor not in SEES:
            faults.append(f"{folder}: a folder with no floor; add it to {__file__}")
            continue
        allowed = {"quillet", floor, *SEES[floor]}
        for path in sorted(folder.rglob("*")):
            if path.suffix not in (".h", ".cpp"):
                continue
            for seen in INCLUDE.findall(path.read_text(encoding="utf-8")):
                if seen not in allowed:
                    faults.append(f"{path.relative_to(root)}: {floor}/ may not include {seen}/")
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(pathlib.Path(sys.argv[1])))
