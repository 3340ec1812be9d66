// Check codes, the SPI bus and the controller's token language of the simulated stack.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "TestCrc.h"
#include "sim/SimController.h"
#include "sim/SimCrc.h"
#include "sim/SpiBus.h"

namespace kb::sim {
namespace {

TEST(SimCodes, PecOfKnownBytes) {
  struct Case {
    std::vector<std::uint8_t> bytes;
    std::uint8_t pec;
  };
  const Case cases[] = {
      {{}, 0x41},     {{0x80}, 0x49},
      {{0x01}, 0xC7}, {{0x02}, 0xCE},
      {{0x0C}, 0xE4}, {{0x0E}, 0xEA},
      {{0x10}, 0xB0}, {{0x30}, 0x50},
      {{0x40}, 0x07}, {{0xE0, 0x00, 0x00, 0x00, 0x00, 0x00}, 0xFE},
  };
  for (const Case& c : cases) EXPECT_EQ(pec8(c.bytes), c.pec) << c.bytes.size();
  for (int i = 0; i < 256; ++i) {
    const auto byte = static_cast<std::uint8_t>(i);
    EXPECT_EQ(pec8(byte), test::crc8({byte})) << i;
  }
}

TEST(SimCodes, Crc4OfKnownWords) {
  struct Case {
    std::uint16_t word;  // data bits with the expected check code in bits 3..0
  };
  const Case cases[] = {{0x000F}, {0xC007}, {0x800E}, {0x0029}, {0xAAAA}, {0xFFF1}};
  for (const Case& c : cases) {
    EXPECT_EQ(crc4(c.word), c.word & 0xF) << std::hex << c.word;
    EXPECT_TRUE(crc4Valid(c.word));
    EXPECT_EQ(withCrc4(static_cast<std::uint16_t>(c.word & 0xFFF0)), c.word);
    // Any single flipped bit is caught.
    for (int bit = 0; bit < 16; ++bit) {
      EXPECT_FALSE(crc4Valid(static_cast<std::uint16_t>(c.word ^ (1u << bit))))
          << std::hex << c.word << " bit " << bit;
    }
  }
}

// A device that answers a fixed script of bytes and records what it hears.
class ScriptedDevice final : public SpiDevice {
 public:
  void chipSelectFell() override { edges += 'v'; }
  void chipSelectRose() override { edges += '^'; }
  std::uint8_t exchange(std::uint8_t mosi, bool high) override {
    heard.push_back({mosi, high});
    if (answers.empty()) return 0xFF;
    const std::uint8_t out = answers.front();
    answers.pop_front();
    return out;
  }
  std::deque<std::uint8_t> answers;
  std::vector<std::pair<std::uint8_t, bool>> heard;
  std::string edges;
};

TEST(SimBus, LineIsTheAndOfAllDrivers) {
  struct Case {
    std::vector<std::uint8_t> outputs;
    std::uint8_t line;
  };
  const Case cases[] = {
      {{}, 0xFF},                  // nobody on the bus
      {{0xFF, 0xFF}, 0xFF},        // all idle
      {{0x5A, 0xFF}, 0x5A},        // one answering
      {{0xF0, 0x3C, 0xFF}, 0x30},  // two answering at once
  };
  for (const Case& c : cases) {
    SpiBus bus;
    std::deque<ScriptedDevice> devices(c.outputs.size());
    for (std::size_t i = 0; i < c.outputs.size(); ++i) {
      devices[i].answers.push_back(c.outputs[i]);
      bus.attach(devices[i]);
    }
    EXPECT_EQ(bus.exchange(0x12), c.line);
  }
}

TEST(SimController, TokensClockBytesAndReturnHex) {
  SpiBus bus;
  ScriptedDevice dev;
  bus.attach(dev);
  SimController ctl(bus, "QXM7140-2 sim");
  dev.answers = {0x11, 0x22, 0x0A};
  // S returns nothing, T and R return the byte clocked in; R sends FF.
  EXPECT_EQ(ctl.run("MSxS80T49R"), "220A");
  ASSERT_EQ(dev.heard.size(), 3u);
  EXPECT_EQ(dev.heard[0].first, 0x80);
  EXPECT_EQ(dev.heard[1].first, 0x49);
  EXPECT_EQ(dev.heard[2].first, 0xFF);
  EXPECT_FALSE(dev.heard[0].second);  // chip select low
  EXPECT_EQ(ctl.run("IZ"), "QXM7140-2 sim");
  EXPECT_EQ(ctl.run("T4g"), "") << "a T without two hex digits clocks nothing";
  EXPECT_EQ(dev.heard.size(), 3u);
}

TEST(SimController, AStreamRunsAllButATokenCutShortAtItsEnd) {
  const struct {
    const char* text;
    std::size_t complete;
  } cases[] = {
      {"MSXxT80T49R", 11}, {"MSxS8", 3},   {"MSxS", 3}, {"M", 0},  {"MSX", 3}, {"I", 0},
      {"IZ", 2},           {"xT80T4g", 7}, {"TAM", 2},  {"IM", 1}, {"S4", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SimController::completeLength(c.text), c.complete) << c.text;
  }
}

TEST(SimController, ChipSelectPersistsBetweenStringsAndReportsOnlyEdges) {
  SpiBus bus;
  ScriptedDevice dev;
  bus.attach(dev);
  SimController ctl(bus, "id");
  ctl.run("MSxS40S07");  // ends low
  EXPECT_FALSE(bus.chipSelectHigh());
  ctl.run("S00");
  EXPECT_FALSE(dev.heard.back().second) << "still low in the next transaction";
  ctl.run("MSXXxxX");
  EXPECT_EQ(dev.edges, "v^v^");
}

TEST(SimController, LowCurrentModeHoldsTheLinesHigh) {
  SpiBus bus;
  ScriptedDevice dev;
  bus.attach(dev);
  SimController ctl(bus, "id");
  ctl.run("MSx");
  dev.answers = {0x00};
  EXPECT_EQ(ctl.run("MIxT12R"), "FFFF");
  EXPECT_TRUE(bus.chipSelectHigh());
  EXPECT_TRUE(dev.heard.empty());
  EXPECT_TRUE(ctl.lowCurrentMode());
  EXPECT_EQ(ctl.run("MSxT12"), "00");
  EXPECT_FALSE(ctl.lowCurrentMode());
}

}  // namespace
}  // namespace kb::sim
