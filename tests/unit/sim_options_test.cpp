#include <gtest/gtest.h>

#include <string>

#include "sim/SimOptions.h"

namespace kb::sim {
namespace {

TEST(SimOptions, EmptyTextKeepsDefaults) {
  SimOptions o;
  std::string error;
  ASSERT_TRUE(parseSimOptions("", o, error));
  EXPECT_EQ(o.boards, 1);
  EXPECT_EQ(o.identity.substr(0, 9), "QXM7140-2");
  EXPECT_FALSE(o.unplugged);
  EXPECT_FALSE(o.realtime);
  EXPECT_EQ(o.pecFaultRate, 0.0);
}

TEST(SimOptions, EveryOptionFormIsParsed) {
  SimOptions o;
  std::string error;
  ASSERT_TRUE(parseSimOptions(
      "boards=4,seed=77,id=QXB5520-1 other,cell=2:12:3.25,cell=4:1:0,fault=pec:0.25,"
      "fault=missing:3,fault=thermal:2,fault=thermal:4:7.5,fault=openwire:1:12,notop=4,"
      "fault=selftest:4:10,"
      "fault=balcrc:2,fault=balshort:3,fault=unplugged,fault=unplug:5:9.5,fault=unplug:20,realtime",
      o, error))
      << error;
  EXPECT_EQ(o.boards, 4);
  EXPECT_EQ(o.seed, 77u);
  EXPECT_EQ(o.identity, "QXB5520-1 other");
  ASSERT_EQ(o.cells.size(), 2u);
  EXPECT_EQ(o.cells[0].board, 2);
  EXPECT_EQ(o.cells[0].cell, 12);
  EXPECT_DOUBLE_EQ(o.cells[0].volts, 3.25);
  EXPECT_DOUBLE_EQ(o.cells[1].volts, 0.0);
  EXPECT_DOUBLE_EQ(o.pecFaultRate, 0.25);
  EXPECT_EQ(o.missingBoards, std::vector<int>{3});
  ASSERT_EQ(o.thermal.size(), 2u);
  EXPECT_FALSE(o.thermal[0].recoverAfter.has_value());
  ASSERT_TRUE(o.thermal[1].recoverAfter.has_value());
  EXPECT_DOUBLE_EQ(*o.thermal[1].recoverAfter, 7.5);
  ASSERT_EQ(o.openWires.size(), 1u);
  EXPECT_EQ(o.openWires[0].cell, 12);
  ASSERT_EQ(o.selfTestFaults.size(), 1u);
  EXPECT_EQ(o.selfTestFaults[0].board, 4);
  EXPECT_EQ(o.selfTestFaults[0].cell, 10);
  EXPECT_EQ(o.withoutTopChip, std::vector<int>{4});
  EXPECT_EQ(o.balancerCrcFaults, std::vector<int>{2});
  EXPECT_EQ(o.balancerShortFaults, std::vector<int>{3});
  EXPECT_TRUE(o.unplugged);
  EXPECT_TRUE(o.realtime);
  ASSERT_EQ(o.unplugs.size(), 2u);
  EXPECT_DOUBLE_EQ(o.unplugs[0].from, 5.0);
  EXPECT_DOUBLE_EQ(*o.unplugs[0].until, 9.5);
  EXPECT_FALSE(o.unplugs[1].until.has_value());
}

TEST(SimOptions, OrderDoesNotMatterForBoardReferences) {
  SimOptions o;
  std::string error;
  EXPECT_TRUE(parseSimOptions("cell=10:1:3.0,boards=10", o, error)) << error;
}

struct BadCase {
  const char* text;
  const char* named;  // what the error must name
};

TEST(SimOptions, MalformedOptionsAreRejectedWithTheirName) {
  const BadCase cases[] = {
      {"boards=0", "boards=0"},
      {"boards=11", "boards=11"},
      {"boards=two", "boards=two"},
      {"boards=3x", "boards=3x"},
      {"seed=-1", "seed=-1"},
      {"seed=4294967296", "seed=4294967296"},
      {"cell=1:13:3.6", "cell=1:13:3.6"},
      {"cell=1:0:3.6", "cell=1:0:3.6"},
      {"cell=1:1", "cell=1:1"},
      {"cell=1:1:5.5", "cell=1:1:5.5"},
      {"cell=1:1:nan", "cell=1:1:nan"},
      {"fault=pec:1.5", "fault=pec:1.5"},
      {"fault=pec:-0.1", "fault=pec:-0.1"},
      {"fault=pec", "fault=pec"},
      {"fault=missing:0", "fault=missing:0"},
      {"fault=thermal:1:-2", "fault=thermal:1:-2"},
      {"fault=thermal:1:2:3", "fault=thermal:1:2:3"},
      {"fault=openwire:1:13", "fault=openwire:1:13"},
      {"fault=selftest:1:0", "fault=selftest:1:0"},
      {"fault=selftest:1", "fault=selftest:1"},
      {"fault=selftest:3:1", "boards=1"},
      {"fault=unplugged:1", "fault=unplugged:1"},
      {"fault=unplug:5:4", "fault=unplug:5:4"},
      {"fault=unplug:-1", "fault=unplug:-1"},
      {"fault=unplug", "fault=unplug"},
      {"fault=smoke", "fault=smoke"},
      {"colour=red", "colour=red"},
      {"boards", "boards"},
      {"boards=2,cell=3:1:3.6", "boards=2"},
      {"fault=missing:5", "boards=1"},
      {"fault=balcrc:0", "fault=balcrc:0"},
      {"fault=balcrc:2", "boards=1"},
      {"fault=balshort:2", "boards=1"},
  };
  for (const BadCase& c : cases) {
    SimOptions o;
    o.boards = 1;
    std::string error;
    EXPECT_FALSE(parseSimOptions(c.text, o, error)) << c.text;
    EXPECT_NE(error.find(c.named), std::string::npos) << c.text << " -> " << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << "one line: " << error;
    EXPECT_EQ(o.boards, 1) << "a failed parse leaves the options alone: " << c.text;
  }
}

TEST(SimOptions, HelpNamesEveryOptionForm) {
  const std::string help = simOptionsHelp();
  for (const char* form : {"boards=", "seed=", "id=", "cell=", "notop=", "fault=pec:",
                           "fault=missing:", "fault=thermal:", "fault=openwire:", "fault=selftest:",
                           "fault=balcrc:", "fault=balshort:", "fault=unplugged", "fault=unplug:"}) {
    EXPECT_NE(help.find(form), std::string::npos) << form;
  }
}

}  // namespace
}  // namespace kb::sim
