#pragma once
// The controls of one chip frame of the balancer tab, so that the bottom and the top chip share
// one implementation.
#include <string>

#include "balancer/CommandWord.h"
#include "common/NumberText.h"
#include "context/Context.h"

namespace kb::balancer {

struct ChipView {
  form::Array& options;   // 24 action options, entry 4 x cell + code
  form::Array& word;      // command word bits
  form::Array& readback;  // command read back bits
  form::Array& status;    // status bits
  form::Array& times;     // balance times of cells 1..6
  form::One& cellsInUse;
  form::One& timeHeader;
  form::Control& tos;             // "TOS" box of this frame
  form::Control& number;          // "IC #"
  form::Control& readbackResult;  // check results
  form::Control& statusResult;

  // The chip the number label names, or -1 when it names none ("-").
  int chip() const {
    const double n = leadingNumber(number.caption());
    return n >= 1 && n <= kChipsUsed ? static_cast<int>(n) - 1 : -1;
  }
};

inline ChipView bottomView(ui::Context& ctx) {
  auto& c = ctx.c;
  return {c.Option_2,          c.Text_2,     c.Text_3,      c.Text_4,    c.Text9,    c.Combo_3,
          c.Label_TimeHeaderB, c.Check_1[2], c.Label_21[1], c.Label1[5], c.Label1[6]};
}

inline ChipView topView(ui::Context& ctx) {
  auto& c = ctx.c;
  return {c.Option4,           c.Text_5,     c.Text_6,      c.Text_7,    c.Text_8,   c.Combo_2,
          c.Label_TimeHeaderT, c.Check_1[3], c.Label_21[2], c.Label1[3], c.Label1[4]};
}

inline std::string bitText(unsigned value, int bit) {
  return ((value >> bit) & 1u) != 0 ? "1" : "0";
}

}  // namespace kb::balancer
