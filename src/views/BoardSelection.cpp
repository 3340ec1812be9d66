#include "views/BoardSelection.h"

#include "context/Context.h"
#include "monitor/Measurements.h"

namespace kb::views {

namespace {

bool needsReading(const ui::Context& ctx, startup::Reminder r) {
  const int b = ctx.boards.CurrentBoard;
  return ctx.startup.reminders.needsReading[static_cast<std::size_t>(r)].at(
             static_cast<std::size_t>(b)) == 1;
}

}  // namespace

void moveBoardMarker(ui::Context& ctx, int board) {
  ctx.c.Image1->left = ui::kSummaryLeft + ui::kSummaryPitch * board;
}

void highlightBoard(ui::Context& ctx) {
  auto& c = ctx.c;
  for (int b = 0; b < kMaxBoards; ++b) {
    const bool selected = b == ctx.boards.CurrentBoard;
    form::Control& button = c.Command4[b];
    button.top =
        ui::boardColumnY(selected ? ui::selectedButtonTopUnits(b) : ui::boardButtonTopUnits(b));
    button.height =
        ui::boardColumnLength(selected ? ui::kSelectedButtonUnits : ui::kBoardButtonUnits);
    const std::int32_t border = selected ? kBlack : kLightGrey;
    const int width = selected ? 2 : 1;
    for (int cell = 0; cell < kCellsPerBoard; ++cell) {
      form::Control& s = c.Shape1[kCellsPerBoard * b + cell];
      s.borderColor = border;
      s.borderWidth = width;
    }
    c.Shape12[b].borderColor = border;
    c.Shape12[b].borderWidth = width;
  }
}

void showBoardCells(ui::Context& ctx) {
  monitor::ShowCellVoltages(ctx);
  const auto b = static_cast<std::size_t>(ctx.boards.CurrentBoard);
  if (ctx.views.CellDataValid.at(b) == 0 && needsReading(ctx, startup::Reminder::ReadCells)) {
    const char* reset =
        ctx.selfTest.cellHexFlag == 1 ? monitor::kHexResetText : monitor::kCellResetText;
    for (int c = 0; c < kCellsPerBoard; ++c) ctx.c.Text1[c].setText(reset);
  }
}

void showBoardTemperatures(ui::Context& ctx) {
  monitor::showTemperatures(ctx);
  if (needsReading(ctx, startup::Reminder::ReadTemp)) {
    const char* reset =
        ctx.selfTest.tempHexFlag == 1 ? monitor::kHexResetText : monitor::kTemperatureResetText;
    for (int k = 0; k < monitor::kTemperatures; ++k) ctx.c.Text6[k].setText(reset);
  }
}

}  // namespace kb::views
