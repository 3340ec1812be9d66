#pragma once
// The real controller through libftdi1: opened by its USB description.
#include "link/FtDriver.h"

namespace kb::link {

class FtdiDriver final : public FtDriver {
 public:
  // Tries the product id that opened last time first: each attempt lists the whole bus.
  FtStatus FT_OpenEx(const char* description, std::uint32_t flags, FtHandle* handle) override;
  FtStatus FT_SetTimeouts(FtHandle handle, std::uint32_t readMs, std::uint32_t writeMs) override;
  FtStatus FT_Write(FtHandle handle, const void* buffer, std::uint32_t length,
                    std::uint32_t* written) override;
  // Loops until count bytes have arrived or the read time-out has passed. A failed USB read ends
  // it with kFtIoError; what arrived before is still handed back.
  FtStatus FT_Read(FtHandle handle, void* buffer, std::uint32_t count,
                   std::uint32_t* returned) override;
  FtStatus FT_Close(FtHandle handle) override;
  FtStatus FT_SetLatencyTimer(FtHandle handle, std::uint8_t ms) override;
  FtStatus FT_Purge(FtHandle handle, std::uint32_t mask) override;

 private:
  int lastProduct_ = 0;  // 0: none opened yet
};

}  // namespace kb::link
