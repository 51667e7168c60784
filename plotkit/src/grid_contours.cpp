#include "plotkit/grid_contours.h"

#include <cmath>

#include "orimath/constants.h"
#include "plotkit/display_common.h"

namespace plotkit {

namespace {
using orimath::kDegToRad;
using orimath::kRadToDeg;
} // namespace

void DrawGridContours(CDC* dc, const double* grid, int nCols, int iBegin, int iEnd, int jBegin,
                      int jEnd, const ContourStyle& style, const SegmentMapper& map) {
    const int count = CheckedLevelCount(style.count);
    if (count <= 0)
        return;
    for (int k = 10 - count; k <= 9; ++k) {
        ScopedPen pen(dc, style.penWidth, ChooseColor(dc, style.blackWhite, style.colours[k]));
        const double L = style.levels[k];
        for (int i = iBegin; i < iEnd; ++i) {
            const double* r0 = grid + static_cast<long>(i) * nCols;
            const double* r1 = r0 + nCols;
            for (int j = jBegin; j < jEnd; ++j) {
                orimath::ContourCellSegments(
                    r0[j], r1[j], r0[j + 1], r1[j + 1], L, i, j,
                    [&](const orimath::GridPos& a, const orimath::GridPos& b) {
                        CPoint pa, pb;
                        if (!map(a, b, pa, pb) || pa == pb)
                            return;
                        dc->MoveTo(pa);
                        dc->LineTo(pb);
                    });
            }
        }
    }
}

CPoint StereoPoint(double a, double b, int R, int left, int top) {
    const double theta = (5.0 * b + 90.0) * kDegToRad;
    const double rho = std::tan(2.5 * a * kDegToRad) * R;
    return {static_cast<int>(std::cos(theta) * rho + R + 0.5) + left,
            static_cast<int>(R - std::sin(theta) * rho + 0.5) + top};
}

void DrawStereoContours(CDC* dc, const double* grid, int iBegin, int iEnd, int jBegin, int jEnd,
                        const ContourStyle& style, int R, int left, int top) {
    DrawGridContours(
        dc, grid, 73, iBegin, iEnd, jBegin, jEnd, style,
        [&](const orimath::GridPos& a, const orimath::GridPos& b, CPoint& pa, CPoint& pb) {
            pa = StereoPoint(a.row, a.col, R, left, top);
            pb = StereoPoint(b.row, b.col, R, left, top);
            return true;
        });
}

void DrawCrossAxes(CDC* dc, int penWidth, int left, int top, int right, int bottom) {
    const int midX = (left + right) / 2, midY = (top + bottom) / 2;
    ScopedPen pen(dc, penWidth, 0);
    dc->MoveTo(left, midY);
    dc->LineTo(right, midY);
    dc->MoveTo(midX, top);
    dc->LineTo(midX, bottom);
}

void DrawCircleBorder(CDC* dc, int penWidth, int left, int right, int midY) {
    const int midX = (left + right) / 2;
    ScopedPen pen(dc, penWidth, 0);
    const double rr = (right - left) * 0.5;
    dc->MoveTo(static_cast<int>(midX + rr + 0.5), midY);
    for (int n = 1; n <= 500; ++n) {
        const double angle = n * 2.0 * orimath::kPi / 500.0;
        dc->LineTo(static_cast<int>(std::cos(angle) * rr + midX + 0.5),
                   static_cast<int>(midY - std::sin(angle) * rr + 0.5));
    }
}

void StereoPosition(double x, double y, double cx, double cy, int R, double& alpha, double& beta) {
    const double r = std::hypot(x - cx, y - cy);
    alpha = R > 0 ? 2.0 * std::atan(r / R) * kRadToDeg : 0.0;
    beta = std::atan2(cx - x, cy - y) * kRadToDeg;
    if (beta < 0)
        beta += 360.0;
}

} // namespace plotkit
