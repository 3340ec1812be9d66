// PEC computation, frame building and the parsing of a read reply.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "monitor/Commands.h"
#include "monitor/Pec.h"
#include "monitor/ReadTransfer.h"

namespace {

void BM_PecTableBuild(benchmark::State& state) {
  for (auto _ : state) {
    kb::monitor::PecTable table;
    benchmark::DoNotOptimize(table[0x41]);
  }
}
BENCHMARK(BM_PecTableBuild);

void BM_DataPecCellBlock(benchmark::State& state) {
  std::vector<std::uint8_t> data(18);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 37);
  const auto& table = kb::monitor::pecTable();
  for (auto _ : state) benchmark::DoNotOptimize(table.CalcDataPec(data));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 18);
}
BENCHMARK(BM_DataPecCellBlock);

void BM_WriteConfigFrame(benchmark::State& state) {
  const std::vector<std::uint8_t> config{0xE1, 0x00, 0x00, 0x00, 0x9C, 0xCF};
  for (auto _ : state) benchmark::DoNotOptimize(kb::monitor::writeFrame("81", false, "01", config));
}
BENCHMARK(BM_WriteConfigFrame);

void BM_ReadCellsFrame(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(kb::monitor::readFrame("MSxT", "80", "04", 18));
}
BENCHMARK(BM_ReadCellsFrame);

void BM_ParseCellReply(benchmark::State& state) {
  std::string reply = "FFFFFFFF" + std::string(38, 'A');
  reply.resize(512, ' ');
  for (auto _ : state) benchmark::DoNotOptimize(kb::monitor::parseReadReply(reply, 18));
}
BENCHMARK(BM_ParseCellReply);

}  // namespace
