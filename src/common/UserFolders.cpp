#include "common/UserFolders.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace kb {

namespace {

namespace fs = std::filesystem;

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

bool isFolder(const std::string& path) {
  std::error_code error;
  return !path.empty() && fs::is_directory(path, error);
}

// The value of XDG_DOCUMENTS_DIR in a user-dirs.dirs file: "$HOME/PATH" or "/PATH", quoted.
std::string configuredDocuments(const std::string& file, const std::string& home) {
  std::ifstream in(file);
  const std::string key = "XDG_DOCUMENTS_DIR=";
  std::string found;
  for (std::string line; std::getline(in, line);) {
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, key.size(), key) != 0) continue;
    std::string value = line.substr(start + key.size());
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t' || value.back() == '\r'))
      value.pop_back();
    if (value.size() < 2 || value.front() != '"' || value.back() != '"') continue;
    value = value.substr(1, value.size() - 2);
    if (value.rfind("$HOME", 0) == 0) {
      found = home + value.substr(5);
    } else if (value.rfind('/', 0) == 0) {
      found = value;
    }
  }
  return found;
}

}  // namespace

std::string programFolder() {
  std::error_code error;
  const fs::path exe = fs::read_symlink("/proc/self/exe", error);
  if (error || exe.parent_path().empty()) return ".";
  return exe.parent_path().string();
}

bool folderWritable(const std::string& folder) {
  return isFolder(folder) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

bool systemProgramFolder(const std::string& folder) {
  std::error_code error;
  const std::string path = fs::canonical(folder, error).string();
  if (error) return false;
  for (const char* system :
       {"/bin", "/sbin", "/usr/bin", "/usr/sbin", "/usr/local/bin", "/usr/local/sbin"}) {
    if (path == system) return true;
  }
  return false;
}

std::string documentsFolder() {
  const std::string home = environment("HOME");
  if (home.empty()) return {};
  std::string config = environment("XDG_CONFIG_HOME");
  if (config.empty() || config.front() != '/') config = home + "/.config";
  const std::string configured = configuredDocuments(config + "/user-dirs.dirs", home);
  if (isFolder(configured)) return configured;
  const std::string documents = home + "/Documents";
  if (isFolder(documents)) return documents;
  return home;
}

}  // namespace kb
