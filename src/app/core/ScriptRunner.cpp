#include "app/core/ScriptRunner.h"

#include <algorithm>
#include <charconv>
#include <exception>
#include <filesystem>
#include <optional>
#include <sstream>
#include <vector>

#include "app/core/Session.h"
#include "link/TraceText.h"

namespace kb::app {

namespace {

constexpr int kMaxTicks = 864'000;  // a day of ticks
constexpr std::int64_t kTickMicros = 100'000;
constexpr int kMaxFrameDepth = 16;
constexpr std::string_view kStatusPrefix = "status.";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::vector<std::string> words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> out;
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

bool toInt(const std::string& s, int& value) {
  const char* end = s.data() + s.size();
  auto [p, ec] = std::from_chars(s.data(), end, value);
  return !s.empty() && ec == std::errc() && p == end;
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// Seconds written as a plain decimal ("2", "1.5", ".25", "3."), rounded to the nearest
// microsecond. Signs, exponents, hexadecimal, "inf" and "nan" are refused. A value too large for
// any clock gives INT64_MAX.
bool parseSeconds(std::string_view s, std::int64_t& micros) {
  constexpr std::int64_t kWholeLimit = 1'000'000'000'000;  // seconds; far past the clock's limit
  std::size_t i = 0;
  bool digits = false;
  bool huge = false;
  std::int64_t whole = 0;
  for (; i < s.size() && isDigit(s[i]); ++i) {
    digits = true;
    whole = whole * 10 + (s[i] - '0');
    if (whole > kWholeLimit) {
      huge = true;
      whole = kWholeLimit;
    }
  }
  std::int64_t fraction = 0;
  int places = 0;
  bool roundUp = false;
  if (i < s.size() && s[i] == '.') {
    for (++i; i < s.size() && isDigit(s[i]); ++i) {
      digits = true;
      if (places < 6) {
        fraction = fraction * 10 + (s[i] - '0');
      } else if (places == 6) {
        roundUp = s[i] >= '5';
      }
      ++places;
    }
  }
  if (!digits || i != s.size()) return false;
  for (int p = places; p < 6; ++p) fraction *= 10;
  micros = huge ? INT64_MAX : whole * kMicrosPerSecond + fraction + (roundUp ? 1 : 0);
  return true;
}

// Text after the first n words of line, leading blanks removed.
std::string restAfter(const std::string& line, int n) {
  std::size_t i = 0;
  for (int k = 0; k < n; ++k) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
  }
  if (i < line.size()) ++i;  // the one separator before the text
  return line.substr(std::min(i, line.size()));
}

std::string trimEnd(const std::string& s) {
  const std::size_t last = s.find_last_not_of(" \t");
  return last == std::string::npos ? std::string() : s.substr(0, last + 1);
}

bool focusable(form::ControlKind k) {
  using form::ControlKind;
  return k == ControlKind::CommandButton || k == ControlKind::CheckBox ||
         k == ControlKind::OptionButton || k == ControlKind::TextBox ||
         k == ControlKind::ComboBox || k == ControlKind::TabStrip;
}

bool clickable(form::ControlKind k) {
  using form::ControlKind;
  return k != ControlKind::Shape && k != ControlKind::Line && k != ControlKind::Timer;
}

// A control named on a script line.
struct Target {
  form::Form* form = nullptr;
  std::string name;   // bare name on its form
  std::string shown;  // as the script names it, with its index: "status.Label12(0)"
  int index = -1;
  form::Control* control = nullptr;
  bool plain = false;  // a plain control, not an array
};

// One line's words and the runner's means to act on them.
class Line {
 public:
  Line(ui::MainWindow& window, std::ostream& out, ManualClock& clock, std::string& error,
       const std::string& code)
      : window_(window), out_(out), clock_(clock), error_(error), code_(code), w_(words(code)) {}

  bool run();

 private:
  bool fail(const std::string& why) {
    error_ = why;
    return false;
  }
  bool tick();
  bool wait();
  bool tab();
  bool menu();
  bool print();
  bool printVariable();
  bool act();

  // NAME [INDEX] at word 1; sets next_ to the word after them.
  bool resolve(Target& t);
  bool isControlName(const std::string& word) const;
  // The words after NAME [INDEX] must number exactly n.
  bool argumentCount(const Target& t, std::size_t n);
  // The operator can reach the control: it and every frame around it are visible and enabled.
  bool reachable(const Target& t);
  // Lowest and highest index a state variable answers to, when it takes one.

  ui::MainWindow& window_;
  std::ostream& out_;
  ManualClock& clock_;
  std::string& error_;
  const std::string& code_;
  std::vector<std::string> w_;
  std::size_t next_ = 2;
};

bool Line::run() {
  if (w_.empty()) return true;
  const std::string& verb = w_[0];
  if (verb == "tick") return tick();
  if (verb == "wait") return wait();
  if (verb == "tab") return tab();
  if (verb == "menu") return menu();
  if (verb == "print") return print();
  static const char* const kControlVerbs[] = {"click", "focus", "select", "key", "type"};
  for (const char* v : kControlVerbs) {
    if (verb == v) return act();
  }
  return fail("unknown action '" + verb + "'");
}

bool Line::tick() {
  int n = 1;
  if (w_.size() > 2) return fail("extra word '" + w_[2] + "' after tick " + w_[1]);
  if (w_.size() == 2 && (!toInt(w_[1], n) || n < 0 || n > kMaxTicks)) {
    return fail("tick takes a count of 0 to " + std::to_string(kMaxTicks) + " (a day), not " +
                w_[1]);
  }
  if (!clock_.canAdvanceMicros(n * kTickMicros)) {
    return fail("tick " + std::to_string(n) + " would move the clock past its limit of 100 years");
  }
  for (int k = 0; k < n && !window_.ended(); ++k) {
    clock_.advanceMicros(kTickMicros);
    window_.tick();
  }
  return true;
}

bool Line::wait() {
  if (w_.size() < 2) return fail("wait needs a number of seconds");
  if (w_.size() > 2) return fail("extra word '" + w_[2] + "' after wait " + w_[1]);
  std::int64_t micros = 0;
  if (!parseSeconds(w_[1], micros)) {
    return fail("wait takes seconds as a plain decimal number (such as 2 or 0.25), not " + w_[1]);
  }
  if (!clock_.canAdvanceMicros(micros)) {
    return fail("wait " + w_[1] + " would move the clock past its limit of 100 years");
  }
  clock_.advanceMicros(micros);
  return true;
}

bool Line::tab() {
  int t = 0;
  if (w_.size() != 2 || !toInt(w_[1], t) || t < 0) return fail("tab takes one tab index");
  form::Control& strip = *window_.context().c.TabStrip1;
  if (t >= static_cast<int>(strip.items.size())) return fail("no tab " + w_[1]);
  window_.form().operatorSelect(strip, t);
  return true;
}

bool Line::menu() {
  const std::string caption = trimEnd(restAfter(code_, 1));
  if (caption.empty()) return fail("menu needs the caption of an item");
  if (!window_.form().runMenu(caption)) return fail("no enabled menu item '" + caption + "'");
  return true;
}

bool Line::isControlName(const std::string& word) const {
  const bool status = word.rfind(kStatusPrefix, 0) == 0;
  const form::Form& f = status ? window_.statusForm() : window_.form();
  return !f.indexes(status ? word.substr(kStatusPrefix.size()) : word).empty();
}

bool Line::resolve(Target& t) {
  const std::string& word = w_[1];
  const bool status = word.rfind(kStatusPrefix, 0) == 0;
  t.form = status ? &window_.statusForm() : &window_.form();
  t.name = status ? word.substr(kStatusPrefix.size()) : word;
  const std::vector<int> indexes = t.form->indexes(t.name);
  if (indexes.empty()) return fail("no control " + word);
  // Indexes come in ascending order: -1 (a plain control) first.
  t.plain = indexes.front() < 0;
  const bool array = indexes.back() >= 0;
  const int lowest = t.plain ? (indexes.size() > 1 ? indexes[1] : -1) : indexes.front();
  next_ = 2;
  t.index = -1;
  if (array && w_.size() > 2 && toInt(w_[2], t.index)) {
    next_ = 3;
  } else if (!t.plain) {
    return fail(word + " needs an index (" + std::to_string(lowest) + ".." +
                std::to_string(indexes.back()) + ")");
  }
  t.shown = word + (t.index >= 0 ? "(" + std::to_string(t.index) + ")" : std::string());
  t.control = t.form->find(t.name, t.index);
  if (t.control == nullptr) return fail("no control " + t.shown);
  return true;
}

bool Line::argumentCount(const Target& t, std::size_t n) {
  const std::size_t have = w_.size() - next_;
  if (have == n) return true;
  int number = 0;
  if (have > n && t.plain && next_ == 2 && toInt(w_[2], number) && have == n + 1) {
    return fail(t.shown + " takes no index");
  }
  if (have > n) return fail("extra word '" + w_[next_ + n] + "' after " + w_[0] + " " + t.shown);
  return fail(w_[0] + " " + t.shown + " needs " +
              (w_[0] == "select" ? "a list position" : "a key code"));
}

bool Line::reachable(const Target& t) {
  const form::Control* c = t.control;
  for (int depth = 0; c != nullptr && depth < kMaxFrameDepth; ++depth) {
    const std::string around =
        c == t.control ? std::string() : " (its frame " + c->displayName() + " is ";
    if (!c->visible)
      return fail(t.shown + " is not visible" + (around.empty() ? "" : around + "hidden)"));
    if (!c->enabled)
      return fail(t.shown + " is disabled" + (around.empty() ? "" : around + "disabled)"));
    c = c->container().empty() ? nullptr : t.form->find(c->container(), c->containerIndex());
  }
  return true;
}

bool Line::act() {
  const std::string& verb = w_[0];
  if (w_.size() < 2) return fail(verb + " needs a control name");
  Target t;
  if (!resolve(t)) return false;
  const form::ControlKind kind = t.control->kind();
  const std::string kindText(form::kindName(kind));
  if (verb == "click") {
    if (!argumentCount(t, 0)) return false;
    if (!clickable(kind)) return fail(t.shown + " cannot be clicked (it is a " + kindText + ")");
    if (!reachable(t)) return false;
    t.form->operatorClick(*t.control);
    return true;
  }
  if (verb == "focus") {
    if (!argumentCount(t, 0)) return false;
    if (!focusable(kind))
      return fail(t.shown + " cannot take the focus (it is a " + kindText + ")");
    if (!reachable(t)) return false;
    t.form->operatorFocus(*t.control);
    return true;
  }
  if (verb == "select") {
    int position = 0;
    if (!argumentCount(t, 1)) return false;
    if (kind != form::ControlKind::ComboBox) return fail(t.shown + " is not a combo box");
    const int count = static_cast<int>(t.control->items.size());
    if (!toInt(w_[next_], position) || position < 0 || position >= count) {
      return fail(count == 0 ? t.shown + " has an empty list"
                             : "select " + t.shown + " takes a list position of 0 to " +
                                   std::to_string(count - 1) + ", not " + w_[next_]);
    }
    if (!reachable(t)) return false;
    t.form->operatorSelect(*t.control, position);
    return true;
  }
  if (verb == "key") {
    int code = 0;
    if (!argumentCount(t, 1)) return false;
    if (!toInt(w_[next_], code) || code < 0 || code > 255) {
      return fail("key takes a key code of 0 to 255, not " + w_[next_]);
    }
    if (!focusable(kind)) return fail(t.shown + " takes no keys (it is a " + kindText + ")");
    if (!reachable(t)) return false;
    t.form->operatorKey(*t.control, code);
    return true;
  }
  // type
  if (w_.size() <= next_) return fail("type " + t.shown + " needs the text to type");
  if (kind != form::ControlKind::TextBox) {
    return fail(t.shown + " takes no text (it is a " + kindText + ")");
  }
  if (!reachable(t)) return false;
  // As a person types: the focus stays in the box, so a following key (Enter) lands there.
  t.form->operatorType(*t.control, trimEnd(restAfter(code_, static_cast<int>(next_))));
  return true;
}

bool Line::printVariable() {
  const std::string& name = w_[1];
  if (!window_.hasStateVariable(name)) {
    // Neither a control nor a state variable: name the control the line seems to mean.
    int index = 0;
    if (w_.size() == 4 && toInt(w_[2], index))
      return fail("no control " + name + "(" + w_[2] + ")");
    if (w_.size() >= 3) return fail("no control " + name);
    return fail("no control or state variable " + name);
  }
  // A grid such as TrendPoints takes two indexes, a table one, a scalar none.
  const auto wanted = static_cast<std::size_t>(std::max(1, window_.stateVariableIndexes(name)));
  std::vector<int> indexes;
  std::string shown;
  for (std::size_t k = 2; k < w_.size(); ++k) {
    int index = 0;
    if (k - 2 >= wanted || !toInt(w_[k], index)) {
      std::string why;
      if (k == 2 && !window_.stateVariable(name, std::vector<int>{}, &why)) return fail(why);
      return fail("extra word '" + w_[k] + "' after print " + name + shown);
    }
    indexes.push_back(index);
    shown += " " + w_[k];
  }
  std::string why;
  const std::optional<std::string> value = window_.stateVariable(name, indexes, &why);
  if (!value) return fail(why);
  out_ << name << shown << " = " << *value << '\n';
  return true;
}

bool Line::print() {
  if (w_.size() < 2) return fail("print needs a control or state variable name");
  if (!isControlName(w_[1])) return printVariable();
  Target t;
  if (!resolve(t)) return false;
  if (w_.size() == next_) {
    return fail("print " + t.shown + " needs a property (such as Caption or Value)");
  }
  if (w_.size() > next_ + 1) {
    int number = 0;
    if (t.plain && next_ == 2 && toInt(w_[2], number) && w_.size() == 4) {
      return fail(t.shown + " takes no index");
    }
    return fail("extra word '" + w_[next_ + 1] + "' after print " + t.shown + " " + w_[next_]);
  }
  const std::string& property = w_[next_];
  const std::optional<std::string> value = t.control->property(property);
  if (!value) return fail("unknown property " + property + " of " + t.shown);
  out_ << t.shown << "." << property << " = " << *value << '\n';
  return true;
}

}  // namespace

void PrintingDialogs::msgBox(const std::string& text, const std::string& title) {
  std::string joined;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!joined.empty()) joined += " / ";
    joined += line;
  }
  out_ << "MSGBOX " << title << ": " << joined << std::endl;
}

bool PrintingDesktop::open(const std::string& path) {
  out_ << "OPEN " << path << std::endl;
  return true;
}

ScriptRunner::ScriptRunner(ui::MainWindow& window, std::ostream& out, ManualClock& clock)
    : window_(window), out_(out), clock_(clock) {}

bool ScriptRunner::runWords(const std::string& code) {
  // A procedure that throws is reported by the form's fault reporter (see faulted()).
  return Line(window_, out_, clock_, error_, code).run();
}

bool ScriptRunner::runLine(const std::string& rawLine) {
  error_.clear();
  std::string line = rawLine;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  const std::size_t hash = line.find('#');
  const bool ok = runWords(hash == std::string::npos ? line : line.substr(0, hash));
  if (!ok) error_ = link::traceText(error_);
  return ok;
}

int ScriptRunner::run(std::istream& script) {
  int number = 0;
  for (std::string line; std::getline(script, line);) {
    ++number;
    if (number == 1 && line.rfind(kByteOrderMark, 0) == 0) line.erase(0, kByteOrderMark.size());
    bool ok = runLine(line);
    out_.flush();
    if (ok && !out_) {
      error_ = "cannot write the output";
      ok = false;
    }
    if (ok && outputCheck_) {
      error_ = outputCheck_();
      ok = error_.empty();
    }
    if (!ok) {
      error_ = "line " + std::to_string(number) + ": " + error_;
      return 2;
    }
    if (faulted_) {
      error_ = "line " + std::to_string(number) + ": the program faulted";
      return 3;
    }
    if (window_.ended()) break;
  }
  if (script.bad()) {
    error_ = "cannot read the script";
    return 2;
  }
  out_.flush();
  return 0;
}

bool openScript(const std::string& path, std::ifstream& in, std::string& error) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    error = "kb4471: script '" + link::traceText(path) + "' is a directory";
    return false;
  }
  in.open(path);
  if (!in) {
    error = "kb4471: cannot read script '" + link::traceText(path) + "'";
    return false;
  }
  return true;
}

std::string faultLine(const form::Fault& fault) {
  return "kb4471: fault in " + fault.control + " " + fault.event + ": " + fault.reason;
}

int runHeadless(const Options& options, std::ostream& out, std::ostream& err) {
  std::ifstream script;
  std::string error;
  if (!openScript(options.scriptFile, script, error)) {
    err << error << '\n';
    return 2;
  }
  ManualClock clock;
  PrintingDialogs dialogs(out);
  PrintingDesktop desktop(out);
  Session session(options, clock, dialogs, &desktop);
  if (!session.error().empty()) {
    err << session.error() << '\n';
    return 2;
  }
  // Whatever happens, output that could not be written makes the run a failure.
  const auto written = [&](int status) {
    out.flush();
    std::string why = session.outputError();
    if (why.empty() && !out) why = "cannot write the output";
    if (why.empty()) return status;
    err << "kb4471: " << why << '\n';
    return 2;
  };
  ScriptRunner runner(session.window(), out, clock);
  session.window().setFaultReporter([&](const form::Fault& fault) {
    err << faultLine(fault) << std::endl;
    runner.faulted();
  });
  if (!session.window().load()) return written(session.window().context().exitStatus);
  runner.setOutputCheck([&session] { return session.outputError(); });
  const int status = runner.run(script);
  if (status == 2 || status == 3) {
    err << "kb4471: " << runner.error() << '\n';
    return status;
  }
  return written(status);
}

}  // namespace kb::app
