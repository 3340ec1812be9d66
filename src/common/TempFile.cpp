#include "common/TempFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace kb {

TempFile::~TempFile() {
  if (!path_.empty()) ::unlink(path_.c_str());
}

int TempFile::moveTo(const std::string& target) {
  if (std::rename(path_.c_str(), target.c_str()) != 0) return errno;
  keep();
  return 0;
}

int createTempBeside(const std::string& target, std::string& out) {
  const std::filesystem::path t(target);
  const std::filesystem::path folder = t.parent_path();
  const std::string stem = "." + t.filename().string() + ".XXXXXX";
  std::string pattern = folder.empty() ? stem : (folder / stem).string();
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) return errno;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  const int chmodError = ::fchmod(fd, 0666 & ~mask) == 0 ? 0 : errno;
  ::close(fd);
  if (chmodError != 0) {
    ::unlink(pattern.c_str());
    return chmodError;
  }
  out = pattern;
  return 0;
}

}  // namespace kb
