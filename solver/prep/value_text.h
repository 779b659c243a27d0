// Values named in the refusal messages of the solver's runs.
#pragma once

#include <cmath>
#include <cstdio>
#include <string>

namespace wf::prep {

// A value named in a message: NaN and the infinities by name, any other with
// digits significant digits. Record values take seven: the records hold
// single-precision values, so 0.05 shows as 0.05 rather than 0.0500000007.
// A value read from a file takes 17, which give it back exactly.
inline std::string valueText(double v, int digits = 7) {
    if (std::isnan(v)) return "NaN";
    if (std::isinf(v)) return v > 0 ? "Infinity" : "-Infinity";
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.*g", digits, v);
    return buf;
}

inline std::string valueText(int v) { return std::to_string(v); }

} // namespace wf::prep
