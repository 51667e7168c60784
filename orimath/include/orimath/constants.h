#pragma once
// Angle constants of the library. They are truncated values (pi taken as
// 3.141592654); stored files and the ODF grids were produced with them, so
// every conversion in orimath uses these and not the exact values.
namespace orimath {

inline constexpr double kPi = 3.141592654;
inline constexpr double kTwoPi = 6.283185308;
inline constexpr double kDegToRad = 0.017453292522222223;
// A second truncated degree factor, a few parts in 1e8 below kDegToRad. The
// ODF normalisation integral uses it for its cos-weighted Phi rows (HODF's
// normalisation and CODFlib's recalculated ODF); stored ODFs were normalised
// with it, so it stays distinct from kDegToRad.
inline constexpr double kDegToRadNorm = 0.017453292222222222;
inline constexpr double kRadToDeg = 57.29577950560105;
inline constexpr double k120Rad = 2.0943951026666667;
inline constexpr double k240Rad = 4.1887902053333335;

// Crystal system codes (CrystalType).
enum CrystalCode : int {
    kCubic = 0,
    kHexagonal = 1,
    kTetragonal = 2,
    kOrthorhombic = 3,
    kMonoclinic = 4,
    kTrigonal = 5, // rhombohedral axes
    kTriclinic = 6,
};
inline constexpr int kCrystalTypeCount = 7;
inline constexpr int kMaxSymOps = 24;

inline constexpr bool IsValidCrystalType(int type) {
    return type >= 0 && type < kCrystalTypeCount;
}

} // namespace orimath
