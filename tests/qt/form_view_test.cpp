// The renderer over bare forms: widgets and their places, and operator input reaching the form.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabBar>
#include <cmath>
#include <vector>

#include "QtTestUtil.h"
#include "ui/main/MainLayout.h"
#include "ui/qt/ControlWidgets.h"
#include "ui/qt/FormView.h"
#include "ui/qt/QtColors.h"

namespace kb::qt {
namespace {

using form::ControlKind;
using form::Event;
using test::clickOn;

// A view over a form, shown offscreen.
struct Rendered {
  explicit Rendered(std::unique_ptr<form::Form> f) : form(std::move(f)), view(*form, pump) {
    view.show();
  }
  QWidget* widget(std::string_view name, int index = -1) { return view.widgetFor(name, index); }
  void codeChanged() {
    form->touch();
    pump.syncNow();
  }

  std::unique_ptr<form::Form> form;
  EventPump pump;
  FormView view;
};

int px(int twips) {
  return static_cast<int>(std::lround(twips / 15.0));
}

TEST(FormViewTest, EveryControlOfTheMainFormHasAWidgetAtItsPlace) {
  Rendered r(ui::makeMainForm());
  EXPECT_EQ(r.view.size(), QSize(px(r.form->width), px(r.form->height)));
  for (const auto& c : r.form->controls()) {
    SCOPED_TRACE(c->displayName());
    QWidget* w = r.widget(c->name, c->index);
    if (c->kind == ControlKind::Timer) {
      EXPECT_EQ(w, nullptr);
      continue;
    }
    ASSERT_NE(w, nullptr);
    QWidget* container = c->container.empty() ? &r.view : r.widget(c->container, c->containerIndex);
    EXPECT_EQ(w->parentWidget(), container);
    if (c->kind == ControlKind::Line) continue;
    const QRect g = w->geometry();
    EXPECT_LE(std::abs(g.left() - px(c->left)), 1);
    EXPECT_LE(std::abs(g.top() - px(c->top)), 1);
    EXPECT_LE(std::abs(g.width() - px(c->width)), 1);
    EXPECT_LE(std::abs(g.height() - px(c->height)), 1);
    EXPECT_EQ(w->isHidden(), !c->visible);
    EXPECT_EQ(w->isEnabled(), c->enabled);
  }
  // READ CONFIG sits inside the monitor panel at 11160, 3000 twips, 1455 x 375.
  QWidget* readConfig = r.widget("Command1", 6);
  EXPECT_EQ(readConfig->parentWidget(), r.widget("Frame10"));
  EXPECT_EQ(readConfig->geometry(), QRect(744, 200, 97, 25));
  EXPECT_EQ(static_cast<ButtonWidget*>(readConfig)->caption(), "READ CONFIG");
  EXPECT_EQ(readConfig->toolTip(), "0x02 RDCFG");
  // Leading and repeated blanks of a caption are kept.
  EXPECT_EQ(static_cast<ButtonWidget*>(r.widget("Command1", 10))->caption(),
            " START CONTINUOUS   READ CELLS");
  auto* tabs = qobject_cast<QTabBar*>(r.widget("TabStrip1"));
  ASSERT_NE(tabs, nullptr);
  ASSERT_EQ(tabs->count(), 2);
  EXPECT_EQ(tabs->tabText(1), "QXB5520-1");
}

TEST(FormViewTest, ButtonClickReachesTheClickProcedureWithItsIndex) {
  Rendered r(ui::makeMainForm());
  std::vector<int> clicked;
  r.form->on(Event::Click, "Command1", [&](int i) { clicked.push_back(i); });
  ASSERT_TRUE(clickOn(r.widget("Command1", 6)));
  EXPECT_EQ(clicked, std::vector<int>{6});
  // A disabled button's widget is disabled and its click goes nowhere.
  QWidget* disabled = r.widget("Command1", 2);
  ASSERT_FALSE(r.form->get("Command1", 2).enabled);
  EXPECT_FALSE(disabled->isEnabled());
  clickOn(disabled);
  EXPECT_EQ(clicked, std::vector<int>{6});
}

TEST(FormViewTest, TabClickRunsTheTabStripProcedureAndPanelsFollow) {
  Rendered r(ui::makeMainForm());
  r.form->on(Event::Click, "TabStrip1", [&](int) {
    const int tab = r.form->get("TabStrip1").value;
    r.form->get("Frame10").visible = tab == 0;
    r.form->get("Frame13").visible = tab == 1;
  });
  EXPECT_TRUE(r.widget("Frame13")->isHidden());
  auto* tabs = static_cast<QTabBar*>(r.widget("TabStrip1"));
  ASSERT_TRUE(clickOn(tabs, tabs->tabRect(1).center()));
  EXPECT_EQ(r.form->get("TabStrip1").value, 1);
  EXPECT_FALSE(r.widget("Frame13")->isHidden());
  EXPECT_TRUE(r.widget("Frame10")->isHidden());
  EXPECT_FALSE(r.widget("Command1", 6)->isVisibleTo(&r.view));
  // Selected from code: the tab bar follows without running the procedure again.
  int runs = 0;
  r.form->on(Event::Click, "TabStrip1", [&](int) { ++runs; });
  r.form->get("TabStrip1").value = 0;
  r.codeChanged();
  EXPECT_EQ(tabs->currentIndex(), 0);
  EXPECT_EQ(runs, 0);
}

std::unique_ptr<form::Form> choiceForm() {
  auto f = std::make_unique<form::Form>("frmChoice", "Choice");
  f->width = 6000;
  f->height = 3000;
  form::Control& frame = f->add(ControlKind::Frame, "FrameA");
  frame.left = 60;
  frame.top = 60;
  frame.width = 3000;
  frame.height = 1500;
  for (int i = 0; i < 2; ++i) {
    form::Control& o = f->add(ControlKind::OptionButton, "Option1", i);
    o.container = "FrameA";
    o.left = 120;
    o.top = 240 + 360 * i;
    o.width = 2000;
    o.height = 300;
    o.caption = i == 0 ? " WRITE = 00" : " READ COMMAND = 01";
    o.value = i == 0 ? 1 : 0;
  }
  form::Control& other = f->add(ControlKind::OptionButton, "Option2");
  other.left = 3300;
  other.top = 240;
  other.width = 2000;
  other.height = 300;
  other.value = 1;
  form::Control& check = f->add(ControlKind::CheckBox, "Check1");
  check.left = 3300;
  check.top = 900;
  check.width = 2000;
  check.height = 300;
  form::Control& text = f->add(ControlKind::TextBox, "Text2", 0);
  text.left = 3300;
  text.top = 1500;
  text.width = 1500;
  text.height = 300;
  return f;
}

TEST(FormViewTest, OptionClickSelectsItAndClearsItsSiblingThroughTheForm) {
  Rendered r(choiceForm());
  std::vector<int> clicks;
  r.form->on(Event::Click, "Option1", [&](int i) { clicks.push_back(i); });
  auto* first = static_cast<QRadioButton*>(r.widget("Option1", 0));
  auto* second = static_cast<QRadioButton*>(r.widget("Option1", 1));
  auto* elsewhere = static_cast<QRadioButton*>(r.widget("Option2"));
  EXPECT_EQ(second->parentWidget(), r.widget("FrameA"));
  ASSERT_TRUE(clickOn(second));
  EXPECT_EQ(clicks, std::vector<int>{1});
  EXPECT_EQ(r.form->get("Option1", 1).value, 1);
  EXPECT_EQ(r.form->get("Option1", 0).value, 0);
  EXPECT_TRUE(second->isChecked());
  EXPECT_FALSE(first->isChecked());
  // An option in another container is not a sibling.
  EXPECT_TRUE(elsewhere->isChecked());
  // Clicking the chosen option again neither unchecks it nor runs its procedure.
  ASSERT_TRUE(clickOn(second));
  EXPECT_TRUE(second->isChecked());
  EXPECT_EQ(clicks.size(), 1u);
}

TEST(FormViewTest, CheckBoxShowsWhatTheClickProcedureLeaves) {
  Rendered r(choiceForm());
  bool refuse = true;
  r.form->on(Event::Click, "Check1", [&](int) {
    if (refuse) r.form->get("Check1").value = 0;
  });
  auto* box = static_cast<QCheckBox*>(r.widget("Check1"));
  ASSERT_TRUE(clickOn(box));
  EXPECT_EQ(r.form->get("Check1").value, 0);
  EXPECT_FALSE(box->isChecked());
  refuse = false;
  ASSERT_TRUE(clickOn(box));
  EXPECT_EQ(r.form->get("Check1").value, 1);
  EXPECT_TRUE(box->isChecked());
}

TEST(FormViewTest, TypedKeysGoThroughTheKeyPressProcedure) {
  Rendered r(choiceForm());
  // Upper-cases letters, keeps digits and backspace, drops everything else.
  r.form->onKeyPress("Text2", [](int, int& key) {
    if (key >= 'a' && key <= 'z') key -= 32;
    const bool keep = (key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z') || key == 8;
    if (!keep) key = 0;
  });
  auto* edit = static_cast<QLineEdit*>(r.widget("Text2", 0));
  test::typeText(edit, "a1-b");
  EXPECT_EQ(r.form->get("Text2", 0).caption, "A1B");
  EXPECT_EQ(edit->text(), "A1B");
  EXPECT_EQ(edit->cursorPosition(), 3);
  // The caret moved by the operator is where the next key goes.
  test::pressKey(edit, Qt::Key_Home);
  test::typeText(edit, "9");
  EXPECT_EQ(r.form->get("Text2", 0).caption, "9A1B");
  test::pressKey(edit, Qt::Key_Delete);
  EXPECT_EQ(r.form->get("Text2", 0).caption, "91B");
  test::pressKey(edit, Qt::Key_End);
  test::pressKey(edit, Qt::Key_Backspace);
  EXPECT_EQ(edit->text(), "91");
  // Keys that would edit behind the form's back do nothing.
  test::pressKey(edit, Qt::Key_Z, "\x1a", Qt::ControlModifier);
  EXPECT_EQ(edit->text(), "91");
}

TEST(FormViewTest, FocusMovedByCodeMovesTheWidgetFocus) {
  Rendered r(choiceForm());
  r.form->setFocus("Text2", 0);
  r.codeChanged();
  EXPECT_EQ(r.view.focusWidget(), r.widget("Text2", 0));
  r.form->setFocus("Check1");
  r.codeChanged();
  EXPECT_EQ(r.view.focusWidget(), r.widget("Check1"));
}

TEST(FormViewTest, OperatorFocusMovesRunGotFocusAndLostFocus) {
  Rendered r(choiceForm());
  r.view.activateWindow();
  ASSERT_TRUE(test::waitFor([&] { return r.view.isActiveWindow(); }));
  std::vector<std::string> events;
  r.form->on(Event::GotFocus, "Text2", [&](int) { events.push_back("Text2 got"); });
  r.form->on(Event::LostFocus, "Text2", [&](int) { events.push_back("Text2 lost"); });
  r.form->on(Event::GotFocus, "Check1", [&](int) { events.push_back("Check1 got"); });
  r.widget("Text2", 0)->setFocus(Qt::MouseFocusReason);
  r.widget("Check1")->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(events, (std::vector<std::string>{"Text2 got", "Text2 lost", "Check1 got"}));
  EXPECT_EQ(r.form->focused(), &r.form->get("Check1"));
  // Focus that code moves runs no procedure a second time.
  events.clear();
  r.form->setFocus("Text2", 0);
  r.codeChanged();
  EXPECT_EQ(r.view.focusWidget(), r.widget("Text2", 0));
  EXPECT_EQ(events, std::vector<std::string>{"Text2 got"});
}

TEST(FormViewTest, PropertyChangesMadeInCodeShowAfterSync) {
  Rendered r(ui::makeMainForm());
  form::Form& f = *r.form;
  f.get("Label_ID").caption = "QXM7140-2";
  f.get("Label_ID").backColor = form::kPaleGreen;
  form::Control& button = f.get("Command1", 7);
  button.left = ui::kButtonLeftNarrow;
  button.width = ui::kButtonWidthNarrow;
  button.caption = "READCELL";
  f.get("ReminderMark", 1).visible = true;
  f.get("ReminderMark", 1).fillColor = form::kGreen;
  f.get("Command1", 2).enabled = true;
  r.codeChanged();

  auto* id = static_cast<QLabel*>(r.widget("Label_ID"));
  EXPECT_EQ(id->text(), "QXM7140-2");
  EXPECT_EQ(id->palette().color(QPalette::Window), QColor(192, 255, 192));
  EXPECT_TRUE(id->autoFillBackground());
  QWidget* narrowed = r.widget("Command1", 7);
  EXPECT_EQ(narrowed->geometry(), QRect(752, 228, 81, 25));
  EXPECT_EQ(static_cast<ButtonWidget*>(narrowed)->caption(), "READCELL");
  auto* mark = static_cast<ShapeWidget*>(r.widget("ReminderMark", 1));
  EXPECT_FALSE(mark->isHidden());
  EXPECT_EQ(mark->look().fill, QColor(0, 255, 0));
  EXPECT_TRUE(r.widget("Command1", 2)->isEnabled());
  // The marker is a shape: clicks pass through it to whatever lies beneath.
  EXPECT_TRUE(mark->testAttribute(Qt::WA_TransparentForMouseEvents));
}

TEST(FormViewTest, ControlsDeclaredLaterGetWidgetsOnTheNextSync) {
  Rendered r(choiceForm());
  form::Control& added = r.form->add(ControlKind::ComboBox, "Combo1");
  added.items = {"1", "2"};
  added.listIndex = 1;
  added.caption = "2";
  added.container = "FrameA";
  r.codeChanged();
  auto* combo = qobject_cast<QComboBox*>(r.widget("Combo1"));
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->parentWidget(), r.widget("FrameA"));
  EXPECT_EQ(combo->currentText(), "2");
  // Choosing an entry runs the combo's Click with the new list index.
  int chosen = -1;
  r.form->on(Event::Click, "Combo1", [&](int) { chosen = r.form->get("Combo1").listIndex; });
  combo->activated(0);
  EXPECT_EQ(chosen, 0);
  EXPECT_EQ(r.form->get("Combo1").caption, "1");
}

TEST(ColorTest, ModelColoursAreBlueGreenRedAndSystemColoursComeFromThePalette) {
  QPalette p;
  p.setColor(QPalette::WindowText, QColor(1, 2, 3));
  p.setColor(QPalette::Base, QColor(4, 5, 6));
  p.setColor(QPalette::Button, QColor(7, 8, 9));
  EXPECT_EQ(toQColor(form::kRed, p), QColor(255, 0, 0));
  EXPECT_EQ(toQColor(form::kOrange, p), QColor(255, 128, 0));
  EXPECT_EQ(toQColor(form::rgb(128, 128, 255), p), QColor(128, 128, 255));
  EXPECT_EQ(toQColor(form::kWindowText, p), QColor(1, 2, 3));
  EXPECT_EQ(toQColor(form::kWindowBackground, p), QColor(4, 5, 6));
  EXPECT_EQ(toQColor(form::kButtonFace, p), QColor(7, 8, 9));
}

TEST(ColorTest, NeighbouringControlsShareAnEdgeWhateverTheRounding) {
  // Summary cells 360 twips apart (24 px) and 7 twips off the pixel grid.
  for (int left = 7; left < 7 + 360 * 12; left += 360) {
    const QRect a = toPixelRect(left, 0, 360, 100);
    const QRect b = toPixelRect(left + 360, 0, 370, 100);
    EXPECT_EQ(a.right() + 1, b.left());
  }
}

}  // namespace
}  // namespace kb::qt

namespace kb::qt {
namespace {

TEST(FormViewTest, GraphicalControlsLieBeneathButtonsWhateverTheirOrder) {
  auto f = std::make_unique<form::Form>("f", "F");
  f->width = 3000;
  f->height = 1500;
  form::Control& button = f->add(ControlKind::CommandButton, "Command1", 6);
  button.left = 150;
  button.top = 150;
  button.width = 1455;
  button.height = 375;
  // A shape and a label declared after the button, covering it.
  for (ControlKind kind : {ControlKind::Shape, ControlKind::Label}) {
    form::Control& over = f->add(kind, kind == ControlKind::Shape ? "Shape1" : "Label1");
    over.left = 0;
    over.top = 0;
    over.width = 3000;
    over.height = 1500;
  }
  Rendered r(std::move(f));
  int clicks = 0;
  r.form->on(Event::Click, "Command1", [&](int) { ++clicks; });
  ASSERT_TRUE(clickOn(r.widget("Command1", 6)));
  EXPECT_EQ(clicks, 1);
}

}  // namespace
}  // namespace kb::qt
