#include "record/Schema.h"

namespace kb::record {

// Times are the program's clock in microseconds. Boards, cells, sensors and balancer chips are
// counted from 1, as the operator sees them.
const char* const kSchemaSql = R"sql(
CREATE TABLE session (
  schema_version INTEGER NOT NULL,
  program        TEXT NOT NULL,
  device         TEXT NOT NULL,
  started_at     TEXT NOT NULL,
  started_us     INTEGER NOT NULL,
  stopped_us     INTEGER
);
CREATE TABLE readings (
  id       INTEGER PRIMARY KEY,
  time_us  INTEGER NOT NULL,
  board    INTEGER,
  kind     TEXT NOT NULL,
  command  TEXT NOT NULL,
  origin   TEXT NOT NULL,
  pec      TEXT,
  data     TEXT,
  thermal  INTEGER,
  event    TEXT
);
CREATE TABLE cell_voltages (
  reading_id INTEGER NOT NULL REFERENCES readings(id),
  cell       INTEGER NOT NULL,
  code       INTEGER NOT NULL,
  volts      REAL NOT NULL,
  PRIMARY KEY (reading_id, cell)
) WITHOUT ROWID;
CREATE TABLE temperatures (
  reading_id INTEGER NOT NULL REFERENCES readings(id),
  sensor     INTEGER NOT NULL,
  code       INTEGER NOT NULL,
  volts      REAL NOT NULL,
  PRIMARY KEY (reading_id, sensor)
) WITHOUT ROWID;
CREATE TABLE balancer_words (
  reading_id INTEGER NOT NULL REFERENCES readings(id),
  ic         INTEGER NOT NULL,
  hi         TEXT NOT NULL,
  lo         TEXT NOT NULL,
  result     TEXT NOT NULL,
  PRIMARY KEY (reading_id, ic)
) WITHOUT ROWID;
CREATE TABLE link_events (
  id      INTEGER PRIMARY KEY,
  time_us INTEGER NOT NULL,
  kind    TEXT NOT NULL,
  detail  TEXT NOT NULL
);
CREATE TABLE alarm_events (
  id          INTEGER PRIMARY KEY,
  time_us     INTEGER NOT NULL,
  alarm_id    INTEGER NOT NULL,
  event       TEXT NOT NULL,
  kind        TEXT NOT NULL,
  board       INTEGER,
  channel     INTEGER,
  limit_value REAL NOT NULL,
  value       REAL NOT NULL,
  text        TEXT NOT NULL
);
CREATE VIEW cell_readings AS
  SELECT r.id AS reading_id, r.time_us, r.board, c.cell, c.code, c.volts, r.pec, r.origin
  FROM cell_voltages c JOIN readings r ON r.id = c.reading_id;
CREATE VIEW temperature_readings AS
  SELECT r.id AS reading_id, r.time_us, r.board, t.sensor, t.code, t.volts, r.thermal, r.pec,
         r.origin
  FROM temperatures t JOIN readings r ON r.id = t.reading_id;
)sql";

}  // namespace kb::record
