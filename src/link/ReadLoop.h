#pragma once
// The read of a hardware backend: bytes arrive in pieces, so a read with a time-out asks again
// until the count has arrived or the deadline passes. Shared by the libftdi and serial backends.
#include <cstdint>
#include <functional>

namespace kb::link {

struct ReadOutcome {
  std::uint32_t got = 0;  // bytes placed in the buffer
  bool failed = false;    // a call of the library failed; got holds what arrived before it
};

// Microseconds on a monotonic clock.
using NowMicros = std::function<std::int64_t()>;
// Reads at most want bytes into out, waiting at most waitMicros for the first of them; returns the
// number read (0: none yet) or -1 when the library call failed.
using ReadChunk =
    std::function<int(unsigned char* out, std::uint32_t want, std::int64_t waitMicros)>;

// Calls chunk until count bytes have arrived or timeoutMicros have passed since the start. It asks
// at least once, even with a time-out of 0.
ReadOutcome readUntil(unsigned char* out, std::uint32_t count, std::int64_t timeoutMicros,
                      const NowMicros& now, const ReadChunk& chunk);

// The steady clock in microseconds, and a sleep: what the real backends wait with.
std::int64_t steadyMicros();
void sleepMicros(std::int64_t micros);

}  // namespace kb::link
