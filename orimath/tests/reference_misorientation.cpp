#include "reference_misorientation.h"

#include <cmath>
#include <cstdlib>

#include "orimath/orimath.h"

namespace orimath_reference {
namespace {

struct Q {
    double q0, q1, q2, q3;
};

// Quaternion of Euler angles in radians.
Q FromEuler(const double e[3]) {
    const double h = e[1] / 2, s = (e[0] + e[2]) / 2, d = (e[0] - e[2]) / 2;
    return {std::cos(h) * std::cos(s), std::sin(h) * std::cos(d), std::sin(h) * std::sin(d),
            std::cos(h) * std::sin(s)};
}

// Euler angles (radians) of a matrix; false when rejected.
bool Angles(double m[3][3], double e[3]) {
    return Eulerangle(m, e) != 0;
}

void Product3(const double a[3][3], const double b[3][3], const double c[3][3], double out[3][3]) {
    double ab[3][3];
    MulMatrix(a, b, ab);
    MulMatrix(ab, c, out);
}

struct Table {
    Q q[50];
    double threshold[50];
    Table() {
        for (int k = 0; k < 50; ++k) {
            const orimath::CubicCSLEntry* e = orimath::GetCubicCSLEntry(k);
            double n[3] = {double(e->axis[0]), double(e->axis[1]), double(e->axis[2])};
            const double len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
            for (double& v : n)
                v /= len;
            const double t = e->angleDeg * orimath::kDegToRad, c = std::cos(t), s = std::sin(t),
                         u = 1 - c;
            double m[3][3] = {
                {c + u * n[0] * n[0], u * n[0] * n[1] + s * n[2], u * n[0] * n[2] - s * n[1]},
                {u * n[0] * n[1] - s * n[2], c + u * n[1] * n[1], u * n[1] * n[2] + s * n[0]},
                {u * n[0] * n[2] + s * n[1], u * n[1] * n[2] - s * n[0], c + u * n[2] * n[2]}};
            double ea[3] = {0, 0, 0};
            Angles(m, ea);
            q[k] = FromEuler(ea);
            threshold[k] = std::cos(0.26179938783333334 /
                                    (2.0 * std::sqrt(double(orimath::CubicCSLSigma(k)))));
        }
    }
};

} // namespace

void CubicMisorientation(const double e1[3], const double e2[3], int limit, CubicResult* out) {
    static const Table table;
    double ops[7][24][3][3];
    int n = 0;
    const double lattice[6] = {1, 1, 1, 90, 90, 90};
    Symmdata(ops, &n, 1, 0, lattice);

    double g1[3][3], g2[3][3], dg[3][3];
    Gmatrix(e1, g1);
    Gmatrix(e2, g2);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            dg[i][j] = g2[i][0] * g1[j][0] + g2[i][1] * g1[j][1] + g2[i][2] * g1[j][2];
    double de[3];
    Angles(dg, de);
    const double ded[3] = {de[0] * orimath::kRadToDeg, de[1] * orimath::kRadToDeg,
                           de[2] * orimath::kRadToDeg};
    double base[2][3][3];
    Gmatrix(ded, base[0]);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            base[1][i][j] = base[0][j][i];

    static thread_local Q eq[1152];
    int m = 0;
    for (int x = 0; x < 2; ++x)
        for (int a = 0; a < 24; ++a)
            for (int b = 0; b < 24; ++b) {
                double s[3][3], e[3] = {0, 0, 0};
                Product3(ops[0][a], base[x], ops[0][b], s);
                Angles(s, e);
                eq[m++] = FromEuler(e);
            }

    double best = orimath::kTwoPi;
    for (int k = 0; k < 1152; ++k) {
        double q0 = eq[k].q0;
        if (q0 > 1)
            q0 = 1;
        if (q0 < -1)
            q0 = -1;
        double t = 2 * std::acos(q0);
        if (orimath::kTwoPi - t < t)
            t = orimath::kTwoPi - t;
        if (t < best)
            best = t;
    }
    out->angleDeg = best * orimath::kRadToDeg;

    if (limit > 49)
        limit = 49;
    out->index = 50;
    out->tested = 0;
    for (int k = 0; k <= limit; ++k) {
        const Q& r = table.q[k];
        double c = 0;
        for (int i = 0; i < 1152; ++i) {
            const double v =
                std::fabs(r.q0 * eq[i].q0 + r.q1 * eq[i].q1 + r.q2 * eq[i].q2 + r.q3 * eq[i].q3);
            if (v > c)
                c = v;
        }
        out->closeness[k] = c;
        out->threshold[k] = table.threshold[k];
        out->tested = k + 1;
        if (c >= table.threshold[k]) {
            out->index = k;
            break;
        }
    }
}

} // namespace orimath_reference
