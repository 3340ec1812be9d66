#include "telemetry/Payloads.h"

#include <array>
#include <cinttypes>
#include <cmath>
#include <cstdio>

#include "common/HexText.h"
#include "views/CellGrid.h"

namespace kb::telemetry {

namespace {

using readings::Kind;
using readings::Reading;

constexpr std::array<const char*, 3> kSensors{"etmp1", "etmp2", "itmp"};

// Volts as the window shows them: four decimals, no negative zero.
std::string volts(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.4f", v);
  std::string s = buf;
  if (s == "-0.0000") s = "0.0000";
  return s;
}

// A limit or value: volts or a count, up to six significant digits; null when not finite.
std::string number(double v) {
  if (!std::isfinite(v)) return "null";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.6g", v);
  return buf;
}

// The program's time in seconds, from whole microseconds (no rounding on the way).
std::string seconds(std::int64_t micros) {
  const std::int64_t whole = micros / 1'000'000;
  const std::int64_t part = micros % 1'000'000;
  char buf[48];
  std::snprintf(buf, sizeof buf, "%s%" PRId64 ".%06" PRId64, micros < 0 ? "-" : "",
                whole < 0 ? -whole : whole, part < 0 ? -part : part);
  return buf;
}

// The check's name, "none" when nothing was checked.
const char* checkText(readings::Check check) {
  const char* name = readings::checkName(check);
  return name != nullptr ? name : "none";
}

// A JSON object built field by field; "schema" first.
class Json {
 public:
  Json() { text_ = "{\"schema\":" + std::to_string(kSchemaVersion); }
  Json& raw(const char* key, const std::string& value) {
    text_ += ",\"";
    text_ += key;
    text_ += "\":";
    text_ += value;
    return *this;
  }
  Json& str(const char* key, const std::string& value) { return raw(key, jsonString(value)); }
  Json& num(const char* key, long long value) { return raw(key, std::to_string(value)); }
  std::string done() const { return text_ + "}"; }

 private:
  std::string text_;
};

Json common(const Reading& r) {
  Json j;
  j.raw("time", seconds(r.timeMicros));
  if (r.board >= 0) j.num("board", r.board + 1);
  return j;
}

std::string boardTopic(const std::string& prefix, int board) {
  return prefix + "/board/" + std::to_string(board + 1);
}

std::string hexList(const std::vector<std::uint8_t>& bytes) {
  std::string s = "[";
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0) s += ",";
    s += jsonString(hexByte(bytes[i]));
  }
  return s + "]";
}

std::string chipList(const std::vector<readings::ChipWord>& words) {
  std::string s = "[";
  for (std::size_t i = 0; i < words.size(); ++i) {
    const readings::ChipWord& w = words[i];
    if (i > 0) s += ",";
    s += "{\"ic\":" + std::to_string(w.chip + 1) + ",\"position\":\"" +
         (w.chip % 2 == 0 ? "bottom" : "top") + "\",\"hi\":" + jsonString(w.hi) +
         ",\"lo\":" + jsonString(w.lo) + ",\"result\":" + jsonString(w.result) + "}";
  }
  return s + "]";
}

// Cells (1-based) whose flag bit is set.
template <typename Bit>
std::string flaggedCells(const views::FlagBytes& flags, Bit bit) {
  std::string s = "[";
  for (int c = 0; c < 12; ++c) {
    if (!bit(flags, c)) continue;
    if (s.size() > 1) s += ",";
    s += std::to_string(c + 1);
  }
  return s + "]";
}

void addPecState(std::vector<Message>& out, const Reading& r, const std::string& prefix) {
  const bool thermal = r.kind == Kind::Temperatures && r.thermal == 1;
  out.push_back({boardTopic(prefix, r.board) + "/pec",
                 common(r)
                     .str("command", r.command)
                     .str("state", thermal ? "thermal-shutdown" : checkText(r.check))
                     .done()});
}

}  // namespace

std::string jsonString(const std::string& text) {
  std::string s = "\"";
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      s += '\\';
      s += ch;
    } else if (c < 0x20 || c > 0x7E) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      s += buf;
    } else {
      s += ch;
    }
  }
  return s + "\"";
}

std::vector<Message> readingMessages(const Reading& r, const std::string& prefix) {
  std::vector<Message> out;
  const bool board = r.board >= 0 && r.board < 10;
  switch (r.kind) {
    case Kind::Cells:
      if (!board) break;
      for (std::size_t i = 0; i < r.codes.size() && i < r.volts.size(); ++i) {
        const int cell = static_cast<int>(i) + 1;
        out.push_back({boardTopic(prefix, r.board) + "/cell/" + std::to_string(cell),
                       common(r)
                           .num("cell", cell)
                           .raw("volts", volts(r.volts[i]))
                           .num("code", r.codes[i])
                           .str("pec", checkText(r.check))
                           .str("origin", readings::originName(r.origin))
                           .done()});
      }
      addPecState(out, r, prefix);
      break;
    case Kind::Temperatures: {
      if (!board) break;
      for (std::size_t i = 0; i < r.codes.size() && i < r.volts.size() && i < kSensors.size();
           ++i) {
        Json j = common(r);
        j.str("sensor", kSensors[i])
            .raw("volts", volts(r.volts[i]))
            .num("code", r.codes[i])
            .str("pec", checkText(r.check))
            .str("origin", readings::originName(r.origin));
        out.push_back({boardTopic(prefix, r.board) + "/temp/" + kSensors[i], j.done()});
      }
      addPecState(out, r, prefix);
      break;
    }
    case Kind::Flags: {
      if (!board) break;
      views::FlagBytes flags{};
      for (std::size_t k = 0; k < flags.size() && k < r.bytes.size(); ++k) flags[k] = r.bytes[k];
      out.push_back({boardTopic(prefix, r.board) + "/flags",
                     common(r)
                         .str("pec", checkText(r.check))
                         .raw("bytes", hexList(r.bytes))
                         .raw("uv", flaggedCells(flags, views::underVoltageBit))
                         .raw("ov", flaggedCells(flags, views::overVoltageBit))
                         .done()});
      addPecState(out, r, prefix);
      break;
    }
    case Kind::ConfigRead:
      if (!board) break;
      out.push_back(
          {boardTopic(prefix, r.board) + "/config",
           common(r).str("pec", checkText(r.check)).raw("bytes", hexList(r.bytes)).done()});
      addPecState(out, r, prefix);
      break;
    case Kind::BalancerWords:
    case Kind::BalancerStatus:
      if (!board) break;
      out.push_back(
          {boardTopic(prefix, r.board) + "/balancer/" +
               (r.kind == Kind::BalancerStatus ? "status" : "readback"),
           common(r).str("check", checkText(r.check)).raw("chips", chipList(r.words)).done()});
      break;
    case Kind::BalancerCommand:
      out.push_back({(board ? boardTopic(prefix, r.board) : prefix) + "/balancer/command",
                     common(r).str("command", r.command).raw("chips", chipList(r.words)).done()});
      break;
    case Kind::BalanceRun:
      out.push_back({prefix + "/balancer/run", common(r).str("event", r.text).done()});
      break;
    case Kind::ConfigWrite:
      break;  // what was written shows in the next read-back
  }
  return out;
}

Message alarmMessage(alarms::Event event, const alarms::Alarm& a, const std::string& prefix,
                     std::int64_t nowMicros) {
  Json j;
  j.raw("time", seconds(nowMicros))
      .str("event", alarms::eventName(event))
      .num("id", a.id)
      .str("kind", alarms::kindName(a.kind));
  if (a.board >= 0) j.num("board", a.board + 1);
  if (a.channel >= 0) {
    switch (a.kind) {
      case alarms::Kind::OverVoltage:
      case alarms::Kind::UnderVoltage:
        j.num("cell", a.channel);
        break;
      case alarms::Kind::Thermal:
        if (a.channel < static_cast<int>(kSensors.size())) {
          j.str("sensor", kSensors[static_cast<std::size_t>(a.channel)]);
        }
        break;
      case alarms::Kind::BalancerFault:
        j.num("ic", a.channel + 1);
        break;
      case alarms::Kind::PecFailures:
      case alarms::Kind::NotAnswering:
        break;
    }
  }
  j.raw("limit", number(a.limit))
      .raw("value", number(a.value))
      .raw("raised", seconds(a.raisedMicros))
      .str("text", a.text);
  return {prefix + "/alarm", j.done(), 1, false, true};
}

Message onlineStatus(const std::string& prefix, const std::string& version,
                     const std::string& controller) {
  Json j;
  j.str("state", "online").str("program", "kb4471").str("version", version);
  j.str("controller", controller);
  return {prefix + "/status", j.done(), 1, true, true};
}

Message offlineStatus(const std::string& prefix) {
  return {prefix + "/status", Json().str("state", "offline").done(), 1, true, true};
}

}  // namespace kb::telemetry
