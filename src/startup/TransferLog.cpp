#include "startup/TransferLog.h"

#include <array>

#include "common/HexText.h"
#include "context/Context.h"
#include "monitor/Pec.h"

namespace kb::startup {

namespace {

void direction(ui::Context& ctx, bool read) {
  ctx.c.Label7->setCaption(read ? "R D" : "W R");
}

void headers(ui::Context& ctx, const char* line1, const char* line2) {
  ctx.c.Label8[2].setCaption(line1);
  ctx.c.Label8[0].setCaption(line2);
}

void dataRow(ui::Context& ctx, const std::string& text, std::int32_t back) {
  ctx.c.Text8->setText(text);
  ctx.c.Text8->backColor = back;
}

std::string addressPec(const std::string& address) {
  return monitor::pecTable().CalcPec(address);
}

struct ReadKindTexts {
  const char* description;
  const char* codePec;
};

ReadKindTexts texts(monitor::ReadKind kind) {
  switch (kind) {
    case monitor::ReadKind::RDCFG:
      return {"Command = 0x02 RDCFG", "CE"};
    case monitor::ReadKind::RDCV:
      return {"Command = 0x04 RDCV", "DC"};
    case monitor::ReadKind::RDFLG:
      return {"Command = 0x0C RDFLG", "E4"};
    case monitor::ReadKind::RDTMP:
      return {"Command = 0x0E RDTMP", "EA"};
  }
  return {"", ""};
}

// The description and the data row emptied.
void clearRow(ui::Context& ctx) {
  ctx.c.Label8[1].setCaption("");
  dataRow(ctx, "", kWindowBackground);
}

bool validBoard(int board) {
  return board >= 0 && board < kMaxBoards;
}

}  // namespace

std::string addressLine(bool broadcast, const std::string& address, int board) {
  if (broadcast) return "BROADCAST to all BRDS";
  return " Address = 0x" + address + " BRD# " + std::to_string(board + 1);
}

void LogCommand(ui::Context& ctx, const std::string& name, const std::string& code,
                const std::string& codePec, const std::string& addrPec, bool broadcast) {
  const int board = ctx.boards.CurrentBoard;
  direction(ctx, false);
  ctx.c.Label8[1].setCaption("Command = 0x" + code + " " + name);
  if (broadcast) {
    headers(ctx, "| SENT | ", "|  Cmd  | ");
    dataRow(ctx, "   " + codePec + "  | ", kWhite);
  } else {
    headers(ctx, "| SENT  | SENT |", "| ADDR |  Cmd  |");
    dataRow(ctx, "   " + addrPec + "  |  " + codePec + "  | ", kWhite);
  }
  ctx.c.Label8[3].setCaption(addressLine(broadcast, ctx.boards.address(board), board));
}

void LogWriteConfig(ui::Context& ctx) {
  const int board = ctx.boards.CurrentBoard;
  if (!validBoard(board)) return;
  const bool broadcast = ctx.boards.broadcast(BroadcastCommand::WRCFG);
  std::array<std::uint8_t, 6> bytes{};
  const auto& written = ctx.config.written[static_cast<std::size_t>(board)];
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<std::uint8_t>(hexValue(written[i]));
  }
  // The data PEC is shown without a leading zero.
  const std::string dataPec = hexPlain(monitor::pecTable().CalcDataPec(bytes));
  direction(ctx, false);
  ctx.c.Label8[1].setCaption("Command = 0x01 WRCFG");
  if (broadcast) {
    headers(ctx, "| SENT | SENT  |", "|  Cmd  | DATA | ");
    dataRow(ctx, "  C7  |  " + dataPec + "  |", kWhite);
  } else {
    headers(ctx, "| SENT  | SENT | SENT  |", "| ADDR |  Cmd  | DATA |");
    dataRow(ctx, "   " + addressPec(ctx.boards.address(board)) + "  |  C7  |  " + dataPec + "  |",
            kWhite);
  }
  ctx.c.Label8[3].setCaption(addressLine(broadcast, ctx.boards.address(board), board));
  ctx.startup.transferLog.lastKind = kLogWriteConfig;
}

void LogReadBack(ui::Context& ctx, monitor::ReadKind kind, int board, int rdcvMode) {
  if (!validBoard(board)) return;
  const ReadKindTexts t = texts(kind);
  const auto& rec =
      ctx.reads.records[static_cast<std::size_t>(board)][static_cast<std::size_t>(kind)];
  const std::string& address = ctx.boards.address(board);
  const std::string& r = rec.receivedPec;
  const std::string& calc = rec.calculatedPec;
  direction(ctx, true);
  ctx.c.Label8[1].setCaption(t.description);
  headers(ctx, "| SENT  | SENT | REC'D |  GUI    |", "| ADDR |  Cmd  | 7140  |  CALC |");
  ctx.c.Label8[3].setCaption(addressLine(false, address, board));
  const std::string lead = "   " + addressPec(address) + "  |  ";
  if (r.empty() && calc.empty()) {
    // The board was never read with this command: no row, rather than a good read that did not
    // happen.
    clearRow(ctx);
  } else if (r == calc) {
    dataRow(ctx, lead + t.codePec + "  | " + r + " ==  " + calc, kWhite);
  } else if (!ctx.pecMatchOnly()) {
    if (kind == monitor::ReadKind::RDCFG) {
      dataRow(ctx, lead + "CE  | " + r + "  !=  " + calc, kRed);
    } else {
      dataRow(ctx, lead + t.codePec + "  |  " + r + "  !=  " + calc, kRed);
    }
  }
  // With "PEC Match Only" on, a failing read leaves the previous data row in place.
  int& last = ctx.startup.transferLog.lastKind;
  switch (kind) {
    case monitor::ReadKind::RDCFG:
      last = kLogReadConfig;
      break;
    case monitor::ReadKind::RDCV:
      last = kLogReadCells + rdcvMode;
      break;
    case monitor::ReadKind::RDFLG:
      last = kLogReadFlags;
      break;
    case monitor::ReadKind::RDTMP:
      last = kLogReadTemps;
      break;
  }
}

void ClearLog(ui::Context& ctx) {
  clearRow(ctx);
  for (int b = 0; b <= ctx.boards.LastBoardIndex && b < kMaxBoards; ++b) {
    ctx.c.Shape12[b].fillColor = kWindowBackground;
  }
}

void RewriteLog(ui::Context& ctx) {
  const int board = ctx.boards.CurrentBoard;
  const int last = ctx.startup.transferLog.lastKind;
  if (last == kLogNone) {
    ClearLog(ctx);
  } else if (last == kLogWriteConfig) {
    LogWriteConfig(ctx);
  } else if (last == kLogReadConfig) {
    LogReadBack(ctx, monitor::ReadKind::RDCFG, board);
  } else if (last >= kLogReadCells && last < kLogReadFlags) {
    LogReadBack(ctx, monitor::ReadKind::RDCV, board, last - kLogReadCells);
  } else if (last == kLogReadFlags) {
    LogReadBack(ctx, monitor::ReadKind::RDFLG, board);
  } else if (last == kLogReadTemps) {
    LogReadBack(ctx, monitor::ReadKind::RDTMP, board);
  }
}

void forgetLog(ui::Context& ctx) {
  ctx.startup.transferLog.lastKind = kLogNone;
}

}  // namespace kb::startup
