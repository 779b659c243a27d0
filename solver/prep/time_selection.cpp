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

} // namespace wf::prep
