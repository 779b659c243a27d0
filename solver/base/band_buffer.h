// The row-wise band buffer of the step matrix (fem/band_core.h describes its
// layout): a work array whose first word is 32-byte aligned, so that blocks of
// four unknowns can be loaded whole.
#pragma once

#include <cstddef>
#include <vector>

namespace wf {

// A row-wise band buffer whose first word is 32-byte aligned.
class BandBuffer {
public:
    void assign(std::size_t n, double v) {
        raw_.assign(n + 4, v);
        const auto addr = reinterpret_cast<std::size_t>(raw_.data());
        off_ = ((32 - addr % 32) % 32) / sizeof(double);
        size_ = n;
    }
    double* data() { return raw_.data() + off_; }
    const double* data() const { return raw_.data() + off_; }
    std::size_t size() const { return size_; }
    double& operator[](std::size_t i) { return data()[i]; }
    double operator[](std::size_t i) const { return data()[i]; }

private:
    std::vector<double> raw_;
    std::size_t off_ = 0, size_ = 0;
};

} // namespace wf
