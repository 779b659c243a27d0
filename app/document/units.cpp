#include "units.h"

namespace wf::doc {

std::string transmissivityUnitName(int32_t icond) {
    static constexpr std::array<std::string_view, 3> lengths{"mm", "cm", "m"};
    static constexpr std::array<std::string_view, 4> times{"s", "min", "h", "day"};
    if (icond < 1 || icond > 12) return {};
    return std::string(lengths[static_cast<std::size_t>((icond - 1) / 4)]) + "2/" +
           std::string(times[static_cast<std::size_t>((icond - 1) % 4)]);
}

std::string distanceUnitName(int32_t idist) {
    if (idist < 1 || idist > 4) return {};
    return std::string(kDistanceUnits[static_cast<std::size_t>(idist - 1)]);
}

// Each entry is worked out from the single-precision base factors in extended
// precision and kept so; only the results of the conversion are rounded to
// single precision.
std::array<long double, 12> transmissivityFactors() {
    std::array<long double, 12> f{};
    for (int j = 0; j < 3; ++j) {
        const long double metres = kMetresPerLength[static_cast<std::size_t>(j)];
        for (int k = 0; k < 4; ++k)
            f[static_cast<std::size_t>(4 * j + k)] = metres * metres / kSecondsPerTime[static_cast<std::size_t>(k)];
    }
    return f;
}

std::array<long double, 8> dischargeFactors() {
    std::array<long double, 8> f{};
    for (int k = 0; k < 4; ++k) {
        const long double seconds = kSecondsPerTime[static_cast<std::size_t>(k)];
        f[static_cast<std::size_t>(k)] = 0.001L / seconds;
        f[static_cast<std::size_t>(4 + k)] = 1.0L / seconds;
    }
    return f;
}

} // namespace wf::doc
