#pragma once
// Level-by-level contouring of a row-major grid through the shared cell
// rules, with the device mapping (and any clipping) supplied by the display.
#include <functional>

#include "orimath_draw/contour_cell.h"
#include "platform/dc.h"

namespace plotkit {

// Maps a grid segment to device points; returns false to skip it.
using SegmentMapper = std::function<bool(const orimath::GridPos& a, const orimath::GridPos& b,
                                         CPoint& pa, CPoint& pb)>;

struct ContourStyle {
    const double* levels;    // 10 entries
    int count;               // levels 10 - count .. 9 are drawn
    const COLORREF* colours; // 10 entries
    int penWidth;            // pixels
    int blackWhite;
};

// Cells (i, j) for i in [iBegin, iEnd) and j in [jBegin, jEnd) of a grid
// with nCols columns; a segment whose device points coincide is skipped.
void DrawGridContours(CDC* dc, const double* grid, int nCols, int iBegin, int iEnd, int jBegin,
                      int jEnd, const ContourStyle& style, const SegmentMapper& map);

// Contours of a 73-column grid of 5 degree alpha rows and beta columns,
// cells (i, j) for i in [iBegin, iEnd) and j in [jBegin, jEnd), drawn
// through StereoPoint in the circle of radius R whose square has its
// top-left at (left, top).
void DrawStereoContours(CDC* dc, const double* grid, int iBegin, int iEnd, int jBegin, int jEnd,
                        const ContourStyle& style, int R, int left, int top);

// The horizontal and vertical lines through the centre of the square
// (left, top, right, bottom), with a black pen of penWidth pixels.
void DrawCrossAxes(CDC* dc, int penWidth, int left, int top, int right, int bottom);

// The circle inscribed across [left, right] with its centre at height midY,
// as 500 straight segments with a black pen of penWidth pixels.
void DrawCircleBorder(CDC* dc, int penWidth, int left, int right, int midY);

// Stereographic point of a fractional 5 degree grid position (alpha index a,
// beta index b) in a circle of radius R whose square has its top-left at
// (left, top): beta 0 straight up, beta 90 to the left.
CPoint StereoPoint(double a, double b, int R, int left, int top);

// The same azimuth convention read back: alpha and beta in degrees of a
// pixel relative to the centre (cx, cy) of a circle of radius R.
void StereoPosition(double x, double y, double cx, double cy, int R, double& alpha, double& beta);

} // namespace plotkit
