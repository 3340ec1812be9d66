#pragma once
// The status window's controls.
#include "ui/form/Form.h"

namespace kb::ui {

inline constexpr const char* kStatusCaption = "QXB5520-1 STATUS GUI";

struct StatusControls final : virtual form::HandleSet {
  KB_ONE(Label11);
  KB_ARRAY(Label12);
  KB_ONE(Label9);
};

void layoutStatusWindow(form::Form& f, StatusControls& s);

}  // namespace kb::ui
