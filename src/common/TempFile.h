#pragma once
// A temporary file beside the file it is to become (hidden, unique name, in the same folder, so
// that the final rename is atomic). It is removed again unless kept, also when SIGINT or SIGTERM
// ends the program while it exists: the signal then ends the program as it would have, leaving
// nothing half-written behind.
#include <stdexcept>
#include <string>

namespace kb {

class TempFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TempFile {
 public:
  // Creates an empty file ".NAME.XXXXXX" in the folder of target, with the permissions a new
  // file gets there; throws TempFileError with the system's reason when it cannot.
  explicit TempFile(const std::string& target);
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  const std::string& path() const { return path_; }
  // The file became the target (it was renamed): nothing to remove any more.
  void keep();
  // Renames the file to target (replacing a file of that name) and keeps it; returns 0 or the
  // errno, the file staying temporary.
  int moveTo(const std::string& target);

 private:
  void unguard();

  std::string path_;
  bool guarded_ = false;
};

}  // namespace kb
