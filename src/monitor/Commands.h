#pragma once
// Monitor command codes and the controller strings of their frames.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kb::monitor {

inline constexpr std::uint8_t kWRCFG = 0x01;
inline constexpr std::uint8_t kRDCFG = 0x02;
inline constexpr std::uint8_t kRDCV = 0x04;
inline constexpr std::uint8_t kRDFLG = 0x0C;
inline constexpr std::uint8_t kRDTMP = 0x0E;
inline constexpr std::uint8_t kSTCVAD = 0x10;
inline constexpr std::uint8_t kSTOWAD = 0x20;
inline constexpr std::uint8_t kSTTMPAD = 0x30;
inline constexpr std::uint8_t kPLADC = 0x40;
inline constexpr std::uint8_t kPLINT = 0x50;
inline constexpr std::uint8_t kSTCVDC = 0x60;
inline constexpr std::uint8_t kSTOWDC = 0x70;
inline constexpr std::uint8_t kDAGN = 0x52;
inline constexpr std::uint8_t kRDDGNR = 0x54;

// Characters a read frame returns: two for each of the four "T" bytes, two per data byte, two
// for the PEC.
constexpr int readReplyLength(int dataBytes) {
  return 8 + 2 * dataBytes + 2;
}
// 1-based character position of data byte k (0-based) in a read reply.
constexpr int dataBytePosition(int k) {
  return 9 + 2 * k;
}

// Frame builders. Addresses and codes are two-hex-digit texts ("80", "04", "1E").
// broadcast: the address byte and its PEC are left out and the command comes first.

// Write frame (WRCFG): "MSXxT" + [address "S" PEC "S"] + code "S" PEC + "S" data... "S" PEC(data) +
// "X".
std::string writeFrame(std::string_view address, bool broadcast, std::string_view code,
                       std::span<const std::uint8_t> data);
// Read frame: prefix ("MSXxT" or "MSxT") + address "T" PEC "T" code "T" PEC + "R" x (n + 1) + "X".
std::string readFrame(std::string_view prefix, std::string_view address, std::string_view code,
                      int dataBytes);
// Start frame (conversion start): "MSxS" + [address "S" PEC "S"] + code "S" PEC + "X".
std::string startFrame(std::string_view address, bool broadcast, std::string_view code);
// Poll frame: as the start frame without the closing "X" (chip select stays low).
std::string pollFrame(std::string_view address, bool broadcast, std::string_view code);
// The fixed broadcast PLADC with chip select released, sent as the watchdog keep-alive.
std::string broadcastPladcFrame();

}  // namespace kb::monitor
