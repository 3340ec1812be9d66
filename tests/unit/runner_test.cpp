#include <gtest/gtest.h>

#include <sstream>
#include <streambuf>

#include "ScriptProgram.h"
#include "app/core/CommandLine.h"
#include "app/core/ScriptRunner.h"
#include "app/core/Session.h"

namespace kb::app {
namespace {

using Program = test::ScriptProgram;

TEST(CommandLine, FormsAndErrors) {
  auto p = parseCommandLine({"--simulate=3", "--trace", "t.txt", "--headless", "--script=s"});
  ASSERT_TRUE(p.error.empty()) << p.error;
  EXPECT_EQ(p.options.device, "sim:boards=3");
  EXPECT_EQ(p.options.traceFile, "t.txt");
  EXPECT_EQ(p.options.scriptFile, "s");
  EXPECT_TRUE(p.options.headless);
  EXPECT_EQ(parseCommandLine({}).options.device, "ftdi");
  EXPECT_EQ(parseCommandLine({"--device", "sim:seed=2"}).options.device, "sim:seed=2");
  EXPECT_TRUE(parseCommandLine({"--screenshot", "d", "--script", "s"}).error.empty());
  EXPECT_EQ(parseCommandLine({}).options.link, "transaction");
  EXPECT_EQ(parseCommandLine({"--link", "held"}).options.link, "held");

  const struct {
    std::vector<std::string> args;
    const char* error;
  } bad[] = {
      {{"--trace"}, "option --trace needs a value"},
      {{"--trace="}, "option --trace needs a value, not an empty one"},
      {{"--trace", ""}, "option --trace needs a value, not an empty one"},
      {{"--screenshot="}, "option --screenshot needs a value, not an empty one"},
      {{"--script="}, "option --script needs a value, not an empty one"},
      {{"--device="}, "option --device needs a value, not an empty one"},
      {{"--trace=a", "--trace=b"}, "option --trace given twice"},
      {{"--headless"}, "--headless needs --script FILE"},
      {{"--script", "s"}, "--script needs --headless or --screenshot DIR"},
      {{"--headless", "--screenshot", "d", "--script", "s"},
       "--headless and --screenshot exclude each other"},
      {{"--simulate", "--device", "sim"}, "--simulate and --device both choose the device"},
      {{"--simulate=3,fault=unplugged"}, "--simulate=3,fault=unplugged: the number of boards"},
      {{"--simulate=0"}, "the number of boards must be 1 to 10"},
      {{"--link=open"}, "--link open: use transaction or held"},
      {{"--simulate=11"}, "the number of boards must be 1 to 10"},
      {{"--simulate="}, "the number of boards must be 1 to 10"},
      {{"-x"}, "unknown option '-x'"},
      {{"--\x1b[2J"}, "unknown option '--\\x1B[2J'"},
  };
  for (const auto& c : bad) {
    const std::string error = parseCommandLine(c.args).error;
    EXPECT_EQ(error.rfind("kb4471: ", 0), 0u) << error;
    EXPECT_NE(error.find(c.error), std::string::npos) << c.args[0] << " -> " << error;
  }
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
                     "print PecState 0\n"
                     "print CurrentBoard\n"),
            0);
  EXPECT_EQ(r.out.str(),
            "Command1(6).Caption = READ CONFIG\n"
            "Command1(6).ToolTipText = 0x02 RDCFG\n"
            "Label_ID.Caption = QXM7140-2\n"
            "status.Label12(0).Caption =  IC #\n"
            "Timer1.Enabled = True\n"
            "BoardAddress 9 = 89\n"
            "PecState 0 = 1\n"
            "CurrentBoard = 0\n");
}

TEST(ScriptRunner, PecErrorTellsTheLatestFailedRead) {
  Program r("sim:fault=pec:1");
  ASSERT_TRUE(r.loaded);
  EXPECT_EQ(r.script("click Command1 7\nprint PecError 0\n"), 0);
  EXPECT_EQ(r.out.str().rfind("PecError 0 = PEC_RDCV ERROR! 0x", 0), 0u) << r.out.str();
}

TEST(ScriptRunner, ActionsReachTheForms) {
  Program r;
  ASSERT_TRUE(r.loaded);
  EXPECT_EQ(r.script("click Check_AUTO\nprint Label_AUTOstatus Caption\nprint ChipSelectLeftLow\n"
                     "click Command1 0\nprint ChipSelectLeftLow\ntab 1\nprint Frame13 Visible\n"),
            0);
  EXPECT_EQ(r.out.str(),
            "Label_AUTOstatus.Caption = DISPLAY ONLY VALID DATA TRANSFERS!\n"
            "ChipSelectLeftLow = False\n"
            "ChipSelectLeftLow = True\n"
            "Frame13.Visible = True\n");
}

TEST(ScriptRunner, TypeAndKeyActAsAPersonAtTheKeyboard) {
  Program r;
  ASSERT_TRUE(r.loaded);
  // The focus stays in the box after typing, so Enter lands there and stores the limit; Enter on
  // a focused button clicks it.
  EXPECT_EQ(r.script("type Text2 1 4.2\nkey Text2 1 13\nprint Text2 1 Text\n"
                     "focus Command1 7\nkey Command1 7 13\nprint Label8 1 Caption\n"),
            0);
  EXPECT_EQ(r.out.str(), "Text2(1).Text = 4.200V \nLabel8(1).Caption = Command = 0x04 RDCV\n");
}

TEST(ScriptRunner, TicksAndWaitsMoveTheClockExactly) {
  const struct {
    const char* script;
    std::int64_t micros;
  } cases[] = {
      {"tick\n", 100'000},       {"tick 5\n", 500'000},
      {"tick 0\n", 0},           {"wait 1.5\n", 1'500'000},
      {"wait .25\n", 250'000},   {"wait 3.\n", 3'000'000},
      {"wait 0.0000005\n", 1},   {"wait 0.0000004999\n", 0},
      {"wait 007\n", 7'000'000}, {"wait 3155760000\n", ManualClock::kMaxElapsedMicros},
  };
  for (const auto& c : cases) {
    Program r;
    const std::int64_t before = r.clock.elapsedMicros();
    EXPECT_EQ(r.script(c.script), 0) << c.script << r.runner->error();
    EXPECT_EQ(r.clock.elapsedMicros() - before, c.micros) << c.script;
  }
}

TEST(ScriptRunner, ByteOrderMarkAndCrLfGiveTheSameRun) {
  const std::string lines[] = {"click Check_AUTO", "print Label_AUTOstatus Caption",
                               "print Command1 6 Caption", "print BoardAddress 3"};
  std::string plain, windows = "\xEF\xBB\xBF";
  for (const std::string& l : lines) {
    plain += l + "\n";
    windows += l + "\r\n";
  }
  Program a, b;
  EXPECT_EQ(a.script(plain), 0);
  EXPECT_EQ(b.script(windows), 0) << b.runner->error();
  EXPECT_EQ(a.out.str(), b.out.str());
}

TEST(ScriptRunner, BadLinesNameTheirFault) {
  const struct {
    const char* script;
    const char* error;
  } cases[] = {
      {"\n# fine\nclick Nothing\n", "line 3: no control Nothing"},
      {"click Command1 99\n", "line 1: no control Command1(99)"},
      {"click Command1\n", "line 1: Command1 needs an index (0..14)"},
      {"click Command1 six\n", "line 1: Command1 needs an index (0..14)"},
      {"click Command1 6 extra\n", "line 1: extra word 'extra' after click Command1(6)"},
      {"click Label_ID 3\n", "line 1: Label_ID takes no index"},
      {"click Command1 2\n", "line 1: Command1(2) is disabled"},
      {"tab 1\nclick Command1 6\n",
       "line 2: Command1(6) is not visible (its frame Frame10 is hidden)"},
      {"click ReminderMark 0\n", "line 1: ReminderMark(0) cannot be clicked (it is a Shape)"},
      {"click Timer1\n", "line 1: Timer1 cannot be clicked (it is a Timer)"},
      {"click\n", "line 1: click needs a control name"},
      {"focus Label_ID\n", "line 1: Label_ID cannot take the focus (it is a Label)"},
      {"type Command1 6 abc\n", "line 1: Command1(6) takes no text (it is a CommandButton)"},
      {"type Label_ID abc\n", "line 1: Label_ID takes no text (it is a Label)"},
      {"key Check_AUTO -1\n", "line 1: key takes a key code of 0 to 255, not -1"},
      {"key Check_AUTO 256\n", "line 1: key takes a key code of 0 to 255, not 256"},
      {"key Check_AUTO\n", "line 1: key Check_AUTO needs a key code"},
      {"key Label_ID 65\n", "line 1: Label_ID takes no keys (it is a Label)"},
      {"select Command1 6 2\n", "line 1: Command1(6) is not a combo box"},
      {"tick x\n", "line 1: tick takes a count of 0 to 864000 (a day), not x"},
      {"tick 864001\n", "line 1: tick takes a count of 0 to 864000 (a day), not 864001"},
      {"tick -1\n", "line 1: tick takes a count of 0 to 864000 (a day), not -1"},
      {"tick 1 2\n", "line 1: extra word '2' after tick 1"},
      {"wait\n", "line 1: wait needs a number of seconds"},
      {"wait -1\n",
       "line 1: wait takes seconds as a plain decimal number (such as 2 or 0.25), not -1"},
      {"wait inf\n",
       "line 1: wait takes seconds as a plain decimal number (such as 2 or 0.25), not inf"},
      {"wait nan\n",
       "line 1: wait takes seconds as a plain decimal number (such as 2 or 0.25), not nan"},
      {"wait 1e3\n",
       "line 1: wait takes seconds as a plain decimal number (such as 2 or 0.25), not 1e3"},
      {"wait 0x10\n",
       "line 1: wait takes seconds as a plain decimal number (such as 2 or 0.25), not 0x10"},
      {"wait .\n",
       "line 1: wait takes seconds as a plain decimal number (such as 2 or 0.25), not ."},
      {"wait 3155760000.000001\n",
       "line 1: wait 3155760000.000001 would move the clock past its limit of 100 years"},
      {"wait 99999999999999999999999\n",
       "line 1: wait 99999999999999999999999 would move the clock past its limit of 100 years"},
      {"wait 3155760000\ntick\n",
       "line 2: tick 1 would move the clock past its limit of 100 years"},
      {"wait 3155700000\nwait 60000.000001\n",
       "line 2: wait 60000.000001 would move the clock past its limit of 100 years"},
      {"tab 7\n", "line 1: no tab 7"},
      {"tab\n", "line 1: tab takes one tab index"},
      {"menu\n", "line 1: menu needs the caption of an item"},
      {"menu Nothing There\n", "line 1: no enabled menu item 'Nothing There'"},
      {"menu Use Previous Setup\n", "line 1: no enabled menu item 'Use Previous Setup'"},
      {"print Command1 6 Colour\n", "line 1: unknown property Colour of Command1(6)"},
      {"print Command1 6\n",
       "line 1: print Command1(6) needs a property (such as Caption or Value)"},
      {"print Command1 6 Caption Value\n",
       "line 1: extra word 'Value' after print Command1(6) Caption"},
      {"print Label_ID 3 Caption\n", "line 1: Label_ID takes no index"},
      {"print\n", "line 1: print needs a control or state variable name"},
      {"print NoSuchVariable\n", "line 1: no control or state variable NoSuchVariable"},
      {"print Nothing 3 Caption\n", "line 1: no control Nothing(3)"},
      {"print Nothing Caption\n", "line 1: no control Nothing"},
      {"print CurrentBoard 99999\n", "line 1: CurrentBoard takes no index"},
      {"print CurrentBoard Value\n", "line 1: extra word 'Value' after print CurrentBoard"},
      {"print BoardAddress 11\n", "line 1: no BoardAddress 11 (its index is 0..10)"},
      {"print BoardAddress -5\n", "line 1: no BoardAddress -5 (its index is 0..10)"},
      {"print BoardAddress\n", "line 1: BoardAddress needs an index (0..10)"},
      {"jump Command1 6\n", "line 1: unknown action 'jump'"},
      {"jump\n", "line 1: unknown action 'jump'"},
      {"click \x01\xFF\\\n", "line 1: no control \\x01\\xFF\\x5C"},
  };
  for (const auto& c : cases) {
    Program r;
    ASSERT_TRUE(r.loaded);
    // A disabled button and a disabled menu item, whatever the program enables meanwhile.
    r.session->window().context().c.Command1[2].enabled = false;
    r.session->window().form().findMenuItem("Use Previous Setup")->enabled = false;
    EXPECT_EQ(r.script(c.script), 2) << c.script;
    EXPECT_EQ(r.runner->error(), c.error) << c.script;
  }
}

// Controls added to the main window for the runner's reach checks.
struct ExtraControls : virtual form::HandleSet {
  KB_ONE(ComboX1);
  KB_ONE(ComboX2);
  KB_ONE(FrameX);
  KB_ONE(TextX1);
  KB_ONE(TextX2);
};

TEST(ScriptRunner, TextAndListsOnlyWhereTheOperatorCanReachThem) {
  Program r;
  ASSERT_TRUE(r.loaded);
  form::Form& f = r.session->window().form();
  ExtraControls x;
  f.add(x.ComboX1, form::ControlKind::ComboBox).items = {"one", "two"};
  f.add(x.ComboX2, form::ControlKind::ComboBox);
  form::Control& frame = f.add(x.FrameX, form::ControlKind::Frame);
  frame.enabled = false;
  f.add(x.TextX1, form::ControlKind::TextBox, &frame);
  f.add(x.TextX2, form::ControlKind::TextBox);
  const struct {
    const char* script;
    const char* error;  // empty: accepted
  } cases[] = {
      {"select ComboX1 1\nprint ComboX1 Text\n", ""},
      {"select ComboX1 2\n", "line 1: select ComboX1 takes a list position of 0 to 1, not 2"},
      {"select ComboX1 -1\n", "line 1: select ComboX1 takes a list position of 0 to 1, not -1"},
      {"select ComboX2 0\n", "line 1: ComboX2 has an empty list"},
      {"type TextX2 hello  \nprint TextX2 Text\n", ""},
      {"type TextX1 hello\n", "line 1: TextX1 is disabled (its frame FrameX is disabled)"},
      {"key TextX1 65\n", "line 1: TextX1 is disabled (its frame FrameX is disabled)"},
      {"type TextX2\n", "line 1: type TextX2 needs the text to type"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(r.script(c.script), *c.error == '\0' ? 0 : 2) << c.script;
    EXPECT_EQ(r.runner->error(), c.error) << c.script;
  }
  EXPECT_EQ(x.ComboX1->text(), "two");
  EXPECT_EQ(x.TextX2->text(), "hello");
}

TEST(ScriptRunner, RefusedWaitsLeaveTheClockAlone) {
  Program r;
  for (const char* line :
       {"wait inf", "wait nan", "wait 1e300", "wait 4000000000", "tick 864001"}) {
    EXPECT_FALSE(r.runner->runLine(line)) << line;
    EXPECT_EQ(r.clock.elapsedMicros(), 0) << line;
  }
}

// A stream whose every write fails, as on a full disk.
struct FullBuffer final : std::streambuf {
  int overflow(int) override { return traits_type::eof(); }
};

TEST(ScriptRunner, FailedOutputStopsTheScript) {
  Program r;
  FullBuffer full;
  std::ostream broken(&full);
  ScriptRunner runner(r.session->window(), broken, r.clock);
  std::istringstream script("click Command1 6\nprint CurrentBoard\nprint CurrentBoard\n");
  EXPECT_EQ(runner.run(script), 2);
  EXPECT_EQ(runner.error(), "line 2: cannot write the output");

  int lines = 0;
  r.runner->setOutputCheck([&lines] { return ++lines == 2 ? "trace lost" : ""; });
  EXPECT_EQ(r.script("tick\ntick\ntick\n"), 2);
  EXPECT_EQ(r.runner->error(), "line 2: trace lost");
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
