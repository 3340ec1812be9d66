#pragma once
// Fast scan: chosen from the "Options" menu, in force from the next start of the continuous read.
namespace kb::continuous {

struct FastScanState {
  bool chosen = false;   // "Fast scan" ticked
  bool running = false;  // the continuous read that runs was started with it
};

}  // namespace kb::continuous
