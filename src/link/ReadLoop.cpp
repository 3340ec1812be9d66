#include "link/ReadLoop.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace kb::link {

ReadOutcome readUntil(unsigned char* out, std::uint32_t count, std::int64_t timeoutMicros,
                      const NowMicros& now, const ReadChunk& chunk) {
  ReadOutcome r;
  const std::int64_t deadline = now() + std::max<std::int64_t>(timeoutMicros, 0);
  while (r.got < count) {
    const std::int64_t wait = std::max<std::int64_t>(deadline - now(), 0);
    const int n = chunk(out + r.got, count - r.got, wait);
    if (n < 0) {
      r.failed = true;
      break;
    }
    // Never trust a library to stay within what was asked.
    r.got += std::min(static_cast<std::uint32_t>(n), count - r.got);
    if (r.got >= count || now() >= deadline) break;
  }
  return r;
}

std::int64_t steadyMicros() {
  using namespace std::chrono;
  return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

void sleepMicros(std::int64_t micros) {
  if (micros > 0) std::this_thread::sleep_for(std::chrono::microseconds(micros));
}

}  // namespace kb::link
