#pragma once
// The button on the balancer tab that opens the status window.
#include "ui/form/Form.h"

namespace kb::ui {

struct StatusButtonControls : virtual form::HandleSet {
  KB_ONE(Command5520);  // "QXB5520-1 STATUS"
};

void layoutStatusButton(form::Form& f, StatusButtonControls& c, const form::Control& page);

}  // namespace kb::ui
