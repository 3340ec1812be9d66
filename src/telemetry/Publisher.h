#pragma once
// The MQTT client: a bounded queue filled by the program's thread, emptied by a network thread
// of its own that runs libmosquitto's loop. Nothing on the caller's side waits for the network:
// enqueue() takes a lock held only for queue operations.
//
// Why not libmosquitto's own thread (mosquitto_loop_start): libmosquitto 2.0 gives up for good
// when a connect fails with a TLS or name look-up error, never retries a first connect that failed
// at once, and looks the host up on the caller's thread. This thread does the look-up, connects
// with back-off (doubling from `firstRetry` up to `maxRetry`, reset once connected) and starts
// every connection with a fresh client, so nothing of a lost connection lingers in libmosquitto:
// what was handed over but not sent goes back to the head of the queue.
//
// Each connection sets the last will (PREFIX/status "offline", retained) and, once accepted,
// publishes the online status (retained) before anything else. stop() sends what waits (for at
// most `flushOnStop` while connected), publishes "offline" itself (a clean disconnect discards the
// will), and disconnects.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "telemetry/MessageQueue.h"
#include "telemetry/PublishSettings.h"

struct mosquitto;

namespace kb::telemetry {

enum class LinkState { Off, Retrying, Connected };

// "MQTT: connected", "MQTT: retrying", "MQTT: off": the status line's words.
const char* linkStateText(LinkState state);

struct PublisherTuning {
  std::size_t queueCapacity = 10000;  // about a minute of a ten-board continuous read
  std::size_t window = 100;           // handed to libmosquitto and not yet sent
  std::chrono::milliseconds firstRetry{1000};
  std::chrono::milliseconds maxRetry{30000};
  std::chrono::milliseconds connectTimeout{10000};  // from the connect to the broker's answer
  std::chrono::milliseconds flushOnStop{3000};
};

class Publisher {
 public:
  // settings must pass checkSettings; password is the password file's line (or empty).
  Publisher(PublishSettings settings, std::string password, PublisherTuning tuning = {});
  ~Publisher();
  Publisher(const Publisher&) = delete;
  Publisher& operator=(const Publisher&) = delete;

  void start();
  // Tells the thread to finish (send what waits, say "offline", disconnect) without waiting.
  void requestStop();
  // requestStop() and waits for the thread to end.
  void stop();
  // The thread has ended (or never started).
  bool finished() const { return finished_.load(); }

  // Any thread. Messages wait in the queue until a connection takes them.
  void enqueue(Message message);
  // The retained online status, published on every connect (and now, when connected).
  void setOnlineStatus(Message status);

  LinkState state() const { return state_.load(); }
  std::uint64_t dropped() const;  // dropped from the full queue, or refused by libmosquitto
  std::uint64_t sent() const { return sent_.load(); }
  std::size_t queued() const;
  // The reason of the last failed connect or lost connection; empty while none.
  std::string lastError() const;
  const PublishSettings& settings() const { return settings_; }

 private:
  enum class End { Lost, Stopping };

  void run();
  mosquitto* newClient();
  End session(mosquitto* m);
  void handOver(mosquitto* m);
  void finish(mosquitto* m);
  void requeueInFlight();
  // Network thread only: the reason this connection failed.
  void fail(const std::string& why);
  bool waitRetry(std::chrono::milliseconds delay);

  static void onConnect(mosquitto* m, void* self, int rc);
  static void onDisconnect(mosquitto* m, void* self, int rc);
  static void onPublish(mosquitto* m, void* self, int mid);

  const PublishSettings settings_;
  const std::string password_;
  const std::string clientId_;
  const PublisherTuning tuning_;

  mutable std::mutex mutex_;  // guards what follows up to the thread
  std::condition_variable wake_;
  MessageQueue queue_;
  std::optional<Message> online_;
  bool onlineDirty_ = false;
  bool stopping_ = false;
  std::uint64_t refused_ = 0;
  std::string lastError_;
  std::thread thread_;

  std::atomic<LinkState> state_{LinkState::Off};
  std::atomic<std::uint64_t> sent_{0};
  std::atomic<bool> finished_{true};

  // The network thread's own.
  std::map<int, Message> inFlight_;
  bool connected_ = false;
  bool accepted_ = false;  // this connection was accepted once
  bool rejected_ = false;
  bool failed_ = false;  // a reason was given for this connection
  int statusMid_ = -1;
};

}  // namespace kb::telemetry
