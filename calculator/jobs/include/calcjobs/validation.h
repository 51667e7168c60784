#pragma once
// The checks that the calculation dialogs make when the user presses OK,
// shared by the dialogs and quelta-cli so that both refuse the same input
// with the same words. Each returns an empty string when the input is
// acceptable, otherwise the message to show (the first failing check wins).
#include <span>
#include <string>

namespace calcjobs {

// One input pole figure of the ODF command.
struct PoleFigureInput {
    std::string file;
    double h = 0, k = 0, l = 0;
};

inline constexpr int kMaxPoleFigures = 6;

// Resolution limits of the arbitrary-resolution engine: its grids keep 16-bit
// table indices and every reduced range keeps at least two grid points.
// Whether a fine grid fits into memory is checked by the jobs against the
// memory available (memory_estimate.h).
inline constexpr double kMinResolution = 0.1;
inline constexpr double kMaxResolution = 45.0;

// Grid step of an ODF or pole figure in degrees: finite and within the
// limits, exactly as the engine checks them.
std::string ValidateResolution(double res);

// ODF command: for each pole figure in order, an empty file name gives
// "Input the file names of all pole figurrs" and h = k = l = 0 gives
// "Invalid Miller indices"; then an empty output name gives "Must give an ODF
// file name"; then the resolution is checked. No pole figure at all is
// reported like a missing file name, more than six is refused.
std::string ValidateODFSetup(std::span<const PoleFigureInput> poleFigures,
                             const std::string& odfFile, double res);

// Pole figure command: |h|, |k|, |l| all below 0.0001 gives "Invalid h, k, l
// values"; an empty output name gives "Must give an PF file name".
std::string ValidatePFSetup(double h, double k, double l, const std::string& pfFile);

// Inverse pole figure command: an empty output name gives "Must give an
// inverse pole figure file name".
std::string ValidateIPFSetup(const std::string& ipfFile);

// Lattice values that the ODF dialog shows for a crystal system: the
// constrained parameters take their fixed values (cubic 1 1 1 90 90 90,
// hexagonal a = b = 1 and gamma 120, ...), the free ones keep `current`
// (a, b, c, alpha, beta, gamma). Trigonal (rhombohedral axes) copies beta
// into alpha and gamma. Codes outside 0..6 return `current` unchanged.
void ApplyCrystalSystemRule(int crystalType, const double current[6], double out[6]);

} // namespace calcjobs
