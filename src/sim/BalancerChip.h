#pragma once
// The simulated balancer chips of one board: a bottom chip (cells 1..6) and an optional top chip
// (cells 7..12) chained on the SPI bus behind the board monitor's GPIO1 output.
//
// Path: the chain hears the bus only while the monitor's GPIO1 output is driven low (CFGR0 bit 5
// written 0). A balancer frame is the bytes clocked while chip select is high, from its rising
// edge; the falling edge commits it. First byte: the command byte, address bits 7..3 = 10101 (any
// other address is ignored), mode bits 2..1 (00 WRITE, 01 READ COMMAND, 10 READ STATUS, 11
// EXECUTE), bit 0 even parity over the byte; a byte with wrong parity is a SUSPEND.
//
//  - WRITE: the data bytes that follow are 16-bit words, high byte first, shifted through the
//    chain: on commit the bottom chip takes the last word, the top chip the one before it. A word
//    whose CRC-4 is wrong is refused and that chip keeps its previous word; an odd number of data
//    bytes voids the whole write.
//  - READ COMMAND / READ STATUS: the bytes clocked after the command byte carry the bottom chip's
//    word, then the top chip's (2 bytes each, with their CRC-4), then FF.
//  - EXECUTE: on commit every chip starts the actions of the word it holds at that moment (a later
//    WRITE takes effect at the next EXECUTE). SUSPEND stops them.
//  - Keep-alive: any command byte with the right address restarts it; an executing chip that hears
//    none for kKeepAliveMicros (1.5 s) stops.
//  - Reply fault (fault=balcrc:B): every word the chain reads out has bit 0 inverted, so its
//    CRC-4 is wrong; the chips themselves are unaffected.
//  - Short reply (fault=balshort:B): the controller loses a read's answer after its first byte,
//    so the PC gets two characters of the bottom chip's word.
//
// Status word: bits 15..10 gate OK of cells 1..6 (0 for a cell with an open wire), bit 9 a cell
// above kCellOverVolts, bit 8 the six cells together above kStackOverVolts, bit 7 die temperature
// below kTempLimitCelsius, bits 6..4 zero, bits 3..0 CRC-4.
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "sim/Battery.h"
#include "sim/SpiBus.h"

namespace kb::sim {

class MonitorChip;

inline constexpr SimMicros kKeepAliveMicros = 1'500'000;
inline constexpr unsigned kBalancerAddress = 0x15;  // 10101
inline constexpr double kCellOverVolts = 4.5;
inline constexpr double kStackOverVolts = 27.0;
inline constexpr double kTempLimitCelsius = 100.0;
inline constexpr int kCellsPerBalancer = 6;
inline constexpr std::uint16_t kNoneWord = 0x000F;

enum class BalancerMode { kWrite = 0, kReadCommand = 1, kReadStatus = 2, kExecute = 3 };

// Action of cell (0..5) in a command word.
BalanceAction actionOf(std::uint16_t word, int cell);

class BalancerChip {
 public:
  // firstCell: 0 for the bottom chip, 6 for the top chip.
  BalancerChip(int board, int firstCell, Battery& battery, const SimTime& time);

  std::uint16_t word() const { return word_; }
  // Takes the word when its CRC-4 is right; returns whether it did.
  bool write(std::uint16_t word);
  void execute();
  void suspend();
  // A command byte for this chip arrived.
  void heard() { lastHeardAt_ = time_.now; }

  bool executing() const { return executing_; }
  std::uint16_t executingWord() const { return executingWord_; }
  std::uint16_t statusWord() const;
  void setGateFault(int cell, bool fault);

  SimMicros nextEventTime() const;
  void runDueEvents();

 private:
  void applyActions(std::uint16_t word);

  int board_;
  int firstCell_;
  Battery& battery_;
  const SimTime& time_;
  std::uint16_t word_ = kNoneWord;
  std::uint16_t executingWord_ = kNoneWord;
  bool executing_ = false;
  SimMicros lastHeardAt_ = 0;
  unsigned gateFaults_ = 0;
};

class BalancerChain final : public SpiDevice {
 public:
  BalancerChain(int board, const MonitorChip& monitor, Battery& battery, const SimTime& time,
                bool topChip);

  void chipSelectFell() override;
  void chipSelectRose() override;
  std::uint8_t exchange(std::uint8_t mosi, bool chipSelectHigh) override;

  bool pathOpen() const;
  // Read-out words get bit 0 inverted (a corrupted reply).
  void setCorruptReplies(bool on) { corruptReplies_ = on; }
  // A read's answer is lost after its first byte.
  void setShortReplies(bool on) { shortReplies_ = on; }
  bool cutsReply() const override { return shortReplies_ && !reply_.empty() && replyPos_ == 1; }
  BalancerChip& bottom() { return bottom_; }
  const BalancerChip& bottom() const { return bottom_; }
  // Null when the board has no top chip.
  BalancerChip* top() { return top_ ? &*top_ : nullptr; }
  const BalancerChip* top() const { return top_ ? &*top_ : nullptr; }

  SimMicros nextEventTime() const;
  void runDueEvents();

 private:
  enum class Frame { kNone, kCommand, kIgnore };

  void commit();

  const MonitorChip& monitor_;
  BalancerChip bottom_;
  std::optional<BalancerChip> top_;
  Frame frame_ = Frame::kNone;
  std::uint8_t command_ = 0;
  std::vector<std::uint8_t> data_;
  std::vector<std::uint8_t> reply_;
  std::size_t replyPos_ = 0;
  bool corruptReplies_ = false;
  bool shortReplies_ = false;
};

}  // namespace kb::sim
