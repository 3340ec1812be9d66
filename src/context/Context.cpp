#include "context/Context.h"

namespace kb::ui {

Context::Context(Services services_)
    : services(services_),
      main(std::make_unique<form::Form>("frmMain", kMainCaption)),
      status(std::make_unique<form::Form>("frmStatus", kStatusCaption)) {
  layoutMainWindow(*main, c);
  layoutStatusWindow(*status, this->s);
}

bool Context::pecMatchOnly() const {
  return c.Check_AUTO->value() == 1 && !startup.displayAllOverride;
}

}  // namespace kb::ui
