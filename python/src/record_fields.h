// The fields of the solver records held by a project document, by the names
// of the record layouts ("UNITS", "IDIST"; array slots as "Q[0]", 0-based),
// for the Python package's attribute views.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "document/project_document.h"

namespace wf::py {

// Every record and its field names (arrays once, without an index).
std::map<std::string, std::vector<std::string>> recordFieldNames();

// An integer field comes as a whole number, a real as the double of its float.
double getField(wf::doc::ProjectDocument& doc, const std::string& record, const std::string& field);
// A real is stored in single precision (refused when it does not fit), an
// integer must be a whole number that fits 32 bits.
void setField(wf::doc::ProjectDocument& doc, const std::string& record, const std::string& field, double value);

} // namespace wf::py
