#pragma once
// Message boxes and the desktop's "open" for the GUI.
#include <QPointer>
#include <QWidget>
#include <string>

#include "ui/form/Services.h"

namespace kb::qt {

// A modal message box with one OK button.
class QtDialogs final : public form::Dialogs {
 public:
  void setParent(QWidget* parent) { parent_ = parent; }
  void msgBox(const std::string& text, const std::string& title) override;
  // True while a box is open (a procedure waits for its answer).
  bool open() const { return open_ > 0; }

 private:
  QPointer<QWidget> parent_;
  int open_ = 0;
};

// Opens a file with the desktop's default application.
class QtDesktop final : public form::Desktop {
 public:
  bool open(const std::string& path) override;
};

}  // namespace kb::qt
