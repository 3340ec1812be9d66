#!/usr/bin/python3
"""Checks the exports of a recording against the recording itself, with readers of their own:
sqlite3 for the database, csv for the CSV file, openpyxl for the workbook.
  check_export.py RECORDING.db OUT.csv OUT.xlsx
Prints one line per table ("cells 123", "temperatures 45", "alarm raised <text>" ...) and "OK";
a difference is printed as "MISMATCH ..." and ends the check with status 1."""
import csv
import sqlite3
import sys

import openpyxl

db_path, csv_path, xlsx_path = sys.argv[1:4]
db = sqlite3.connect("file:" + db_path + "?mode=ro", uri=True)
started = db.execute("SELECT started_us FROM session").fetchone()[0]


def fail(what):
    print("MISMATCH", what)
    sys.exit(1)


def table(kind, values, channel, channels):
    """Rows as the exports lay them out: seconds, board, origin, pec, then {column: volts}."""
    rows = []
    boards = db.execute("SELECT max(board) FROM readings WHERE kind = ?", (kind,)).fetchone()[0]
    for rid, t, board, origin, pec in db.execute(
            "SELECT id, time_us, board, origin, pec FROM readings WHERE kind = ? ORDER BY id",
            (kind,)).fetchall():
        volts = {}
        for ch, v in db.execute(
                "SELECT %s, volts FROM %s WHERE reading_id = ? ORDER BY %s" % (channel, values,
                                                                                channel), (rid,)):
            volts[(board - 1) * channels + ch - 1] = v
        rows.append(((t - started) / 1e6, board, origin, pec, volts))
    return rows, boards or 1


def compare(name, expected, got_rows, first, width):
    if len(got_rows) != len(expected):
        fail("%s: %d rows, the recording has %d" % (name, len(got_rows), len(expected)))
    for n, (exp, got) in enumerate(zip(expected, got_rows)):
        seconds, board, origin, pec, volts = exp
        head = [float(got[1]), int(float(got[2])), got[3], got[4] or None]
        if head != [seconds, board, origin, pec]:
            fail("%s row %d: %r, the recording has %r" % (name, n + 2, head, exp[:4]))
        for col in range(width):
            cell = got[first + col] if first + col < len(got) else None
            value = None if cell in (None, "") else float(cell)
            if value != volts.get(col):
                fail("%s row %d column %d: %r, the recording has %r" %
                     (name, n + 2, first + col + 1, value, volts.get(col)))


cells, cell_boards = table("cells", "cell_voltages", "cell", 12)
temps, temp_boards = table("temperatures", "temperatures", "sensor", 3)

with open(csv_path, newline="") as f:
    rows = list(csv.reader(f))
if rows[0][:5] != ["Time", "Seconds", "Board", "Origin", "PEC"]:
    fail("csv header " + repr(rows[0][:5]))
compare("csv", cells, rows[1:], 5, 12 * cell_boards)

# The reader reads the sheets as they are asked for: the file stays open.
book = openpyxl.load_workbook(open(xlsx_path, "rb"), read_only=True)
names = book.sheetnames
if names != ["Cell voltages", "Temperatures", "Alarms"]:
    fail("sheets " + repr(names))


def sheet_rows(name):
    return [list(r) for r in book[name].iter_rows(values_only=True)]


compare("Cell voltages", cells, sheet_rows("Cell voltages")[1:], 5, 12 * cell_boards)
compare("Temperatures", temps, sheet_rows("Temperatures")[1:], 6, 3 * temp_boards)
alarms = sheet_rows("Alarms")
recorded = db.execute("SELECT time_us, event, alarm_id, text, limit_value, value FROM "
                      "alarm_events ORDER BY id").fetchall()
if len(alarms) - 1 != len(recorded):
    fail("alarms: %d rows, the recording has %d" % (len(alarms) - 1, len(recorded)))
for got, (t, event, aid, text, limit, value) in zip(alarms[1:], recorded):
    if [got[1], got[2], got[3], got[9], got[7], got[8]] != [(t - started) / 1e6, event, aid, text,
                                                             limit, value]:
        fail("alarm row " + repr(got))

print("cells", len(cells))
print("temperatures", len(temps))
for got in alarms[1:]:
    print("alarm", got[2], got[9])
print("OK")
