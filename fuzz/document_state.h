// The whole state of a project document as bytes, to compare two documents or
// one document before and after a refused step.
#pragma once

#include <cstring>
#include <string>

#include "document/project_document.h"

namespace wf::fuzz {

template <class Record>
void appendRecord(std::string& out, const Record& r) {
    out.append(reinterpret_cast<const char*>(&r), sizeof r);
}

// Records (FILENAME included), point count, points and borehole name.
inline std::string documentState(const wf::doc::ProjectDocument& d) {
    std::string s;
    appendRecord(s, d.filename);
    appendRecord(s, d.mesh);
    appendRecord(s, d.units);
    appendRecord(s, d.obsv);
    appendRecord(s, d.pump);
    appendRecord(s, d.guess);
    appendRecord(s, d.pinit);
    appendRecord(s, d.nzero);
    s += '|' + std::to_string(d.pointCount()) + '|' + d.boreholeName() + '|';
    for (const std::string& t : d.times()) s += t + '\t';
    s += '|';
    for (const std::string& v : d.values()) s += v + '\t';
    return s;
}

// The records the project file holds (FILENAME is not in it), the point count
// and the borehole name.
inline std::string projectFileState(const wf::doc::ProjectDocument& d) {
    std::string s;
    appendRecord(s, d.mesh);
    appendRecord(s, d.units);
    appendRecord(s, d.obsv);
    appendRecord(s, d.pump);
    appendRecord(s, d.pinit);
    s += '|' + d.boreholeName();
    return s;
}

} // namespace wf::fuzz
