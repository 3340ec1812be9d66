#include "ui/main/panels/MonitorButtons.h"

#include <array>

namespace kb::ui {

using form::Control;
using form::ControlKind;

namespace {

struct ButtonDecl {
  int index;
  const char* caption;
  const char* toolTip;
  int top;
  int height;
};

// Monitor command buttons, top to bottom.
constexpr std::array<ButtonDecl, 12> kCommandButtons{{
    {kPollAdcButton, "POLL ADC", "0x40 PLADC", 480, 375},
    {kPollIntButton, "POLL INT", "0x50 PLINT", 900, 375},
    {kStartCellVoltButton, "STARTCELLVOLT", "0x10 STCVAD", 1320, 375},
    {kStartOpenWireButton, "START OPENWIRE", "0x20 STOWAD", 1740, 375},
    {kStartTempButton, "START TEMP", "0x30 STTMPAD", 2160, 375},
    {kWriteConfigButton, "WRITE CONFIG", "0x01 WRCFG", 2580, 375},
    {kReadConfigButton, "READ CONFIG", "0x02 RDCFG", 3000, 375},
    {kReadCellVoltButton, "READCELLVOLT", "0x04 RDCV", 3420, 375},
    {kReadFlagButton, "READ FLAG", "0x0C RDFLG", 3840, 375},
    {kReadTempButton, "READ TEMP", "0x0E RDTMP", 4260, 375},
    {kContinuousReadButton, " START CONTINUOUS   READ CELLS",
     "CONTINUOUS  READ = 1) STCVAD and RDCV. 2) STTMPAD and  RDTMP. 3) RDFLG.", 4740, 615},
    {kLowCurrentStandbyButton, "LOW CURRENT STBY",
     "KB771U'S SPI LINES ARE FORCED HIGH  TO SHOW QXM7130-1'S LOW CURRENT STANDBY.", 5520, 375},
}};

// Buttons that carry a reminder mark, in reminder order.
constexpr std::array<int, 3> kReminderButtons{kReadConfigButton, kReadCellVoltButton,
                                              kReadTempButton};

}  // namespace

void layoutMonitorButtons(form::Form& f, MonitorButtonControls& c, const Control& page) {
  for (const ButtonDecl& b : kCommandButtons) {
    Control& button = f.add(c.Command1, b.index, ControlKind::CommandButton, &page)
                          .place(kButtonLeft, b.top, kButtonWidth, b.height);
    button.setCaption(b.caption);
    button.toolTip = b.toolTip;
    button.multiLine = b.height > 375;
  }
  for (int i = 0; i < 3; ++i) {
    const int top = c.Command1[kReminderButtons[static_cast<std::size_t>(i)]].top;
    Control& m = f.add(c.ReminderMark, i, ControlKind::Shape, &page)
                     .place(kButtonLeft - 30, top + 112, 150, 150);
    m.shape = form::kShapeCircle;
    m.fillStyle = form::kFillSolid;
    m.fillColor = kRed;
    m.borderColor = kRed;
    m.visible = false;
  }

  // Conversion starts with discharge held, below LOW CURRENT STBY.
  constexpr std::array<const char*, 2> kHoldCaptions{"STARTCELL hold DCC", "STARTOPEN hold DCC"};
  constexpr std::array<const char*, 2> kHoldToolTips{"0x60 STCVDC", "0x70 STOWDC"};
  for (int i = 0; i < 2; ++i) {
    Control& button = f.add(c.Command3, i, ControlKind::CommandButton, &page)
                          .place(kButtonLeft, 5925 + 390 * i, kButtonWidth, 375);
    button.setCaption(kHoldCaptions[static_cast<std::size_t>(i)]);
    button.toolTip = kHoldToolTips[static_cast<std::size_t>(i)];
  }

  // Controller identity, beside the continuous-read button until the board view takes it.
  constexpr int kIdLeft = 12780;
  Control& idCaption =
      f.add(c.Label_IDcaption, ControlKind::Label, &page).place(kIdLeft, 4800, kButtonWidth, 255);
  idCaption.setCaption("CONTROLLER ID");
  idCaption.alignment = 2;
  Control& id =
      f.add(c.Label_ID, ControlKind::Label, &page).place(kIdLeft, 5060, kButtonWidth, 285);
  id.opaque = true;
  id.backColor = kWhite;
  id.alignment = 2;
  id.fontBold = true;

  // "PEC Match Only" and the transfer display mode it selects.
  f.add(c.Check_AUTO, ControlKind::CheckBox, &page)
      .place(5400, 9300, 1695, 285)
      .setCaption("PEC Match Only");
  f.add(c.Label_AUTOstatus, ControlKind::Label, &page)
      .place(5400, 9660, 4575, 255)
      .setCaption("DISPLAY ALL DATA TRANSFERS!");
}

}  // namespace kb::ui
