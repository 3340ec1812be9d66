#pragma once
// The SPI bus behind the simulated controller, and the interface of the devices on it.
//
// Several devices driving at once: the data line into the controller is the bitwise AND of every
// device's output for that byte. An idle device (not selected, not answering) outputs 0xFF, so a
// byte clocked with nobody driving reads 0xFF, one device answering is read unchanged, and several
// answering at once (two monitors polled by one broadcast, or the balancer chains of several boards
// whose paths are open together) pull the line low wherever any of them drives a 0.
//
// Chip select is the controller's single select line. Monitor frames are the bytes clocked while it
// is low. Balancer chains hear the bytes clocked while it is high; a falling edge ends their frame.
#include <cstdint>
#include <vector>

#include "sim/SimTime.h"

namespace kb::sim {

class SpiDevice {
 public:
  virtual ~SpiDevice() = default;
  // Chip select changed level (only real edges are reported).
  virtual void chipSelectFell() = 0;
  virtual void chipSelectRose() = 0;
  // One byte clocked with chip select at the given level: returns what the device drives on the
  // data line during the byte (decided before it sees mosi), then takes mosi in.
  virtual std::uint8_t exchange(std::uint8_t mosi, bool chipSelectHigh) = 0;
  // True when the controller loses the rest of its answer after the byte just exchanged (a
  // fault of the device's board).
  virtual bool cutsReply() const { return false; }
};

class SpiBus {
 public:
  // Devices are not owned; they must outlive the bus.
  void attach(SpiDevice& device) { devices_.push_back(&device); }

  bool chipSelectHigh() const { return chipSelectHigh_; }
  void setChipSelect(bool high);

  // Clocks one byte out and returns the byte read back (AND of all device outputs).
  std::uint8_t exchange(std::uint8_t mosi);
  // Whether a device cut the reply short since the last call.
  bool takeReplyCut();

 private:
  std::vector<SpiDevice*> devices_;
  bool chipSelectHigh_ = true;
  bool replyCut_ = false;
};

}  // namespace kb::sim
