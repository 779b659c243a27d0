// Unit codes of the UNITS record and the conversion factors of the parameter
// conversion. Codes are 1-based positions in the dialog lists.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace wf::doc {

// Names of the units in list order (code = index + 1).
inline constexpr std::array<std::string_view, 4> kDistanceUnits{"mm", "cm", "m", "km"};
inline constexpr std::array<std::string_view, 3> kTimeUnits{"s", "min", "h"};
inline constexpr std::array<std::string_view, 12> kConductivityUnits{
    "mm/s", "mm/min", "mm/h", "mm/day", "cm/s", "cm/min", "cm/h", "cm/day", "ms/s", "m/min", "m/h", "m/day"};
inline constexpr std::array<std::string_view, 8> kDischargeUnits{"L/s",  "L/min",  "L/h",  "L/day",
                                                                 "m3/s", "m3/min", "m3/h", "m3/day"};

// The unit of a transmissivity belonging to a conductivity unit ICOND:
// (its length)^2 per its time, "m/day" -> "m2/day"; empty for a code
// outside 1..12.
std::string transmissivityUnitName(int32_t icond);
// The distance unit of IDIST ("m"); empty for a code outside 1..4.
std::string distanceUnitName(int32_t idist);

// Metres per length unit 1..4 (mm, cm, m, km) and seconds per time unit 1..5
// (s, min, h, day, year of 365.25 days), single precision.
inline constexpr std::array<float, 4> kMetresPerLength{0.001f, 0.01f, 1.0f, 1000.0f};
inline constexpr std::array<float, 5> kSecondsPerTime{1.0f, 60.0f, 3600.0f, 86400.0f, 31557600.0f};

// Transmissivity factors, index ICOND - 1: (metres per length unit j)^2 /
// (seconds per time unit k) at entry 4(j-1)+k, j = mm, cm, m and k = s, min, h,
// day. Turns (length unit)^2 per time unit into m2/s. Worked out from the
// single-precision base factors and held in extended precision, as the
// conversion uses them.
std::array<long double, 12> transmissivityFactors();
// Discharge factors, index IDISCH - 1: litres per s, min, h, day, then cubic
// metres per s, min, h, day, to m3/s (extended precision, as above).
std::array<long double, 8> dischargeFactors();

} // namespace wf::doc
