#include <gtest/gtest.h>

#include <sstream>

#include "FakeDriver.h"
#include "common/HexText.h"
#include "link/ControllerLink.h"
#include "link/TraceText.h"

namespace kb::link {
namespace {

TEST(ControllerLink, WriteOnlyTransactionCallsInOrderWithExactBytes) {
  test::FakeDriver d;
  ControllerLink link(d);
  link.SendCommand("MSxS10SB0X");
  ASSERT_EQ(d.calls.size(), 4u);
  EXPECT_EQ(d.calls[0].what, "open");
  EXPECT_EQ(d.calls[0].text, "USB SERIAL CONTROLLER");
  EXPECT_EQ(d.calls[0].a, kOpenByDescription);
  EXPECT_EQ(d.calls[1].what, "timeouts");
  EXPECT_EQ(d.calls[1].a, 1000u);
  EXPECT_EQ(d.calls[1].b, 1000u);
  EXPECT_EQ(d.calls[2].what, "write");
  EXPECT_EQ(d.calls[2].text, "MSxS10SB0X");
  EXPECT_EQ(d.calls[2].a, 10u);  // no terminator
  EXPECT_EQ(d.calls[3].what, "close");
}

TEST(ControllerLink, ShortReplyIsPaddedWithFiller) {
  test::FakeDriver d;
  d.answers.push_back("0123456789");
  ControllerLink link(d);
  const std::string reply = link.SendAndReceive("MSXxT80T49T02TCERRRRRRRX", 22);
  ASSERT_EQ(reply.size(), 512u);
  EXPECT_EQ(reply.substr(0, 10), "0123456789");
  EXPECT_EQ(reply.substr(10), std::string(502, ' '));
  EXPECT_EQ(hexValue(mid(reply, 21, 2)), 0u);  // a field in the filler parses as 0
  ASSERT_EQ(d.calls.size(), 5u);
  EXPECT_EQ(d.calls[3].what, "read");
  EXPECT_EQ(d.calls[3].a, 22u);
  EXPECT_EQ(d.calls[4].what, "close");
}

TEST(ControllerLink, ReadNeverRunsPastTheReplyBuffer) {
  test::FakeDriver d;
  d.answers.push_back(std::string(2000, 'A'));
  ControllerLink link(d);
  const std::string reply = link.SendAndReceive("R", 60000);
  EXPECT_EQ(reply.size(), 512u);
  EXPECT_EQ(d.calls[3].a, 512u);
}

TEST(ControllerLink, IdentityQuery) {
  test::FakeDriver d;
  d.answers.push_back("QXM7140-4 rev B firmware");
  ControllerLink link(d);
  EXPECT_EQ(link.QueryControllerId(), "QXM7140-4");
  EXPECT_EQ(d.calls[1].a, 200u);  // read time-out
  EXPECT_EQ(d.calls[1].b, 50u);   // write time-out
  EXPECT_EQ(d.calls[2].text, "IZ");
  EXPECT_EQ(d.calls[2].a, 2u);
  EXPECT_EQ(d.calls[3].a, 50u);
}

TEST(ControllerLink, MissingControllerGivesBlankRepliesAndATracedFailedOpen) {
  test::FakeDriver d;
  d.present = false;
  std::ostringstream trace;
  ControllerLink link(d);
  link.setTrace(&trace);
  EXPECT_EQ(link.QueryControllerId(), std::string(9, ' '));
  EXPECT_EQ(link.SendAndReceive("MSxT80T49T0CTE4RRRRX", 16), std::string(512, ' '));
  EXPECT_EQ(link.SendCommand("MSX"), kFtOk);
  // The transaction still runs every call; only the trace tells the failed open.
  EXPECT_EQ(d.calls.size(), 14u);
  EXPECT_EQ(trace.str(),
            "! open failed (status 2)\n> IZ\n< \n"
            "! open failed (status 2)\n> MSxT80T49T0CTE4RRRRX\n< \n"
            "! open failed (status 2)\n> MSX\n");
}

TEST(ControllerLink, TraceShowsWrittenAndReceivedCharacters) {
  test::FakeDriver d;
  d.answers.push_back("FFFF\x01");
  std::ostringstream trace;
  ControllerLink link(d);
  link.setTrace(&trace);
  link.SendCommand("MSX");
  link.SendAndReceive("RR", 22);
  EXPECT_EQ(trace.str(), "> MSX\n> RR\n< FFFF\\x01\n");
  EXPECT_EQ(link.transactionCount(), 2u);
}

TEST(TraceText, PrintableAsciiStaysEverythingElseIsHex) {
  const struct {
    std::string bytes;
    const char* shown;
  } cases[] = {
      {"MSxT80", "MSxT80"},
      {"", ""},
      {" ~", " ~"},
      {std::string("\0\x1F", 2), "\\x00\\x1F"},
      {"\x7F\x80\xFF", "\\x7F\\x80\\xFF"},
      {"a\\b", "a\\x5Cb"},
      {"\r\n\t", "\\x0D\\x0A\\x09"},
  };
  for (const auto& c : cases) EXPECT_EQ(traceText(c.bytes), c.shown) << c.shown;
}

}  // namespace
}  // namespace kb::link
