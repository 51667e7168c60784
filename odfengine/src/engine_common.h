#pragma once
// Pieces shared by the two engines (not exported).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "odfengine/engine_result.h"
#include "odfengine/progress.h"
#include "orimath/constants.h"

namespace odfengine {

// Degrees to radians as the engine's volume weights use it (pi taken as
// 3.141592654), and the slightly different factor of the ODF normalisation
// integral, kept because stored ODFs were normalised with it.
using orimath::kDegToRad;
using orimath::kDegToRadNorm;
using orimath::kRadToDeg;

// Status texts of the iteration.
inline constexpr const char* kDeviationStopText =
    "Deviation increased and calculation stoped.\n"
    "This may be due to following reasons:\n\n"
    "1. The average deviation has been very small. The calculation\n"
    "   terminated normally because the error can not be decreased\n"
    "   further with the specified input pole figure data.\n\n"
    "2. The file format of the input pole figure data is incorrect\n"
    "   or the h, k, l of the pole figures are inconsistent.\n";

// Failure text of an operation whose working arrays could not be allocated.
inline constexpr const char* kNoMemoryText = "Not enough memory for the calculation";

inline void Send(const ProgressCallback& cb, const std::string& text, int code) {
    if (cb)
        cb(text, code);
}

// Outcome of an operation: the failure text (also sent as a status line) or
// the cancellation recorded in *result; both return 0, the operation's int
// result.
int RecordFailure(EngineResult* result, const ProgressCallback& cb, const char* text);
int RecordCancel(EngineResult* result, const ProgressCallback& cb);

// Percentage num/den clamped to 0..100 (den <= 0 gives 100).
inline int Percent(long long num, long long den) {
    if (den <= 0)
        return 100;
    long long p = 100 * num / den;
    return (int)std::clamp<long long>(p, 0, 100);
}

// Copies the six lattice parameters (a, b, c, alpha, beta, gamma); without
// a source, the unit cube.
inline void CopyLattice(double dst[6], const double src[6]) {
    static const double kDefault[6] = {1, 1, 1, 90, 90, 90};
    std::memcpy(dst, src ? src : kDefault, 6 * sizeof(double));
}

// Resolutions the engines accept: the grids stay small enough for 16-bit
// table indices and every reduced range keeps at least two grid points.
inline bool ResolutionUsable(double res) {
    return std::isfinite(res) && res >= 0.1 && res <= 45.0;
}

// The deviation stop rule. One instance per engine object: the accepted
// iteration count lives with the calculation, so two engines running side
// by side do not disturb each other.
struct StopRule {
    // Updates previous/latest with the new deviation and returns 1 to go on,
    // 0 to stop (then the caller sends kDeviationStopText). incomplete
    // selects the 5 percent threshold instead of 1 percent.
    static int Test(double deviation, bool incomplete, double* previous, double* latest,
                    int* accepted);

    // The limits the user set, checked after each loop: the loop count
    // (stop modes 0 and 2), the tolerance (modes 1 and 2), and in every mode
    // a cap of max(maxLoops, 1000) loops (other modes rely on the deviation
    // rule alone).
    static bool LimitReached(int stopMode, int iteration, int maxLoops, double deviation,
                             double tolerance) {
        if ((stopMode == 0 || stopMode == 2) && iteration >= maxLoops)
            return true;
        if ((stopMode == 1 || stopMode == 2) && deviation < tolerance)
            return true;
        return iteration >= std::max(maxLoops, 1000);
    }
};

// The shared helpers below return their failure text (null on success)
// instead of sending it; the engine records and sends it.

// Reads nPF pole figure files into pf ([nPF][nAlpha][nBeta], contiguous),
// sending the start, reading and "File:" messages. Fails with "Can not read
// pole figure file" or "File resolution incorrect", or kCancelledText when
// the call's cancel token is set before a file. detail (optional) receives
// "<file>: <why>" for a file that failed.
const char* ReadPoleFigureFiles(const std::string files[], int nPF, int nAlpha, int nBeta,
                                double* pf, const ProgressCallback& cb,
                                std::string* detail = nullptr);

// Normalises one pole figure grid in place to multiples of a random
// distribution over its measured band of rows. A grid without a measured
// band (all zero, or data only in the first two rows) is left as it is.
void NormalizePoleFigure(double* pf, int nAlpha, int nBeta, double res);

// Orthorhombic sample symmetrisation: the four values at beta k, 180 - k,
// 180 + k and 360 - k are replaced by their mean. Indices past the grid (odd
// grids where 2*round(180/res) > round(360/res)) wrap round the circle.
void SymmetrizePoleFigure(double* pf, int nAlpha, int nBeta, double res);

// Every row replaced by its mean (fibre texture about ND).
void ForceFibrePoleFigure(double* pf, int nAlpha, int nBeta);

// Per-cell "measured" masks of the input pole figures ([nAlpha][nBeta], 1
// measured, 0 not). The iteration skips a measured value at or below its
// threshold, so a cell that was not measured is set to 0 and the
// preparation steps below leave it out of their means; from then on the
// whole iteration (initial ODF, correction, deviation) passes it by.

// Sets every unmeasured cell to 0.
void ClearUnmeasured(double* pf, const uint8_t* measured, int nAlpha, int nBeta);

// NormalizePoleFigure over the measured cells only: the band of rows is
// found as without a mask (after ClearUnmeasured), and the mean is the
// ring-weighted mean of the measured cells of those rows (closing column
// excluded).
void NormalizePoleFigure(double* pf, const uint8_t* measured, int nAlpha, int nBeta, double res);

// SymmetrizePoleFigure with a mask: each group of four takes the mean of its
// measured members, and becomes measured when any member was (the sample
// symmetry fills what one quadrant did not measure); a group without a
// measured member stays unmeasured.
void SymmetrizePoleFigure(double* pf, uint8_t* measured, int nAlpha, int nBeta, double res);

// ForceFibrePoleFigure with a mask: a row with a measured cell becomes the
// mean of its measured cells, all measured.
void ForceFibrePoleFigure(double* pf, uint8_t* measured, int nAlpha, int nBeta);

// The failure text when one of the first nPF masks is set for another grid
// than nAlpha x nBeta, else null.
const char* CheckMeasuredMasks(const std::vector<uint8_t> masks[], const int rows[],
                               const int cols[], int nPF, int nAlpha, int nBeta);
bool AnyMeasuredMask(const std::vector<uint8_t> masks[], int nPF);

// The preparation of one read pole figure with its mask (empty: every cell
// measured): unmeasured cells cleared, normalised when `normalize` is set,
// then forced to a fibre or symmetrised when those are set.
void PrepareMaskedPoleFigure(double* pf, std::vector<uint8_t> mask, int nAlpha, int nBeta,
                             double res, bool normalize, bool fibre, bool sampleSym);

// Stores a mask for SetMeasuredMask; 0 for an index outside 0..5 or
// non-positive counts.
int StoreMeasuredMask(std::vector<uint8_t> masks[], int rows[], int cols[], int index,
                      const uint8_t* measured, int nRows, int nCols);

// Measured cells of the outermost row below 1e-5, over all pole figures.
int CountEmptyRimCells(const double* pf, int nPF, int nAlpha, int nBeta);

// Mean deviation sum |P - Q| / P over the cells with P > 0.9 divided by
// their count; 0 when there is no such cell.
double MeanDeviation(const double* measured, const double* recalculated, size_t cells);

// Pole position in a pole figure: for the crystal unit vector h and the
// orientation (0, Phi, phi2) (radians), the alpha and beta of the sample
// direction of h on the upper hemisphere, in radians (beta in (-pi/2, 3pi/2)).
void PoleDirection(const double h[3], double Phi, double phi2, double* alpha, double* beta);

// The table cell of a pole at res degrees: alpha index trunc(alpha/res + 0.5)
// (at res = 2 an alpha below one step gives 0), beta index from
// round(beta/res) on the circle of nBeta - 1 steps, 0 at the centre.
void PoleCell(double alpha, double beta, double res, int nAlpha, int nBeta, int* a, int* b);

// Volume weights of Phi rows i = 0..count-1 at res: cos(lo) - cos(hi).
std::vector<double> PhiVolumes(int count, double res, double degToRad);

// Equivalent orientations, Miller conversions: shared by both engines.
const char* EquivalentOrientations(const double euler[3], double out[][3], int* count,
                                   int crystalType, const double lattice[6], int sampleSym);
const char* MillerToEuler(const int miller[6], double euler[3], int crystalType,
                          const double lattice[6]);
const char* EulerToMiller(const double euler[3], double miller[6], int crystalType,
                          const double lattice[6]);

// Symmetrically distinct unit poles of the plane (hkl): fails with
// normalText when the plane has no normal, and with "Can not calculate
// symmetrical vectors" when the poles cannot be generated.
const char* PolesOfPlane(const double hkl[3], int crystalType, const double lattice[6],
                         double poles[24][3], int* count, const char* normalText);

// OpenMP helpers. Threads() is the most threads a parallel region of the
// current call uses (scratch space is sized by it).
int Threads();

} // namespace odfengine
