#pragma once
// Iso-intensity lines of a gridded map drawn onto a device context.
#include "platform/dc.h"

// Draws the contour lines of map[rows][columns].
//   mode 0: polar (stereographic) map; row r is alpha = r * step degrees from
//           the centre, column c is beta = c * step degrees, beta 0 at the
//           top of the circle and beta 90 to the left; the circle has its
//           left-top corner at (left, top) and diameter D = right - left.
//           The rows drawn are those between the first and last rows holding
//           data (|v| > 1e-5) among the first nRows rows.
//   mode 1: rectangular map, s = (right - left) / (nColumns - 1) pixels per
//           grid step in both directions, rows firstRow .. firstRow+nRows-1.
// Levels: entries 10 - nLevels .. 9 of level/colour/width are drawn in that
// order (nLevels is limited to 10; 0 or less draws nothing); mono draws
// every level in black. bottom and reserved are not used.
void DrawContourMap(CDC* dc, int left, int top, int right, int bottom, double** map, double step,
                    int firstColumn, int nColumns, int firstRow, int nRows, int nLevels,
                    const COLORREF colour[10], const int width[10], const double level[10],
                    int mono, int mode, int reserved);
