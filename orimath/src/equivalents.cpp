// Symmetrically equivalent orientations of one orientation.
#include <cmath>

#include "internal.h"
#include "orimath/orientation.h"
#include "orimath/symmetry.h"

namespace {

// Moves an angle off the values where the Euler angles are degenerate or
// on a grid border, so that every equivalent converts unambiguously.
double Nudge(double x, bool isPhi) {
    static const double kMarks[5] = {0, 90, 180, 270, 360};
    for (double v : kMarks) {
        if (std::fabs(x - v) < 0.001) {
            if (v == 0)
                return 0.001;
            if (isPhi && v == 180 && x > 180)
                return 180.001;
            return v - 0.001;
        }
    }
    return x;
}

// Into [0, 360]: what repeated subtraction or addition of 360 gives, done
// with a remainder so that huge angles cost nothing.
double Wrap360(double x) {
    if (x > 360) {
        x = std::fmod(x, 360.0);
        return x == 0 ? 360.0 : x;
    }
    if (x < 0) {
        x = std::fmod(x, 360.0);
        return x < 0 ? x + 360.0 : 0.0;
    }
    return x;
}

} // namespace

namespace orimath {
bool NudgeAngles(double euler[3]) {
    if (!AllFinite(euler, 3))
        return false;
    euler[0] = Nudge(Wrap360(euler[0]), false);
    euler[1] = Nudge(euler[1], true);
    euler[2] = Nudge(Wrap360(euler[2]), false);
    return true;
}
} // namespace orimath

int GetSO(double euler[3], double out[][3], int* count, int crystalType, const double lattice[6],
          int sampleSym) {
    if (!orimath::IsValidCrystalType(crystalType) || !orimath::AllFinite(euler, 3))
        return 0;
    double A[3][3];
    // The Cartesian operators need the crystal axes; without them the
    // equivalents would be products with non-rotations.
    if (!CrystalAxis(A, crystalType, lattice))
        return 0;
    orimath::NudgeAngles(euler);

    double ops[24][3][3], sam[4][3][3], g[3][3];
    const int nc = orimath::CartesianOperators(crystalType, lattice, ops);
    SamSymData(sam);
    Gmatrix(euler, g);
    const int ns = sampleSym ? 4 : 1;
    *count = nc * ns;
    int k = 0;
    for (int c = 0; c < nc; ++c) {
        double sg[3][3];
        MulMatrix(ops[c], g, sg);
        for (int s = 0; s < ns; ++s) {
            double G[3][3], e[3];
            MulMatrix(sg, sam[s], G);
            if (!Eulerangle(G, e))
                return 0;
            for (int i = 0; i < 3; ++i)
                out[k][i] = e[i] * orimath::kRadToDeg;
            ++k;
        }
    }
    return 1;
}
