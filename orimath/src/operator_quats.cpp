#include <cmath>

#include "quat_ops.h"

namespace orimath {
namespace {

// Lattice angles with which the table's operators are rotations; lengths
// do not enter the Cartesian operators.
const double kIdealAngles[kCrystalTypeCount][3] = {{90, 90, 90}, {90, 90, 120}, {90, 90, 90},
                                                   {90, 90, 90}, {90, 90, 90},  {90, 90, 90},
                                                   {90, 90, 90}};

bool IsProperRotation(const double m[3][3]) {
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            const double d = m[0][i] * m[0][j] + m[1][i] * m[1][j] + m[2][i] * m[2][j];
            if (std::fabs(d - (i == j ? 1.0 : 0.0)) > 1e-9)
                return false;
        }
    const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                       m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                       m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    return det > 0;
}

bool Build(int type, const double lattice[6], OperatorQuats* out) {
    if (!IsValidCrystalType(type))
        return false;
    double A[3][3];
    if (!CrystalAxis(A, type, lattice))
        return false;
    double ops[24][3][3];
    const int n = CartesianOperators(type, lattice, ops);
    for (int k = 0; k < n; ++k) {
        if (!IsProperRotation(ops[k]))
            return false;
        out->q[k] = QuatFromMatrix(ops[k]);
    }
    out->n = n;
    return true;
}

} // namespace

const OperatorQuats& IdealOperatorQuats(int type) {
    static const struct Tables {
        OperatorQuats t[kCrystalTypeCount];
        Tables() {
            for (int type = 0; type < kCrystalTypeCount; ++type) {
                const double lat[6] = {
                    1, 1, 1, kIdealAngles[type][0], kIdealAngles[type][1], kIdealAngles[type][2]};
                if (!Build(type, lat, &t[type]))
                    t[type].n = 0;
            }
        }
    } tables;
    return tables.t[type];
}

bool OperatorQuatsFor(int type, const double lattice[6], OperatorQuats* out) {
    if (!IsValidCrystalType(type) || !AllFinite(lattice + 3, 3))
        return false;
    if (lattice[3] == kIdealAngles[type][0] && lattice[4] == kIdealAngles[type][1] &&
        lattice[5] == kIdealAngles[type][2]) {
        const OperatorQuats& ideal = IdealOperatorQuats(type);
        if (ideal.n == 0)
            return false;
        *out = ideal;
        return true;
    }
    return Build(type, lattice, out);
}

} // namespace orimath
