#pragma once
// Quaternion helpers for the misorientation code (not exported). A
// quaternion q stands for the matrix R(q) with the usual formula, so
// q(A*B) = q(A) (x) q(B) and q(A^T) = conj(q(A)).
#include <cmath>

#include "internal.h"

namespace orimath {

inline Quat Mul(const Quat& a, const Quat& b) {
    return {a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z,
            a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
            a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
            a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w};
}

inline Quat Conj(const Quat& a) {
    return {a.w, -a.x, -a.y, -a.z};
}

// Cosine of half the angle between the rotations a and b (up to sign).
inline double Dot(const Quat& a, const Quat& b) {
    return a.w * b.w + a.x * b.x + a.y * b.y + a.z * b.z;
}

// The proper rotation operators of a crystal type with its ideal lattice
// angles, as quaternions (computed once from the operator table). For
// trigonal, whose table holds improper operators, n is 0.
struct OperatorQuats {
    int n = 0;
    Quat q[24];
};
const OperatorQuats& IdealOperatorQuats(int type);

// The operators of a type for the caller's lattice as quaternions, when
// every Cartesian operator is a proper rotation. Returns false otherwise
// (trigonal, or a lattice that fails CrystalAxis or does not fit the type),
// in which case callers follow the equivalents of GetSO literally.
bool OperatorQuatsFor(int type, const double lattice[6], OperatorQuats* out);

// Largest |<d, s>| over the operators: cos(omega/2) of the smallest angle.
inline double MaxAbsDot(const Quat& d, const OperatorQuats& ops, int* best = nullptr) {
    double m = -1;
    for (int i = 0; i < ops.n; ++i) {
        const double v = std::fabs(Dot(d, ops.q[i]));
        if (v > m) {
            m = v;
            if (best)
                *best = i;
        }
    }
    return m;
}

inline double HalfCosToDeg(double c) {
    return 2.0 * std::acos(Clamp1(c)) * kRadToDeg;
}

// Rotation angle of q in radians, 0..pi; atan2 keeps full precision near 0
// where acos of the scalar part would lose half the digits.
inline double AngleRad(const Quat& q) {
    return 2.0 * std::atan2(std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z), std::fabs(q.w));
}

} // namespace orimath
