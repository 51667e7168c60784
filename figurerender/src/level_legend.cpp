#include "level_legend.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "plotkit/display_common.h"

namespace figurerender {

CLevelLegend::CLevelLegend(const double levels[10], int count, double contourWidth)
    : count_(std::clamp(count, 0, 10)), contourWidth_(contourWidth) {
    std::memcpy(levels_, levels, sizeof levels_);
}

void CLevelLegend::GetContourInfo(double levels[10], int& count, double& lineWidth) {
    std::memcpy(levels, levels_, sizeof levels_);
    count = count_;
    lineWidth = contourWidth_;
}

void CLevelLegend::Draw(CDC* dc, CPoint origin, int s, const COLORREF colours[10]) {
    // Arial 12 points, 5 mm line samples and a 0.3 mm frame, as the viewer's
    // legend draws by default.
    const std::string face = "Arial";
    const int fh = plotkit::FontPixels(12, s);
    std::vector<std::string> texts;
    int tw = 0, h = 0;
    {
        plotkit::ScopedFont font(dc, face, fh);
        for (int k = 10 - count_; k <= 9; ++k) {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.2f", levels_[k]);
            texts.push_back(buf);
            const CSize ext = dc->GetTextExtent(texts.back());
            tw = std::max(tw, ext.cx);
            h = std::max(h, ext.cy);
        }
    }
    const int L = static_cast<int>(s * 5.0 * plotkit::kLegendMmToUnits + 0.5);
    const int left = origin.x + start_.x * s, top = origin.y + start_.y * s;
    const int rows = std::max(count_, 1);
    rect_ = RECT{left, top, left + h + tw + 2 * h + L,
                 top + h + static_cast<int>(1.5 * h * (rows - 1) + 0.5) + 2 * h};
    const int penWidth = plotkit::MmToPixels(s, contourWidth_);
    for (int i = 0; i < count_; ++i) {
        // Lowest level on top, as in the viewer's legend.
        const int k = 10 - count_ + i;
        const int x = left + 2 * h + L;
        const int y = top + h + static_cast<int>(1.5 * h * i + 0.5);
        {
            plotkit::ScopedPen pen(dc, penWidth, plotkit::ChooseColor(dc, bBlackWhite, colours[k]));
            dc->MoveTo(x - h - L, y + (h + 1) / 2);
            dc->LineTo(x - h, y + (h + 1) / 2);
        }
        plotkit::ScopedFont font(dc, face, fh);
        const int oldMode = dc->SetBkMode(TRANSPARENT);
        dc->TextOut(x, y, texts[k - (10 - count_)]);
        dc->SetBkMode(oldMode);
    }
    plotkit::ScopedPen pen(dc, std::max(1, plotkit::MmToPixels(s, 0.3)), 0);
    dc->MoveTo(rect_.left, rect_.top);
    dc->LineTo(rect_.right, rect_.top);
    dc->LineTo(rect_.right, rect_.bottom);
    dc->LineTo(rect_.left, rect_.bottom);
    dc->LineTo(rect_.left, rect_.top);
}

} // namespace figurerender
