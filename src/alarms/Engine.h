#pragma once
// Raises and clears alarms from what the program reads, once when a condition starts and once
// when it ends:
//  - a cell above the VOV or below the VUV last written to its chip (CFGR5, CFGR4), judged from
//    intact cell reads that measured the cell (self-test patterns are not measurements); a limit
//    code of 0 is off, and masked cells and cells 11, 12 in ten-cell mode are not watched, as on
//    the chip;
//  - a board's thermal-shutdown bit, from intact temperature reads;
//  - a board whose monitor reads fail their PEC several times in a row (kDefaultFailuresInARow),
//    cleared by its next intact read; a balancer chip whose words fail their CRC-4 likewise;
//  - the controller not answering, from the link's health.
#include <array>
#include <cstdint>

#include "alarms/Book.h"
#include "common/Boards.h"
#include "context/Readings.h"

namespace kb::alarms {

// Reads in a row that failed their check before a board (or balancer chip) counts as not
// answering.
inline constexpr int kDefaultFailuresInARow = 5;

class Engine {
 public:
  explicit Engine(Book& book, int failuresInARow = kDefaultFailuresInARow)
      : book_(book), failuresInARow_(failuresInARow < 1 ? 1 : failuresInARow) {}
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  void onReading(const readings::Reading& reading);
  // The link's health changed: the controller answers again, or has stopped answering.
  void setControllerAnswering(bool answering, std::int64_t nowMicros);

  int failuresInARow() const { return failuresInARow_; }

 private:
  static constexpr int kCells = 12;
  struct Limits {
    int vuv = 0;  // codes as written; 0: off
    int vov = 0;
    unsigned mask = 0;  // bit c - 1: cell c masked
  };
  struct BoardWatch {
    Limits limits;
    std::array<int, kCells> over{};  // ids of active alarms; 0: none
    std::array<int, kCells> under{};
    int thermal = 0;
    int pecFailures = 0;
    int pecAlarm = 0;
  };
  struct ChipWatch {
    int failures = 0;
    int alarm = 0;
  };

  void configWritten(const readings::Reading& reading);
  void cellsRead(const readings::Reading& reading);
  void thermalRead(const readings::Reading& reading);
  void checkCounted(const readings::Reading& reading);
  void balancerChecked(const readings::Reading& reading);
  // Raises make() when on and none is active, clears when off and one is; id holds the active
  // alarm. The alarm (and its text) is made only when it is raised.
  template <class Make>
  void follow(int& id, bool on, std::int64_t nowMicros, Make make);

  Book& book_;
  int failuresInARow_;
  std::array<BoardWatch, kMaxBoards> boards_{};
  std::array<ChipWatch, 2 * kMaxBoards> chips_{};
  int controller_ = 0;
};

}  // namespace kb::alarms
