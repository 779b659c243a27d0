// What gfortran wrote for the formats of the system, and what its
// list-directed READ made of sample records (golden.txt, produced by
// tests/data/textio/make_golden.f90).
#pragma once

#include <optional>
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

struct GoldenRead {
    std::string id;
    std::string input;   // the records of the file, each followed by '\n'
    std::string kinds;   // item kinds of the READ: I integer, R real, A text
    int status = 0;      // gfortran's IOSTAT
    std::vector<wf::textio::FValue> values;  // the items after a successful read
    std::optional<std::string> next;         // the following record; empty at end of file
    int line = 0;
};

// All write cases and read cases of golden.txt; throw std::runtime_error when
// the file cannot be read.
const std::vector<GoldenCase>& goldenCases();
const std::vector<GoldenRead>& goldenReads();

} // namespace wf::textio::testing
