#include "golden_cases.h"

#include <bit>
#include <cstdint>
#include <fstream>
#include <stdexcept>

namespace wf::textio::testing {
namespace {

struct Golden {
    std::vector<GoldenCase> writes;
    std::vector<GoldenRead> reads;
};

[[noreturn]] void bad(const std::string& why, int lineNo) {
    throw std::runtime_error("golden.txt line " + std::to_string(lineNo) + ": " + why);
}

std::string between(const std::string& line, std::size_t from, int lineNo) {
    const auto open = line.find('|', from);
    const auto close = line.rfind('|');
    if (open == std::string::npos || close == open) bad("bars missing", lineNo);
    return line.substr(open + 1, close - open - 1);
}

bool starts(const std::string& line, const char* tag) { return line.rfind(tag, 0) == 0; }

// An I, R or A value line, or false for any other line.
bool value(const std::string& line, int lineNo, std::vector<FValue>& out) {
    if (starts(line, "I ")) {
        out.emplace_back(std::stoll(line.substr(2)));
    } else if (starts(line, "R ")) {
        const auto bits = static_cast<std::uint64_t>(std::stoull(line.substr(2, 16), nullptr, 16));
        out.emplace_back(std::bit_cast<double>(bits));
    } else if (starts(line, "A ")) {
        out.emplace_back(between(line, 2, lineNo));
    } else {
        return false;
    }
    return true;
}

Golden load() {
    const std::string path = std::string(WF_TEST_DATA_DIR) + "/textio/golden.txt";
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    Golden golden;
    GoldenCase write;
    GoldenRead read;
    enum class In { Nothing, Write, Read } state = In::Nothing;
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (line.empty() || line[0] == '#') continue;
        if (starts(line, "CASE ")) {
            write = GoldenCase{line.substr(5), {}, {}, {}, lineNo};
            state = In::Write;
        } else if (starts(line, "READ ")) {
            read = GoldenRead{};
            read.id = line.substr(5);
            read.line = lineNo;
            state = In::Read;
        } else if (state == In::Write) {
            if (value(line, lineNo, write.values)) continue;
            if (starts(line, "FMT ")) write.format = line.substr(4);
            else if (starts(line, "OUT ")) write.expected += between(line, 4, lineNo) + "\n";
            else if (line == "END") golden.writes.push_back(write), state = In::Nothing;
            else bad("unknown line in a write case", lineNo);
        } else if (state == In::Read) {
            if (value(line, lineNo, read.values)) continue;
            if (starts(line, "IN ")) read.input += between(line, 3, lineNo) + "\n";
            else if (starts(line, "KINDS ")) read.kinds = line.substr(6);
            else if (starts(line, "STATUS ")) read.status = std::stoi(line.substr(7));
            else if (line == "NEXT EOF") read.next = std::string();
            else if (starts(line, "NEXT ")) read.next = between(line, 5, lineNo);
            else if (line == "END") golden.reads.push_back(read), state = In::Nothing;
            else bad("unknown line in a read case", lineNo);
        } else {
            bad("line outside a case", lineNo);
        }
    }
    return golden;
}

const Golden& golden() {
    static const Golden g = load();
    return g;
}

} // namespace

const std::vector<GoldenCase>& goldenCases() { return golden().writes; }
const std::vector<GoldenRead>& goldenReads() { return golden().reads; }

} // namespace wf::textio::testing
