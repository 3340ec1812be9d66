#!/usr/bin/env python3
"""The include check itself: a tree that follows the order of HACKING.md passes; an include that
runs the wrong way, one between siblings, one of context/ from below monitor and a folder missing
from the order each fail it and are named. Folders of the order that do not exist are fine."""
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
CHECK = os.path.join(HERE, "check_includes.py")
HACKING = os.path.join(HERE, "..", "..", "HACKING.md")


def run(files):
    """Runs the check over a tree of the given files {path: text}; returns (status, output)."""
    with tempfile.TemporaryDirectory() as root:
        for path, text in files.items():
            full = os.path.join(root, "src", path)
            os.makedirs(os.path.dirname(full), exist_ok=True)
            with open(full, "w", encoding="utf-8") as f:
                f.write(text)
        done = subprocess.run(
            [sys.executable, CHECK, "--hacking", HACKING, "--src", os.path.join(root, "src")],
            capture_output=True, text=True, check=False)
        return done.returncode, done.stdout


def expect(name, files, status, named=None):
    got, out = run(files)
    if got != status or (named is not None and named not in out):
        print(f"{name}: expected status {status} naming {named!r}, got {got}:\n{out}")
        return False
    return True


def main():
    good = {
        "common/Text.h": "",
        "monitor/Read.cpp": '#include "common/Text.h"\n#include "context/Context.h"\n',
        "context/Context.h": '#include "startup/State.h"\n#include "ui/main/Controls.h"\n',
        "startup/State.h": "",
        "ui/main/Controls.h": '#include "ui/form/Form.h"\n',
        "ui/form/Form.h": "",
    }
    ok = expect("a tree that follows the order", good, 0)
    ok &= expect("the wrong way", {**good, "monitor/Read.cpp": '#include "startup/State.h"\n'}, 1,
                 "src/monitor/Read.cpp:1: monitor includes startup/State.h (startup is above monitor)")
    ok &= expect("between siblings", {**good, "ui/main/Controls.h": '#include "ui/status/S.h"\n',
                                      "ui/status/S.h": ""}, 1, "siblings")
    ok &= expect("context from below monitor", {**good, "sim/Chip.cpp": '#include "context/Context.h"\n'},
                 1, "src/sim/Chip.cpp:1")
    ok &= expect("a folder not placed", {**good, "gadgets/G.cpp": '#include "common/Text.h"\n'}, 1,
                 "src/gadgets: not in the include order")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
