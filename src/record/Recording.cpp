#include "record/Recording.h"

#include <cstdio>

#include "context/Context.h"
#include "record/Recorder.h"

namespace kb::record {

namespace {

void updateMenus(ui::Context& ctx) {
  form::Form& f = ctx.form();
  const bool recording = ctx.recording.recorder != nullptr;
  const bool dialogs = ctx.recording.ui != nullptr;
  if (form::MenuItem* m = f.findMenuItem(kRecordSession)) {
    m->checked = recording;
    m->enabled = dialogs && !recording;
  }
  if (form::MenuItem* m = f.findMenuItem(kStopRecording)) m->enabled = recording;
  if (form::MenuItem* m = f.findMenuItem(kExportRecording)) m->enabled = dialogs;
}

void tellStopped(ui::Context& ctx, const std::string& file, const std::string& why) {
  ctx.services.dialogs.msgBox("Recording stopped: the file " + file + " could not be written.\n" +
                                  why + "\nThe program goes on without recording.",
                              form::kAppTitle);
}

// A write failed (the disk is full, the file went away): the recording stops, the program goes on.
void afterEvent(ui::Context& ctx) {
  Recorder* r = ctx.recording.recorder.get();
  if (r == nullptr) return;
  r->endEvent();
  const std::string why = r->error();
  if (why.empty()) return;
  const std::string file = r->path();
  stopRecording(ctx);
  tellStopped(ctx, file, why);
}

void mnuStopRecording_Click(ui::Context& ctx) {
  if (!ctx.recording.recorder) return;
  const std::string file = ctx.recording.recorder->path();
  const std::string why = stopRecording(ctx);
  if (!why.empty()) tellStopped(ctx, file, why);
}

void mnuRecordSession_Click(ui::Context& ctx) {
  if (ctx.recording.ui == nullptr || ctx.recording.recorder) return;
  ctx.recording.ui->requestRecording(suggestedFileName(ctx.services.clock.dateTime()));
}

void mnuExportRecording_Click(ui::Context& ctx) {
  if (ctx.recording.ui == nullptr) return;
  ctx.recording.ui->requestExport(ctx.recording.lastFile);
}

}  // namespace

std::string suggestedFileName(const DateTime& t) {
  char name[64];
  std::snprintf(name, sizeof name, "kb4471 %04d-%02d-%02d %02d-%02d-%02d.db", t.year, t.month,
                t.day, t.hour, t.minute, t.second);
  return name;
}

void wire(ui::Context& ctx) {
  ui::Context* c = &ctx;
  ctx.readings.subscribe([c](const readings::Reading& r) {
    if (c->recording.recorder) c->recording.recorder->add(r);
  });
  ctx.alarmEvents.subscribe([c](alarms::Event e, const alarms::Alarm& a) {
    if (c->recording.recorder) c->recording.recorder->add(e, a);
  });
  ctx.readings.subscribeEventEnd([c] { afterEvent(*c); });

  form::Form& f = ctx.form();
  f.onMenu("mnuRecordSession", [c] { mnuRecordSession_Click(*c); });
  f.onMenu("mnuStopRecording", [c] { mnuStopRecording_Click(*c); });
  f.onMenu("mnuExportRecording", [c] { mnuExportRecording_Click(*c); });
  updateMenus(ctx);

  const RecordingState* s = &ctx.recording;
  ctx.variables.add("RecordingFile",
                    [s] { return s->recorder ? s->recorder->path() : std::string(); });
}

bool startRecording(ui::Context& ctx, const std::string& path, bool replace, Writer::Mode mode,
                    std::string& error) {
  stopRecording(ctx);
  const Clock& clock = ctx.services.clock;
  Header header{std::string("kb4471 ") + KB_VERSION, ctx.recording.device, clock.dateTime(),
                clock.elapsedMicros()};
  try {
    auto store = std::make_unique<Store>(path, header, replace);
    ctx.recording.recorder = std::make_unique<Recorder>(std::move(store), mode, clock);
  } catch (const std::exception& e) {
    error = e.what();
    return false;
  }
  ctx.recording.lastFile = path;
  // Alarms that started before the recording, so that their clearing has its start.
  for (const alarms::Alarm& a : ctx.alarmBook.all()) {
    if (a.active()) ctx.recording.recorder->add(alarms::Event::Raised, a);
  }
  updateMenus(ctx);
  return true;
}

void noteLinkFailure(ui::Context& ctx, const std::string& kind, const std::string& detail) {
  if (!ctx.recording.recorder) return;
  ctx.recording.recorder->add(LinkRow{ctx.services.clock.elapsedMicros(), kind, detail});
}

void attachUi(ui::Context& ctx, RecordingUi* ui) {
  ctx.recording.ui = ui;
  updateMenus(ctx);
}

std::string stopRecording(ui::Context& ctx) {
  if (!ctx.recording.recorder) return {};
  const std::string why = ctx.recording.recorder->finish();
  ctx.recording.recorder.reset();
  updateMenus(ctx);
  return why;
}

}  // namespace kb::record
