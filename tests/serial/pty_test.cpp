// The serial backend through a real pseudo-terminal whose device side misbehaves: garbage, a
// reply cut short, a byte two seconds late. Reads end at their time-out and the PEC judge tells.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "FarEnd.h"
#include "common/Clock.h"
#include "link/ControllerLink.h"
#include "link/SerialDriver.h"
#include "monitor/ReadTransfer.h"
#include "sim/SimStack.h"

namespace kb {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kCellBytes = 18;

// The frame and the genuine reply of a cell read of board 1, from the simulated stack.
struct CellRead {
  CellRead() : stack(sim::SimOptions{}, clock), link(stack) {
    const monitor::ReadReply r = monitor::readTransfer(link, "MSxT", "80", "04", kCellBytes);
    reply = r.reply.substr(0, r.reply.find(' '));
  }
  ManualClock clock;
  sim::SimStack stack;
  link::ControllerLink link;
  std::string reply;
};

double secondsSince(Clock::time_point t) {
  return std::chrono::duration<double>(Clock::now() - t).count();
}

monitor::ReadReply readCells(link::ControllerLink& link) {
  return monitor::readTransfer(link, "MSxT", "80", "04", kCellBytes);
}

TEST(SerialPseudoTerminal, GarbageAndAReplyCutShortEndInAMismatchAtTheTimeOut) {
  const CellRead genuine;
  ASSERT_GT(genuine.reply.size(), 30u);
  test::FarEnd device;
  std::thread far([&] {
    device.hear();
    device.say(std::string("\x00\xFF\x7F garbage \\ \r\n", 16) + std::string(40, 'Z'));
    device.hear();
    device.say(genuine.reply.substr(0, 10));
  });
  link::SerialDriver driver(link::SerialOptions{device.path(), 9600});
  link::ControllerLink link(driver);
  EXPECT_FALSE(readCells(link).match());
  const auto start = Clock::now();
  const monitor::ReadReply cut = readCells(link);
  const double took = secondsSince(start);
  far.join();
  EXPECT_FALSE(cut.match());
  EXPECT_EQ(cut.reply.substr(0, 10), genuine.reply.substr(0, 10));
  EXPECT_EQ(link.lastEvent().outcome, link::Outcome::ShortRead);
  EXPECT_GE(took, 1.0);
  EXPECT_LT(took, 2.0);
}

TEST(SerialPseudoTerminal, AByteTwoSecondsLateSpoilsOnlyTheReplyItLandsIn) {
  const CellRead genuine;
  test::FarEnd device;
  std::thread far([&] {
    device.hear();
    const auto heard = Clock::now();
    device.hear();  // the second read's frame, written meanwhile
    std::this_thread::sleep_until(heard + std::chrono::seconds(2));
    device.say("7");
    device.say(genuine.reply);
    device.hear();
    device.say(genuine.reply);
  });
  link::SerialDriver driver(link::SerialOptions{device.path(), 9600});
  link::ControllerLink link(driver);
  const auto start = Clock::now();
  EXPECT_FALSE(readCells(link).match());  // nothing came within the time-out
  EXPECT_EQ(link.lastEvent().received, 0u);
  std::this_thread::sleep_until(start + std::chrono::milliseconds(1500));
  const monitor::ReadReply late = readCells(link);
  EXPECT_EQ(late.reply.substr(0, 1), "7");
  EXPECT_FALSE(late.match());
  // The rest of that reply is dropped when the next transaction opens.
  EXPECT_TRUE(readCells(link).match());
  far.join();
}

}  // namespace
}  // namespace kb
