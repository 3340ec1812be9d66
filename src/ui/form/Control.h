#pragma once
// One control of a headless form: a kind and the properties the program uses.
// Positions and sizes are in twips; colours are 0x00BBGGRR integers (negative: system colour).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kb::form {

enum class ControlKind {
  CommandButton,
  CheckBox,
  OptionButton,
  TextBox,
  Label,
  ComboBox,
  Frame,
  Shape,
  Line,
  Image,
  TabStrip,
  Timer,
};

std::string_view kindName(ControlKind kind);

// Colours the program uses.
inline constexpr std::int32_t kWhite = 16777215;
inline constexpr std::int32_t kBlack = 0;
inline constexpr std::int32_t kWindowText = -2147483640;        // system window-text colour
inline constexpr std::int32_t kWindowBackground = -2147483643;  // system window colour
inline constexpr std::int32_t kButtonFace = -2147483633;        // system button face
inline constexpr std::int32_t kGrey = 8421504;
inline constexpr std::int32_t kLightGrey = 14737632;
inline constexpr std::int32_t kGreen = 65280;
inline constexpr std::int32_t kRed = 255;
inline constexpr std::int32_t kOrange = 33023;
inline constexpr std::int32_t kOlive = 32896;
inline constexpr std::int32_t kPaleYellow = 12648447;
inline constexpr std::int32_t kPaleGreen = 12648384;
inline constexpr std::int32_t kPaleRed = 12640511;

// RGB (as written in a colour table) to the 0x00BBGGRR form.
constexpr std::int32_t rgb(int r, int g, int b) {
  return r | (g << 8) | (b << 16);
}

// Fill styles of shapes.
inline constexpr int kFillSolid = 0;
inline constexpr int kFillTransparent = 1;
inline constexpr int kFillUpwardDiagonal = 4;
inline constexpr int kFillDownwardDiagonal = 5;
inline constexpr int kFillDiagonalCross = 7;

// Shape outlines.
inline constexpr int kShapeRectangle = 0;
inline constexpr int kShapeOval = 2;
inline constexpr int kShapeCircle = 3;

struct Control {
  std::string name;
  int index = -1;  // -1: a plain control, else its index in the control array
  ControlKind kind = ControlKind::Label;

  // Frame that holds this control (empty: the form itself); positions are relative to it.
  std::string container;
  int containerIndex = -1;

  std::string
      caption;    // caption of buttons, boxes, labels and frames; text of text and combo boxes
  int value = 0;  // check box 0/1; option button 0/1; tab strip: selected tab
  bool visible = true;
  bool enabled = true;
  bool locked = false;  // text boxes: typing refused

  int left = 0, top = 0, width = 0, height = 0;  // twips
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;            // lines, twips

  std::int32_t backColor = kButtonFace;
  std::int32_t foreColor = kWindowText;
  std::int32_t fillColor = kBlack;
  std::int32_t borderColor = kWindowText;
  int fillStyle = kFillTransparent;
  int borderWidth = 1;
  int shape = kShapeRectangle;
  bool opaque = false;  // labels and shapes: back colour painted

  std::string toolTip;
  double fontSize = 8.25;
  bool fontBold = false;
  bool multiLine = false;
  int alignment = 0;  // 0 left, 1 right, 2 centre

  std::vector<std::string> items;  // combo box list, tab strip captions
  int listIndex = -1;
  int selStart = 0;  // text boxes: caret position

  int interval = 0;  // timer, milliseconds

  // "Name" or "Name(index)".
  std::string displayName() const;
  // A property by its name as the runner prints it (Caption, Text, Value, ...); nullopt if unknown.
  std::optional<std::string> property(std::string_view propertyName) const;
};

}  // namespace kb::form
