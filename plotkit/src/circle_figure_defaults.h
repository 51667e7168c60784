#pragma once
// Defaults of the fields the pole figure and inverse pole figure records
// share: the circle, its pens, its labels and its place on the page.
#include "plotkit/display_common.h"

namespace plotkit {

template <typename Info> void SetCircleFigureDefaults(Info& info) {
    info.radius = 40.0;
    info.showLabels = 1;
    info.fontSize = 12;
    CopyText(info.fontName, "Arial");
    info.contourWidth = 0.5;
    info.borderWidth = 0.3;
    info.axisWidth = 0.3;
    info.showBorder = 1;
    info.showAxes = 1;
    info.startX = 40;
    info.startY = 40;
    info.count = 5;
    info.selected = 1;
}

} // namespace plotkit
