#pragma once
// Self-test state of the main window: whether a test conversion awaits its comparison, and
// whether the cell and temperature boxes show codes in hexadecimal instead of volts.
#include <array>

namespace kb::monitor {

struct SelfTestState {
  // A cell (temperature) test conversion was started and its result not yet compared.
  bool CellSelfTestStarted = false;
  bool TempSelfTestStarted = false;
  // 1: the read-backs show their codes in hexadecimal. Set by the self tests, cleared by the
  // normal conversion starts and by the continuous cycle.
  int cellHexFlag = 0;
  int tempHexFlag = 0;
  // The last comparison found the box (Text1 by cell, Text6 by row) off the pattern: it shows red.
  std::array<bool, 12> cellMismatch{};
  std::array<bool, 3> tempMismatch{};
};

}  // namespace kb::monitor
