#include "app/gui/GuiRun.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QStyle>
#include <QStyleFactory>
#include <QThread>
#include <QWindow>
#include <fstream>
#include <iostream>

#include "app/core/ScriptRunner.h"
#include "app/core/Session.h"
#include "app/gui/UserSettings.h"
#include "app/gui/PublishMenu.h"
#include "common/Clock.h"
#include "ui/qt/AppWindows.h"
#include "ui/qt/QtServices.h"
#include "ui/qt/RecordingDialogs.h"

namespace kb::app {

namespace {

// One look everywhere: the layout is in fixed pixels and the colours assume a light palette.
void prepareApplication() {
  QCoreApplication::setApplicationName(QStringLiteral("kb4471"));
  QCoreApplication::setApplicationVersion(QStringLiteral(KB_VERSION));
  // The desktop entry the windows belong to (its icon and name in a Wayland session).
  QGuiApplication::setDesktopFileName(QStringLiteral("kb4471"));
  if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) {
    QApplication::setStyle(fusion);
    QApplication::setPalette(fusion->standardPalette());
  }
}

// Until the window is on screen and painted; a grab before that shows nothing.
void waitExposed(QWidget* w) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 5000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    if (w->windowHandle() != nullptr && w->windowHandle()->isExposed()) break;
    QThread::msleep(10);
  }
  for (int i = 0; i < 5; ++i) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(10);
  }
}

bool saveGrab(QWidget* w, const QString& path) {
  if (w->grab().save(path, "PNG")) return true;
  std::cerr << "kb4471: cannot write " << path.toStdString() << '\n';
  return false;
}

// The offscreen platform's notices say nothing about the program: kept out of the output.
QtMessageHandler previousHandler = nullptr;
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.contains(QLatin1String("propagateSizeHints")) ||
      message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR"))) {
    return;
  }
  if (previousHandler != nullptr) previousHandler(type, context, message);
}

}  // namespace

bool displayMissing() {
  return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
         qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

int runGui(int& argc, char** argv, const Options& options) {
  QApplication app(argc, argv);
  prepareApplication();
  UserSettings settings;
  Options run = options;
  run.exportDir = settings.exportFolder(options.exportDir);
  SystemClock clock;
  qt::QtDialogs dialogs;
  qt::QtDesktop desktop;
  Session session(run, clock, dialogs, &desktop);
  if (!session.error().empty()) {
    std::cerr << session.error() << '\n';
    return 2;
  }
  // A fault is told on standard error and in a message box; the program carries on.
  session.window().setFaultReporter([&dialogs](const form::Fault& fault) {
    std::cerr << faultLine(fault) << std::endl;
    dialogs.msgBox(
        "The program met an error in " + fault.control + " " + fault.event + ":\n" + fault.reason,
        form::kAppTitle);
  });
  if (!session.window().load()) return session.window().context().exitStatus;
  qt::MainFrame frame(session.window());
  frame.attachDialogs(dialogs);
  settings.restoreWindows(frame);
  qt::RecordingDialogs recordingDialogs(session.window(), frame.pump(), &frame);
  setUpPublishing(frame, session, options, dialogs, true);
  frame.showWindows();
  if (session.window().ended()) return session.window().context().exitStatus;
  const int status = QApplication::exec();
  settings.saveWindows(frame);
  return status;
}

int runScreenshot(int& argc, char** argv, const Options& options) {
  if (displayMissing()) qputenv("QT_QPA_PLATFORM", "offscreen");
  previousHandler = qInstallMessageHandler(quietHandler);
  QApplication app(argc, argv);
  prepareApplication();
  ManualClock clock;
  PrintingDialogs dialogs(std::cout);
  PrintingDesktop desktop(std::cout);
  Session session(options, clock, dialogs, &desktop);
  if (!session.error().empty()) {
    std::cerr << session.error() << '\n';
    return 2;
  }
  std::ifstream script;
  std::string error;
  if (!options.scriptFile.empty() && !openScript(options.scriptFile, script, error)) {
    std::cerr << error << '\n';
    return 2;
  }
  ScriptRunner runner(session.window(), std::cout, clock);
  session.window().setFaultReporter([&runner](const form::Fault& fault) {
    std::cerr << faultLine(fault) << std::endl;
    runner.faulted();
  });
  if (!session.window().load()) return session.window().context().exitStatus;

  int status = 0;
  if (!options.scriptFile.empty()) {
    status = runner.run(script);
    if (status == 2 || status == 3) {
      std::cerr << "kb4471: " << runner.error() << '\n';
      return status;
    }
  }

  qt::MainFrame frame(session.window());
  setUpPublishing(frame, session, options, dialogs, false);
  frame.holdTimer(true);  // what the shots show is the state after start-up and the script
  frame.showWindows(qt::MainFrame::Fit::Forms);
  waitExposed(&frame);
  if (frame.statusWindow()->isVisible()) waitExposed(frame.statusWindow());
  QWidget* trends = &frame.trendWindow();
  if (trends->isVisible()) waitExposed(trends);
  QWidget* alarmList = &frame.alarmWindow();
  if (alarmList->isVisible()) waitExposed(alarmList);

  // Made only now, so that a bad script or a missing controller leaves no empty folder behind.
  const QString dir = QString::fromStdString(options.screenshotDir);
  if (!QDir().mkpath(dir)) {
    std::cerr << "kb4471: cannot create directory " << options.screenshotDir << '\n';
    return 2;
  }

  const bool saved =
      saveGrab(&frame, QDir(dir).filePath(QStringLiteral("main.png"))) &&
      saveGrab(frame.statusWindow(), QDir(dir).filePath(QStringLiteral("status.png"))) &&
      (!trends->isVisible() ||
       saveGrab(trends, QDir(dir).filePath(QStringLiteral("trends.png")))) &&
      (!alarmList->isVisible() ||
       saveGrab(alarmList, QDir(dir).filePath(QStringLiteral("alarms.png"))));
  return saved ? status : 2;
}

}  // namespace kb::app
