#pragma once
// The device side of a real pseudo-terminal, played by a test: it hears what the program writes
// and answers what the test tells it, when the test tells it.
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>

#include "app/simdevice/PseudoTerminal.h"

namespace kb::test {

class FarEnd {
 public:
  FarEnd() {
    std::string error;
    pty_ = simdevice::PseudoTerminal::open(error);
    if (!pty_) throw std::runtime_error(error);
  }
  const std::string& path() const { return pty_->path(); }

  // What the program writes next: the bytes up to a pause of 20 ms; "" after timeoutMs of none.
  std::string hear(int timeoutMs = 5000) {
    std::string text;
    char buffer[512];
    for (int wait = timeoutMs;; wait = 20) {
      pollfd p{pty_->master(), POLLIN, 0};
      if (poll(&p, 1, wait) <= 0) return text;
      const ssize_t n = read(pty_->master(), buffer, sizeof buffer);
      if (n > 0) text.append(buffer, static_cast<std::size_t>(n));
    }
  }
  void say(const std::string& bytes) {
    if (write(pty_->master(), bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
      throw std::runtime_error("the far end could not write");
    }
  }

 private:
  std::unique_ptr<simdevice::PseudoTerminal> pty_;
};

}  // namespace kb::test
