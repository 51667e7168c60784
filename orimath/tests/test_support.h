#pragma once
// Small helpers shared by the orimath tests.
#include <cmath>
#include <random>

#include "orimath/orimath.h"

namespace orimath_test {

// A lattice that fits each crystal type (index = type code).
inline const double kLattices[7][6] = {
    {1, 1, 1, 90, 90, 90}, {1, 1, 1.6, 90, 90, 120}, {1, 1, 1.4, 90, 90, 90}, {1, 2, 3, 90, 90, 90},
    {1, 2, 3, 90, 90, 90}, {1, 1, 1, 70, 70, 70},    {1, 2, 3, 90, 90, 90}};

// Uniformly distributed orientation in degrees.
inline void RandomEuler(std::mt19937& rng, double e[3]) {
    std::uniform_real_distribution<double> u(0, 1);
    e[0] = u(rng) * 360;
    e[1] = std::acos(1 - 2 * u(rng)) * orimath::kRadToDeg;
    e[2] = u(rng) * 360;
}

inline double MatrixDistance(const double a[3][3], const double b[3][3]) {
    double m = 0;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            m = std::fmax(m, std::fabs(a[i][j] - b[i][j]));
    return m;
}

// True when e2 is one of the equivalents of e1 under crystal (and, when
// sampleSym is set, sample) symmetry, within tol in matrix elements.
inline bool Equivalent(const double e1[3], const double e2[3], int type, int sampleSym,
                       double tol) {
    double eq[96][3], c[3] = {e1[0], e1[1], e1[2]};
    int n = 0;
    if (!GetSO(c, eq, &n, type, kLattices[type], sampleSym))
        return false;
    double g2[3][3];
    Gmatrix(e2, g2);
    for (int k = 0; k < n; ++k) {
        double g[3][3];
        Gmatrix(eq[k], g);
        if (MatrixDistance(g, g2) < tol)
            return true;
    }
    return false;
}

} // namespace orimath_test
