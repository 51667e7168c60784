#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "common/text_util.h"
#include "odf_internal.h"
#include "orimath/ranges.h"

namespace dataformats::odf {

bool CountsFit(int n1, int n, int n2, std::size_t textBytes) {
    if (n1 < 1 || n < 1 || n2 < 1 || n1 > 3601 || n > 3601 || n2 > 3601)
        return false;
    long long total = static_cast<long long>(n1) * n * n2;
    return total <= kMaxValues && total <= static_cast<long long>(textBytes / 2 + 1);
}

bool CountsFitText(TextStream& t, int n1, int n, int n2) {
    if (CountsFit(n1, n, n2, t.Size()))
        return true;
    char what[160];
    std::snprintf(what, sizeof what, "a %d x %d x %d grid does not fit this file", n1, n, n2);
    return t.FailAtLine(1, what);
}

bool NewGridFor(TextStream& t, int n1, int n, int n2, orimath::Grid3<double>* grid) {
    if (!CountsFitText(t, n1, n, n2))
        return false;
    auto made = orimath::TryGrid<double>(orimath::Extent3{.phi1 = n1, .Phi = n, .phi2 = n2});
    if (!made)
        return t.FailAtLine(1, "not enough memory for the grid");
    *grid = std::move(*made);
    return true;
}

bool IsUsableOdfResolution(double res) {
    return std::isfinite(res) && res >= 0.1 && res <= 90;
}

void PutSections(TextBuffer& out, double*** grid, int n1, int n, int n2, int precision,
                 const std::function<void(TextBuffer&, int)>& sectionLine) {
    for (int k = 0; k < n2; ++k) {
        sectionLine(out, k);
        for (int j = 0; j < n; ++j) {
            const double* row = grid[k][j];
            for (int i = 0; i < n1; ++i)
                out.Fixed(row[i], precision).Put('\t');
            out.Put('\n');
        }
    }
}

bool SectionFailed(TextStream& t, int k, int found, int expected) {
    std::string what = "section " + std::to_string(k + 1) + ": ";
    if (found < 0)
        what += "expected the section heading";
    else
        what += "expected " + std::to_string(expected) + " numbers, found " + std::to_string(found);
    if (t.AtEnd())
        what += " (the file ends here)";
    return t.Fail(std::move(what));
}

void SetPath(RawHODFInfo* info, const char* fileName) {
    CopyBounded(info->path, sizeof info->path, fileName ? fileName : "");
}

void TerminateTexts(RawHODFInfo* info) {
    for (auto& name : info->pfNames)
        name[sizeof name - 1] = '\0';
    info->path[sizeof info->path - 1] = '\0';
}

namespace {

// Window of the maximum search around a scaled index: [c - w, c + w - 1]
// clipped to the grid.
struct Window {
    int lo, hi; // inclusive; empty when lo > hi
};

Window WindowAt(int index5, double res, int w, int count) {
    int c = static_cast<int>(index5 * 5.0 / res);
    int lo = std::max(c - w, 0), hi = std::min(c + w - 1, count - 1);
    return {lo, hi};
}

} // namespace

void FillFull(const double* const* const* grid, int n1, int n, int n2, int crystal, double res,
              int sampleSym, double full[73][37][73]) {
    const bool same = std::fabs(res - 5.0) < 1e-4;
    // Largest file value in a box around every scaled 5-degree point (the
    // box maximum is taken one angle at a time); searches start from 0.
    std::vector<double> box;
    if (!same) {
        const int w = 1 - static_cast<int>(-2.5 / res);
        std::vector<double> p1(static_cast<std::size_t>(n2) * n * kFull1, 0.0);
        for (int k = 0; k < n2; ++k)
            for (int j = 0; j < n; ++j)
                for (int a = 0; a < kFull1; ++a) {
                    Window win = WindowAt(a, res, w, n1);
                    double m = 0.0;
                    for (int i = win.lo; i <= win.hi; ++i)
                        m = std::max(m, grid[k][j][i]);
                    p1[(static_cast<std::size_t>(k) * n + j) * kFull1 + a] = m;
                }
        std::vector<double> p2(static_cast<std::size_t>(n2) * kFull * kFull1, 0.0);
        for (int k = 0; k < n2; ++k)
            for (int b = 0; b < kFull; ++b) {
                Window win = WindowAt(b, res, w, n);
                for (int a = 0; a < kFull1; ++a) {
                    double m = 0.0;
                    for (int j = win.lo; j <= win.hi; ++j)
                        m = std::max(m, p1[(static_cast<std::size_t>(k) * n + j) * kFull1 + a]);
                    p2[(static_cast<std::size_t>(k) * kFull + b) * kFull1 + a] = m;
                }
            }
        box.assign(kFullValues, 0.0);
        for (int c = 0; c < kFull2; ++c) {
            Window win = WindowAt(c, res, w, n2);
            for (int b = 0; b < kFull; ++b)
                for (int a = 0; a < kFull1; ++a) {
                    double m = 0.0;
                    for (int k = win.lo; k <= win.hi; ++k)
                        m = std::max(m, p2[(static_cast<std::size_t>(k) * kFull + b) * kFull1 + a]);
                    box[(static_cast<std::size_t>(c) * kFull + b) * kFull1 + a] = m;
                }
        }
    }
    for (int k = 0; k < kFull2; ++k)
        for (int j = 0; j < kFull; ++j)
            for (int i = 0; i < kFull1; ++i) {
                int i1 = i, iPhi = j, i2 = k;
                ReduceODFSpace(&i1, &iPhi, &i2, crystal, 5.0, sampleSym);
                double v = 0.0;
                if (same) {
                    // The file's own counts bound the folded indices.
                    if (i1 >= 0 && i1 < n1 && iPhi >= 0 && iPhi < n && i2 >= 0 && i2 < n2)
                        v = grid[i2][iPhi][i1];
                } else if (i1 >= 0 && i1 < kFull1 && iPhi >= 0 && iPhi < kFull && i2 >= 0 &&
                           i2 < kFull2) {
                    v = box[(static_cast<std::size_t>(i2) * kFull + iPhi) * kFull1 + i1];
                }
                full[k][j][i] = v;
            }
}

} // namespace dataformats::odf
