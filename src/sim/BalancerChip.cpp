#include "sim/BalancerChip.h"

#include <algorithm>

#include "sim/MonitorChip.h"
#include "sim/SimCrc.h"

namespace kb::sim {

namespace {
constexpr std::size_t kMaxFrameBytes = 64;
}

BalanceAction actionOf(std::uint16_t word, int cell) {
  switch ((word >> (14 - 2 * cell)) & 0x3) {
    case 0x2:
      return BalanceAction::Discharge;
    case 0x3:
      return BalanceAction::Charge;
    default:
      return BalanceAction::None;  // 00 none, 01 treated as none
  }
}

// ---- One chip --------------------------------------------------------------------------------

BalancerChip::BalancerChip(int board, int firstCell, Battery& battery, const SimTime& time)
    : board_(board),
      firstCell_(firstCell),
      battery_(battery),
      time_(time),
      lastHeardAt_(time.now) {}

bool BalancerChip::write(std::uint16_t word) {
  if (!crc4Valid(word)) return false;
  word_ = word;
  return true;
}

void BalancerChip::applyActions(std::uint16_t word) {
  for (int c = 0; c < kCellsPerBalancer; ++c) {
    battery_.setBalance(board_, firstCell_ + c, actionOf(word, c), time_.now);
  }
}

void BalancerChip::execute() {
  executing_ = true;
  executingWord_ = word_;
  lastHeardAt_ = time_.now;
  applyActions(word_);
}

void BalancerChip::suspend() {
  executing_ = false;
  applyActions(kNoneWord);
}

std::uint16_t BalancerChip::statusWord() const {
  unsigned status = 0;
  double sum = 0.0;
  bool cellOver = false;
  for (int c = 0; c < kCellsPerBalancer; ++c) {
    if (((gateFaults_ >> c) & 1) == 0) status |= 1u << (15 - c);
    const double v = battery_.cellVolts(board_, firstCell_ + c, time_.now);
    sum += v;
    cellOver = cellOver || v > kCellOverVolts;
  }
  if (cellOver) status |= 1u << 9;
  if (sum > kStackOverVolts) status |= 1u << 8;
  if (battery_.dieCelsius(board_) < kTempLimitCelsius) status |= 1u << 7;
  return withCrc4(static_cast<std::uint16_t>(status));
}

void BalancerChip::setGateFault(int cell, bool fault) {
  gateFaults_ = fault ? gateFaults_ | (1u << cell) : gateFaults_ & ~(1u << cell);
}

SimMicros BalancerChip::nextEventTime() const {
  return executing_ ? later(lastHeardAt_, kKeepAliveMicros) : kNever;
}

void BalancerChip::runDueEvents() {
  if (executing_ && later(lastHeardAt_, kKeepAliveMicros) <= time_.now) suspend();
}

// ---- The chain of one board ------------------------------------------------------------------

BalancerChain::BalancerChain(int board, const MonitorChip& monitor, Battery& battery,
                             const SimTime& time, bool topChip)
    : monitor_(monitor), bottom_(board, 0, battery, time) {
  if (topChip) top_.emplace(board, kCellsPerBalancer, battery, time);
}

bool BalancerChain::pathOpen() const {
  return monitor_.gpio1Low();
}

void BalancerChain::chipSelectRose() {
  frame_ = Frame::None;
  data_.clear();
  reply_.clear();
  replyPos_ = 0;
}

void BalancerChain::chipSelectFell() {
  if (frame_ == Frame::Command) commit();
  frame_ = Frame::None;
  data_.clear();
  reply_.clear();
}

std::uint8_t BalancerChain::exchange(std::uint8_t mosi, bool chipSelectHigh) {
  if (!chipSelectHigh || !pathOpen()) return 0xFF;
  std::uint8_t out = 0xFF;
  if (replyPos_ < reply_.size()) out = reply_[replyPos_++];
  switch (frame_) {
    case Frame::None:
      if ((mosi >> 3) != kBalancerAddress) {
        frame_ = Frame::Ignore;
        break;
      }
      frame_ = Frame::Command;
      command_ = mosi;
      bottom_.heard();
      if (top_) top_->heard();
      if (evenParity(mosi)) {
        const auto mode = static_cast<BalancerMode>((mosi >> 1) & 0x3);
        const bool status = mode == BalancerMode::ReadStatus;
        if (status || mode == BalancerMode::ReadCommand) {
          for (const BalancerChip* chip : {&bottom_, top()}) {
            if (chip == nullptr) continue;
            std::uint16_t word = status ? chip->statusWord() : chip->word();
            if (corruptReplies_) word ^= 0x0001;
            reply_.push_back(static_cast<std::uint8_t>(word >> 8));
            reply_.push_back(static_cast<std::uint8_t>(word & 0xFF));
          }
        }
      }
      break;
    case Frame::Command:
      if (data_.size() < kMaxFrameBytes) data_.push_back(mosi);
      break;
    case Frame::Ignore:
      break;
  }
  return out;
}

void BalancerChain::commit() {
  if (!evenParity(command_)) {
    bottom_.suspend();
    if (top_) top_->suspend();
    return;
  }
  switch (static_cast<BalancerMode>((command_ >> 1) & 0x3)) {
    case BalancerMode::Write: {
      if (data_.empty() || data_.size() % 2 != 0) return;
      const std::size_t words = data_.size() / 2;
      auto wordAt = [this](std::size_t i) {
        return static_cast<std::uint16_t>((data_[2 * i] << 8) | data_[2 * i + 1]);
      };
      bottom_.write(wordAt(words - 1));
      if (top_ && words >= 2) top_->write(wordAt(words - 2));
      break;
    }
    case BalancerMode::Execute:
      bottom_.execute();
      if (top_) top_->execute();
      break;
    case BalancerMode::ReadCommand:
    case BalancerMode::ReadStatus:
      break;
  }
}

SimMicros BalancerChain::nextEventTime() const {
  return std::min(bottom_.nextEventTime(), top_ ? top_->nextEventTime() : kNever);
}

void BalancerChain::runDueEvents() {
  bottom_.runDueEvents();
  if (top_) top_->runDueEvents();
}

}  // namespace kb::sim
