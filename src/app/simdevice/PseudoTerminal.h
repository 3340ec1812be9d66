#pragma once
// A pseudo-terminal for the simulated device: the device keeps the master side and one descriptor
// of the terminal side, so the terminal stays (and its master never reads a hang-up) while the
// program opens and closes it for every transaction.
#include <memory>
#include <string>

namespace kb::simdevice {

class PseudoTerminal {
 public:
  // A new terminal in raw mode; null and a one-line error when none could be made.
  static std::unique_ptr<PseudoTerminal> open(std::string& error);
  ~PseudoTerminal();
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  int master() const { return master_; }  // non-blocking
  const std::string& path() const { return path_; }

 private:
  PseudoTerminal(int master, int terminal, std::string path)
      : master_(master), terminal_(terminal), path_(std::move(path)) {}

  int master_;
  int terminal_;
  std::string path_;
};

}  // namespace kb::simdevice
