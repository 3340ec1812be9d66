#include "sim/MonitorChip.h"

#include <algorithm>
#include <cmath>

#include "sim/SimCrc.h"

namespace kb::sim {

namespace {

constexpr std::size_t kConfigBytes = 6;
constexpr int kTenCells = 10;
constexpr int kSelectClear = 0xD;
constexpr int kSelectTest1 = 0xE;
constexpr int kSelectTest2 = 0xF;

SimMicros measureMicros(int cdc) {
  return cdc >= 5 ? kSlowMeasureMicros : kFastMeasureMicros;
}

// Self-test and clear patterns by select digit; nullopt for a measuring select.
std::optional<std::uint16_t> patternOf(int select) {
  switch (select) {
    case kSelectClear:
      return 0xFFF;
    case kSelectTest1:
      return 0x555;
    case kSelectTest2:
      return 0xAAA;
    default:
      return std::nullopt;
  }
}

// Two 12-bit codes in three bytes, little-endian.
void packPair(std::uint16_t first, std::uint16_t second, std::vector<std::uint8_t>& out) {
  out.push_back(static_cast<std::uint8_t>(first & 0xFF));
  out.push_back(static_cast<std::uint8_t>(((first >> 8) & 0x0F) | ((second & 0x0F) << 4)));
  out.push_back(static_cast<std::uint8_t>((second >> 4) & 0xFF));
}

}  // namespace

std::uint16_t voltsToCode(double volts) {
  const long code = std::lround(volts / 0.0015 + 512.0);
  return static_cast<std::uint16_t>(std::clamp(code, 0L, 0xFFFL));
}

MonitorChip::MonitorChip(int board, std::uint8_t address, Battery& battery, const SimTime& time,
                         SplitMix64& random, double pecFaultRate)
    : board_(board),
      address_(address),
      battery_(battery),
      time_(time),
      random_(random),
      pecFaultRate_(pecFaultRate),
      lastCommandAt_(time.now) {
  cells_.fill(kClearedResult);
  temps_.fill(kClearedResult);
}

// ---- SPI -------------------------------------------------------------------------------------

void MonitorChip::chipSelectFell() {
  parse_ = Parse::First;
  writeData_.clear();
  reply_.clear();
  replyPos_ = 0;
}

void MonitorChip::chipSelectRose() {
  if (parse_ == Parse::WriteData && writeData_.size() > kConfigBytes) {
    const std::span<const std::uint8_t> data(writeData_.data(), kConfigBytes);
    if (pec8(data) == writeData_[kConfigBytes] && !thermal_) {
      std::array<std::uint8_t, 6> config{};
      std::copy(data.begin(), data.end(), config.begin());
      watchdogOk_ = true;
      applyConfig(config);
    }
  }
  parse_ = Parse::Idle;
  writeData_.clear();
  reply_.clear();
}

std::uint8_t MonitorChip::exchange(std::uint8_t mosi, bool chipSelectHigh) {
  if (chipSelectHigh) return 0xFF;
  std::uint8_t out = 0xFF;
  if (parse_ == Parse::Reply) {
    out = replyPos_ < reply_.size() ? reply_[replyPos_++] : std::uint8_t{0xFF};
  } else if (parse_ == Parse::Poll) {
    const bool low = frameCommand_ == static_cast<std::uint8_t>(Command::PLADC)
                         ? conversion_.has_value()
                         : anyUnmaskedFlag();
    out = low ? 0x00 : 0xFF;
  }
  take(mosi);
  return out;
}

void MonitorChip::take(std::uint8_t byte) {
  switch (parse_) {
    case Parse::First:
      if (byte >= 0x80) {
        frameAddressed_ = true;
        frameAddress_ = byte;
        parse_ = Parse::AddressPec;
      } else {
        frameAddressed_ = false;
        frameCommand_ = byte;
        parse_ = Parse::CommandPec;
      }
      break;
    case Parse::AddressPec:
      parse_ =
          byte == pec8(frameAddress_) && frameAddress_ == address_ ? Parse::Command : Parse::Ignore;
      break;
    case Parse::Command:
      frameCommand_ = byte;
      parse_ = Parse::CommandPec;
      break;
    case Parse::CommandPec:
      if (byte == pec8(frameCommand_)) {
        accept(frameCommand_, frameAddressed_);
      } else {
        parse_ = Parse::Ignore;
      }
      break;
    case Parse::WriteData:
      if (writeData_.size() <= kConfigBytes) writeData_.push_back(byte);
      break;
    case Parse::Idle:
    case Parse::Reply:
    case Parse::Poll:
    case Parse::Ignore:
      break;
  }
}

void MonitorChip::accept(std::uint8_t command, bool addressed) {
  const int high = command >> 4;
  const int select = command & 0x0F;
  parse_ = Parse::Ignore;
  switch (command) {
    case static_cast<std::uint8_t>(Command::WRCFG):
      parse_ = Parse::WriteData;
      break;
    case static_cast<std::uint8_t>(Command::RDCFG):
    case static_cast<std::uint8_t>(Command::RDCV):
    case static_cast<std::uint8_t>(Command::RDFLG):
    case static_cast<std::uint8_t>(Command::RDTMP):
      if (!addressed) return;  // reads are never answered by broadcast
      prepareReply(command);
      parse_ = Parse::Reply;
      break;
    case static_cast<std::uint8_t>(Command::PLADC):
    case static_cast<std::uint8_t>(Command::PLINT):
      parse_ = Parse::Poll;
      break;
    default:
      if (high == 0x1 || high == 0x6) {
        startConversion(ConversionKind::Cells, select);
      } else if (high == 0x2 || high == 0x7) {
        startConversion(ConversionKind::OpenWire, select);
      } else if (high == 0x3) {
        startConversion(ConversionKind::Temperatures, select);
      } else {
        return;  // unknown code: not a command of this chip
      }
      break;
  }
  lastCommandAt_ = time_.now;
}

// ---- Configuration ---------------------------------------------------------------------------

void MonitorChip::applyConfig(const std::array<std::uint8_t, 6>& config) {
  const int oldCdc = cdc();
  config_ = config;
  for (int cell = 0; cell < kCellsPerBoard; ++cell) {
    battery_.setDischarge(board_, cell, dischargeBit(cell), time_.now);
  }
  const int newCdc = cdc();
  if (newCdc == 0) conversion_.reset();
  const SimMicros period = kComparatorPeriods[static_cast<std::size_t>(newCdc)];
  if (period <= 0) {
    nextCompareAt_ = kNever;
  } else if (newCdc != oldCdc || nextCompareAt_ == kNever) {
    nextCompareAt_ = later(time_.now, period);
  }
}

void MonitorChip::resetConfig() {
  applyConfig(kResetConfig);
  watchdogOk_ = false;
  uvFlags_ = 0;
  ovFlags_ = 0;
}

std::uint8_t MonitorChip::readBackCfgr0() const {
  return static_cast<std::uint8_t>((watchdogOk_ ? 0x80 : 0x00) | (config_[0] & 0x7F));
}

bool MonitorChip::dischargeBit(int cell) const {
  return cell < 8 ? ((config_[1] >> cell) & 1) != 0 : ((config_[2] >> (cell - 8)) & 1) != 0;
}

bool MonitorChip::maskBit(int cell) const {
  return cell < 4 ? ((config_[2] >> (4 + cell)) & 1) != 0 : ((config_[3] >> (cell - 4)) & 1) != 0;
}

// ---- Conversions and comparisons -------------------------------------------------------------

void MonitorChip::startConversion(ConversionKind kind, int select) {
  if (thermal_ || cdc() == 0) return;
  conversion_ = Conversion{kind, select, later(time_.now, measureMicros(cdc()))};
}

void MonitorChip::setFlags(int cell, std::uint16_t code) {
  const unsigned vuv = config_[4];
  const unsigned vov = config_[5];
  const auto bit = static_cast<std::uint16_t>(1u << cell);
  const bool under = vuv != 0 && code < 16 * (vuv + 1);
  const bool over = vov != 0 && code > 16 * vov;
  uvFlags_ = static_cast<std::uint16_t>(under ? uvFlags_ | bit : uvFlags_ & ~bit);
  ovFlags_ = static_cast<std::uint16_t>(over ? ovFlags_ | bit : ovFlags_ & ~bit);
}

void MonitorChip::finishConversion() {
  const Conversion conv = *conversion_;
  conversion_.reset();
  const std::optional<std::uint16_t> pattern = patternOf(conv.select);
  if (conv.kind == ConversionKind::Temperatures) {
    if (pattern) {
      temps_.fill(*pattern);
      return;
    }
    const double kelvin = battery_.dieCelsius(board_) + 273.15;
    const std::array<double, 3> volts = {battery_.sensorVolts(board_, 0),
                                         battery_.sensorVolts(board_, 1),
                                         kelvin * kDieVoltsPerKelvin};
    for (int k = 0; k < 3; ++k) {
      if (conv.select == 0 || conv.select == k + 1) {
        temps_[static_cast<std::size_t>(k)] = voltsToCode(volts[static_cast<std::size_t>(k)]);
      }
    }
    return;
  }
  if (pattern) {
    cells_.fill(*pattern);
    for (int c = 0; c < kCellsPerBoard; ++c) {
      if (((selfTestFaults_ >> c) & 1) != 0)
        cells_[static_cast<std::size_t>(c)] = static_cast<std::uint16_t>(*pattern ^ 1u);
    }
    return;
  }
  if (conv.select > kCellsPerBoard) return;
  std::array<double, kCellsPerBoard> volts{};
  for (int c = 0; c < kCellsPerBoard; ++c) {
    volts[static_cast<std::size_t>(c)] = battery_.cellVolts(board_, c, time_.now);
  }
  if (conv.kind == ConversionKind::OpenWire) {
    // The test current pulls a floating input down: its cell reads 0 V, the cell above reads both.
    for (int c = 0; c < kCellsPerBoard; ++c) {
      if (((openWires_ >> c) & 1) == 0) continue;
      if (c + 1 < kCellsPerBoard)
        volts[static_cast<std::size_t>(c + 1)] += volts[static_cast<std::size_t>(c)];
      volts[static_cast<std::size_t>(c)] = 0.0;
    }
  }
  for (int c = 0; c < kCellsPerBoard; ++c) {
    if (conv.select != 0 && conv.select != c + 1) continue;
    const std::uint16_t code = voltsToCode(volts[static_cast<std::size_t>(c)]);
    cells_[static_cast<std::size_t>(c)] = code;
    if (conv.kind == ConversionKind::Cells) setFlags(c, code);
  }
}

void MonitorChip::compareAll() {
  for (int c = 0; c < kCellsPerBoard; ++c)
    setFlags(c, voltsToCode(battery_.cellVolts(board_, c, time_.now)));
}

std::array<std::uint8_t, 3> MonitorChip::flagBytes() const {
  std::array<std::uint8_t, 3> bytes{};
  const int count = tenCellMode() ? kTenCells : kCellsPerBoard;
  for (int c = 0; c < count; ++c) {
    if (maskBit(c)) continue;
    const int shift = 2 * (c % 4);
    std::uint8_t& byte = bytes[static_cast<std::size_t>(c / 4)];
    if (((uvFlags_ >> c) & 1) != 0) byte = static_cast<std::uint8_t>(byte | (1 << shift));
    if (((ovFlags_ >> c) & 1) != 0) byte = static_cast<std::uint8_t>(byte | (2 << shift));
  }
  return bytes;
}

bool MonitorChip::anyUnmaskedFlag() const {
  const std::array<std::uint8_t, 3> bytes = flagBytes();
  return (bytes[0] | bytes[1] | bytes[2]) != 0;
}

// ---- Replies ---------------------------------------------------------------------------------

void MonitorChip::prepareReply(std::uint8_t command) {
  reply_.clear();
  replyPos_ = 0;
  switch (command) {
    case static_cast<std::uint8_t>(Command::RDCFG):
      reply_.push_back(readBackCfgr0());
      reply_.insert(reply_.end(), config_.begin() + 1, config_.end());
      break;
    case static_cast<std::uint8_t>(Command::RDCV): {
      const int count = tenCellMode() ? kTenCells : kCellsPerBoard;
      for (int c = 0; c < count; c += 2) {
        packPair(cells_[static_cast<std::size_t>(c)], cells_[static_cast<std::size_t>(c + 1)],
                 reply_);
      }
      break;
    }
    case static_cast<std::uint8_t>(Command::RDFLG): {
      const std::array<std::uint8_t, 3> bytes = flagBytes();
      reply_.assign(bytes.begin(), bytes.end());
      break;
    }
    case static_cast<std::uint8_t>(Command::RDTMP):
      packPair(temps_[0], temps_[1], reply_);
      reply_.push_back(static_cast<std::uint8_t>(temps_[2] & 0xFF));
      reply_.push_back(
          static_cast<std::uint8_t>(((temps_[2] >> 8) & 0x0F) | (thermal_ ? 0x10 : 0x00)));
      break;
    default:
      return;
  }
  std::uint8_t pec = pec8(reply_);
  if (pecFaultRate_ > 0.0 && random_.unit() < pecFaultRate_) {
    pec = static_cast<std::uint8_t>(pec ^ (1u << random_.below(8)));
  }
  reply_.push_back(pec);
}

// ---- Time ------------------------------------------------------------------------------------

SimMicros MonitorChip::watchdogDeadline() const {
  return watchdogOk_ && !thermal_ ? later(lastCommandAt_, kWatchdogMicros) : kNever;
}

SimMicros MonitorChip::nextEventTime() const {
  SimMicros next = std::min(thermal_ ? thermalUntil_ : kNever, watchdogDeadline());
  if (conversion_) next = std::min(next, conversion_->doneAt);
  return std::min(next, nextCompareAt_);
}

void MonitorChip::runDueEvents() {
  const SimMicros now = time_.now;
  for (;;) {
    if (thermal_ && thermalUntil_ <= now) {
      thermal_ = false;
      thermalUntil_ = kNever;
    } else if (watchdogDeadline() <= now) {
      resetConfig();
    } else if (conversion_ && conversion_->doneAt <= now) {
      finishConversion();
    } else if (nextCompareAt_ <= now) {
      compareAll();
      // Every period is at least 13 ms: each pass moves the next comparison forward.
      nextCompareAt_ = later(nextCompareAt_, kComparatorPeriods[static_cast<std::size_t>(cdc())]);
    } else {
      break;
    }
  }
}

// ---- Faults ----------------------------------------------------------------------------------

void MonitorChip::setOpenWire(int cell, bool open) {
  const auto bit = static_cast<std::uint16_t>(1u << cell);
  openWires_ = static_cast<std::uint16_t>(open ? openWires_ | bit : openWires_ & ~bit);
}

void MonitorChip::setSelfTestFault(int cell, bool faulty) {
  if (cell < 0 || cell >= kCellsPerBoard) return;
  const auto bit = static_cast<std::uint16_t>(1u << cell);
  selfTestFaults_ =
      static_cast<std::uint16_t>(faulty ? selfTestFaults_ | bit : selfTestFaults_ & ~bit);
}

void MonitorChip::enterThermalShutdown(std::optional<SimMicros> recoverAt) {
  resetConfig();
  conversion_.reset();
  thermal_ = true;
  thermalUntil_ = recoverAt.value_or(kNever);
}

}  // namespace kb::sim
