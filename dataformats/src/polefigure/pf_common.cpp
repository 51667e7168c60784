#include <algorithm>
#include <cmath>
#include <cstdio>

#include "common/text_util.h"
#include "pf_internal.h"

namespace dataformats::pf {

bool IsUsableResolution(double res) {
    return std::isfinite(res) && res >= kMinResolution && res <= kMaxResolution;
}

void PutDescription(char* buffer, std::string_view text) {
    CopyBounded(buffer, kDescriptionSize, text);
}

std::string UnknownDescription(std::string_view hklText, double res, int nA, int nB) {
    char buf[kDescriptionSize + 128];
    std::snprintf(buf, sizeof buf,
                  "Unknown, %.*s, %.2f, %d x %d, (1.00 1.00 1.00 90.00 90.00 90.00), Unknown",
                  static_cast<int>(std::min<std::size_t>(hklText.size(), kDescriptionSize)),
                  hklText.data(), res, nA, nB);
    return buf;
}

std::string NamedDescription(std::string_view name, int h, int k, int l, double res, int nA,
                             int nB) {
    char buf[kDescriptionSize + 192];
    std::snprintf(buf, sizeof buf,
                  "%.*s, (%d %d %d), %.2f, %d x %d, (1.00 1.00 1.00 90.00 90.00 90.00), Unknown",
                  static_cast<int>(std::min<std::size_t>(name.size(), kDescriptionSize)),
                  name.data(), h, k, l, res, nA, nB);
    return buf;
}

void ClearGrid(double** grid, int nA, int nB) {
    for (int i = 0; i < nA; ++i)
        for (int j = 0; j < nB; ++j)
            grid[i][j] = 0.0;
}

void CentreRowToMean(double** grid, int nB, int count) {
    if (count <= 0)
        return;
    double sum = 0.0;
    for (int j = 0; j < count && j < nB; ++j)
        sum += grid[0][j];
    double mean = sum / count;
    for (int j = 0; j < nB; ++j)
        grid[0][j] = mean;
}

void ReflectionFromPath(std::string_view path, bool try111, int hkl[3]) {
    auto set = [hkl](int h, int k, int l) {
        hkl[0] = h;
        hkl[1] = k;
        hkl[2] = l;
    };
    if (Contains(path, "200"))
        set(2, 0, 0);
    else if (Contains(path, "110"))
        set(1, 1, 0);
    else if (Contains(path, "211"))
        set(2, 1, 1);
    else if (try111 && Contains(path, "111"))
        set(1, 1, 1);
    else
        set(2, 0, 0);
}

} // namespace dataformats::pf
