#pragma once
// The status window's controls: the legend, the note on how current the data is, one row per
// balancer chip (number, six cell fields with their gate marks, the chip mark) and the raw bytes
// read back from every chip.
#include "ui/form/Form.h"

namespace kb::ui {

inline constexpr const char* kStatusCaption = "QXB5520-1 STATUS GUI";

// Rows: chips 0..29 (fifteen boards of two chips); the stack shows ChipCount of them.
inline constexpr int kStatusRows = 30;
inline constexpr int kStatusCells = 6;

// Width of the window for a stack whose last board index is p: 6600 + 475 x p twips.
inline constexpr int kStatusBaseWidth = 6600;
inline constexpr int kStatusWidthPerBoard = 475;

// Row geometry, twips. Columns from the left: the chip number, the cells 6..1 of the chip (the
// header reads "CELL 12" .. "CELL 7"), the chip mark over the temperature-error mark.
inline constexpr int kStatusMargin = 120;
inline constexpr int kStatusRowTop = 2640;
inline constexpr int kStatusRowPitch = 360;
inline constexpr int kStatusRowHeight = 300;
inline constexpr int kStatusNumberWidth = 540;
inline constexpr int kStatusCellLeft = 720;
inline constexpr int kStatusCellPitch = 780;
inline constexpr int kStatusCellWidth = 720;
inline constexpr int kStatusMarkLeft = kStatusCellLeft + kStatusCells * kStatusCellPitch + 60;
inline constexpr int kStatusMarkWidth = 420;
// The raw bytes below the rows: a heading line, then the bytes, wrapped in lines of this height.
inline constexpr int kStatusTextLine = 210;
inline constexpr int kStatusHeadHeight = 255;
// Width one chip's " | 00 | 0F | " takes, with room to spare, for the wrap estimate.
inline constexpr int kStatusBytesPerChipWidth = 840;

// Colours of the cell fields by the action read back, and of the chip marks.
inline constexpr std::int32_t kStatusNoAction = kWhite;
inline constexpr std::int32_t kStatusCode01 = rgb(128, 255, 255);
inline constexpr std::int32_t kStatusDischarge = rgb(128, 128, 255);
inline constexpr std::int32_t kStatusCharge = rgb(128, 255, 128);
inline constexpr std::int32_t kStatusCrcError = rgb(192, 192, 192);
inline constexpr std::int32_t kStatusMarkLines = rgb(0, 192, 0);
inline constexpr std::int32_t kStatusTempError = kRed;

// Legend entries, in the order of their samples Shape9 and captions Label11.
enum LegendEntry {
  kLegendCharge,
  kLegendDischarge,
  kLegendNoAction,
  kLegendCrcError,
  kLegendGateOk,
  kLegendCellOv,
  kLegendStackOv,
  kLegendTempError,
  kLegendEntries
};
// Label11 entry of the note "CONTINUOUS READ NOT ENABLED ..."
inline constexpr int kStatusNote = kLegendEntries;

struct StatusControls final : virtual form::HandleSet {
  KB_ONE(Frame8);        // "LEGEND"
  KB_ARRAY(Shape9);      // legend samples
  KB_ARRAY(Label11);     // legend captions 0..7, the note 8
  KB_ARRAY(LegendHead);  // "Readback Command", "Readback Status" over the legend columns
  KB_ONE(LegendGate);    // the gate mark on the "Gate OK" sample
  KB_ARRAY(Label12);     // 0 " IC #", r + 1 the chip number of row r
  KB_ONE(Label9);        // cell column header
  KB_ARRAY(Shape1);      // cell field of chip k, cell c at 6k + c
  KB_ARRAY(Label2);      // gate mark over the same field
  KB_ARRAY(TempMark);    // temperature-error mark of chip r, beneath its chip mark
  KB_ARRAY(ChipMark);    // over-voltage / balancing pattern of chip r
  KB_ARRAY(BytesHead);   // "Readback Command", "Readback Status" over the raw bytes
  KB_ARRAY(Label3);      // raw bytes: 0 command words read back, 1 status words
};

void layoutStatusWindow(form::Form& f, StatusControls& s);

// Geometry of a row's controls: the cell field of cell c (0..5) and the row's top.
inline constexpr int statusRowTop(int row) {
  return kStatusRowTop + kStatusRowPitch * row;
}
inline constexpr int statusCellLeft(int cell) {
  return kStatusCellLeft + kStatusCellPitch * (kStatusCells - 1 - cell);
}

}  // namespace kb::ui
