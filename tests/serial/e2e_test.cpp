// The program against kb4471-simdevice: the same session over a pseudo-terminal as over the
// built-in stack, the device listing, and the controller pulled out and plugged in again through
// the device's link, in real time.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "Processes.h"
#include "app/core/ScriptRunner.h"
#include "app/core/Session.h"

namespace kb {
namespace {

namespace fs = std::filesystem;
using Steady = std::chrono::steady_clock;

fs::path workDir(const std::string& name) {
  const fs::path dir =
      fs::temp_directory_path() / ("kb4471-serial-" + name + "-" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

std::vector<std::string> linesOf(const fs::path& file, char prefix) {
  std::ifstream in(file);
  std::vector<std::string> lines;
  for (std::string l; std::getline(in, l);) {
    if (!l.empty() && l[0] == prefix) lines.push_back(l);
  }
  return lines;
}

bool has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Start-up, two boards, WRITE CONFIG, STARTCELLVOLT, READCELLVOLT, READ FLAG, READ TEMP, then a
// balancer WRITE and READ COMMAND.
constexpr const char* kSession =
    "select Combo1 1\n"
    "click Command1 5\nclick Command1 2\nclick Command1 7\nclick Command1 8\nclick Command1 9\n"
    "tab 1\nclick Option_1 0\nclick Command_1\nclick Option_1 1\nclick Command_1\n"
    "print PecState 0\nprint PecState 1\nprint BoardHealth 1\nprint BoardHealth 2\n";

TEST(SimDevice, TheSessionOverAPseudoTerminalWritesWhatTheBuiltInStackGets) {
  const fs::path dir = workDir("e2e");
  std::ofstream(dir / "s.txt") << kSession;
  test::Child device({KB_SIMDEVICE, "--device", "sim:boards=2", "--exit-after", "60"});
  const std::string port = device.line();
  ASSERT_EQ(port.rfind("/dev/pts/", 0), 0u) << port;

  const test::Run serial =
      test::run({KB_PROGRAM, "--headless", "--device", "serial:" + port, "--trace",
                 (dir / "serial.txt").string(), "--script", (dir / "s.txt").string()});
  // The held link: the port stays open, its receive side purged before each read; a write-only
  // string (WRITE CONFIG) must still reach the device before the next read.
  const test::Run held =
      test::run({KB_PROGRAM, "--headless", "--device", "serial:" + port, "--link", "held",
                 "--trace", (dir / "held.txt").string(), "--script", (dir / "s.txt").string()});
  const test::Run builtIn =
      test::run({KB_PROGRAM, "--headless", "--device", "sim:boards=2", "--trace",
                 (dir / "sim.txt").string(), "--script", (dir / "s.txt").string()});
  ASSERT_EQ(serial.status, 0) << serial.out;
  ASSERT_EQ(held.status, 0) << held.out;
  ASSERT_EQ(builtIn.status, 0) << builtIn.out;
  const std::vector<std::string> written = linesOf(dir / "serial.txt", '>');
  EXPECT_EQ(written, linesOf(dir / "sim.txt", '>'));
  EXPECT_EQ(linesOf(dir / "held.txt", '>'), written);
  EXPECT_EQ(linesOf(dir / "held.txt", '<'), linesOf(dir / "serial.txt", '<'));
  // The balancer's WRITE, then its READ COMMAND.
  const auto write = std::find(written.begin(), written.end(), "> xXSA9S00S0FS00S0FxX");
  ASSERT_NE(write, written.end());
  EXPECT_NE(std::find(write, written.end(), "> xXSAARRRRxX"), written.end());
  EXPECT_EQ(linesOf(dir / "serial.txt", '!'), std::vector<std::string>{});
  // Every read's PEC matched, on both boards, and each kind was read.
  EXPECT_TRUE(has(serial.out, "PecState 0 = 1\nPecState 1 = 1\n")) << serial.out;
  for (const char* board : {"board 1: 0 PEC mismatches, 0 balancer words in error, 0 balancer "
                            "transfers failed; last good cells 08:00:00, temperatures 08:00:00, "
                            "flags 08:00:00, configuration 08:00:00, balancer words 08:00:00",
                            "board 2: 0 PEC mismatches"}) {
    EXPECT_TRUE(has(serial.out, board)) << serial.out;
  }
  fs::remove_all(dir);
}

TEST(SimDevice, ListDevicesAsksANamedPseudoTerminalForItsIdentity) {
  test::Child device({KB_SIMDEVICE, "--exit-after", "30"});
  const std::string port = device.line();
  const test::Run named = test::run({KB_PROGRAM, "--list-devices", "serial:" + port});
  EXPECT_EQ(named.status, 0);
  EXPECT_EQ(named.out, "serial  " + port +
                           "  -  (not a USB port)  serial -  no description to match; answers "
                           "\"IZ\" with \"QXM7140-2\", a known identity\n");
  const test::Run all = test::run({KB_PROGRAM, "--list-devices"});
  EXPECT_EQ(all.status, 0);
  EXPECT_FALSE(all.out.empty());
}

// What a real-time session saw at one tick.
struct Sample {
  double at;  // seconds since the device started
  bool answering;
};

TEST(SimDevice, ThePulledControllerIsNotAnsweringAndComesBackWithoutARestart) {
  const fs::path dir = workDir("unplug");
  const fs::path link = dir / "usb-KB771U-if00-port0";
  test::Child device({KB_SIMDEVICE, "--device", "sim:boards=3,fault=unplug:5:9", "--link",
                      link.string(), "--exit-after", "60"});
  ASSERT_FALSE(device.line().empty());
  const auto started = Steady::now();
  ASSERT_TRUE(fs::is_symlink(link));

  SystemClock clock;
  std::ostringstream messages;
  app::PrintingDialogs dialogs(messages);
  app::Options options;
  options.device = "serial:" + link.string();
  app::Session session(options, clock, dialogs);
  std::vector<std::string> faults;
  session.window().setFaultReporter(
      [&](const form::Fault& f) { faults.push_back(app::faultLine(f)); });
  ASSERT_TRUE(session.window().load()) << messages.str();
  auto& ctx = session.window().context();
  session.window().form().operatorSelect(*ctx.c.Combo1, 2);
  session.window().form().operatorClick(ctx.c.Command1[10]);

  std::vector<Sample> samples;
  bool linkGone = false;
  std::int64_t backMicros = -1;  // the program's clock once the controller is back
  auto secs = [&] { return std::chrono::duration<double>(Steady::now() - started).count(); };
  for (auto next = Steady::now(); secs() < 11.5; next += std::chrono::milliseconds(100)) {
    std::this_thread::sleep_until(next);
    session.window().tick();
    samples.push_back({secs(), ctx.linkHealth.answering()});
    if (samples.back().at > 6.0 && samples.back().at < 8.0) linkGone |= !fs::exists(link);
    if (backMicros < 0 && samples.back().at > 9.2) backMicros = clock.elapsedMicros();
  }
  EXPECT_TRUE(faults.empty());
  EXPECT_TRUE(linkGone);
  EXPECT_GT(samples.size(), 50u) << "the cycle keeps ticking";
  for (const Sample& s : samples) {
    EXPECT_TRUE(s.at >= 4.8 || s.answering) << s.at;
    EXPECT_TRUE(s.at <= 5.6 || s.at >= 8.8 || !s.answering) << s.at;
    EXPECT_TRUE(s.at <= 10.0 || s.answering) << s.at;
  }
  // Fresh cell readings of every board after the controller came back.
  for (int b = 0; b < 3; ++b) {
    EXPECT_GT(ctx.linkHealth.board(b).lastGoodMicros[0], backMicros) << b;
  }
  fs::remove_all(dir);
}

}  // namespace
}  // namespace kb
