#include "app/simdevice/PseudoTerminal.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace kb::simdevice {

std::unique_ptr<PseudoTerminal> PseudoTerminal::open(std::string& error) {
  auto fail = [&](const char* call, int master) -> std::unique_ptr<PseudoTerminal> {
    error = std::string("cannot make a pseudo-terminal: ") + call + ": " + std::strerror(errno);
    if (master >= 0) ::close(master);
    return nullptr;
  };
  const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0) return fail("posix_openpt", -1);
  if (grantpt(master) != 0) return fail("grantpt", master);
  if (unlockpt(master) != 0) return fail("unlockpt", master);
  std::array<char, 128> name{};
  if (ptsname_r(master, name.data(), name.size()) != 0) return fail("ptsname", master);
  const int terminal = ::open(name.data(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (terminal < 0) return fail("open", master);
  // Raw from the start: no echo of what the device writes, no line editing of what it reads.
  termios t{};
  if (tcgetattr(terminal, &t) == 0) {
    cfmakeraw(&t);
    tcsetattr(terminal, TCSANOW, &t);
  }
  const int flags = fcntl(master, F_GETFL);
  fcntl(master, F_SETFL, flags | O_NONBLOCK);
  return std::unique_ptr<PseudoTerminal>(new PseudoTerminal(master, terminal, name.data()));
}

PseudoTerminal::~PseudoTerminal() {
  ::close(terminal_);
  ::close(master_);
}

}  // namespace kb::simdevice
