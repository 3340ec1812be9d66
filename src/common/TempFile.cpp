#include "common/TempFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <csignal>
#include <cstring>
#include <filesystem>

namespace kb {

namespace {

// The one file a signal handler removes; only async-signal-safe calls touch it there.
char guardedPath[4096];
volatile std::sig_atomic_t guardSet = 0;
struct sigaction previousTerm {};
struct sigaction previousInt {};

extern "C" void removeAndRaise(int signal) {
  if (guardSet != 0) ::unlink(guardedPath);
  guardSet = 0;
  ::sigaction(signal, signal == SIGTERM ? &previousTerm : &previousInt, nullptr);
  ::raise(signal);
}

// SIGINT and SIGTERM held back for the length of a scope, so that the file and its guard come
// into being together.
class SignalsHeld {
 public:
  SignalsHeld() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    ::sigprocmask(SIG_BLOCK, &set, &before_);
  }
  ~SignalsHeld() { ::sigprocmask(SIG_SETMASK, &before_, nullptr); }
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;

 private:
  sigset_t before_{};
};

std::string createBeside(const std::string& target) {
  const std::filesystem::path path(target);
  const std::filesystem::path folder = path.parent_path();
  const std::string stem = "." + path.filename().string() + ".XXXXXX";
  std::string pattern = folder.empty() ? stem : (folder / stem).string();
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) throw TempFileError(std::strerror(errno));
  const mode_t mask = ::umask(0);
  ::umask(mask);
  const int chmodError = ::fchmod(fd, 0666 & ~mask) == 0 ? 0 : errno;
  ::close(fd);
  if (chmodError != 0) {
    ::unlink(pattern.c_str());
    throw TempFileError(std::strerror(chmodError));
  }
  return pattern;
}

}  // namespace

TempFile::TempFile(const std::string& target) {
  const SignalsHeld held;
  path_ = createBeside(target);
  // One file at a time is guarded (the program saves one workbook at a time).
  if (guardSet != 0 || path_.size() >= sizeof guardedPath) return;
  std::memcpy(guardedPath, path_.c_str(), path_.size() + 1);
  struct sigaction action {};
  action.sa_handler = removeAndRaise;
  sigemptyset(&action.sa_mask);
  ::sigaction(SIGTERM, &action, &previousTerm);
  ::sigaction(SIGINT, &action, &previousInt);
  guardSet = 1;
  guarded_ = true;
}

TempFile::~TempFile() {
  const SignalsHeld held;
  if (!path_.empty()) ::unlink(path_.c_str());
  unguard();
}

void TempFile::keep() {
  const SignalsHeld held;
  path_.clear();
  unguard();
}

int TempFile::moveTo(const std::string& target) {
  if (std::rename(path_.c_str(), target.c_str()) != 0) return errno;
  keep();
  return 0;
}

void TempFile::unguard() {
  if (!guarded_) return;
  guardSet = 0;
  ::sigaction(SIGTERM, &previousTerm, nullptr);
  ::sigaction(SIGINT, &previousInt, nullptr);
  guarded_ = false;
}

}  // namespace kb
