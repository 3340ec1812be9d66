#pragma once
// One recording file: created new (never over a file that exists, unless the operator confirmed
// replacing it), written one transaction per batch in write-ahead-log mode, closed with its stop
// time. A SIGKILL or a power cut at any moment leaves a file that opens and holds every batch
// committed before it.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/Clock.h"
#include "record/Batch.h"
#include "record/Sqlite.h"

namespace kb::record {

struct Header {
  std::string program;             // "kb4471 0.1.0"
  std::string device;              // the device string of the session
  DateTime startedAt;              // the wall clock when the recording started
  std::int64_t startedMicros = 0;  // the program's clock at that moment
};

class Store {
 public:
  // Throws sql::Error with a reason an operator understands ("file exists", "disk full" ...).
  Store(const std::string& path, const Header& header, bool replace);
  ~Store();
  Store(const Store&) = delete;
  Store& operator=(const Store&) = delete;

  const std::string& path() const { return path_; }
  // Writes the batches in one transaction; on a failure nothing of them is kept and sql::Error
  // says why.
  void write(const std::vector<Batch>& batches);
  // Notes the stop time in the session row.
  void finish(std::int64_t stoppedMicros);

  std::uint64_t rowsWritten() const { return rows_; }

 private:
  void writeReading(const readings::Reading& r);
  void writeAlarm(const AlarmRow& a);

  std::string path_;
  std::unique_ptr<sql::Db> db_;
  std::unique_ptr<sql::Statement> reading_, cell_, temperature_, word_, link_, alarm_;
  std::uint64_t rows_ = 0;
};

// "2026-01-05 08:00:00.000000": the form of started_at.
std::string timestampText(const DateTime& t);
// Volts as the window shows them, to 0.1 mV: cell and temperature codes step by 1.5 mV, so this
// is the value itself, free of the binary fraction's tail.
double roundedVolts(double volts);

}  // namespace kb::record
