#include "ui/main/panels/SelectionPanel.h"

#include <array>

#include "ui/main/panels/GridPanel.h"

namespace kb::ui {

using form::Control;
using form::ControlKind;

namespace {

// The terminal sits on the background's top edge, centred; the ticks stand left of the level
// mark at the tops of the OV (480), OK (600) and UV (720) marks.
constexpr int kTerminalWidth = 210;
constexpr int kTerminalHeight = 90;
constexpr int kTickLeft = kCellBackgroundLeft + 30;
constexpr int kTickRight = kCellMarkLeft - 30;

void layoutGaugeParts(form::Form& f, SelectionControls& c, const form::Array& cellFrames) {
  for (int i = 0; i < 12; ++i) {
    const Control& panel = cellFrames[i];
    Control& terminal =
        f.add(c.Shape5, i, ControlKind::Shape, &panel)
            .place(kCellBackgroundLeft + (kCellBackgroundWidth - kTerminalWidth) / 2,
                   kCellBackgroundTop - kTerminalHeight, kTerminalWidth, kTerminalHeight);
    terminal.fillStyle = form::kFillSolid;
    terminal.fillColor = kLightGrey;
    terminal.borderColor = kBlack;
    const std::array<form::Array*, 3> ticks{&c.Line7, &c.Line9, &c.Line10};
    constexpr std::array<int, 3> kTickY{480, 600, 720};
    for (std::size_t t = 0; t < ticks.size(); ++t) {
      Control& line = f.add(*ticks[t], i, ControlKind::Line, &panel);
      line.x1 = kTickLeft;
      line.x2 = kTickRight;
      line.y1 = line.y2 = kTickY[t];
      line.borderColor = kBlack;
    }
  }
}

}  // namespace

void layoutSelectionBoxes(form::Form& f, SelectionControls& c, const form::Array& cellFrames,
                          const Control& temperatures) {
  for (int i = 0; i < 12; ++i) {
    // Under the DCC and Mask boxes; tall enough for the caption on two lines.
    f.add(c.Check6, i, ControlKind::CheckBox, &cellFrames[i])
        .place(45, 1920, 780, 405)
        .setCaption("READ Only");
  }
  layoutGaugeParts(f, c, cellFrames);
  // At the right of the temperature rows (first row at 300, 330 apart).
  constexpr std::array<const char*, 3> kCaptions{"ITMP Only", "ETMP1Only", "ETMP2Only"};
  for (int k = 0; k < 3; ++k) {
    f.add(c.Check7, k, ControlKind::CheckBox, &temperatures)
        .place(1560, 315 + 330 * k, 1110, 255)
        .setCaption(kCaptions[static_cast<std::size_t>(k)]);
  }
}

}  // namespace kb::ui
