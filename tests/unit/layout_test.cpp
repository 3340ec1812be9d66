// The main window's layout: controls of one container do not overlap and stay inside it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/main/MainControls.h"

namespace kb::ui {
namespace {

using form::Control;
using form::ControlKind;

bool graphical(const Control& c) {
  return c.kind() == ControlKind::Shape || c.kind() == ControlKind::Line ||
         c.kind() == ControlKind::Image || c.kind() == ControlKind::Timer;
}

// Overlap by more than one pixel (15 twips): neighbours may share an edge.
bool overlap(const Control& a, const Control& b) {
  constexpr int kPixel = 15;
  return a.left + kPixel < b.left + b.width && b.left + kPixel < a.left + a.width &&
         a.top + kPixel < b.top + b.height && b.top + kPixel < a.top + a.height;
}

TEST(MainLayout, WindowedControlsOfAContainerNeitherOverlapNorLeaveIt) {
  form::Form f("frmMain", kMainCaption);
  MainControls c;
  layoutMainWindow(f, c);
  std::vector<const Control*> controls;
  for (const auto& p : f.controls()) {
    if (!graphical(*p) && !p->container().empty()) controls.push_back(p.get());
  }
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const Control& a = *controls[i];
    const Control& box = f.get(a.container(), a.containerIndex());
    EXPECT_LE(a.left + a.width, box.width) << a.displayName() << " leaves its frame";
    EXPECT_LE(a.top + a.height, box.height) << a.displayName() << " leaves its frame";
    for (std::size_t j = i + 1; j < controls.size(); ++j) {
      const Control& b = *controls[j];
      if (a.container() != b.container() || a.containerIndex() != b.containerIndex()) continue;
      EXPECT_FALSE(overlap(a, b)) << a.displayName() << " overlaps " << b.displayName();
    }
  }
}

}  // namespace
}  // namespace kb::ui
