#pragma once
// How each cell status code looks: its colour in the summary row, its level mark and background in
// the cell panel, and its row of the legend.
#include <array>
#include <cstdint>

#include "common/Colors.h"
#include "views/ViewState.h"

namespace kb::views {

struct StatusLook {
  std::int32_t colour;      // summary cell and level mark fill
  int markTop;              // level mark inside the cell panel, twips
  int markHeight;           // every mark ends at 855, so the marks read as levels
  std::int32_t background;  // panel background behind the mark
  const char* tag;          // legend tag, drawn in tagColour
  const char* description;  // legend description
  std::int32_t tagColour;
};

inline constexpr std::int32_t kLightBlue = rgb(0x80, 0x80, 0xFF);
inline constexpr std::int32_t kYellow = rgb(0xFF, 0xFF, 0x00);
inline constexpr std::int32_t kSilver = rgb(0xC0, 0xC0, 0xC0);

// Indexed by code.
inline constexpr std::array<StatusLook, kStatusCodes> kStatusLooks{{
    {kWhite, 600, 255, kWhite, " CLEAR", "No Voltage Reading", kWhite},
    {kGreen, 600, 255, kLightGrey, " GOOD", "Voltage In Range", kGreen},
    {kLightBlue, 720, 135, kLightGrey, " DISCHARGE", "DisCharge Cell", kLightBlue},
    {kYellow, 720, 135, kLightGrey, " CAUTION!", "Flag  Under Voltage ", kYellow},
    {kRed, 480, 375, kLightGrey, " DANGER!", "Flag Over Voltage ", kRed},
    {kLightGrey, 360, 495, kLightGrey, " MASKED", "Mask Cell Interrupt", kSilver},
    {kGrey, 720, 135, kLightGrey, " MASKDCC", "Mask Cell Int w/ DCC", kSilver},
    {kOrange, 360, 495, kLightGrey, " THERMAL SD!", "Thermal Shutdown!", kOrange},
}};

// Legend rows, top to bottom: TS, OV, OK, NR, MI, MD, DC, UV.
inline constexpr std::array<int, kStatusCodes> kLegendOrder{
    kStatusThermalShutdown, kStatusOverVoltage,     kStatusGood,      kStatusNoReading,
    kStatusMasked,          kStatusMaskedDischarge, kStatusDischarge, kStatusUnderVoltage};

// The look of a code, or nullptr for a code outside 0..7.
constexpr const StatusLook* statusLook(int code) {
  return code >= 0 && code < kStatusCodes ? &kStatusLooks[static_cast<std::size_t>(code)] : nullptr;
}

}  // namespace kb::views
