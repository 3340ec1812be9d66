#pragma once
// Collects what one operator action or tick read (and the alarms it raised or cleared) and hands
// it to the writer when the event ends: one transaction per event.
#include <cstdint>
#include <memory>
#include <string>

#include "common/Clock.h"
#include "record/Batch.h"
#include "record/Writer.h"

namespace kb::record {

class Recorder {
 public:
  Recorder(std::unique_ptr<Store> store, Writer::Mode mode, const Clock& clock);
  // Hands over what is pending and closes the file with the stop time.
  ~Recorder();
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  void add(const readings::Reading& reading) { batch_.readings.push_back(reading); }
  void add(alarms::Event event, const alarms::Alarm& alarm) {
    batch_.alarms.push_back({event, alarm});
  }
  void add(LinkRow row) { batch_.link.push_back(std::move(row)); }

  // The event has ended: its rows go to the writer as one batch.
  void endEvent();
  // Empty while the recording writes; else why it failed.
  std::string error() const { return writer_.error(); }
  // Hands over what is pending, waits for the writer, notes the stop time; returns error().
  std::string finish();
  const std::string& path() const { return writer_.path(); }
  std::uint64_t rowsWritten() const { return writer_.rowsWritten(); }

 private:
  const Clock& clock_;
  Writer writer_;
  Batch batch_;
};

}  // namespace kb::record
