#include "orimath_draw/contour_map.h"

#include <cmath>

#include "orimath/constants.h"
#include "orimath_draw/contour_cell.h"

namespace {

// The library's truncated conversion constants (degrees to radians, and the
// same halved for the stereographic half angle).
using orimath::kDegToRad;
constexpr double kHalfDegToRad = kDegToRad / 2;

bool RowHasData(double** map, int row, int firstColumn, int nColumns) {
    const double* r = map[row];
    if (!r)
        return false;
    for (int c = firstColumn; c < firstColumn + nColumns; ++c)
        if (std::fabs(r[c]) > 1e-5)
            return true;
    return false;
}

} // namespace

void DrawContourMap(CDC* dc, int left, int top, int right, int /*bottom*/, double** map,
                    double step, int firstColumn, int nColumns, int firstRow, int nRows,
                    int nLevels, const COLORREF colour[10], const int width[10],
                    const double level[10], int mono, int mode, int /*reserved*/) {
    if (!dc || !map || !colour || !width || !level || nLevels <= 0)
        return;
    if (nLevels > 10)
        nLevels = 10;
    if (nColumns < 2 || nRows < 2 || firstColumn < 0 || firstRow < 0)
        return;

    const int D = right - left;
    int rowBegin = 0;
    int rowLast = 0; // cells run from rowBegin to rowLast - 1
    if (mode == 0) {
        int first = 0;
        for (int r = 0; r <= nRows - 2; ++r)
            if (RowHasData(map, r, firstColumn, nColumns)) {
                first = r;
                break;
            }
        int last = 0;
        for (int r = nRows - 1; r >= 2; --r)
            if (RowHasData(map, r, firstColumn, nColumns)) {
                last = r;
                break;
            }
        rowBegin = first;
        rowLast = last;
    } else {
        rowBegin = firstRow;
        rowLast = firstRow + nRows - 1;
    }
    const double s = static_cast<double>(D) / (nColumns - 1);

    auto toDevice = [&](const orimath::GridPos& g) -> CPoint {
        if (mode == 1) {
            return {left + static_cast<int>((g.col - firstColumn) * s),
                    top + static_cast<int>((g.row - firstRow) * s)};
        }
        const double R = std::tan(g.row * step * kHalfDegToRad);
        const double theta = (g.col * step + 90.0) * kDegToRad;
        return {left + static_cast<int>(std::cos(theta) * R * D * 0.5 + (D + 1) * 0.5),
                top + static_cast<int>(D / 2 - std::sin(theta) * R * D * 0.5 + 0.5)};
    };

    for (int k = 10 - nLevels; k <= 9; ++k) {
        CPen pen(PS_SOLID, width[k], mono ? 0 : colour[k]);
        CPen* old = dc->SelectObject(&pen);
        const double L = level[k];
        for (int r = rowBegin; r < rowLast; ++r) {
            const double* v0 = map[r];
            const double* v1 = map[r + 1];
            if (!v0 || !v1)
                continue;
            for (int c = firstColumn; c <= firstColumn + nColumns - 2; ++c) {
                orimath::ContourCellSegments(
                    v0[c], v1[c], v0[c + 1], v1[c + 1], L, r, c,
                    [&](const orimath::GridPos& a, const orimath::GridPos& b) {
                        CPoint pa = toDevice(a);
                        CPoint pb = toDevice(b);
                        if (pa == pb)
                            return;
                        dc->MoveTo(pa);
                        dc->LineTo(pb);
                    });
            }
        }
        dc->SelectObject(old);
    }
}
