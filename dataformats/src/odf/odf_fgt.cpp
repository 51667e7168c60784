// FGT text: four skipped lines, the three grid steps, the three range ends,
// one short line per pole figure, then the values with phi1 outermost and
// phi2 innermost.
#include <cmath>
#include <cstring>

#include "common/text_util.h"
#include "odf_internal.h"

namespace dataformats::odf {
namespace {

bool ThreeNumbers(std::string_view line, float v[3]) {
    TextStream t{std::string(line)};
    return t.ScanFloat(&v[0]) == kConverted && t.ScanFloat(&v[1]) == kConverted &&
           t.ScanFloat(&v[2]) == kConverted;
}

int Count(float end, float step) {
    double n = std::floor(end / step + 0.5) + 1;
    return (std::isfinite(n) && n >= 1 && n <= 3601) ? static_cast<int>(n) : 0;
}

} // namespace

bool ParseFGTHeader(TextStream& t, RawHODFInfo* info, int* n1, int* n, int* n2, int* headerLines) {
    t.Rewind();
    std::string_view line;
    if (!t.SkipLines(4, 1024))
        return false;
    float step[3], end[3];
    if (!t.GetLine(&line, 1024) || !ThreeNumbers(line, step))
        return false;
    if (!t.GetLine(&line, 1024) || !ThreeNumbers(line, end))
        return false;
    if (!(std::fabs(step[1] - step[0]) <= 0.5f) || !(std::fabs(step[2] - step[0]) <= 0.5f))
        return false;
    if (!IsUsableOdfResolution(step[0]))
        return false;
    int c1 = Count(end[0], step[0]), c = Count(end[1], step[0]), c2 = Count(end[2], step[0]);
    if (c1 == 0 || c == 0 || c2 == 0)
        return false;
    // Lines before the first long line (30 or more characters) name the pole figures.
    int nPF = 0;
    bool foundData = false;
    while (t.GetLine(&line, 1024)) {
        if (CutAtLineEnd(line).size() >= 30) {
            foundData = true;
            break;
        }
        ++nPF;
    }
    if (!foundData || nPF > 6)
        return false;
    const double lattice[6] = {1, 1, 1, 90, 90, 90};
    std::memcpy(info->lattice, lattice, sizeof lattice);
    info->crystalType = 0;
    for (int i = 0; i < 6; ++i) {
        info->hkl[i][0] = info->hkl[i][1] = info->hkl[i][2] = 1.0;
        info->pfNames[i][0] = '\0';
    }
    info->nPF = nPF;
    info->normalized = 1;
    info->stopMode = 2;
    info->tolerance = 0.0;
    info->deviation = 0.0;
    info->iterations = 6;
    info->fibreAverage = 0;
    info->sampleSymmetry = 1;
    info->resolution = step[0];
    *n1 = c1;
    *n = c;
    *n2 = c2;
    *headerLines = 6 + nPF;
    return true;
}

// A data block shorter than the grid, or a value that does not convert,
// fails the read (a truncated file is not taken for an ODF with zeros).
bool ReadFGTData(TextStream& t, int headerLines, int n1, int n, int n2,
                 orimath::Grid3<double>* out) {
    orimath::Grid3<double> grid;
    if (!NewGridFor(t, n1, n, n2, &grid))
        return false;
    t.Rewind();
    if (!t.SkipLines(headerLines, 1024))
        return t.Fail("the header ends early");
    for (int i = 0; i < n1; ++i)
        for (int j = 0; j < n; ++j)
            for (int k = 0; k < n2; ++k) {
                float v;
                if (t.ScanFloat(&v) != kConverted) {
                    const long long read = (static_cast<long long>(i) * n + j) * n2 + k;
                    return t.Fail("expected " +
                                  std::to_string(static_cast<long long>(n1) * n * n2) +
                                  " values, found " + std::to_string(read) +
                                  (t.AtEnd() ? " (the file ends here)" : ""));
                }
                grid[k][j][i] = v < 0 ? 0.0 : v;
            }
    *out = std::move(grid);
    return true;
}

} // namespace dataformats::odf
