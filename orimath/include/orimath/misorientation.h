#pragma once
// Misorientation between two orientations and cubic CSL classification.
// Euler angles in degrees. Nothing here allocates or keeps state between
// calls (the CSL reference data are built once, thread-safely).
#include <string>

#include "orimath/constants.h"

namespace orimath {
inline constexpr int kCubicCSLCount = 50; // table entries 0..49
inline constexpr int kNotCSL = 50;        // index meaning "no CSL relation"

struct CubicCSLEntry {
    const char* name; // "1", "3", "13a", ...; the Sigma value is its number
    double angleDeg;
    int axis[3]; // <uvw>
};
// The table row of index 0..49 (nullptr otherwise).
const CubicCSLEntry* GetCubicCSLEntry(int index);
// Sigma of the entry (the number in its name); 0 for an index outside 0..49.
int CubicCSLSigma(int index);
} // namespace orimath

// Cubic misorientation angle (degrees, 0..62.8) and CSL class by the Brandon
// criterion (deviation at most 15/sqrt(Sigma) degrees). On entry
// *sigmaIndex is the highest table index to test (values above 49 are
// clamped to 49; below 0 tests none); on return it is the first matching
// entry, or 50 when none matches. Non-finite angles give angle 0 and 50.
void GetMisOri(const double e1[3], const double e2[3], double* angle, int* sigmaIndex);

// names[0..49] = table names, names[50] = "Not CSL".
void InitCubicCSLName(std::string names[51]);

// Smallest misorientation angle in degrees over the crystal symmetry of the
// type. Returns -1 for an invalid crystal code, lattice or non-finite angles.
double GetMisOri_AllCrystalSym(const double e1[3], const double e2[3], int crystalType,
                               const double lattice[6]);

// Angle (degrees) and unit axis (Cartesian crystal frame of grain 1) of the
// smallest misorientation over crystal symmetry and grain exchange. The
// axis is reduced to the standard form: cubic |u| >= |v| >= |w| with all
// components >= 0; other types with w >= 0. For a zero angle the axis is
// (0, 0, 1). Returns 0 (outputs untouched) for an invalid crystal code,
// lattice or non-finite angles.
int GetMisOriAxis_AllCrystalSym(const double e1[3], const double e2[3], int crystalType,
                                const double lattice[6], double* angle, double axis[3]);

// 1 when e1 and e2 are within tolerance degrees over crystal symmetry.
int CompareOri(const double e1[3], const double e2[3], int crystalType, const double lattice[6],
               double tolerance);

// 1 when some symmetric pole of {hkl} lies within tolerance degrees of ND
// for orientation e. With recompute non-zero the poles of {hkl} are
// computed into poles/count (at most 24); otherwise the stored ones are
// used. 0 also when the poles cannot be computed.
int CompareFiberAxis(const double e[3], const double hkl[3], int crystalType,
                     const double lattice[6], double tolerance, int recompute, int* count,
                     double poles[24][3]);
