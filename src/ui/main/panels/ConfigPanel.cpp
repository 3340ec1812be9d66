#include "ui/main/panels/ConfigPanel.h"

#include <array>
#include <string>

#include "config/ConfigRegisters.h"

namespace kb::ui {

using form::Control;
using form::ControlKind;

namespace {

constexpr std::array<const char*, 8> kCfgr0Captions{
    "CDC[0] (Bit 0)",
    "CDC[1] (Bit 1)",
    "CDC[2] (Bit 2)",
    "10CELLS bit3  1 = 10, 0 = 12 CELLs",
    "LVLPL bit4  1 = Level, 0 = Toggle Poll.",
    "GPIO1 bit5  1 = Hi-Z, 0 = Out Low.",
    "GPIO2 bit6  1 = Hi-Z, 0 = Out Low.",
    "WDTB STATUS bit7  1 = HI, 0 = LOW.",
};

// A box the program writes and the operator only reads.
Control& display(Control& box) {
  box.locked = true;
  box.alignment = 2;
  box.backColor = kWhite;
  return box;
}

void layoutCfgr0Frame(form::Form& f, ConfigPanelControls& c, const Control& page) {
  Control& frame = f.add(c.Frame_CFGR0, ControlKind::Frame, &page).place(11100, 6780, 4560, 2250);
  frame.setCaption("CFGR0");
  f.add(c.Option3, 0, ControlKind::OptionButton, &frame)
      .place(90, 210, 1590, 255)
      .setCaption("CUSTOM BRD# 1");
  f.add(c.Option3, 1, ControlKind::OptionButton, &frame)
      .place(1740, 210, 1590, 255)
      .setCaption("GLOBAL CFGR0");
  for (int i = 7; i >= 0; --i) {
    f.add(c.Check0, i, ControlKind::CheckBox, &frame)
        .place(90, 495 + 210 * (7 - i), 3480, 210)
        .setCaption(kCfgr0Captions[static_cast<std::size_t>(i)]);
  }
  Control& number = f.add(c.Label_CDCnum, ControlKind::Label, &frame).place(3660, 495, 810, 210);
  number.setCaption("CDC#");
  number.alignment = 2;
  display(f.add(c.Text15, ControlKind::TextBox, &frame).place(3750, 720, 630, 285));
  // Beside the CDC bit boxes.
  Control& up =
      f.add(c.Command0, 1, ControlKind::CommandButton, &frame).place(3660, 1530, 810, 300);
  up.setCaption("UP");
  up.toolTip = "COMPARATOR DUTY CYCLE INCREMENT.";
  Control& down =
      f.add(c.Command0, 0, ControlKind::CommandButton, &frame).place(3660, 1860, 810, 300);
  down.setCaption("DOWN");
  down.toolTip = "COMPARATOR DUTY CYCLE DECREMENT.";
}

void layoutRegisters(form::Form& f, ConfigPanelControls& c, const Control& page) {
  constexpr int kLeft = 11580;
  constexpr int kPitch = 680;
  constexpr int kWidth = 660;
  for (int i = 0; i < 6; ++i) {
    const int left = kLeft + kPitch * i;
    Control& name =
        f.add(c.Label_CFGR, i, ControlKind::Label, &page).place(left, 9060, kWidth, 210);
    name.setCaption("CFGR" + std::to_string(i));
    name.alignment = 2;
    display(f.add(c.Text4, i, ControlKind::TextBox, &page).place(left, 9270, kWidth, 270));
    Control& read = display(
        f.add(c.Text_ReadCfg, i, ControlKind::TextBox, &page).place(left, 9555, kWidth, 270));
    read.backColor = kWindowBackground;
  }
  f.add(c.Label_CfgRow, 0, ControlKind::Label, &page)
      .place(11100, 9300, 450, 210)
      .setCaption("EDIT");
  f.add(c.Label_CfgRow, 1, ControlKind::Label, &page)
      .place(11100, 9585, 450, 210)
      .setCaption("READ");
}

void layoutLimitsFrame(form::Form& f, ConfigPanelControls& c, const Control& page) {
  Control& frame = f.add(c.Frame_VLIM, ControlKind::Frame, &page).place(11100, 9870, 4560, 830);
  frame.setCaption("UNDER / OVER VOLTAGE LIMITS (VUV / VOV)");
  constexpr std::array<const char*, 2> kModes{"CUSTOM  BOARD # 1", "GLOBAL VUV,  VOV"};
  constexpr std::array<const char*, 2> kPrompts{"Set VUV", "Set VOV  "};
  constexpr std::array<const char*, 2> kTips{
      "CLICK TO TYPE UNDERVOLTAGE THRESHOLD THEN  PRESS ENTER TO SAVE. ",
      "CLICK TO TYPE OVERVOLTAGE THRESHOLD THEN  PRESS ENTER TO SAVE. "};
  constexpr std::array<const char*, 2> kReadTips{"VUV READ BACK", "VOV READ BACK"};
  for (int i = 0; i < 2; ++i) {
    const int left = 90 + 2190 * i;
    f.add(c.Option1, i, ControlKind::OptionButton, &frame).place(left, 210, 240, 255);
    f.add(c.Label13, i, ControlKind::Label, &frame)
        .place(left + 255, 232, 1890, 210)
        .setCaption(kModes[static_cast<std::size_t>(i)]);
    Control& box = f.add(c.Text2, i, ControlKind::TextBox, &frame).place(left, 495, 1020, 285);
    box.setText(kPrompts[static_cast<std::size_t>(i)]);
    box.toolTip = kTips[static_cast<std::size_t>(i)];
    box.backColor = kWhite;
    Control& zero =
        f.add(c.ZeroMark, i, ControlKind::Shape, &frame).place(left + 1050, 562, 150, 150);
    zero.shape = form::kShapeCircle;
    zero.fillStyle = form::kFillSolid;
    zero.fillColor = kPaleRed;
    zero.borderColor = kRed;
    zero.visible = false;
    Control& read =
        f.add(c.Label_RdLimit, i, ControlKind::Label, &frame).place(left + 1230, 530, 930, 210);
    read.toolTip = kReadTips[static_cast<std::size_t>(i)];
  }
}

void layoutCdcDescription(form::Form& f, ConfigPanelControls& c, const Control& page) {
  Control& status = f.add(c.Label_KA, 1, ControlKind::Label, &page).place(4560, 6330, 6300, 420);
  status.setCaption(
      " CONTINUOUS MODE CONSTANTLY SENDS COMMANDS   TO PREVENT WATCHDOG TIMER FROM TIMEOUT!");
  status.fontSize = 9;
  status.opaque = true;
  status.backColor = kPaleYellow;
  status.visible = false;

  Control& marker = f.add(c.Shape_STBY, ControlKind::Shape, &page).place(4560, 6780, 150, 150);
  marker.shape = form::kShapeCircle;
  marker.fillStyle = form::kFillSolid;
  marker.fillColor = kPaleYellow;
  marker.borderColor = kRed;
  marker.visible = false;
  f.add(c.Label4, ControlKind::Label, &page)
      .place(4770, 6750, 6090, 210)
      .setCaption("Set CDC (Comparator Duty Cycle)  CDC[2]   CDC[1]   CDC[0]");

  // Column titles over the three columns of the description, whose bars stand about 102, 215 and
  // 342 px into the text in its 7-point font.
  constexpr std::array<const char*, 3> kTitles{"UV/OV Comparator Period",
                                               "VREF Powered Down Between Measurements",
                                               "Cell Voltage Measurement Time"};
  constexpr std::array<int, 3> kTitleLeft{4605, 6135, 7830};
  constexpr std::array<int, 3> kTitleWidth{1530, 1695, 1905};
  for (int k = 0; k < 3; ++k) {
    Control& t = f.add(c.Label_CDCtitle, k, ControlKind::Label, &page)
                     .place(kTitleLeft[static_cast<std::size_t>(k)], 6975,
                            kTitleWidth[static_cast<std::size_t>(k)], 300);
    t.setCaption(kTitles[static_cast<std::size_t>(k)]);
    t.fontSize = 7;
    t.alignment = 2;
  }
  // Wide enough for the longest values row, so the values fill the first line and the remark the
  // second (at most the remark's first bar closes the first line).
  Control& text = f.add(c.Text3, ControlKind::TextBox, &page).place(4560, 7290, 5430, 390);
  text.multiLine = true;
  text.locked = true;
  text.fontSize = 7;
  text.backColor = kWhite;
}

void layoutCellBoxes(form::Form& f, ConfigPanelControls& c, const form::Array& cellFrames) {
  for (int cell = 1; cell <= 12; ++cell) {
    const Control& frame = cellFrames[cell - 1];
    const config::BoxRef dcc = config::dischargeBox(cell);
    const config::BoxRef mask = config::maskBox(cell);
    form::Array& dccArray = dcc.array == 1 ? c.Check1 : c.Check2;
    form::Array& maskArray = mask.array == 2 ? c.Check2 : c.Check3;
    f.add(dccArray, dcc.index, ControlKind::CheckBox, &frame)
        .place(45, 1380, 780, 255)
        .setCaption("DCC");
    // Check2(5) carries a trailing blank.
    f.add(maskArray, mask.index, ControlKind::CheckBox, &frame)
        .place(45, 1650, 780, 255)
        .setCaption(mask.array == 2 && mask.index == 5 ? "Mask " : "Mask");
  }
}

}  // namespace

void layoutConfigPanel(form::Form& f, ConfigPanelControls& c, const Control& page,
                       const form::Array& cellFrames) {
  layoutCfgr0Frame(f, c, page);
  layoutRegisters(f, c, page);
  layoutLimitsFrame(f, c, page);
  layoutCdcDescription(f, c, page);
  layoutCellBoxes(f, c, cellFrames);
}

}  // namespace kb::ui
