#include "ui/main/panels/BalancerPanel.h"

#include <array>
#include <string>

namespace kb::ui {

using form::Array;
using form::Control;
using form::ControlKind;
using form::One;

namespace {

// Chip frame geometry, in twips inside the frame. The cells are rows; the four action options
// of a cell stand in the columns "NONE = 00", 01, "DISCHARGE = 10", "CHARGE = 11", then come the
// cell's two word bits and its balance time. Below: the CRC bits, the command read back and the
// status, each as a row of sixteen bits, bit 15 on the left.
constexpr int kChipFrameWidth = 7770;
constexpr int kChipFrameHeight = 7320;
constexpr int kCellFrameLeft = 120;
constexpr int kCellFrameTop = 1260;
constexpr int kCellFramePitch = 540;
constexpr int kCellFrameWidth = 5760;
constexpr int kCellFrameHeight = 480;
constexpr int kOptionLeft = 1020;  // inside the cell frame
constexpr int kOptionPitch = 1080;
constexpr int kWordBitLeft = 5040;  // inside the cell frame
constexpr int kBitPitch = 300;
constexpr int kBitWidth = 270;
constexpr int kTimeLeft = 6060;
constexpr int kRowBitLeft = 120;
constexpr int kRowBitPitch = 465;
constexpr int kReadbackTop = 5040;
constexpr int kStatusTop = 6060;

struct ChipHandles {
  int frame;  // Frame_Chip entry
  const char* caption;
  Array& options;
  Array& word;
  Array& readback;
  Array& status;
  Array& times;
  One& cellsInUse;
  One& timeHeader;
  int tosIndex;
  int numberIndex;
  const char* number;
  int readbackResult;
  int statusResult;
  bool crcEditable;
  const char* stackOverCaption;  // bit 8 of the status
};

class Captions {
 public:
  Captions(form::Form& f, Array& labels) : f_(f), labels_(labels) {}
  Control& add(const Control& container, const std::string& text, int l, int t, int w, int h,
               int alignment = 0) {
    Control& label = f_.add(labels_, next_++, ControlKind::Label, &container).place(l, t, w, h);
    label.setCaption(text);
    label.alignment = alignment;
    return label;
  }

 private:
  form::Form& f_;
  Array& labels_;
  int next_ = 0;
};

Control& bitBox(form::Form& f, Array& a, int index, const Control& container, int l, int t, int w) {
  Control& box = f.add(a, index, ControlKind::TextBox, &container).place(l, t, w, 285);
  box.setText("0");
  box.alignment = 2;
  box.locked = true;
  return box;
}

Control& resultLabel(form::Form& f, Array& a, int index, const Control& container, int top) {
  Control& r = f.add(a, index, ControlKind::Label, &container).place(3240, top - 30, 960, 285);
  r.setCaption("-");
  r.opaque = true;
  r.backColor = kWhite;
  r.alignment = 2;
  r.fontBold = true;
  return r;
}

void layoutSpiControl(form::Form& f, BalancerPanelControls& c, const Control& page,
                      Captions& captions) {
  Control& spi = f.add(c.Frame_SPI, ControlKind::Frame, &page).place(60, 60, 15600, 1560);
  spi.setCaption("SPI CONTROL");

  captions.add(spi, "ADDRESS", 240, 240, 1740, 225, 2);
  captions.add(spi, "COMMAND", 2070, 240, 960, 225, 2);
  captions.add(spi, "PARITY", 3090, 240, 660, 225, 2);
  // Bits 7..3 address 10101, 2..1 WRITE, 0 parity: the byte A9.
  constexpr std::array<const char*, 8> kStart{"1", "0", "0", "1", "0", "1", "0", "1"};
  constexpr std::array<int, 8> kLeft{3240, 2580, 2220, 1680, 1320, 960, 600, 240};
  for (int i = 0; i < 8; ++i) {
    Control& bit = f.add(c.Text_1, i, ControlKind::TextBox, &spi)
                       .place(kLeft[static_cast<std::size_t>(i)], 480, 300, 315);
    bit.setText(kStart[static_cast<std::size_t>(i)]);
    bit.alignment = 2;
    bit.fontBold = true;
  }

  constexpr std::array<const char*, 5> kModes{" WRITE = 00", " READ COMMAND = 01",
                                              " READ STATUS = 10", " EXECUTE = 11", " SUSPEND"};
  for (int i = 0; i < 5; ++i) {
    Control& o =
        f.add(c.Option_1, i, ControlKind::OptionButton, &spi).place(4080, 180 + 255 * i, 2160, 255);
    o.setCaption(kModes[static_cast<std::size_t>(i)]);
  }
  c.Option_1[0].setValue(1);

  f.add(c.Command_1, ControlKind::CommandButton, &spi)
      .place(6600, 420, 1200, 600)
      .setCaption("SEND");

  // Shown with two boards or more (the board-count change decides).
  Control& broadcast = f.add(c.Check_5, ControlKind::CheckBox, &spi).place(8160, 360, 2700, 285);
  broadcast.setCaption("Broadcast Execute/Suspend");
  broadcast.visible = false;
  f.add(c.Check_3, ControlKind::CheckBox, &spi).place(8160, 780, 1200, 285).setCaption("Poll");

  // Below "Poll", shown only while the balancer's transfers fail.
  Control& warning =
      f.add(c.Label_BalancerLink, ControlKind::Label, &spi).place(8160, 1140, 7200, 285);
  warning.foreColor = kRed;
  warning.fontBold = true;
  warning.visible = false;

  captions.add(spi, "BOARD #", 11400, 420, 960, 255, 1);
  Control& board = f.add(c.Label21, ControlKind::Label, &spi).place(12480, 360, 600, 360);
  board.setCaption("1");
  board.opaque = true;
  board.backColor = kWhite;
  board.alignment = 2;
  board.fontBold = true;
  board.fontSize = 12;
}

void layoutChip(form::Form& f, BalancerPanelControls& c, const Control& page, Captions& captions,
                const ChipHandles& h) {
  const int left = h.frame == kBottomChipFrame ? 60 : 7890;
  Control& chip = f.add(c.Frame_Chip, h.frame, ControlKind::Frame, &page)
                      .place(left, 1740, kChipFrameWidth, kChipFrameHeight);
  chip.setCaption(h.caption);

  // Chip number, cells in use, top-of-stack box.
  captions.add(chip, "IC #", 120, 330, 450, 255, 1);
  Control& number =
      f.add(c.Label_21, h.numberIndex, ControlKind::Label, &chip).place(630, 300, 480, 300);
  number.setCaption(h.number);
  number.opaque = true;
  number.backColor = kWhite;
  number.alignment = 2;
  number.fontBold = true;
  captions.add(chip, "SELECT NUMBER OF CELLS", 1260, 330, 2640, 255, 1);
  Control& cells = f.add(h.cellsInUse, ControlKind::ComboBox, &chip).place(3960, 270, 720, 315);
  cells.items = {"6", "5", "4", "3"};
  cells.setListIndex(0);
  Control& tos =
      f.add(c.Check_1, h.tosIndex, ControlKind::CheckBox, &chip).place(4920, 300, 780, 285);
  tos.setCaption("TOS");
  tos.setValue(1);

  // Column headers, one line each in a small font: the action captions are wider than their
  // columns, so each takes the room up to its neighbour's (the second column has no caption).
  constexpr std::array<const char*, 4> kActions{"NONE = 00", "", "DISCHARGE = 10", "CHARGE = 11"};
  constexpr std::array<int, 4> kHalfWidth{600, 0, 600, 480};
  constexpr double kHeaderFont = 6;
  for (int v = 0; v < 4; ++v) {
    const int centre = kCellFrameLeft + kOptionLeft + kOptionPitch * v + 135;
    const char* text = kActions[static_cast<std::size_t>(v)];
    const int half = kHalfWidth[static_cast<std::size_t>(v)];
    if (*text != '\0')
      captions.add(chip, text, centre - half, 870, 2 * half, 255, 2).fontSize = kHeaderFont;
  }
  captions.add(chip, "COMMAND BITS", kCellFrameLeft + kWordBitLeft + 285 - 400, 780, 800, 420, 2)
      .fontSize = kHeaderFont;
  Control& timeHeader =
      f.add(h.timeHeader, ControlKind::Label, &chip).place(kTimeLeft - 120, 780, 1140, 420);
  timeHeader.setCaption("BALANCE TIME (s)");
  timeHeader.alignment = 2;
  timeHeader.visible = false;

  // One frame per cell: four action options and the cell's two word bits.
  for (int cell = 0; cell < kBalancerCells; ++cell) {
    const int top = kCellFrameTop + kCellFramePitch * cell;
    Control& frame = f.add(c.Frame_Cell, kBalancerCells * h.frame + cell, ControlKind::Frame, &chip)
                         .place(kCellFrameLeft, top, kCellFrameWidth, kCellFrameHeight);
    frame.setCaption("CELL " + std::to_string(cell + 1));
    for (int v = 0; v < 4; ++v) {
      Control& o = f.add(h.options, 4 * cell + v, ControlKind::OptionButton, &frame)
                       .place(kOptionLeft + kOptionPitch * v, 165, 270, 255);
      if (v == 0) o.setValue(1);
    }
    const int highBit = 15 - 2 * cell;
    bitBox(f, h.word, highBit, frame, kWordBitLeft, 150, kBitWidth);
    bitBox(f, h.word, highBit - 1, frame, kWordBitLeft + kBitPitch, 150, kBitWidth);
    // Balance times: shown by the timed-balancing controls.
    Control& time =
        f.add(h.times, cell, ControlKind::TextBox, &chip).place(kTimeLeft, top + 135, 900, 285);
    time.setText("0");
    time.alignment = 1;
    time.visible = false;
  }
  // The all-none word "00" "0F".
  for (const int bit : {3, 2, 1, 0}) {
    Control& crc = bitBox(f, h.word, bit, chip,
                          kCellFrameLeft + kWordBitLeft - 300 + 300 * (3 - bit), 4560, kBitWidth);
    crc.setText("1");
    crc.locked = !h.crcEditable;
  }
  captions.add(chip, "CRC", kCellFrameLeft + kWordBitLeft - 300 - 720, 4590, 600, 255, 1);

  // Command read back.
  captions.add(chip, "READBACK COMMAND", 120, kReadbackTop, 3000, 255);
  resultLabel(f, c.Label1, h.readbackResult, chip, kReadbackTop);
  for (int cell = 0; cell < kBalancerCells; ++cell) {
    captions.add(chip, "CELL " + std::to_string(cell + 1), kRowBitLeft + 2 * kRowBitPitch * cell,
                 kReadbackTop + 300, 2 * kRowBitPitch - 60, 225, 2);
  }
  captions.add(chip, "CRC", kRowBitLeft + 12 * kRowBitPitch, kReadbackTop + 300,
               4 * kRowBitPitch - 60, 225, 2);
  for (int bit = 0; bit < 16; ++bit) {
    bitBox(f, h.readback, bit, chip, kRowBitLeft + kRowBitPitch * (15 - bit), kReadbackTop + 540,
           kRowBitPitch - 60);
  }

  // Status read.
  captions.add(chip, "READBACK STATUS", 120, kStatusTop, 3000, 255);
  resultLabel(f, c.Label1, h.statusResult, chip, kStatusTop);
  const std::array<std::string, 9> kStatusBits{"Gate1 OK",  "Gate2 OK",         "Gate3 OK",
                                               "Gate4 OK",  "Gate5 OK",         "Gate6 OK",
                                               " Cells OV", h.stackOverCaption, " Temp OK"};
  for (int k = 0; k < 9; ++k) {
    const int bit = 15 - k;
    Control& l = captions.add(chip, kStatusBits[static_cast<std::size_t>(k)],
                              kRowBitLeft + kRowBitPitch * (15 - bit) - 30, kStatusTop + 300,
                              kRowBitPitch, 420, 2);
    l.fontSize = 6;  // small enough to leave a gap between the captions of neighbouring bits
  }
  for (int bit = 0; bit < 16; ++bit) {
    bitBox(f, h.status, bit, chip, kRowBitLeft + kRowBitPitch * (15 - bit), kStatusTop + 740,
           kRowBitPitch - 60);
  }
}

}  // namespace

void layoutBalancerPanel(form::Form& f, BalancerPanelControls& c, const Control& page) {
  Captions captions(f, c.Label_Bal);
  layoutSpiControl(f, c, page, captions);
  layoutChip(f, c, page, captions,
             {kBottomChipFrame, "BALANCING ACTION BOTTOM", c.Option_2, c.Text_2, c.Text_3, c.Text_4,
              c.Text9, c.Combo_3, c.Label_TimeHeaderB, 2, 1, "1", 5, 6, false, " Sec OV"});
  layoutChip(f, c, page, captions,
             {kTopChipFrame, "BALANCING ACTION TOP", c.Option4, c.Text_5, c.Text_6, c.Text_7,
              c.Text_8, c.Combo_2, c.Label_TimeHeaderT, 3, 2, "2", 3, 4, true, " Stack OV"});
}

}  // namespace kb::ui
