#pragma once
// A real Mosquitto broker on 127.0.0.1 at a free port, started and stopped by the test, and a
// subscriber that keeps everything it receives.
#include <fcntl.h>
#include <mosquitto.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace kb::test {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A fresh folder under the temporary directory, removed with the object.
struct TempDir {
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "kb-mqtt-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path = pattern;
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
  std::string file(const std::string& name) const { return (path / name).string(); }
  fs::path path;
};

inline int freePort() {
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
      getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
    close(s);
    throw std::runtime_error("no free port");
  }
  close(s);
  return ntohs(a.sin_port);
}

inline bool accepting(int port) {
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(static_cast<std::uint16_t>(port));
  const bool ok = connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  close(s);
  return ok;
}

// Starts a process with its output in a log file; returns its pid.
inline pid_t spawn(const std::vector<std::string>& args, const std::string& log,
                   const std::vector<std::string>& extraEnv = {}) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::vector<std::string> envText;
  for (char** e = environ; *e != nullptr; ++e) envText.emplace_back(*e);
  for (const auto& e : extraEnv) envText.push_back(e);
  std::vector<char*> env;
  for (auto& e : envText) env.push_back(e.data());
  env.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), env.data());
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) throw std::runtime_error("cannot start " + args[0]);
  return pid;
}

// A broker listening on 127.0.0.1 only. `config` is added to the listener's configuration
// (TLS files, password file); the port is chosen here.
class Broker {
 public:
  explicit Broker(std::string config = "allow_anonymous true\n") : config_(std::move(config)) {
    for (int attempt = 0; attempt < 5 && pid_ == 0; ++attempt) {
      port_ = freePort();
      if (!start()) stop();
    }
    if (pid_ == 0) {
      std::ifstream log(dir_.file("log"));
      throw std::runtime_error("the broker did not start: " +
                               std::string(std::istreambuf_iterator<char>(log), {}));
    }
  }
  ~Broker() { stop(); }

  int port() const { return port_; }
  const TempDir& dir() const { return dir_; }

  bool start() {
    std::ofstream(dir_.file("broker.conf"))
        // Run as whoever runs the test: a broker started as root would otherwise turn into the
        // "mosquitto" user, who cannot read the test's private folders.
        << "user " << getpwuid(geteuid())->pw_name << "\n"
        << "per_listener_settings false\npersistence false\nlistener " << port_ << " 127.0.0.1\n"
        << config_;
    pid_ = spawn({"/usr/sbin/mosquitto", "-c", dir_.file("broker.conf")}, dir_.file("log"));
    const auto until = std::chrono::steady_clock::now() + 10s;
    while (std::chrono::steady_clock::now() < until) {
      if (accepting(port_)) return true;
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = 0;
        return false;
      }
      std::this_thread::sleep_for(20ms);
    }
    return false;
  }

  void stop() {
    if (pid_ == 0) return;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = 0;
  }

 private:
  TempDir dir_;
  std::string config_;
  int port_ = 0;
  pid_t pid_ = 0;
};

struct Received {
  std::string topic;
  std::string payload;
  int qos = 0;
  bool retain = false;
};

// Subscribes to a topic filter at QoS 1 (again after every reconnect) and keeps every message.
class Subscriber {
 public:
  Subscriber(int port, const std::string& filter) : filter_(filter) {
    mosquitto_lib_init();
    m_ = mosquitto_new(nullptr, true, this);
    mosquitto_connect_callback_set(m_, [](mosquitto* m, void* self, int rc) {
      if (rc == 0)
        mosquitto_subscribe(m, nullptr, static_cast<Subscriber*>(self)->filter_.c_str(), 1);
    });
    mosquitto_subscribe_callback_set(m_, [](mosquitto*, void* self, int, int, const int*) {
      auto* s = static_cast<Subscriber*>(self);
      std::lock_guard lock(s->mutex_);
      ++s->subscriptions_;
      s->changed_.notify_all();
    });
    mosquitto_message_callback_set(m_, [](mosquitto*, void* self, const mosquitto_message* msg) {
      auto* s = static_cast<Subscriber*>(self);
      std::lock_guard lock(s->mutex_);
      s->received_.push_back({msg->topic,
                              std::string(static_cast<const char*>(msg->payload),
                                          static_cast<std::size_t>(msg->payloadlen)),
                              msg->qos, msg->retain});
      s->changed_.notify_all();
    });
    mosquitto_reconnect_delay_set(m_, 1, 1, false);
    mosquitto_loop_start(m_);
    mosquitto_connect_async(m_, "127.0.0.1", port, 5);
    std::unique_lock lock(mutex_);
    if (!changed_.wait_for(lock, 10s, [this] { return subscriptions_ > 0; })) {
      throw std::runtime_error("the subscriber did not subscribe");
    }
  }
  ~Subscriber() {
    mosquitto_disconnect(m_);
    mosquitto_loop_stop(m_, false);
    mosquitto_destroy(m_);
  }

  std::vector<Received> messages() const {
    std::lock_guard lock(mutex_);
    return received_;
  }
  // Waits until the messages received satisfy the condition; false after the time-out.
  bool waitFor(const std::function<bool(const std::vector<Received>&)>& done,
               std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return done(received_); });
  }
  // The messages on one topic.
  std::vector<Received> on(const std::string& topic) const {
    std::vector<Received> out;
    for (const Received& r : messages()) {
      if (r.topic == topic) out.push_back(r);
    }
    return out;
  }

 private:
  std::string filter_;
  mosquitto* m_ = nullptr;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  int subscriptions_ = 0;
  std::vector<Received> received_;
};

// The raw text of a JSON field of a flat payload: "volts" of {"volts":3.7005,...} is "3.7005".
inline std::string field(const std::string& json, const std::string& key) {
  const std::string tag = "\"" + key + "\":";
  const std::size_t at = json.find(tag);
  if (at == std::string::npos) return {};
  const std::size_t from = at + tag.size();
  std::size_t to = from;
  if (json[from] == '"') {
    to = json.find('"', from + 1) + 1;
  } else {
    while (to < json.size() && json[to] != ',' && json[to] != '}') ++to;
  }
  return json.substr(from, to - from);
}

}  // namespace kb::test
