#include "link/FtDriver.h"

#include <chrono>
#include <thread>

namespace kb::link {

FtStatus FtDriver::FT_SetLatencyTimer(FtHandle handle, std::uint8_t) {
  return handle == nullptr ? kFtInvalidHandle : kFtOk;
}

FtStatus FtDriver::FT_Purge(FtHandle handle, std::uint32_t) {
  return handle == nullptr ? kFtInvalidHandle : kFtOk;
}

std::int64_t FtDriver::linkMicros() {
  using namespace std::chrono;
  return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

void FtDriver::waitUntilMicros(std::int64_t t) {
  using namespace std::chrono;
  std::this_thread::sleep_until(steady_clock::time_point(microseconds(t)));
}

}  // namespace kb::link
