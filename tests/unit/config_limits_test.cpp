// Voltage limits as the operator enters them: the key filter, the checks and their messages, the
// codes per board, the read-back volts.
#include <gtest/gtest.h>

#include "MainWindowRig.h"
#include "common/Colors.h"

namespace kb::test {
namespace {

constexpr int kVUV = 0;
constexpr int kVOV = 1;

// Focus (which empties the box), the keys, then Enter, which moves on to WRITE CONFIG.
void enter(MainWindowRig& r, int box, const std::string& text) {
  form::Control& b = r.c().Text2[box];
  r.form().operatorFocus(b);
  r.type(b, text);
  r.key(b, 13);
}

std::string code(MainWindowRig& r, int box) {
  return r.ctx().config.edit[0][box == kVUV ? 4 : 5];
}

TEST(VoltageLimits, SingleEntries) {
  struct Case {
    int box;
    std::string typed;
    const char* code;
    const char* shown;
    const char* message;
    const char* vovBefore = nullptr;  // VOV entered first; else the box shows its prompt (0 V)
  };
  const Case cases[] = {
      {kVUV, "3", "9C", "3.000V ", "", "4.2"},
      {kVOV, "4.2", "CF", "4.200V ", ""},
      {kVUV, "-.744", "00", "-0.744V ", ""},
      // The highest VUV code lies above the highest VOV code, and the prompt counts as 0 V.
      {kVUV, "5.376", "00", "-0.744V ", "VUV must be less than VOV", "5.352"},
      {kVUV, "4.5", "00", "-0.744V ", "VUV must be less than VOV"},
      {kVUV, "", "1F", "0.000V ", ""},  // an emptied box counts as 0 V
      {kVOV, "", "20", "0.000V ", ""},
      {kVUV, "5.4", "00", "-0.744V ", "Only Enter Values Between -0.744V and 5.376V."},
      {kVOV, "5.4", "00", "-0.768V ", "Only Enter Values Between  -0.768V and 5.352V."},
      // Too long to convert: out of range, not 0.
      {kVUV, std::string(400, '1'), "00", "-0.744V ",
       "Only Enter Values Between -0.744V and 5.376V."},
      {kVOV, std::string(309, '9'), "00", "-0.768V ",
       "Only Enter Values Between  -0.768V and 5.352V."},
  };
  for (const Case& c : cases) {
    MainWindowRig r;
    if (c.vovBefore != nullptr) enter(r, kVOV, c.vovBefore);
    enter(r, c.box, c.typed);
    EXPECT_EQ(code(r, c.box), c.code) << c.typed;
    EXPECT_EQ(r.c().Text2[c.box].text(), c.shown) << c.typed;
    EXPECT_EQ(r.dialogs.shown, c.message[0] == '\0' ? std::vector<std::string>{}
                                                    : std::vector<std::string>{c.message})
        << c.typed;
    EXPECT_EQ(r.c().ZeroMark[c.box].visible, std::string(c.code) == "00") << c.typed;
  }
}

TEST(VoltageLimits, UnderMustStayBelowOver) {
  MainWindowRig r;
  enter(r, kVOV, "3");  // the VUV box holds no entry yet
  EXPECT_EQ(code(r, kVOV), "9D");
  enter(r, kVUV, "4");
  EXPECT_EQ(r.dialogs.shown, std::vector<std::string>{"VUV must be less than VOV"});
  EXPECT_EQ(code(r, kVUV), "00");
  EXPECT_EQ(r.c().Text2[kVUV].text(), "-0.744V ");
  enter(r, kVUV, "3");  // equal volts: VOV's code is one above VUV's
  EXPECT_EQ(code(r, kVUV), "9C");
  EXPECT_EQ(r.dialogs.shown.size(), 1u);
  enter(r, kVUV, "");  // the other box counts: 0 V against 3 V
  EXPECT_EQ(code(r, kVUV), "1F");
}

TEST(VoltageLimits, KeysAreFilteredAndEnterMovesToWriteConfig) {
  MainWindowRig r;
  form::Control& box = r.c().Text2[kVUV];
  r.form().operatorFocus(box);
  EXPECT_EQ(box.text(), "");
  r.type(box, "-3-..5a ");
  EXPECT_EQ(box.text(), "-3.5");
  EXPECT_EQ(box.backColor, kLightGrey);
  EXPECT_EQ(box.foreColor, kOlive);
  r.key(box, 8);
  EXPECT_EQ(box.text(), "-3.");
  r.key(box, 13);
  EXPECT_EQ(*r.window->stateVariable("ActiveControl", -1), "Command1(5)");
  EXPECT_EQ(r.dialogs.shown,
            std::vector<std::string>{"Only Enter Values Between -0.744V and 5.376V."});
}

TEST(VoltageLimits, GlobalStoresForEveryBoardCustomForTheCurrentOne) {
  MainWindowRig r("boards=2");
  auto& c = r.c();
  r.select(*c.Combo1, 1);
  enter(r, kVOV, "4.2");
  enter(r, kVUV, "3");
  EXPECT_EQ(r.ctx().config.edit[1][4], "9C");
  EXPECT_EQ(r.ctx().config.edit[1][5], "CF");
  r.click(c.Option1[0]);
  enter(r, kVUV, "2.4");
  EXPECT_EQ(r.ctx().config.edit[0][4], "83");
  EXPECT_EQ(r.ctx().config.edit[1][4], "9C");
  r.click(c.Command4[1]);
  EXPECT_EQ(c.Text2[kVUV].text(), "3.000V ");
}

TEST(VoltageLimits, WrittenLimitsComeBackAsTheSameVolts) {
  MainWindowRig r;
  auto& c = r.c();
  enter(r, kVOV, "4.2");  // from a fresh start the VOV goes first
  enter(r, kVUV, "3");
  EXPECT_EQ(c.Text2[kVUV].foreColor, kOlive);  // edited, not yet written
  r.sent();
  r.click(c.Command1[5]);
  r.click(c.Command1[6]);
  EXPECT_EQ(r.sent(), (std::vector<std::string>{"MSXxT01SC7SE0S00S00S00S9CSCFS80X", rdcfg("80")}));
  EXPECT_EQ(*r.window->stateVariable("ReadVUV", 0), "3.000V ");
  EXPECT_EQ(*r.window->stateVariable("ReadVOV", 0), "4.200V ");
  EXPECT_EQ(c.Label_RdLimit[kVOV].caption(), "4.200V ");
  EXPECT_EQ(c.Text2[kVUV].foreColor, kWindowText);
}

}  // namespace
}  // namespace kb::test
