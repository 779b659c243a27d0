#include "fem/model_driver.h"

#include "fem/ggip.h"
#include "fem/model_io.h"
#include "fem/simf.h"
#include "textio/list_directed.h"

namespace wf {

namespace {

// Opens a model file; a missing file reads as an immediate end of file.
bool openModelFile(RunState& rs, ModelFile& file, const std::string& name) {
    if (file.open(name)) return true;
    rs.IOS = textio::kIosEndOfFile;
    rs.INNAME = name;
    return false;
}

bool runModel(RunState& rs, ModelFiles& files, const double* P, Mat1<double>& sim, Vec1<int>& obsNodes,
              const Vec1<double>& times, ModelStepping stepping) {
    FemState& fs = rs.fem;
    // The mesh file is read only by the first call of a run; the plot file is
    // opened by STOR when it writes the final heads.
    if (!openModelFile(rs, files.tim, rs.file(".tim"))) return false;
    if (fs.callCount == 1 && !openModelFile(rs, files.fem, rs.file(".fem"))) return false;

    if (readModelHeader(rs, files.tim) != kInputGood) return false;
    if (checkArrayCapacity(rs, sim, obsNodes, times) != kInputGood) return false;
    if (GGIP(rs, files, obsNodes, times) != kInputGood) return false;

    // A four-node serendipity element is the bilinear Lagrange element.
    if (fs.family == 'S' && fs.nodesPerSide == 2) fs.family = 'L';

    if (fs.bandEstimate < fs.bandwidth) {
        rs.error(composeLine("(a,i4,a,i4)",
                             {"  Estimated bandwidth = ", fs.bandEstimate, " < true bandwidth = ", fs.bandwidth}));
        return false;
    }
    if (fs.bandwidth > rs.model.BAND.cols()) {
        rejectInput(rs, "(2X,'True bandwidth = ',I4,' of ',A,' exceeds the band storage of',I4,' columns')",
                    {fs.bandwidth, rs.file(".fem"), rs.model.BAND.cols()});
        return false;
    }
    return stepping(rs, P, sim, obsNodes, times);
}

} // namespace

bool AQFESUB(RunState& rs, const double* P, Mat1<double>& sim, Vec1<int>& obsNodes, const Vec1<double>& times,
             ModelStepping stepping) {
    ++rs.fem.callCount;
    rs.fem.cache.valid = false;
    ModelFiles files;
    const bool simulated = runModel(rs, files, P, sim, obsNodes, times, stepping);
    files.close();
    return simulated;
}

} // namespace wf
