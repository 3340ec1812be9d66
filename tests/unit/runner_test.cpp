#include <gtest/gtest.h>

#include <sstream>

#include "app/core/CommandLine.h"
#include "app/core/ScriptRunner.h"
#include "app/core/Session.h"

namespace kb::app {
namespace {

struct Program {
  explicit Program(const std::string& device = "sim") : dialogs(out) {
    options.device = device;
    session = std::make_unique<Session>(options, clock, dialogs);
    loaded = session->error().empty() && session->window().load();
    runner = std::make_unique<ScriptRunner>(session->window(), out,
                                            [this](double s) { clock.advance(s); });
  }
  int script(const std::string& text) {
    out.str("");
    std::istringstream in(text);
    return runner->run(in);
  }

  Options options;
  ManualClock clock;
  std::ostringstream out;
  PrintingDialogs dialogs;
  std::unique_ptr<Session> session;
  std::unique_ptr<ScriptRunner> runner;
  bool loaded = false;
};

TEST(CommandLine, FormsAndErrors) {
  auto p = parseCommandLine({"--simulate=3", "--trace", "t.txt", "--headless", "--script=s"});
  ASSERT_TRUE(p.error.empty()) << p.error;
  EXPECT_EQ(p.options.device, "sim:boards=3");
  EXPECT_EQ(p.options.traceFile, "t.txt");
  EXPECT_EQ(p.options.scriptFile, "s");
  EXPECT_TRUE(p.options.headless);

  EXPECT_EQ(parseCommandLine({}).options.device, "ftdi");
  EXPECT_EQ(parseCommandLine({"--device", "sim:seed=2"}).options.device, "sim:seed=2");
  EXPECT_NE(parseCommandLine({"--trace"}).error.find("needs a value"), std::string::npos);
  EXPECT_NE(parseCommandLine({"--headless"}).error.find("--script"), std::string::npos);
  EXPECT_NE(parseCommandLine({"-x"}).error.find("unknown option '-x'"), std::string::npos);
}

TEST(ScriptRunner, PrintsPropertiesAndStateVariables) {
  Program r;
  ASSERT_TRUE(r.loaded);
  EXPECT_EQ(r.script("print Command1 6 Caption\n"
                     "print Command1 6 ToolTipText   # trailing comment\n"
                     "print Label_ID Caption\n"
                     "print status.Label12 0 Caption\n"
                     "print Timer1 Enabled\n"
                     "print BoardAddress 9\n"
                     "print PecState 0\n"),
            0);
  EXPECT_EQ(r.out.str(),
            "Command1(6).Caption = READ CONFIG\n"
            "Command1(6).ToolTipText = 0x02 RDCFG\n"
            "Label_ID.Caption = QXM7140-2\n"
            "status.Label12(0).Caption =  IC #\n"
            "Timer1.Enabled = True\n"
            "BoardAddress 9 = 89\n"
            "PecState 0 = 1\n");
}

TEST(ScriptRunner, ActionsReachTheForms) {
  Program r;
  ASSERT_TRUE(r.loaded);
  EXPECT_EQ(r.script("click Check_AUTO\nprint Label_AUTOstatus Caption\ntab 1\n"
                     "print Frame13 Visible\nprint ChipSelectLeftLow\nclick Command1 0\n"
                     "print ChipSelectLeftLow\n"),
            0);
  EXPECT_EQ(r.out.str(),
            "Label_AUTOstatus.Caption = DISPLAY ONLY VALID DATA TRANSFERS!\n"
            "Frame13.Visible = True\n"
            "ChipSelectLeftLow = False\n"
            "ChipSelectLeftLow = True\n");
  const double before = r.clock.elapsedSeconds();
  EXPECT_EQ(r.script("tick 5\nwait 1.5\n"), 0);
  EXPECT_NEAR(r.clock.elapsedSeconds() - before, 2.0, 1e-9);
}

TEST(ScriptRunner, BadLinesAreReportedWithTheirNumber) {
  Program r;
  ASSERT_TRUE(r.loaded);
  const struct {
    const char* script;
    const char* error;
  } cases[] = {
      {"\n# fine\nclick Nothing\n", "line 3: no control Nothing"},
      {"click Command1 99\n", "line 1: no control Command1"},
      {"tick x\n", "line 1: tick takes a count"},
      {"wait -1\n", "line 1: wait takes seconds"},
      {"tab 7\n", "line 1: no tab 7"},
      {"menu Nothing There\n", "line 1: no enabled menu item 'Nothing There'"},
      {"menu Create New Setup\n", "line 1: no enabled menu item 'Create New Setup'"},
      {"select Command1 6 2\n", "line 1: Command1 is not a combo box"},
      {"print Command1 6 Colour\n", "line 1: unknown property Colour"},
      {"print NoSuchVariable\n", "line 1: unknown control or state variable NoSuchVariable"},
      {"jump Command1 6\n", "line 1: unknown action 'jump'"},
  };
  r.session->window().form().findMenuItem("Create New Setup")->enabled = false;
  for (const auto& c : cases) {
    EXPECT_EQ(r.script(c.script), 2) << c.script;
    EXPECT_EQ(r.runner->error(), c.error) << c.script;
  }
}

TEST(ScriptRunner, ExitStopsTheScript) {
  Program r;
  ASSERT_TRUE(r.loaded);
  EXPECT_EQ(r.script("menu Exit\nprint CurrentBoard\n"), 0);
  EXPECT_TRUE(r.session->window().ended());
  EXPECT_EQ(r.out.str(), "");
}

TEST(PrintingDialogs, JoinsLines) {
  std::ostringstream out;
  PrintingDialogs d(out);
  d.msgBox("An QXM7140-2/4 UV or OV Flag was detected.\r\nCorrect the Cell Voltage.", "ERROR!");
  EXPECT_EQ(out.str(),
            "MSGBOX ERROR!: An QXM7140-2/4 UV or OV Flag was detected. / Correct the "
            "Cell Voltage.\n");
}

}  // namespace
}  // namespace kb::app
