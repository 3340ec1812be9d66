#include "alarms/Engine.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace kb::alarms {

namespace {

constexpr double kCodeVolts = 0.0015;
constexpr double kLimitStep = 0.024;

std::string boardName(int board) {
  return "Board " + std::to_string(board + 1);
}

std::string fourDecimals(double volts) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4f", volts);
  return text;
}

// Volts to 0.1 mV, as the texts show them: codes step by 1.5 mV and limits by 24 mV, so the
// rounded number is the value itself.
double tenthMillivolts(double volts) {
  return std::round(volts * 10000.0) / 10000.0;
}

bool validBoard(int board) {
  return board >= 0 && board < kMaxBoards;
}

}  // namespace

void Engine::onReading(const readings::Reading& r) {
  using readings::Kind;
  switch (r.kind) {
    case Kind::ConfigWrite:
      configWritten(r);
      return;
    case Kind::Cells:
      checkCounted(r);
      cellsRead(r);
      return;
    case Kind::Temperatures:
      checkCounted(r);
      thermalRead(r);
      return;
    case Kind::Flags:
    case Kind::ConfigRead:
      checkCounted(r);
      return;
    case Kind::BalancerWords:
    case Kind::BalancerStatus:
      balancerChecked(r);
      return;
    case Kind::BalancerCommand:
    case Kind::BalanceRun:
      return;
  }
}

template <class Make>
void Engine::follow(int& id, bool on, std::int64_t nowMicros, Make make) {
  if (on && id == 0) {
    id = book_.raise(make(), nowMicros);
  } else if (!on && id != 0) {
    book_.clear(id, nowMicros);
    id = 0;
  }
}

void Engine::configWritten(const readings::Reading& r) {
  if (r.bytes.size() < 6) return;
  Limits limits;
  limits.vuv = r.bytes[4];
  limits.vov = r.bytes[5];
  limits.mask = ((r.bytes[2] >> 4) & 0x0Fu) | (static_cast<unsigned>(r.bytes[3]) << 4);
  if (r.board < 0) {
    for (BoardWatch& b : boards_) b.limits = limits;
  } else if (validBoard(r.board)) {
    boards_[static_cast<std::size_t>(r.board)].limits = limits;
  }
}

void Engine::cellsRead(const readings::Reading& r) {
  // Only an intact read of measured cells says anything about the cells.
  if (!validBoard(r.board) || r.check != readings::Check::Match ||
      r.origin == readings::Origin::SelfTest) {
    return;
  }
  BoardWatch& b = boards_[static_cast<std::size_t>(r.board)];
  const Limits& l = b.limits;
  const double vovVolts = tenthMillivolts((l.vov - 32) * kLimitStep);
  const double vuvVolts = tenthMillivolts((l.vuv - 31) * kLimitStep);
  for (int c = 0; c < kCells; ++c) {
    const auto i = static_cast<std::size_t>(c);
    const bool watched = i < r.codes.size() && ((l.mask >> c) & 1u) == 0;
    const int code = watched ? r.codes[i] : 0;
    const auto make = [&](Kind kind, double limit, const char* words) {
      const double volts = tenthMillivolts((code - 512) * kCodeVolts);
      Alarm a;
      a.kind = kind;
      a.board = r.board;
      a.channel = c + 1;
      a.limit = limit;
      a.value = volts;
      a.text = boardName(r.board) + " cell " + std::to_string(c + 1) + words + fourDecimals(volts) +
               (kind == Kind::OverVoltage ? " V > VOV " : " V < VUV ") + fourDecimals(limit) + " V";
      return a;
    };
    // The chip's own comparison: over when code > 16 x VOV, under when code < 16 x (VUV + 1).
    follow(b.over[i], watched && l.vov != 0 && code > 16 * l.vov, r.timeMicros,
           [&] { return make(Kind::OverVoltage, vovVolts, " over-voltage: "); });
    follow(b.under[i], watched && l.vuv != 0 && code < 16 * (l.vuv + 1), r.timeMicros,
           [&] { return make(Kind::UnderVoltage, vuvVolts, " under-voltage: "); });
  }
}

void Engine::thermalRead(const readings::Reading& r) {
  // The bit counts only from an intact reply, as the program's own thermal check takes it.
  if (!validBoard(r.board) || r.thermal < 0) return;
  follow(boards_[static_cast<std::size_t>(r.board)].thermal, r.thermal == 1, r.timeMicros, [&] {
    Alarm a;
    a.kind = Kind::Thermal;
    a.board = r.board;
    a.limit = 1;
    a.value = r.thermal;
    a.text = boardName(r.board) + " thermal shutdown";
    return a;
  });
}

void Engine::checkCounted(const readings::Reading& r) {
  if (!validBoard(r.board) || r.check == readings::Check::None) return;
  BoardWatch& b = boards_[static_cast<std::size_t>(r.board)];
  b.pecFailures = r.check == readings::Check::Mismatch ? b.pecFailures + 1 : 0;
  if (b.pecFailures == 0 || b.pecFailures >= failuresInARow_) {
    follow(b.pecAlarm, b.pecFailures > 0, r.timeMicros, [&] {
      Alarm a;
      a.kind = Kind::PecFailures;
      a.board = r.board;
      a.limit = failuresInARow_;
      a.value = b.pecFailures;
      a.text = boardName(r.board) + " not answering: " + std::to_string(b.pecFailures) +
               " reads failed their PEC in a row";
      return a;
    });
  }
}

void Engine::balancerChecked(const readings::Reading& r) {
  for (const readings::ChipWord& w : r.words) {
    if (w.chip < 0 || w.chip >= 2 * kMaxBoards || (w.result != "OK" && w.result != "ERROR")) {
      continue;
    }
    ChipWatch& chip = chips_[static_cast<std::size_t>(w.chip)];
    chip.failures = w.result == "ERROR" ? chip.failures + 1 : 0;
    if (chip.failures == 0 || chip.failures >= failuresInARow_) {
      follow(chip.alarm, chip.failures > 0, r.timeMicros, [&] {
        Alarm a;
        a.kind = Kind::BalancerFault;
        a.board = w.chip / 2;
        a.channel = w.chip;
        a.limit = failuresInARow_;
        a.value = chip.failures;
        a.text = boardName(a.board) + (w.chip % 2 == 0 ? " bottom" : " top") + " balancer (IC #" +
                 std::to_string(w.chip + 1) + ") not answering: " + std::to_string(chip.failures) +
                 " reads failed their CRC in a row";
        return a;
      });
    }
  }
}

void Engine::setControllerAnswering(bool answering, std::int64_t nowMicros) {
  follow(controller_, !answering, nowMicros, [] {
    Alarm a;
    a.kind = Kind::NotAnswering;
    a.text = "Controller not answering";
    return a;
  });
}

}  // namespace kb::alarms
