#include "record/Store.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "record/Schema.h"

namespace kb::record {

namespace {

std::string hexBytes(const std::vector<std::uint8_t>& bytes) {
  std::string text;
  char two[4];
  for (std::uint8_t b : bytes) {
    std::snprintf(two, sizeof two, "%02X", b);
    if (!text.empty()) text += ' ';
    text += two;
  }
  return text;
}

// Creates the file, refusing one that exists: an empty file is an empty database to SQLite.
void createNew(const std::string& path, bool replace) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) throw sql::Error("it is a folder");
  if (replace) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
      std::filesystem::remove(path + suffix, ec);
    }
  }
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) {
    const int error = errno;
    throw sql::Error(error == EEXIST ? "the file exists" : std::strerror(error));
  }
  ::close(fd);
}

}  // namespace

std::string timestampText(const DateTime& t) {
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%06d", t.year, t.month, t.day,
                t.hour, t.minute, t.second, t.microsecond);
  return text;
}

double roundedVolts(double volts) {
  return std::round(volts * 10000.0) / 10000.0;
}

Store::Store(const std::string& path, const Header& header, bool replace) : path_(path) {
  createNew(path, replace);
  try {
    db_ = std::make_unique<sql::Db>(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX);
    // WAL: a commit appends to the log, readers (an export) never block the writer, and a
    // process killed mid-write leaves the last commit intact. FULL: a commit is on the disk
    // before the next tick's rows are taken, so a power cut loses at most the tick under way.
    db_->exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;");
    db_->exec("BEGIN");
    db_->exec(kSchemaSql);
    db_->exec(("PRAGMA user_version=" + std::to_string(kSchemaVersion)).c_str());
    sql::Statement s(*db_,
                     "INSERT INTO session (schema_version, program, device, started_at, "
                     "started_us) VALUES (?, ?, ?, ?, ?)");
    s.bind(1, std::int64_t{kSchemaVersion});
    s.bind(2, header.program);
    s.bind(3, header.device);
    s.bind(4, timestampText(header.startedAt));
    s.bind(5, header.startedMicros);
    s.run();
    db_->exec("COMMIT");
    reading_ = std::make_unique<sql::Statement>(
        *db_,
        "INSERT INTO readings (time_us, board, kind, command, origin, pec, data, thermal, event) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
    cell_ = std::make_unique<sql::Statement>(
        *db_, "INSERT INTO cell_voltages (reading_id, cell, code, volts) VALUES (?, ?, ?, ?)");
    temperature_ = std::make_unique<sql::Statement>(
        *db_, "INSERT INTO temperatures (reading_id, sensor, code, volts) VALUES (?, ?, ?, ?)");
    word_ = std::make_unique<sql::Statement>(
        *db_, "INSERT INTO balancer_words (reading_id, ic, hi, lo, result) VALUES (?, ?, ?, ?, ?)");
    link_ = std::make_unique<sql::Statement>(
        *db_, "INSERT INTO link_events (time_us, kind, detail) VALUES (?, ?, ?)");
    alarm_ = std::make_unique<sql::Statement>(
        *db_,
        "INSERT INTO alarm_events (time_us, alarm_id, event, kind, board, channel, limit_value, "
        "value, text) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
  } catch (...) {
    // Nothing usable was made: leave no file behind.
    reading_.reset();
    cell_.reset();
    temperature_.reset();
    word_.reset();
    link_.reset();
    alarm_.reset();
    db_.reset();
    for (const char* suffix : {"", "-wal", "-shm"}) std::remove((path + suffix).c_str());
    throw;
  }
}

Store::~Store() {
  // Statements go before the connection.
  reading_.reset();
  cell_.reset();
  temperature_.reset();
  word_.reset();
  link_.reset();
  alarm_.reset();
}

void Store::write(const std::vector<Batch>& batches) {
  const std::uint64_t before = rows_;
  db_->exec("BEGIN IMMEDIATE");
  try {
    for (const Batch& b : batches) {
      for (const readings::Reading& r : b.readings) writeReading(r);
      for (const AlarmRow& a : b.alarms) writeAlarm(a);
      for (const LinkRow& l : b.link) {
        link_->bind(1, l.timeMicros);
        link_->bind(2, l.kind);
        link_->bind(3, l.detail);
        link_->run();
        ++rows_;
      }
    }
    db_->exec("COMMIT");
  } catch (...) {
    rows_ = before;
    // A failed statement may have ended the transaction already; a second failure is moot.
    sqlite3_exec(db_->get(), "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

void Store::writeReading(const readings::Reading& r) {
  sql::Statement& s = *reading_;
  s.bind(1, r.timeMicros);
  if (r.board >= 0) {
    s.bind(2, std::int64_t{r.board + 1});
  } else {
    s.bindNull(2);
  }
  s.bind(3, readings::kindName(r.kind));
  s.bind(4, r.command);
  s.bind(5, readings::originName(r.origin));
  if (const char* pec = readings::checkName(r.check)) {
    s.bind(6, pec);
  } else {
    s.bindNull(6);
  }
  if (!r.bytes.empty()) {
    s.bind(7, hexBytes(r.bytes));
  } else {
    s.bindNull(7);
  }
  if (r.kind == readings::Kind::Temperatures && r.thermal >= 0) {
    s.bind(8, std::int64_t{r.thermal});
  } else {
    s.bindNull(8);
  }
  if (!r.text.empty()) {
    s.bind(9, r.text);
  } else {
    s.bindNull(9);
  }
  s.run();
  ++rows_;
  const std::int64_t id = db_->lastRowId();

  sql::Statement* values = r.kind == readings::Kind::Cells          ? cell_.get()
                           : r.kind == readings::Kind::Temperatures ? temperature_.get()
                                                                    : nullptr;
  if (values != nullptr) {
    for (std::size_t i = 0; i < r.codes.size(); ++i) {
      values->bind(1, id);
      values->bind(2, static_cast<std::int64_t>(i + 1));
      values->bind(3, std::int64_t{r.codes[i]});
      values->bind(4, roundedVolts(i < r.volts.size() ? r.volts[i] : 0.0));
      values->run();
      ++rows_;
    }
  }
  for (const readings::ChipWord& w : r.words) {
    word_->bind(1, id);
    word_->bind(2, std::int64_t{w.chip + 1});
    word_->bind(3, w.hi);
    word_->bind(4, w.lo);
    word_->bind(5, w.result);
    word_->run();
    ++rows_;
  }
}

void Store::writeAlarm(const AlarmRow& row) {
  const alarms::Alarm& a = row.alarm;
  const std::int64_t time = row.event == alarms::Event::Raised    ? a.raisedMicros
                            : row.event == alarms::Event::Cleared ? a.clearedMicros
                                                                  : a.acknowledgedMicros;
  sql::Statement& s = *alarm_;
  s.bind(1, time);
  s.bind(2, std::int64_t{a.id});
  s.bind(3, alarms::eventName(row.event));
  s.bind(4, alarms::kindName(a.kind));
  if (a.board >= 0) {
    s.bind(5, std::int64_t{a.board + 1});
  } else {
    s.bindNull(5);
  }
  // Channels as the operator counts them: cells 1..12, sensors 1..3, balancer IC # 1..20.
  int channel = a.channel;
  if (a.kind == alarms::Kind::Thermal || a.kind == alarms::Kind::BalancerFault) {
    channel = a.channel >= 0 ? a.channel + 1 : -1;
  }
  if (channel >= 0) {
    s.bind(6, std::int64_t{channel});
  } else {
    s.bindNull(6);
  }
  s.bind(7, a.limit);
  s.bind(8, a.value);
  s.bind(9, a.text);
  s.run();
  ++rows_;
}

void Store::finish(std::int64_t stoppedMicros) {
  sql::Statement s(*db_, "UPDATE session SET stopped_us = ?");
  s.bind(1, stoppedMicros);
  s.run();
}

}  // namespace kb::record
