#include "monitor/PecJudge.h"

#include "common/Colors.h"

namespace kb::monitor {

const char* mnemonic(ReadKind kind) {
  switch (kind) {
    case ReadKind::RDCFG:
      return "RDCFG";
    case ReadKind::RDCV:
      return "RDCV";
    case ReadKind::RDFLG:
      return "RDFLG";
    case ReadKind::RDTMP:
      return "RDTMP";
  }
  return "";
}

const char* errorPrefix(ReadKind kind) {
  switch (kind) {
    case ReadKind::RDCFG:
      return "PEC_RDCFG ERROR! ";
    case ReadKind::RDCV:
      return "PEC_RDCV ERROR! ";
    case ReadKind::RDFLG:
      return "PEC_RDFLG ERROR! ";
    case ReadKind::RDTMP:
      return "PEC_RDTMP ERROR! ";
  }
  return "";
}

std::string MonitorReadState::latestError(int board) const {
  if (board < 0 || board >= kBoardSlots) return {};
  const ReadRecord* latest = nullptr;
  for (const ReadRecord& rec : records[static_cast<std::size_t>(board)]) {
    if (!rec.errorText.empty() && (latest == nullptr || rec.errorOrder > latest->errorOrder)) {
      latest = &rec;
    }
  }
  return latest == nullptr ? std::string() : latest->errorText;
}

JudgeResult JudgePec(MonitorReadState& state, int board, const std::string& receivedPec,
                     const std::string& calculatedPec, ReadKind kind, bool pecMatchOnly) {
  JudgeResult result;
  if (board < 0 || board >= kBoardSlots) return result;
  ReadRecord& rec = state.records[static_cast<std::size_t>(board)][static_cast<std::size_t>(kind)];
  int& pec = state.pecState[static_cast<std::size_t>(board)];
  result.match = receivedPec == calculatedPec;
  if (result.match) {
    result.recorded = true;
    rec.errorText.clear();
    pec = kPecMatch;
    if (kind != ReadKind::RDCFG && state.measureMode[static_cast<std::size_t>(board)] == 0) {
      pec = kPecNoData;
    }
  } else if (!pecMatchOnly) {
    result.recorded = true;
    pec = kPecMismatch;
    rec.errorText = std::string(errorPrefix(kind)) + "0x" + receivedPec + " != 0x" + calculatedPec;
    rec.errorOrder = ++state.errorsSeen;
  }
  if (result.recorded && state.thermalShutdown[static_cast<std::size_t>(board)] != 0) {
    pec = kPecThermal;
  }
  return result;
}

std::int32_t pecStateColour(int state) {
  switch (state) {
    case kPecMatch:
      return kGreen;
    case kPecMismatch:
      return kRed;
    case kPecThermal:
      return kOrange;
    default:
      return kWhite;
  }
}

}  // namespace kb::monitor
