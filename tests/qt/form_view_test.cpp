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
#include "ui/main/MainControls.h"
#include "ui/qt/ControlWidgets.h"
#include "ui/qt/FormView.h"
#include "ui/qt/QtColors.h"

namespace kb::qt {
namespace {

using form::ControlKind;
using form::Event;
using test::clickOn;

// A form with its handles, shown offscreen through a view.
template <typename Controls>
struct Rendered {
  template <typename Layout>
  explicit Rendered(Layout layout) {
    layout(form, c);
    view = std::make_unique<FormView>(form, pump);
    view->show();
  }
  QWidget* widget(std::string_view name, int index = -1) { return view->widgetFor(name, index); }
  QWidget* widget(const form::Control& ctl) { return view->widgetFor(ctl.name(), ctl.index()); }
  void codeChanged() { pump.syncNow(); }

  form::Form form{"frmTest", "Test"};
  Controls c;
  EventPump pump;
  std::unique_ptr<FormView> view;
};

using MainRendered = Rendered<ui::MainControls>;
MainRendered* renderMain() {
  return new MainRendered([](form::Form& f, ui::MainControls& c) { ui::layoutMainWindow(f, c); });
}

int px(int twips) {
  return static_cast<int>(std::lround(twips / 15.0));
}

TEST(FormViewTest, EveryControlOfTheMainFormHasAWidgetAtItsPlace) {
  std::unique_ptr<MainRendered> r(renderMain());
  EXPECT_EQ(r->view->size(), QSize(px(r->form.width), px(r->form.height)));
  for (const auto& c : r->form.controls()) {
    SCOPED_TRACE(c->displayName());
    QWidget* w = r->widget(*c);
    if (c->kind() == ControlKind::Timer) {
      EXPECT_EQ(w, nullptr);
      continue;
    }
    ASSERT_NE(w, nullptr);
    QWidget* container =
        c->container().empty() ? r->view.get() : r->widget(c->container(), c->containerIndex());
    EXPECT_EQ(w->parentWidget(), container);
    if (c->kind() == ControlKind::Line) continue;
    const QRect g = w->geometry();
    EXPECT_LE(std::abs(g.left() - px(c->left)), 1);
    EXPECT_LE(std::abs(g.top() - px(c->top)), 1);
    EXPECT_LE(std::abs(g.width() - px(c->width)), 1);
    EXPECT_LE(std::abs(g.height() - px(c->height)), 1);
    EXPECT_EQ(w->isHidden(), !c->visible);
    EXPECT_EQ(w->isEnabled(), c->enabled);
  }
  // READ CONFIG sits inside the monitor panel at 11160, 3000 twips, 1455 x 375.
  QWidget* readConfig = r->widget(r->c.Command1[6]);
  EXPECT_EQ(readConfig->parentWidget(), r->widget(*r->c.Frame10));
  EXPECT_EQ(readConfig->geometry(), QRect(744, 200, 97, 25));
  EXPECT_EQ(static_cast<ButtonWidget*>(readConfig)->caption(), "READ CONFIG");
  EXPECT_EQ(readConfig->toolTip(), "0x02 RDCFG");
  // Leading and repeated blanks of a caption are kept.
  EXPECT_EQ(static_cast<ButtonWidget*>(r->widget(r->c.Command1[10]))->caption(),
            " START CONTINUOUS   READ CELLS");
  auto* tabs = qobject_cast<QTabBar*>(r->widget(*r->c.TabStrip1));
  ASSERT_NE(tabs, nullptr);
  ASSERT_EQ(tabs->count(), 2);
  EXPECT_EQ(tabs->tabText(1), "QXB5520-1");
}

TEST(FormViewTest, ButtonClickReachesTheClickProcedureWithItsIndex) {
  std::unique_ptr<MainRendered> r(renderMain());
  std::vector<int> clicked;
  r->form.on(Event::Click, r->c.Command1, [&](int i) { clicked.push_back(i); });
  ASSERT_TRUE(clickOn(r->widget(r->c.Command1[6])));
  EXPECT_EQ(clicked, std::vector<int>{6});
  // A disabled button's widget is disabled and its click goes nowhere.
  r->c.Command1[2].enabled = false;
  r->codeChanged();
  QWidget* disabled = r->widget(r->c.Command1[2]);
  EXPECT_FALSE(disabled->isEnabled());
  clickOn(disabled);
  EXPECT_EQ(clicked, std::vector<int>{6});
}

TEST(FormViewTest, TabClickRunsTheTabStripProcedureAndPanelsFollow) {
  std::unique_ptr<MainRendered> r(renderMain());
  auto& c = r->c;
  int runs = 0;
  r->form.on(Event::Click, c.TabStrip1, [&](int) {
    ++runs;
    const int tab = c.TabStrip1->value();
    c.Frame10->visible = tab == 0;
    c.Frame13->visible = tab == 1;
  });
  EXPECT_TRUE(r->widget(*c.Frame13)->isHidden());
  auto* tabs = static_cast<QTabBar*>(r->widget(*c.TabStrip1));
  ASSERT_TRUE(clickOn(tabs, tabs->tabRect(1).center()));
  EXPECT_EQ(c.TabStrip1->value(), 1);
  EXPECT_EQ(runs, 1);
  EXPECT_FALSE(r->widget(*c.Frame13)->isHidden());
  EXPECT_TRUE(r->widget(*c.Frame10)->isHidden());
  EXPECT_FALSE(r->widget(c.Command1[6])->isVisibleTo(r->view.get()));
  // Selected from code: the procedure runs once, and the tab bar follows without running it
  // a second time as an echo.
  c.TabStrip1->setValue(0);
  r->codeChanged();
  EXPECT_EQ(tabs->currentIndex(), 0);
  EXPECT_EQ(runs, 2);
}

struct ChoiceControls : virtual form::HandleSet {
  KB_ONE(FrameA);
  KB_ARRAY(Option1);
  KB_ONE(Option2);
  KB_ONE(Check1);
  KB_ARRAY(Text2);
  KB_ONE(Combo1);
};

void layoutChoice(form::Form& f, ChoiceControls& c) {
  f.width = 6000;
  f.height = 3000;
  form::Control& frame = f.add(c.FrameA, ControlKind::Frame).place(60, 60, 3000, 1500);
  for (int i = 0; i < 2; ++i) {
    form::Control& o =
        f.add(c.Option1, i, ControlKind::OptionButton, &frame).place(120, 240 + 360 * i, 2000, 300);
    o.setCaption(i == 0 ? " WRITE = 00" : " READ COMMAND = 01");
  }
  c.Option1[0].setValue(1);
  f.add(c.Option2, ControlKind::OptionButton).place(3300, 240, 2000, 300).setValue(1);
  f.add(c.Check1, ControlKind::CheckBox).place(3300, 900, 2000, 300);
  f.add(c.Text2, 0, ControlKind::TextBox).place(3300, 1500, 1500, 300);
}

using ChoiceRendered = Rendered<ChoiceControls>;
ChoiceRendered* renderChoice() {
  return new ChoiceRendered(layoutChoice);
}

TEST(FormViewTest, OptionClickSelectsItAndClearsItsSiblingThroughTheForm) {
  std::unique_ptr<ChoiceRendered> r(renderChoice());
  auto& c = r->c;
  std::vector<int> clicks;
  r->form.on(Event::Click, c.Option1, [&](int i) { clicks.push_back(i); });
  auto* first = static_cast<QRadioButton*>(r->widget(c.Option1[0]));
  auto* second = static_cast<QRadioButton*>(r->widget(c.Option1[1]));
  auto* elsewhere = static_cast<QRadioButton*>(r->widget(*c.Option2));
  EXPECT_EQ(second->parentWidget(), r->widget(*c.FrameA));
  ASSERT_TRUE(clickOn(second));
  EXPECT_EQ(clicks, std::vector<int>{1});
  EXPECT_EQ(c.Option1[1].value(), 1);
  EXPECT_EQ(c.Option1[0].value(), 0);
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
  std::unique_ptr<ChoiceRendered> r(renderChoice());
  auto& c = r->c;
  bool refuse = true;
  r->form.on(Event::Click, c.Check1, [&](int) {
    if (refuse) c.Check1->setValue(0);
  });
  auto* box = static_cast<QCheckBox*>(r->widget(*c.Check1));
  ASSERT_TRUE(clickOn(box));
  EXPECT_EQ(c.Check1->value(), 0);
  EXPECT_FALSE(box->isChecked());
  refuse = false;
  ASSERT_TRUE(clickOn(box));
  EXPECT_EQ(c.Check1->value(), 1);
  EXPECT_TRUE(box->isChecked());
}

TEST(FormViewTest, CheckBoxCaptionTooLongForOneLineWrapsOnlyWhenTheBoxIsTallEnough) {
  std::unique_ptr<MainRendered> r(renderMain());
  // "READ Only" in a narrow box two lines high; a long CFGR0 caption in a box one line high.
  EXPECT_EQ(static_cast<QCheckBox*>(r->widget(r->c.Check6[0]))->text(), "READ\nOnly");
  EXPECT_EQ(static_cast<QCheckBox*>(r->widget(r->c.Check0[3]))->text(),
            "10CELLS bit3  1 = 10, 0 = 12 CELLs");
}

TEST(FormViewTest, TypedKeysGoThroughTheKeyPressProcedure) {
  std::unique_ptr<ChoiceRendered> r(renderChoice());
  auto& text = r->c.Text2[0];
  // Upper-cases letters, keeps digits and backspace, drops everything else.
  r->form.onKeyPress(r->c.Text2, [](int, int& key) {
    if (key >= 'a' && key <= 'z') key -= 32;
    const bool keep = (key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z') || key == 8;
    if (!keep) key = 0;
  });
  auto* edit = static_cast<QLineEdit*>(r->widget(text));
  test::typeText(edit, "a1-b");
  EXPECT_EQ(text.text(), "A1B");
  EXPECT_EQ(edit->text(), "A1B");
  EXPECT_EQ(edit->cursorPosition(), 3);
  // The caret moved by the operator is where the next key goes.
  test::pressKey(edit, Qt::Key_Home);
  test::typeText(edit, "9");
  EXPECT_EQ(text.text(), "9A1B");
  test::pressKey(edit, Qt::Key_Delete);
  EXPECT_EQ(text.text(), "91B");
  test::pressKey(edit, Qt::Key_End);
  test::pressKey(edit, Qt::Key_Backspace);
  EXPECT_EQ(edit->text(), "91");
  // Keys that would edit behind the form's back do nothing.
  test::pressKey(edit, Qt::Key_Z, "\x1a", Qt::ControlModifier);
  EXPECT_EQ(edit->text(), "91");
}

TEST(FormViewTest, FocusMovedByCodeMovesTheWidgetFocus) {
  std::unique_ptr<ChoiceRendered> r(renderChoice());
  r->c.Text2[0].setFocus();
  r->codeChanged();
  EXPECT_EQ(r->view->focusWidget(), r->widget(r->c.Text2[0]));
  r->c.Check1->setFocus();
  r->codeChanged();
  EXPECT_EQ(r->view->focusWidget(), r->widget(*r->c.Check1));
}

TEST(FormViewTest, OperatorFocusMovesRunGotFocusAndLostFocus) {
  std::unique_ptr<ChoiceRendered> r(renderChoice());
  auto& c = r->c;
  r->view->activateWindow();
  ASSERT_TRUE(test::waitFor([&] { return r->view->isActiveWindow(); }));
  std::vector<std::string> events;
  r->form.on(Event::GotFocus, c.Text2, [&](int) { events.push_back("Text2 got"); });
  r->form.on(Event::LostFocus, c.Text2, [&](int) { events.push_back("Text2 lost"); });
  r->form.on(Event::GotFocus, c.Check1, [&](int) { events.push_back("Check1 got"); });
  r->widget(c.Text2[0])->setFocus(Qt::MouseFocusReason);
  r->widget(*c.Check1)->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(events, (std::vector<std::string>{"Text2 got", "Text2 lost", "Check1 got"}));
  EXPECT_EQ(r->form.focused(), &*c.Check1);
  // Focus that code moves runs no procedure a second time.
  events.clear();
  c.Text2[0].setFocus();
  r->codeChanged();
  EXPECT_EQ(r->view->focusWidget(), r->widget(c.Text2[0]));
  EXPECT_EQ(events, std::vector<std::string>{"Text2 got"});
}

TEST(FormViewTest, PropertyChangesMadeInCodeShowAfterSync) {
  std::unique_ptr<MainRendered> r(renderMain());
  auto& c = r->c;
  c.Label_ID->setCaption("QXM7140-2");
  c.Label_ID->backColor = kPaleGreen;
  form::Control& button = c.Command1[7];
  button.left = ui::kButtonLeftNarrow;
  button.width = ui::kButtonWidthNarrow;
  button.setCaption("READCELL");
  c.ReminderMark[1].visible = true;
  c.ReminderMark[1].fillColor = kGreen;
  c.Command1[2].enabled = true;
  r->codeChanged();

  auto* id = static_cast<QLabel*>(r->widget(*c.Label_ID));
  EXPECT_EQ(id->text(), "QXM7140-2");
  EXPECT_EQ(id->palette().color(QPalette::Window), QColor(192, 255, 192));
  EXPECT_TRUE(id->autoFillBackground());
  QWidget* narrowed = r->widget(c.Command1[7]);
  EXPECT_EQ(narrowed->geometry(), QRect(752, 228, 81, 25));
  EXPECT_EQ(static_cast<ButtonWidget*>(narrowed)->caption(), "READCELL");
  auto* mark = static_cast<ShapeWidget*>(r->widget(c.ReminderMark[1]));
  EXPECT_FALSE(mark->isHidden());
  EXPECT_EQ(mark->look().fill, QColor(0, 255, 0));
  EXPECT_TRUE(r->widget(c.Command1[2])->isEnabled());
  // The marker is a shape: clicks pass through it to whatever lies beneath.
  EXPECT_TRUE(mark->testAttribute(Qt::WA_TransparentForMouseEvents));
}

TEST(FormViewTest, ControlsDeclaredLaterGetWidgetsOnTheNextSync) {
  std::unique_ptr<ChoiceRendered> r(renderChoice());
  auto& c = r->c;
  form::Control& added = r->form.add(c.Combo1, ControlKind::ComboBox, &*c.FrameA);
  added.items = {"1", "2"};
  added.setListIndex(1);
  r->codeChanged();
  auto* combo = qobject_cast<QComboBox*>(r->widget(*c.Combo1));
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->parentWidget(), r->widget(*c.FrameA));
  EXPECT_EQ(combo->currentText(), "2");
  // Choosing an entry runs the combo's Click with the new list index.
  int chosen = -1;
  r->form.on(Event::Click, c.Combo1, [&](int) { chosen = c.Combo1->listIndex(); });
  combo->activated(0);
  EXPECT_EQ(chosen, 0);
  EXPECT_EQ(c.Combo1->text(), "1");
}

TEST(ColorTest, ModelColoursAreBlueGreenRedAndSystemColoursComeFromThePalette) {
  QPalette p;
  p.setColor(QPalette::WindowText, QColor(1, 2, 3));
  p.setColor(QPalette::Base, QColor(4, 5, 6));
  p.setColor(QPalette::Button, QColor(7, 8, 9));
  EXPECT_EQ(toQColor(kRed, p), QColor(255, 0, 0));
  EXPECT_EQ(toQColor(kOrange, p), QColor(255, 128, 0));
  EXPECT_EQ(toQColor(rgb(128, 128, 255), p), QColor(128, 128, 255));
  EXPECT_EQ(toQColor(kWindowText, p), QColor(1, 2, 3));
  EXPECT_EQ(toQColor(kWindowBackground, p), QColor(4, 5, 6));
  EXPECT_EQ(toQColor(kButtonFace, p), QColor(7, 8, 9));
}

TEST(ColorTest, NeighbouringControlsShareAnEdgeWhateverTheRounding) {
  // Summary cells 360 twips apart (24 px) and 7 twips off the pixel grid.
  for (int left = 7; left < 7 + 360 * 12; left += 360) {
    const QRect a = toPixelRect(left, 0, 360, 100);
    const QRect b = toPixelRect(left + 360, 0, 370, 100);
    EXPECT_EQ(a.right() + 1, b.left());
  }
}

struct CoverControls : virtual form::HandleSet {
  KB_ARRAY(Command1);
  KB_ONE(Shape1);
  KB_ONE(Label1);
};

TEST(FormViewTest, GraphicalControlsLieBeneathButtonsWhateverTheirOrder) {
  Rendered<CoverControls> r([](form::Form& f, CoverControls& c) {
    f.width = 3000;
    f.height = 1500;
    f.add(c.Command1, 6, ControlKind::CommandButton).place(150, 150, 1455, 375);
    // A shape and a label declared after the button, covering it.
    f.add(c.Shape1, ControlKind::Shape).place(0, 0, 3000, 1500);
    f.add(c.Label1, ControlKind::Label).place(0, 0, 3000, 1500);
  });
  int clicks = 0;
  r.form.on(Event::Click, r.c.Command1, [&](int) { ++clicks; });
  ASSERT_TRUE(clickOn(r.widget(r.c.Command1[6])));
  EXPECT_EQ(clicks, 1);
}

}  // namespace
}  // namespace kb::qt
