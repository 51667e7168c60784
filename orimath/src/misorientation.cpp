// Misorientation over the crystal symmetry of any crystal type, and the
// orientation and fibre comparisons built on it.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "orimath/misorientation.h"
#include "orimath/symmetry.h"
#include "quat_ops.h"

namespace orimath {
namespace {

struct Smallest {
    double angleDeg = -1;
    Quat rotation; // q(g1 * g(e)^T) of the smallest equivalent
};

// The smallest angle between e1 and the equivalents of e2 that GetSO lists
// (crystal symmetry only, with its angle nudge applied to e2).
Smallest SmallestMisorientation(const double e1[3], const double e2in[3], int type,
                                const double lattice[6]) {
    Smallest r;
    double e2[3] = {e2in[0], e2in[1], e2in[2]};
    if (!IsValidCrystalType(type) || !AllFinite(e1, 3) || !AllFinite(e2, 3))
        return r;
    double A[3][3];
    if (!CrystalAxis(A, type, lattice))
        return r;
    double g1[3][3];
    Gmatrix(e1, g1);

    OperatorQuats ops;
    if (OperatorQuatsFor(type, lattice, &ops)) {
        // M = g1 (S g2)^T = g1 g2^T S^T; its angle is the smallest when
        // |<q(g1 g2^T), q(S)>| is the largest.
        NudgeAngles(e2);
        double g2[3][3];
        Gmatrix(e2, g2);
        const Quat d = Mul(QuatFromMatrix(g1), Conj(QuatFromMatrix(g2)));
        int best = 0;
        MaxAbsDot(d, ops, &best);
        r.rotation = Mul(d, Conj(ops.q[best]));
        r.angleDeg = AngleRad(r.rotation) * (180.0 / std::numbers::pi);
        return r;
    }

    // Operators that are not all rotations (trigonal's improper ones, or a
    // lattice that does not fit the type): follow the equivalents of GetSO
    // as listed, converting each back to a matrix.
    double eq[24][3];
    int n = 0;
    if (!GetSO(e2, eq, &n, type, lattice, 0))
        return r;
    const double r2d = 180.0 / std::numbers::pi;
    double best = 360.0;
    double bestM[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int k = 0; k < n; ++k) {
        double ge[3][3], M[3][3];
        Gmatrix(eq[k], ge);
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                M[i][j] = g1[i][0] * ge[j][0] + g1[i][1] * ge[j][1] + g1[i][2] * ge[j][2];
        const double c = Clamp1((M[0][0] + M[1][1] + M[2][2] - 1.0) / 2.0);
        const double a = std::acos(c) * r2d;
        if (a < best) {
            best = a;
            std::copy(&M[0][0], &M[0][0] + 9, &bestM[0][0]);
        }
    }
    r.angleDeg = best;
    r.rotation = QuatFromMatrix(bestM);
    return r;
}

} // namespace
} // namespace orimath

double GetMisOri_AllCrystalSym(const double e1[3], const double e2[3], int crystalType,
                               const double lattice[6]) {
    return orimath::SmallestMisorientation(e1, e2, crystalType, lattice).angleDeg;
}

int GetMisOriAxis_AllCrystalSym(const double e1[3], const double e2[3], int crystalType,
                                const double lattice[6], double* angle, double axis[3]) {
    const orimath::Smallest s = orimath::SmallestMisorientation(e1, e2, crystalType, lattice);
    if (s.angleDeg < 0)
        return 0;
    double v[3] = {s.rotation.x, s.rotation.y, s.rotation.z};
    const double len = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (len < 1e-12) {
        v[0] = v[1] = 0;
        v[2] = 1;
    } else {
        for (double& c : v)
            c = std::fabs(c / len) < 1e-12 ? 0.0 : c / len;
    }
    if (crystalType == orimath::kCubic) {
        // With both cubic symmetries and the grain exchange every signed
        // permutation of the axis is equivalent: take |u| >= |v| >= |w|.
        for (double& c : v)
            c = std::fabs(c);
        std::sort(v, v + 3, [](double a, double b) { return a > b; });
    } else if (v[2] < 0 || (v[2] == 0 && (v[1] < 0 || (v[1] == 0 && v[0] < 0)))) {
        // The grain exchange turns the axis round: keep the upper half.
        for (double& c : v)
            c = -c;
    }
    *angle = s.angleDeg;
    for (int i = 0; i < 3; ++i)
        axis[i] = v[i] == 0 ? 0.0 : v[i];
    return 1;
}

int CompareOri(const double e1[3], const double e2[3], int crystalType, const double lattice[6],
               double tolerance) {
    const double a = GetMisOri_AllCrystalSym(e1, e2, crystalType, lattice);
    return a >= 0 && a < tolerance ? 1 : 0;
}

int CompareFiberAxis(const double e[3], const double hkl[3], int crystalType,
                     const double lattice[6], double tolerance, int recompute, int* count,
                     double poles[24][3]) {
    if (!orimath::IsValidCrystalType(crystalType))
        return 0;
    if (recompute) {
        double n[3];
        int m = 0;
        if (!GetPlaneNormal(hkl, crystalType, lattice, n))
            return 0;
        if (!GetSymmetricPoles(n, crystalType, lattice, poles, &m))
            return 0;
        *count = m;
    }
    if (!orimath::AllFinite(e, 3))
        return 0;
    const int n = std::clamp(*count, 0, 24);
    using std::numbers::pi;
    double g[3][3];
    orimath::GmatrixWith(e, pi / 180.0, g);
    for (int k = 0; k < n; ++k) {
        const double* h = poles[k];
        // Sample coordinates of the pole: g^T h.
        double y[3];
        for (int j = 0; j < 3; ++j)
            y[j] = g[0][j] * h[0] + g[1][j] * h[1] + g[2][j] * h[2];
        const double len = std::sqrt(y[0] * y[0] + y[1] * y[1] + y[2] * y[2]);
        if (!(len > 0))
            continue;
        const double z = std::fabs(y[2] / len);
        if (std::acos(orimath::Clamp1(z)) * 180.0 / pi < tolerance)
            return 1;
    }
    return 0;
}
