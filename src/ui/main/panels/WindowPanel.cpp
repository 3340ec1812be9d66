#include "ui/main/panels/WindowPanel.h"

#include "record/Recording.h"

namespace kb::ui {

using form::ControlKind;

void layoutWindow(form::Form& f, WindowControls& c) {
  f.width = 15840;
  f.height = 11280;

  form::Control& tabs = f.add(c.TabStrip1, ControlKind::TabStrip).place(0, 0, 15840, 360);
  tabs.items = {"QXM7140-2/4", "QXB5520-1"};

  f.add(c.Frame10, ControlKind::Frame).place(60, 420, 15720, 10800);
  f.add(c.Frame13, ControlKind::Frame).place(60, 420, 15720, 10800).visible = false;

  form::Control& timer = f.add(c.Timer1, ControlKind::Timer);
  timer.interval = 100;
  timer.enabled = false;

  // The recording items are enabled by the recording as it starts and stops.
  f.addMenuItem({"File", "mnuRecordSession", record::kRecordSession, false});
  f.addMenuItem({"File", "mnuStopRecording", record::kStopRecording, false});
  f.addMenuItem({"File", "mnuExportRecording", record::kExportRecording, false});
  f.addMenuItem({"File", "mnuExit", "Exit", true});
  f.addMenuItem({"Datalog", "mnuExcelOutTest", "Excel Out Test", true});
  f.addMenuItem({"Datalog", "mnuCreateNewSetup", "Create New Setup", true});
  f.addMenuItem({"Datalog", "mnuUsePreviousSetup", "Use Previous Setup", true});
  f.addMenuItem({"Datalog", "mnuViewLastDatalog", "View Last Datalog", true});
  f.addMenuItem({"View", "mnuTrends", "Trends", true});
  f.addMenuItem({"View", "mnuAlarms", "Alarms", true});
  f.addMenuItem({"Options", "mnuHeldLink", "Held link", true});
  f.addMenuItem({"Options", "mnuFastScan", "Fast scan", true});
}

}  // namespace kb::ui
