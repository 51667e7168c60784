// Times the cubic misorientation with CSL classification, and the
// misorientation over any crystal symmetry, against direct implementations
// of the same algorithms on the same random orientation pairs.
//   orimath_bench [pairs]   (default 100000)
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <random>
#include <vector>

#include "../tests/reference_misorientation.h"
#include "orimath/orimath.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

// The smallest angle over the GetSO equivalents of e2, one matrix product
// and trace per equivalent.
double ReferenceAllSym(const double e1[3], const double e2[3], int type, const double lattice[6]) {
    double c[3] = {e2[0], e2[1], e2[2]}, eq[24][3], g1[3][3];
    int n = 0;
    if (!GetSO(c, eq, &n, type, lattice, 0))
        return -1;
    Gmatrix(e1, g1);
    double best = 360;
    for (int k = 0; k < n; ++k) {
        double g[3][3];
        Gmatrix(eq[k], g);
        double tr = 0;
        for (int i = 0; i < 3; ++i)
            tr += g1[i][0] * g[i][0] + g1[i][1] * g[i][1] + g1[i][2] * g[i][2];
        double cs = (tr - 1) / 2;
        cs = cs > 1 ? 1 : (cs < -1 ? -1 : cs);
        const double a = std::acos(cs) * 180 / std::numbers::pi;
        if (a < best)
            best = a;
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    const int pairs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100000;
    std::mt19937 rng(20261210);
    std::uniform_real_distribution<double> u(0, 1);
    std::vector<double> e(6 * static_cast<size_t>(pairs));
    for (int k = 0; k < 2 * pairs; ++k) {
        e[3 * k] = u(rng) * 360;
        e[3 * k + 1] = std::acos(1 - 2 * u(rng)) * orimath::kRadToDeg;
        e[3 * k + 2] = u(rng) * 360;
    }
    auto first = [&](int k) { return &e[6 * static_cast<size_t>(k)]; };
    auto second = [&](int k) { return &e[6 * static_cast<size_t>(k) + 3]; };

    std::printf("orimath_bench: %d random orientation pairs\n\n", pairs);

    // Cubic misorientation and CSL class, table entries 0..49.
    std::vector<orimath_reference::CubicResult> ref(pairs);
    auto t0 = Clock::now();
    for (int k = 0; k < pairs; ++k)
        orimath_reference::CubicMisorientation(first(k), second(k), 49, &ref[k]);
    auto t1 = Clock::now();
    std::vector<double> angle(pairs);
    std::vector<int> index(pairs);
    for (int k = 0; k < pairs; ++k) {
        index[k] = 49;
        GetMisOri(first(k), second(k), &angle[k], &index[k]);
    }
    auto t2 = Clock::now();
    int angleDiff = 0, indexDiff = 0, indexAtThreshold = 0, csl = 0;
    double maxAngleDiff = 0;
    for (int k = 0; k < pairs; ++k) {
        const double d = std::fabs(angle[k] - ref[k].angleDeg);
        maxAngleDiff = std::max(maxAngleDiff, d);
        if (d > 1e-6)
            ++angleDiff;
        if (ref[k].index != 50)
            ++csl;
        if (index[k] != ref[k].index) {
            const int m = std::min(index[k], ref[k].index);
            if (m < ref[k].tested && std::fabs(ref[k].closeness[m] - ref[k].threshold[m]) <= 1e-9)
                ++indexAtThreshold;
            else
                ++indexDiff;
        }
    }
    const double tr = Seconds(t0, t1), tl = Seconds(t1, t2);
    std::printf("GetMisOri (cubic, CSL entries 0..49)\n");
    std::printf("  reference (1152 equivalents, table order): %9.3f s  %8.2f us/pair\n", tr,
                1e6 * tr / pairs);
    std::printf("  library:                                   %9.3f s  %8.2f us/pair\n", tl,
                1e6 * tl / pairs);
    std::printf("  speed-up: %.1fx (target >= 20x)\n", tr / tl);
    std::printf("  pairs with a CSL class (reference): %d\n", csl);
    std::printf("  differing pairs: %d (angle beyond 1e-6 degree: %d, max difference %.3g degree; "
                "CSL index: %d, plus %d within 1e-9 of a threshold)\n\n",
                angleDiff + indexDiff, angleDiff, maxAngleDiff, indexDiff, indexAtThreshold);

    // Misorientation over all crystal symmetries, for three types.
    const struct {
        int type;
        const char* name;
        double lattice[6];
    } types[] = {{0, "cubic", {1, 1, 1, 90, 90, 90}},
                 {1, "hexagonal", {1, 1, 1.6, 90, 90, 120}},
                 {3, "orthorhombic", {1, 2, 3, 90, 90, 90}}};
    int allDiff = 0;
    for (const auto& t : types) {
        std::vector<double> ra(pairs), la(pairs);
        auto a0 = Clock::now();
        for (int k = 0; k < pairs; ++k)
            ra[k] = ReferenceAllSym(first(k), second(k), t.type, t.lattice);
        auto a1 = Clock::now();
        for (int k = 0; k < pairs; ++k)
            la[k] = GetMisOri_AllCrystalSym(first(k), second(k), t.type, t.lattice);
        auto a2 = Clock::now();
        int diff = 0;
        double maxd = 0;
        for (int k = 0; k < pairs; ++k) {
            const double d = std::fabs(ra[k] - la[k]);
            maxd = std::max(maxd, d);
            // The trace formula of the reference loses digits near 0 and 180.
            if (d > 1e-5)
                ++diff;
        }
        allDiff += diff;
        const double r = Seconds(a0, a1), l = Seconds(a1, a2);
        std::printf("GetMisOri_AllCrystalSym (%s)\n", t.name);
        std::printf("  reference (GetSO equivalents): %8.3f s  %7.3f us/pair\n", r,
                    1e6 * r / pairs);
        std::printf("  library:                       %8.3f s  %7.3f us/pair\n", l,
                    1e6 * l / pairs);
        std::printf("  speed-up: %.1fx; differing pairs (beyond 1e-5 degree): %d, max difference "
                    "%.3g degree\n\n",
                    r / l, diff, maxd);
    }
    return (angleDiff + indexDiff + allDiff) == 0 ? 0 : 1;
}
