#!/usr/bin/env python3
"""One direction of includes between the folders of src/.

The order is read from HACKING.md (the indented block under "## Include order", highest folder
first; folders on one line are siblings). A file may include its own folder and folders below
its own; siblings do not include each other. context/ is the neutral place: it may include any
folder (each folder's leaf state header), and every folder from monitor up may include it.
Folders named in the order that do not exist yet are fine; a folder of src/ missing from the
order is an error, so that every new folder is placed.

Usage: check_includes.py --hacking HACKING.md --src src
Exit status 0 when every include runs the right way, 1 otherwise (one line per fault).
"""
import argparse
import os
import re
import sys

NEUTRAL = "context"
NEUTRAL_FROM = "monitor"  # the lowest folder that may include context/
SOURCES = (".h", ".hpp", ".cpp", ".cc")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def read_order(hacking_path):
    """Levels, lowest first, from the block under "## Include order"."""
    with open(hacking_path, encoding="utf-8") as f:
        lines = f.read().splitlines()
    try:
        start = lines.index("## Include order")
    except ValueError:
        sys.exit(f"{hacking_path}: no '## Include order' section")
    block = []
    for line in lines[start + 1:]:
        if line.startswith("## "):
            break
        if line.startswith("    ") and line.strip():
            block.append(line.split())
        elif block and not line.strip() == "":
            break
    if not block:
        sys.exit(f"{hacking_path}: the include order block is empty")
    return list(reversed(block))


def folder_of(path):
    """Folder of a path relative to src/: ui/<part> for the windows, else the first part."""
    parts = path.replace("\\", "/").split("/")
    if len(parts) < 2:
        return None
    if parts[0] == "ui" and len(parts) >= 3:
        return "ui/" + parts[1]
    return parts[0]


def check(src_root, levels):
    level = {}
    for n, names in enumerate(levels):
        for name in names:
            level[name] = n
    faults = []
    present = set()
    for root, _, files in os.walk(src_root):
        for name in sorted(files):
            if not name.endswith(SOURCES):
                continue
            path = os.path.relpath(os.path.join(root, name), src_root).replace("\\", "/")
            own = folder_of(path)
            if own is None:
                continue
            present.add(own)
            with open(os.path.join(root, name), encoding="utf-8", errors="replace") as f:
                for number, line in enumerate(f, 1):
                    m = INCLUDE.match(line)
                    if not m:
                        continue
                    target = folder_of(m.group(1))
                    if target is None or target == own:
                        continue
                    if target not in level and target != NEUTRAL and not os.path.isdir(
                            os.path.join(src_root, target)):
                        continue  # not a folder of src/
                    where = f"src/{path}:{number}: {own} includes {m.group(1)}"
                    if own == NEUTRAL:
                        continue
                    if own not in level:
                        continue  # reported once below
                    if target == NEUTRAL:
                        if level[own] < level[NEUTRAL_FROM]:
                            faults.append(f"{where} ({NEUTRAL}/ is for {NEUTRAL_FROM} and above)")
                        continue
                    if target not in level:
                        faults.append(f"{where} ({target} is not in the include order)")
                    elif level[target] == level[own]:
                        faults.append(f"{where} ({target} and {own} are siblings)")
                    elif level[target] > level[own]:
                        faults.append(f"{where} ({target} is above {own})")
    for own in sorted(present - set(level) - {NEUTRAL}):
        faults.append(f"src/{own}: not in the include order of HACKING.md; place it there")
    return faults


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--hacking", required=True)
    parser.add_argument("--src", required=True)
    args = parser.parse_args()
    faults = check(args.src, read_order(args.hacking))
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} include(s) run the wrong way; the order is in HACKING.md")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
