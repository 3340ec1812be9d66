#pragma once
// A scripted controller for tests: records every call and answers reads from a queue.
#include <deque>
#include <string>
#include <vector>

#include "link/FtDriver.h"

namespace kb::test {

class FakeDriver final : public link::FtDriver {
 public:
  struct Call {
    std::string what;  // "open", "timeouts", "write", "read", "close"
    std::string text;  // description, written bytes
    std::uint32_t a = 0, b = 0;
  };

  std::vector<Call> calls;
  std::vector<std::string> writes;
  std::deque<std::string> answers;  // one per read; an empty queue answers nothing
  bool present = true;

  link::FtStatus FT_OpenEx(const char* description, std::uint32_t flags,
                           link::FtHandle* handle) override {
    calls.push_back({"open", description, flags, 0});
    *handle = present ? this : nullptr;
    return present ? link::kFtOk : link::kFtDeviceNotFound;
  }
  link::FtStatus FT_SetTimeouts(link::FtHandle, std::uint32_t r, std::uint32_t w) override {
    calls.push_back({"timeouts", "", r, w});
    return link::kFtOk;
  }
  link::FtStatus FT_Write(link::FtHandle, const void* buffer, std::uint32_t length,
                          std::uint32_t* written) override {
    std::string s(static_cast<const char*>(buffer), length);
    calls.push_back({"write", s, length, 0});
    writes.push_back(s);
    *written = length;
    return link::kFtOk;
  }
  link::FtStatus FT_Read(link::FtHandle, void* buffer, std::uint32_t count,
                         std::uint32_t* returned) override {
    calls.push_back({"read", "", count, 0});
    std::string answer;
    if (present && !answers.empty()) {
      answer = answers.front();
      answers.pop_front();
    }
    if (answer.size() > count) answer.resize(count);
    answer.copy(static_cast<char*>(buffer), answer.size());
    *returned = static_cast<std::uint32_t>(answer.size());
    return link::kFtOk;
  }
  link::FtStatus FT_Close(link::FtHandle) override {
    calls.push_back({"close", "", 0, 0});
    return link::kFtOk;
  }
};

}  // namespace kb::test
