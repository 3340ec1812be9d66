#pragma once
// The recording of the run: the recorder while one runs, and the GUI's dialogs for starting one
// and exporting.
#include <memory>
#include <string>

namespace kb::record {

class Recorder;

// The GUI's side of the recording menu items. Both are requests: the dialogs open after the menu
// procedure has ended, so the timer keeps ticking while they are up.
class RecordingUi {
 public:
  virtual ~RecordingUi() = default;
  // A save dialog for a new recording, opened on suggestedName in the user's documents folder;
  // the dialog asks before replacing a file. The chosen file is started with startRecording.
  virtual void requestRecording(const std::string& suggestedName) = 0;
  // Choose a recording (lastRecording, when given, is offered first) and a CSV or XLSX file to
  // export it to, with a progress dialog that can cancel.
  virtual void requestExport(const std::string& lastRecording) = 0;
};

struct RecordingState {
  RecordingState();
  ~RecordingState();
  RecordingState(const RecordingState&) = delete;
  RecordingState& operator=(const RecordingState&) = delete;

  std::unique_ptr<Recorder> recorder;  // null while not recording
  std::string lastFile;                // the recording started last
  std::string device;                  // the session's device string, for the file's header
  RecordingUi* ui = nullptr;           // null without windows (the headless runner)
};

}  // namespace kb::record
