#pragma once
// Exports of a recording: a workbook of three tables (cell voltages as time x (board, cell),
// temperatures as time x (board, sensor), the alarm events) or the cell voltage table as CSV.
// Either is written beside the chosen name and renamed into place when complete: a cancelled or
// failed export leaves no file under that name.
#include <cstdint>
#include <functional>
#include <string>

namespace kb::record {

enum class ExportFormat { Csv, Xlsx };

// Told the rows done and the rows in all, now and then; returns false to cancel.
using ExportProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;

struct ExportResult {
  bool ok = false;
  bool cancelled = false;
  std::string error;  // why it failed, in one line
};

ExportResult exportRecording(const std::string& recording, const std::string& output,
                             ExportFormat format, const ExportProgress& progress = {});

// The format a file name asks for (".csv", ".xlsx", any case); false for another ending.
bool formatOfName(const std::string& name, ExportFormat& format);

}  // namespace kb::record
