#pragma once
// The readings stream: one Reading for every completed read of the stack (and every write whose
// bytes are worth keeping), published once by the read path, in the order of the transactions.
// Recording, alarms, history, telemetry and link health subscribe; the read path never learns
// who they are. Subscribers run at once, in the order they subscribed, on the thread that read.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kb::readings {

enum class Kind {
  Cells,            // RDCV: codes and volts of cells 1..10 or 1..12
  Temperatures,     // RDTMP: ETMP1, ETMP2, ITMP codes and volts, and the thermal bit
  Flags,            // RDFLG: the three flag bytes
  ConfigRead,       // RDCFG: the six configuration bytes read back
  ConfigWrite,      // WRCFG: the six bytes written (board -1: broadcast)
  BalancerCommand,  // a balancer transfer sent: write, execute or suspend
  BalancerWords,    // command words read back, one entry per chip
  BalancerStatus,   // status words read back, one entry per chip
  BalanceRun,       // timed balancing started, paused, continued or stopped
};

const char* kindName(Kind kind);

// Who asked for the read.
enum class Origin { Button, Cycle, SelfTest, Balancer };

const char* originName(Origin origin);

// How the read's check came out: a PEC for monitor reads, the CRC-4 of balancer words.
enum class Check { None, Match, Mismatch };
// "match", "mismatch"; null for None (nothing was checked).
const char* checkName(Check check);

// One balancer chip's word as read back or written.
struct ChipWord {
  int chip = 0;        // 2 x board for the bottom chip, + 1 for the top chip
  std::string hi;      // two hex digits
  std::string lo;      // two hex digits
  std::string result;  // "OK", "ERROR" or "-"
};

struct Reading {
  std::int64_t timeMicros = 0;  // the program's clock
  Kind kind = Kind::Cells;
  Origin origin = Origin::Button;
  int board = -1;       // 0..9; -1 for a broadcast
  std::string command;  // the command's mnemonic: "RDCV", "WRCFG", "WRITE", "READ STATUS" ...
  Check check = Check::None;
  std::vector<int> codes;           // 12-bit codes (cells, temperatures)
  std::vector<double> volts;        // the codes in volts, as the window shows them
  std::vector<std::uint8_t> bytes;  // flag or configuration bytes
  int thermal = -1;                 // temperatures: the shutdown bit from an intact reply
  std::vector<ChipWord> words;      // balancer words
  std::string text;                 // a balance run's event: "start", "pause", "continue", "stop"
};

class Stream {
 public:
  using Subscriber = std::function<void(const Reading&)>;

  // Returns an id for unsubscribe.
  int subscribe(Subscriber subscriber);
  void unsubscribe(int id);
  void publish(const Reading& reading) const;
  std::size_t subscribers() const { return subscribers_.size(); }

  // An operator action, a tick or start-up has ended: every reading it made has been published.
  // Consumers that work in batches (recording) close their batch here. Ids share subscribe's.
  int subscribeEventEnd(std::function<void()> fn);
  void eventEnded() const;

 private:
  struct Entry {
    int id;
    Subscriber fn;
  };
  struct EndEntry {
    int id;
    std::function<void()> fn;
  };
  std::vector<Entry> subscribers_;
  std::vector<EndEntry> eventEnds_;
  int nextId_ = 1;
};

}  // namespace kb::readings
