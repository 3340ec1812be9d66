// What the publisher sends and keeps: the broker URL, the topics and payloads, the bounded queue.
#include <gtest/gtest.h>

#include "telemetry/MessageQueue.h"
#include "telemetry/Payloads.h"
#include "telemetry/PublishSettings.h"

namespace kb::telemetry {
namespace {

TEST(PublishUrl, ReadsHostPortPrefixAndUser) {
  struct Case {
    const char* url;
    const char* host;
    int port;
    const char* prefix;
    const char* user;
    bool tls;
  };
  const Case good[] = {
      {"mqtt://broker.lab/bench3", "broker.lab", 1883, "bench3", "", false},
      {"mqtts://ops@broker.lab:9999/lab/bench/3", "broker.lab", 9999, "lab/bench/3", "ops", true},
      {"mqtts://10.0.0.7/x", "10.0.0.7", 8883, "x", "", true},
      {"mqtt://[::1]:1884/x", "::1", 1884, "x", "", false},
  };
  for (const Case& c : good) {
    PublishSettings s;
    std::string error;
    ASSERT_TRUE(parsePublishUrl(c.url, s, error)) << c.url << ": " << error;
    EXPECT_EQ(s.host, c.host);
    EXPECT_EQ(s.port, c.port);
    EXPECT_EQ(s.prefix, c.prefix);
    EXPECT_EQ(s.user, c.user);
    EXPECT_EQ(s.tls, c.tls);
  }
  const char* bad[] = {"http://h/x",   "mqtt://h",         "mqtt://h/",   "mqtt://:1883/x",
                       "mqtt://h:0/x", "mqtt://h:70000/x", "mqtt://h:/x", "mqtt://h/a/#",
                       "mqtt://h/a+b", "mqtt://h/a//b",    "mqtt://@h/x", "mqtt://[::1/x"};
  for (const char* url : bad) {
    PublishSettings s;
    std::string error;
    EXPECT_FALSE(parsePublishUrl(url, s, error)) << url;
    EXPECT_FALSE(error.empty()) << url;
  }
  // A password in the URL is refused, and the refusal does not repeat it.
  PublishSettings s;
  std::string error;
  EXPECT_FALSE(parsePublishUrl("mqtt://ops:hunter2@h/x", s, error));
  EXPECT_NE(error.find("--publish-password-file"), std::string::npos);
}

TEST(PublishUrl, SettingsMustBeConsistent) {
  PublishSettings s;
  s.host = "h";
  s.prefix = "p";
  std::string error;
  EXPECT_TRUE(checkSettings(s, error)) << error;
  s.tls = true;
  EXPECT_FALSE(checkSettings(s, error));  // TLS without a CA file
  s.caFile = "ca.crt";
  EXPECT_TRUE(checkSettings(s, error)) << error;
  s.passwordFile = "pw";
  EXPECT_FALSE(checkSettings(s, error));  // a password without a user name
  s.user = "ops";
  s.keepAlive = 4;
  EXPECT_FALSE(checkSettings(s, error));
  s.keepAlive = 5;
  EXPECT_TRUE(checkSettings(s, error)) << error;
}

TEST(Payloads, CellsFlagsAlarmsAndStatus) {
  readings::Reading r;
  r.timeMicros = 12'345'678;
  r.kind = readings::Kind::Cells;
  r.origin = readings::Origin::Cycle;
  r.board = 1;
  r.command = "RDCV";
  r.check = readings::Check::Match;
  r.codes = {2979, 512};
  r.volts = {(2979 - 512) * 0.0015, 0.0};
  const auto cells = readingMessages(r, "lab/b3");
  ASSERT_EQ(cells.size(), 3u);
  EXPECT_EQ(cells[0].topic, "lab/b3/board/2/cell/1");
  EXPECT_EQ(cells[0].payload,
            R"({"schema":1,"time":12.345678,"board":2,"cell":1,"volts":3.7005,"code":2979,)"
            R"("pec":"match","origin":"cycle"})");
  EXPECT_EQ(cells[0].qos, 0);
  EXPECT_FALSE(cells[0].retain);
  EXPECT_EQ(cells[2].topic, "lab/b3/board/2/pec");
  EXPECT_EQ(cells[2].payload,
            R"({"schema":1,"time":12.345678,"board":2,"command":"RDCV","state":"match"})");

  r.kind = readings::Kind::Flags;
  r.check = readings::Check::Mismatch;
  r.bytes = {0x02, 0x00, 0x41};  // cell 1 OV; cell 9 UV, cell 12 UV
  const auto flags = readingMessages(r, "p");
  ASSERT_EQ(flags.size(), 2u);
  EXPECT_EQ(flags[0].payload, R"({"schema":1,"time":12.345678,"board":2,"pec":"mismatch",)"
                              R"("bytes":["02","00","41"],"uv":[9,12],"ov":[1]})");

  alarms::Alarm a;
  a.id = 7;
  a.board = 2;
  a.channel = 7;
  a.limit = 4.2;
  a.value = 4.2315;
  a.raisedMicros = 1'000'000;
  a.text = "Board 3 cell 7 \"OV\"";
  const Message alarm = alarmMessage(alarms::Event::Cleared, a, "p", 2'500'000);
  EXPECT_EQ(alarm.topic, "p/alarm");
  EXPECT_EQ(alarm.qos, 1);
  EXPECT_TRUE(alarm.alarm);
  EXPECT_EQ(alarm.payload,
            R"({"schema":1,"time":2.500000,"event":"cleared","id":7,"kind":"over-voltage",)"
            R"("board":3,"cell":7,"limit":4.2,"value":4.2315,"raised":1.000000,)"
            R"("text":"Board 3 cell 7 \"OV\""})");

  const Message online = onlineStatus("p", "1.2.3", "QXM\xB5\x01");
  EXPECT_TRUE(online.retain);
  EXPECT_EQ(online.payload, R"({"schema":1,"state":"online","program":"kb4471",)"
                            R"("version":"1.2.3","controller":"QXM\u00b5\u0001"})");
  EXPECT_EQ(offlineStatus("p").payload, R"({"schema":1,"state":"offline"})");
}

Message reading(const std::string& name) {
  return {name, "", 0, false, false};
}
Message alarm(const std::string& name) {
  return {name, "", 1, false, true};
}

TEST(MessageQueue, DropsTheOldestReadingsFirstAndAlarmsOnlyWhenNothingElseIsLeft) {
  MessageQueue q(3);
  q.push(reading("r1"));
  q.push(alarm("a1"));
  q.push(reading("r2"));
  q.push(alarm("a2"));  // full: r1 goes
  q.push(alarm("a3"));  // r2 goes
  EXPECT_EQ(q.droppedReadings(), 2u);
  q.push(reading("r3"));  // only alarms held: the reading itself is dropped
  EXPECT_EQ(q.droppedReadings(), 3u);
  q.push(alarm("a4"));  // only alarms: the oldest alarm goes
  EXPECT_EQ(q.droppedAlarms(), 1u);
  EXPECT_EQ(q.pop()->topic, "a2");
  q.pushFront(reading("r4"));  // handed back: it leads again
  EXPECT_EQ(q.pop()->topic, "r4");
  q.push(reading("r5"));
  EXPECT_EQ(q.pop()->topic, "a3");
  EXPECT_EQ(q.pop()->topic, "a4");
  EXPECT_EQ(q.pop()->topic, "r5");
  EXPECT_FALSE(q.pop().has_value());
}

}  // namespace
}  // namespace kb::telemetry
