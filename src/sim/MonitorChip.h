#pragma once
// One simulated stack-monitor chip on the SPI bus, measuring the twelve cells of its board.
//
// Frames are the bytes clocked while chip select is low. A first byte of 0x80 or more is an
// address: address, PEC(address), command, PEC(command); otherwise the frame is a broadcast:
// command, PEC(command). A frame with a wrong PEC, or addressed to another chip, is ignored from
// there on. Read commands are answered only when addressed; the reply (data bytes, then the PEC
// of the data bytes) is driven on the bytes clocked after the command's PEC. A configuration
// write takes effect when chip select rises, if all six data bytes and their PEC arrived intact.
//
// Watchdog: a command accepted by the chip (right PECs, for this chip or broadcast, a known code)
// restarts it. After 2.5 s without one the configuration returns to its reset values (CFGR0 0x60:
// GPIO2 and GPIO1 high, poll toggle, 12 cells, CDC 0; CFGR1..CFGR5 0x00: no discharge, no masks,
// comparisons off), the flags are cleared, and CFGR0 bit 7 reads 0 until the next configuration
// write. At power-up the registers hold the reset values and bit 7 reads 1.
//
// Conversions: with CDC 0 (standby) conversion starts are ignored. Otherwise a start takes 13 ms
// (CDC 1..4) or 21 ms (CDC 5..7) of simulated time; the results appear all at once when it ends,
// measured at that moment. A new start replaces one in progress. Select digit 0 converts all
// cells (sensors), 1..C one cell (1..3 one sensor), D/E/F fill every result of that kind with
// 0xFFF/0x555/0xAAA. Result registers power up cleared (0xFFF). Discharge is not paused by a
// measurement, so the 0x6s/0x7s starts measure exactly as 0x1s/0x2s.
//
// Flags: after every real cell conversion the converted cells are compared with the limits
// (under-voltage when code < 16 x (VUV + 1), over-voltage when code > 16 x VOV, i.e. below
// (VUV - 31) x 24 mV and above (VOV - 32) x 24 mV; a limit code of 0 is off). With CDC 2..7 the
// comparator also compares all cells every 13/130/500/130/500/2000 ms. Flags are not latched: each
// comparison replaces them. Masked cells (and cells 11, 12 in 10-cell mode) read no flags.
//
// Poll signalling: after PLADC the chip drives 0x00 on every following byte of the frame while a
// conversion is in progress and 0xFF once none is; after PLINT 0x00 while an unmasked flag is set,
// else 0xFF. The level is the same whether CFGR0 asks for level or toggle polling.
//
// Open wire on cell C (the wire to its positive terminal): normal conversions still read the true
// voltage (the input filter holds it). An open-wire conversion reads cell C as 0 V (code 0x200)
// and cell C + 1 as the sum of cells C and C + 1.
//
// Self-test fault on cell C: a pattern conversion (select D, E or F) leaves cell C's result one
// off the pattern, its lowest bit flipped (0x554 for 0x555), as a broken bit of its converter
// would; measuring conversions are unaffected.
//
// Thermal shutdown: the configuration is held at its reset values (writes are not applied, bit 7
// reads 0), conversion starts are ignored, reads are still answered and RDTMP reports the
// shutdown bit. On recovery the chip stays at its reset configuration until the next write.
//
// ITMP reads the die temperature as kelvin x 8 mV.
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "sim/Battery.h"
#include "sim/SimRandom.h"
#include "sim/SpiBus.h"

namespace kb::sim {

inline constexpr SimMicros kWatchdogMicros = 2'500'000;
inline constexpr SimMicros kFastMeasureMicros = 13'000;  // CDC 1..4
inline constexpr SimMicros kSlowMeasureMicros = 21'000;  // CDC 5..7
inline constexpr std::array<SimMicros, 8> kComparatorPeriods = {
    0, 0, 13'000, 130'000, 500'000, 130'000, 500'000, 2'000'000};
inline constexpr std::array<std::uint8_t, 6> kResetConfig = {0x60, 0x00, 0x00, 0x00, 0x00, 0x00};
inline constexpr std::uint16_t kClearedResult = 0xFFF;
inline constexpr double kDieVoltsPerKelvin = 0.008;

// 12-bit result code of a voltage: volts / 1.5 mV + 512, rounded, held within 0..0xFFF.
std::uint16_t voltsToCode(double volts);

class MonitorChip final : public SpiDevice {
 public:
  enum class Command : std::uint8_t {
    WRCFG = 0x01,
    RDCFG = 0x02,
    RDCV = 0x04,
    RDFLG = 0x0C,
    RDTMP = 0x0E,
    PLADC = 0x40,
    PLINT = 0x50,
  };
  enum class ConversionKind { Cells, OpenWire, Temperatures };

  // board: 0-based index into the battery.
  MonitorChip(int board, std::uint8_t address, Battery& battery, const SimTime& time,
              SplitMix64& random, double pecFaultRate);

  void chipSelectFell() override;
  void chipSelectRose() override;
  std::uint8_t exchange(std::uint8_t mosi, bool chipSelectHigh) override;

  // Time-driven behaviour: the earliest pending event (kNever when none), and running every event
  // due at the present simulated time, in time order.
  SimMicros nextEventTime() const;
  void runDueEvents();

  // Faults.
  void setOpenWire(int cell, bool open);
  void setSelfTestFault(int cell, bool faulty);
  // recoverAt: simulated time of recovery; none (or kNever) stays in shutdown.
  void enterThermalShutdown(std::optional<SimMicros> recoverAt);

  // Inspection.
  int board() const { return board_; }
  std::uint8_t address() const { return address_; }
  const std::array<std::uint8_t, 6>& config() const { return config_; }
  std::uint8_t readBackCfgr0() const;
  bool watchdogOk() const { return watchdogOk_; }
  bool thermalShutdown() const { return thermal_; }
  bool converting() const { return conversion_.has_value(); }
  bool gpio1Low() const { return (config_[0] & 0x20) == 0; }
  int cdc() const { return config_[0] & 0x07; }
  bool tenCellMode() const { return (config_[0] & 0x08) != 0; }
  bool dischargeBit(int cell) const;
  bool maskBit(int cell) const;
  std::uint16_t cellResult(int cell) const { return cells_.at(static_cast<std::size_t>(cell)); }
  std::uint16_t temperatureResult(int k) const { return temps_.at(static_cast<std::size_t>(k)); }
  // The three flag bytes as RDFLG returns them.
  std::array<std::uint8_t, 3> flagBytes() const;

 private:
  enum class Parse { Idle, First, AddressPec, Command, CommandPec, WriteData, Reply, Poll, Ignore };
  struct Conversion {
    ConversionKind kind;
    int select;
    SimMicros doneAt;
  };

  void take(std::uint8_t byte);
  void accept(std::uint8_t command, bool addressed);
  void startConversion(ConversionKind kind, int select);
  void finishConversion();
  void compareAll();
  void applyConfig(const std::array<std::uint8_t, 6>& config);
  void resetConfig();
  void setFlags(int cell, std::uint16_t code);
  bool anyUnmaskedFlag() const;
  void prepareReply(std::uint8_t command);
  SimMicros watchdogDeadline() const;

  int board_;
  std::uint8_t address_;
  Battery& battery_;
  const SimTime& time_;
  SplitMix64& random_;
  double pecFaultRate_;

  std::array<std::uint8_t, 6> config_ = kResetConfig;
  bool watchdogOk_ = true;
  SimMicros lastCommandAt_ = 0;
  std::array<std::uint16_t, kCellsPerBoard> cells_{};
  std::array<std::uint16_t, 3> temps_{};
  std::uint16_t uvFlags_ = 0;  // bit i: cell i
  std::uint16_t ovFlags_ = 0;
  std::optional<Conversion> conversion_;
  SimMicros nextCompareAt_ = kNever;
  std::uint16_t openWires_ = 0;
  std::uint16_t selfTestFaults_ = 0;  // bit i: cell i
  bool thermal_ = false;
  SimMicros thermalUntil_ = kNever;

  Parse parse_ = Parse::Idle;
  std::uint8_t frameAddress_ = 0;
  std::uint8_t frameCommand_ = 0;
  bool frameAddressed_ = false;
  std::vector<std::uint8_t> writeData_;
  std::vector<std::uint8_t> reply_;
  std::size_t replyPos_ = 0;
};

}  // namespace kb::sim
