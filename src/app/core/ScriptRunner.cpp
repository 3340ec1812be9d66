#include "app/core/ScriptRunner.h"

#include <charconv>
#include <fstream>
#include <sstream>
#include <vector>

#include "app/core/Session.h"

namespace kb::app {

namespace {

std::vector<std::string> words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> out;
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

bool toInt(const std::string& s, int& value) {
  const char* end = s.data() + s.size();
  auto [p, ec] = std::from_chars(s.data(), end, value);
  return ec == std::errc() && p == end;
}

bool toDouble(const std::string& s, double& value) {
  try {
    std::size_t used = 0;
    value = std::stod(s, &used);
    return used == s.size();
  } catch (...) {
    return false;
  }
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

ScriptRunner::ScriptRunner(ui::MainWindow& window, std::ostream& out,
                           std::function<void(double)> advance)
    : window_(window), out_(out), advance_(std::move(advance)) {}

bool ScriptRunner::runLine(const std::string& rawLine) {
  error_.clear();
  std::string line = rawLine;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  const std::size_t hash = line.find('#');
  const std::string code = hash == std::string::npos ? line : line.substr(0, hash);
  const std::vector<std::string> w = words(code);
  if (w.empty()) return true;
  const std::string& verb = w[0];

  // Control name with its form, and the optional index after it.
  auto resolve = [&](const std::string& name, form::Form*& f, std::string& bare) {
    if (name.rfind("status.", 0) == 0) {
      f = &window_.statusForm();
      bare = name.substr(7);
    } else {
      f = &window_.form();
      bare = name;
    }
    return !f->indexes(bare).empty();
  };
  auto fail = [&](const std::string& why) {
    error_ = why;
    return false;
  };

  if (verb == "tick") {
    int n = 1;
    if (w.size() > 2 || (w.size() == 2 && (!toInt(w[1], n) || n < 0))) {
      return fail("tick takes a count");
    }
    for (int k = 0; k < n && !window_.ended(); ++k) {
      advance_(0.1);
      window_.tick();
    }
    return true;
  }
  if (verb == "wait") {
    double s = 0;
    if (w.size() != 2 || !toDouble(w[1], s) || s < 0) return fail("wait takes seconds");
    advance_(s);
    return true;
  }
  if (verb == "tab") {
    int t = 0;
    if (w.size() != 2 || !toInt(w[1], t) || t < 0) return fail("tab takes a tab index");
    form::Control& strip = *window_.context().c.TabStrip1;
    if (t >= static_cast<int>(strip.items.size())) return fail("no tab " + w[1]);
    window_.form().operatorSelect(strip, t);
    return true;
  }
  if (verb == "menu") {
    const std::string caption = restAfter(code, 1);
    const std::string trimmed = caption.substr(0, caption.find_last_not_of(" \t") + 1);
    if (!window_.form().runMenu(trimmed)) return fail("no enabled menu item '" + trimmed + "'");
    return true;
  }
  if (w.size() < 2) return fail(verb + " needs a control name");

  form::Form* f = nullptr;
  std::string name;
  const bool isControl = resolve(w[1], f, name);

  if (verb == "print") {
    if (!isControl) {
      int index = -1;
      if (w.size() > 3 || (w.size() == 3 && !toInt(w[2], index))) return fail("bad print");
      const auto value = window_.stateVariable(w[1], index);
      if (!value) return fail("unknown control or state variable " + w[1]);
      out_ << w[1] << (w.size() == 3 ? " " + w[2] : std::string()) << " = " << *value << '\n';
      return true;
    }
    int index = -1;
    std::string property;
    if (w.size() == 4 && toInt(w[2], index)) {
      property = w[3];
    } else if (w.size() == 3) {
      property = w[2];
    } else {
      return fail("print NAME [INDEX] PROPERTY");
    }
    const form::Control* c = f->find(name, index);
    if (c == nullptr) return fail("no control " + w[1] + (index >= 0 ? "(" + w[2] + ")" : ""));
    const auto value = c->property(property);
    if (!value) return fail("unknown property " + property);
    out_ << w[1] << (index >= 0 ? "(" + std::to_string(index) + ")" : std::string()) << "."
         << property << " = " << *value << '\n';
    return true;
  }

  if (!isControl) return fail("no control " + w[1]);
  // NAME [INDEX] followed by nArgs more words: the index is present when there are enough.
  auto indexFor = [&](std::size_t nArgs, int& index, std::size_t& next) {
    index = -1;
    next = 2;
    if (w.size() >= 3 + nArgs && toInt(w[2], index)) next = 3;
    if (next == 2) index = -1;
    return f->find(name, index) != nullptr;
  };
  int index = -1;
  std::size_t next = 2;

  if (verb == "click" || verb == "focus") {
    if (!indexFor(0, index, next) || w.size() != next) return fail("no control " + w[1]);
    form::Control& c = f->get(name, index);
    if (verb == "click") {
      f->operatorClick(c);
    } else {
      f->operatorFocus(c);
    }
    return true;
  }
  if (verb == "select" || verb == "key") {
    int value = 0;
    if (!indexFor(1, index, next) || w.size() != next + 1 || !toInt(w[next], value)) {
      return fail(verb + " NAME [INDEX] " + (verb == "select" ? "POS" : "CODE"));
    }
    form::Control& c = f->get(name, index);
    if (verb == "select") {
      if (c.kind() != form::ControlKind::ComboBox) return fail(w[1] + " is not a combo box");
      f->operatorSelect(c, value);
    } else {
      f->operatorKey(c, value);
    }
    return true;
  }
  if (verb == "type") {
    if (!indexFor(1, index, next) || w.size() < next + 1) return fail("type NAME [INDEX] TEXT");
    const std::string text = restAfter(code, static_cast<int>(next));
    form::Control& c = f->get(name, index);
    f->operatorType(c, text.substr(0, text.find_last_not_of(" \t") + 1));
    f->operatorLeave();
    return true;
  }
  return fail("unknown action '" + verb + "'");
}

int ScriptRunner::run(std::istream& script) {
  int number = 0;
  for (std::string line; std::getline(script, line);) {
    ++number;
    if (!runLine(line)) {
      error_ = "line " + std::to_string(number) + ": " + error_;
      return 2;
    }
    if (faulted_) {
      error_ = "line " + std::to_string(number) + ": the program faulted";
      return 3;
    }
    if (window_.ended()) break;
  }
  out_.flush();
  return 0;
}

std::string faultLine(const form::Fault& fault) {
  return "kb4471: fault in " + fault.control + " " + fault.event + ": " + fault.reason;
}

int runHeadless(const Options& options, std::ostream& out, std::ostream& err) {
  std::ifstream script(options.scriptFile);
  if (!script) {
    err << "kb4471: cannot read script '" << options.scriptFile << "'\n";
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
  ScriptRunner runner(session.window(), out, [&clock](double s) { clock.advance(s); });
  session.window().setFaultReporter([&](const form::Fault& fault) {
    err << faultLine(fault) << std::endl;
    runner.faulted();
  });
  if (!session.window().load()) return session.window().context().exitStatus;
  const int status = runner.run(script);
  if (status == 2 || status == 3) err << "kb4471: " << runner.error() << '\n';
  return status;
}

}  // namespace kb::app
