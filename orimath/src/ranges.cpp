// Grid counts of pole figures and reduced ODF regions, and folding of grid
// points into the reduced region.
#include "orimath/ranges.h"

#include <cmath>
#include <cstdint>

#include "orimath/constants.h"

namespace {

// Resolutions outside this range give step counts that are zero or do not
// fit the integer grid arithmetic.
bool ResValid(double res) {
    return std::isfinite(res) && res > 0 && 60.0 / res + 0.5 >= 1.0 && 360.0 / res < 1e7;
}

int Steps(double range, double res) {
    return static_cast<int>(range / res + 0.5);
}

// Non-negative remainder.
int64_t Mod(int64_t x, int64_t m) {
    const int64_t r = x % m;
    return r < 0 ? r + m : r;
}

struct Steps4 {
    int64_t s360, s180, s90, s60;
};

void Fold(int* pi1, int* piPhi, int* pi2, int type, const Steps4& s, int sampleSym) {
    const int64_t S360 = s.s360, S180 = s.s180, S90 = s.s90, S60 = s.s60;
    int64_t i1 = *pi1, iPhi = *piPhi, i2 = *pi2;

    iPhi = Mod(iPhi, S360);
    if (iPhi > S180) {
        iPhi = S360 - iPhi;
        i1 += S180;
        i2 += S180;
    }
    i2 = Mod(i2, S360);
    i1 = Mod(i1, S360);

    switch (type) {
    case orimath::kCubic:
    case orimath::kTetragonal:
        while (i2 > S90)
            i2 -= S90;
        if (sampleSym) {
            if (i1 > S180) {
                iPhi = S180 - iPhi;
                i1 -= S180;
                i2 = S90 - i2;
            }
            if (iPhi > S90) {
                iPhi = S180 - iPhi;
                i2 = S90 - i2;
            }
            if (i1 > S90) {
                i1 = S180 - i1;
                i2 = S90 - i2;
            }
        } else if (iPhi > S90) {
            iPhi = S180 - iPhi;
            i1 = Mod(i1 + S180, S360);
            i2 = S90 - i2;
        }
        break;
    case orimath::kHexagonal:
        while (i2 >= S60)
            i2 -= S60;
        if (sampleSym) {
            if (i1 > S180) {
                i1 -= S180;
                iPhi = S180 - iPhi;
                i2 = S60 - i2;
            }
            if (iPhi > S90) {
                iPhi = S180 - iPhi;
                i2 = S60 - i2;
            }
            if (i1 > S90) {
                i1 = S180 - i1;
                i2 = S60 - i2;
            }
        } else if (iPhi > S90) {
            iPhi = S180 - iPhi;
            i2 = S60 - i2;
            i1 = Mod(i1 - S180 + S360, S360);
        }
        break;
    case orimath::kOrthorhombic:
        if (sampleSym) {
            if (i1 > S180)
                i1 -= S180;
            if (i2 > S180) {
                i2 -= S180;
                iPhi = S180 - iPhi;
                i1 = S180 - i1;
            }
            if (i2 > S90) {
                i2 = S180 - i2;
                iPhi = S180 - iPhi;
            }
            if (iPhi > S90) {
                iPhi = S180 - iPhi;
                i1 = S180 - i1;
            }
        } else {
            if (i2 > S180)
                i2 -= S180;
            if (i1 > S180) {
                i1 -= S180;
                iPhi = S180 - iPhi;
                i2 = S180 - i2;
            }
        }
        break;
    case orimath::kMonoclinic:
        if (sampleSym) {
            if (i1 > S180)
                i1 -= S180;
            if (i2 > S180) {
                i2 -= S180;
                iPhi = S180 - iPhi;
                i1 = S180 - i1;
            }
            if (i2 > S90) {
                i2 = S180 - i2;
                i1 = S180 - i1;
            }
        } else if (i2 > S180) {
            i2 = S360 - i2;
            iPhi = S180 - iPhi;
            i1 = Mod(i1 - S180 + S360, S360);
        }
        break;
    case orimath::kTrigonal:
        if (sampleSym) {
            if (i1 > S180)
                i1 -= S180;
            while (i2 > 2 * S60)
                i2 -= 2 * S60;
            if (i1 > S90)
                i1 = S180 - i1;
            if (iPhi > S90) {
                iPhi = S180 - iPhi;
                i2 = Mod(i2 - S60 + S360, 2 * S60);
            }
        } else {
            while (i2 > 2 * S60)
                i2 -= 2 * S60;
            if (i1 > S180) {
                i1 -= S180;
                iPhi = S180 - iPhi;
                i2 = Mod(i2 + S60, 2 * S60);
            }
        }
        break;
    case orimath::kTriclinic:
        if (sampleSym) {
            if (i1 > S180)
                i1 -= S180;
            if (i2 > S180) {
                i2 -= S180;
                iPhi = S180 - iPhi;
                i1 = S180 - i1;
            }
        }
        break;
    default:
        break;
    }
    *pi1 = static_cast<int>(i1);
    *piPhi = static_cast<int>(iPhi);
    *pi2 = static_cast<int>(i2);
}

} // namespace

int GridCount(double range, double res) {
    if (!ResValid(res) || !std::isfinite(range) || range < 0)
        return 0;
    return Steps(range, res) + 1;
}

void Get_AB_Range_In_Full_PF_Space(int* nAlpha, int* nBeta, double res) {
    *nAlpha = GridCount(90, res);
    *nBeta = GridCount(360, res);
}

void GetEulerRangeInODFSpace(int* nPhi1, int* nPhi, int* nPhi2, int crystalType, double res,
                             int sampleSym) {
    // Ranges in degrees {phi1, Phi, phi2}: [type][sampleSym != 0]; the last
    // row is taken by codes outside 0..6.
    static const int kRange[8][2][3] = {
        {{360, 90, 90}, {90, 90, 90}},      {{360, 90, 60}, {90, 90, 60}},
        {{360, 90, 90}, {90, 90, 90}},      {{180, 180, 180}, {180, 90, 90}},
        {{360, 180, 180}, {180, 180, 90}},  {{180, 180, 120}, {90, 90, 120}},
        {{360, 180, 360}, {180, 180, 180}}, {{360, 90, 90}, {360, 90, 90}}};
    const int row = orimath::IsValidCrystalType(crystalType) ? crystalType : 7;
    const int* r = kRange[row][sampleSym ? 1 : 0];
    *nPhi1 = GridCount(r[0], res);
    *nPhi = GridCount(r[1], res);
    *nPhi2 = GridCount(r[2], res);
}

void GetEulerRange(int crystalType, int range[6], int sampleSym) {
    int n1, n, n2;
    GetEulerRangeInODFSpace(&n1, &n, &n2, crystalType, 5.0, sampleSym);
    range[0] = 0;
    range[1] = n1 - 1;
    range[2] = 0;
    range[3] = n - 1;
    range[4] = 0;
    range[5] = n2 - 1;
}

void ReduceODFSpace(int* i1, int* iPhi, int* i2, int crystalType, double res, int sampleSym) {
    if (!ResValid(res))
        return;
    const Steps4 s{Steps(360, res), Steps(180, res), Steps(90, res), Steps(60, res)};
    Fold(i1, iPhi, i2, crystalType, s, sampleSym);
}

void ReduceODFSpace2(int* phi1, int* Phi, int* phi2, int crystalType, int sampleSym) {
    Fold(phi1, Phi, phi2, crystalType, Steps4{360, 180, 90, 60}, sampleSym);
}
