#pragma once
// Fake function tables for the hardware backends: a bus or a port whose replies arrive in scripted
// pieces, on a clock that moves only while the backend waits.
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "link/FtdiCalls.h"
#include "link/SerialCalls.h"

namespace kb::test {

// What one read call hands back once the piece is due: bytes, or a failure (code < 0).
struct Piece {
  std::string bytes;
  int code = 0;
  std::int64_t afterMicros = 0;  // after the previous piece (or the first read)
};

class PieceQueue {
 public:
  std::deque<Piece> pieces;

  // When the next piece is there, from now; -1 when none is coming.
  std::int64_t dueIn(std::int64_t now) {
    if (pieces.empty()) return -1;
    if (!armed_) {
      due_ = now + pieces.front().afterMicros;
      armed_ = true;
    }
    return std::max<std::int64_t>(due_ - now, 0);
  }
  // Bytes placed in out, 0 for none yet, or the piece's failure code.
  int take(std::int64_t now, unsigned char* out, std::size_t size) {
    if (dueIn(now) != 0) return 0;
    Piece& p = pieces.front();
    int n = p.code;
    if (p.code >= 0) {
      n = static_cast<int>(std::min(size, p.bytes.size()));
      std::copy_n(p.bytes.begin(), n, out);
      p.bytes.erase(0, static_cast<std::size_t>(n));
    }
    if (p.code < 0 || p.bytes.empty()) {
      pieces.pop_front();
      armed_ = false;
    }
    return n;
  }

 private:
  std::int64_t due_ = 0;
  bool armed_ = false;
};

struct FakeFtdi {
  std::int64_t now = 0;
  std::vector<link::FtdiBridge> bridges;
  int productOpenedByDescription = 0;  // what an open by vendor:product finds; 0 nothing
  PieceQueue replies;
  std::string message = "device not found";
  std::vector<std::string> calls;
  int contexts = 0;  // made and not yet freed

  link::FtdiCalls table() {
    link::FtdiCalls t;
    t.create = [this]() -> void* {
      ++contexts;
      calls.push_back("create");
      return this;
    };
    t.destroy = [this](void*) {
      --contexts;
      calls.push_back("destroy");
    };
    t.openDescription = [this](void*, int, int product, const char*) {
      calls.push_back("open " + std::to_string(product));
      return product == productOpenedByDescription ? 0 : -3;
    };
    t.list = [this](void*, std::vector<link::FtdiBridge>& out) {
      calls.push_back("list");
      out = bridges;
      return static_cast<int>(out.size());
    };
    t.openListed = [this](void*, std::size_t index) {
      calls.push_back("open listed " + std::to_string(index));
      return 0;
    };
    t.flush = [this](void*) {
      calls.push_back("flush");
      return 0;
    };
    t.flushInput = [this](void*) {
      calls.push_back("flush input");
      return 0;
    };
    t.setLatency = [this](void*, int ms) {
      calls.push_back("latency " + std::to_string(ms));
      return 0;
    };
    t.setTimeouts = [](void*, int, int) {};
    t.write = [](void*, const unsigned char*, int size) { return size; };
    t.read = [this](void*, unsigned char* out, int size) {
      return replies.take(now, out, static_cast<std::size_t>(size));
    };
    t.close = [this](void*) { calls.push_back("close"); };
    t.errorText = [this](void*) { return message; };
    t.now = [this] { return now; };
    t.pause = [this](std::int64_t micros) { now += micros; };
    return t;
  }
};

struct FakeSerial {
  std::int64_t now = 0;
  std::vector<link::SerialPort> ports;
  int openResult = 7;              // a descriptor, or a negative errno value
  int lowLatencyResult = -ENOTTY;  // as a pseudo-terminal answers
  PieceQueue replies;
  std::string written;
  std::vector<std::string> calls;

  link::SerialCalls table() {
    link::SerialCalls t;
    t.open = [this](const std::string& path) {
      calls.push_back("open " + path);
      return openResult;
    };
    t.configure = [this](int, int baud) {
      calls.push_back("configure " + std::to_string(baud));
      return 0;
    };
    t.flush = [this](int) {
      calls.push_back("flush");
      return 0;
    };
    t.flushInput = [this](int) {
      calls.push_back("flush input");
      return 0;
    };
    t.lowLatency = [this](int, bool on) {
      calls.push_back(on ? "low latency" : "normal latency");
      return lowLatencyResult;
    };
    t.write = [this](int, const unsigned char* data, std::size_t size) {
      written.append(reinterpret_cast<const char*>(data), size);
      return static_cast<int>(size);
    };
    t.wait = [this](int, bool forWrite, std::int64_t micros) {
      const std::int64_t due = forWrite ? 0 : replies.dueIn(now);
      if (due >= 0 && due <= micros) {
        now += due;
        return 1;
      }
      now += micros;
      return 0;
    };
    t.read = [this](int, unsigned char* out, std::size_t size) {
      return replies.take(now, out, size);
    };
    t.close = [this](int) { calls.push_back("close"); };
    t.list = [this](std::vector<link::SerialPort>& out, std::string&) {
      calls.push_back("list");
      out = ports;
      return true;
    };
    t.productOf = [this](const std::string& name) {
      for (const auto& p : ports) {
        if (p.name == name) return p.description;
      }
      return std::string();
    };
    t.now = [this] { return now; };
    t.pause = [this](std::int64_t micros) {
      calls.push_back("pause " + std::to_string(micros));
      now += micros;
    };
    return t;
  }
};

}  // namespace kb::test
