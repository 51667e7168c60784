// Random orientations drawn from an ODF by rejection sampling.
#include "orimath/random_orientation.h"

#include <cmath>
#include <ctime>
#include <vector>

#include "internal.h"
#include "orimath/misorientation.h"
#include "platform/msvc_rand.h"

namespace orimath {
namespace {

// A uniform value in [0, 1] from the 15-bit generator.
double R() {
    return platform::MsvcRand() * 3.051850947599719e-5;
}

struct Grid {
    int n1, n, n2;
    double res;
    double cosMax;
};

bool GridValid(int n1, int n, int n2, double res) {
    return n1 >= 1 && n >= 1 && n2 >= 1 && std::isfinite(res) && res > 0;
}

Grid MakeGrid(int n1, int n, int n2, double res) {
    return {n1, n, n2, res, std::cos((n - 1) * res * kDegToRad)};
}

// One draw of step 1: u, phi1, Phi (uniform in cos Phi), phi2 in this order,
// which is the order in which the generator's values are used.
void Draw(const Grid& g, double fmax, double* u, double e[3]) {
    *u = R() * fmax;
    e[0] = R() * (g.n1 - 1) * g.res;
    e[1] = std::acos(Clamp1(R() * (1 - g.cosMax) + g.cosMax)) * kRadToDeg;
    e[2] = R() * (g.n2 - 1) * g.res;
}

int Cell(double angle, double res, int n) {
    const int i = static_cast<int>((res / 2 + angle) / res);
    return i < 0 ? 0 : (i >= n ? n - 1 : i);
}

// u <= f, except that a cell of zero (or negative, or NaN) density is never
// taken: the generator gives u = 0 once in 32768 draws, which would
// otherwise place orientations where the ODF is empty.
bool Accept(double u, double f) {
    return f > 0 && u <= f;
}

template <class Lookup> bool Sample(const Lookup& f, const Grid& g, double fmax, double e[3]) {
    for (long k = 0; k < kMaxRandomDraws; ++k) {
        double u, d[3];
        Draw(g, fmax, &u, d);
        if (Accept(u,
                   f(Cell(d[0], g.res, g.n1), Cell(d[1], g.res, g.n), Cell(d[2], g.res, g.n2)))) {
            e[0] = d[0];
            e[1] = d[1];
            e[2] = d[2];
            return true;
        }
    }
    return false;
}

template <class Lookup>
int SampleMany(const Lookup& f, int n1, int n, int n2, double res, double out[][3], int count) {
    if (!out || count < 0 || !GridValid(n1, n, n2, res))
        return 0;
    double fmax = 0;
    for (int i2 = 0; i2 < n2; ++i2)
        for (int i = 0; i < n; ++i)
            for (int i1 = 0; i1 < n1; ++i1) {
                const double v = f(i1, i, i2);
                if (v > fmax)
                    fmax = v; // NaN cells never count
            }
    if (!(fmax > 0) || !std::isfinite(fmax))
        return 0;
    platform::MsvcSrand(static_cast<uint32_t>(std::time(nullptr)));
    const Grid g = MakeGrid(n1, n, n2, res);
    // Drawn into a buffer so that a failure leaves the caller's array as it was.
    std::vector<double> buf(3 * static_cast<size_t>(count));
    for (int k = 0; k < count; ++k)
        if (!Sample(f, g, fmax, &buf[3 * static_cast<size_t>(k)]))
            return 0;
    for (int k = 0; k < count; ++k)
        for (int j = 0; j < 3; ++j)
            out[k][j] = buf[3 * static_cast<size_t>(k) + j];
    return 1;
}

} // namespace
} // namespace orimath

int GetOneRandOri(double*** odf, double euler[3], double fmax, int nPhi1, int nPhi, int nPhi2,
                  double res) {
    using namespace orimath;
    if (!odf || !GridValid(nPhi1, nPhi, nPhi2, res) || !(fmax > 0) || !std::isfinite(fmax))
        return 0;
    auto f = [odf](int i1, int i, int i2) { return odf[i2][i][i1]; };
    return Sample(f, MakeGrid(nPhi1, nPhi, nPhi2, res), fmax, euler) ? 1 : 0;
}

int GetOneRandOriWithinFiber(double*** odf, double euler[3], double fmax, int nPhi1, int nPhi,
                             int nPhi2, double res, const double hkl[3], int crystalType,
                             const double lattice[6], double tolerance, int firstCall, int* count,
                             double poles[24][3]) {
    using namespace orimath;
    if (!odf || !GridValid(nPhi1, nPhi, nPhi2, res) || !(fmax > 0) || !std::isfinite(fmax))
        return 0;
    if (!(tolerance > 0))
        return 0; // no orientation can pass the fibre test
    if (!IsValidCrystalType(crystalType))
        return 0;
    if (firstCall) {
        // The poles the first draw would compute; a fibre without poles can
        // never be reached, so give up before drawing.
        double n[3];
        int m = 0;
        if (!GetPlaneNormal(hkl, crystalType, lattice, n) ||
            !GetSymmetricPoles(n, crystalType, lattice, poles, &m))
            return 0;
        *count = m;
    } else if (*count < 1 || *count > 24) {
        return 0;
    }
    const Grid g = MakeGrid(nPhi1, nPhi, nPhi2, res);
    for (long k = 0; k < kMaxRandomDraws; ++k) {
        double u, d[3];
        Draw(g, fmax, &u, d);
        const int onFibre =
            CompareFiberAxis(d, hkl, crystalType, lattice, tolerance, 0, count, poles);
        const double f = odf[Cell(d[2], res, nPhi2)][Cell(d[1], res, nPhi)][Cell(d[0], res, nPhi1)];
        if (Accept(u, f) && onFibre) {
            euler[0] = d[0];
            euler[1] = d[1];
            euler[2] = d[2];
            return 1;
        }
    }
    return 0;
}

int GetRandOri_Ab_Res(double*** odf, double out[][3], int count, int nPhi1, int nPhi, int nPhi2,
                      double res) {
    if (!odf)
        return 0;
    auto f = [odf](int i1, int i, int i2) { return odf[i2][i][i1]; };
    return orimath::SampleMany(f, nPhi1, nPhi, nPhi2, res, out, count);
}

int GetRandOri(const double odf[73][37][73], double out[][3], int count, int nPhi1, int nPhi,
               int nPhi2) {
    if (!odf || nPhi1 > 73 || nPhi > 37 || nPhi2 > 73)
        return 0;
    auto f = [odf](int i1, int i, int i2) { return odf[i2][i][i1]; };
    return orimath::SampleMany(f, nPhi1, nPhi, nPhi2, 5.0, out, count);
}
