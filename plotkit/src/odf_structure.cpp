#include "plotkit/odf_structure.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "orimath/constants.h"
#include "orimath/orientation.h"
#include "plotkit/display_common.h"
#include "plotkit/format_dialog_registry.h"

namespace plotkit {

void DefaultODFInfo(ODFInfo& info, int crystalType, const double lattice[6]) {
    std::memset(&info, 0, sizeof(info));
    // (horizontal to, vertical to, section limit) per crystal type.
    static const int kRanges[7][3] = {{18, 18, 18}, {18, 18, 12}, {18, 18, 18}, {18, 18, 36},
                                      {36, 36, 18}, {18, 18, 24}, {36, 36, 36}};
    const int t = orimath::IsValidCrystalType(crystalType) ? crystalType : 0;
    const int limit = kRanges[t][2];
    const int step = limit == 36 ? 4 : 2;
    for (int k = 0; k <= limit; k += step)
        info.sectionShown[k] = 1;
    info.contourWidth = 0.5;
    info.count = 5;
    info.sectionWidth = 40.0;
    info.hTo = kRanges[t][0];
    info.vTo = kRanges[t][1];
    info.hNameDistance = 8.0;
    info.vNameDistance = 10.0;
    info.titleSpace = 10.0;
    info.titleAlign = 1;
    info.hNameFontSize = info.vNameFontSize = info.titleFontSize = 12;
    CopyText(info.hNameFont, "Symbol");
    CopyText(info.vNameFont, "Symbol");
    CopyText(info.titleFont, "Symbol");
    info.showBorder = 1;
    info.borderWidth = 0.3;
    info.tickWidth = 0.3;
    info.tickLength = 1.0;
    CopyText(info.keyFont, "Arial");
    info.keyFontSize = 12;
    info.showKey = 1.0;
    info.hTickStep = info.vTickStep = 20;
    info.hTickFontSize = info.vTickFontSize = 12;
    CopyText(info.hTickFont, "Arial");
    CopyText(info.vTickFont, "Arial");
    info.sectionsPerRow = 3;
    info.selected = 1;
    info.crystalType = crystalType;
    if (lattice)
        std::memcpy(info.lattice, lattice, sizeof(info.lattice));
    info.startX = 5;
    info.startY = 5;
}

double ODFVolumeFraction(const double f[73][37][73], int phi1From, int phi1To, int PhiFrom,
                         int PhiTo, int phi2From, int phi2To, double threshold) {
    auto clamp = [](int& v, int hi) { v = v < 0 ? 0 : (v > hi ? hi : v); };
    clamp(phi1From, 72), clamp(phi1To, 72), clamp(phi2From, 72), clamp(phi2To, 72);
    clamp(PhiFrom, 36), clamp(PhiTo, 36);
    double sum = 0.0;
    for (int i = PhiFrom; i <= PhiTo; ++i) {
        const double lower = (i == PhiFrom ? 5.0 * i : 5.0 * (i - 0.5)) * orimath::kDegToRad;
        const double upper = (i == PhiTo ? 5.0 * i : 5.0 * (i + 0.5)) * orimath::kDegToRad;
        const double wi = std::cos(lower) - std::cos(upper);
        for (int k = phi2From; k <= phi2To; ++k) {
            const double wk = (k == phi2From || k == phi2To) ? 0.5 : 1.0;
            for (int j = phi1From; j <= phi1To; ++j) {
                const double v = f[k][i][j];
                if (!(v > threshold))
                    continue;
                const double wj = (j == phi1From || j == phi1To) ? 0.5 : 1.0;
                sum += v * wj * wk * wi;
            }
        }
    }
    return sum * 9.645061728395063e-05;
}

} // namespace plotkit

CODFStructure::CODFStructure(int crystalType, const double lattice[6])
    : data_(new double[73][37][73]()) {
    plotkit::DefaultODFInfo(info_, crystalType, lattice);
}

int CODFStructure::SetODFData(const double odf[73][37][73]) {
    const double m = plotkit::FindMaximum(&odf[0][0][0], 73 * 37 * 73);
    info_.maximum = m;
    plotkit::SetDefaultLevels(info_.levels, m);
    std::memcpy(data_.get(), odf, sizeof(double) * 73 * 37 * 73);
    for (int k = 0; k < 73; ++k)
        sectionMax_[k] = plotkit::FindMaximum(&odf[k][0][0], 37 * 73);
    return 1;
}

void CODFStructure::GetData(double odf[73][37][73]) const {
    std::memcpy(odf, data_.get(), sizeof(double) * 73 * 37 * 73);
}

void CODFStructure::SetInfo(const ODFInfo& info) {
    info_ = info;
    plotkit::CheckRecord(info_);
}

void CODFStructure::GetContourInfo(double levels[10], int& count, double& lineWidth) {
    plotkit::GetContourFields(info_, levels, count, lineWidth);
}

void CODFStructure::SetContourInfo(double levels[10], int& count, double& lineWidth) {
    plotkit::SetContourFields(info_, levels, count, lineWidth);
}

bool CODFStructure::pGetMiller(double phi1, double Phi, double phi2, int hkl[3], int uvw[3]) const {
    const double euler[3] = {phi1, Phi, phi2};
    double m[6];
    if (!Euler2Miller(euler, info_.crystalType, info_.lattice, m))
        return false;
    GetNiceVector(m, hkl);
    GetNiceVector(m + 3, uvw);
    return true;
}

int CODFStructure::ReadValuePos(CPoint pixel, std::string out[2]) {
    if (W_ <= 0 || H_ <= 0)
        return 0;
    const int hRange = info_.hTo - info_.hFrom;
    const int vRange = info_.vTo - info_.vFrom;
    if (hRange <= 0 || vRange <= 0)
        return 0;
    for (std::size_t k = 0; k < sections_.size() && k < cells_.size(); ++k) {
        const CPoint c = cells_[k];
        if (!(c.x < pixel.x && pixel.x <= c.x + W_ && c.y < pixel.y && pixel.y <= c.y + H_))
            continue;
        const double h = info_.hFrom * 5 + hRange * (double(pixel.x - c.x) / W_) * 5;
        const double v = info_.vFrom * 5 + vRange * (double(pixel.y - c.y) / H_) * 5;
        const double sec = sections_[k] * 5.0;
        // Bunge order in the text whatever the section angle.
        const double phi1 = info_.sectionAngle == 1 ? sec : h;
        const double phi2 = info_.sectionAngle == 1 ? h : sec;
        int hkl[3] = {0, 0, 0}, uvw[3] = {0, 0, 0};
        pGetMiller(phi1, v, phi2, hkl, uvw);
        char buf[160];
        std::snprintf(buf, sizeof buf, "%.0f, %.0f, %.0f,  (%d %d %d) [%d %d %d]", phi1, v, phi2,
                      hkl[0], hkl[1], hkl[2], uvw[0], uvw[1], uvw[2]);
        out[0] = buf;
        int j = static_cast<int>(h * 0.2 + 0.5);
        int i = static_cast<int>(v * 0.2 + 0.5);
        if (j > 72)
            j = 72;
        if (i > 36)
            i = 36;
        std::snprintf(buf, sizeof buf, "%.2f", data_[sections_[k]][i][j]);
        out[1] = buf;
        return 1;
    }
    return 0;
}

int CODFStructure::IsIn(CPoint pixel, int* distance) {
    return plotkit::HitTestRect(rect_, pixel, distance);
}

int CODFStructure::OnFormat() {
    return plotkit::OpenFormatDialog(*this);
}
