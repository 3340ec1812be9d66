#pragma once
// Session recording in the program: started from --record or "File > Record session...",
// stopped from "Stop recording", by a write that fails (a full disk), or at the program's end.
#include <string>

#include "common/Clock.h"
#include "record/RecordingState.h"
#include "record/Writer.h"

namespace kb::ui {
struct Context;
}

namespace kb::record {

// Subscribes the recording to the readings, the alarms and the ends of events; registers the
// "File" menu's recording items and the state variable RecordingFile.
void wire(ui::Context& ctx);

// Starts recording the run into a new file (replace: the operator confirmed replacing the file
// of that name). Alarms active now are written first. False with the reason when the file could
// not be made.
bool startRecording(ui::Context& ctx, const std::string& path, bool replace, Writer::Mode mode,
                    std::string& error);
// Writes what is pending, notes the stop time and closes the file. Returns why the last writes
// failed, or nothing.
std::string stopRecording(ui::Context& ctx);
// A failure of the link itself ("open-failed", "short-read", "write-failed", "read-failed", with
// the command and the backend's words), for the recording's link_events at the program's time;
// nothing while not recording.
void noteLinkFailure(ui::Context& ctx, const std::string& kind, const std::string& detail);

// The GUI's dialogs (null: none, as in the headless runner); the menu items follow.
void attachUi(ui::Context& ctx, RecordingUi* ui);

// "kb4471 2026-01-05 08-00-00.db": the name the save dialog offers.
std::string suggestedFileName(const DateTime& start);

// The recording menu items' captions.
inline constexpr const char* kRecordSession = "Record session...";
inline constexpr const char* kStopRecording = "Stop recording";
inline constexpr const char* kExportRecording = "Export recording...";

}  // namespace kb::record
