#pragma once
// Runs operator scripts against a main window: one action per line, '#' starts a comment.
//   click NAME [INDEX] | select NAME [INDEX] POS | type NAME [INDEX] TEXT | key NAME [INDEX] CODE
//   focus NAME [INDEX] | tab INDEX | menu CAPTION | tick [N] | wait SECONDS
//   print NAME [INDEX] PROPERTY | print NAME [INDEX]
// Message boxes print "MSGBOX title: text"; the desktop's "open" prints "OPEN path".
// Controls of the status window carry the prefix "status.".
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
  // advance moves the program's clock; tick runs one timer tick.
  ScriptRunner(ui::MainWindow& window, std::ostream& out, std::function<void(double)> advance);

  // Runs one line. Returns false and sets error() for a bad line.
  bool runLine(const std::string& line);
  // Runs a whole script; stops at a bad line (status 2), at a procedure's fault (status 3) or when
  // the program ends. Returns the exit status: 0 ran to its end, 2 bad line, 3 fault.
  int run(std::istream& script);
  // Called by the fault reporter: the script stops after the present line.
  void faulted() { faulted_ = true; }
  const std::string& error() const { return error_; }

 private:
  ui::MainWindow& window_;
  std::ostream& out_;
  std::function<void(double)> advance_;
  std::string error_;
  bool faulted_ = false;
};

// The fault report of both the GUI and the runner: one line on err.
std::string faultLine(const form::Fault& fault);

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
