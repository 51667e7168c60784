// Checks of format records that arrive raw from layout documents. A value
// that cannot be drawn sensibly (a level count beyond the table, a size that
// is not a positive finite number, an unterminated text) is replaced by the
// constructor's default so that drawing never divides by zero or reads past
// a field.
#include <cmath>

#include "plotkit/display_common.h"
#include <algorithm>

#include "plotkit/gbcd_structure.h"
#include "plotkit/ipf_structure.h"
#include "plotkit/legend_map.h"
#include "plotkit/odf_structure.h"
#include "plotkit/pf_structure.h"
#include "plotkit/scan_line.h"

namespace plotkit {

namespace {
void CheckSize(double& v, double fallback, double maximum = 1000.0) {
    if (!std::isfinite(v) || v <= 0.0 || v > maximum)
        v = fallback;
}
void CheckWidth(double& v, double fallback) {
    if (!std::isfinite(v) || v < 0.0 || v > 100.0)
        v = fallback;
}
void CheckFontSize(int32_t& v, int fallback) {
    if (v < 0 || v > 200)
        v = fallback;
}
void CheckDistance(double& v, double fallback) {
    if (!std::isfinite(v) || v < 0.0 || v > 1000.0)
        v = fallback;
}
// The fields the pole figure and inverse pole figure circles share.
template <typename Info> void CheckCircleFigure(Info& info) {
    CheckFace(info.fontName, "Arial");
    CheckFontSize(info.fontSize, 12);
    CheckSize(info.radius, 40.0);
    CheckWidth(info.contourWidth, 0.5);
    CheckWidth(info.borderWidth, 0.3);
    CheckWidth(info.axisWidth, 0.3);
    info.count = CheckedLevelCount(info.count);
}
} // namespace

void CheckRecord(PFInfo& info) {
    TerminateText(info.fileName);
    TerminateText(info.indexText);
    CheckCircleFigure(info);
}

void CheckRecord(ODFInfo& info) {
    ODFInfo d;
    DefaultODFInfo(d, info.crystalType, info.lattice);
    CheckFace(info.hNameFont, "Symbol");
    CheckFace(info.vNameFont, "Symbol");
    CheckFace(info.titleFont, "Symbol");
    CheckFace(info.keyFont, "Arial");
    CheckFace(info.hTickFont, "Arial");
    CheckFace(info.vTickFont, "Arial");
    info.count = CheckedLevelCount(info.count);
    if (info.sectionsPerRow < 1 || info.sectionsPerRow > 73)
        info.sectionsPerRow = 3;
    if (!(0 <= info.hFrom && info.hFrom < info.hTo && info.hTo <= 72)) {
        info.hFrom = d.hFrom;
        info.hTo = d.hTo;
    }
    if (!(0 <= info.vFrom && info.vFrom < info.vTo && info.vTo <= 36)) {
        info.vFrom = d.vFrom;
        info.vTo = d.vTo;
    }
    CheckSize(info.sectionWidth, d.sectionWidth);
    CheckWidth(info.contourWidth, d.contourWidth);
    CheckWidth(info.borderWidth, d.borderWidth);
    CheckWidth(info.tickWidth, d.tickWidth);
    CheckWidth(info.tickLength, d.tickLength);
    CheckDistance(info.hNameDistance, d.hNameDistance);
    CheckDistance(info.vNameDistance, d.vNameDistance);
    CheckDistance(info.titleSpace, d.titleSpace);
    CheckFontSize(info.hNameFontSize, 12);
    CheckFontSize(info.vNameFontSize, 12);
    CheckFontSize(info.titleFontSize, 12);
    CheckFontSize(info.keyFontSize, 12);
    CheckFontSize(info.hTickFontSize, 12);
    CheckFontSize(info.vTickFontSize, 12);
    if (info.hTickStep <= 0 || info.hTickStep > 360)
        info.hTickStep = 20;
    if (info.vTickStep <= 0 || info.vTickStep > 360)
        info.vTickStep = 20;
    if (info.titleAlign < 0 || info.titleAlign > 2)
        info.titleAlign = 1;
    if (info.sectionAngle != 0 && info.sectionAngle != 1)
        info.sectionAngle = 0;
    if (!std::isfinite(info.showKey))
        info.showKey = 1.0;
}

void CheckRecord(IPFInfo& info) {
    TerminateText(info.crystal);
    TerminateText(info.text2);
    TerminateText(info.xAxis);
    TerminateText(info.yAxis);
    TerminateText(info.centre);
    CheckSize(info.triangleSize, 60.0);
    CheckCircleFigure(info);
}

void CheckRecord(LenMap& info) {
    CheckFace(info.fontName, "Arial");
    CheckFontSize(info.fontSize, 12);
    CheckWidth(info.frameWidth, 0.3);
    CheckWidth(info.contourWidth, 0.5);
    CheckSize(info.lineLength, 5.0);
}

void CheckRecord(GBCDInfo& info) {
    TerminateText(info.crystal);
    CheckFace(info.titleFont, "Arial");
    CheckFace(info.xLabelFont, "Arial");
    CheckFace(info.yLabelFont, "Arial");
    CheckFace(info.valueFont, "Arial");
    CheckFontSize(info.titleFontSize, 10);
    CheckFontSize(info.xLabelFontSize, 10);
    CheckFontSize(info.yLabelFontSize, 10);
    CheckFontSize(info.valueFontSize, 10);
    const bool cubic = TextOf(info.crystal).find("Cubic") != std::string::npos;
    if (info.misBin <= 0 || info.misBin > 180)
        info.misBin = cubic ? 5 : 15;
    if (!(0 <= info.misFrom && info.misFrom < info.misTo && info.misTo <= 180)) {
        info.misFrom = 0;
        info.misTo = cubic ? 63 : 180;
    }
    if (!(0 <= info.cslFirst && info.cslFirst <= info.cslLast && info.cslLast <= 50)) {
        info.cslFirst = 0;
        info.cslLast = 6;
    }
    if (info.cslLastCounted < 0 || info.cslLastCounted > 50)
        info.cslLastCounted = 49;
    if (info.yMax <= 0 || info.yMax > 100)
        info.yMax = 60;
    if (info.yLabelEvery <= 0 || info.yLabelEvery > 100)
        info.yLabelEvery = 10;
    CheckSize(info.width, 140.0);
    CheckSize(info.height, 80.0);
    CheckSize(info.barWidth, 4.0);
    CheckWidth(info.barLineWidth, 0.1);
    CheckWidth(info.borderWidth, 0.1);
    CheckWidth(info.tickWidth, 0.1);
    CheckWidth(info.tickLength, 1.0);
    CheckDistance(info.titleDistance, 20.0);
}

void CheckRecord(ScanLineInfo& info) {
    TerminateText(info.xTitle);
    for (auto& name : info.names)
        TerminateText(name);
    CheckFace(info.xTitleFont, "Symbol");
    CheckFace(info.yTitleFont, "Times New Roman");
    CheckFace(info.xLabelFont, "Times New Roman");
    CheckFace(info.yLabelFont, "Times New Roman");
    CheckFontSize(info.xTitleFontSize, 12);
    CheckFontSize(info.yTitleFontSize, 12);
    CheckFontSize(info.xLabelFontSize, 10);
    CheckFontSize(info.yLabelFontSize, 10);
    CheckFontSize(info.legendFontSize, 10);
    if (info.lineCount < 0 || info.lineCount > 10)
        info.lineCount = std::clamp(info.lineCount, 0, 10);
    CheckSize(info.height, 70.0);
    CheckSize(info.width, 100.0);
    CheckWidth(info.lineWidth, 0.3);
    CheckWidth(info.borderWidth, 0.3);
    CheckWidth(info.xTickLength, 2.0);
    CheckWidth(info.yTickLength, 2.0);
    CheckWidth(info.xTickWidth, 0.3);
    CheckWidth(info.yTickWidth, 0.3);
    CheckWidth(info.markSize, 2.0);
    auto finite = [](double& v, double fallback) {
        if (!std::isfinite(v))
            v = fallback;
    };
    finite(info.xFrom, 0.0);
    finite(info.xTo, 90.0);
    finite(info.yFrom, 0.0);
    finite(info.yTo, 10.0);
    if (info.xTo <= info.xFrom)
        info.xTo = info.xFrom + 1;
    if (info.yTo <= info.yFrom)
        info.yTo = info.yFrom + 1;
    info.xStep = UsableStep(info.xStep, info.xFrom, info.xTo);
    info.yStep = UsableStep(info.yStep, info.yFrom, info.yTo);
}

} // namespace plotkit
