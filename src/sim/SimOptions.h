#pragma once
// Options of the simulated stack, as given in "--device sim:OPTION,OPTION,...".
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kb::sim {

struct CellStart {
  int board = 1;  // 1..10
  int cell = 1;   // 1..12
  double volts = 3.6;
};

struct ThermalFault {
  int board = 1;                       // 1..10
  std::optional<double> recoverAfter;  // seconds of simulated time; none: stays in shutdown
};

struct OpenWire {
  int board = 1;  // 1..10
  int cell = 1;   // 1..12
};

// A broken result bit on one cell: its self-test result is one off the pattern.
struct SelfTestFault {
  int board = 1;  // 1..10
  int cell = 1;   // 1..12
};

// The controller pulled out at `from` seconds of simulated time and, with `until`, plugged in
// again then.
struct Unplug {
  double from = 0.0;
  std::optional<double> until;
};

struct SimOptions {
  int boards = 1;  // 1..10
  std::uint32_t seed = 1;
  std::string identity = "QXM7140-2 KB771U USB-SPI (simulated)";
  std::vector<CellStart> cells;
  double pecFaultRate = 0.0;  // 0.0..1.0
  std::vector<int> missingBoards;
  std::vector<ThermalFault> thermal;
  std::vector<OpenWire> openWires;
  std::vector<SelfTestFault> selfTestFaults;
  std::vector<int> withoutTopChip;       // boards (1..10) whose top balancer chip is not fitted
  std::vector<int> balancerCrcFaults;    // boards (1..10) whose balancer replies are corrupted
  std::vector<int> balancerShortFaults;  // boards (1..10) whose balancer replies are cut short
  bool unplugged = false;
  std::vector<Unplug> unplugs;
  // Each transaction call also takes its modelled cost in wall-clock time.
  bool realtime = false;
};

// Parses the text after "sim:" (may be empty). On a malformed option returns false and sets
// error to a one-line message naming the option.
bool parseSimOptions(std::string_view text, SimOptions& out, std::string& error);

// One line per option form, for --help.
std::string simOptionsHelp();

}  // namespace kb::sim
