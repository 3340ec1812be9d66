#include "record/Recorder.h"

#include "record/RecordingState.h"

namespace kb::record {

RecordingState::RecordingState() = default;
RecordingState::~RecordingState() = default;

Recorder::Recorder(std::unique_ptr<Store> store, Writer::Mode mode, const Clock& clock)
    : clock_(clock), writer_(std::move(store), mode) {}

Recorder::~Recorder() {
  finish();
}

std::string Recorder::finish() {
  endEvent();
  writer_.finish(clock_.elapsedMicros());
  return writer_.error();
}

void Recorder::endEvent() {
  if (batch_.empty()) return;
  writer_.submit(std::move(batch_));
  batch_ = Batch{};
}

}  // namespace kb::record
