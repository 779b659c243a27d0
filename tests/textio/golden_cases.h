// The records gfortran wrote for the formats of the system (golden.txt,
// produced by tests/data/textio/make_golden.f90).
#pragma once

#include <string>
#include <vector>

#include "textio/fortran_format.h"

namespace wf::textio::testing {

struct GoldenCase {
    std::string id;      // "group.name"
    std::string format;  // "*" for a list-directed write
    std::vector<wf::textio::FValue> values;
    std::string expected;  // the records, each followed by '\n'
    int line = 0;          // line of the CASE header in golden.txt
};

// All cases of golden.txt; throws std::runtime_error when it cannot be read.
const std::vector<GoldenCase>& goldenCases();

} // namespace wf::textio::testing
