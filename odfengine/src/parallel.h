#pragma once
// Parallel loops whose results do not depend on the number of threads.
//
// RunSlices: slices [0, n) are processed in rounds; inside a round they run on
// the OpenMP threads, and after each round the calling thread calls done(s)
// for every slice of the round in order (progress is reported only from the
// calling thread, and in slice order). Slices must write disjoint outputs.
//
// Sums over slices use a fixed number of partial accumulators assigned by
// slice index (not by thread), combined in index order afterwards, so the
// floating-point result is the same for any thread count.
#include <omp.h>

#include <algorithm>

namespace odfengine {

inline constexpr int kRoundSlices = 16;  // slices per round
inline constexpr int kPartialSums = 8;   // partial accumulators of a reduction

template <class Body, class Done>
void RunSlices(int n, Body&& body, Done&& done) {
    for (int s0 = 0; s0 < n; s0 += kRoundSlices) {
        const int s1 = std::min(n, s0 + kRoundSlices);
#pragma omp parallel for schedule(dynamic, 1)
        for (int s = s0; s < s1; ++s) body(s);
        for (int s = s0; s < s1; ++s) done(s);
    }
}

// Runs body(part, begin, end) for kPartialSums contiguous parts of [0, n) in
// parallel; part p always covers the same range.
template <class Body>
void RunParts(int n, Body&& body) {
#pragma omp parallel for schedule(dynamic, 1)
    for (int p = 0; p < kPartialSums; ++p) {
        const int b = (int)((long long)n * p / kPartialSums);
        const int e = (int)((long long)n * (p + 1) / kPartialSums);
        if (b < e) body(p, b, e);
    }
}

}  // namespace odfengine
