#include "prep/time_fields.h"

namespace wf::prep {

namespace {

constexpr double kSeconds[5] = {1.0, 60.0, 3600.0, 86400.0, 31557600.0};
constexpr const char* kUnitName[5] = {"seconds", "minutes", "hours", "days", "years"};

int timeUnit(const Inputs& in) { return in.ITIN >= 1 && in.ITIN <= 5 ? in.ITIN : 0; }

} // namespace

std::string timeUnitName(const Inputs& in) {
    const int unit = timeUnit(in);
    return unit ? kUnitName[unit - 1] : "the input-time unit";
}

std::string timeUnitAdvice(const Inputs& in, double t, bool small) {
    const int unit = timeUnit(in);
    if (unit) {
        const double seconds = t * kSeconds[unit - 1];
        const int step = small ? -1 : 1;
        for (int u = unit + step; u >= 1 && u <= 5; u += step) {
            const double v = seconds / kSeconds[u - 1];
            if (v >= kSmallestFileTime && v <= kLargestFileTime) return std::string("enter the times in ") + kUnitName[u - 1];
        }
    }
    return small ? "leave out the readings before that time" : "leave out the readings after that time";
}

} // namespace wf::prep
