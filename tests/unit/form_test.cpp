#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/form/Form.h"

namespace kb::form {
namespace {

struct Recorder {
  std::vector<std::string> events;
  void attach(Form& f, const std::string& name) {
    for (Event e : {Event::Click, Event::Change, Event::GotFocus, Event::LostFocus}) {
      f.on(e, name, [this, name, e](int i) {
        static const char* kNames[] = {"Click",    "Change",    "KeyPress",
                                       "GotFocus", "LostFocus", "Timer"};
        events.push_back(name + "_" + kNames[static_cast<int>(e)] + "(" + std::to_string(i) + ")");
      });
    }
  }
};

TEST(Form, CheckBoxValueFromCodeRunsClickOnlyWhenItChanges) {
  Form f("f", "F");
  f.add(ControlKind::CheckBox, "Check5", 2);
  Recorder r;
  r.attach(f, "Check5");
  f.setValue("Check5", 2, 1);
  f.setValue("Check5", 2, 1);
  f.setValue("Check5", 2, 0);
  EXPECT_EQ(r.events, (std::vector<std::string>{"Check5_Click(2)", "Check5_Click(2)"}));
}

TEST(Form, OptionButtonsExcludeEachOtherWithinTheirContainer) {
  Form f("f", "F");
  for (int i = 0; i < 2; ++i) f.add(ControlKind::OptionButton, "Option3", i).container = "FrameA";
  f.add(ControlKind::OptionButton, "Option1", 0).container = "FrameB";
  f.setValue("Option1", 0, 1);
  f.setValue("Option3", 0, 1);
  f.setValue("Option3", 1, 1);
  EXPECT_EQ(f.get("Option3", 0).value, 0);
  EXPECT_EQ(f.get("Option3", 1).value, 1);
  EXPECT_EQ(f.get("Option1", 0).value, 1);  // another container keeps its choice
}

TEST(Form, OperatorClickMovesFocusThenActs) {
  Form f("f", "F");
  f.add(ControlKind::CommandButton, "Command4", 0);
  f.add(ControlKind::CheckBox, "Check0", 3);
  Recorder r;
  r.attach(f, "Command4");
  r.attach(f, "Check0");
  f.operatorClick("Check0", 3);
  f.operatorClick("Command4", 0);
  EXPECT_EQ(f.get("Check0", 3).value, 1);
  EXPECT_EQ(r.events, (std::vector<std::string>{"Check0_GotFocus(3)", "Check0_Click(3)",
                                                "Check0_LostFocus(3)", "Command4_GotFocus(0)",
                                                "Command4_Click(0)"}));
}

TEST(Form, DisabledOrHiddenControlsIgnoreTheOperatorAndFocus) {
  Form f("f", "F");
  f.add(ControlKind::CommandButton, "Command1", 7).enabled = false;
  f.add(ControlKind::CommandButton, "Command1", 8).visible = false;
  Recorder r;
  r.attach(f, "Command1");
  f.operatorClick("Command1", 7);
  f.operatorClick("Command1", 8);
  f.setFocus("Command1", 7);
  EXPECT_TRUE(r.events.empty());
  EXPECT_EQ(f.focused(), nullptr);
}

TEST(Form, KeyPressFilterDecidesWhatIsTyped) {
  Form f("f", "F");
  f.add(ControlKind::TextBox, "Text2", 0);
  // Drop everything but digits and '.'; turn 'x' into '9' to prove the key is passed by reference.
  f.onKeyPress("Text2", [](int, int& key) {
    if (key == 'x') key = '9';
    if (!(key == '.' || key == 8 || (key >= '0' && key <= '9'))) key = 0;
  });
  f.operatorType("Text2", 0, "3a.6x");
  EXPECT_EQ(f.get("Text2", 0).caption, "3.69");
  f.operatorKey("Text2", 0, 8);
  EXPECT_EQ(f.get("Text2", 0).caption, "3.6");
}

TEST(Form, TextSetFromCodeFiresChangeAndResetsTheCaret) {
  Form f("f", "F");
  f.add(ControlKind::TextBox, "Text_1", 3);
  Recorder r;
  r.attach(f, "Text_1");
  f.operatorType("Text_1", 3, "12");
  EXPECT_EQ(f.get("Text_1", 3).selStart, 2);
  f.setText("Text_1", 3, "1");
  EXPECT_EQ(f.get("Text_1", 3).selStart, 0);
  f.setText("Text_1", 3, "1");  // unchanged: no event
  EXPECT_EQ(std::count(r.events.begin(), r.events.end(), "Text_1_Change(3)"), 3);
}

TEST(Form, ComboTabsMenusAndTimer) {
  Form f("f", "F");
  Control& combo = f.add(ControlKind::ComboBox, "Combo1");
  combo.items = {"1", "2"};
  Control& timer = f.add(ControlKind::Timer, "Timer1");
  timer.enabled = false;
  f.add(ControlKind::TabStrip, "TabStrip1").items = {"A", "B"};
  int clicks = 0, ticks = 0, exits = 0, tabs = 0;
  f.on(Event::Click, "Combo1", [&](int) { ++clicks; });
  f.on(Event::Timer, "Timer1", [&](int) { ++ticks; });
  f.on(Event::Click, "TabStrip1", [&](int) { ++tabs; });
  f.addMenuItem({"File", "mnuExit", "Exit", true});
  f.addMenuItem({"Datalog", "mnuExcelOutTest", "Excel Out Test", false});
  f.onMenu("mnuExit", [&] { ++exits; });

  f.setListIndex("Combo1", -1, 1);
  EXPECT_EQ(combo.caption, "2");
  EXPECT_EQ(clicks, 1);
  f.tick("Timer1");
  timer.enabled = true;
  f.tick("Timer1");
  EXPECT_EQ(ticks, 1);
  f.selectTab("TabStrip1", 1);
  EXPECT_EQ(f.get("TabStrip1").value, 1);
  EXPECT_EQ(tabs, 1);
  EXPECT_TRUE(f.runMenu("Exit"));
  EXPECT_FALSE(f.runMenu("Excel Out Test"));
  EXPECT_FALSE(f.runMenu("Nothing"));
  EXPECT_EQ(exits, 1);
}

TEST(Form, LookupAndProperties) {
  Form f("f", "F");
  Control& c = f.add(ControlKind::OptionButton, "Option2", 1);
  c.caption = "0xAAA";
  c.backColor = 255;
  EXPECT_THROW(f.get("Option2", 0), std::out_of_range);
  EXPECT_THROW(f.add(ControlKind::Label, "Option2", 1), std::logic_error);
  f.add(ControlKind::OptionButton, "Option2", 0);
  EXPECT_EQ(f.indexes("Option2"), (std::vector<int>{0, 1}));
  EXPECT_EQ(c.displayName(), "Option2(1)");
  EXPECT_EQ(c.property("Caption"), "0xAAA");
  EXPECT_EQ(c.property("Value"), "False");
  EXPECT_EQ(c.property("BackColor"), "255");
  EXPECT_FALSE(c.property("Nonsense").has_value());
}

}  // namespace
}  // namespace kb::form
