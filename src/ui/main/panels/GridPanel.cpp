#include "ui/main/panels/GridPanel.h"

#include "ui/main/panels/BoardPanel.h"
#include "ui/main/panels/CellPanel.h"
#include "views/StatusCodes.h"

namespace kb::ui {

using form::Control;
using form::ControlKind;

namespace {

// Legend: two columns of four rows, read top to bottom, left column first.
constexpr int kLegendRowsPerColumn = 4;
constexpr int kLegendColumnLeft = 60;
constexpr int kLegendColumnPitch = 3090;
constexpr int kLegendFirstRow = 225;
constexpr int kLegendRowPitch = 225;
constexpr int kLegendRowHeight = 195;
constexpr double kLegendFont = 6.75;
// Inside a legend row, from its left.
constexpr int kSummarySampleWidth = 210;
constexpr int kSummarySampleHeight = 120;
constexpr int kPanelSampleLeft = 255;
constexpr int kPanelSampleWidth = 150;
constexpr int kPanelMarkInset = 30;
constexpr int kTagLeft = 450;
constexpr int kTagWidth = 1110;
constexpr int kDescriptionLeft = 1590;
constexpr int kDescriptionWidth = 1440;

Control& solidShape(Control& s, std::int32_t fill, std::int32_t border) {
  s.fillStyle = form::kFillSolid;
  s.fillColor = fill;
  s.borderColor = border;
  return s;
}

void layoutCellMarks(form::Form& f, GridPanelControls& c, const form::Array& cellPanels) {
  const views::StatusLook& nr = views::kStatusLooks[views::kStatusNoReading];
  for (int i = 0; i < kCellPanels; ++i) {
    const Control& panel = cellPanels[i];
    solidShape(f.add(c.Shape4, i, ControlKind::Shape, &panel)
                   .place(kCellBackgroundLeft, kCellBackgroundTop, kCellBackgroundWidth,
                          kCellBackgroundHeight),
               nr.background, kBlack);
    solidShape(f.add(c.Shape2, i, ControlKind::Shape, &panel)
                   .place(kCellMarkLeft, nr.markTop, kCellMarkWidth, nr.markHeight),
               nr.colour, kBlack);
  }
}

void layoutLegend(form::Form& f, GridPanelControls& c, const Control& page) {
  Control& frame = f.add(c.Frame8, ControlKind::Frame, &page)
                       .place(kLegendLeft, kLegendTop, kLegendWidth, kLegendHeight);
  frame.setCaption("LEGEND");
  // The panel sample is the cell panel's mark area (360..855) at a third of its size.
  constexpr int kPanelRange = 495;
  constexpr int kScale = 3;
  for (int r = 0; r < views::kStatusCodes; ++r) {
    const views::StatusLook& look = views::kStatusLooks[static_cast<std::size_t>(
        views::kLegendOrder[static_cast<std::size_t>(r)])];
    const int left = kLegendColumnLeft + kLegendColumnPitch * (r / kLegendRowsPerColumn);
    const int top = kLegendFirstRow + kLegendRowPitch * (r % kLegendRowsPerColumn);

    solidShape(f.add(c.Shape9, r, ControlKind::Shape, &frame)
                   .place(left, top + (kLegendRowHeight - kSummarySampleHeight) / 2,
                          kSummarySampleWidth, kSummarySampleHeight),
               look.colour, kLightGrey);
    const int sampleHeight = kPanelRange / kScale;
    const int sampleTop = top + (kLegendRowHeight - sampleHeight) / 2;
    solidShape(f.add(c.Shape11, r, ControlKind::Shape, &frame)
                   .place(left + kPanelSampleLeft, sampleTop, kPanelSampleWidth, sampleHeight),
               look.background, kBlack);
    const int markHeight = look.markHeight / kScale;
    solidShape(
        f.add(c.Shape10, r, ControlKind::Shape, &frame)
            .place(left + kPanelSampleLeft + kPanelMarkInset, sampleTop + sampleHeight - markHeight,
                   kPanelSampleWidth - 2 * kPanelMarkInset, markHeight),
        look.colour, kBlack);

    // Tags on black, so that the light colours (" CLEAR" is white) can be read.
    Control& tag = f.add(c.Label10, r, ControlKind::Label, &frame)
                       .place(left + kTagLeft, top, kTagWidth, kLegendRowHeight);
    tag.setCaption(look.tag);
    tag.foreColor = look.tagColour;
    tag.backColor = kBlack;
    tag.opaque = true;
    tag.fontSize = kLegendFont;
    tag.fontBold = true;
    Control& text = f.add(c.Label11, r, ControlKind::Label, &frame)
                        .place(left + kDescriptionLeft, top, kDescriptionWidth, kLegendRowHeight);
    text.setCaption(look.description);
    text.fontSize = kLegendFont;
  }
}

}  // namespace

void layoutGridPanel(form::Form& f, GridPanelControls& c, const Control& page,
                     const form::Array& cellPanels) {
  layoutCellMarks(f, c, cellPanels);
  f.add(c.Image1, ControlKind::Image, &page)
      .place(kSummaryLeft, kBoardMarkerTop, kSummaryPitch, kBoardMarkerHeight);
  layoutLegend(f, c, page);
}

}  // namespace kb::ui
