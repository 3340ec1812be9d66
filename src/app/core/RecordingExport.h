#pragma once
// --export-recording FILE --csv OUT | --xlsx OUT: exports a recording without windows.
#include <ostream>

#include "app/core/CommandLine.h"

namespace kb::app {

// Exit status: 0 written, 1 the export failed (the reason on err), 2 the output exists.
int runExport(const Options& options, std::ostream& err);

}  // namespace kb::app
