#pragma once
// The datalog header fields that the export writes into its summary. No operation changes them:
// they keep these values for the whole run.
#include <cstdint>
#include <string>

namespace kb::continuous {

struct DatalogState {
  std::string DlogSetupStamp;
  float DlogSetupSeconds = 0.0F;
  std::int32_t DlogSetupSamples = 0;
  std::string DlogViewStamp;
  float DlogViewSeconds = 0.0F;
  std::int32_t DlogViewSamples = 0;
};

}  // namespace kb::continuous
