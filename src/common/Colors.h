#pragma once
// Colours the program uses, as 0x00BBGGRR integers; negative values are system colours.
#include <cstdint>

namespace kb {

inline constexpr std::int32_t kWhite = 16777215;
inline constexpr std::int32_t kBlack = 0;
inline constexpr std::int32_t kWindowText = -2147483640;        // system window-text colour
inline constexpr std::int32_t kWindowBackground = -2147483643;  // system window colour
inline constexpr std::int32_t kButtonFace = -2147483633;        // system button face
inline constexpr std::int32_t kGrey = 8421504;
inline constexpr std::int32_t kLightGrey = 14737632;
inline constexpr std::int32_t kGreen = 65280;
inline constexpr std::int32_t kRed = 255;
inline constexpr std::int32_t kOrange = 33023;
inline constexpr std::int32_t kOlive = 32896;
inline constexpr std::int32_t kPaleYellow = 12648447;
inline constexpr std::int32_t kPaleGreen = 12648384;
inline constexpr std::int32_t kPaleRed = 12640511;

// RGB (as written in a colour table) to the 0x00BBGGRR form.
constexpr std::int32_t rgb(int r, int g, int b) {
  return r | (g << 8) | (b << 16);
}

}  // namespace kb
