#pragma once
// The extent of a figure as drawn: the union of its objects' bounding
// rectangles and of every primitive they draw (axis labels and ticks below
// the last row of ODF sections lie outside the rectangle an object reports).
#include "figurerender/figure_render.h"

namespace figurerender {

// Draws every object at origin into a measuring device context at the given
// scale and returns the union in device pixels.
RECT FigureBounds(Figure& figure, int scale, CPoint origin);

} // namespace figurerender
