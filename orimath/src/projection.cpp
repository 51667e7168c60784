// Where an orientation's poles fall on a pole figure, and where a sample
// direction falls on an inverse pole figure.
#include "orimath/projection.h"

#include <cmath>
#include <cstdio>
#include <numbers>

#include "internal.h"
#include "orimath/symmetry.h"

namespace orimath {
namespace {

// (alpha, beta) in degrees of a vector, folded to the upper hemisphere.
// beta uses arctan(y/x) plus pi for x < 0 (y*1e8 in place of the ratio
// when x is 0), as the pole figure grids do.
bool Position(double v[3], double pos[2]) {
    const double len = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (!(len > 0) || !std::isfinite(len))
        return false;
    for (int i = 0; i < 3; ++i)
        v[i] /= len;
    if (v[2] < 0)
        for (int i = 0; i < 3; ++i)
            v[i] = -v[i];
    using std::numbers::pi;
    double beta = std::atan(v[0] == 0 ? v[1] * 1e8 : v[1] / v[0]);
    if (v[0] < 0)
        beta += pi;
    pos[0] = std::acos(Clamp1(v[2])) * 180.0 / pi;
    pos[1] = beta * 180.0 / pi;
    if (pos[1] < 0)
        pos[1] += 360.0;
    return true;
}

// Sample direction of the crystal vector h: g^T h.
void ToSample(const double g[3][3], const double h[3], double y[3]) {
    for (int j = 0; j < 3; ++j)
        y[j] = g[0][j] * h[0] + g[1][j] * h[1] + g[2][j] * h[2];
}

} // namespace
} // namespace orimath

int Get_Ori_Pos_On_PF(double pos[][2], int* count, const double euler[3], const double hkl[3],
                      int crystalType, const double lattice[6]) {
    double n[3], poles[24][3];
    int m = 0;
    if (!orimath::AllFinite(euler, 3))
        return 0;
    if (!GetPlaneNormal(hkl, crystalType, lattice, n))
        return 0;
    if (!GetSymmetricPoles(n, crystalType, lattice, poles, &m))
        return 0;
    double g[3][3];
    orimath::GmatrixWith(euler, std::numbers::pi / 180.0, g);
    for (int k = 0; k < m; ++k) {
        double y[3];
        orimath::ToSample(g, poles[k], y);
        if (!orimath::Position(y, pos[k]))
            return 0;
    }
    *count = m;
    return 1;
}

int Get_Ori_Pos_On_PF2(double pos[2], const double euler[3], const double hkl[3], int crystalType,
                       const double lattice[6]) {
    double n[3], g[3][3], y[3];
    if (!orimath::AllFinite(euler, 3))
        return 0;
    if (!GetPlaneNormal(hkl, crystalType, lattice, n))
        return 0;
    orimath::GmatrixWith(euler, std::numbers::pi / 180.0, g);
    orimath::ToSample(g, n, y);
    return orimath::Position(y, pos) ? 1 : 0;
}

int Get_Ori_Pos_On_InvPF(double pos[2], double axes[3][3], const double euler[3],
                         const double sampleDirection[3], int crystalType,
                         const double lattice[6]) {
    double A[3][3];
    if (!orimath::LatticeLengthsValid(lattice) || !CrystalAxis(A, crystalType, lattice))
        return 0;
    if (!orimath::AllFinite(euler, 3) || !orimath::AllFinite(sampleDirection, 3))
        return 0;
    double g[3][3];
    orimath::GmatrixWith(euler, std::numbers::pi / 180.0, g);
    double c[3];
    for (int i = 0; i < 3; ++i)
        c[i] = g[i][0] * sampleDirection[0] + g[i][1] * sampleDirection[1] +
               g[i][2] * sampleDirection[2];
    double p[2];
    if (!orimath::Position(c, p))
        return 0;
    // ND, RD, TD: columns 2, 0, 1 of g in lattice coordinates.
    const int col[3] = {2, 0, 1};
    for (int k = 0; k < 3; ++k) {
        const double v[3] = {g[0][col[k]], g[1][col[k]], g[2][col[k]]};
        orimath::LatticeCoordinates(A, lattice, v, axes[k]);
    }
    pos[0] = p[0];
    pos[1] = p[1];
    return 1;
}

int IPF_From_Pixel_To_Pos(int x, int y, int R, int cx, int cy, double pos[2], int crystalType,
                          int sectorMode, int sectorFlag) {
    if (R < 1 || !orimath::IsValidCrystalType(crystalType))
        return 0;
    using std::numbers::pi;
    const double dx = double(x) - cx, dy = double(y) - cy;
    const double d = std::sqrt(dx * dx + dy * dy);
    const bool full = crystalType == orimath::kTriclinic || !sectorMode;
    const double rmax =
        (!full && sectorFlag && crystalType == orimath::kCubic) ? std::sqrt(2.0) * R : R;
    if (d > rmax)
        return 0;
    if (d < 1) {
        pos[0] = 0;
        pos[1] = 0;
        return 1;
    }
    const double alpha = 2 * std::atan(d / R) * 180 / pi;
    double beta = std::atan2(dx, dy) * 180 / pi;
    if (beta < 0)
        beta += 360;
    if (!full) {
        if (sectorFlag) {
            // Azimuth bounds of the sector each symmetry needs; positions keep
            // the azimuth of the full circle (no shift inside the sector).
            static const double kSector[6][2] = {{315, 360}, {270, 300}, {270, 315},
                                                 {270, 360}, {180, 360}, {240, 300}};
            const double lo = kSector[crystalType][0], hi = kSector[crystalType][1];
            const bool inside = (beta >= lo && beta <= hi) || (hi == 360 && beta == 0);
            if (!inside)
                return 0;
        } else {
            // Half plane of azimuths 90..270, turned by 90 degrees to 0..180.
            if (beta < 90 || beta > 270)
                return 0;
            beta -= 90;
        }
    }
    pos[0] = alpha;
    pos[1] = beta;
    return 1;
}

int IPF_From_Pos_To_Vec(const double pos[2], int crystalType, const double lattice[6],
                        double uvw[3], std::string* label) {
    double A[3][3];
    if (!orimath::LatticeLengthsValid(lattice) || !CrystalAxis(A, crystalType, lattice))
        return 0;
    if (!orimath::AllFinite(pos, 2))
        return 0;
    const double a = pos[0] * orimath::kDegToRad, b = pos[1] * orimath::kDegToRad;
    const double d[3] = {std::sin(a) * std::cos(b), std::sin(a) * std::sin(b), std::cos(a)};
    orimath::LatticeCoordinates(A, lattice, d, uvw);
    if (label) {
        char buf[80];
        int n[3];
        if (crystalType == orimath::kHexagonal) {
            const double four[3] = {(2 * uvw[0] - uvw[1]) / 3, (2 * uvw[1] - uvw[0]) / 3, uvw[2]};
            GetNiceVector(four, n);
            std::snprintf(buf, sizeof buf, "[%d %d %d %d]", n[0], n[1], -(n[0] + n[1]), n[2]);
        } else {
            GetNiceVector(uvw, n);
            std::snprintf(buf, sizeof buf, "[%d %d %d]", n[0], n[1], n[2]);
        }
        *label = buf;
    }
    return 1;
}
