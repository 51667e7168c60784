#include "calcjobs/memory_estimate.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "orimath/ranges.h"
#include "platform/memory_info.h"

namespace calcjobs {
namespace {

// Process, libraries and small buffers besides the grids.
constexpr uint64_t kBaseline = 32ull << 20;
// Bytes per value of the text layouts (values like "12.3456 " plus line
// ends; measured on written HODF and HPF files).
constexpr uint64_t kTextBytesPerValue = 8;
// The most symmetrically distinct poles of one plane (cubic {hkl}).
constexpr uint64_t kMaxPoles = 24;
// Pole figure sized arrays of one recalculation: eight partial sums for the
// values and eight for the weights, the reduced and scattered sums.
constexpr uint64_t kRecalcFigures = 19;
// Accumulators of the inverse pole figure: 16 blocks of values and weights.
constexpr uint64_t kInverseFigures = 2 * 16 + 2;

bool FiveDegrees(double res) {
    return std::fabs(res - 5.0) < 0.001;
}

struct Counts {
    uint64_t odf = 0;  // ODF cells
    uint64_t rows = 0; // Phi x phi2 rows of the ODF (pointers, pole table)
    uint64_t pf = 0;   // pole figure cells
};

Counts CountsOf(int crystalType, double res, int sampleSym) {
    int n1 = 0, n = 0, n2 = 0, nA = 0, nB = 0;
    GetEulerRangeInODFSpace(&n1, &n, &n2, crystalType, res, sampleSym);
    Get_AB_Range_In_Full_PF_Space(&nA, &nB, res);
    Counts c;
    c.odf = (uint64_t)std::max(n1, 0) * std::max(n, 0) * std::max(n2, 0);
    c.rows = (uint64_t)std::max(n, 0) * std::max(n2, 0);
    c.pf = (uint64_t)std::max(nA, 0) * std::max(nB, 0);
    return c;
}

// The classic engine's full 73 x 37 x 73 grid, its pole table
// [6][72][144][24][2] of int16 and the pole figures.
constexpr uint64_t kClassicBytes =
    73ull * 37 * 73 * 8 * 2 + 6ull * 72 * 144 * 24 * 2 * 2 + 12ull * 19 * 73 * 8 + kBaseline;

std::string Size(uint64_t bytes) {
    char text[32];
    const double mb = (double)bytes / (1 << 20);
    if (mb < 1024)
        std::snprintf(text, sizeof text, "%.0f MB", mb);
    else
        std::snprintf(text, sizeof text, "%.1f GB", mb / 1024);
    return text;
}

} // namespace

uint64_t ODFJobPeakBytes(int crystalType, double res, int sampleSym, int nPF) {
    if (FiveDegrees(res))
        return kClassicBytes;
    const Counts c = CountsOf(crystalType, res, sampleSym);
    const uint64_t figures = (uint64_t)std::clamp(nPF, 1, 6);
    const uint64_t grid = c.odf * 8 + c.rows * 8;
    // Measured, recalculated and cached weights per pole figure, and one
    // recalculation's temporaries.
    const uint64_t poleFigures = (3 * figures + kRecalcFigures) * c.pf * 8;
    const uint64_t poleTable = figures * c.rows * kMaxPoles * 2 * 2;
    // Smoothing of incomplete data: fixed-point flags and float values.
    const uint64_t smoothing = c.odf * (1 + 4);
    const uint64_t compute = grid + poleFigures + poleTable + smoothing;
    const uint64_t save = grid + c.odf * kTextBytesPerValue;
    return std::max(compute, save) + kBaseline;
}

uint64_t RecalculationJobPeakBytes(int crystalType, double res, int sampleSym, bool inverse) {
    if (FiveDegrees(res))
        return kClassicBytes;
    const Counts c = CountsOf(crystalType, res, sampleSym);
    const uint64_t read = c.odf * 8 + c.rows * 8 + c.odf * kTextBytesPerValue;
    const uint64_t work = inverse ? kInverseFigures * c.pf * 8
                                  : kRecalcFigures * c.pf * 8 + c.rows * kMaxPoles * 2 * 2;
    const uint64_t figure = c.pf * (8 + 8 + kTextBytesPerValue);
    return read + work + figure + kBaseline;
}

std::string MemoryRefusal(uint64_t needed, uint64_t available) {
    if (available == 0 || needed <= available)
        return {};
    return "Not enough memory: the calculation needs about " + Size(needed) + ", only " +
           Size(available) + " are available";
}

std::string CheckAvailableMemory(uint64_t needed) {
    return MemoryRefusal(needed, platform::AvailablePhysicalMemory());
}

} // namespace calcjobs
