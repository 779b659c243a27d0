// The times that the observation file ("(I6,F15.3,...)") and the simulation
// file ("(5X,I6,F15.4,...)") can hold in the project's input-time unit.
#pragma once

#include <string>

#include "base/inputs.h"

namespace wf::prep {

// Smallest time after 0 that three decimals keep from becoming 0.000, and
// the largest time whose F15.4 field in the simulation file still starts
// with a blank after its three decimals in the observation file (from 1e9
// on it runs into the node number before it).
inline constexpr double kSmallestFileTime = 0.0005;
inline constexpr double kLargestFileTime = 999999999.999;

// Name of the input-time unit ("seconds" ... "years", or "the input-time
// unit" when the record holds none of them).
std::string timeUnitName(const Inputs& in);

// What to do with a time t (input-time unit) outside the limits: the next
// smaller (small) or larger time unit in which it fits, else to leave the
// reading out.
std::string timeUnitAdvice(const Inputs& in, double t, bool small);

} // namespace wf::prep
