#include <climits>

#include "textio/list_directed.h"
#include "textio/numeric_edit.h"

namespace wf::textio {

// gfortran's list-directed output: one blank opens the record and one blank
// separates the items, except between two adjacent texts, which run on. An
// integer takes 11 columns (20 for one beyond 32 bits), a real the 25-column
// field of detail::editListReal, a text exactly its own characters. A write
// without items is an empty record.
std::string listRecord(const std::vector<FValue>& values) {
    std::string out;
    bool previousText = false;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const FValue& v = values[i];
        if (i == 0 || !(v.isText() && previousText)) out += ' ';
        if (v.isInt()) {
            const long long n = v.asInt();
            out += detail::editInteger(n, n >= INT_MIN && n <= INT_MAX ? 11 : 20, -1);
        } else if (v.isReal()) {
            out += detail::editListReal(v.asReal());
        } else {
            out += v.asText();
        }
        previousText = v.isText();
    }
    out += '\n';
    return out;
}

} // namespace wf::textio
