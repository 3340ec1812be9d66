#!/usr/bin/python3
"""Kills a recording session with SIGKILL at random moments and checks what it leaves: every
database passes PRAGMA integrity_check and holds every read of the trace but at most the one of
the event under way when the process died.
  kill_recording.py PROGRAM WORKDIR [RUNS]
KB_KILL_SEED chooses the moments (the same seed, the same moments)."""
import os
import random
import signal
import sqlite3
import subprocess
import sys
import time

program, work = sys.argv[1:3]
runs = int(sys.argv[3]) if len(sys.argv) > 3 else 20
os.makedirs(work, exist_ok=True)
script = os.path.join(work, "s.txt")
with open(script, "w") as f:
    f.write("select Combo1 2\nclick Command0 1\nclick Command1 5\nclick Command1 10\n"
            "tick 864000\n")
moments = random.Random(int(os.environ.get("KB_KILL_SEED", "4471")))
# The monitor reads the trace shows: the frame sent, then its reply.
FRAMES = {b"T04TDC": "cells", b"T0ETEA": "temperatures", b"T0CTE4": "flags",
          b"T02TCE": "config-read"}


def traced_reads(path):
    if not os.path.exists(path):
        return 0
    with open(path, "rb") as f:
        lines = f.read().split(b"\n")[:-1]  # a line cut off by the kill does not count
    count, pending = 0, False
    for line in lines:
        if line.startswith(b"< ") and pending:
            count += 1
        pending = line.startswith(b"> ") and any(frame in line for frame in FRAMES)
    return count


failures = 0
for n in range(runs):
    db = os.path.join(work, "kill%d.db" % n)
    trace = os.path.join(work, "kill%d.txt" % n)
    for path in (db, db + "-wal", db + "-shm", trace):
        if os.path.exists(path):
            os.remove(path)
    p = subprocess.Popen([program, "--headless", "--device", "sim:boards=3,fault=pec:0.05",
                          "--trace", trace, "--record", db, "--script", script],
                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    moment = moments.uniform(0.3, 2.5)
    time.sleep(moment)
    p.send_signal(signal.SIGKILL)
    p.wait()
    traced = traced_reads(trace)
    recorded, integrity = 0, "no file"
    if os.path.exists(db):
        con = sqlite3.connect(db)
        integrity = con.execute("PRAGMA integrity_check").fetchone()[0]
        if con.execute("SELECT count(*) FROM sqlite_schema WHERE name = 'readings'").fetchone()[0]:
            recorded = con.execute(
                "SELECT count(*) FROM readings WHERE kind IN (%s)" %
                ",".join("'%s'" % k for k in FRAMES.values())).fetchone()[0]
        con.close()
    good = (p.returncode == -signal.SIGKILL and integrity in ("ok", "no file") and
            traced - 1 <= recorded <= traced)
    failures += not good
    print("%s run %d: killed after %.2f s, %d reads traced, %d recorded, integrity %s" %
          ("ok  " if good else "FAIL", n, moment, traced, recorded, integrity))
sys.exit(1 if failures else 0)
