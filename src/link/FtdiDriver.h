#pragma once
// The real controller through libftdi1: opened by its USB description. The library is reached
// through a table of functions (link/FtdiCalls.h), so tests run this backend against a fake one.
#include <memory>
#include <string>

#include "link/FtDriver.h"
#include "link/FtdiCalls.h"

namespace kb::link {

class FtdiDriver final : public FtDriver {
 public:
  explicit FtdiDriver(const FtdiCalls& calls = libftdiCalls());
  ~FtdiDriver() override;
  FtdiDriver(const FtdiDriver&) = delete;
  FtdiDriver& operator=(const FtdiDriver&) = delete;

  // Tries the product id that opened last time first: each attempt lists the whole bus. One
  // controller is open at a time; the handle is valid until FT_Close.
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
  std::string lastError() const override { return lastError_; }

 private:
  class Device;
  Device* device(FtHandle handle) const;
  FtStatus fail(FtStatus status, void* ctx);

  const FtdiCalls& calls_;
  std::unique_ptr<Device> open_;
  int lastProduct_ = 0;  // 0: none opened yet
  std::string lastError_;
};

}  // namespace kb::link
