// Reading of the flow model's input: the problem header of the model-control
// file ({base}.tim), the mesh file ({base}.fem), initial heads, prescribed
// heads (GDBC), prescribed fluxes (GNBC), point sources and the Dirichlet sides.
#pragma once

#include <string_view>

#include "base/arrays.h"
#include "fem/model_io.h"

namespace wf {

struct RunState;

// Outcome of a piece of input reading.
enum InputStatus : int {
    kInputGood = 0,        // read and accepted
    kInputRejected = 1,    // refused with a message (listing stream and "Error" box)
    kInputUnreadable = 2,  // a read failed: rs.IOS and rs.INNAME name the file
};

// Problem header of the model-control file: two title records, the element
// record "(4X, A1, I5)" (family letter, nodes per side), twelve integers and
// two integers. Fills the dimensions of rs.fem.
int readModelHeader(RunState& rs, ModelFile& tim);

// Compares the header counts with the work arrays of the model set and the
// caller's observation and output arrays; refuses a count that does not fit.
int checkArrayCapacity(RunState& rs, const Mat1<double>& sim, const Vec1<int>& obsNodes,
                       const Vec1<double>& times);

// Reads the model input into the work arrays. On every call: time parameters
// and observation nodes. On the first call of a run (rs.fem.callCount == 1)
// also the mesh, base levels, boundary sides, initial heads, prescribed heads
// and fluxes, point sources, and finds the Dirichlet sides. Returns an InputStatus.
int GGIP(RunState& rs, ModelFiles& files, Vec1<int>& obsNodes, const Vec1<double>& times);

// Prescribed heads (time file), read only when there are Dirichlet nodes.
int GDBC(RunState& rs, ModelFile& tim);

// Prescribed fluxes on Neumann sides (time file). Reads only when GGIP has
// armed it; every later call returns at once.
int GNBC(RunState& rs, ModelFile& tim);

// Nodal values (base levels, initial heads): the count NVS, then either NN
// pairs (node, value) or NVS generator records (first node, value, last node,
// step). A generated count other than NN writes mismatchFormat with the count
// and NN and refuses the input.
int readNodalValues(RunState& rs, ModelFile& file, Vec1<double>& values, std::string_view mismatchFormat);

// One generator record (first node, value, last node, step): the nodes
// first, first + step, ... up to last take the value. A step of 0 or less
// counts as 1, a last node before the first as the first; both must be nodes
// of the mesh (what names the record kind in the refusal).
struct GeneratorRecord {
    int first = 0, last = 0, step = 0;
    double value = 0.0;
    // Nodes the record generates (wide arithmetic: a step near the integer
    // limit must not wrap round).
    long long count() const { return (last - first) / step + 1; }
};
int readGeneratorRecord(RunState& rs, ModelFile& file, std::string_view what, GeneratorRecord& g);

// Point sources: node and profile length, then (time, rate) records, converted
// to seconds and cubic metres per second. A profile ending before the last
// output time is extended to that time plus 1000 s.
int readPointSources(RunState& rs, ModelFile& tim, const Vec1<double>& times);

// Collects the boundary sides whose nodes are all Dirichlet nodes, one per
// Dirichlet node that starts such a side; refuses the input when they do not
// cover every Dirichlet node.
int findDirichletSides(RunState& rs);

} // namespace wf
