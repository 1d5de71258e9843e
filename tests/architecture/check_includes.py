#!/usr/bin/env python3
"""Fails when a file includes a folder its floor may not see (ARCHITECTURE.md, Floors); the
build enforces the same arrows by include roots, this check states them as a rule."""
import pathlib
import re
import sys

COMPONENT = ["runtime", "core", "expression", "legend", "labeler"]
MAPS = ["runtime", "platform", "map"]
# Each floor of the component sees the floors below it.
SEES = {floor: COMPONENT[:below] for below, floor in enumerate(COMPONENT)}
SEES.update({
    "quillet": [],  # include/quillet: self-contained
    "platform": ["runtime"],
    "map": ["runtime", "platform"],
    "document": MAPS,
    "qgis": MAPS,
    "classify": [],
    "host": COMPONENT + MAPS + ["document", "qgis", "classify"],
    "cli": COMPONENT + MAPS + ["document", "qgis", "classify", "host"],
    "python": [],  # the public API only
})
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
