#include "fem/model_io.h"

#include <iostream>

#include "base/run_state.h"
#include "textio/side_file.h"

namespace wf {

bool ModelFile::open(const std::string& name) {
    close();
    name_ = name;
    if (!textio::openSideRead(in_, name_)) return false;
    reader_.emplace(in_);
    return true;
}

void ModelFile::close() {
    reader_.reset();
    if (in_.is_open()) in_.close();
    in_.clear();
}

bool ModelFile::ok(RunState& rs, int ios) const {
    if (ios == 0) return true;
    rs.IOS = ios;
    rs.INNAME = name_;
    return false;
}

std::ostream& listingStream(const FemState& fs) { return fs.listing ? *fs.listing : std::cout; }

std::ostream& diagnosticStream(const FemState& fs) { return fs.diagnostics ? *fs.diagnostics : std::cerr; }

std::string trimRight(std::string_view text) {
    const std::size_t end = text.find_last_not_of(" \n\r\t");
    return end == std::string_view::npos ? std::string() : std::string(text.substr(0, end + 1));
}

std::string composeLine(std::string_view fmt, std::initializer_list<textio::FValue> values) {
    std::string line = textio::formatLine(fmt, values);
    if (line.size() > 80) line.resize(80);
    return trimRight(line);
}

void rejectInput(RunState& rs, std::string_view fmt, std::initializer_list<textio::FValue> values) {
    const std::string records = textio::format(fmt, values);
    listingStream(rs.fem) << records << std::flush;
    rs.error(trimRight(records));
}

} // namespace wf
