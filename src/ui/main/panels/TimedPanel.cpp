#include "ui/main/panels/TimedPanel.h"

#include <array>

namespace kb::ui {

using form::Control;
using form::ControlKind;

namespace {

constexpr int kTimedFrameLeft = 60;
constexpr int kTimedFrameTop = 9120;
constexpr int kTimedFrameWidth = 13140;  // the status window's button stands right of it
constexpr int kTimedFrameHeight = 1560;

struct TimeLabel {
  int left, top, width, height;
  const char* caption;
  bool value;  // a value field: white, right-aligned
};

// Balancer tab: the two times in one column right of the buttons.
constexpr std::array<TimeLabel, 6> kBalancerTimes{{
    {6600, 390, 2760, 255, "NEXT STOP BALANCE TIME", false},
    {9480, 345, 1200, 300, "0", true},
    {10740, 390, 360, 255, "s", false},
    {6600, 870, 2760, 255, "TIME REMAINING", false},
    {9480, 825, 1200, 300, "0:00:00", true},
    {10740, 870, 720, 255, "Total", false},
}};

// Monitor tab: the same in the column right of the broadcast boxes, two lines per caption.
constexpr int kMonitorLeft = 14460;
constexpr std::array<TimeLabel, 6> kMonitorTimes{{
    {kMonitorLeft, 3000, 1140, 420, "NEXT STOP BALANCE TIME", false},
    {kMonitorLeft, 3450, 720, 285, "0", true},
    {kMonitorLeft + 765, 3480, 375, 255, "s", false},
    {kMonitorLeft, 3840, 1140, 420, "TIME REMAINING", false},
    {kMonitorLeft, 4290, 720, 285, "0:00:00", true},
    {kMonitorLeft + 765, 4320, 435, 255, "Total", false},
}};

void addTimes(form::Form& f, form::Array& labels, int first, const Control& page,
              const std::array<TimeLabel, 6>& table) {
  for (int k = 0; k < 6; ++k) {
    const TimeLabel& t = table[static_cast<std::size_t>(k)];
    Control& l =
        f.add(labels, first + k, ControlKind::Label, &page).place(t.left, t.top, t.width, t.height);
    l.setCaption(t.caption);
    l.visible = false;  // shown by "TIMED BALANCE"
    if (t.value) {
      l.opaque = true;
      l.backColor = kWhite;
      l.alignment = 1;
      l.fontBold = true;
    }
  }
}

}  // namespace

void layoutTimedPanel(form::Form& f, TimedPanelControls& c, const Control& balancerPage,
                      const Control& monitorPage, const Control& spi) {
  Control& frame = f.add(c.Frame_Timed, ControlKind::Frame, &balancerPage)
                       .place(kTimedFrameLeft, kTimedFrameTop, kTimedFrameWidth, kTimedFrameHeight);
  frame.setCaption("TIMED BALANCING");

  f.add(c.Check_6, ControlKind::CheckBox, &frame)
      .place(240, 360, 2160, 285)
      .setCaption("TIMED BALANCE");
  Control& run = f.add(c.Check_4, ControlKind::CheckBox, &frame).place(240, 840, 1440, 285);
  run.setCaption("START");
  run.visible = false;

  constexpr std::array<const char*, 3> kButtons{"RESET", "OFF", "DEMO"};
  for (int i = 0; i < 3; ++i) {
    Control& b = f.add(c.Command_2, i, ControlKind::CommandButton, &frame)
                     .place(2640 + 1200 * i, 780, 1080, 375);
    b.setCaption(kButtons[static_cast<std::size_t>(i)]);
    b.visible = i == 2;  // RESET and OFF come with "TIMED BALANCE"
  }

  addTimes(f, c.Label_2, 0, frame, kBalancerTimes);
  addTimes(f, c.Label_2, 6, monitorPage, kMonitorTimes);

  // Beside "Poll": shown and hidden by each call of the keep-alive.
  Control& wdt = f.add(c.Label_3, ControlKind::Label, &spi).place(9420, 780, 600, 285);
  wdt.setCaption("WDT");
  wdt.foreColor = kRed;
  wdt.fontBold = true;
  wdt.visible = false;
}

}  // namespace kb::ui
