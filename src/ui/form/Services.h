#pragma once
// Small interfaces behind which the program meets the desktop: tests and the runner replace them.
#include <string>

namespace kb::form {

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // A message box with one OK button; returns when the operator has answered it.
  // Lines of text are separated by '\n'.
  virtual void msgBox(const std::string& text, const std::string& title) = 0;
};

class Desktop {
 public:
  virtual ~Desktop() = default;
  // The desktop's "open" of a file; returns false when nothing could open it.
  virtual bool open(const std::string& path) = 0;
};

// Default message box title.
inline constexpr const char* kAppTitle = "KB4471";

}  // namespace kb::form
