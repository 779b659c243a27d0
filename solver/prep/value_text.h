// Values named in the preparation runs' refusal messages.
#pragma once

#include <cstdio>
#include <string>

namespace wf::prep {

// A record value as the user typed it: the records hold single-precision
// values, so seven significant digits show 0.05 rather than 0.0500000007.
inline std::string valueText(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.7g", v);
    return buf;
}

inline std::string valueText(int v) { return std::to_string(v); }

} // namespace wf::prep
