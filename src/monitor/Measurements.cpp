#include "monitor/Measurements.h"

#include <algorithm>
#include <cstdio>

#include "common/HexText.h"
#include "context/Context.h"
#include "monitor/MonitorCommands.h"
#include "monitor/ReadTransfer.h"
#include "monitor/TransferLog.h"

namespace kb::monitor {

namespace {

constexpr int kCellsTwelveMode = 12;
constexpr int kCellsTenMode = 10;
constexpr int kFlagBytes = 3;
constexpr int kTemperatureBytes = 5;

// Value of the hex digit at a 1-based character position; anything else counts as 0.
int nibbleAt(std::string_view reply, int pos) {
  return std::max(hexDigitValue(mid(reply, pos, 1)[0]), 0);
}

// A 12-bit code from three character positions, most significant digit first.
int codeAt(std::string_view reply, int hi, int mid_, int lo) {
  return (nibbleAt(reply, hi) << 8) | (nibbleAt(reply, mid_) << 4) | nibbleAt(reply, lo);
}

std::string fourDecimals(float volts) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.4f", static_cast<double>(volts));
  std::string s = buf;
  if (s == "-0.0000") s = "0.0000";
  return s;
}

bool validBoard(int board) {
  return board >= 0 && board < kMaxBoards;
}

// Text6 entry of each temperature row: ITMP, ETMP1, ETMP2.
constexpr std::array<int, 3> kTemperatureOfBox{kITMP, kETMP1, kETMP2};

void storeReply(ReadRecord& rec, const ReadReply& r) {
  rec.data = r.data;
  rec.receivedPec = r.receivedPec;
  rec.calculatedPec = r.calculatedPec;
}

readings::Check pecCheck(const ReadReply& r) {
  return r.match() ? readings::Check::Match : readings::Check::Mismatch;
}

void addCodes(readings::Reading& reading, const int* codes, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    reading.codes.push_back(codes[i]);
    reading.volts.push_back((codes[i] - 512) * 0.0015);
  }
}

}  // namespace

// ---- Decoding ---------------------------------------------------------------------------------

std::vector<int> decodeCellCodes(std::string_view reply, int cells) {
  std::vector<int> codes;
  codes.reserve(static_cast<std::size_t>(cells));
  for (int g = 0; 2 * g < cells; ++g) {
    const int p = 6 * g + 12;
    codes.push_back(codeAt(reply, p, p - 3, p - 2));
    if (2 * g + 1 < cells) codes.push_back(codeAt(reply, p + 1, p + 2, p - 1));
  }
  return codes;
}

TemperatureReading decodeTemperatures(std::string_view reply) {
  TemperatureReading t;
  t.code[kETMP1] = codeAt(reply, 12, 9, 10);
  t.code[kETMP2] = codeAt(reply, 13, 14, 11);
  t.code[kITMP] = codeAt(reply, 18, 15, 16);
  t.shutdown = nibbleAt(reply, 17) & 1;
  return t;
}

float codeToVolts(int code) {
  return static_cast<float>((code - 512) * 0.0015);
}

std::string codeText(int code) {
  const auto v = static_cast<unsigned>(code) & 0xFFFu;
  return {hexDigit(static_cast<int>(v >> 8)), hexDigit(static_cast<int>(v >> 4)),
          hexDigit(static_cast<int>(v))};
}

std::string cellVoltsText(float volts) {
  std::string s = fourDecimals(volts);
  if (s[0] != '-') s.insert(s.begin(), ' ');
  return s + "V  ";
}

std::string temperatureText(float volts) {
  return fourDecimals(volts) + "V  ";
}

std::string cellHexText(const std::string& code) {
  return "0x" + (code.empty() ? std::string("000") : code) + " ";
}

std::string temperatureHexText(const std::string& code) {
  return " " + cellHexText(code);
}

// ---- RDCV -------------------------------------------------------------------------------------

void ReadCellVoltages(ui::Context& ctx, int mode) {
  const int board = ctx.boardInUse();
  if (!validBoard(board)) return;
  const int cells = mode == 1 ? kCellsTenMode : kCellsTwelveMode;
  const ReadReply r =
      readTransfer(ctx.link(), "MSxT", ctx.boards.address(board), "04", cells * 3 / 2);
  storeReply(ctx.reads.record(board, ReadKind::RDCV), r);
  JudgePec(ctx.reads, board, r.receivedPec, r.calculatedPec, ReadKind::RDCV, ctx.pecMatchOnly());
  showPecIndicator(ctx, board);

  const std::vector<int> codes = decodeCellCodes(r.reply, cells);
  for (int c = 0; c < cells; ++c) {
    const auto slot = static_cast<std::size_t>(cellSlot(board, c + 1));
    ctx.measure.code[slot] = codeText(codes[static_cast<std::size_t>(c)]);
    ctx.measure.volts[slot] = codeToVolts(codes[static_cast<std::size_t>(c)]);
  }
  readings::Reading reading = ctx.reading(readings::Kind::Cells, board, "RDCV");
  if (ctx.selfTest.cellHexFlag == 1) reading.origin = readings::Origin::SelfTest;
  reading.check = pecCheck(r);
  addCodes(reading, codes.data(), codes.size());
  ctx.readings.publish(reading);
  ShowCellVoltages(ctx);
}

void ShowCellVoltages(ui::Context& ctx) {
  const int board = ctx.boards.CurrentBoard;
  if (!validBoard(board)) return;
  for (int c = 0; c < kCellsPerBoard; ++c) {
    const auto slot = static_cast<std::size_t>(cellSlot(board, c + 1));
    ctx.c.Text1[c].setText(ctx.selfTest.cellHexFlag == 1 ? cellHexText(ctx.measure.code[slot])
                                                         : cellVoltsText(ctx.measure.volts[slot]));
  }
}

// ---- RDFLG ------------------------------------------------------------------------------------

void ReadFlags(ui::Context& ctx) {
  const int board = ctx.boardInUse();
  if (!validBoard(board)) return;
  const ReadReply r = readTransfer(ctx.link(), "MSxT", ctx.boards.address(board), "0C", kFlagBytes);
  storeReply(ctx.reads.record(board, ReadKind::RDFLG), r);
  JudgePec(ctx.reads, board, r.receivedPec, r.calculatedPec, ReadKind::RDFLG, ctx.pecMatchOnly());
  showPecIndicator(ctx, board);
  readings::Reading reading = ctx.reading(readings::Kind::Flags, board, "RDFLG");
  reading.check = pecCheck(r);
  reading.bytes = r.data;
  ctx.readings.publish(reading);
  ShowFlags(ctx);
}

std::string flagText(const ui::Context& ctx, int board, int k) {
  if (!validBoard(board) || k < 0 || k >= kFlagBytes) return {};
  const ReadRecord& rec = ctx.reads.record(board, ReadKind::RDFLG);
  if (rec.data.size() != static_cast<std::size_t>(kFlagBytes)) return {};
  return hexByte(rec.data[static_cast<std::size_t>(k)]);
}

void ShowFlags(ui::Context& ctx) {
  for (int k = 0; k < kFlagBytes; ++k) {
    const std::string text = flagText(ctx, ctx.boards.CurrentBoard, k);
    ctx.c.Text_FLG[k].setText(text.empty() ? std::string() : "  " + text + "   ");
  }
}

// ---- RDTMP ------------------------------------------------------------------------------------

void ReadTemperatures(ui::Context& ctx) {
  const int board = ctx.boardInUse();
  if (!validBoard(board)) return;
  const ReadReply r =
      readTransfer(ctx.link(), "MSxT", ctx.boards.address(board), "0E", kTemperatureBytes);
  storeReply(ctx.reads.record(board, ReadKind::RDTMP), r);
  const TemperatureReading t = decodeTemperatures(r.reply);
  // The shutdown bit is believed only from an intact reply; the judgement then shows it.
  if (r.match()) ctx.reads.thermalShutdown[static_cast<std::size_t>(board)] = t.shutdown;
  JudgePec(ctx.reads, board, r.receivedPec, r.calculatedPec, ReadKind::RDTMP, ctx.pecMatchOnly());
  showPecIndicator(ctx, board);
  for (int k = 0; k < kTemperatures; ++k) {
    const auto slot = static_cast<std::size_t>(temperatureSlot(board, k));
    ctx.measure.code[slot] = codeText(t.code[static_cast<std::size_t>(k)]);
    ctx.measure.volts[slot] = codeToVolts(t.code[static_cast<std::size_t>(k)]);
  }
  readings::Reading reading = ctx.reading(readings::Kind::Temperatures, board, "RDTMP");
  if (ctx.selfTest.tempHexFlag == 1) reading.origin = readings::Origin::SelfTest;
  reading.check = pecCheck(r);
  addCodes(reading, t.code.data(), t.code.size());
  if (r.match()) reading.thermal = t.shutdown;
  ctx.readings.publish(reading);
}

void showTemperatures(ui::Context& ctx) {
  const int board = ctx.boards.CurrentBoard;
  if (!validBoard(board)) return;
  for (int box = 0; box < kTemperatures; ++box) {
    const auto slot = static_cast<std::size_t>(
        temperatureSlot(board, kTemperatureOfBox[static_cast<std::size_t>(box)]));
    ctx.c.Text6[box].setText(ctx.selfTest.tempHexFlag == 1
                                 ? temperatureHexText(ctx.measure.code[slot])
                                 : temperatureText(ctx.measure.volts[slot]));
  }
}

// ---- Thermal shutdown ---------------------------------------------------------------------------

std::array<ThermalFinding, kMaxBoards> CheckThermalShutdown(ui::Context& ctx) {
  std::array<ThermalFinding, kMaxBoards> found{};
  for (int b = 0; b <= ctx.boards.LastBoardIndex && b < kMaxBoards; ++b) {
    const auto i = static_cast<std::size_t>(b);
    if (ctx.reads.thermalShutdown[i] == 1) {
      found[i] = ThermalFinding::InShutdown;
      ctx.reads.thermalState[i] = 1;
      ctx.reads.pecState[i] = kPecThermal;
      showPecIndicator(ctx, b);
    } else if (ctx.reads.thermalState[i] == 1) {
      found[i] = ThermalFinding::Left;
      ctx.reads.thermalRecoveryPending = true;
      CompareConfig(ctx);
    }
  }
  return found;
}

}  // namespace kb::monitor
