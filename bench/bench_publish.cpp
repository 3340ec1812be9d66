// A tick of the continuous read over three boards while publishing: not publishing (0), to a
// broker that is not there (1, the client retrying), to a live broker on 127.0.0.1 (2). The
// program's thread only formats and queues; "max_us" is the slowest tick seen.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <sstream>

#include "MqttRig.h"
#include "app/core/ScriptRunner.h"
#include "app/core/Session.h"

namespace {

void BM_ContinuousReadTickPublishing(benchmark::State& state) {
  const int mode = static_cast<int>(state.range(0));
  std::unique_ptr<kb::test::Broker> broker;
  if (mode == 2) broker = std::make_unique<kb::test::Broker>();
  kb::ManualClock clock;
  std::ostringstream out;
  kb::app::PrintingDialogs dialogs(out);
  kb::app::Options options;
  options.device = "sim:boards=3";
  kb::app::Session session(options, clock, dialogs);
  if (!session.window().load()) state.SkipWithError("start-up failed");
  if (mode > 0) {
    kb::telemetry::PublishSettings s;
    s.host = "127.0.0.1";
    s.port = broker ? broker->port() : kb::test::freePort();
    s.prefix = "bench";
    std::string error;
    if (!session.startPublishing(s, error)) state.SkipWithError(error.c_str());
  }
  auto& c = session.window().context().c;
  auto& f = session.window().form();
  f.operatorSelect(*c.Combo1, 2);
  f.operatorClick(c.Command0[1]);
  f.operatorClick(c.Command1[5]);
  f.operatorClick(c.Command1[10]);
  double slowest = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    clock.advance(0.1);
    session.window().tick();
    slowest = std::max(
        slowest,
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
  }
  state.counters["max_us"] = slowest;
  if (const auto* p = session.publisher())
    state.counters["dropped"] = static_cast<double>(p->dropped());
}
BENCHMARK(BM_ContinuousReadTickPublishing)->Arg(0)->Arg(1)->Arg(2);

}  // namespace
