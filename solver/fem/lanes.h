// Short vectors of four doubles for the flow model's exact loops (the band
// solver and the assembly of a step). Each lane is one independent sum or
// product chain, computed term by term as the plain loop computes it, so a lane
// is the same double as the scalar code; no multiply and add is ever fused.
// Included after every other header by the files whose loops use it, so that
// the settings below apply to their own code only. On x86-64 those files also
// build an AVX2 variant of their loops (WF_LANES_AVX2, WF_TARGET_AVX2), chosen
// at run time.
#pragma once

#include <cstring>

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("O3", "fp-contract=off")
// The four-lane helpers are always inlined into each instruction-set variant:
// no vector crosses a call, so the note about their calling convention
// without AVX does not apply.
#pragma GCC diagnostic ignored "-Wpsabi"
#endif
#if defined(__clang__)
#pragma clang fp contract(off)
#pragma clang diagnostic ignored "-Wpsabi"
#endif

#if defined(__GNUC__) || defined(__clang__)
#define WF_ALWAYS_INLINE __attribute__((always_inline)) inline
#else
#define WF_ALWAYS_INLINE inline
#endif

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define WF_LANES_AVX2 1
#define WF_TARGET_AVX2 __attribute__((target("avx2")))
#endif

namespace wf::lanes {

typedef double Lanes __attribute__((vector_size(4 * sizeof(double))));

WF_ALWAYS_INLINE Lanes loadLanes(const double* p) {
    Lanes v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
WF_ALWAYS_INLINE void storeLanes(double* p, Lanes v) { std::memcpy(p, &v, sizeof v); }
WF_ALWAYS_INLINE Lanes splat(double x) { return Lanes{x, x, x, x}; }

} // namespace wf::lanes
