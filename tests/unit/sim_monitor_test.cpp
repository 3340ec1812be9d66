// The simulated monitor chip, through the controller link and on the bare chip model.
#include <gtest/gtest.h>

#include <cmath>

#include "sim/MonitorChip.h"
#include "sim/SimController.h"
#include "sim_helpers.h"

namespace kb::sim {
namespace {

using test::measureConfig;
using test::parseReply;
using test::Rig;
using test::unpackCodes;

SimOptions boards(int n) {
  SimOptions o;
  o.boards = n;
  return o;
}

TEST(SimMonitor, FramesOfTheProgramAreAnsweredAsItExpects) {
  Rig rig;
  // The builders of these tests produce the program's strings.
  EXPECT_EQ(test::writeConfig(0, {0xE0, 0, 0, 0, 0, 0}), "MSXxT01SC7SE0S00S00S00S00S00SFEX");
  EXPECT_EQ(test::readFrame(0x80, 0x02, 7, "MSXxT"), "MSXxT80T49T02TCERRRRRRRX");
  rig.command("MSXxT01SC7SE0S00S00S00S00S00SFEX");
  const std::string cfg = rig.send("MSXxT80T49T02TCERRRRRRRX", 22);
  EXPECT_EQ(cfg, "FFFFFFFFE00000000000FE");  // bit 7 set: watchdog not timed out

  const std::string cells = rig.send("MSxT80T49T04TDC" + std::string(19, 'R') + "X", 46);
  EXPECT_EQ(cells.find(' '), std::string::npos) << cells;
  EXPECT_TRUE(parseReply(cells, 18).pecMatches());
  const std::string flags = rig.send("MSxT80T49T0CTE4RRRRX", 16);
  EXPECT_EQ(flags, "FFFFFFFF000000ED");
  const std::string temps = rig.send("MSxT80T49T0ETEARRRRRRX", 20);
  EXPECT_TRUE(parseReply(temps, 5).pecMatches()) << temps;

  // Start and poll frames: no reply is read; they must not disturb the chip.
  rig.command("MSxS10SB0X");
  rig.command("MSxS80S49S40S07");
  rig.command("MSX");
  rig.command("MSxS40S07X");
  EXPECT_EQ(rig.send("MSXxT80T49T02TCERRRRRRRX", 22), cfg);
}

TEST(SimMonitor, ConfigurationIsKeptPerAddress) {
  Rig rig(boards(2));
  const std::vector<std::uint8_t> cfg81 = {0xE5, 0x81, 0x42, 0x10, 0x9C, 0xCF};
  rig.command(test::writeConfig(0x81, cfg81));
  const test::Reply r81 = rig.read(0x81, 0x02, 6);
  EXPECT_TRUE(r81.pecMatches());
  EXPECT_EQ(r81.data, cfg81);
  const test::Reply r80 = rig.read(0x80, 0x02, 6);
  EXPECT_TRUE(r80.pecMatches());
  EXPECT_EQ(r80.data, (std::vector<std::uint8_t>{0xE0, 0, 0, 0, 0, 0}));  // reset values
  // A broadcast reaches both.
  rig.command(test::writeConfig(0, measureConfig()));
  EXPECT_EQ(rig.read(0x80, 0x02, 6).data, measureConfig());
  EXPECT_EQ(rig.read(0x81, 0x02, 6).data, measureConfig());
}

TEST(SimMonitor, FramesWithAWrongPecOrAnotherAddressAreIgnored) {
  const std::vector<std::uint8_t> cfg = {0xE3, 0, 0, 0, 0x10, 0x20};
  const std::string good = test::writeConfig(0x80, cfg);  // MSXxT80S49S01SC7S..SppX
  struct Case {
    const char* what;
    std::string frame;
  };
  std::string badAddressPec = good;
  badAddressPec.replace(good.find("S49"), 3, "S48");
  std::string badCommandPec = good;
  badCommandPec.replace(good.find("SC7"), 3, "SC6");
  std::string badDataPec = good;
  badDataPec.replace(good.size() - 3, 2, test::h(kb::test::crc8(cfg) ^ 1));
  std::string shortData = good;
  shortData.erase(good.size() - 6, 3);  // one data byte missing
  const Case cases[] = {
      {"address PEC", badAddressPec},
      {"command PEC", badCommandPec},
      {"data PEC", badDataPec},
      {"short frame", shortData},
      {"other address", test::writeConfig(0x81, cfg)},
  };
  for (const Case& c : cases) {
    Rig rig;
    rig.command(c.frame);
    EXPECT_EQ(rig.read(0x80, 0x02, 6).data[0], 0xE0) << c.what;
    rig.command(good);
    EXPECT_EQ(rig.read(0x80, 0x02, 6).data, cfg) << c.what << ": the good frame still works";
  }
}

TEST(SimMonitor, ReadsAreAnsweredOnlyWhenAddressedToTheChip) {
  Rig rig(boards(2));
  EXPECT_EQ(rig.send("MSxT02TCERRRRRRRX", 18), std::string(18, 'F')) << "broadcast read";
  EXPECT_EQ(rig.send(test::readFrame(0x85, 0x02, 7), 22), std::string(22, 'F'));
  std::string badPec = test::readFrame(0x81, 0x02, 7);
  badPec.replace(badPec.find("T02TCE"), 6, "T02TCF");
  EXPECT_EQ(rig.send(badPec, 22), std::string(22, 'F'));
}

TEST(SimMonitor, StandbyIgnoresConversionStarts) {
  Rig rig;
  rig.convert(0, 0x10);
  EXPECT_EQ(rig.readCells(0x80), std::vector<int>(12, 0xFFF)) << "results power up cleared";
  rig.command(test::writeConfig(0, measureConfig(0xE1)));
  rig.convert(0, 0x10);
  EXPECT_NE(rig.readCells(0x80), std::vector<int>(12, 0xFFF));
}

TEST(SimMonitor, CellCodesFollowTheBatteryWithinOneCode) {
  for (const bool tenCells : {false, true}) {
    Rig rig(boards(2));
    rig.command(test::writeConfig(0, measureConfig(tenCells ? 0xE9 : 0xE1)));
    rig.stack.battery().setCellVolts(1, 0, 3.3017, rig.stack.now());
    rig.stack.battery().setCellVolts(1, 9, 4.0, rig.stack.now());
    rig.convert(0, 0x10);
    const int count = tenCells ? 10 : 12;
    const test::Reply reply = rig.read(0x81, 0x04, count * 3 / 2);
    EXPECT_TRUE(reply.pecMatches());
    const std::vector<int> codes = unpackCodes(reply.data, count);
    for (int c = 0; c < count; ++c) {
      const double volts = rig.stack.battery().cellVolts(1, c, rig.stack.now());
      EXPECT_NEAR(codes[static_cast<std::size_t>(c)], volts / 0.0015 + 512, 1.0)
          << "cell " << c + 1;
    }
    // Past the data and its PEC nothing drives the line.
    const std::string wide = rig.send(test::readFrame(0x81, 0x04, 20), 48);
    EXPECT_EQ(wide.substr(static_cast<std::size_t>(10 + 3 * count)),
              std::string(static_cast<std::size_t>(38 - 3 * count), 'F'));
  }
}

TEST(SimMonitor, SingleCellSelectConvertsOnlyThatCell) {
  Rig rig;
  rig.command(test::writeConfig(0, measureConfig()));
  rig.convert(0, 0x1E);  // pattern everywhere first
  rig.convert(0, 0x1C);  // then cell 12 alone
  const std::vector<int> codes = rig.readCells(0x80);
  for (int c = 0; c < 11; ++c) EXPECT_EQ(codes[static_cast<std::size_t>(c)], 0x555);
  EXPECT_NE(codes[11], 0x555);
}

TEST(SimMonitor, SelfTestDigitsFillEveryResult) {
  struct Case {
    int digit;
    int pattern;
  };
  for (const Case& c : {Case{0xD, 0xFFF}, Case{0xE, 0x555}, Case{0xF, 0xAAA}}) {
    for (const int kind : {0x10, 0x20, 0x60, 0x70}) {
      Rig rig;
      rig.command(test::writeConfig(0, measureConfig()));
      rig.convert(0, 0x10);
      rig.convert(0, 0x30);
      rig.convert(0, kind | c.digit);
      rig.convert(0, 0x30 | c.digit);
      EXPECT_EQ(rig.readCells(0x80), std::vector<int>(12, c.pattern))
          << std::hex << (kind | c.digit);
      const test::Reply t = rig.read(0x80, 0x0E, 5);
      EXPECT_TRUE(t.pecMatches());
      const std::vector<int> temps = unpackCodes(t.data, 2);
      EXPECT_EQ(temps[0], c.pattern);
      EXPECT_EQ(temps[1], c.pattern);
      EXPECT_EQ(t.data[3] | ((t.data[4] & 0xF) << 8), c.pattern);
    }
  }
}

TEST(SimMonitor, TemperatureBytesCarryBothSensorsTheDieAndTheShutdownBit) {
  Rig rig;
  Battery& bat = rig.stack.battery();
  bat.setSensorVolts(0, 0, 1.2);
  bat.setSensorVolts(0, 1, 2.4);
  bat.setDieCelsius(0, 26.85);  // 300 K: 2.4 V
  rig.command(test::writeConfig(0, measureConfig()));
  rig.convert(0, 0x30);
  test::Reply t = rig.read(0x80, 0x0E, 5);
  ASSERT_TRUE(t.pecMatches());
  const std::vector<int> ext = unpackCodes(t.data, 2);
  EXPECT_EQ(ext[0], 1312);  // 1.2 V / 1.5 mV + 512
  EXPECT_EQ(ext[1], 2112);
  EXPECT_EQ(t.data[3] | ((t.data[4] & 0xF) << 8), 2112);
  EXPECT_EQ(t.data[4] & 0x10, 0);
  // Select 2 converts ETMP2 alone.
  bat.setSensorVolts(0, 0, 0.3);
  bat.setSensorVolts(0, 1, 0.6);
  rig.convert(0, 0x32);
  t = rig.read(0x80, 0x0E, 5);
  EXPECT_EQ(unpackCodes(t.data, 2), (std::vector<int>{1312, 912}));
}

TEST(SimMonitor, UnderAndOverVoltageFlagsFollowTheLimitsAndMasks) {
  // VUV 0x9C (3.0 V), VOV 0xCF (4.2 V).
  struct Case {
    int cell;  // 1..12
    double volts;
    bool masked;
    int flagByte;
    int flagValue;
  };
  const Case cases[] = {
      {1, 2.9, false, 0, 0x01}, {1, 4.3, false, 0, 0x02},  {4, 2.9, false, 0, 0x40},
      {4, 4.3, false, 0, 0x80}, {5, 2.9, false, 1, 0x01},  {8, 4.3, false, 1, 0x80},
      {9, 2.9, false, 2, 0x01}, {12, 4.3, false, 2, 0x80}, {1, 2.9, true, 0, 0},
      {7, 4.3, true, 1, 0},     {12, 2.9, true, 2, 0},     {6, 3.6, false, 1, 0},
  };
  for (const Case& c : cases) {
    Rig rig;
    std::vector<std::uint8_t> cfg = {0xE1, 0x00, 0x00, 0x00, 0x9C, 0xCF};
    if (c.masked) {
      if (c.cell <= 4)
        cfg[2] = static_cast<std::uint8_t>(1 << (3 + c.cell));
      else
        cfg[3] = static_cast<std::uint8_t>(1 << (c.cell - 5));
    }
    rig.command(test::writeConfig(0, cfg));
    for (int k = 0; k < 12; ++k) rig.stack.battery().setCellVolts(0, k, 3.6, rig.stack.now());
    rig.stack.battery().setCellVolts(0, c.cell - 1, c.volts, rig.stack.now());
    EXPECT_EQ(rig.read(0x80, 0x0C, 3).data, (std::vector<std::uint8_t>{0, 0, 0}))
        << "no flag before the conversion, cell " << c.cell;
    rig.convert(0, 0x10);
    const test::Reply f = rig.read(0x80, 0x0C, 3);
    EXPECT_TRUE(f.pecMatches());
    std::vector<std::uint8_t> expected = {0, 0, 0};
    expected[static_cast<std::size_t>(c.flagByte)] = static_cast<std::uint8_t>(c.flagValue);
    EXPECT_EQ(f.data, expected) << "cell " << c.cell << " at " << c.volts << " V";
  }
  // A limit code of 0 turns its comparison off.
  Rig rig;
  rig.command(test::writeConfig(0, {0xE1, 0, 0, 0, 0x00, 0x00}));
  rig.stack.battery().setCellVolts(0, 2, 0.1, rig.stack.now());
  rig.stack.battery().setCellVolts(0, 3, 4.9, rig.stack.now());
  rig.convert(0, 0x10);
  EXPECT_EQ(rig.read(0x80, 0x0C, 3).data, (std::vector<std::uint8_t>{0, 0, 0}));
}

TEST(SimMonitor, ComparatorRunsOnItsOwnOnlyWithCdcTwoAndUp) {
  for (const int cdc : {1, 2, 7}) {
    Rig rig;
    rig.command(test::writeConfig(0, {static_cast<std::uint8_t>(0xE0 | cdc), 0, 0, 0, 0x9C, 0}));
    rig.stack.battery().setCellVolts(0, 0, 2.5, rig.stack.now());
    rig.clock.advance(2.1);  // more than one comparator period of every CDC, less than the watchdog
    const bool flagged = rig.read(0x80, 0x0C, 3).data[0] == 0x01;
    EXPECT_EQ(flagged, cdc >= 2) << "CDC " << cdc;
  }
}

TEST(SimMonitor, PollsSignalOnTheDataLineWhileChipSelectStaysLow) {
  Rig rig;
  rig.command(test::writeConfig(0, {0xE1, 0, 0, 0, 0x9C, 0}));
  // Polled in the string that starts it, the conversion is busy: the data line reads 00; one
  // transaction later it is done and reads FF.
  EXPECT_EQ(rig.send("MSxS10SB0XxS80S49S40S07RR", 4), "0000");
  EXPECT_EQ(rig.send("RR", 4), "FFFF") << "next transaction, chip select still low";
  rig.command("MSX");
  EXPECT_EQ(rig.send("MSxS40S07RX", 2), "FF") << "broadcast poll, nothing busy";
  // Interrupt poll: low while an unmasked flag is set.
  EXPECT_EQ(rig.send("MSxS50S5BRX", 2), "FF");
  rig.stack.battery().setCellVolts(0, 0, 2.0, rig.stack.now());
  rig.convert(0, 0x10);
  EXPECT_EQ(rig.send(test::startFrame(0x80, 0x50, false) + "RX", 2), "00");
  rig.command(test::writeConfig(0, {0xE1, 0, 0x10, 0, 0x9C, 0}));  // mask cell 1
  EXPECT_EQ(rig.send(test::startFrame(0, 0x50, false) + "RX", 2), "FF");
}

TEST(SimMonitor, WatchdogReturnsTheConfigurationToResetValues) {
  Rig rig;
  const std::vector<std::uint8_t> cfg = {0xE2, 0x05, 0x00, 0x00, 0x9C, 0xCF};
  rig.command(test::writeConfig(0, cfg));
  EXPECT_TRUE(rig.stack.battery().discharging(0, 0));
  // Served by the keep-alive poll every 0.6 s, the configuration stays.
  for (int i = 0; i < 10; ++i) {
    rig.clock.advance(0.6);
    rig.command("MSxS40S07X");
  }
  EXPECT_EQ(rig.read(0x80, 0x02, 6).data, cfg);
  rig.clock.advance(2.6);
  EXPECT_EQ(rig.read(0x80, 0x02, 6).data, (std::vector<std::uint8_t>{0x60, 0, 0, 0, 0, 0}));
  EXPECT_FALSE(rig.stack.battery().discharging(0, 0));
  EXPECT_FALSE(rig.stack.battery().discharging(0, 2));
  rig.command("MSxS40S07X");
  EXPECT_EQ(rig.read(0x80, 0x02, 6).data[0], 0x60) << "bit 7 stays 0 until a write";
  rig.command(test::writeConfig(0, cfg));
  EXPECT_EQ(rig.read(0x80, 0x02, 6).data[0], 0xE2);
}

TEST(SimMonitor, DischargeBitsDrainTheirCells) {
  Rig rig;
  // Cells 2 and 10 (CFGR1 bit 1, CFGR2 bit 1).
  rig.command(test::writeConfig(0, {0xE1, 0x02, 0x02, 0, 0, 0}));
  Battery& bat = rig.stack.battery();
  const SimMicros t0 = rig.stack.now();
  const double before2 = bat.cellVolts(0, 1, t0);
  const double before10 = bat.cellVolts(0, 9, t0);
  const double before3 = bat.cellVolts(0, 2, t0);
  rig.clock.advance(2.0);
  rig.command("MSxS40S07X");
  const SimMicros t1 = rig.stack.now();
  EXPECT_NEAR(bat.cellVolts(0, 1, t1), before2 - kDischargeRate * secondsOf(t1 - t0), 1e-9);
  EXPECT_NEAR(bat.cellVolts(0, 9, t1), before10 - kDischargeRate * secondsOf(t1 - t0), 1e-9);
  EXPECT_DOUBLE_EQ(bat.cellVolts(0, 2, t1), before3);
}

TEST(SimMonitor, OpenWireShowsOnlyInTheOpenWireConversion) {
  SimOptions o;
  o.openWires.push_back({1, 5});
  Rig rig(o);
  rig.command(test::writeConfig(0, measureConfig()));
  Battery& bat = rig.stack.battery();
  for (int c = 0; c < 12; ++c) bat.setCellVolts(0, c, 3.0 + 0.06 * c, rig.stack.now());
  rig.convert(0, 0x10);
  const std::vector<int> normal = rig.readCells(0x80);
  EXPECT_EQ(normal[4], voltsToCode(3.24));
  rig.convert(0, 0x20);
  const std::vector<int> open = rig.readCells(0x80);
  EXPECT_EQ(open[4], 0x200);
  EXPECT_EQ(open[5], voltsToCode(3.24 + 3.30));
  EXPECT_EQ(open[3], normal[3]);
  EXPECT_EQ(open[6], normal[6]);
}

TEST(SimMonitor, ThermalShutdownHoldsResetValuesUntilRecovery) {
  SimOptions o;
  o.boards = 2;
  o.thermal.push_back({2, 5.0});
  Rig rig(o);
  const std::vector<std::uint8_t> cfg = measureConfig(0xE1);
  rig.command(test::writeConfig(0, cfg));
  EXPECT_EQ(rig.read(0x81, 0x02, 6).data, (std::vector<std::uint8_t>{0x60, 0, 0, 0, 0, 0}));
  EXPECT_EQ(rig.read(0x80, 0x02, 6).data, cfg) << "the other board is unaffected";
  rig.convert(0, 0x1E);
  EXPECT_EQ(rig.readCells(0x81), std::vector<int>(12, 0xFFF)) << "conversion ignored";
  test::Reply t = rig.read(0x81, 0x0E, 5);
  EXPECT_TRUE(t.pecMatches());
  EXPECT_EQ(t.data[4] & 0x10, 0x10);
  EXPECT_EQ(rig.read(0x80, 0x0E, 5).data[4] & 0x10, 0);

  rig.clock.advance(5.0);
  t = rig.read(0x81, 0x0E, 5);
  EXPECT_EQ(t.data[4] & 0x10, 0) << "recovered";
  EXPECT_EQ(rig.read(0x81, 0x02, 6).data[0], 0x60) << "configuration reset until the next write";
  rig.command(test::writeConfig(0, cfg));
  EXPECT_EQ(rig.read(0x81, 0x02, 6).data, cfg);
}

// The bare chip on a bus, without the stack around it.
struct BareChip {
  SimTime time;
  Battery battery{1, 3, {}};
  SplitMix64 random{9};
  SpiBus bus;
  MonitorChip chip{0, 0x83, battery, time, random, 0.0};
  SimController controller{bus, "id"};
  BareChip() { bus.attach(chip); }
};

TEST(SimMonitorChip, WriteTakesEffectWhenChipSelectRises) {
  BareChip b;
  const std::vector<std::uint8_t> cfg = {0xE4, 0, 0, 0, 0, 0};
  std::string frame = test::writeConfig(0x83, cfg);
  frame.pop_back();  // no closing "X"
  b.controller.run(frame);
  EXPECT_EQ(b.chip.config()[0], 0x60);
  b.controller.run("X");
  EXPECT_EQ(b.chip.config()[0], 0xE4);
  EXPECT_EQ(b.chip.cdc(), 4);
}

TEST(SimMonitorChip, ConversionTimeFollowsTheDutyCycle) {
  for (int cdc = 1; cdc <= 7; ++cdc) {
    BareChip b;
    b.controller.run(test::writeConfig(0x83, measureConfig(static_cast<std::uint8_t>(0xE0 | cdc))));
    b.controller.run(test::startFrame(0x83, 0x1E));
    const SimMicros done = b.time.now + (cdc <= 4 ? 13'000 : 21'000);
    b.time.now = done - 1;
    b.chip.runDueEvents();
    EXPECT_TRUE(b.chip.converting()) << "CDC " << cdc;
    EXPECT_EQ(b.chip.cellResult(0), 0xFFF) << "CDC " << cdc;
    EXPECT_EQ(b.chip.nextEventTime(), done) << "CDC " << cdc;
    b.time.now = done;
    b.chip.runDueEvents();
    EXPECT_FALSE(b.chip.converting()) << "CDC " << cdc;
    EXPECT_EQ(b.chip.cellResult(0), 0x555) << "CDC " << cdc;
  }
}

}  // namespace
}  // namespace kb::sim
