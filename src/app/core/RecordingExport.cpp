#include "app/core/RecordingExport.h"

#include <filesystem>

#include "link/TraceText.h"
#include "record/Export.h"

namespace kb::app {

int runExport(const Options& options, std::ostream& err) {
  const bool csv = !options.csvFile.empty();
  const std::string& output = csv ? options.csvFile : options.xlsxFile;
  std::error_code ec;
  // Nothing is lost: an existing file is never replaced from the command line.
  if (std::filesystem::symlink_status(output, ec).type() != std::filesystem::file_type::not_found) {
    err << "kb4471: '" << link::traceText(output) << "' exists; give a new name\n";
    return 2;
  }
  const record::ExportResult r =
      record::exportRecording(options.exportRecording, output,
                              csv ? record::ExportFormat::Csv : record::ExportFormat::Xlsx);
  if (r.ok) return 0;
  err << "kb4471: cannot export '" << link::traceText(options.exportRecording) << "' to '"
      << link::traceText(output) << "': " << link::traceText(r.error) << '\n';
  return 1;
}

}  // namespace kb::app
