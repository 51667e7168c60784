// Checks of format records that arrive raw from layout documents. A value
// that cannot be drawn sensibly (a level count beyond the table, a size that
// is not a positive finite number, an unterminated text) is replaced by the
// constructor's default so that drawing never divides by zero or reads past
// a field.
#include <cmath>

#include "plotkit/display_common.h"
#include "plotkit/odf_structure.h"
#include "plotkit/pf_structure.h"

namespace plotkit {

namespace {
void CheckSize(double& v, double fallback, double maximum = 1000.0) {
    if (!std::isfinite(v) || v <= 0.0 || v > maximum) v = fallback;
}
void CheckWidth(double& v, double fallback) {
    if (!std::isfinite(v) || v < 0.0 || v > 100.0) v = fallback;
}
void CheckFontSize(int32_t& v, int fallback) {
    if (v < 0 || v > 200) v = fallback;
}
void CheckDistance(double& v, double fallback) {
    if (!std::isfinite(v) || v < 0.0 || v > 1000.0) v = fallback;
}
}  // namespace

void CheckRecord(PFInfo& info) {
    TerminateText(info.fileName);
    TerminateText(info.indexText);
    CheckFace(info.fontName, "Arial");
    CheckSize(info.radius, 40.0);
    CheckWidth(info.contourWidth, 0.5);
    CheckWidth(info.borderWidth, 0.3);
    CheckWidth(info.axisWidth, 0.3);
    CheckFontSize(info.fontSize, 12);
    info.count = CheckedLevelCount(info.count);
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
    if (info.sectionsPerRow < 1 || info.sectionsPerRow > 73) info.sectionsPerRow = 3;
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
    if (info.hTickStep <= 0 || info.hTickStep > 360) info.hTickStep = 20;
    if (info.vTickStep <= 0 || info.vTickStep > 360) info.vTickStep = 20;
    if (info.titleAlign < 0 || info.titleAlign > 2) info.titleAlign = 1;
    if (info.sectionAngle != 0 && info.sectionAngle != 1) info.sectionAngle = 0;
    if (!std::isfinite(info.showKey)) info.showKey = 1.0;
}

}  // namespace plotkit
