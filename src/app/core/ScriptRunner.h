#pragma once
// Runs operator scripts against a main window: one action per line, '#' starts a comment.
//   click NAME [INDEX] | select NAME [INDEX] POS | type NAME [INDEX] TEXT | key NAME [INDEX] CODE
//   focus NAME [INDEX] | tab INDEX | menu CAPTION | tick [N] | wait SECONDS
//   print NAME [INDEX] PROPERTY | print NAME [INDEX]
// Message boxes print "MSGBOX title: text"; the desktop's "open" prints "OPEN path".
// Controls of the status window carry the prefix "status.". A control array needs its index, a
// plain control takes none. The operator's reach is checked: a control that is hidden or disabled
// (itself or its frame) cannot be clicked, typed into, given keys or the focus; shapes, lines and
// timers cannot be clicked; only text boxes take text and only combo boxes a list position.
// tick N: 0 to 864000 ticks of 100 ms. wait SECONDS: a plain decimal ("2", "0.25"), rounded to the
// microsecond. Neither may move the clock past its limit. A script may start with a UTF-8 byte
// order mark and may end its lines with CR LF.
#include <fstream>
#include <functional>
#include <istream>
#include <ostream>
#include <string>

#include "app/core/CommandLine.h"
#include "common/Clock.h"
#include "ui/main/MainWindow.h"

namespace kb::app {

class ScriptRunner {
 public:
  ScriptRunner(ui::MainWindow& window, std::ostream& out, ManualClock& clock);

  // Runs one line. Returns false and sets error() for a bad line.
  bool runLine(const std::string& line);
  // Runs a whole script; stops at a bad line (status 2), at a procedure's fault (status 3) or when
  // the program ends. Returns the exit status: 0 ran to its end, 2 bad line, 3 fault.
  int run(std::istream& script);
  // Called by the fault reporter: the script stops after the present line.
  void faulted() { faulted_ = true; }
  // One line; control characters and other bytes outside printable ASCII are shown as \xHH.
  const std::string& error() const { return error_; }

  // Checked after every line; a non-empty answer (a failed trace, say) stops the script with it.
  void setOutputCheck(std::function<std::string()> check) { outputCheck_ = std::move(check); }

 private:
  bool runWords(const std::string& code);

  ui::MainWindow& window_;
  std::ostream& out_;
  ManualClock& clock_;
  std::function<std::string()> outputCheck_;
  std::string error_;
  bool faulted_ = false;
};

// The fault report of both the GUI and the runner: one line on err.
std::string faultLine(const form::Fault& fault);

// Opens a script file for reading; a directory or an unreadable file gives a one-line error.
bool openScript(const std::string& path, std::ifstream& in, std::string& error);

// Answers message boxes by printing "MSGBOX title: text" (lines joined with " / ").
class PrintingDialogs final : public form::Dialogs {
 public:
  explicit PrintingDialogs(std::ostream& out) : out_(out) {}
  void msgBox(const std::string& text, const std::string& title) override;

 private:
  std::ostream& out_;
};

// Records the desktop's "open" instead of running it: prints "OPEN path".
class PrintingDesktop final : public form::Desktop {
 public:
  explicit PrintingDesktop(std::ostream& out) : out_(out) {}
  bool open(const std::string& path) override;

 private:
  std::ostream& out_;
};

// --headless: runs the script on the main window without Qt, with a manual clock.
int runHeadless(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace kb::app
