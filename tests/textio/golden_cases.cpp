#include "golden_cases.h"

#include <bit>
#include <cstdint>
#include <fstream>
#include <stdexcept>

namespace wf::textio::testing {
namespace {

std::string between(const std::string& line, std::size_t from, int lineNo) {
    const auto open = line.find('|', from);
    const auto close = line.rfind('|');
    if (open == std::string::npos || close == open) throw std::runtime_error("golden.txt: bars missing at line " + std::to_string(lineNo));
    return line.substr(open + 1, close - open - 1);
}

std::vector<GoldenCase> load() {
    const std::string path = std::string(WF_TEST_DATA_DIR) + "/textio/golden.txt";
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::vector<GoldenCase> cases;
    GoldenCase current;
    bool open = false;
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (line.empty() || line[0] == '#') continue;
        if (line.rfind("CASE ", 0) == 0) {
            current = GoldenCase{};
            current.id = line.substr(5);
            current.line = lineNo;
            open = true;
        } else if (!open) {
            throw std::runtime_error("golden.txt: line outside a case: " + std::to_string(lineNo));
        } else if (line.rfind("FMT ", 0) == 0) {
            current.format = line.substr(4);
        } else if (line.rfind("I ", 0) == 0) {
            current.values.emplace_back(std::stoll(line.substr(2)));
        } else if (line.rfind("R ", 0) == 0) {
            const auto bits = static_cast<std::uint64_t>(std::stoull(line.substr(2, 16), nullptr, 16));
            current.values.emplace_back(std::bit_cast<double>(bits));
        } else if (line.rfind("A ", 0) == 0) {
            current.values.emplace_back(between(line, 2, lineNo));
        } else if (line.rfind("OUT ", 0) == 0) {
            current.expected += between(line, 4, lineNo) + "\n";
        } else if (line == "END") {
            cases.push_back(current);
            open = false;
        } else {
            throw std::runtime_error("golden.txt: unknown line " + std::to_string(lineNo));
        }
    }
    return cases;
}

} // namespace

const std::vector<GoldenCase>& goldenCases() {
    static const std::vector<GoldenCase> cases = load();
    return cases;
}

} // namespace wf::textio::testing
