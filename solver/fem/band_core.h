// Symmetric band factorisation A = U^T D U and its solve on a row-wise band:
// row p (0-based) starts at W + p*ld, entry c (0-based, c = 0 the pivot)
// couples p with unknown p + c. The row stride is one more than a multiple of
// four, so the entry of unknown g in any row lies at an address congruent to g
// modulo four: blocks of four adjacent unknowns line up from row to row and the
// factorisation works on whole blocks. Entries from column B on (the padding)
// and entries whose unknown lies past the last row are zero; the three words
// just before each row's pivot belong to the previous row's far padding and
// may hold anything.
#pragma once

#include <cstddef>
#include <vector>

namespace wf {

// Row stride of the row-wise band for half-bandwidth B: ld = 1 (mod 4) and
// ld >= B + 6.
int bandRowStride(int B);

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

// Factorises in place; returns 0, or the 1-based row of the first pivot that
// is zero or negative (the rows after it are left unfactorised).
int factorBandRows(int NN, int B, double* W, int ld);
// The same factorisation of dt*K + M, with K and M row-wise bands of the same
// layout; the factor is written to W (K and M are only read).
int factorBandRowsOf(int NN, int B, double dt, const double* K, const double* M, double* W, int ld);
// Forward and back substitution with the factor of factorBandRows; R (NN
// entries, 0-based) becomes the solution.
void solveBandRows(int NN, int B, const double* W, int ld, double* R);
// factorBandRowsOf with the solve of dt*K + M x = R: the forward substitution
// runs inside the factorisation's row loop, then the back substitution; R
// becomes the solution. Returns what factorBandRowsOf returns (R is then
// left part-way).
int factorSolveBandRowsOf(int NN, int B, double dt, const double* K, const double* M, double* W, int ld, double* R);

// R = M h for the symmetric band M (upper rows, this layout). h and acc have
// at least NN + ld entries; h is zero past its first NN entries, acc is work
// space. R has NN entries.
void symmetricBandTimes(int NN, int B, const double* M, int ld, const double* h, double* acc, double* R);

// The same product through the full symmetric rows of M: fullSymmetricRows
// writes them (both halves of the band, four-aligned blocks) into MF once;
// fullSymmetricTimes then forms R = M h from heads placed at offset
// fullRowOffset(B) of a zeroed array of fullRowHeadsSize(NN, B) entries.
int fullRowOffset(int B);
std::size_t fullRowHeadsSize(int NN, int B);
void fullSymmetricRows(int NN, int B, const double* M, int ld, BandBuffer& MF);
void fullSymmetricTimes(int NN, int B, const double* MF, const double* hp, double* R);

} // namespace wf
