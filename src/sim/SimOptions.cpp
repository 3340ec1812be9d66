#include "sim/SimOptions.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace kb::sim {

namespace {

constexpr int kMaxBoards = 10;
constexpr int kCells = 12;

std::vector<std::string_view> split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t at = text.find(separator, start);
    parts.push_back(text.substr(start, at == std::string_view::npos ? at : at - start));
    if (at == std::string_view::npos) return parts;
    start = at + 1;
  }
}

template <typename Int>
bool parseInt(std::string_view text, Int& out) {
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, out);
  return !text.empty() && ec == std::errc() && ptr == end;
}

bool parseDouble(std::string_view text, double& out) {
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, out);
  return !text.empty() && ec == std::errc() && ptr == end && std::isfinite(out);
}

// Parses one option into out; on failure returns the reason.
class OptionParser {
 public:
  explicit OptionParser(SimOptions& out) : out_(out) {}

  std::string parse(std::string_view option) {
    if (option == "realtime") {
      out_.realtime = true;
      return {};
    }
    const std::size_t eq = option.find('=');
    if (eq == std::string_view::npos) return "expected NAME=VALUE";
    const std::string_view name = option.substr(0, eq);
    const std::string_view value = option.substr(eq + 1);
    if (name == "boards") {
      if (!parseInt(value, out_.boards) || out_.boards < 1 || out_.boards > kMaxBoards) {
        return "boards must be 1 to 10";
      }
      return {};
    }
    if (name == "seed") {
      return parseInt(value, out_.seed) ? std::string() : "seed must be 0 to 4294967295";
    }
    if (name == "id") {
      out_.identity = std::string(value);
      return {};
    }
    if (name == "cell") return parseCell(split(value, ':'));
    if (name == "notop") {
      int board = 0;
      if (!parseBoard(value, board)) return "board must be 1 to 10";
      out_.withoutTopChip.push_back(board);
      return {};
    }
    if (name == "fault") return parseFault(split(value, ':'));
    return "unknown option";
  }

 private:
  static bool parseBoard(std::string_view text, int& board) {
    return parseInt(text, board) && board >= 1 && board <= kMaxBoards;
  }

  std::string parseCell(const std::vector<std::string_view>& parts) {
    CellStart start;
    if (parts.size() != 3) return "expected cell=BOARD:CELL:VOLTS";
    if (!parseBoard(parts[0], start.board)) return "board must be 1 to 10";
    if (!parseInt(parts[1], start.cell) || start.cell < 1 || start.cell > kCells) {
      return "cell must be 1 to 12";
    }
    if (!parseDouble(parts[2], start.volts) || start.volts < 0.0 || start.volts > 5.0) {
      return "volts must be 0 to 5";
    }
    out_.cells.push_back(start);
    return {};
  }

  std::string parseFault(const std::vector<std::string_view>& parts) {
    const std::string_view kind = parts[0];
    if (kind == "unplugged" && parts.size() == 1) {
      out_.unplugged = true;
      return {};
    }
    if (kind == "unplug" && (parts.size() == 2 || parts.size() == 3)) {
      Unplug unplug;
      if (!parseDouble(parts[1], unplug.from) || unplug.from < 0.0) {
        return "seconds must be 0 or more";
      }
      if (parts.size() == 3) {
        double until = 0.0;
        if (!parseDouble(parts[2], until) || until <= unplug.from) {
          return "the second time must come after the first";
        }
        unplug.until = until;
      }
      out_.unplugs.push_back(unplug);
      return {};
    }
    if (kind == "pec" && parts.size() == 2) {
      double rate = 0.0;
      if (!parseDouble(parts[1], rate) || rate < 0.0 || rate > 1.0) {
        return "rate must be 0.0 to 1.0";
      }
      out_.pecFaultRate = rate;
      return {};
    }
    if (kind == "missing" && parts.size() == 2) {
      int board = 0;
      if (!parseBoard(parts[1], board)) return "board must be 1 to 10";
      out_.missingBoards.push_back(board);
      return {};
    }
    if ((kind == "balcrc" || kind == "balshort") && parts.size() == 2) {
      int board = 0;
      if (!parseBoard(parts[1], board)) return "board must be 1 to 10";
      (kind == "balcrc" ? out_.balancerCrcFaults : out_.balancerShortFaults).push_back(board);
      return {};
    }
    if (kind == "thermal" && (parts.size() == 2 || parts.size() == 3)) {
      ThermalFault fault;
      if (!parseBoard(parts[1], fault.board)) return "board must be 1 to 10";
      if (parts.size() == 3) {
        double seconds = 0.0;
        if (!parseDouble(parts[2], seconds) || seconds < 0.0) return "seconds must be 0 or more";
        fault.recoverAfter = seconds;
      }
      out_.thermal.push_back(fault);
      return {};
    }
    if (kind == "openwire" && parts.size() == 3) {
      OpenWire wire;
      if (!parseBoard(parts[1], wire.board)) return "board must be 1 to 10";
      if (!parseInt(parts[2], wire.cell) || wire.cell < 1 || wire.cell > kCells) {
        return "cell must be 1 to 12";
      }
      out_.openWires.push_back(wire);
      return {};
    }
    if (kind == "selftest" && parts.size() == 3) {
      SelfTestFault fault;
      if (!parseBoard(parts[1], fault.board)) return "board must be 1 to 10";
      if (!parseInt(parts[2], fault.cell) || fault.cell < 1 || fault.cell > kCells) {
        return "cell must be 1 to 12";
      }
      out_.selfTestFaults.push_back(fault);
      return {};
    }
    return "expected fault=pec:RATE, missing:B, thermal:B[:SECONDS], openwire:B:C, selftest:B:C, "
           "balcrc:B, balshort:B, unplug:T1[:T2] or unplugged";
  }

  SimOptions& out_;
};

// The first board reference beyond the chosen number of boards, or 0.
int boardBeyondCount(const SimOptions& o) {
  auto beyond = [&](int board) { return board > o.boards ? board : 0; };
  for (const CellStart& c : o.cells) {
    if (beyond(c.board) != 0) return c.board;
  }
  for (const int b : o.missingBoards) {
    if (beyond(b) != 0) return b;
  }
  for (const ThermalFault& t : o.thermal) {
    if (beyond(t.board) != 0) return t.board;
  }
  for (const OpenWire& w : o.openWires) {
    if (beyond(w.board) != 0) return w.board;
  }
  for (const SelfTestFault& f : o.selfTestFaults) {
    if (beyond(f.board) != 0) return f.board;
  }
  for (const int b : o.withoutTopChip) {
    if (beyond(b) != 0) return b;
  }
  for (const std::vector<int>* boards : {&o.balancerCrcFaults, &o.balancerShortFaults}) {
    for (const int b : *boards) {
      if (beyond(b) != 0) return b;
    }
  }
  return 0;
}

}  // namespace

bool parseSimOptions(std::string_view text, SimOptions& out, std::string& error) {
  SimOptions parsed = out;
  OptionParser parser(parsed);
  for (const std::string_view option : split(text, ',')) {
    if (option.empty()) continue;
    const std::string reason = parser.parse(option);
    if (!reason.empty()) {
      error = std::string(option) + ": " + reason;
      return false;
    }
  }
  if (const int board = boardBeyondCount(parsed); board != 0) {
    error = "boards=" + std::to_string(parsed.boards) + ": board " + std::to_string(board) +
            " is named by another option but not fitted";
    return false;
  }
  out = std::move(parsed);
  return true;
}

std::string simOptionsHelp() {
  return "  boards=N             number of boards, 1 to 10 (default 1)\n"
         "  seed=N               seed of the starting voltages and fault draws (default 1)\n"
         "  id=TEXT              identity the controller answers (default QXM7140-2 ...)\n"
         "  cell=B:C:V           cell C (1-12) of board B starts at V volts (0 to 5)\n"
         "  notop=B              board B has no top balancer chip\n"
         "  fault=pec:RATE       corrupt the PEC of that share of monitor replies (0.0 to 1.0)\n"
         "  fault=missing:B      board B does not answer\n"
         "  fault=thermal:B[:S]  board B in thermal shutdown, recovering after S seconds\n"
         "  fault=openwire:B:C   open sense wire on cell C of board B\n"
         "  fault=selftest:B:C   cell C of board B reads its self-test pattern one off\n"
         "  fault=balcrc:B       board B's balancer chips answer reads with a wrong CRC-4\n"
         "  fault=balshort:B     board B's balancer replies are cut short after two characters\n"
         "  fault=unplugged      no controller: opening it fails\n"
         "  fault=unplug:T1[:T2] the controller is pulled out at T1 seconds (and back at T2)\n"
         "  realtime             every transaction also takes its cost in real time\n";
}

}  // namespace kb::sim
