#pragma once
// Publishing in the GUI: "Options > Publish to MQTT..." on the main window, and the start from the
// user's saved choice when the command line did not choose.
#include "app/core/CommandLine.h"
#include "app/core/Session.h"
#include "ui/form/Services.h"
#include "ui/qt/AppWindows.h"

namespace kb::app {

// savedChoice: start from the user's saved settings unless --publish was given (the screenshot
// mode passes false, so that its shots never depend on the user's settings).
void setUpPublishing(qt::MainFrame& frame, Session& session, const Options& options,
                     form::Dialogs& dialogs, bool savedChoice);

}  // namespace kb::app
