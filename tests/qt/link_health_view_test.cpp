// The link health's status line and its window, over the simulated stack pulled out at 1 s.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTableWidget>
#include <chrono>
#include <sstream>
#include <thread>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "app/core/ScriptRunner.h"
#include "app/core/Session.h"
#include "ui/qt/AppWindows.h"
#include "ui/qt/LinkHealthView.h"

namespace kb::qt {
namespace {

// A session on the simulated stack given, with a manual clock.
struct SessionRig {
  explicit SessionRig(const char* device) : session(optionsFor(device), clock, dialogs) {}
  static app::Options optionsFor(const char* device) {
    app::Options o;
    o.device = device;
    return o;
  }
  ManualClock clock;
  std::ostringstream messages;
  app::PrintingDialogs dialogs{messages};
  app::Session session;
};

TEST(LinkHealthView, StatusLineAndWindowFollowTheLink) {
  SessionRig r("sim:boards=2,fault=unplug:1");
  ManualClock& clock = r.clock;
  app::Session& session = r.session;
  ASSERT_TRUE(session.window().load());
  MainFrame frame(session.window());
  LinkHealthView& view = frame.linkHealth();
  EXPECT_TRUE(view.statusLine()->text().startsWith("Controller: simulated stack - connected"));

  clock.advance(2.0);
  auto& c = session.window().context().c;
  frame.pump().deliver([&] { session.window().form().operatorClick(c.Command1[6]); });
  EXPECT_TRUE(view.statusLine()->text().startsWith(
      "Controller: simulated stack - not answering since 08:00:02"))
      << view.statusLine()->text().toStdString();

  // In the form's View menu, after its own items.
  QMenu* menu = nullptr;
  for (QAction* a : frame.menuBar()->actions()) {
    if (a->text() == "View") menu = a->menu();
  }
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->actions().back()->text(), "Link health");
  menu->actions().back()->trigger();
  EXPECT_TRUE(view.window()->isVisible());
  // A row per board in use; the first board's configuration was read at start-up.
  frame.pump().deliver([&] { session.window().form().operatorSelect(*c.Combo1, 1); });
  ASSERT_EQ(view.table()->rowCount(), 2);
  EXPECT_EQ(view.table()->item(1, 0)->text(), "2");
  EXPECT_EQ(view.table()->item(0, 7)->text(), "08:00:00");
  EXPECT_EQ(view.table()->item(0, 4)->text(), "-");
}

TEST(LinkHealthView, SaysWhetherPublishingReachesTheBroker) {
  // A port bound but not listening: every connect is refused.
  const int sock = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
  ASSERT_EQ(getsockname(sock, reinterpret_cast<sockaddr*>(&a), &len), 0);

  SessionRig r("sim:boards=1");
  app::Session& session = r.session;
  ASSERT_TRUE(session.window().load());
  MainFrame frame(session.window());
  LinkHealthView& view = frame.linkHealth();
  view.setPublisher([&session] { return session.publisher(); });
  EXPECT_TRUE(view.publishLine()->isHidden()) << "nothing while not publishing";

  telemetry::PublishSettings settings;
  settings.host = "127.0.0.1";
  settings.port = ntohs(a.sin_port);
  settings.prefix = "kb";
  std::string error;
  ASSERT_TRUE(session.startPublishing(settings, error)) << error;
  for (int i = 0; i < 500 && session.publisher()->state() != telemetry::LinkState::Retrying; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  view.showWindow();
  EXPECT_EQ(view.publishLine()->text(), "MQTT: retrying");
  EXPECT_FALSE(view.publishLine()->isHidden());
  EXPECT_TRUE(view.summary()->text().contains("MQTT: retrying, 0 messages dropped"));

  session.stopPublishing();
  view.refresh();
  EXPECT_TRUE(view.publishLine()->isHidden());
  close(sock);
}

}  // namespace
}  // namespace kb::qt
