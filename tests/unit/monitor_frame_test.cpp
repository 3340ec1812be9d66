#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "TestCrc.h"
#include "common/HexText.h"
#include "monitor/Commands.h"
#include "monitor/Pec.h"
#include "monitor/PecJudge.h"
#include "monitor/ReadTransfer.h"

namespace kb::monitor {
namespace {

TEST(Pec, TableStartsWithKnownEntriesAndMatchesBitwiseCrc) {
  const PecTable& t = pecTable();
  EXPECT_EQ(t[0], 0x00);
  EXPECT_EQ(t[1], 0x07);
  EXPECT_EQ(t[2], 0x0E);
  EXPECT_EQ(t[3], 0x09);
  EXPECT_EQ(t[4], 0x1C);
  EXPECT_EQ(t[255], 0xF3);
  EXPECT_EQ(t[0x80], 0x89);
  // Every entry is the CRC-8 of its index alone, from a start of 0.
  for (int i = 0; i < 256; ++i) {
    const auto byte = static_cast<std::uint8_t>(i);
    EXPECT_EQ(t[byte], test::crc8({byte}, 0x00)) << i;
  }
}

TEST(Pec, SingleBytePecs) {
  struct Case {
    const char* byte;
    const char* pec;
  };
  const std::array<Case, 9> cases{{{"01", "C7"},
                                   {"02", "CE"},
                                   {"04", "DC"},
                                   {"0C", "E4"},
                                   {"0E", "EA"},
                                   {"10", "B0"},
                                   {"30", "50"},
                                   {"40", "07"},
                                   {"80", "49"}}};
  for (const Case& c : cases) EXPECT_EQ(pecTable().CalcPec(c.byte), c.pec) << c.byte;
}

TEST(Pec, DataGroups) {
  EXPECT_EQ(pecTable().CalcDataPec({}), 0x41);  // the empty group is the seed
  const std::vector<std::uint8_t> config{0xE0, 0, 0, 0, 0, 0};
  EXPECT_EQ(pecTable().CalcDataPec(config), 0xFE);
  const std::vector<std::uint8_t> single{0x01};
  EXPECT_EQ(pecTable().CalcDataPec(single), 0xC7);
  // Order matters: a swapped pair gives another PEC.
  const std::vector<std::uint8_t> ab{0x12, 0x34}, ba{0x34, 0x12};
  EXPECT_EQ(pecTable().CalcDataPec(ab), 0xBF);
  EXPECT_EQ(pecTable().CalcDataPec(ba), 0x9D);
}

TEST(Frames, ControllerStrings) {
  const std::vector<std::uint8_t> config{0xE0, 0, 0, 0, 0, 0};
  EXPECT_EQ(writeFrame("80", true, "01", config), "MSXxT01SC7SE0S00S00S00S00S00SFEX");
  EXPECT_EQ(writeFrame("80", false, "01", config), "MSXxT80S49S01SC7SE0S00S00S00S00S00SFEX");
  EXPECT_EQ(readFrame("MSXxT", "80", "02", 6), "MSXxT80T49T02TCERRRRRRRX");
  EXPECT_EQ(readFrame("MSxT", "80", "04", 18), "MSxT80T49T04TDC" + std::string(19, 'R') + "X");
  EXPECT_EQ(readFrame("MSxT", "80", "0C", 3), "MSxT80T49T0CTE4RRRRX");
  EXPECT_EQ(readFrame("MSxT", "80", "0E", 5), "MSxT80T49T0ETEARRRRRRX");
  EXPECT_EQ(startFrame("80", true, "10"), "MSxS10SB0X");
  EXPECT_EQ(startFrame("80", true, "30"), "MSxS30S50X");
  EXPECT_EQ(pollFrame("80", false, "40"), "MSxS80S49S40S07");
  EXPECT_EQ(pollFrame("80", true, "40"), "MSxS40S07");
  EXPECT_EQ(broadcastPladcFrame(), "MSxS40S07X");
}

TEST(Frames, ReadLengthsAndPositions) {
  EXPECT_EQ(readReplyLength(6), 22);
  EXPECT_EQ(readReplyLength(18), 46);
  EXPECT_EQ(readReplyLength(15), 40);
  EXPECT_EQ(readReplyLength(3), 16);
  EXPECT_EQ(readReplyLength(5), 20);
  EXPECT_EQ(dataBytePosition(0), 9);
  EXPECT_EQ(dataBytePosition(6), 21);  // the RDCFG PEC
}

TEST(ReadReplyParsing, TakesBytesByPositionAndFillerAsZero) {
  // Four echo bytes, then E0 00 00 00 00 00 and PEC FE.
  const ReadReply ok = parseReadReply("FFFFFFFFE00000000000FE", 6);
  EXPECT_EQ(ok.data, (std::vector<std::uint8_t>{0xE0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(ok.receivedPec, "FE");
  EXPECT_EQ(ok.calculatedPec, "FE");
  EXPECT_TRUE(ok.match());

  // A short reply: the rest is filler, which parses as 0.
  const ReadReply shortReply = parseReadReply("FFFFFFFFE0" + std::string(502, ' '), 6);
  EXPECT_EQ(shortReply.data[0], 0xE0);
  EXPECT_EQ(shortReply.data[1], 0);
  EXPECT_EQ(shortReply.receivedPec, "00");
  EXPECT_EQ(shortReply.calculatedPec, "FE");
  EXPECT_FALSE(shortReply.match());

  // No chip: every byte reads FF, whose PEC is not FF.
  const ReadReply silent = parseReadReply(std::string(22, 'F'), 6);
  EXPECT_EQ(silent.receivedPec, "FF");
  EXPECT_EQ(silent.calculatedPec, "17");
  EXPECT_FALSE(silent.match());
}

TEST(JudgePec, StatesAndErrorTexts) {
  MonitorReadState s;
  s.measureMode[0] = 1;
  auto r = JudgePec(s, 0, "12", "12", ReadKind::RDCV, false);
  EXPECT_TRUE(r.recorded);
  EXPECT_EQ(s.pecState[0], kPecMatch);

  r = JudgePec(s, 0, "12", "34", ReadKind::RDCV, false);
  EXPECT_TRUE(r.recorded);
  EXPECT_EQ(s.pecState[0], kPecMismatch);
  EXPECT_EQ(s.records[0][1].errorText, "PEC_RDCV ERROR! 0x12 != 0x34");

  // "PEC Match Only": a mismatch records nothing, a match is still shown.
  s.pecState[0] = kPecMatch;
  r = JudgePec(s, 0, "0A", "0B", ReadKind::RDFLG, true);
  EXPECT_FALSE(r.recorded);
  EXPECT_EQ(s.pecState[0], kPecMatch);
  EXPECT_TRUE(s.records[0][2].errorText.empty());
  r = JudgePec(s, 0, "0A", "0A", ReadKind::RDFLG, true);
  EXPECT_TRUE(r.recorded);

  // A measurement read of a board in standby gives no-data; a configuration read does not.
  s.measureMode[1] = 0;
  JudgePec(s, 1, "55", "55", ReadKind::RDTMP, false);
  EXPECT_EQ(s.pecState[1], kPecNoData);
  JudgePec(s, 1, "55", "55", ReadKind::RDCFG, false);
  EXPECT_EQ(s.pecState[1], kPecMatch);

  // Thermal shutdown wins over the PEC.
  s.thermalShutdown[2] = 1;
  JudgePec(s, 2, "01", "02", ReadKind::RDTMP, false);
  EXPECT_EQ(s.pecState[2], kPecThermal);
  EXPECT_EQ(s.records[2][3].errorText, "PEC_RDTMP ERROR! 0x01 != 0x02");
}

TEST(HexText, BytesAndParsing) {
  EXPECT_EQ(hexByte(5), "05");
  EXPECT_EQ(hexByte(0xAB), "AB");
  EXPECT_EQ(hexPlain(5), "5");
  EXPECT_EQ(hexPlain(0xFE), "FE");
  EXPECT_EQ(hexValue("1F"), 0x1Fu);
  EXPECT_EQ(hexValue("  "), 0u);
  EXPECT_EQ(hexValue("e0"), 0xE0u);
  EXPECT_EQ(mid("ABCDEF", 3, 2), "CD");
  EXPECT_EQ(mid("ABC", 3, 3), "C  ");
}

}  // namespace
}  // namespace kb::monitor
