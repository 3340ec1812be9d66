// Link health and the balancer's warning over the simulated stack with the controller pulled out
// and plugged in again, and the device listing over fake tables.
#include <gtest/gtest.h>

#include <utility>

#include "FakeCalls.h"
#include "ScriptProgram.h"
#include "app/core/DeviceList.h"

namespace kb {
namespace {

bool has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(LinkHealth, ContinuousReadThroughAnUnplugAndAReplug) {
  test::ScriptProgram p("sim:boards=3,fault=unplug:5:9");
  ASSERT_TRUE(p.loaded);
  std::vector<std::pair<bool, std::int64_t>> changes;
  p.session->window().context().linkHealth.onAnsweringChanged(
      [&](bool answering, std::int64_t micros) { changes.emplace_back(answering, micros); });
  ASSERT_EQ(p.script("select Combo1 2\nclick Command1 10\ntick 49\nprint LinkHealth\n"), 0);
  EXPECT_TRUE(has(p.out.str(), "LinkHealth = Controller: simulated stack - connected - "));
  ASSERT_EQ(p.script("tick\nprint LinkHealth\ntick 39\nprint LinkHealth\n"), 0);
  EXPECT_TRUE(has(p.out.str(),
                  "= Controller: simulated stack - not answering since 08:00:05 "
                  "(open failed) - "))
      << p.out.str();
  EXPECT_FALSE(has(p.out.str(), "connected"));
  ASSERT_EQ(p.script("tick\nprint LinkHealth\ntick 10\nprint BoardHealth 3\n"), 0);
  EXPECT_TRUE(has(p.out.str(), "- connected - ")) << p.out.str();
  // Fresh readings of the last board, and the blank replies of the failed opens were not taken
  // for PEC mismatches.
  EXPECT_TRUE(has(p.out.str(),
                  "board 3: 0 PEC mismatches, 0 balancer words in error, 0 balancer "
                  "transfers failed; last good cells 08:00:09"))
      << p.out.str();
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_FALSE(changes[0].first);
  EXPECT_TRUE(changes[1].first);
  EXPECT_GE(changes[1].second, 9'000'000);
  // The alarm raised and cleared with it.
  int notAnswering = 0;
  for (const alarms::Alarm& a : p.session->window().context().alarmBook.all()) {
    if (a.kind != alarms::Kind::NotAnswering) continue;
    ++notAnswering;
    EXPECT_EQ(a.raisedMicros, changes[0].second);
    EXPECT_EQ(a.clearedMicros, changes[1].second);
  }
  EXPECT_EQ(notAnswering, 1);
  EXPECT_TRUE(p.faults.empty());
}

constexpr const char* kDemoRun =
    "click Command0 1\nclick Command1 5\ntab 1\nclick Check_6\nclick Command_2 2\n"
    "click Check_4\n";

TEST(BalancerWarning, ATimedRunThatCannotReachItsChipsSaysSoUntilTheyAnswer) {
  test::ScriptProgram p("sim:fault=unplug:2:3");
  ASSERT_EQ(p.script(std::string(kDemoRun) +
                     "tick 25\nprint Label_BalancerLink Caption\nprint BoardHealth 1\n"
                     "print Check_4 Caption\n"),
            0);
  EXPECT_TRUE(has(p.out.str(),
                  "Label_BalancerLink.Caption = BOARD 1: balancer transfers fail - "
                  "the controller does not open"))
      << p.out.str();
  EXPECT_FALSE(has(p.out.str(), " 0 balancer transfers failed"));
  EXPECT_TRUE(has(p.out.str(), "Check_4.Caption = PAUSE")) << "the run goes on";
  ASSERT_EQ(p.script("tick 15\nprint Label_BalancerLink Visible\n"), 0);
  EXPECT_EQ(p.out.str(), "Label_BalancerLink.Visible = False\n");
}

TEST(BalancerWarning, AChipThatDoesNotAnswerIsNamed) {
  test::ScriptProgram p("sim:notop=1");
  ASSERT_EQ(p.script(std::string(kDemoRun) + "tick 3\nprint Label_BalancerLink Caption\n"), 0);
  EXPECT_TRUE(has(p.out.str(), "= BOARD 1: the top balancer chip does not answer")) << p.out.str();
}

TEST(DeviceList, OneLinePerCandidateAndOneLineWhenNoneIsFound) {
  test::FakeFtdi bus;
  test::FakeSerial serial;
  EXPECT_EQ(app::deviceListing("", bus.table(), serial.table()).size(), 1u);

  bus.bridges = {{0x0403, 0x6014, "USB SERIAL CONTROLLER", "KB0042", "usb 1-4", ""}};
  link::SerialPort usb;
  usb.name = "/dev/ttyUSB3";
  usb.usb = true;
  usb.vendor = 0x0403;
  usb.product = 0x6001;
  usb.description = "FT232R USB UART";
  link::SerialPort native;
  native.name = "/dev/ttyS0";
  serial.ports = {usb, native};
  const std::vector<std::string> expected{
      "ftdi  usb 1-4  0403:6014  \"USB SERIAL CONTROLLER\"  serial KB0042  matches the "
      "controller's description",
      "serial  /dev/ttyUSB3  0403:6001  \"FT232R USB UART\"  serial -  does not match the "
      "controller's description"};
  EXPECT_EQ(app::deviceListing("", bus.table(), serial.table()), expected);

  // A named port is also asked for its identity.
  serial.replies.pieces = {{"QXM7140-4 rev B", 0, 0}};
  const auto named = app::deviceListing("serial:/dev/ttyS0", bus.table(), serial.table());
  ASSERT_EQ(named.size(), 1u);
  EXPECT_TRUE(has(named[0], "/dev/ttyS0  -  (not a USB port)")) << named[0];
  EXPECT_TRUE(has(named[0], "answers \"IZ\" with \"QXM7140-4\", a known identity")) << named[0];
}

}  // namespace
}  // namespace kb
