#include "telemetry/Publisher.h"

#include "telemetry/Payloads.h"

#include <mosquitto.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace kb::telemetry {

namespace {

using Clock = std::chrono::steady_clock;

// The loop's wait for the socket: also how soon a queued message is taken.
constexpr int kLoopMillis = 50;
constexpr auto kStatusGrace = std::chrono::milliseconds(1000);

void initLibrary() {
  static std::once_flag once;
  std::call_once(once, [] { mosquitto_lib_init(); });
}

std::string reason(int rc) {
  if (rc == MOSQ_ERR_ERRNO) return std::strerror(errno);
  return mosquitto_strerror(rc);
}

}  // namespace

const char* linkStateText(LinkState state) {
  switch (state) {
    case LinkState::Connected:
      return "MQTT: connected";
    case LinkState::Retrying:
      return "MQTT: retrying";
    case LinkState::Off:
      break;
  }
  return "MQTT: off";
}

Publisher::Publisher(PublishSettings settings, std::string password, PublisherTuning tuning)
    : settings_(std::move(settings)),
      password_(std::move(password)),
      clientId_(settings_.clientId.empty() ? defaultClientId() : settings_.clientId),
      tuning_(tuning),
      queue_(tuning.queueCapacity) {}

Publisher::~Publisher() {
  stop();
}

void Publisher::start() {
  std::lock_guard lock(mutex_);
  if (thread_.joinable() || stopping_) return;
  initLibrary();
  state_ = LinkState::Retrying;
  finished_ = false;
  thread_ = std::thread([this] {
    run();
    state_ = LinkState::Off;
    finished_ = true;
  });
}

void Publisher::requestStop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
}

void Publisher::stop() {
  requestStop();
  if (thread_.joinable()) thread_.join();
  state_ = LinkState::Off;
}

void Publisher::enqueue(Message message) {
  std::lock_guard lock(mutex_);
  queue_.push(std::move(message));
}

void Publisher::setOnlineStatus(Message status) {
  std::lock_guard lock(mutex_);
  online_ = std::move(status);
  onlineDirty_ = true;
}

std::uint64_t Publisher::dropped() const {
  std::lock_guard lock(mutex_);
  return queue_.droppedReadings() + queue_.droppedAlarms() + refused_;
}

std::size_t Publisher::queued() const {
  std::lock_guard lock(mutex_);
  return queue_.size();
}

std::string Publisher::lastError() const {
  std::lock_guard lock(mutex_);
  return lastError_;
}

void Publisher::fail(const std::string& why) {
  failed_ = true;
  std::lock_guard lock(mutex_);
  lastError_ = why;
}

bool Publisher::waitRetry(std::chrono::milliseconds delay) {
  std::unique_lock lock(mutex_);
  return !wake_.wait_for(lock, delay, [this] { return stopping_; });
}

// ---- The network thread -------------------------------------------------------------------------

void Publisher::run() {
  auto delay = tuning_.firstRetry;
  for (;;) {
    {
      std::lock_guard lock(mutex_);
      if (stopping_) break;
    }
    mosquitto* m = newClient();
    End end = End::Lost;
    if (m != nullptr) {
      end = session(m);
      if (end == End::Stopping) finish(m);
      mosquitto_destroy(m);
    }
    requeueInFlight();
    connected_ = false;
    state_ = LinkState::Retrying;
    if (end == End::Stopping) break;
    // A connection that was up and got lost is tried again soon; failed attempts back off.
    if (accepted_) delay = tuning_.firstRetry;
    if (!waitRetry(delay)) break;
    delay = std::min(delay * 2, tuning_.maxRetry);
  }
}

mosquitto* Publisher::newClient() {
  connected_ = false;
  accepted_ = false;
  rejected_ = false;
  failed_ = false;
  statusMid_ = -1;
  mosquitto* m = mosquitto_new(clientId_.c_str(), true, this);
  if (m == nullptr) {
    fail("cannot create the MQTT client");
    return nullptr;
  }
  // Only this thread calls libmosquitto; "threaded" makes publish queue without writing, so that
  // every write and callback happens inside mosquitto_loop.
  mosquitto_threaded_set(m, true);
  mosquitto_connect_callback_set(m, &Publisher::onConnect);
  mosquitto_disconnect_callback_set(m, &Publisher::onDisconnect);
  mosquitto_publish_callback_set(m, &Publisher::onPublish);
  mosquitto_log_callback_set(m, [](mosquitto*, void* self, int level, const char* text) {
    if (level == MOSQ_LOG_ERR && text != nullptr) static_cast<Publisher*>(self)->fail(text);
  });

  const Message will = offlineStatus(settings_.prefix);
  int rc = mosquitto_will_set(m, will.topic.c_str(), static_cast<int>(will.payload.size()),
                              will.payload.data(), will.qos, will.retain);
  if (rc == MOSQ_ERR_SUCCESS && !settings_.user.empty()) {
    rc = mosquitto_username_pw_set(m, settings_.user.c_str(),
                                   settings_.passwordFile.empty() ? nullptr : password_.c_str());
  }
  if (rc == MOSQ_ERR_SUCCESS && settings_.tls) {
    rc = mosquitto_tls_set(m, settings_.caFile.c_str(), nullptr, nullptr, nullptr, nullptr);
    if (rc == MOSQ_ERR_SUCCESS) rc = mosquitto_tls_opts_set(m, 1, nullptr, nullptr);
    if (rc == MOSQ_ERR_SUCCESS) rc = mosquitto_tls_insecure_set(m, false);
  }
  if (rc == MOSQ_ERR_SUCCESS) {
    rc = mosquitto_connect_async(m, settings_.host.c_str(), settings_.port, settings_.keepAlive);
  }
  if (rc != MOSQ_ERR_SUCCESS) {
    fail("cannot connect to " + settings_.host + ":" + std::to_string(settings_.port) + ": " +
         reason(rc));
    mosquitto_destroy(m);
    return nullptr;
  }
  return m;
}

Publisher::End Publisher::session(mosquitto* m) {
  const auto started = Clock::now();
  for (;;) {
    {
      std::lock_guard lock(mutex_);
      if (stopping_) return End::Stopping;
    }
    if (connected_) handOver(m);
    const int rc = mosquitto_loop(m, kLoopMillis, 1);
    if (rejected_) return End::Lost;
    if (rc != MOSQ_ERR_SUCCESS) {
      // A reason libmosquitto logged for this connection (a TLS error, say) says more.
      if (connected_) {
        fail("connection lost: " + reason(rc));
      } else if (!failed_) {
        fail("cannot connect: " + reason(rc));
      }
      return End::Lost;
    }
    if (!connected_ && Clock::now() - started > tuning_.connectTimeout) {
      fail("the broker did not answer the connect");
      return End::Lost;
    }
  }
}

// Moves messages from the queue to libmosquitto, the online status first, while fewer than the
// window are on their way.
void Publisher::handOver(mosquitto* m) {
  for (;;) {
    Message message;
    bool status = false;
    {
      std::lock_guard lock(mutex_);
      if (onlineDirty_ && online_) {
        message = *online_;
        onlineDirty_ = false;
        status = true;
      } else if (inFlight_.size() >= tuning_.window) {
        return;
      } else if (auto next = queue_.pop()) {
        message = std::move(*next);
      } else {
        return;
      }
    }
    int mid = 0;
    const int rc =
        mosquitto_publish(m, &mid, message.topic.c_str(), static_cast<int>(message.payload.size()),
                          message.payload.data(), message.qos, message.retain);
    if (rc == MOSQ_ERR_SUCCESS) {
      inFlight_.emplace(mid, std::move(message));
    } else if (rc == MOSQ_ERR_NO_CONN || rc == MOSQ_ERR_CONN_LOST || rc == MOSQ_ERR_NOMEM) {
      std::lock_guard lock(mutex_);
      if (status) {
        onlineDirty_ = true;
      } else {
        queue_.pushFront(std::move(message));
      }
      return;
    } else {
      std::lock_guard lock(mutex_);
      ++refused_;
    }
  }
}

// Stopping: what waits goes out while the connection holds and time allows, then "offline".
void Publisher::finish(mosquitto* m) {
  if (!connected_) return;
  const auto deadline = Clock::now() + tuning_.flushOnStop;
  for (;;) {
    handOver(m);
    bool empty = false;
    {
      std::lock_guard lock(mutex_);
      empty = queue_.size() == 0 && !onlineDirty_;
    }
    if ((empty && inFlight_.empty()) || !connected_ || Clock::now() > deadline) break;
    if (mosquitto_loop(m, kLoopMillis, 1) != MOSQ_ERR_SUCCESS) return;
  }
  if (!connected_) return;
  const Message offline = offlineStatus(settings_.prefix);
  if (mosquitto_publish(m, &statusMid_, offline.topic.c_str(),
                        static_cast<int>(offline.payload.size()), offline.payload.data(),
                        offline.qos, offline.retain) == MOSQ_ERR_SUCCESS) {
    const auto until = Clock::now() + kStatusGrace;
    while (statusMid_ >= 0 && connected_ && Clock::now() < until) {
      if (mosquitto_loop(m, kLoopMillis, 1) != MOSQ_ERR_SUCCESS) return;
    }
  }
  mosquitto_disconnect(m);
  const auto until = Clock::now() + kStatusGrace;
  while (connected_ && Clock::now() < until) {
    if (mosquitto_loop(m, kLoopMillis, 1) != MOSQ_ERR_SUCCESS) break;
  }
}

void Publisher::requeueInFlight() {
  std::lock_guard lock(mutex_);
  // Back to the head in their order: the latest first, so the earliest ends in front.
  std::vector<Message> back;
  for (auto& [mid, message] : inFlight_) back.push_back(std::move(message));
  for (auto it = back.rbegin(); it != back.rend(); ++it) {
    // The online status is published anew on every connect.
    if (it->topic != settings_.prefix + "/status") queue_.pushFront(std::move(*it));
  }
  inFlight_.clear();
}

void Publisher::onConnect(mosquitto*, void* self, int rc) {
  auto* p = static_cast<Publisher*>(self);
  if (rc != 0) {
    p->rejected_ = true;
    p->fail(std::string("the broker refused the connection: ") + mosquitto_connack_string(rc));
    return;
  }
  p->connected_ = true;
  p->accepted_ = true;
  p->state_ = LinkState::Connected;
  std::lock_guard lock(p->mutex_);
  p->lastError_.clear();
  p->onlineDirty_ = p->online_.has_value();
}

void Publisher::onDisconnect(mosquitto*, void* self, int) {
  auto* p = static_cast<Publisher*>(self);
  p->connected_ = false;
  p->state_ = LinkState::Retrying;
}

void Publisher::onPublish(mosquitto*, void* self, int mid) {
  auto* p = static_cast<Publisher*>(self);
  if (mid == p->statusMid_) {
    p->statusMid_ = -1;
    return;
  }
  if (p->inFlight_.erase(mid) > 0) ++p->sent_;
}

}  // namespace kb::telemetry
