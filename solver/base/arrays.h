// 1-based work arrays, stored column by column like the solver's algorithms expect.
#pragma once

#include <cstddef>
#include <algorithm>
#include <new>
#include <vector>

namespace wf {

// Largest number of elements one work array may take; a count above it is
// treated as an allocation failure rather than an attempt to allocate it.
inline constexpr std::size_t kMaxArrayElements = std::size_t{1} << 27;

namespace detail {
inline std::size_t checkedCount(long long n) {
    if (n < 0 || static_cast<unsigned long long>(n) > kMaxArrayElements) throw std::bad_alloc();
    return static_cast<std::size_t>(n);
}
} // namespace detail

// Vector indexed 1..n.
template <class T>
class Vec1 {
public:
    void allocate(long long n) { v_.assign(detail::checkedCount(n), T{}); }
    void release() { std::vector<T>().swap(v_); }
    T& operator()(int i) { return v_[static_cast<std::size_t>(i - 1)]; }
    const T& operator()(int i) const { return v_[static_cast<std::size_t>(i - 1)]; }
    int size() const { return static_cast<int>(v_.size()); }
    T* data() { return v_.data(); }
    const T* data() const { return v_.data(); }
    void fill(const T& x) { std::fill(v_.begin(), v_.end(), x); }

private:
    std::vector<T> v_;
};

// Matrix indexed (1..rows, 1..cols), column by column (row index fastest).
template <class T>
class Mat1 {
public:
    void allocate(long long rows, long long cols) {
        if (rows < 0 || cols < 0) throw std::bad_alloc();
        v_.assign(detail::checkedCount(rows * cols), T{});
        rows_ = static_cast<int>(rows);
        cols_ = static_cast<int>(cols);
    }
    void release() {
        std::vector<T>().swap(v_);
        rows_ = cols_ = 0;
    }
    T& operator()(int i, int j) { return v_[index(i, j)]; }
    const T& operator()(int i, int j) const { return v_[index(i, j)]; }
    // Lays the same storage out as rows x cols (at most the allocated number
    // of elements), as a Fortran routine views an array passed to it with
    // other dimensions. The elements are zero afterwards.
    void reshape(int rows, int cols) {
        if (rows < 0 || cols < 0 || static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols) > v_.size())
            throw std::bad_alloc();
        std::fill(v_.begin(), v_.end(), T{});
        rows_ = rows;
        cols_ = cols;
    }
    int rows() const { return rows_; }
    int cols() const { return cols_; }
    T* data() { return v_.data(); }
    const T* data() const { return v_.data(); }
    void fill(const T& x) { std::fill(v_.begin(), v_.end(), x); }

private:
    std::size_t index(int i, int j) const {
        return static_cast<std::size_t>(i - 1) + static_cast<std::size_t>(j - 1) * static_cast<std::size_t>(rows_);
    }
    std::vector<T> v_;
    int rows_ = 0;
    int cols_ = 0;
};

// Three-index array (1..n1, 1..n2, 1..n3), first index fastest.
template <class T>
class Arr3 {
public:
    void allocate(long long n1, long long n2, long long n3) {
        if (n1 < 0 || n2 < 0 || n3 < 0) throw std::bad_alloc();
        v_.assign(detail::checkedCount(n1 * n2 * n3), T{});
        n1_ = static_cast<int>(n1);
        n2_ = static_cast<int>(n2);
        n3_ = static_cast<int>(n3);
    }
    void release() {
        std::vector<T>().swap(v_);
        n1_ = n2_ = n3_ = 0;
    }
    T& operator()(int i, int j, int k) { return v_[index(i, j, k)]; }
    const T& operator()(int i, int j, int k) const { return v_[index(i, j, k)]; }
    int dim1() const { return n1_; }
    int dim2() const { return n2_; }
    int dim3() const { return n3_; }

private:
    std::size_t index(int i, int j, int k) const {
        return static_cast<std::size_t>(i - 1) +
               static_cast<std::size_t>(n1_) * (static_cast<std::size_t>(j - 1) +
                                                static_cast<std::size_t>(n2_) * static_cast<std::size_t>(k - 1));
    }
    std::vector<T> v_;
    int n1_ = 0, n2_ = 0, n3_ = 0;
};

} // namespace wf
