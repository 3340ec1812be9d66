#pragma once
// One control of a headless form: a fixed identity (name, index, kind, container), the properties
// that carry events (value, text, list index), which change only through the form so that their
// events always run, and plain properties (geometry in twips, 0x00BBGGRR colours, ...).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Colors.h"

namespace kb::form {

class Form;

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
// Buttons, boxes, combo boxes and the tab strip take the focus; labels, shapes, frames, lines,
// images and timers never do.
bool takesFocus(ControlKind kind);

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

class Control {
 public:
  // Identity, fixed when the control is declared.
  const std::string& name() const { return name_; }
  int index() const { return index_; }  // -1: a plain control, else its index in the array
  ControlKind kind() const { return kind_; }
  // Frame that holds this control (empty: the form itself); positions are relative to it.
  const std::string& container() const { return container_; }
  int containerIndex() const { return containerIndex_; }
  // "Name" or "Name(index)".
  std::string displayName() const;

  // Properties that carry events. Reading is free; changing goes through the form, which runs
  // the procedures the change implies.
  int value() const { return value_; }  // check box 0/1, option button 0/1, tab strip: tab
  // Caption of buttons, boxes, labels and frames; text of text and combo boxes.
  const std::string& caption() const { return caption_; }
  const std::string& text() const { return caption_; }
  int listIndex() const { return listIndex_; }

  // Check box value (Click when it changes), option button (1 selects it, deselects its
  // siblings, Click when it was not selected), tab strip (selects the tab, Click).
  void setValue(int value);
  // Text or caption; a text box's Change runs when it changes.
  void setText(std::string text);
  void setCaption(std::string caption) { setText(std::move(caption)); }
  // Combo box list position: the text follows the item, Click runs.
  void setListIndex(int position);
  // Runs this control's Click procedure, as code calling the event procedure does.
  void click();
  // Moves the focus here (dropped for a control that cannot take it, is hidden or disabled).
  void setFocus();
  bool hasFocus() const;

  // Plain properties: no events.
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

  // Labels: a row of column headings. The caption's first word stands at the left; every further
  // word is centred over a column, the first columnCentre twips from the label's left, the next
  // ones every columnPitch twips (0: the caption is plain text).
  int columnPitch = 0;
  int columnCentre = 0;
  // Multi-line text boxes: where the box's wrapping starts a new row (-1: where it fits). The text
  // itself holds no line break there.
  int rowBreak = -1;

  std::vector<std::string> items;  // combo box list, tab strip captions
  int selStart = 0;                // text boxes: caret position

  int interval = 0;  // timer, milliseconds

  // Geometry in one call.
  Control& place(int l, int t, int w, int h) {
    left = l;
    top = t;
    width = w;
    height = h;
    return *this;
  }

  // A property by its name as the runner prints it (Caption, Text, Value, ...); nullopt if unknown.
  std::optional<std::string> property(std::string_view propertyName) const;

 private:
  friend class Form;
  Control() = default;

  Form* form_ = nullptr;
  std::string name_;
  int index_ = -1;
  ControlKind kind_ = ControlKind::Label;
  std::string container_;
  int containerIndex_ = -1;

  std::string caption_;
  int value_ = 0;
  int listIndex_ = -1;
};

}  // namespace kb::form
