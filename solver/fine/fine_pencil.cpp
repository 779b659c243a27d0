#include "fine/fine_pencil.h"

#include "fine/fine_pencil_impl.h"

namespace wf::fine {

bool pencilEigen(int n, const std::vector<double>& kd, const std::vector<double>& ko, const std::vector<double>& md,
                 const std::vector<double>& mo, bool constantNull, std::vector<double>& values,
                 std::vector<double>& vectors) {
    return pencil::pencilEigenOf<double>(n, kd, ko, md, mo, constantNull, values, vectors);
}

} // namespace wf::fine
