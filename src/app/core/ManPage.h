#pragma once
// The manual page, written from the --help text so that the two say the same.
#include <string>

namespace kb::app {

// Turns a help text into a roff manual page (section 1) for the man macros. The help text's
// shape: a "Usage:" block, a one-paragraph description, then sections. A section is an
// unindented heading ending in ':' (the first, untitled, is the options); its entries are
// "  TAG  DESCRIPTION" lines (two or more blanks between), a tag alone on its line when the
// description follows on deeper-indented lines; deeper-indented lines continue the entry, and
// those with a two-blank gap are a nested list. Other two-blank-indented lines are plain text.
std::string manPage(const std::string& help, const std::string& version);

}  // namespace kb::app
