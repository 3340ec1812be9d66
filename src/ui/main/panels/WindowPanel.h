#pragma once
// The main window's frame: the tab strip, the two tab pages, the timer and the menus.
#include "ui/form/Form.h"

namespace kb::ui {

inline constexpr const char* kMainCaption = "QXB5520-1-QXM7140-2/-4 BMS GUI";

struct WindowControls : virtual form::HandleSet {
  KB_ONE(TabStrip1);
  KB_ONE(Frame10);  // monitor tab page
  KB_ONE(Frame13);  // balancer tab page
  KB_ONE(Timer1);
};

void layoutWindow(form::Form& f, WindowControls& c);

}  // namespace kb::ui
