#include "base/unit_tables.h"

#include "base/inputs.h"
#include "base/fem_state.h"

namespace wf {

namespace {

constexpr double kLength[4] = {0.001, 0.01, 1.0, 1000.0};
constexpr double kTime[5] = {1.0, 60.0, 3600.0, 86400.0, 31557600.0};
constexpr const char* kTimeLabel[5] = {" (s)", " (m)", " (h)", " (d)", " (y)"};

bool inTable(int index, int size) { return index >= 1 && index <= size; }

// Splits a combined index 4(i - 1) + j into length i (1..3) and time j (1..4).
bool splitLengthTime(int index, int& i, int& j) {
    if (!inTable(index, 12)) return false;
    i = (index - 1) / 4 + 1;
    j = (index - 1) % 4 + 1;
    return true;
}

} // namespace

namespace units {

double length(int index) { return inTable(index, 4) ? kLength[index - 1] : 0.0; }

double time(int index) { return inTable(index, 5) ? kTime[index - 1] : 0.0; }

double flux(int index) {
    int i = 0, j = 0;
    return splitLengthTime(index, i, j) ? kLength[i - 1] / kTime[j - 1] : 0.0;
}

double rate(int index) {
    if (!inTable(index, 8)) return 0.0;
    const double volume = index <= 4 ? 0.001 : 1.0;  // litre or cubic metre
    return volume / kTime[(index - 1) % 4];
}

double transmissivity(int index) {
    int i = 0, j = 0;
    return splitLengthTime(index, i, j) ? kLength[i - 1] * kLength[i - 1] / kTime[j - 1] : 0.0;
}

const char* timeLabel(int index) { return inTable(index, 5) ? kTimeLabel[index - 1] : "    "; }

} // namespace units

void setUnitFactors(FemState& fs, const Inputs& in) {
    fs.lengthFactor = units::length(in.IDIST);
    fs.inTimeFactor = units::time(in.ITIN);
    fs.outTimeFactor = units::time(in.ITOUT);
    fs.fluxFactor = units::flux(in.IFLUX);
    fs.rateFactor = units::rate(in.IDISCH);
    for (int k = 1; k <= 12; ++k) fs.transFactor[k] = units::transmissivity(k);
}

} // namespace wf
