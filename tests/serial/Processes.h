#pragma once
// Child processes for the end-to-end tests: the simulated device in the background (its first
// line read), the program run to its end with its output.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace kb::test {

// A process started with its standard output on a pipe; ended with SIGTERM when it goes.
class Child {
 public:
  explicit Child(const std::vector<std::string>& args) {
    int fds[2];
    if (pipe(fds) != 0) throw std::runtime_error("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const int rc = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    out_ = fds[0];
    if (rc != 0) throw std::runtime_error("cannot start " + args[0]);
  }
  ~Child() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
    close(out_);
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  int outFd() const { return out_; }
  // The next line of its output, waiting at most timeoutMs; "" when none came.
  std::string line(int timeoutMs = 10000) {
    std::string text;
    char c = 0;
    for (;;) {
      pollfd p{out_, POLLIN, 0};
      if (poll(&p, 1, timeoutMs) <= 0 || read(out_, &c, 1) != 1 || c == '\n') return text;
      text += c;
    }
  }
  // Waits for its end; its exit status, or -1.
  int wait() {
    int status = 0;
    const pid_t pid = pid_;
    pid_ = -1;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
  }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
};

struct Run {
  int status = -1;
  std::string out;
};

// Runs a program to its end and collects its standard output.
inline Run run(const std::vector<std::string>& args) {
  Child child(args);
  Run r;
  char buffer[4096];
  for (;;) {
    const ssize_t n = read(child.outFd(), buffer, sizeof buffer);
    if (n <= 0) break;
    r.out.append(buffer, static_cast<std::size_t>(n));
  }
  r.status = child.wait();
  return r;
}

}  // namespace kb::test
