#include "ui/main/MainLayout.h"

#include <array>
#include <string>

namespace kb::ui {

using form::Control;
using form::ControlKind;
using form::Form;

namespace {

Control& place(Control& c, int left, int top, int width, int height) {
  c.left = left;
  c.top = top;
  c.width = width;
  c.height = height;
  return c;
}

Control& inFrame(Control& c, const char* frame) {
  c.container = frame;
  return c;
}

struct ButtonDecl {
  int index;
  const char* caption;
  const char* toolTip;
  int top;
  int height;
};

// Monitor command buttons, top to bottom.
constexpr std::array<ButtonDecl, 12> kCommandButtons{{
    {0, "POLL ADC", "0x40 PLADC", 480, 375},
    {1, "POLL INT", "0x50 PLINT", 900, 375},
    {2, "STARTCELLVOLT", "0x10 STCVAD", 1320, 375},
    {3, "START OPENWIRE", "0x20 STOWAD", 1740, 375},
    {4, "START TEMP", "0x30 STTMPAD", 2160, 375},
    {5, "WRITE CONFIG", "0x01 WRCFG", 2580, 375},
    {6, "READ CONFIG", "0x02 RDCFG", 3000, 375},
    {7, "READCELLVOLT", "0x04 RDCV", 3420, 375},
    {8, "READ FLAG", "0x0C RDFLG", 3840, 375},
    {9, "READ TEMP", "0x0E RDTMP", 4260, 375},
    {10, " START CONTINUOUS   READ CELLS",
     "CONTINUOUS  READ = 1) STCVAD and RDCV. 2) STTMPAD and  RDTMP. 3) RDFLG.", 4740, 615},
    {14, "LOW CURRENT STBY",
     "KB771U'S SPI LINES ARE FORCED HIGH  TO SHOW QXM7130-1'S LOW CURRENT STANDBY.", 5520, 375},
}};

// Buttons whose commands are wired; the rest stay disabled until their subsystems land.
bool commandWired(int index) {
  return index == 0 || index == 1 || index == 6;
}

}  // namespace

std::unique_ptr<Form> makeMainForm() {
  auto f = std::make_unique<Form>("frmMain", kMainCaption);
  f->width = 15840;
  f->height = 11280;

  Control& tabs = place(f->add(ControlKind::TabStrip, "TabStrip1"), 0, 0, 15840, 360);
  tabs.items = {"QXM7140-2/4", "QXB5520-1"};
  tabs.value = 0;

  place(f->add(ControlKind::Frame, "Frame10"), 60, 420, 15720, 10800);
  Control& balancer = place(f->add(ControlKind::Frame, "Frame13"), 60, 420, 15720, 10800);
  balancer.visible = false;

  for (const ButtonDecl& b : kCommandButtons) {
    Control& c = inFrame(place(f->add(ControlKind::CommandButton, "Command1", b.index), kButtonLeft,
                               b.top, kButtonWidth, b.height),
                         "Frame10");
    c.caption = b.caption;
    c.toolTip = b.toolTip;
    c.multiLine = b.height > 375;
    c.enabled = commandWired(b.index);
  }
  // Reminder markers beside READ CONFIG, READCELLVOLT and READ TEMP.
  constexpr std::array<int, 3> kReminderButtons{6, 7, 9};
  for (int i = 0; i < 3; ++i) {
    const int top =
        kCommandButtons[static_cast<std::size_t>(kReminderButtons[static_cast<std::size_t>(i)])]
            .top;
    Control& m = inFrame(
        place(f->add(ControlKind::Shape, "ReminderMark", i), kButtonLeft - 30, top + 112, 150, 150),
        "Frame10");
    m.shape = form::kShapeCircle;
    m.fillStyle = form::kFillSolid;
    m.fillColor = form::kRed;
    m.borderColor = form::kRed;
    m.visible = false;
  }

  // Controller identity, in the board-selection area.
  Control& idCaption = inFrame(
      place(f->add(ControlKind::Label, "Label_IDcaption"), kButtonLeft, 6120, kButtonWidth, 255),
      "Frame10");
  idCaption.caption = "CONTROLLER ID";
  idCaption.alignment = 2;
  Control& id =
      inFrame(place(f->add(ControlKind::Label, "Label_ID"), kButtonLeft, 6380, kButtonWidth, 285),
              "Frame10");
  id.opaque = true;
  id.backColor = form::kWhite;
  id.alignment = 2;
  id.fontBold = true;

  // "PEC Match Only" and the transfer display mode it selects.
  Control& automatic =
      inFrame(place(f->add(ControlKind::CheckBox, "Check_AUTO"), 240, 9960, 1695, 285), "Frame10");
  automatic.caption = "PEC Match Only";
  Control& status = inFrame(
      place(f->add(ControlKind::Label, "Label_AUTOstatus"), 2040, 9990, 4575, 255), "Frame10");
  status.caption = "DISPLAY ALL DATA TRANSFERS!";

  Control& timer = f->add(ControlKind::Timer, "Timer1");
  timer.interval = 100;
  timer.enabled = false;

  f->addMenuItem({"File", "mnuExit", "Exit", true});
  f->addMenuItem({"Datalog", "mnuExcelOutTest", "Excel Out Test", false});
  f->addMenuItem({"Datalog", "mnuCreateNewSetup", "Create New Setup", true});
  f->addMenuItem({"Datalog", "mnuUsePreviousSetup", "Use Previous Setup", true});
  f->addMenuItem({"Datalog", "mnuViewLastDatalog", "View Last Datalog", true});
  return f;
}

std::unique_ptr<Form> makeStatusForm() {
  auto f = std::make_unique<Form>("frmStatus", kStatusCaption);
  f->width = 6600;
  f->height = 5160;
  Control& note = place(f->add(ControlKind::Label, "Label11"), 120, 120, 6360, 420);
  note.caption = "CONTINUOUS READ NOT ENABLED Data is as current as of last read";
  note.multiLine = true;
  Control& header = place(f->add(ControlKind::Label, "Label12", 0), 120, 660, 600, 255);
  header.caption = " IC #";
  Control& cells = place(f->add(ControlKind::Label, "Label9"), 780, 660, 5700, 255);
  cells.caption = "CELL 12 CELL 11 CELL 10 CELL 9 CELL 8 CELL 7 ";
  return f;
}

}  // namespace kb::ui
