#pragma once
// The outcome of one controller transaction, handed to whoever watches the link (link health,
// the balancer's warning) once the transaction has closed.
#include <cstdint>
#include <string>

#include "link/FtDriver.h"

namespace kb::link {

enum class Outcome {
  Ok,           // opened, wrote, and read every character asked for (or wrote only)
  OpenFailed,   // the controller did not open
  WriteFailed,  // the write call failed
  ShortRead,    // fewer characters arrived than were asked for before the time-out
  ReadFailed,   // the read call failed
};

const char* outcomeName(Outcome outcome);

struct LinkEvent {
  Outcome outcome = Outcome::Ok;
  FtStatus status = kFtOk;      // of the call that failed
  std::string message;          // the backend's words for that failure
  std::string command;          // the characters written
  std::uint32_t requested = 0;  // characters asked for; 0 for a write-only transaction
  std::uint32_t received = 0;

  // Something came back from the controller, or (write-only) the controller took the string.
  bool answered() const {
    return outcome != Outcome::OpenFailed && outcome != Outcome::WriteFailed &&
           (requested == 0 || received > 0);
  }
};

}  // namespace kb::link
