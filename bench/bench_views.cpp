// Board views: a board selection with its whole refresh (no transaction), also with one cell
// selected by broadcast (its colouring touches every row), and the drawing of every summary row
// of ten boards with the cell panels.
#include <benchmark/benchmark.h>

#include <string>

#include "common/Clock.h"
#include "link/ControllerLink.h"
#include "sim/SimStack.h"
#include "startup/BoardControls.h"
#include "ui/main/MainWindow.h"
#include "views/CellGrid.h"

namespace {

struct QuietDialogs final : kb::form::Dialogs {
  void msgBox(const std::string&, const std::string&) override {}
};

kb::sim::SimOptions tenBoards() {
  kb::sim::SimOptions o;
  o.boards = 10;
  return o;
}

struct TenBoards {
  TenBoards() {
    if (window.load()) window.form().operatorSelect(*window.context().c.Combo1, 9);
  }
  kb::ManualClock clock;
  kb::sim::SimStack stack{tenBoards(), clock};
  kb::link::ControllerLink link{stack};
  QuietDialogs dialogs;
  kb::ui::MainWindow window{kb::ui::Services{link, clock, dialogs, nullptr}};
};

void BM_SelectBoard(benchmark::State& state) {
  TenBoards t;
  int board = 0;
  for (auto _ : state) {
    kb::startup::Command4_Click(t.window.context(), board);
    board = (board + 1) % 10;
  }
}
BENCHMARK(BM_SelectBoard);

void BM_SelectBoardOneCellSelected(benchmark::State& state) {
  TenBoards t;
  auto& c = t.window.context().c;
  t.window.form().operatorClick(c.Check5[2]);
  t.window.form().operatorClick(c.Check6[4]);
  int board = 0;
  for (auto _ : state) {
    kb::startup::Command4_Click(t.window.context(), board);
    board = (board + 1) % 10;
  }
}
BENCHMARK(BM_SelectBoardOneCellSelected);

void BM_DrawAllCellStatus(benchmark::State& state) {
  TenBoards t;
  for (auto _ : state) kb::views::drawAllCellStatus(t.window.context());
}
BENCHMARK(BM_DrawAllCellStatus);

}  // namespace
