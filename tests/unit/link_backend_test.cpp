// The hardware backends over fake function tables: the read loop, the deadline, open by
// description, the transaction gap and the library's own words in the trace.
#include <gtest/gtest.h>

#include <cerrno>
#include <sstream>

#include "FakeCalls.h"
#include "link/ControllerLink.h"
#include "link/FtdiDriver.h"
#include "link/SerialDriver.h"

namespace kb::link {
namespace {

constexpr int kController = 0x6014;

FtdiBridge bridge(int product, const char* description) {
  return {0x0403, product, description, "FT0001", "usb 1-2", ""};
}

TEST(FtdiDriver, ReadLoopGathersAReplyThatArrivesInPieces) {
  test::FakeFtdi bus;
  bus.bridges = {bridge(0x6001, "OTHER BRIDGE"), bridge(kController, "USB SERIAL CONTROLLER")};
  bus.replies.pieces = {{"0123", 0, 0}, {"45", 0, 3000}, {"6789", 0, 5000}};
  const FtdiCalls calls = bus.table();
  FtdiDriver driver(calls);
  ControllerLink link(driver);
  EXPECT_EQ(link.SendAndReceive("RRRRR", 10).substr(0, 10), "0123456789");
  EXPECT_EQ(link.lastEvent().outcome, Outcome::Ok);
  // Asked again a millisecond after each empty read: done within a millisecond of the last piece.
  EXPECT_GE(bus.now, 8000);
  EXPECT_LT(bus.now, 9000);
  EXPECT_EQ(bus.contexts, 0);  // closed and freed with the handle
}

TEST(FtdiDriver, AReplyThatNeverCompletesEndsAtTheReadTimeOut) {
  test::FakeFtdi bus;
  bus.bridges = {bridge(kController, "USB SERIAL CONTROLLER")};
  bus.replies.pieces = {{"FFFF", 0, 0}};
  const FtdiCalls calls = bus.table();
  FtdiDriver driver(calls);
  ControllerLink link(driver);
  EXPECT_EQ(link.SendAndReceive("RRRRRRRRRRR", 22).substr(0, 6), "FFFF  ");
  EXPECT_EQ(link.lastEvent().outcome, Outcome::ShortRead);
  EXPECT_EQ(link.lastEvent().received, 4u);
  EXPECT_GE(bus.now, 1'000'000);
  EXPECT_LE(bus.now, 1'001'000);
}

TEST(FtdiDriver, OpensByDescriptionAndTriesTheRememberedProductFirst) {
  test::FakeFtdi bus;
  bus.bridges = {bridge(0x6001, "OTHER BRIDGE"), bridge(kController, "USB SERIAL CONTROLLER")};
  bus.productOpenedByDescription = kController;
  const FtdiCalls calls = bus.table();
  FtdiDriver driver(calls);
  ControllerLink link(driver);
  link.SendCommand("MSX");
  link.SendCommand("MSX");
  const std::vector<std::string> expected{"create", "list",    "open listed 1", "flush",
                                          "close",  "destroy", "create",        "open 24596",
                                          "flush",  "close",   "destroy"};
  EXPECT_EQ(bus.calls, expected);
  // A handle that is no longer open is refused.
  FtHandle stale = nullptr;
  ASSERT_EQ(driver.FT_OpenEx("USB SERIAL CONTROLLER", kOpenByDescription, &stale), kFtOk);
  ASSERT_EQ(driver.FT_Close(stale), kFtOk);
  EXPECT_EQ(driver.FT_Close(stale), kFtInvalidHandle);
}

TEST(FtdiDriver, FailuresKeepTheLibrarysWordsForTheTrace) {
  test::FakeFtdi bus;
  const FtdiCalls calls = bus.table();
  FtdiDriver driver(calls);
  std::ostringstream trace;
  ControllerLink link(driver);
  link.setTrace(&trace);
  link.SendAndReceive("RR", 4);  // no bridge at all
  EXPECT_EQ(link.lastEvent().outcome, Outcome::OpenFailed);
  EXPECT_EQ(link.lastEvent().message, "device not found");
  EXPECT_EQ(bus.contexts, 0);

  bus.bridges = {bridge(kController, "USB SERIAL CONTROLLER")};
  bus.replies.pieces = {{"00", 0, 0}, {"", -1, 0}};
  bus.message = "usb bulk read failed";
  link.SendAndReceive("RR", 4);
  EXPECT_EQ(link.lastEvent().outcome, Outcome::ReadFailed);
  EXPECT_EQ(trace.str(),
            "! open failed (status 2)\n> RR\n< \n"
            "> RR\n! read failed: usb bulk read failed\n< 00\n");
}

// The held link: opened once with its latency timer at 1 ms, flushed before each read, closed
// when the mode is left.
TEST(FtdiDriver, HeldLinkSetsTheLatencyTimerOnceAndFlushesBeforeReads) {
  test::FakeFtdi bus;
  bus.bridges = {bridge(kController, "USB SERIAL CONTROLLER")};
  bus.replies.pieces = {{"0011", 0, 0}};
  const FtdiCalls calls = bus.table();
  FtdiDriver driver(calls);
  ControllerLink link(driver);
  link.setMode(LinkMode::Held);
  link.SendCommand("MSX");
  EXPECT_EQ(link.SendAndReceive("RR", 4).substr(0, 4), "0011");
  link.setMode(LinkMode::Transaction);
  const std::vector<std::string> expected{"create",    "list",  "open listed 0", "flush",
                                          "latency 1", "flush input", "close", "destroy"};
  EXPECT_EQ(bus.calls, expected);
}

SerialPort port(const char* name) {
  SerialPort p;
  p.name = name;
  return p;
}

SerialPort usbPort(const char* name, const char* description) {
  SerialPort p = port(name);
  p.usb = true;
  p.vendor = 0x0403;
  p.product = kController;
  p.description = description;
  return p;
}

TEST(SerialDriver, FindsThePortByDescriptionAndLeavesTheGapBetweenTransactions) {
  test::FakeSerial serial;
  serial.ports = {port("/dev/ttyS0"), usbPort("/dev/ttyUSB1", "FT232R USB UART"),
                  usbPort("/dev/ttyUSB0", "USB SERIAL CONTROLLER")};
  const SerialCalls calls = serial.table();
  SerialDriver driver(SerialOptions{"", 115200}, calls);
  ControllerLink link(driver);
  link.SendCommand("MSX");
  serial.now += 5000;  // the program's own work between the two
  link.SendCommand("MI");
  const std::vector<std::string> expected{
      "list",        "open /dev/ttyUSB0", "configure 115200", "flush", "close",
      "pause 20000", "open /dev/ttyUSB0", "configure 115200", "flush", "close"};
  EXPECT_EQ(serial.calls, expected);  // the port found last time is looked at, not the list
  EXPECT_EQ(serial.written, "MSXMI");
}

TEST(SerialDriver, ReadEndsAtItsTimeOutAndAHangUpOrAMissingPortIsTold) {
  test::FakeSerial serial;
  const SerialCalls calls = serial.table();
  SerialDriver driver(SerialOptions{"/dev/pts/9", 9600}, calls);
  std::ostringstream trace;
  ControllerLink link(driver);
  link.setTrace(&trace);
  // A reply cut short; its last byte comes two seconds late.
  serial.replies.pieces = {{"0123", 0, 0}, {"4", 0, 2'000'000}};
  const std::int64_t start = serial.now;
  EXPECT_EQ(link.SendAndReceive("RRR", 6).substr(0, 6), "0123  ");
  EXPECT_EQ(link.lastEvent().outcome, Outcome::ShortRead);
  EXPECT_EQ(serial.now - start, 1'000'000);

  serial.replies.pieces = {{"", 0, 0}};  // the other end closed
  link.SendAndReceive("RR", 4);
  EXPECT_EQ(link.lastEvent().outcome, Outcome::ReadFailed);

  serial.openResult = -ENOENT;
  link.SendCommand("MSX");
  EXPECT_EQ(link.lastEvent().message, "/dev/pts/9: No such file or directory");
  EXPECT_EQ(trace.str(),
            "> RRR\n< 0123\n"
            "> RR\n! read failed: the other end hung up\n< \n"
            "! open failed (status 2)\n> MSX\n");
}

// A pseudo-terminal has no low-latency flag: the held link keeps the port open all the same.
TEST(SerialDriver, HeldLinkAsksForLowLatencyAndKeepsThePortOpen) {
  test::FakeSerial serial;
  const SerialCalls calls = serial.table();
  SerialDriver driver(SerialOptions{"/dev/pts/9", 9600}, calls);
  ControllerLink link(driver);
  link.setMode(LinkMode::Held);
  link.SendCommand("MSX");
  link.SendCommand("MI");
  EXPECT_EQ(link.lastEvent().outcome, Outcome::Ok);
  const std::vector<std::string> expected{"open /dev/pts/9", "configure 9600", "flush",
                                          "low latency"};
  EXPECT_EQ(serial.calls, expected);
  EXPECT_EQ(serial.written, "MSXMI");
}

TEST(SerialOptions, PortFirstThenTheBaudRate) {
  const struct {
    const char* text;
    bool ok;
    const char* port;
    int baud;
  } cases[] = {
      {"", true, "", 9600},
      {"/dev/ttyUSB0", true, "/dev/ttyUSB0", 9600},
      {"/dev/serial/by-id/usb-X-if00-port0,baud=115200", true, "/dev/serial/by-id/usb-X-if00-port0",
       115200},
      {"baud=57600", true, "", 57600},
      {"/dev/ttyUSB0,baud=7", false, "", 0},
      {"/dev/ttyUSB0,baud=", false, "", 0},
      {"/dev/ttyUSB0,parity=odd", false, "", 0},
  };
  for (const auto& c : cases) {
    SerialOptions o;
    std::string error;
    ASSERT_EQ(parseSerialOptions(c.text, o, error), c.ok) << c.text;
    if (!c.ok) {
      EXPECT_FALSE(error.empty());
      continue;
    }
    EXPECT_EQ(o.port, c.port);
    EXPECT_EQ(o.baud, c.baud);
  }
}

}  // namespace
}  // namespace kb::link
