// The windows as an operator meets them over the simulated stack: every text whole inside its
// control, no controls run into each other, and wheel and keyboard doing what a desktop does.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "QtBench.h"
#include "app/core/ScriptRunner.h"
#include "app/core/Session.h"
#include "ui/qt/AppWindows.h"
#include "ui/qt/ControlWidgets.h"
#include "ui/qt/QtServices.h"

namespace kb::qt {
namespace {

using form::ControlKind;
using test::Bench;
using test::BenchOf;

int count(const std::vector<std::string>& lines, const std::string& line) {
  return static_cast<int>(std::count(lines.begin(), lines.end(), line));
}

std::string name(const form::Control& c) {
  return c.displayName();
}

// How much more room a text needs than it has; empty when it fits.
std::string shortfall(QSize need, QSize room) {
  if (need.isEmpty() || (need.width() <= room.width() && need.height() <= room.height())) return {};
  std::ostringstream out;
  out << "needs " << need.width() << 'x' << need.height() << ", has " << room.width() << 'x'
      << room.height();
  return out.str();
}

// The text of a widget against the room its kind draws it in, measured with the font it draws
// with. Empty when the text stands whole.
std::string misfit(QWidget* w) {
  if (auto* b = dynamic_cast<ButtonWidget*>(w)) {
    const QRect area = b->captionArea();
    const int flags = Qt::AlignCenter | (b->captionWraps() ? Qt::TextWordWrap : 0);
    return shortfall(QFontMetrics(b->captionFont()).boundingRect(area, flags, b->caption()).size(),
                     area.size());
  }
  if (auto* f = dynamic_cast<FrameWidget*>(w)) {
    const QFontMetrics fm(f->font());
    return shortfall(QSize(fm.horizontalAdvance(f->caption()) + 10, fm.height()), f->size());
  }
  if (auto* l = dynamic_cast<LabelWidget*>(w); l != nullptr && !l->columnWords().empty()) {
    const auto& words = l->columnWords();
    for (std::size_t k = 0; k < words.size(); ++k) {
      if (!l->rect().contains(words[k].rect)) return words[k].text.toStdString() + " sticks out";
      if (k > 0 && words[k - 1].rect.right() + 2 > words[k].rect.left()) {
        return words[k].text.toStdString() + " runs into the word before it";
      }
    }
    return {};
  }
  if (auto* l = qobject_cast<QLabel*>(w)) {
    const QRect room = l->contentsRect();
    const int flags = (l->wordWrap() ? Qt::TextWordWrap : 0) | int(l->alignment());
    return shortfall(QFontMetrics(l->font()).boundingRect(room, flags, l->text()).size(),
                     room.size());
  }
  if (auto* b = qobject_cast<QAbstractButton*>(w)) {
    QStyleOptionButton opt;
    opt.initFrom(b);
    opt.text = b->text();
    const bool check = qobject_cast<QCheckBox*>(b) != nullptr;
    const QRect room = b->style()->subElementRect(
        check ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents, &opt, b);
    return shortfall(QFontMetrics(b->font()).boundingRect(room, 0, b->text()).size(), room.size());
  }
  if (auto* e = qobject_cast<QLineEdit*>(w)) {
    // The frame and the widget's own margin of 2 px on each side.
    const int frame = e->hasFrame() ? e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
    const QFontMetrics fm(e->font());
    return shortfall(QSize(fm.horizontalAdvance(e->text()), fm.height()),
                     e->rect().adjusted(frame + 2, frame, -frame - 2, -frame).size());
  }
  if (auto* t = qobject_cast<QPlainTextEdit*>(w)) {
    const int margin = static_cast<int>(t->document()->documentMargin());
    const QSize room = t->viewport()->size() - QSize(2 * margin, 2 * margin);
    QSize need;
    for (QTextBlock b = t->document()->begin(); b.isValid(); b = b.next()) {
      const QTextLayout* layout = b.layout();
      for (int i = 0; i < layout->lineCount(); ++i) {
        const QTextLine line = layout->lineAt(i);
        need.setWidth(std::max(need.width(), static_cast<int>(std::ceil(line.naturalTextWidth()))));
        need.setHeight(need.height() + static_cast<int>(std::ceil(line.height())));
      }
    }
    return shortfall(need, room);
  }
  if (auto* combo = qobject_cast<QComboBox*>(w)) {
    QStyleOptionComboBox opt;
    opt.initFrom(combo);
    const QRect room = combo->style()->subControlRect(QStyle::CC_ComboBox, &opt,
                                                      QStyle::SC_ComboBoxEditField, combo);
    const QString text =
        combo->currentIndex() >= 0 ? combo->currentText() : combo->placeholderText();
    const QFontMetrics fm(combo->font());
    return shortfall(QSize(fm.horizontalAdvance(text), fm.height()), room.size());
  }
  return {};
}

// Where a label's or a check box's text is drawn, in its parent's coordinates; empty for other
// widgets (their texts stand inside a border).
QRect drawnText(QWidget* w) {
  QRect r;
  if (dynamic_cast<ButtonWidget*>(w) != nullptr) return r;
  if (auto* l = qobject_cast<QLabel*>(w)) {
    const int flags = (l->wordWrap() ? Qt::TextWordWrap : 0) | int(l->alignment());
    r = QFontMetrics(l->font()).boundingRect(l->contentsRect(), flags, l->text());
  } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
    QStyleOptionButton opt;
    opt.initFrom(b);
    const bool check = qobject_cast<QCheckBox*>(b) != nullptr;
    const QRect room = b->style()->subElementRect(
        check ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents, &opt, b);
    r = QFontMetrics(b->font()).boundingRect(room, Qt::AlignVCenter, b->text());
  }
  return r.isEmpty() ? QRect() : r.translated(w->pos());
}

// Every visible control of a view whose text does not stand whole; every two visible controls of
// one container that the layout keeps apart but the widgets overlap; and texts of neighbours that
// run into each other (less than 3 px between them).
std::vector<std::string> faultsOf(FormView& view) {
  std::vector<std::string> faults;
  std::vector<std::pair<const form::Control*, QWidget*>> shown;
  for (const auto& c : view.form().controls()) {
    QWidget* w = view.widgetFor(c->name(), c->index());
    if (w == nullptr || !w->isVisibleTo(&view)) continue;
    shown.emplace_back(c.get(), w);
    const std::string why = misfit(w);
    if (!why.empty()) faults.push_back(name(*c) + " " + why);
  }
  for (std::size_t i = 0; i < shown.size(); ++i) {
    const auto& [a, wa] = shown[i];
    if (a->kind() == ControlKind::Line) continue;
    const QRect ta(a->left, a->top, a->width, a->height);
    for (std::size_t j = i + 1; j < shown.size(); ++j) {
      const auto& [b, wb] = shown[j];
      if (b->kind() == ControlKind::Line || wa->parentWidget() != wb->parentWidget()) continue;
      if (ta.intersects(QRect(b->left, b->top, b->width, b->height))) continue;
      if (wa->geometry().intersects(wb->geometry())) {
        faults.push_back(name(*a) + " overlaps " + name(*b));
      }
      const QRect textA = drawnText(wa);
      const QRect textB = drawnText(wb);
      if (!textA.isEmpty() && !textB.isEmpty() && textA.adjusted(-3, 0, 3, 0).intersects(textB)) {
        faults.push_back(name(*a) + " runs into " + name(*b));
      }
    }
  }
  return faults;
}

// Board numbers and addresses not standing over their summary columns (within a pixel), and a
// CDC description whose values and remark are not one line each.
std::vector<std::string> boardViewFaults(Bench& b) {
  std::vector<std::string> faults;
  FormView& view = b.frame.mainView();
  for (const form::Control* header : {&*b.c().Label12, &*b.c().Label15}) {
    auto* label = dynamic_cast<LabelWidget*>(view.widgetFor(header->name()));
    const auto& words = label->columnWords();
    const int boards = b.window().context().boards.LastBoardIndex + 1;
    if (static_cast<int>(words.size()) != boards + 1) {
      faults.push_back(name(*header) + " shows " + std::to_string(words.size()) + " words");
      continue;
    }
    for (int k = 1; k <= boards; ++k) {
      QWidget* column = view.widgetFor("Shape12", k - 1);
      const int at = label->mapTo(&view, words[k].rect.center()).x();
      const int want = column->mapTo(&view, column->rect().center()).x();
      if (std::abs(at - want) > 1) {
        faults.push_back(name(*header) + " " + words[k].text.toStdString() + " stands at " +
                         std::to_string(at) + ", its column at " + std::to_string(want));
      }
    }
  }
  auto* text = qobject_cast<QPlainTextEdit*>(view.widgetFor("Text3"));
  const QTextDocument* doc = text->document();
  if (doc->blockCount() != 2 || doc->begin().layout()->lineCount() != 1 ||
      doc->lastBlock().layout()->lineCount() != 1) {
    faults.push_back("Text3 shows " + text->toPlainText().toStdString());
  }
  return faults;
}

TEST(OperatorViewTest, EveryTextStandsWholeAndNoControlsRunIntoEachOther) {
  for (const int boards : {1, 3, 10}) {
    Bench b(boards);
    for (const int tab : {0, 1}) {
      b.window().form().operatorSelect(*b.c().TabStrip1, tab);
      b.frame.pump().syncNow();
      for (const std::string& fault : faultsOf(b.frame.mainView())) {
        ADD_FAILURE() << boards << " boards, tab " << tab << ": " << fault;
      }
    }
    for (const std::string& fault : faultsOf(b.frame.statusView())) {
      ADD_FAILURE() << boards << " boards, status window: " << fault;
    }
    for (const std::string& fault : boardViewFaults(b)) {
      ADD_FAILURE() << boards << " boards: " << fault;
    }
  }
}

TEST(OperatorViewTest, TheWheelOverAClosedListChangesNothing) {
  Bench b(10);
  for (const auto& c : b.window().form().controls()) {
    if (c->kind() != ControlKind::ComboBox) continue;
    SCOPED_TRACE(name(*c));
    QWidget* combo = b.widget(*c);
    const int position = c->listIndex();
    const std::uint64_t before = b.sent();
    const QPointF at = combo->rect().center();
    QWheelEvent notch(at, combo->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(combo, &notch);
    EXPECT_EQ(c->listIndex(), position);
    EXPECT_EQ(b.sent(), before);
    EXPECT_FALSE(combo->hasFocus());
  }
}

TEST(OperatorViewTest, ReturnClicksTheFocusedButtonButNotTheOneALimitBoxHandsTheFocusTo) {
  Bench b(1);
  b.activate();
  b.widget(b.c().Command1[7])->setFocus(Qt::TabFocusReason);
  b.traced();
  test::pressKey(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(b.traced().front(), "> MSxT80T49T04TDCRRRRRRRRRRRRRRRRRRRX") << "RDCV";

  // Enter in a limit box moves the focus to WRITE CONFIG, and a held Enter does not click it.
  b.widget(b.c().Text2[0])->setFocus(Qt::MouseFocusReason);
  test::typeText(QApplication::focusWidget(), "4");
  test::pressKey(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), b.widget(b.c().Command1[5]));
  QKeyEvent held(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
  QApplication::sendEvent(QApplication::focusWidget(), &held);
  EXPECT_TRUE(b.traced().empty());
}

TEST(OperatorViewTest, TabPassesTheBoxesThatOnlyShow) {
  Bench b(3);
  b.activate();
  QWidget* first = b.widget(b.c().Text2[0]);
  first->setFocus(Qt::TabFocusReason);
  std::vector<std::string> reached;
  for (int k = 0; k < 400; ++k) {
    test::pressKey(QApplication::focusWidget(), Qt::Key_Tab);
    QWidget* now = QApplication::focusWidget();
    if (now == first) break;
    const form::Control* c = b.window().form().focused();
    ASSERT_NE(c, nullptr) << "Tab stops at a " << now->metaObject()->className();
    EXPECT_FALSE(c->kind() == ControlKind::TextBox && c->locked) << name(*c);
    reached.push_back(name(*c));
  }
  for (const char* wanted : {"Text2(1)", "Command1(7)", "Check0(0)", "Command4(2)", "Combo1"}) {
    EXPECT_NE(std::find(reached.begin(), reached.end(), wanted), reached.end()) << wanted;
  }
}

// A procedure waiting in a message box for 3 s of the program's clock: the watchdog keep-alive
// goes on, and the configuration written before it survives.
TEST(OperatorViewTest, AMessageBoxDoesNotStopTheWatchdogKeepAlive) {
  BenchOf<QtDialogs> b(1);
  b.frame.attachDialogs(b.dialogs);
  auto& f = b.window().form();
  auto& c = b.c();
  f.operatorClick(c.Command0[1]);  // CDC 1
  f.operatorClick(c.Command1[5]);  // WRITE CONFIG
  ASSERT_EQ(b.window().context().cycle.WdtServiceActive, 1);
  f.operatorType(c.Text2[1], "4.2");
  f.operatorKey(c.Text2[1], 13);  // VOV stored first, as from a fresh start
  f.operatorType(c.Text2[0], "5");
  b.frame.pump().syncNow();
  b.traced();

  std::vector<std::string> whileOpen;
  QString shown;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) {
      ADD_FAILURE() << "no message box";
      return;
    }
    shown = box->text();
    for (int t = 0; t < 30; ++t) {
      b.clock.advance(0.1);
      b.frame.timerTick();
    }
    whileOpen = b.traced();
    box->buttons().front()->click();
  });
  // Enter in the VUV box: 5 V over the stored 4.2 V is refused in a box.
  b.frame.pump().deliver([&] { f.operatorKey(c.Text2[0], 13); });
  EXPECT_EQ(shown, "VUV must be less than VOV");
  EXPECT_EQ(count(whileOpen, "> MSxS40S07X"), 5) << "a keep-alive every 600 ms";
  EXPECT_EQ(whileOpen.size(), 5u) << "nothing else of the tick";

  f.operatorClick(c.Command1[6]);  // READ CONFIG
  EXPECT_EQ(c.Text_ReadCfg[0].text(), c.Text4[0].text());
  EXPECT_EQ(b.window().context().reads.pecState[0], monitor::kPecMatch);
}

}  // namespace
}  // namespace kb::qt
