#pragma once
// Publishing a run: subscribes to the context's readings and alarm events, turns each into its
// messages and hands them to the publisher's queue. Runs on the program's thread and only formats
// and queues; the network is the publisher's thread's.
#include <memory>
#include <string>

#include "telemetry/Publisher.h"

namespace kb::ui {
struct Context;
}

namespace kb::telemetry {

class Telemetry {
 public:
  // Starts publishing. settings must pass checkSettings.
  Telemetry(ui::Context& ctx, const PublishSettings& settings, std::string password,
            PublisherTuning tuning = {});
  // Unsubscribes, then stops the publisher (which sends what waits, for a short while).
  ~Telemetry();
  // Unsubscribes and lets the publisher finish on its own thread; the destructor then waits only
  // for what is left of that.
  void retire();
  Telemetry(const Telemetry&) = delete;
  Telemetry& operator=(const Telemetry&) = delete;

  Publisher& publisher() { return publisher_; }
  const Publisher& publisher() const { return publisher_; }

 private:
  void followController();
  void unsubscribe();

  ui::Context& ctx_;
  std::string prefix_;
  Publisher publisher_;
  int readingsId_ = 0;
  int alarmsId_ = 0;
  bool statusSet_ = false;
  std::string controller_;
};

// Checks the settings, reads the password file and checks that the CA file can be read, then
// starts publishing. Returns null with a one-line reason.
std::unique_ptr<Telemetry> startTelemetry(ui::Context& ctx, const PublishSettings& settings,
                                          std::string& error, PublisherTuning tuning = {});

}  // namespace kb::telemetry
