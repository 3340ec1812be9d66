#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "ui/form/Form.h"

namespace kb::form {
namespace {

// A small window declared the way the program's windows are.
struct TestControls : virtual HandleSet {
  KB_ONE(Frame1);
  KB_ONE(Frame2);
  KB_ARRAY(Check5);
  KB_ARRAY(Option3);
  KB_ARRAY(Option1);
  KB_ARRAY(Command4);
  KB_ARRAY(Text2);
  KB_ONE(Label1);
  KB_ONE(Shape1);
  KB_ONE(Combo1);
  KB_ONE(Timer1);
  KB_ONE(TabStrip1);
  KB_ONE(Undeclared);
};

struct TestForm {
  Form f{"f", "F"};
  TestControls c;
  std::vector<std::string> events;

  TestForm() {
    f.add(c.Frame1, ControlKind::Frame);
    f.add(c.Frame2, ControlKind::Frame);
    for (int i = 0; i < 6; ++i) f.add(c.Check5, i, ControlKind::CheckBox);
    for (int i = 0; i < 2; ++i) f.add(c.Option3, i, ControlKind::OptionButton, &*c.Frame1);
    for (int i = 0; i < 2; ++i) f.add(c.Option1, i, ControlKind::OptionButton, &*c.Frame2);
    f.add(c.Command4, 0, ControlKind::CommandButton);
    f.add(c.Command4, 9, ControlKind::CommandButton);
    f.add(c.Text2, 0, ControlKind::TextBox);
    f.add(c.Text2, 1, ControlKind::TextBox);
    f.add(c.Label1, ControlKind::Label);
    f.add(c.Shape1, ControlKind::Shape);
    f.add(c.Combo1, ControlKind::ComboBox).items = {"1", "2"};
    f.add(c.Timer1, ControlKind::Timer).enabled = false;
    f.add(c.TabStrip1, ControlKind::TabStrip).items = {"A", "B"};
  }

  void record(const HandleBase& h, std::vector<Event> which) {
    for (Event e : which) {
      f.on(e, h, [this, name = std::string(h.name()), e](int i) {
        events.push_back(name + "_" + std::string(eventName(e)) + "(" + std::to_string(i) + ")");
      });
    }
  }
};

constexpr std::initializer_list<Event> kAll = {Event::Click, Event::Change, Event::GotFocus,
                                               Event::LostFocus};

TEST(Handles, ResolveToTheDeclaredControlsAndRefuseUndeclaredIndexes) {
  TestForm t;
  EXPECT_EQ(&t.c.Command4[9], &t.f.get("Command4", 9));
  EXPECT_EQ(t.c.Command4.indexes(), (std::vector<int>{0, 9}));
  EXPECT_FALSE(t.c.Command4.has(5));
  EXPECT_THROW((void)t.c.Command4[5], std::out_of_range);
  EXPECT_THROW((void)t.c.Undeclared->visible, std::out_of_range);
  EXPECT_EQ(t.c.unbound(), (std::vector<std::string>{"Undeclared"}));
  // Identity is fixed at declaration: a second control of the same name and index is refused.
  EXPECT_THROW(t.f.add(t.c.Command4, 9, ControlKind::Label), std::logic_error);
  EXPECT_THROW(t.f.add(t.c.Label1, ControlKind::Label), std::logic_error);
  EXPECT_THROW(t.f.add(t.c.Check5, 7, ControlKind::CheckBox, &*t.c.Label1), std::logic_error);
}

TEST(Handles, ProceduresAreRefusedForUnknownControlsAndTwice) {
  TestForm t;
  EXPECT_THROW(t.f.on(Event::Click, t.c.Undeclared, [](int) {}), std::logic_error);
  t.f.on(Event::Click, t.c.Command4, [](int) {});
  EXPECT_THROW(t.f.on(Event::Click, t.c.Command4, [](int) {}), std::logic_error);
  t.f.onKeyPress(t.c.Text2, [](int, int&) {});
  EXPECT_THROW(t.f.onKeyPress(t.c.Text2, [](int, int&) {}), std::logic_error);
  Form other("g", "G");
  EXPECT_THROW(other.on(Event::Click, t.c.Command4, [](int) {}), std::logic_error);
  t.f.addMenuItem({"File", "mnuExit", "Exit", true});
  EXPECT_THROW(t.f.onMenu("mnuNothing", [] {}), std::logic_error);
  t.f.onMenu("mnuExit", [] {});
  EXPECT_THROW(t.f.onMenu("mnuExit", [] {}), std::logic_error);
}

TEST(Form, CheckBoxValueFromCodeRunsClickOnlyWhenItChanges) {
  TestForm t;
  t.record(t.c.Check5, kAll);
  t.c.Check5[2].setValue(1);
  t.c.Check5[2].setValue(1);
  t.c.Check5[2].setValue(0);
  EXPECT_EQ(t.events, (std::vector<std::string>{"Check5_Click(2)", "Check5_Click(2)"}));
}

TEST(Form, ClicksChainThroughCodeSetValues) {
  // Ticking one box from its neighbour's Click runs the neighbour's Click too.
  TestForm t;
  t.f.on(Event::Click, t.c.Check5, [&](int i) {
    t.events.push_back("Click" + std::to_string(i));
    if (i == 2) t.c.Check5[3].setValue(t.c.Check5[2].value());
  });
  t.f.operatorClick(t.c.Check5[2]);
  EXPECT_EQ(t.c.Check5[3].value(), 1);
  EXPECT_EQ(t.events, (std::vector<std::string>{"Click2", "Click3"}));
}

TEST(Form, OptionButtonsExcludeEachOtherWithinTheirContainer) {
  TestForm t;
  t.record(t.c.Option3, {Event::Click});
  t.c.Option1[0].setValue(1);
  t.c.Option3[0].setValue(1);
  t.c.Option3[1].setValue(1);
  t.c.Option3[1].setValue(1);  // already chosen: no second Click
  EXPECT_EQ(t.c.Option3[0].value(), 0);
  EXPECT_EQ(t.c.Option3[1].value(), 1);
  EXPECT_EQ(t.c.Option1[0].value(), 1);  // another container keeps its choice
  EXPECT_EQ(t.events, (std::vector<std::string>{"Option3_Click(0)", "Option3_Click(1)"}));
}

TEST(Form, OperatorClickMovesFocusThenActs) {
  TestForm t;
  t.record(t.c.Command4, kAll);
  t.record(t.c.Check5, kAll);
  t.f.operatorClick(t.c.Check5[3]);
  t.f.operatorClick(t.c.Command4[0]);
  EXPECT_EQ(t.c.Check5[3].value(), 1);
  EXPECT_EQ(t.events, (std::vector<std::string>{"Check5_GotFocus(3)", "Check5_Click(3)",
                                                "Check5_LostFocus(3)", "Command4_GotFocus(0)",
                                                "Command4_Click(0)"}));
}

TEST(Form, OnlyControlsThatTakeTheFocusTakeIt) {
  TestForm t;
  t.record(t.c.Text2, kAll);
  t.record(t.c.Label1, kAll);
  t.record(t.c.Shape1, kAll);
  t.f.operatorType(t.c.Text2[0], "3");
  t.events.clear();
  // A label or shape click runs its Click but the text box keeps the focus: no LostFocus.
  t.f.operatorClick(*t.c.Label1);
  t.f.operatorClick(*t.c.Shape1);
  t.c.Frame1->setFocus();
  EXPECT_EQ(t.f.focused(), &t.c.Text2[0]);
  EXPECT_EQ(t.events, (std::vector<std::string>{"Label1_Click(-1)", "Shape1_Click(-1)"}));
}

TEST(Form, DisabledOrHiddenControlsIgnoreTheOperatorAndFocus) {
  TestForm t;
  t.c.Command4[0].enabled = false;
  t.c.Command4[9].visible = false;
  t.record(t.c.Command4, kAll);
  t.f.operatorClick(t.c.Command4[0]);
  t.f.operatorClick(t.c.Command4[9]);
  t.c.Command4[0].setFocus();
  EXPECT_TRUE(t.events.empty());
  EXPECT_EQ(t.f.focused(), nullptr);
}

TEST(Form, KeyPressFilterDecidesWhatIsTyped) {
  TestForm t;
  // Drop everything but digits and '.'; turn 'x' into '9' to prove the key is passed by reference.
  t.f.onKeyPress(t.c.Text2, [](int, int& key) {
    if (key == 'x') key = '9';
    if (!(key == '.' || key == 8 || (key >= '0' && key <= '9'))) key = 0;
  });
  t.f.operatorType(t.c.Text2[0], "3a.6x");
  EXPECT_EQ(t.c.Text2[0].text(), "3.69");
  t.f.operatorKey(t.c.Text2[0], 8);
  EXPECT_EQ(t.c.Text2[0].text(), "3.6");
}

TEST(Form, TextSetFromCodeFiresChangeAndResetsTheCaret) {
  TestForm t;
  t.record(t.c.Text2, kAll);
  t.f.operatorType(t.c.Text2[1], "12");
  EXPECT_EQ(t.c.Text2[1].selStart, 2);
  t.c.Text2[1].setText("1");
  EXPECT_EQ(t.c.Text2[1].selStart, 0);
  t.c.Text2[1].setText("1");  // unchanged: no event
  EXPECT_EQ(std::count(t.events.begin(), t.events.end(), "Text2_Change(1)"), 3);
  // A label's caption carries no event.
  t.record(t.c.Label1, kAll);
  t.c.Label1->setCaption("x");
  EXPECT_EQ(t.c.Label1->caption(), "x");
  EXPECT_EQ(std::count(t.events.begin(), t.events.end(), "Label1_Change(-1)"), 0);
}

TEST(Form, ComboTabsMenusAndTimer) {
  TestForm t;
  int clicks = 0, ticks = 0, exits = 0, tabs = 0;
  t.f.on(Event::Click, t.c.Combo1, [&](int) { ++clicks; });
  t.f.on(Event::Timer, t.c.Timer1, [&](int) { ++ticks; });
  t.f.on(Event::Click, t.c.TabStrip1, [&](int) { ++tabs; });
  t.f.addMenuItem({"File", "mnuExit", "Exit", true});
  t.f.addMenuItem({"Datalog", "mnuExcelOutTest", "Excel Out Test", false});
  t.f.onMenu("mnuExit", [&] { ++exits; });

  t.f.operatorSelect(*t.c.Combo1, 1);
  EXPECT_EQ(t.c.Combo1->text(), "2");
  EXPECT_EQ(t.c.Combo1->listIndex(), 1);
  EXPECT_EQ(clicks, 1);
  t.f.tick(*t.c.Timer1);
  t.c.Timer1->enabled = true;
  t.f.tick(*t.c.Timer1);
  EXPECT_EQ(ticks, 1);
  t.f.operatorSelect(*t.c.TabStrip1, 1);
  EXPECT_EQ(t.c.TabStrip1->value(), 1);
  EXPECT_EQ(tabs, 1);
  EXPECT_TRUE(t.f.runMenu("Exit"));
  EXPECT_FALSE(t.f.runMenu("Excel Out Test"));
  EXPECT_FALSE(t.f.runMenu("Nothing"));
  EXPECT_EQ(exits, 1);
}

TEST(Form, AFaultStopsTheOutermostEventAndIsReportedOnce) {
  TestForm t;
  std::vector<Fault> faults;
  t.f.on(Event::Click, t.c.Command4, [&](int i) {
    t.events.push_back("start" + std::to_string(i));
    t.c.Check5[0].setValue(1);  // its Click throws
    t.events.push_back("not reached");
  });
  t.f.on(Event::Click, t.c.Check5, [](int) { throw std::runtime_error("bad bit"); });
  // Without a reporter the fault reaches the caller.
  EXPECT_THROW(t.f.operatorClick(t.c.Command4[0]), std::runtime_error);
  t.f.setFaultReporter([&](const Fault& f) { faults.push_back(f); });
  t.c.Check5[0].setValue(0);  // reported: the Click of the clear throws too
  t.f.operatorClick(t.c.Command4[9]);
  ASSERT_EQ(faults.size(), 2u);
  EXPECT_EQ(faults[1].control, "Check5(0)");
  EXPECT_EQ(faults[1].event, "Click");
  EXPECT_EQ(faults[1].reason, "bad bit");
  EXPECT_EQ(t.events, (std::vector<std::string>{"start0", "start9"}));
  // A fault outside any procedure, under the same policy.
  t.f.guarded("Form", "Load", [] { throw std::runtime_error("no link"); });
  ASSERT_EQ(faults.size(), 3u);
  EXPECT_EQ(faults[2].control + " " + faults[2].event, "Form Load");
}

TEST(Form, PropertiesByName) {
  TestForm t;
  Control& c = t.c.Option3[1];
  c.setCaption("0xAAA");
  c.backColor = 255;
  EXPECT_EQ(c.displayName(), "Option3(1)");
  EXPECT_EQ(c.property("Caption"), "0xAAA");
  EXPECT_EQ(c.property("Value"), "False");
  EXPECT_EQ(c.property("BackColor"), "255");
  EXPECT_FALSE(c.property("Nonsense").has_value());
  EXPECT_EQ(t.f.indexes("Option3"), (std::vector<int>{0, 1}));
  EXPECT_THROW(t.f.get("Option3", 5), std::out_of_range);
}

}  // namespace
}  // namespace kb::form
