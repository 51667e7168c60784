#pragma once
// Helpers shared by the orimath sources (not exported).
#include <cmath>

#include "orimath/constants.h"
#include "orimath/orientation.h"

namespace orimath {

// Lattice usable for lengths and angles: finite, positive lengths.
inline bool LatticeLengthsValid(const double lattice[6]) {
    for (int i = 0; i < 3; ++i)
        if (!std::isfinite(lattice[i]) || lattice[i] <= 0.0)
            return false;
    return true;
}

inline bool AllFinite(const double* v, int n) {
    for (int i = 0; i < n; ++i)
        if (!std::isfinite(v[i]))
            return false;
    return true;
}

inline double Clamp1(double x) {
    return x > 1.0 ? 1.0 : (x < -1.0 ? -1.0 : x);
}

// The one literal table of crystal operators in the lattice basis, as
// integer entries, type-major. Count per type in kSymOpCount.
extern const int kSymOpCount[kCrystalTypeCount];
const signed char (*LatticeOperator(int type, int op))[3];

// Unit quaternion (w, x, y, z).
struct Quat {
    double w = 1, x = 0, y = 0, z = 0;
};

// Quaternion of a rotation matrix g (rows as in Gmatrix); sign chosen w >= 0.
Quat QuatFromMatrix(const double g[3][3]);

// Matrix of the rotation by angleRad about the unit axis (Rodrigues), in
// the passive convention of Gmatrix.
void AxisAngleMatrix(const double axis[3], double angleRad, double g[3][3]);

// Cartesian proper-rotation operators of one crystal type (A*S*A^-1 of the
// lattice-basis table with the default lattice of the type); count out.
// Only for the types whose operators are proper rotations (not trigonal).
int CartesianOperators(int type, const double lattice[6], double ops[24][3][3]);

// The angle nudge GetSO applies before it builds the equivalents: phi1 and
// phi2 into [0, 360], and each angle moved 0.001 off 0, 90, 180, 270, 360.
// Returns false (angles unchanged) for non-finite input.
bool NudgeAngles(double euler[3]);

// v (Cartesian crystal frame) in lattice coordinates divided by a, b, c.
void LatticeCoordinates(const double A[3][3], const double lattice[6], const double v[3],
                        double uvw[3]);

// Gmatrix with a caller-chosen degrees-to-radians factor (some routines use
// the exact pi rather than the library's truncated constant).
void GmatrixWith(const double euler[3], double d2r, double g[3][3]);

} // namespace orimath
