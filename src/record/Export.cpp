#include "record/Export.h"

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "common/Clock.h"
#include "common/SheetStream.h"
#include "common/TempFile.h"
#include "record/Schema.h"
#include "record/Sqlite.h"

namespace kb::record {

namespace {

constexpr int kCellsPerBoard = 12;
constexpr int kSensorsPerBoard = 3;
constexpr const char* kSensorNames[kSensorsPerBoard] = {"ETMP1", "ETMP2", "ITMP"};
constexpr std::uint64_t kProgressSteps = 500;

class Cancelled {};

// One field of a table row.
struct Field {
  enum class Type { Empty, Text, Number } type = Type::Empty;
  std::string text;
  double number = 0;
};

Field text(std::string t) {
  return {Field::Type::Text, std::move(t), 0};
}
Field number(double v) {
  return {Field::Type::Number, {}, v};
}

// Where a table goes: a CSV file or the sheets of a workbook.
class TableSink {
 public:
  virtual ~TableSink() = default;
  virtual void table(const std::string& name, const std::vector<std::string>& header) = 0;
  virtual void row(const std::vector<Field>& fields) = 0;
};

class CsvSink final : public TableSink {
 public:
  explicit CsvSink(std::string path) : path_(std::move(path)) {
    try {
      temp_ = std::make_unique<TempFile>(path_);
    } catch (const TempFileError& e) {
      throw sql::Error(e.what());
    }
    file_ = std::fopen(temp_->path().c_str(), "w");
    if (file_ == nullptr) throw sql::Error(std::strerror(errno));
  }
  ~CsvSink() override {
    if (file_ != nullptr) std::fclose(file_);
  }
  void table(const std::string&, const std::vector<std::string>& header) override {
    std::vector<Field> fields;
    for (const std::string& h : header) fields.push_back(text(h));
    row(fields);
  }
  void row(const std::vector<Field>& fields) override {
    line_.clear();
    for (std::size_t i = 0; i < fields.size(); ++i) {
      if (i > 0) line_ += ',';
      const Field& f = fields[i];
      if (f.type == Field::Type::Text) {
        quoted(f.text);
      } else if (f.type == Field::Type::Number) {
        char digits[32];
        const auto r = std::to_chars(digits, digits + sizeof digits, f.number);
        line_.append(digits, r.ptr);
      }
    }
    line_ += "\r\n";
    if (std::fwrite(line_.data(), 1, line_.size(), file_) != line_.size()) fail();
  }
  void commit() {
    if (std::fflush(file_) != 0 || ::fsync(::fileno(file_)) != 0) fail();
    const int closed = std::fclose(file_);
    file_ = nullptr;
    if (closed != 0) fail();
    if (const int error = temp_->moveTo(path_); error != 0) throw sql::Error(std::strerror(error));
  }

 private:
  [[noreturn]] void fail() { throw sql::Error(std::strerror(errno)); }
  void quoted(const std::string& t) {
    if (t.find_first_of(",\"\r\n") == std::string::npos) {
      line_ += t;
      return;
    }
    line_ += '"';
    for (char c : t) {
      if (c == '"') line_ += '"';
      line_ += c;
    }
    line_ += '"';
  }

  std::string path_;
  std::unique_ptr<TempFile> temp_;
  std::FILE* file_ = nullptr;
  std::string line_;
};

class XlsxSink final : public TableSink {
 public:
  explicit XlsxSink(const std::string& path) : book_(path) {}
  void table(const std::string& name, const std::vector<std::string>& header) override {
    name_ = name;
    header_ = header;
    part_ = 1;
    newSheet(name);
  }
  void row(const std::vector<Field>& fields) override {
    if (row_ == sheet::kMaxRows) newSheet(name_ + " (" + std::to_string(++part_) + ")");
    ++row_;
    for (std::size_t i = 0; i < fields.size(); ++i) {
      const int column = static_cast<int>(i) + 1;
      if (fields[i].type == Field::Type::Text) {
        book_.text(sheet_, row_, column, fields[i].text);
      } else if (fields[i].type == Field::Type::Number) {
        book_.number(sheet_, row_, column, fields[i].number);
      }
    }
  }
  void commit() { book_.commit(); }

 private:
  // A sheet holds a million rows: a longer table goes on in a sheet of its own, under the same
  // header.
  void newSheet(const std::string& name) {
    sheet_ = book_.addSheet(name);
    for (std::size_t i = 0; i < header_.size(); ++i) {
      const int column = static_cast<int>(i) + 1;
      const double width = i == 0 ? 24.0 : std::max(10.0, sheet::fittedWidth(header_[i], true));
      book_.setColumnWidth(sheet_, column, width);
    }
    book_.freezeTopRow(sheet_);
    for (std::size_t i = 0; i < header_.size(); ++i) {
      book_.text(sheet_, 1, static_cast<int>(i) + 1, header_[i], true);
    }
    row_ = 1;
  }

  sheet::StreamWorkbook book_;
  std::string name_;
  std::vector<std::string> header_;
  int part_ = 1;
  int sheet_ = 0;
  int row_ = 0;
};

// The opened recording and the clock of its session.
class Source {
 public:
  explicit Source(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
      throw sql::Error(std::filesystem::exists(path, ec) ? "not a file" : "no such file");
    }
    db_ = std::make_unique<sql::Db>(path, SQLITE_OPEN_READONLY);
    std::int64_t version = 0;
    try {
      version = db_->integer("PRAGMA user_version");
    } catch (const sql::Error&) {
      throw sql::Error("not a recording (not an SQLite database)");
    }
    if (version == 0 || db_->integer("SELECT count(*) FROM sqlite_schema WHERE type = 'table' "
                                     "AND name = 'session'") == 0) {
      throw sql::Error("not a recording of this program");
    }
    if (version > kSchemaVersion) {
      throw sql::Error("written by a newer program (schema version " + std::to_string(version) +
                       ")");
    }
    sql::Statement s(*db_, "SELECT started_at, started_us FROM session");
    if (!s.step()) throw sql::Error("the recording has no session row");
    DateTime t;
    const std::string at = s.text(0);
    if (std::sscanf(at.c_str(), "%d-%d-%d %d:%d:%d.%d", &t.year, &t.month, &t.day, &t.hour,
                    &t.minute, &t.second, &t.microsecond) != 7) {
      throw sql::Error("the session's start '" + at + "' is not a date and time");
    }
    startMicros_ = daysFromCivil(t.year, t.month, t.day) * kMicrosPerDay +
                   ((t.hour * 60LL + t.minute) * 60 + t.second) * kMicrosPerSecond + t.microsecond;
    startedUs_ = s.integer(1);
  }

  sql::Db& db() { return *db_; }

  double seconds(std::int64_t timeUs) const {
    return static_cast<double>(timeUs - startedUs_) / static_cast<double>(kMicrosPerSecond);
  }
  // The wall clock of a row, to the millisecond.
  std::string wallClock(std::int64_t timeUs) const {
    const std::int64_t at = startMicros_ + (timeUs - startedUs_);
    const std::int64_t day =
        at >= 0 ? at / kMicrosPerDay : (at - kMicrosPerDay + 1) / kMicrosPerDay;
    const std::int64_t inDay = at - day * kMicrosPerDay;
    const DateTime d = civilFromDays(day);
    const std::int64_t ms = inDay / 1000;
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02lld:%02lld:%02lld.%03lld", d.year, d.month,
                  d.day, static_cast<long long>(ms / 3'600'000),
                  static_cast<long long>(ms / 60'000 % 60), static_cast<long long>(ms / 1000 % 60),
                  static_cast<long long>(ms % 1000));
    return text;
  }

 private:
  std::unique_ptr<sql::Db> db_;
  std::int64_t startMicros_ = 0;  // the start as microseconds since 1970-01-01, local time
  std::int64_t startedUs_ = 0;
};

// Tells the caller about every 1/500 of the rows.
class Progress {
 public:
  Progress(const ExportProgress& report, std::uint64_t total)
      : report_(report), total_(total), every_(std::max<std::uint64_t>(1, total / kProgressSteps)) {
    tell();
  }
  void step() {
    if (++done_ % every_ == 0) tell();
  }
  void tell() {
    if (report_ && !report_(done_, total_)) throw Cancelled();
  }

 private:
  const ExportProgress& report_;
  std::uint64_t total_;
  std::uint64_t every_;
  std::uint64_t done_ = 0;
};

Field boardField(const sql::Statement& s, int column) {
  return s.isNull(column) ? Field{} : number(static_cast<double>(s.integer(column)));
}

// Readings of one kind with their values, one row per reading: the values of board b, channel
// k (1-based) go in column first + (b - 1) x channels + k - 1.
void valueTable(Source& src, TableSink& sink, Progress& progress, const char* kind,
                const char* valuesTable, const char* channelColumn, int channels,
                const std::vector<std::string>& channelNames, bool thermal) {
  const int boards = static_cast<int>(std::max<std::int64_t>(
      1, src.db().integer(("SELECT coalesce(max(board), 0) FROM readings WHERE kind = '" +
                           std::string(kind) + "'")
                              .c_str())));
  std::vector<std::string> header = {"Time", "Seconds", "Board", "Origin", "PEC"};
  if (thermal) header.push_back("Thermal");
  const int first = static_cast<int>(header.size());
  for (int b = 1; b <= boards; ++b) {
    for (const std::string& n : channelNames) header.push_back("B" + std::to_string(b) + " " + n);
  }
  sink.table(kind == std::string("cells") ? "Cell voltages" : "Temperatures", header);

  const std::string query = "SELECT r.id, r.time_us, r.board, r.origin, r.pec, r.thermal, v." +
                            std::string(channelColumn) + ", v.volts FROM readings r JOIN " +
                            valuesTable + " v ON v.reading_id = r.id WHERE r.kind = '" + kind +
                            "' ORDER BY r.id, v." + channelColumn;
  sql::Statement s(src.db(), query.c_str());
  std::vector<Field> row;
  std::int64_t id = -1;
  const auto flush = [&] {
    if (id < 0) return;
    sink.row(row);
    progress.step();
  };
  while (s.step()) {
    if (s.integer(0) != id) {
      flush();
      id = s.integer(0);
      row.assign(header.size(), Field{});
      row[0] = text(src.wallClock(s.integer(1)));
      row[1] = number(src.seconds(s.integer(1)));
      row[2] = boardField(s, 2);
      row[3] = text(s.text(3));
      if (!s.isNull(4)) row[4] = text(s.text(4));
      if (thermal && !s.isNull(5)) row[5] = number(static_cast<double>(s.integer(5)));
    }
    const std::int64_t board = s.isNull(2) ? 0 : s.integer(2);
    const std::int64_t channel = s.integer(6);
    if (board < 1 || board > boards || channel < 1 || channel > channels) continue;
    row[static_cast<std::size_t>(first + (board - 1) * channels + channel - 1)] = number(s.real(7));
  }
  flush();
}

void cellTable(Source& src, TableSink& sink, Progress& progress) {
  std::vector<std::string> names;
  for (int c = 1; c <= kCellsPerBoard; ++c) names.push_back("C" + std::to_string(c));
  valueTable(src, sink, progress, "cells", "cell_voltages", "cell", kCellsPerBoard, names, false);
}

void temperatureTable(Source& src, TableSink& sink, Progress& progress) {
  const std::vector<std::string> names(kSensorNames, kSensorNames + kSensorsPerBoard);
  valueTable(src, sink, progress, "temperatures", "temperatures", "sensor", kSensorsPerBoard, names,
             true);
}

void alarmTable(Source& src, TableSink& sink, Progress& progress) {
  sink.table("Alarms", {"Time", "Seconds", "Event", "Alarm", "Kind", "Board", "Channel", "Limit",
                        "Value", "Text"});
  sql::Statement s(src.db(),
                   "SELECT time_us, event, alarm_id, kind, board, channel, limit_value, value, "
                   "text FROM alarm_events ORDER BY id");
  while (s.step()) {
    sink.row({text(src.wallClock(s.integer(0))), number(src.seconds(s.integer(0))), text(s.text(1)),
              number(static_cast<double>(s.integer(2))), text(s.text(3)), boardField(s, 4),
              boardField(s, 5), number(s.real(6)), number(s.real(7)), text(s.text(8))});
    progress.step();
  }
}

}  // namespace

bool formatOfName(const std::string& name, ExportFormat& format) {
  std::string ext = std::filesystem::path(name).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (ext == ".csv") {
    format = ExportFormat::Csv;
  } else if (ext == ".xlsx") {
    format = ExportFormat::Xlsx;
  } else {
    return false;
  }
  return true;
}

ExportResult exportRecording(const std::string& recording, const std::string& output,
                             ExportFormat format, const ExportProgress& progress) {
  ExportResult result;
  try {
    Source src(recording);
    // A consistent picture of a recording that is still being written.
    src.db().exec("BEGIN");
    const std::uint64_t cells = static_cast<std::uint64_t>(
        src.db().integer("SELECT count(*) FROM readings WHERE kind = 'cells'"));
    if (format == ExportFormat::Csv) {
      CsvSink sink(output);
      Progress p(progress, cells);
      cellTable(src, sink, p);
      p.tell();
      sink.commit();
    } else {
      const auto others = static_cast<std::uint64_t>(
          src.db().integer("SELECT (SELECT count(*) FROM readings WHERE kind = 'temperatures') + "
                           "(SELECT count(*) FROM alarm_events)"));
      XlsxSink sink(output);
      Progress p(progress, cells + others);
      cellTable(src, sink, p);
      temperatureTable(src, sink, p);
      alarmTable(src, sink, p);
      p.tell();
      sink.commit();
    }
    result.ok = true;
  } catch (const Cancelled&) {
    result.cancelled = true;
    result.error = "cancelled";
  } catch (const std::exception& e) {
    result.error = e.what();
  }
  return result;
}

}  // namespace kb::record
