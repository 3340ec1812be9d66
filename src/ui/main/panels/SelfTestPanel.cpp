#include "ui/main/panels/SelfTestPanel.h"

#include <array>

namespace kb::ui {

using form::Control;
using form::ControlKind;

namespace {

// Three columns of buttons inside the frame, in twips.
constexpr std::array<int, 3> kColumnLeft{105, 1500, 2895};
constexpr int kColumnWidth = 1350;
constexpr int kButtonHeight = 450;
constexpr int kStartRowTop = 570;
constexpr int kDccRowTop = 1110;
constexpr int kReadRowTop = 1650;

struct ButtonPlace {
  int index;
  const char* caption;
  const char* toolTip;
  int column;
  int top;
  int columns;  // columns spanned
};

constexpr std::array<ButtonPlace, 7> kButtons{{
    {0, "CELL VOLT", "0x1E STCVAD SELF TEST ALL", 0, kStartRowTop, 1},
    {1, "OPEN WIRE", "0x2E STOWAD SELF TEST ALL", 1, kStartRowTop, 1},
    {2, "ALL TEMP ", "0x3E STTMPAD SELF TEST ALL", 2, kStartRowTop, 1},
    {5, "CELL DCC", "0x6E STCVDC SELF TEST ALL", 0, kDccRowTop, 1},
    {6, "OPEN DCC", "0x7E STOWDC SELF TEST ALL", 1, kDccRowTop, 1},
    {3, "READCELL HEX VIEW", "READ ONLY BRD#1 CELLS FOR SELFTEST IN HEX.", 0, kReadRowTop, 2},
    {4, "READTEMP HEX VIEW", "READ ONLY BRD#1 TEMPS FOR SELFTEST IN HEX.", 2, kReadRowTop, 1},
}};

constexpr std::array<const char*, 3> kPatternCaptions{"0x555", "0xAAA", "0xFFF"};

}  // namespace

void layoutSelfTestPanel(form::Form& f, SelfTestControls& c, const Control& page) {
  Control& frame = f.add(c.Frame_SelfTest, ControlKind::Frame, &page).place(60, 5700, 4340, 2250);
  frame.setCaption("SELF TEST");

  // Behind the two discharge-held starts, a little larger than they are.
  Control& dcc =
      f.add(c.Shape_SelfTestDCC, ControlKind::Shape, &frame)
          .place(kColumnLeft[0] - 45, kDccRowTop - 45,
                 kColumnLeft[1] + kColumnWidth - kColumnLeft[0] + 90, kButtonHeight + 90);
  dcc.fillStyle = form::kFillSolid;
  dcc.fillColor = kWhite;
  dcc.borderColor = kGrey;

  for (int i = 0; i < 3; ++i) {
    f.add(c.Option2, i, ControlKind::OptionButton, &frame)
        .place(kColumnLeft[static_cast<std::size_t>(i)], 240, kColumnWidth, 255)
        .setCaption(kPatternCaptions[static_cast<std::size_t>(i)]);
  }
  // The start-up pattern, chosen without its click: the tool tips keep their start-up texts.
  c.Option2[0].setValue(1);

  for (const ButtonPlace& b : kButtons) {
    const int left = kColumnLeft[static_cast<std::size_t>(b.column)];
    const int width = kColumnWidth * b.columns +
                      (kColumnLeft[1] - kColumnLeft[0] - kColumnWidth) * (b.columns - 1);
    Control& button = f.add(c.Command5, b.index, ControlKind::CommandButton, &frame)
                          .place(left, b.top, width, kButtonHeight);
    button.setCaption(b.caption);
    button.toolTip = b.toolTip;
  }
}

}  // namespace kb::ui
