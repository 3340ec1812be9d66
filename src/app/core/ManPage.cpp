#include "app/core/ManPage.h"

#include <cctype>
#include <sstream>
#include <vector>

namespace kb::app {

namespace {

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

std::size_t indentOf(const std::string& line) {
  const std::size_t at = line.find_first_not_of(' ');
  return at == std::string::npos ? line.size() : at;
}

// Roff text: backslashes escaped, the dashes of an option ("--export-dir") as minus signs (so
// that it can be copied into a shell), a line that would start with a control character guarded.
std::string roff(const std::string& s) {
  std::string out;
  bool option = false;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char ch = s[i];
    const char before = i == 0 ? ' ' : s[i - 1];
    if (ch == ' ') option = false;
    if (ch == '-' && (before == ' ' || before == '[' || before == '(' || before == '\'')) {
      option = true;
    }
    if (ch == '\\') {
      out += "\\e";
    } else if (ch == '-' && option) {
      out += "\\-";
    } else {
      out += ch;
    }
  }
  if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
  return out;
}

std::string upper(std::string s) {
  for (char& ch : s) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return s;
}

// "TAG  TEXT" from column `from`: split at the first run of two or more blanks.
bool splitEntry(const std::string& line, std::size_t from, std::string& tag, std::string& text,
                std::size_t& column) {
  const std::size_t gap = line.find("  ", from);
  if (gap == std::string::npos) return false;
  column = line.find_first_not_of(' ', gap);
  if (column == std::string::npos) return false;
  tag = line.substr(from, gap - from);
  text = line.substr(column);
  return true;
}

class Writer {
 public:
  explicit Writer(std::ostringstream& out) : out_(out) {}

  void entry(const std::string& tag, const std::string& text, std::size_t width) {
    out_ << ".TP " << width << "n\n\\fB" << roff(tag) << "\\fR\n";
    if (!text.empty()) out_ << roff(text) << '\n';
  }
  void openNested() {
    if (!nested_) out_ << ".RS\n.PD 0\n";
    nested_ = true;
  }
  void closeNested() {
    if (nested_) out_ << ".PD\n.RE\n";
    nested_ = false;
  }

 private:
  std::ostringstream& out_;
  bool nested_ = false;
};

}  // namespace

std::string manPage(const std::string& help, const std::string& version) {
  const std::vector<std::string> in = splitLines(help);
  std::size_t i = 0;
  std::vector<std::string> usage;
  for (; i < in.size() && !in[i].empty(); ++i) usage.push_back(in[i]);
  for (; i < in.size() && in[i].empty(); ++i) {
  }
  std::string description;
  for (; i < in.size() && !in[i].empty(); ++i)
    description += (description.empty() ? "" : " ") + in[i];

  const std::string prefix = "Usage: ";
  std::string first = usage.empty() ? std::string() : usage[0];
  if (first.rfind(prefix, 0) == 0) first.erase(0, prefix.size());
  const std::string name = first.substr(0, first.find(' '));

  std::ostringstream out;
  out << ".TH " << upper(name) << " 1 \"\" \"" << roff(version) << "\" \"User Commands\"\n";
  out << ".nh\n.ad l\n";
  std::string summary = description.substr(0, description.find(". "));
  if (!summary.empty() && summary.back() == '.') summary.pop_back();
  if (!summary.empty()) summary[0] = static_cast<char>(std::tolower(summary[0]));
  out << ".SH NAME\n" << roff(name) << " \\- " << roff(summary) << '\n';

  out << ".SH SYNOPSIS\n.nf\n\\fB" << roff(name) << "\\fR" << roff(first.substr(name.size()))
      << '\n';
  for (std::size_t u = 1; u < usage.size(); ++u) {
    out << roff(usage[u].substr(std::min(prefix.size(), indentOf(usage[u])))) << '\n';
  }
  out << ".fi\n.SH DESCRIPTION\n" << roff(description) << '\n';
  out << ".SH OPTIONS\n";

  Writer w(out);
  for (; i < in.size(); ++i) {
    const std::string& line = in[i];
    if (line.empty()) {
      w.closeNested();
      continue;
    }
    const std::size_t indent = indentOf(line);
    const std::string body = line.substr(indent);
    std::string tag, text;
    std::size_t column = 0;
    if (indent == 0) {
      w.closeNested();
      if (body.back() == ':') {
        out << ".SH " << roff(upper(body.substr(0, body.size() - 1))) << '\n';
      } else {
        out << ".PP\n" << roff(body) << '\n';
      }
    } else if (indent <= 2) {
      w.closeNested();
      if (splitEntry(line, indent, tag, text, column)) {
        w.entry(tag, text, column - indent);
      } else if (i + 1 < in.size() && !in[i + 1].empty() && indentOf(in[i + 1]) > indent) {
        w.entry(body, "", indentOf(in[i + 1]) - indent);
      } else {
        out << ".PP\n" << roff(body) << '\n';
      }
    } else if (splitEntry(line, indent, tag, text, column)) {
      w.openNested();
      w.entry(tag, text, column - indent);
    } else {
      out << roff(body) << '\n';
    }
  }
  w.closeNested();
  return out.str();
}

}  // namespace kb::app
