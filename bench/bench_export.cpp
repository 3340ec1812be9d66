// The datalog export: filling the sheet model of ten boards, and saving it as a workbook.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include "continuous/Datalog.h"

namespace {

kb::startup::BoardSet tenBoards() {
  kb::startup::BoardSet boards;
  boards.setAddressDefaults();
  boards.LastBoardIndex = 9;
  return boards;
}

void BM_DatalogSheetFill(benchmark::State& state) {
  const kb::startup::BoardSet boards = tenBoards();
  const kb::continuous::DatalogState datalog;
  for (auto _ : state) {
    kb::sheet::Worksheet ws;
    kb::continuous::fillDatalogSheet(ws, boards, datalog, "/opt/kb4471/x_EXCELoutTEST.xls");
    benchmark::DoNotOptimize(ws.columnWidth(211));
  }
}
BENCHMARK(BM_DatalogSheetFill)->Unit(benchmark::kMicrosecond);

void BM_DatalogWorkbookSave(benchmark::State& state) {
  std::string pattern = (std::filesystem::temp_directory_path() / "kb-bench-XXXXXX").string();
  const std::filesystem::path dir = ::mkdtemp(pattern.data());
  const std::string path = (dir / "bench_EXCELoutTEST.xls").string();
  kb::sheet::Workbook book;
  kb::continuous::fillDatalogSheet(book.activeSheet(), tenBoards(), {}, path);
  for (auto _ : state) book.saveAs(path);
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_DatalogWorkbookSave)->Unit(benchmark::kMillisecond);

}  // namespace
