#include "prep/time_selection.h"

namespace wf::prep {

int selectTimes(int NSEL, int npts, Vec1<int>& IDX) {
    const int STEP = npts / (NSEL - 1);
    int n = 0;
    IDX(++n) = 1;
    if (STEP > 5) {
        IDX(++n) = STEP / 3;
        IDX(++n) = 2 * STEP / 3;
    }
    for (int m = 1; m <= NSEL - 1; ++m) IDX(++n) = m * STEP + 1;
    if (IDX(n) >= npts)
        IDX(n) = npts;
    else
        IDX(++n) = npts;
    return n;
}

std::vector<int> selectOwnTimes(int NSEL, int npts) {
    std::vector<int> idx;
    if (npts <= 0) return idx;
    if (npts <= NSEL) {
        for (int n = 1; n <= npts; ++n) idx.push_back(n);
        return idx;
    }
    Vec1<int> IDX;
    IDX.allocate(NSEL + 3);
    const int count = selectTimes(NSEL, npts, IDX);
    for (int m = 1; m <= count; ++m) idx.push_back(IDX(m));
    return idx;
}

} // namespace wf::prep
