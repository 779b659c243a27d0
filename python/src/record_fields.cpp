#include "record_fields.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

#include "project_handle.h"

namespace wf::py {
namespace {

struct Field {
    const char* name;
    std::size_t offset;
    int count;  // slots (1 for a scalar)
    bool real;
};

struct Record {
    const char* name;
    std::vector<Field> fields;
    char* (*base)(wf::doc::ProjectDocument&);
};

#define WF_INT(rec, f) Field{#f, offsetof(rec, f), 1, false}
#define WF_REAL(rec, f) Field{#f, offsetof(rec, f), 1, true}
#define WF_INTS(rec, f, n) Field{#f, offsetof(rec, f), n, false}
#define WF_REALS(rec, f, n) Field{#f, offsetof(rec, f), n, true}

// The records a script may set (FILENAME follows from the project's name).
const std::vector<Record>& records() {
    static const std::vector<Record> table = {
        {"MESH",
         {WF_INT(MESH, NR), WF_INT(MESH, NZ), WF_INT(MESH, NN), WF_INT(MESH, NE), WF_INT(MESH, NB),
          WF_INT(MESH, NMAT), WF_INT(MESH, NZF), WF_INT(MESH, NZM), WF_REAL(MESH, RMAX)},
         [](wf::doc::ProjectDocument& d) { return reinterpret_cast<char*>(&d.mesh); }},
        {"OBSV",
         {WF_REAL(OBSV, THICK), WF_REAL(OBSV, RATIO), WF_INT(OBSV, NOBS), WF_REALS(OBSV, ROBS, 4),
          WF_INTS(OBSV, IPOS, 4), WF_INTS(OBSV, NODOBS, 4)},
         [](wf::doc::ProjectDocument& d) { return reinterpret_cast<char*>(&d.obsv); }},
        {"PUMP",
         {WF_INT(PUMP, IWLO), WF_INT(PUMP, NQ), WF_REALS(PUMP, Q, 20), WF_REALS(PUMP, TQ, 20), WF_REAL(PUMP, NSTEP),
          WF_REAL(PUMP, TSIM), WF_INT(PUMP, IPUMP), WF_INT(PUMP, IOPP)},
         [](wf::doc::ProjectDocument& d) { return reinterpret_cast<char*>(&d.pump); }},
        {"GUESS",
         {WF_REAL(GUESS, SCALT), WF_REAL(GUESS, SCALS), WF_REALS(GUESS, P0, 4), WF_REALS(GUESS, PLO, 4),
          WF_REALS(GUESS, PHI, 4), WF_REAL(GUESS, PEPS), WF_REAL(GUESS, RMSE)},
         [](wf::doc::ProjectDocument& d) { return reinterpret_cast<char*>(&d.guess); }},
        {"PINIT",
         {WF_REAL(PINIT, TF), WF_REAL(PINIT, TM), WF_REAL(PINIT, SF), WF_REAL(PINIT, SM), WF_REAL(PINIT, TFMIN),
          WF_REAL(PINIT, TMMIN), WF_REAL(PINIT, SFMIN), WF_REAL(PINIT, SMMIN), WF_REAL(PINIT, TFMAX),
          WF_REAL(PINIT, TMMAX), WF_REAL(PINIT, SFMAX), WF_REAL(PINIT, SMMAX)},
         [](wf::doc::ProjectDocument& d) { return reinterpret_cast<char*>(&d.pinit); }},
        {"UNITS",
         {WF_INT(UNITS, IDIST), WF_INT(UNITS, ITIN), WF_INT(UNITS, ITOUT), WF_INT(UNITS, ICOND),
          WF_INT(UNITS, IFLUX), WF_INT(UNITS, IDISCH)},
         [](wf::doc::ProjectDocument& d) { return reinterpret_cast<char*>(&d.units); }},
        {"NZERO", {WF_INT(NZERO, NSKIP)}, [](wf::doc::ProjectDocument& d) { return reinterpret_cast<char*>(&d.nzero); }},
    };
    return table;
}

#undef WF_INT
#undef WF_REAL
#undef WF_INTS
#undef WF_REALS

// The address of the slot a field name ("Q[3]" for a slot of an array) names.
char* slot(wf::doc::ProjectDocument& doc, const std::string& record, const std::string& field, bool& real) {
    for (const Record& r : records()) {
        if (record != r.name) continue;
        const std::size_t bracket = field.find('[');
        const std::string name = field.substr(0, bracket);
        int index = 0;
        if (bracket != std::string::npos) {
            const std::string digits = field.substr(bracket + 1, field.size() - bracket - 2);
            if (field.back() != ']' || digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos)
                throw ProjectError("Record " + record + ": \"" + field + "\" is not a field name");
            index = std::stoi(digits);
        }
        for (const Field& f : r.fields) {
            if (name != f.name) continue;
            if (index >= f.count || (f.count > 1 && bracket == std::string::npos))
                throw ProjectError("Record " + record + ": " + name + " has the slots [0] to [" +
                                   std::to_string(f.count - 1) + "]");
            real = f.real;
            return r.base(doc) + f.offset + 4 * static_cast<std::size_t>(index);
        }
        throw ProjectError("Record " + record + " has no field " + name);
    }
    throw ProjectError("There is no record " + record + " (MESH, OBSV, PUMP, GUESS, PINIT, UNITS, NZERO)");
}

} // namespace

std::map<std::string, std::vector<std::string>> recordFieldNames() {
    std::map<std::string, std::vector<std::string>> names;
    for (const Record& r : records())
        for (const Field& f : r.fields) names[r.name].push_back(f.name);
    return names;
}

double getField(wf::doc::ProjectDocument& doc, const std::string& record, const std::string& field) {
    bool real = false;
    const char* p = slot(doc, record, field, real);
    if (real) {
        float v;
        std::memcpy(&v, p, 4);
        return v;
    }
    int32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

void setField(wf::doc::ProjectDocument& doc, const std::string& record, const std::string& field, double value) {
    bool real = false;
    char* p = slot(doc, record, field, real);
    const std::string who = record + "." + field;
    if (real) {
        if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max())
            throw ProjectError(who + ": " + std::to_string(value) + " is not a finite single-precision number");
        const float v = static_cast<float>(value);
        std::memcpy(p, &v, 4);
        return;
    }
    if (!(value == std::floor(value)) || value < INT32_MIN || value > INT32_MAX)
        throw ProjectError(who + ": " + std::to_string(value) + " is not a whole number of 32 bits");
    const int32_t v = static_cast<int32_t>(value);
    std::memcpy(p, &v, 4);
}

} // namespace wf::py
