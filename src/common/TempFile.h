#pragma once
// A file written under a temporary name beside its target and renamed into place only when
// complete, so that nothing half-written is ever left under the target's name.
#include <string>

namespace kb {

class TempFile {
 public:
  explicit TempFile(std::string path) : path_(std::move(path)) {}
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  // Removes the file unless it was renamed into place.
  ~TempFile();
  const std::string& path() const { return path_; }
  // Renames the file to target (replacing a file of that name); returns 0 or the errno.
  int moveTo(const std::string& target);
  void keep() { path_.clear(); }

 private:
  std::string path_;
};

// Creates an empty file with a unique name in the folder of target, with the permissions a new
// file gets there. Returns 0 and sets out, or returns the errno.
int createTempBeside(const std::string& target, std::string& out);

}  // namespace kb
