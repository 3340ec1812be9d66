// Publishing to a real Mosquitto broker on 127.0.0.1: a scripted two-board session arrives as the
// window showed it, the client rides out a broker restart, the will marks a killed program offline,
// and TLS with a user and password file connects only when everything checks out.
#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <map>
#include <regex>
#include <sstream>

#include "MqttRig.h"
#include "app/core/CommandLine.h"
#include "app/core/ScriptRunner.h"
#include "app/core/Session.h"
#include "context/Context.h"
#include "telemetry/Payloads.h"

namespace kb::test {
namespace {

// A headless session as `--headless --script` builds it, publishing when `url` is given.
struct HeadlessRun {
  explicit HeadlessRun(const std::string& device, const std::string& url = "",
                       const std::string& trace = "")
      : dialogs(out) {
    options.device = device;
    options.traceFile = trace;
    if (!url.empty()) {
      std::string error;
      options.publishing = telemetry::parsePublishUrl(url, options.publish, error);
      EXPECT_TRUE(options.publishing) << error;
    }
    session = std::make_unique<app::Session>(options, clock, dialogs);
    EXPECT_EQ(session->error(), "");
    runner = std::make_unique<app::ScriptRunner>(session->window(), out, clock);
    loaded = session->window().load();
  }
  int script(const std::string& text) {
    out.str("");
    std::istringstream in(text);
    const int status = runner->run(in);
    EXPECT_EQ(runner->error(), "");
    return status;
  }
  ui::Context& ctx() { return session->window().context(); }

  app::Options options;
  ManualClock clock;
  std::ostringstream out;
  app::PrintingDialogs dialogs;
  std::unique_ptr<app::Session> session;
  std::unique_ptr<app::ScriptRunner> runner;
  bool loaded = false;
};

std::string url(int port, const std::string& prefix) {
  return "mqtt://127.0.0.1:" + std::to_string(port) + "/" + prefix;
}

bool has(const std::vector<Received>& got, const std::string& topic, const std::string& part) {
  for (const Received& r : got) {
    if (r.topic == topic && r.payload.find(part) != std::string::npos) return true;
  }
  return false;
}

// RDCV transactions of the trace, per board (1-based).
std::map<int, int> cellReads(const std::string& traceFile) {
  std::map<int, int> reads;
  std::ifstream in(traceFile);
  const std::regex rdcv("^> MS[Xx]*T8([0-9])T[0-9A-F]{2}T04T");
  std::smatch m;
  for (std::string line; std::getline(in, line);) {
    if (std::regex_search(line, m, rdcv)) ++reads[std::stoi(m[1]) + 1];
  }
  return reads;
}

TEST(Publish, TwoBoardSessionArrivesAsTheWindowShowedIt) {
  Broker broker;
  Subscriber sub(broker.port(), "bench/#");
  TempDir dir;
  HeadlessRun run("sim:boards=2,cell=1:3:4.3", url(broker.port(), "bench"), dir.file("trace"));
  ASSERT_TRUE(run.loaded);
  std::string prints;
  for (int c = 0; c < 12; ++c) prints += "print Text1 " + std::to_string(c) + " Text\n";
  // Two boards, out of standby, VOV 4.2 V written through the limits editor, then a cell read of
  // each board by button and a few ticks of continuous read.
  ASSERT_EQ(run.script("select Combo1 1\nclick Command0 1\ntype Text2 1 4.2\n"
                       "click Command1 5\nwait 0.2\nclick Command1 2\nwait 0.2\n"
                       "click Command1 7\n" +
                       prints + "click Command1 8\n"),
            0);
  const std::string board1 = run.out.str();
  ASSERT_EQ(run.script("click Command4 1\nclick Command1 2\nwait 0.2\nclick Command1 7\n" + prints),
            0);
  const std::string board2 = run.out.str();
  ASSERT_EQ(run.script("click Command1 10\ntick 8\nclick Command1 10\n"), 0);

  ASSERT_TRUE(sub.waitFor([](const auto& got) { return has(got, "bench/status", "online"); }, 10s));
  Subscriber late(broker.port(), "bench/status");  // the retained status greets a newcomer
  ASSERT_TRUE(late.waitFor([](const auto& got) { return !got.empty(); }, 5s));
  EXPECT_TRUE(late.messages().front().retain);
  const std::string status = late.messages().front().payload;
  EXPECT_EQ(field(status, "controller"), telemetry::jsonString(run.ctx().startup.controllerId));
  EXPECT_EQ(field(status, "version"), "\"" KB_VERSION "\"");

  const std::map<int, int> reads = cellReads(dir.file("trace"));
  run.session.reset();  // sends what waits, then "offline"
  ASSERT_TRUE(sub.waitFor(
      [](const auto& got) {
        return !got.empty() && got.back().topic == "bench/status" &&
               got.back().payload.find("offline") != std::string::npos;
      },
      10s));

  ASSERT_EQ(reads.size(), 2u);
  EXPECT_GE(reads.at(1), 2);  // the button read and the cycle's
  for (const auto& [board, count] : reads) {
    const std::string& shown = board == 1 ? board1 : board2;
    for (int c = 1; c <= 12; ++c) {
      const auto got =
          sub.on("bench/board/" + std::to_string(board) + "/cell/" + std::to_string(c));
      ASSERT_EQ(static_cast<int>(got.size()), count) << "board " << board << " cell " << c;
      // The window shows " 3.6000V  " after the board's first read, the button's.
      const std::string line = "Text1(" + std::to_string(c - 1) + ").Text = ";
      const std::size_t at = shown.find(line);
      ASSERT_NE(at, std::string::npos) << shown;
      const std::string text =
          shown.substr(at + line.size(), shown.find('\n', at) - at - line.size());
      EXPECT_EQ(" " + field(got.front().payload, "volts") + "V  ", text);
      EXPECT_EQ(got.front().qos, 0);
    }
  }
  // Cell 3 of board 1 above the VOV written: one alarm, at QoS 1, with what the window showed.
  const auto alarm = sub.on("bench/alarm");
  ASSERT_EQ(alarm.size(), 1u);
  EXPECT_EQ(alarm[0].qos, 1);
  EXPECT_EQ(field(alarm[0].payload, "event"), "\"raised\"");
  EXPECT_EQ(field(alarm[0].payload, "kind"), "\"over-voltage\"");
  EXPECT_EQ(field(alarm[0].payload, "board"), "1");
  EXPECT_EQ(field(alarm[0].payload, "cell"), "3");
  EXPECT_EQ(field(alarm[0].payload, "limit"), "4.2");
  const std::string line = "Text1(2).Text = ";
  const std::size_t at = board1.find(line) + line.size();
  EXPECT_DOUBLE_EQ(std::stod(field(alarm[0].payload, "value")), std::stod(board1.substr(at)));
}

// Tuning that retries often, so that a test waits little for the reconnect.
telemetry::PublisherTuning quickRetry() {
  telemetry::PublisherTuning t;
  t.firstRetry = 200ms;
  t.maxRetry = 1000ms;
  return t;
}

TEST(Publish, RidesOutABrokerRestartDuringContinuousRead) {
  Broker broker;
  Subscriber sub(broker.port(), "restart/#");
  HeadlessRun run("sim:boards=2");
  ASSERT_TRUE(run.loaded);
  telemetry::PublishSettings settings;
  std::string error;
  ASSERT_TRUE(telemetry::parsePublishUrl(url(broker.port(), "restart"), settings, error));
  ASSERT_TRUE(run.session->startPublishing(settings, error, quickRetry())) << error;
  ASSERT_EQ(run.script("select Combo1 1\nclick Command0 1\nclick Command1 5\nclick Command1 10\n"),
            0);
  const telemetry::Publisher& publisher = *run.session->publisher();

  // Ticks every 100 ms of real time; each one's own duration is measured.
  std::chrono::nanoseconds slowest{0};
  const auto tickFor = [&](std::chrono::milliseconds span, const auto& until) {
    const auto end = std::chrono::steady_clock::now() + span;
    while (std::chrono::steady_clock::now() < end && !until()) {
      const auto t0 = std::chrono::steady_clock::now();
      EXPECT_EQ(run.script("tick\n"), 0);
      slowest = std::max(slowest, std::chrono::steady_clock::now() - t0);
      std::this_thread::sleep_for(100ms);
    }
  };
  const auto cells = [&] { return sub.on("restart/board/1/cell/1").size(); };
  tickFor(10s, [&] { return cells() >= 2; });
  ASSERT_GE(cells(), 2u);

  broker.stop();
  tickFor(5000ms, [] { return false; });
  EXPECT_EQ(publisher.state(), telemetry::LinkState::Retrying);
  const std::size_t before = sub.on("restart/status").size();
  const std::size_t cellsBefore = cells();
  ASSERT_TRUE(broker.start());
  tickFor(20s, [&] {
    const auto status = sub.on("restart/status");
    return status.size() > before && status.back().payload.find("online") != std::string::npos &&
           cells() > cellsBefore + 2;
  });
  EXPECT_EQ(publisher.state(), telemetry::LinkState::Connected);
  ASSERT_GT(sub.on("restart/status").size(), before);
  EXPECT_NE(sub.on("restart/status").back().payload.find("online"), std::string::npos);
  EXPECT_GT(cells(), cellsBefore + 2);
  // Measured, not asserted: the machine running the tests sets the pace.
  const double ms = std::chrono::duration<double, std::milli>(slowest).count();
  std::cout << "slowest tick across the broker restart: " << ms << " ms\n";
  ::testing::Test::RecordProperty("slowest_tick_us", static_cast<int>(ms * 1000));
}

#ifdef KB_PROGRAM
TEST(Publish, KilledProgramGoesOfflineWithinTheKeepAlive) {
  Broker broker;
  Subscriber sub(broker.port(), "killed/status");
  TempDir home;
  constexpr int kKeepAlive = 5;
  const pid_t pid =
      spawn({KB_PROGRAM, "--simulate=2", "--publish", url(broker.port(), "killed"),
             "--publish-keepalive", std::to_string(kKeepAlive)},
            home.file("log"),
            {"QT_QPA_PLATFORM=offscreen", "HOME=" + home.path.string(),
             "XDG_CONFIG_HOME=" + home.file("config"), "XDG_RUNTIME_DIR=" + home.path.string()});
  const bool online =
      sub.waitFor([](const auto& got) { return has(got, "killed/status", "\"online\""); }, 60s);
  kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(online) << "the program never said online";
  // The broker publishes the will at the latest one and a half keep-alives after the last packet.
  EXPECT_TRUE(sub.waitFor(
      [](const auto& got) { return got.back().payload.find("\"offline\"") != std::string::npos; },
      std::chrono::milliseconds(kKeepAlive * 1500)));
  Subscriber late(broker.port(), "killed/status");
  ASSERT_TRUE(late.waitFor([](const auto& got) { return !got.empty(); }, 5s));
  EXPECT_TRUE(late.messages().back().retain);
  EXPECT_NE(late.messages().back().payload.find("\"offline\""), std::string::npos);
}
#endif

// CA, server certificate for 127.0.0.1, and a second CA that signed nothing of the broker's.
void makeCertificates(const TempDir& d) {
  const std::string key = " -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes";
  std::ofstream(d.file("san.ext")) << "subjectAltName=IP:127.0.0.1\n";
  const std::string cmd =
      "cd " + d.path.string() + " && openssl req -x509" + key +
      " -keyout ca.key -out ca.crt -days 2 -subj /CN=kb-test-ca && openssl req -x509" + key +
      " -keyout other.key -out other.crt -days 2 -subj /CN=kb-other-ca && openssl req" + key +
      " -keyout server.key -out server.csr -subj /CN=127.0.0.1 && openssl x509 -req -in "
      "server.csr -CA ca.crt -CAkey ca.key -CAcreateserial -out server.crt -days 2 -extfile "
      "san.ext && mosquitto_passwd -c -b passwd bench s3cret && printf 's3cret\\n' > good && "
      "printf 'wrong\\n' > bad && chmod 0644 server.key passwd";
  ASSERT_EQ(std::system(("(" + cmd + ") > " + d.file("openssl.log") + " 2>&1").c_str()), 0) << cmd;
}

TEST(Publish, TlsWithUserAndPasswordConnectsOnlyWhenEverythingChecksOut) {
  TempDir certs;
  makeCertificates(certs);
  if (::testing::Test::HasFatalFailure()) return;
  Broker tls("allow_anonymous false\npassword_file " + certs.file("passwd") + "\ncafile " +
             certs.file("ca.crt") + "\ncertfile " + certs.file("server.crt") + "\nkeyfile " +
             certs.file("server.key") + "\n");
  Broker plain;
  const auto client = [&](int port, const std::string& ca, const std::string& password) {
    telemetry::PublishSettings s;
    s.host = "127.0.0.1";
    s.port = port;
    s.prefix = "tls";
    s.tls = true;
    s.caFile = certs.file(ca);
    s.user = "bench";
    s.passwordFile = certs.file(password);
    std::string pw;
    std::string error;
    EXPECT_TRUE(telemetry::readPasswordFile(s.passwordFile, pw, error)) << error;
    auto p = std::make_unique<telemetry::Publisher>(s, pw, quickRetry());
    p->enqueue(telemetry::alarmMessage(alarms::Event::Raised, alarms::Alarm{}, "tls", 0));
    p->start();
    return p;
  };
  const auto waitUntil = [](const auto& done) {
    const auto end = std::chrono::steady_clock::now() + 15s;
    while (!done() && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(20ms);
    return done();
  };

  auto good = client(tls.port(), "ca.crt", "good");
  EXPECT_TRUE(waitUntil([&] { return good->sent() == 1; }));  // the broker acknowledged the alarm
  EXPECT_EQ(good->state(), telemetry::LinkState::Connected);

  // A wrong password, a CA that did not sign the broker's certificate, a broker without TLS:
  // each is refused, and none connects in plain text instead.
  for (const auto& [port, ca, password] :
       {std::tuple{tls.port(), "ca.crt", "bad"}, std::tuple{tls.port(), "other.crt", "good"},
        std::tuple{plain.port(), "ca.crt", "good"}}) {
    auto p = client(port, ca, password);
    EXPECT_TRUE(waitUntil([&] { return !p->lastError().empty(); })) << ca << " " << password;
    EXPECT_EQ(p->state(), telemetry::LinkState::Retrying) << p->lastError();
    EXPECT_EQ(p->sent(), 0u);
  }
  std::ifstream log(plain.dir().file("log"));
  const std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text.find("New client connected"), std::string::npos) << text;
}

}  // namespace
}  // namespace kb::test
