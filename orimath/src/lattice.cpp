// Crystal axes from lattice parameters, plane normals, and the conversion
// between orientations and Miller indices.
#include <cmath>

#include "internal.h"
#include "orimath/orientation.h"

using orimath::kDegToRad;

// cos and sin of an angle in degrees. The usual cell angles 90 and 120 are
// taken exactly: with the library's truncated pi, cos 90 would be -4e-10,
// and the Cartesian cubic operators A*S*A^-1 would then be off by that much,
// which the arcsines of Eulerangle magnify to 1e-5 degree near +-90.
static void CosSinDeg(double deg, double* c, double* s) {
    if (deg == 90.0) {
        *c = 0.0;
        *s = 1.0;
    } else if (deg == 120.0) {
        *c = -0.5;
        *s = 0.86602540378443864676;
    } else {
        *c = std::cos(deg * kDegToRad);
        *s = std::sin(deg * kDegToRad);
    }
}

int CrystalAxis(double axis[3][3], int crystalType, const double lattice[6]) {
    if (!orimath::IsValidCrystalType(crystalType))
        return 0;
    if (!orimath::AllFinite(lattice + 3, 3))
        return 0;
    const double al = lattice[3], be = lattice[4], ga = lattice[5];
    if (!(ga + al >= be && ga + be >= al && be + al >= ga))
        return 0;
    double ca, sa, cb, sb, cg, sg;
    CosSinDeg(al, &ca, &sa);
    CosSinDeg(be, &cb, &sb);
    CosSinDeg(ga, &cg, &sg);
    // gamma of 0 or 180 degrees puts b along a: no crystal frame exists.
    if (std::fabs(sg) < 1e-12)
        return 0;
    const double q = (ca - cb * cg) / sg;
    const double zz = sb * sb - q * q;
    // Angles that pass the triangle test can still describe no cell
    // (sin^2 beta < q^2); the third axis would be imaginary.
    if (!(zz >= 0.0))
        return 0;
    double m[3][3] = {{1.0, cg, cb}, {0.0, sg, q}, {0.0, 0.0, std::sqrt(zz)}};
    if (crystalType == orimath::kTrigonal) {
        // Rhombohedral setting: the three axes at 120 degrees round z, each
        // at theta from z, theta being the angle between c and a+b+c.
        double d[3] = {m[0][0] + m[0][1] + m[0][2], m[1][0] + m[1][1] + m[1][2],
                       m[2][0] + m[2][1] + m[2][2]};
        const double dn = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        if (!(dn > 0))
            return 0;
        const double dc = (d[0] * m[0][2] + d[1] * m[1][2] + d[2] * m[2][2]) / dn;
        const double theta = std::acos(orimath::Clamp1(dc));
        const double st = std::sin(theta), ct = std::cos(theta);
        const double az[3] = {0.0, orimath::k120Rad, orimath::k240Rad};
        for (int j = 0; j < 3; ++j) {
            m[0][j] = std::cos(az[j]) * st;
            m[1][j] = std::sin(az[j]) * st;
            m[2][j] = ct;
        }
    }
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            axis[i][j] = m[i][j];
    return 1;
}

// Solves v = x1*a + x2*b + x3*c for the columns of A by Cramer's rule.
static void SolveInAxes(const double A[3][3], const double v[3], double x[3]) {
    auto det3 = [](const double c0[3], const double c1[3], const double c2[3]) {
        return c0[0] * (c1[1] * c2[2] - c1[2] * c2[1]) - c1[0] * (c0[1] * c2[2] - c0[2] * c2[1]) +
               c2[0] * (c0[1] * c1[2] - c0[2] * c1[1]);
    };
    const double a[3] = {A[0][0], A[1][0], A[2][0]};
    const double b[3] = {A[0][1], A[1][1], A[2][1]};
    const double c[3] = {A[0][2], A[1][2], A[2][2]};
    const double d = det3(a, b, c);
    x[0] = det3(v, b, c) / d;
    x[1] = det3(a, v, c) / d;
    x[2] = det3(a, b, v) / d;
}

namespace orimath {
void LatticeCoordinates(const double A[3][3], const double lattice[6], const double v[3],
                        double uvw[3]) {
    SolveInAxes(A, v, uvw);
    for (int i = 0; i < 3; ++i)
        uvw[i] /= lattice[i];
}
} // namespace orimath

int GetPlaneNormal(const double hkl[3], int crystalType, const double lattice[6],
                   double normal[3]) {
    if (!orimath::AllFinite(hkl, 3) || !orimath::LatticeLengthsValid(lattice))
        return 0;
    if (hkl[0] == 0 && hkl[1] == 0 && hkl[2] == 0)
        return 0;
    double A[3][3], Ai[3][3];
    if (!CrystalAxis(A, crystalType, lattice))
        return 0;
    Inverse(A, Ai);
    // Reciprocal vectors are the rows of (A diag(a,b,c))^-1.
    double n[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            n[j] += hkl[i] / lattice[i] * Ai[i][j];
    const double len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (!(len > 0) || !std::isfinite(len))
        return 0;
    for (int j = 0; j < 3; ++j)
        normal[j] = n[j] / len;
    return 1;
}

// Column j of g is sample axis j (RD, TD, ND) in the Cartesian crystal frame:
// a sample vector y is the crystal vector g*y. This is the convention of
// GetSO (crystal operators multiply g from the left) and of the pole figure
// projection y = g^T*h, so the indices below agree with where the ODF and
// the pole figures put an orientation.
int Euler2Miller(const double euler[3], int crystalType, const double lattice[6],
                 double hkluvw[6]) {
    double A[3][3], g[3][3];
    if (!orimath::AllFinite(euler, 3) || !orimath::LatticeLengthsValid(lattice))
        return 0;
    if (!CrystalAxis(A, crystalType, lattice))
        return 0;
    Gmatrix(euler, g);
    const double nd[3] = {g[0][2], g[1][2], g[2][2]};
    const double rd[3] = {g[0][0], g[1][0], g[2][0]};
    for (int i = 0; i < 3; ++i) {
        const double dot = nd[0] * A[0][i] + nd[1] * A[1][i] + nd[2] * A[2][i];
        hkluvw[i] = dot == 0.0 ? 0.0 : lattice[i] * dot;
    }
    orimath::LatticeCoordinates(A, lattice, rd, hkluvw + 3);
    return 1;
}

int Miller2Euller(const double hkluvw[6], double euler[3], int crystalType,
                  const double lattice[6]) {
    const double* h = hkluvw;
    const double* u = hkluvw + 3;
    if (h[0] == 0 && h[1] == 0 && h[2] == 0)
        return 0;
    if (u[0] == 0 && u[1] == 0 && u[2] == 0)
        return 0;
    if (!orimath::AllFinite(hkluvw, 6))
        return 0;
    if (h[0] * u[0] + h[1] * u[1] + h[2] * u[2] != 0)
        return 0;
    double A[3][3], nd[3];
    if (!orimath::LatticeLengthsValid(lattice) || !CrystalAxis(A, crystalType, lattice))
        return 0;
    if (!GetPlaneNormal(h, crystalType, lattice, nd))
        return 0;
    double rd[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            rd[i] += A[i][j] * lattice[j] * u[j];
    const double len = std::sqrt(rd[0] * rd[0] + rd[1] * rd[1] + rd[2] * rd[2]);
    if (!(len > 0) || !std::isfinite(len))
        return 0;
    for (int i = 0; i < 3; ++i)
        rd[i] /= len;
    const double td[3] = {nd[1] * rd[2] - nd[2] * rd[1], nd[2] * rd[0] - nd[0] * rd[2],
                          nd[0] * rd[1] - nd[1] * rd[0]};
    double g[3][3];
    for (int i = 0; i < 3; ++i) {
        g[i][0] = rd[i];
        g[i][1] = td[i];
        g[i][2] = nd[i];
    }
    double e[3];
    if (!Eulerangle(g, e))
        return 0;
    for (int i = 0; i < 3; ++i)
        euler[i] = e[i] * orimath::kRadToDeg;
    return 1;
}

void GetNiceVector(const double x[3], int out[3]) {
    double v[3];
    double m = 0;
    bool finite = true;
    for (int i = 0; i < 3; ++i) {
        v[i] = std::fabs(x[i]);
        if (!std::isfinite(v[i]))
            finite = false;
        if (v[i] > m)
            m = v[i];
    }
    out[0] = out[1] = out[2] = 0;
    if (!finite || m == 0)
        return;
    // Components nine or more times smaller than the largest are noise for
    // a label (indices above 8 are not offered).
    for (int i = 0; i < 3; ++i)
        if (v[i] == 0 || m / v[i] >= 9)
            v[i] = 0;
    double s = m;
    for (int i = 0; i < 3; ++i)
        if (v[i] != 0 && v[i] < s)
            s = v[i];
    for (int i = 0; i < 3; ++i)
        v[i] /= s;
    int r[3] = {0, 0, 0};
    for (int n = 1;; ++n) {
        bool ok = true, big = false;
        for (int i = 0; i < 3; ++i) {
            const double t = n * v[i];
            r[i] = static_cast<int>(t + 0.5);
            if (v[i] != 0 && std::fabs(r[i] - t) / t > 0.2)
                ok = false;
            if (r[i] >= 9)
                big = true;
        }
        if (ok || big || n + 1 >= 9)
            break;
    }
    for (int i = 0; i < 3; ++i)
        out[i] = x[i] < 0 ? -r[i] : r[i];
}
