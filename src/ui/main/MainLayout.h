#pragma once
// Control declarations of the two windows: kinds, captions, tool tips and positions in twips.
#include <memory>

#include "ui/form/Form.h"

namespace kb::ui {

inline constexpr const char* kMainCaption = "QXB5520-1-QXM7140-2/-4 BMS GUI";
inline constexpr const char* kStatusCaption = "QXB5520-1 STATUS GUI";

std::unique_ptr<form::Form> makeMainForm();
std::unique_ptr<form::Form> makeStatusForm();

// Monitor command buttons: their normal and narrowed (emphasised) geometry.
inline constexpr int kButtonLeft = 11160;
inline constexpr int kButtonWidth = 1455;
inline constexpr int kButtonLeftNarrow = 11280;
inline constexpr int kButtonWidthNarrow = 1215;

}  // namespace kb::ui
