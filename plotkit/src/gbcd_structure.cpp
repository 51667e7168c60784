#include "plotkit/gbcd_structure.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "plotkit/display_common.h"
#include "plotkit/format_dialog_registry.h"

using namespace plotkit;

namespace plotkit {

const char* const kCSLLabels[51] = {
    "1",   "3",   "5",   "7",   "9",   "11",  "13a", "13b", "15",  "17a", "17b", "19a", "19b",
    "21a", "21b", "23",  "25a", "25b", "27a", "27b", "29a", "29b", "31a", "31b", "33a", "33b",
    "33c", "35a", "35b", "37a", "37b", "37c", "39a", "39b", "41a", "41b", "41c", "43a", "43b",
    "43c", "45a", "45b", "45c", "47a", "47b", "49a", "49b", "49c", "51a", "51b", "Ran."};

namespace {
GBCDBar MakeBar(const std::string& label, double fraction) {
    GBCDBar bar;
    bar.label = label;
    bar.percent = fraction * 100.0;
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.1f", bar.percent);
    bar.value = buf;
    return bar;
}
std::string Range(int a, int b) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d - %d", a, b);
    return buf;
}
} // namespace

std::vector<GBCDBar> MisorientationBars(const double mis[181], int from, int to, int bin) {
    std::vector<GBCDBar> bars;
    if (bin <= 0 || from < 0 || to > 180 || to <= from)
        return bars;
    const int n = (to - from) / bin;
    for (int i = 0; i < n; ++i) {
        double sum = 0;
        for (int d = 0; d < bin; ++d)
            sum += mis[from + i * bin + d];
        bars.push_back(MakeBar(Range(from + i * bin, from + (i + 1) * bin), sum));
    }
    if ((to - from) % bin != 0) {
        double sum = 0;
        for (int d = from + n * bin; d < to; ++d)
            sum += mis[d];
        bars.push_back(MakeBar(Range(from + n * bin, to), sum));
    }
    return bars;
}

std::vector<GBCDBar> CSLBars(const double csl[51], int first, int last, int lastCounted,
                             bool withRandom) {
    std::vector<GBCDBar> bars;
    first = std::clamp(first, 0, 50);
    last = std::clamp(last, 0, 50);
    for (int i = first; i <= last; ++i)
        bars.push_back(MakeBar(kCSLLabels[i], csl[i]));
    if (withRandom) {
        double sum = 0;
        for (int i = std::clamp(lastCounted + 1, 0, 51); i < 51; ++i)
            sum += csl[i];
        bars.push_back(MakeBar("Ran.", sum));
    }
    return bars;
}

} // namespace plotkit

CGBCDStructure::CGBCDStructure(int kind, const std::string& crystal) {
    std::memset(&info_, 0, sizeof(info_));
    info_.startX = 20;
    info_.startY = 50;
    CopyText(info_.crystal, crystal);
    info_.kind = kind;
    CopyText(info_.titleFont, "Arial");
    info_.titleFontSize = 10;
    info_.showTitle = 1;
    info_.showBorder = 1;
    info_.borderWidth = 0.1;
    info_.titleDistance = 20.0;
    info_.showXLabels = 1;
    info_.showYLabels = 1;
    info_.tickLength = 1.0;
    info_.tickWidth = 0.1;
    CopyText(info_.xLabelFont, "Arial");
    info_.xLabelFontSize = 10;
    CopyText(info_.yLabelFont, "Arial");
    info_.yLabelFontSize = 10;
    info_.yLabelEvery = 10;
    info_.yMax = 60;
    info_.showMis = 1;
    info_.showCSL = 0;
    const bool cubic = crystal.find("Cubic") != std::string::npos;
    info_.misFrom = 0;
    info_.misTo = cubic ? 63 : 180;
    info_.misBin = cubic ? 5 : 15;
    info_.cslFirst = 0;
    info_.cslLast = 6;
    info_.cslLastCounted = 49;
    info_.showRandomBar = 1;
    info_.selected = 1;
    info_.showRandomMark = 1;
    info_.barWidth = 4.0;
    info_.barLineWidth = 0.1;
    info_.solidBar = 1;
    info_.width = 140.0;
    info_.height = 80.0;
    CopyText(info_.valueFont, "Arial");
    info_.valueFontSize = 10;
}

void CGBCDStructure::IniData(const double csl[51], const double misorientation[181]) {
    if (info_.kind && csl)
        std::memcpy(csl_, csl, sizeof(csl_));
    if (misorientation)
        std::memcpy(mis_, misorientation, sizeof(mis_));
}

void CGBCDStructure::GetData(double csl[51], double misorientation[181]) const {
    std::memcpy(csl, csl_, sizeof(csl_));
    std::memcpy(misorientation, mis_, sizeof(mis_));
}

void CGBCDStructure::SetInfo(const GBCDInfo& info) {
    info_ = info;
    CheckRecord(info_);
}

int CGBCDStructure::ReadValuePos(CPoint pixel, std::string out[2]) {
    const GBCDBar* hit = nullptr;
    auto test = [&](const std::vector<GBCDBar>& bars) {
        for (const auto& b : bars)
            if (b.rect.left < pixel.x && pixel.x <= b.rect.right && b.rect.top < pixel.y &&
                pixel.y <= b.rect.bottom)
                hit = &b;
    };
    if (info_.showMis)
        test(misBars_);
    if (info_.showCSL)
        test(cslBars_);
    if (!hit)
        return 0;
    out[0] = hit->label;
    out[1] = hit->value;
    return 1;
}

int CGBCDStructure::IsIn(CPoint pixel, int* distance) {
    return HitTestRect(rect_, pixel, distance);
}

int CGBCDStructure::OnFormat() {
    return plotkit::OpenFormatDialog(*this);
}
