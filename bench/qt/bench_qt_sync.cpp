// The Qt renderer's re-sync after an event: a form of about 1000 controls, like the main window
// once every panel is built, with a few hundred of them changed by the event.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <memory>

#include "ui/form/Form.h"
#include "ui/qt/EventPump.h"
#include "ui/qt/FormView.h"

namespace {

using kb::form::ControlKind;

struct BigControls : virtual kb::form::HandleSet {
  KB_ONE(Frame1);
  KB_ARRAY(Shape1);    // 400 summary cells
  KB_ARRAY(Label1);    // 200 labels
  KB_ARRAY(Text1);     // 200 text boxes
  KB_ARRAY(Check1);    // 150 check boxes
  KB_ARRAY(Command1);  // 50 buttons
};

struct BigForm {
  BigForm() {
    f.width = 20000;
    f.height = 14000;
    const kb::form::Control& frame = f.add(c.Frame1, ControlKind::Frame).place(0, 0, 20000, 14000);
    for (int i = 0; i < 400; ++i) {
      f.add(c.Shape1, i, ControlKind::Shape, &frame)
          .place(100 + 240 * (i % 40), 100 + 240 * (i / 40), 200, 200)
          .fillStyle = kb::form::kFillSolid;
    }
    for (int i = 0; i < 200; ++i) {
      f.add(c.Label1, i, ControlKind::Label, &frame)
          .place(100 + 900 * (i % 20), 3000 + 300 * (i / 20), 850, 255)
          .setCaption("CELL" + std::to_string(i));
      f.add(c.Text1, i, ControlKind::TextBox, &frame)
          .place(100 + 900 * (i % 20), 6500 + 300 * (i / 20), 850, 285)
          .setText(" 0.0000V  ");
    }
    for (int i = 0; i < 150; ++i) {
      f.add(c.Check1, i, ControlKind::CheckBox, &frame)
          .place(100 + 1200 * (i % 15), 10000 + 300 * (i / 15), 1100, 255)
          .setCaption("DCC");
    }
    for (int i = 0; i < 50; ++i) {
      f.add(c.Command1, i, ControlKind::CommandButton, &frame)
          .place(100 + 1500 * (i % 10), 13000 - 400 * (i / 10), 1400, 375)
          .setCaption("BUTTON");
    }
  }
  kb::form::Form f{"frmBig", "Big"};
  BigControls c;
};

// Nothing changed: the cost every event pays.
void BM_QtSyncUnchanged(benchmark::State& state) {
  BigForm big;
  kb::qt::EventPump pump;
  kb::qt::FormView view(big.f, pump);
  for (auto _ : state) view.sync();
  state.counters["controls"] = static_cast<double>(big.f.controls().size());
}
BENCHMARK(BM_QtSyncUnchanged);

// A read of every board: 300 controls change colour, text or value.
void BM_QtSyncManyChanged(benchmark::State& state) {
  BigForm big;
  kb::qt::EventPump pump;
  kb::qt::FormView view(big.f, pump);
  int round = 0;
  for (auto _ : state) {
    ++round;
    for (int i = 0; i < 200; ++i) big.c.Shape1[i].fillColor = (round & 1) ? kb::kGreen : kb::kRed;
    for (int i = 0; i < 60; ++i) big.c.Text1[i].setText(std::to_string(round % 7) + ".1234V  ");
    for (int i = 0; i < 40; ++i) big.c.Check1[i].setValue(round & 1);
    view.sync();
  }
}
BENCHMARK(BM_QtSyncManyChanged);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
