#include "orimath/orientation.h"

#include <cmath>

#include "internal.h"

using orimath::Clamp1;
using orimath::kDegToRad;
using orimath::kPi;
using orimath::kTwoPi;

void Gmatrix(const double euler[3], double g[3][3]) {
    orimath::GmatrixWith(euler, kDegToRad, g);
}

void orimath::GmatrixWith(const double euler[3], double d2r, double g[3][3]) {
    const double p1 = euler[0] * d2r, P = euler[1] * d2r, p2 = euler[2] * d2r;
    const double s1 = std::sin(p1), c1 = std::cos(p1);
    const double s = std::sin(P), c = std::cos(P);
    const double s2 = std::sin(p2), c2 = std::cos(p2);
    g[0][0] = c1 * c2 - s1 * s2 * c;
    g[0][1] = s1 * c2 + c1 * s2 * c;
    g[0][2] = s2 * s;
    g[1][0] = -c1 * s2 - s1 * c2 * c;
    g[1][1] = -s1 * s2 + c1 * c2 * c;
    g[1][2] = c2 * s;
    g[2][0] = s1 * s;
    g[2][1] = -c1 * s;
    g[2][2] = c;
}

int Eulerangle(double g[3][3], double euler_rad[3]) {
    for (int i = 0; i < 3; ++i)
        if (!orimath::AllFinite(g[i], 3))
            return 0;
    if (std::fabs(g[2][2]) > 1.0001)
        return 0;
    g[2][2] = Clamp1(g[2][2]);
    const double Phi = std::acos(g[2][2]);
    const double sP = std::sin(Phi);
    double phi1, phi2;
    if (std::fabs(sP) <= 1e-5) {
        // Phi = 0 or pi: only phi1 + phi2 (or phi1 - phi2) is defined, so
        // the whole rotation about ND goes into phi2. With phi1 = 0,
        // g12 = sin(phi2) cos(Phi): at Phi = pi its sign is turned round,
        // and taking arcsin(g12) there would give the mirror rotation.
        phi1 = 0.0;
        phi2 = std::asin(Clamp1(g[2][2] < 0 ? -g[0][1] : g[0][1]));
        if (g[0][0] < 0)
            phi2 = kPi - phi2;
    } else {
        phi1 = std::asin(Clamp1(g[2][0] / sP));
        if (-g[2][1] / sP < 0)
            phi1 = kPi - phi1;
        phi2 = std::asin(Clamp1(g[0][2] / sP));
        if (g[1][2] / sP < 0)
            phi2 = kPi - phi2;
    }
    phi1 += kTwoPi;
    if (phi1 >= kTwoPi)
        phi1 -= kTwoPi;
    phi2 += kTwoPi;
    if (phi2 >= kTwoPi)
        phi2 -= kTwoPi;
    euler_rad[0] = phi1;
    euler_rad[1] = Phi;
    euler_rad[2] = phi2;
    return 1;
}

void MulMatrix(const double a[3][3], const double b[3][3], double c[3][3]) {
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            c[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j];
}

void Inverse(const double a[3][3], double ainv[3][3]) {
    const double c00 = a[1][1] * a[2][2] - a[1][2] * a[2][1];
    const double c01 = a[1][2] * a[2][0] - a[1][0] * a[2][2];
    const double c02 = a[1][0] * a[2][1] - a[1][1] * a[2][0];
    const double det = a[0][0] * c00 + a[0][1] * c01 + a[0][2] * c02;
    ainv[0][0] = c00 / det;
    ainv[1][0] = c01 / det;
    ainv[2][0] = c02 / det;
    ainv[0][1] = (a[0][2] * a[2][1] - a[0][1] * a[2][2]) / det;
    ainv[1][1] = (a[0][0] * a[2][2] - a[0][2] * a[2][0]) / det;
    ainv[2][1] = (a[0][1] * a[2][0] - a[0][0] * a[2][1]) / det;
    ainv[0][2] = (a[0][1] * a[1][2] - a[0][2] * a[1][1]) / det;
    ainv[1][2] = (a[0][2] * a[1][0] - a[0][0] * a[1][2]) / det;
    ainv[2][2] = (a[0][0] * a[1][1] - a[0][1] * a[1][0]) / det;
}

namespace orimath {

Quat QuatFromMatrix(const double g[3][3]) {
    // Shepperd's method: pick the largest of w, x, y, z to divide by.
    // g is passive (crystal <- sample), so the rotation it describes maps
    // sample to crystal; the quaternion is that of g itself.
    Quat q;
    const double t = g[0][0] + g[1][1] + g[2][2];
    if (t > 0) {
        const double s = std::sqrt(t + 1.0) * 2;
        q.w = 0.25 * s;
        q.x = (g[2][1] - g[1][2]) / s;
        q.y = (g[0][2] - g[2][0]) / s;
        q.z = (g[1][0] - g[0][1]) / s;
    } else if (g[0][0] > g[1][1] && g[0][0] > g[2][2]) {
        const double s = std::sqrt(1.0 + g[0][0] - g[1][1] - g[2][2]) * 2;
        q.w = (g[2][1] - g[1][2]) / s;
        q.x = 0.25 * s;
        q.y = (g[0][1] + g[1][0]) / s;
        q.z = (g[0][2] + g[2][0]) / s;
    } else if (g[1][1] > g[2][2]) {
        const double s = std::sqrt(1.0 + g[1][1] - g[0][0] - g[2][2]) * 2;
        q.w = (g[0][2] - g[2][0]) / s;
        q.x = (g[0][1] + g[1][0]) / s;
        q.y = 0.25 * s;
        q.z = (g[1][2] + g[2][1]) / s;
    } else {
        const double s = std::sqrt(1.0 + g[2][2] - g[0][0] - g[1][1]) * 2;
        q.w = (g[1][0] - g[0][1]) / s;
        q.x = (g[0][2] + g[2][0]) / s;
        q.y = (g[1][2] + g[2][1]) / s;
        q.z = 0.25 * s;
    }
    const double n = std::sqrt(q.w * q.w + q.x * q.x + q.y * q.y + q.z * q.z);
    const double sign = q.w < 0 ? -1.0 : 1.0;
    q.w *= sign / n;
    q.x *= sign / n;
    q.y *= sign / n;
    q.z *= sign / n;
    return q;
}

void AxisAngleMatrix(const double axis[3], double angleRad, double g[3][3]) {
    // Rodrigues: R = cos t I + (1 - cos t) n n^T + sin t [n]x (active
    // rotation about n); the passive orientation matrix is its transpose.
    const double c = std::cos(angleRad), s = std::sin(angleRad), t = 1.0 - c;
    const double x = axis[0], y = axis[1], z = axis[2];
    const double r[3][3] = {{c + t * x * x, t * x * y - s * z, t * x * z + s * y},
                            {t * x * y + s * z, c + t * y * y, t * y * z - s * x},
                            {t * x * z - s * y, t * y * z + s * x, c + t * z * z}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            g[i][j] = r[j][i];
}

} // namespace orimath
