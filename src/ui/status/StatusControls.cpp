#include "ui/status/StatusControls.h"

#include <array>

namespace kb::ui {

using form::Control;
using form::ControlKind;

namespace {

struct Sample {
  const char* caption;
  std::int32_t back;
  bool opaque;
  int fillStyle;
};

constexpr std::array<Sample, kLegendEntries> kSamples{{
    {"Charge", kStatusCharge, true, form::kFillTransparent},
    {"Discharge", kStatusDischarge, true, form::kFillTransparent},
    {"No Action", kStatusNoAction, true, form::kFillTransparent},
    {"CRC Error", kStatusCrcError, true, form::kFillTransparent},
    {"Gate OK", kWhite, true, form::kFillTransparent},
    {"Cell OV", kWhite, true, form::kFillDownwardDiagonal},
    {"Stack OV", kWhite, true, form::kFillUpwardDiagonal},
    {"Temp Error", kStatusTempError, true, form::kFillTransparent},
}};

// Two legend columns of four entries: what the command read back shows, what the status shows.
constexpr int kLegendRows = 4;
constexpr std::array<int, 2> kLegendLeft{180, 3240};
constexpr int kLegendTop = 600;
constexpr int kLegendPitch = 285;
constexpr int kSampleWidth = 480;
constexpr int kSampleHeight = 225;

void layoutLegend(form::Form& f, StatusControls& s) {
  Control& frame = f.add(s.Frame8, ControlKind::Frame).place(kStatusMargin, 420, 6360, 1860);
  frame.setCaption("LEGEND");
  const std::array<const char*, 2> heads{"Readback Command", "Readback Status"};
  for (int col = 0; col < 2; ++col) {
    f.add(s.LegendHead, col, ControlKind::Label, &frame)
        .place(kLegendLeft[static_cast<std::size_t>(col)], 270, 2880, 255)
        .setCaption(heads[static_cast<std::size_t>(col)]);
  }
  for (int i = 0; i < kLegendEntries; ++i) {
    const Sample& sample = kSamples[static_cast<std::size_t>(i)];
    const int left = kLegendLeft[static_cast<std::size_t>(i / kLegendRows)];
    const int top = kLegendTop + kLegendPitch * (i % kLegendRows);
    Control& shape = f.add(s.Shape9, i, ControlKind::Shape, &frame)
                         .place(left, top, kSampleWidth, kSampleHeight);
    shape.backColor = sample.back;
    shape.opaque = sample.opaque;
    shape.fillStyle = sample.fillStyle;
    shape.fillColor = kStatusMarkLines;
    shape.borderColor = kBlack;
    f.add(s.Label11, i, ControlKind::Label, &frame)
        .place(left + kSampleWidth + 120, top - 15, 2280, 255)
        .setCaption(sample.caption);
    if (i == kLegendGateOk) {
      // The gate mark as it stands on a cell field.
      Control& gate = f.add(s.LegendGate, ControlKind::Label, &frame)
                          .place(left, top - 15, kSampleWidth, kSampleHeight + 15);
      gate.setCaption("+");
      gate.alignment = 2;
      gate.fontBold = true;
    }
  }
}

void layoutRows(form::Form& f, StatusControls& s) {
  // Shapes first: the gate marks lie over the cell fields.
  for (int row = 0; row < kStatusRows; ++row) {
    const int top = statusRowTop(row);
    for (int cell = 0; cell < kStatusCells; ++cell) {
      Control& field = f.add(s.Shape1, kStatusCells * row + cell, ControlKind::Shape)
                           .place(statusCellLeft(cell), top, kStatusCellWidth, kStatusRowHeight);
      field.backColor = kWhite;
      field.opaque = true;
      field.borderColor = kBlack;
      field.visible = false;
    }
    Control& temp = f.add(s.TempMark, row, ControlKind::Shape)
                        .place(kStatusMarkLeft, top, kStatusMarkWidth, kStatusRowHeight);
    temp.backColor = kStatusTempError;
    temp.borderColor = kBlack;
    temp.visible = false;
    Control& mark = f.add(s.ChipMark, row, ControlKind::Shape)
                        .place(kStatusMarkLeft, top, kStatusMarkWidth, kStatusRowHeight);
    mark.fillColor = kStatusMarkLines;
    mark.borderWidth = 0;
    mark.visible = false;
  }
  for (int row = 0; row < kStatusRows; ++row) {
    const int top = statusRowTop(row);
    Control& number = f.add(s.Label12, row + 1, ControlKind::Label)
                          .place(kStatusMargin, top + 30, kStatusNumberWidth, 255);
    number.setCaption(std::to_string(row + 1));
    number.alignment = 2;
    number.visible = false;
    for (int cell = 0; cell < kStatusCells; ++cell) {
      Control& gate = f.add(s.Label2, kStatusCells * row + cell, ControlKind::Label)
                          .place(statusCellLeft(cell), top + 15, kStatusCellWidth, 270);
      gate.alignment = 2;
      gate.fontBold = true;
      gate.visible = false;
    }
  }
}

}  // namespace

void layoutStatusWindow(form::Form& f, StatusControls& s) {
  f.width = kStatusBaseWidth;
  f.height = 5160;
  Control& note =
      f.add(s.Label11, kStatusNote, ControlKind::Label).place(kStatusMargin, 90, 6360, 255);
  note.setCaption("CONTINUOUS READ NOT ENABLED Data is as current as of last read");
  layoutLegend(f, s);

  f.add(s.Label12, 0, ControlKind::Label)
      .place(kStatusMargin, kStatusRowTop - 300, kStatusNumberWidth, 255)
      .setCaption(" IC #");
  // One caption over the six columns, sized so that its words stand over them.
  Control& header =
      f.add(s.Label9, ControlKind::Label)
          .place(kStatusCellLeft, kStatusRowTop - 330, kStatusCells * kStatusCellPitch + 420, 285);
  header.setCaption("CELL 12 CELL 11 CELL 10 CELL 9 CELL 8 CELL 7 ");
  header.fontSize = 9.75;
  layoutRows(f, s);

  // The raw bytes; Display5520Status places them below the rows shown.
  const std::array<const char*, 2> heads{"Readback Command", "Readback Status"};
  for (int i = 0; i < 2; ++i) {
    f.add(s.BytesHead, i, ControlKind::Label)
        .place(kStatusMargin, 0, 3000, kStatusHeadHeight)
        .setCaption(heads[static_cast<std::size_t>(i)]);
    f.add(s.Label3, i, ControlKind::Label)
        .place(kStatusMargin, 0, kStatusBaseWidth - 2 * kStatusMargin, kStatusTextLine);
  }
}

}  // namespace kb::ui
