#include "config/VoltageLimits.h"
#include "common/NumberText.h"

#include <algorithm>
#include <string>

#include "config/ConfigEditor.h"
#include "config/ConfigRegisters.h"
#include "context/Context.h"

namespace kb::config {

namespace {

constexpr int kVuvRegister = 4;
constexpr int kVovRegister = 5;

Limit limitOf(int index) {
  return index == 0 ? Limit::VUV : Limit::VOV;
}

std::size_t registerOf(Limit limit) {
  return limit == Limit::VUV ? kVuvRegister : kVovRegister;
}

int codeOf(const ui::Context& ctx, int board, Limit limit) {
  return registerValue(ctx.config.edit.at(static_cast<std::size_t>(board))[registerOf(limit)]);
}

// A box that still shows its first prompt ("Set VUV") holds no entry: "apply edits" leaves its
// limit as it is.
bool holdsPrompt(const std::string& text) {
  return !trimBlanks(text).empty() && !startsWithNumber(text);
}

// Stores a code for the selected board (CUSTOM) or every board in use (GLOBAL), as the limit pair
// Option1 chooses; with neither chosen nothing is stored.
void store(ui::Context& ctx, Limit limit, int code) {
  auto& c = ctx.c;
  int first = 0;
  int last = -1;
  if (c.Option1[1].value() == 1) {
    last = ctx.boards.LastBoardIndex;
  } else if (c.Option1[0].value() == 1) {
    first = last = ctx.boards.CurrentBoard;
  }
  for (int b = first; b <= last; ++b) {
    ctx.config.edit.at(static_cast<std::size_t>(b))[registerOf(limit)] = registerText(code);
  }
}

void message(ui::Context& ctx, const char* text) {
  ctx.services.dialogs.msgBox(text, form::kAppTitle);
}

// Range and order checks of both boxes; stores the code of the box index on success.
void checkAndStore(ui::Context& ctx, int index) {
  auto& c = ctx.c;
  const double vuv = leadingNumber(c.Text2[0].text());
  const double vov = leadingNumber(c.Text2[1].text());
  if (vuv < minVolts(Limit::VUV) || vuv > maxVolts(Limit::VUV)) {
    message(ctx, rangeMessage(Limit::VUV));
    return;
  }
  const float u = unroundedCode(Limit::VUV, vuv);
  if (vov < minVolts(Limit::VOV) || vov > maxVolts(Limit::VOV)) {
    message(ctx, rangeMessage(Limit::VOV));
    return;
  }
  const float o = unroundedCode(Limit::VOV, vov);
  // A box without a leading number (empty, or still its prompt) counts as 0 V here.
  if (u >= o) {
    message(ctx, kCrossedMessage);
    return;
  }
  store(ctx, limitOf(index), roundCode(index == 0 ? u : o));
}

}  // namespace

void Text2_GotFocus(ui::Context& ctx, int index) {
  ctx.c.Text2[index].setText("");
}

void Text2_KeyPress(ui::Context& ctx, int index, int& key) {
  form::Control& box = ctx.c.Text2[index];
  box.backColor = kLightGrey;
  box.foreColor = kOlive;
  const std::string& text = box.text();
  // Trimmed only when it has blanks at an end, so that a key costs the same however long the text.
  const bool blankEnd = !text.empty() && (text.front() == ' ' || text.back() == ' ');
  if (blankEnd) {
    const std::string trimmed = trimBlanks(text);
    const int leading = static_cast<int>(text.find_first_not_of(' ') == std::string::npos
                                             ? text.size()
                                             : text.find_first_not_of(' '));
    const int caret = std::clamp(box.selStart - leading, 0, static_cast<int>(trimmed.size()));
    box.setText(trimmed);
    box.selStart = caret;
  }
  key = filterLimitKey(box.text(), box.selStart, key);
  if (key == kKeyEnter) ctx.c.Command1[5].setFocus();  // the box loses focus: its entry is checked
}

void Text2_LostFocus(ui::Context& ctx, int index) {
  checkAndStore(ctx, index);
  refreshLimits(ctx);  // after a refusal this shows the stored value again
}

int vuvCode(const ui::Context& ctx, int board) {
  return codeOf(ctx, board, Limit::VUV);
}

int vovCode(const ui::Context& ctx, int board) {
  return codeOf(ctx, board, Limit::VOV);
}

void refreshLimits(ui::Context& ctx) {
  auto& c = ctx.c;
  const int b = ctx.boards.CurrentBoard;
  for (int i = 0; i < 2; ++i) {
    const int code = codeOf(ctx, b, limitOf(i));
    c.Text2[i].setText(formatVolts(codeToVolts(limitOf(i), code)));
    c.ZeroMark[i].visible = code == 0;
  }
  refreshConfigView(ctx);
}

void applyLimitEdits(ui::Context& ctx) {
  auto& c = ctx.c;
  bool stored = false;
  for (int i = 0; i < 2; ++i) {
    const std::string& text = c.Text2[i].text();
    if (holdsPrompt(text)) continue;
    store(ctx, limitOf(i), roundCode(unroundedCode(limitOf(i), leadingNumber(text))));
    stored = true;
  }
  if (stored) refreshLimits(ctx);
}

void showReadBackVolts(ui::Context& ctx) {
  auto& cfg = ctx.config;
  for (int b = 0; b <= ctx.boards.LastBoardIndex; ++b) {
    const auto slot = static_cast<std::size_t>(b);
    const ConfigRecord& read = cfg.read.at(slot);
    const auto volts = [&](Limit limit) {
      const std::string& text = read[registerOf(limit)];
      return text.empty() ? std::string() : formatVolts(codeToVolts(limit, registerValue(text)));
    };
    cfg.readVuvVolts.at(slot) = volts(Limit::VUV);
    cfg.readVovVolts.at(slot) = volts(Limit::VOV);
  }
  const auto current = static_cast<std::size_t>(ctx.boards.CurrentBoard);
  ctx.c.Label_RdLimit[0].setCaption(cfg.readVuvVolts.at(current));
  ctx.c.Label_RdLimit[1].setCaption(cfg.readVovVolts.at(current));
}

}  // namespace kb::config
