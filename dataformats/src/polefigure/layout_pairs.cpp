// Layout 8: (azimuth, intensity) pairs, azimuth outermost: for each azimuth
// the intensities of all rings from the centre outwards.
#include <cmath>

#include "orimath/ranges.h"
#include "pf_internal.h"

namespace dataformats::pf {
namespace {

// First non-zero azimuth (the step), NaN when there is none.
double FindStep(TextStream& text) {
    text.Rewind();
    for (;;) {
        float az, v;
        if (text.ScanFloat(&az) != kConverted || text.ScanFloat(&v) != kConverted)
            return NAN;
        if (az != 0.0f)
            return az;
    }
}

long long CountPairs(TextStream& text) {
    text.Rewind();
    long long p = 0;
    float az, v;
    while (text.ScanFloat(&az) == kConverted && text.ScanFloat(&v) == kConverted)
        ++p;
    return p;
}

} // namespace

// The 1st, 3rd, 5th and 7th numbers are 0, the step is usable and the pairs
// fill at least one ring and no more rings than the grid has.
bool IsPairs(TextStream& text) {
    text.Rewind();
    float v[7];
    for (float& x : v)
        if (text.ScanFloat(&x) != kConverted)
            return false;
    if (v[0] != 0 || v[2] != 0 || v[4] != 0 || v[6] != 0)
        return false;
    double step = FindStep(text);
    if (!IsUsableResolution(step))
        return false;
    int nA = 0, nB = 0;
    Get_AB_Range_In_Full_PF_Space(&nA, &nB, step);
    long long rings = CountPairs(text) / nB;
    return rings >= 1 && rings <= nA;
}

int InfoPairs(TextStream& text, const char* fileName, PFFileInfo* info) {
    double step = FindStep(text);
    if (std::isnan(step))
        return text.Fail("no pair with a non-zero azimuth (the grid step)");
    if (!IsUsableResolution(step))
        return text.FailAtLine(1, "the azimuth step is not 0.1 to 90 degrees");
    int hkl[3];
    ReflectionFromPath(fileName ? fileName : "", false, hkl);
    info->resolution = step;
    info->description =
        NamedDescription("Cubic", hkl[0], hkl[1], hkl[2], step, static_cast<int>(90.0 / step + 1),
                         static_cast<int>(360.0 / step + 1));
    return 1;
}

int ReadPairs(TextStream& text, PFFileInfo* info, double** grid, int nA, int nB) {
    if (nA < 1 || nB < 2)
        return text.FailAtLine(1, "the grid size is not usable");
    ClearGrid(grid, nA, nB);
    long long pairs = CountPairs(text);
    long long rings = pairs / nB;
    if (rings < 1) // fewer pairs than one azimuth column
        return text.Fail("expected at least " + std::to_string(nB) +
                         " pairs (one per azimuth), found " + std::to_string(pairs));
    text.Rewind();
    // Pairs beyond the grid (more rings than the resolution gives, or a
    // partial last column) are dropped.
    for (long long p = 0; p < rings * nB; ++p) {
        float az, v;
        if (text.ScanFloat(&az) != kConverted || text.ScanFloat(&v) != kConverted)
            return text.Fail("expected " + std::to_string(rings * nB) + " pairs, found " +
                             std::to_string(p));
        long long row = p % rings, col = p / rings;
        if (row < nA && col < nB)
            grid[row][col] = v;
    }
    CentreRowToMean(grid, nB, nB - 1);
    NormalizPF(grid, info->resolution);
    return 1;
}

} // namespace dataformats::pf
