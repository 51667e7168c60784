// Drawing of the GBCD bar charts: bars standing on the bottom edge of their
// area, x labels under them (turned upright when wider than a slot), the
// random-boundary mark, axis titles, y labels in percent and the border.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "plotkit/display_common.h"
#include "plotkit/gbcd_structure.h"

using namespace plotkit;

void CGBCDStructure::DrawBars(CDC* dc, std::vector<GBCDBar>& bars, RECT area, int s,
                              COLORREF colour) {
    if (bars.empty())
        return;
    const int areaW = area.right - area.left;
    const int areaH = area.bottom - area.top;
    const int slot = areaW / static_cast<int>(bars.size());
    const int barW = std::min(MmToPixels(s, info_.barWidth), std::max(1, slot - 2));
    const double yMax = info_.yMax > 0 ? info_.yMax : 60;
    const COLORREF c = ChooseColor(dc, bBlackWhite, colour);
    CBrush fill(c);
    CBrush hollow;
    hollow.CreateHollowBrush();
    ScopedPen pen(dc, std::max(1, MmToPixels(s, info_.barLineWidth)), 0);
    CBrush* oldBrush = dc->SelectObject(info_.solidBar ? &fill : &hollow);
    const std::string vface = TextOf(info_.valueFont);
    int vfh = FontPixels(info_.valueFontSize, s);
    // Value texts shrink until the widest fits its slot, so neighbours never overlap.
    int widestValue = 0;
    for (const auto& b : bars)
        widestValue = std::max(widestValue, MeasureText(dc, vface, vfh, b.value).cx);
    if (widestValue > slot - 2 && widestValue > 0)
        vfh = std::max(1, vfh * std::max(1, slot - 2) / widestValue);
    for (std::size_t i = 0; i < bars.size(); ++i) {
        const int cx = area.left + static_cast<int>(i) * slot + slot / 2;
        const double frac = std::clamp(bars[i].percent / yMax, 0.0, 1.0);
        const int h = static_cast<int>(frac * areaH + 0.5);
        bars[i].rect = RECT{cx - barW / 2, area.bottom - h, cx - barW / 2 + barW, area.bottom};
        if (h > 0)
            dc->Rectangle(bars[i].rect.left, bars[i].rect.top, bars[i].rect.right,
                          bars[i].rect.bottom);
        CSize ext = MeasureText(dc, vface, vfh, bars[i].value);
        DrawTextAt(dc, vface, vfh, cx - ext.cx / 2, bars[i].rect.top - ext.cy - 1, bars[i].value);
    }
    dc->SelectObject(oldBrush);

    if (info_.showXLabels) {
        const std::string face = TextOf(info_.xLabelFont);
        const int fh = FontPixels(info_.xLabelFontSize, s);
        int widest = 0;
        for (const auto& b : bars)
            widest = std::max(widest, MeasureText(dc, face, fh, b.label).cx);
        const bool upright = widest > slot - 2;
        for (std::size_t i = 0; i < bars.size(); ++i) {
            const int cx = area.left + static_cast<int>(i) * slot + slot / 2;
            CSize ext = MeasureText(dc, face, fh, bars[i].label);
            if (upright) {
                // Turned 90 degrees counter-clockwise, reading upwards, its
                // end just under the axis.
                CFont f;
                f.CreateFont(fh, 0, 900, 900, FW_NORMAL, false, false, false, DEFAULT_CHARSET,
                             face.c_str());
                CFont* old = dc->SelectObject(&f);
                dc->TextOut(cx - ext.cy / 2, area.bottom + 3 + ext.cx, bars[i].label);
                dc->SelectObject(old);
            } else {
                DrawTextAt(dc, face, fh, cx - ext.cx / 2, area.bottom + 3, bars[i].label);
            }
        }
    }
}

void CGBCDStructure::Draw(CDC* dc, CPoint origin, int s, const COLORREF colours[10]) {
    CheckRecord(info_);
    const int left = origin.x + info_.startX * s;
    const int top = origin.y + info_.startY * s;
    chart_ = RECT{left, top, left + MmToPixels(s, info_.width), top + MmToPixels(s, info_.height)};
    RECT misArea = chart_, cslArea = chart_;
    const bool both = info_.showMis && info_.showCSL;
    if (both) {
        const int mid = (chart_.left + chart_.right) / 2;
        misArea.right = mid;
        cslArea.left = mid;
    }
    misBars_ = MisorientationBars(mis_, info_.misFrom, info_.misTo, info_.misBin);
    cslBars_ = CSLBars(csl_, info_.cslFirst, info_.cslLast, info_.cslLastCounted,
                       info_.showRandomBar != 0);
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    if (info_.showMis)
        DrawBars(dc, misBars_, misArea, s, colours[9]);
    if (info_.showCSL)
        DrawBars(dc, cslBars_, cslArea, s, colours[7]);

    if (info_.showCSL && info_.showRandomMark) {
        const std::string text = std::string("After ") +
                                 kCSLLabels[std::clamp(info_.cslLastCounted, 0, 50)] +
                                 " is random GB";
        const std::string face = TextOf(info_.valueFont);
        const int fh = FontPixels(info_.valueFontSize, s);
        CSize ext = MeasureText(dc, face, fh, text);
        (void)ext;
        DrawTextAt(dc, face, fh, cslArea.left + 6, cslArea.top + 4, text);
    }
    int bottomExtent = chart_.bottom;
    if (info_.showTitle) {
        const std::string face = TextOf(info_.titleFont);
        const int fh = FontPixels(info_.titleFontSize, s);
        const int y = chart_.bottom + MmToPixels(s, info_.titleDistance) - fh;
        auto title = [&](RECT area, const char* text) {
            CSize ext = MeasureText(dc, face, fh, text);
            DrawTextAt(dc, face, fh, (area.left + area.right - ext.cx) / 2, y, text);
            bottomExtent = std::max(bottomExtent, y + ext.cy);
        };
        if (info_.showMis)
            title(misArea, "MisOrientation (Degrees)");
        if (info_.showCSL)
            title(cslArea, "Sigma Value");
    }
    int leftExtent = chart_.left;
    const int chartH = chart_.bottom - chart_.top;
    if (info_.showYLabels && info_.yMax > 0 && info_.yLabelEvery > 0) {
        ScopedPen pen(dc, MmToPixels(s, info_.tickWidth), 0);
        const std::string face = TextOf(info_.yLabelFont);
        const int fh = FontPixels(info_.yLabelFontSize, s);
        const int tick = MmToPixels(s, info_.tickLength);
        for (int p = 0; p <= info_.yMax; p += info_.yLabelEvery) {
            const int y = chart_.bottom - static_cast<int>(double(p) / info_.yMax * chartH + 0.5);
            dc->MoveTo(chart_.left - tick, y);
            dc->LineTo(chart_.left, y);
            char buf[16];
            std::snprintf(buf, sizeof buf, "%d", p);
            CSize ext = MeasureText(dc, face, fh, buf);
            DrawTextAt(dc, face, fh, chart_.left - tick - 2 - ext.cx, y - ext.cy / 2, buf);
            leftExtent = std::min(leftExtent, chart_.left - tick - 2 - ext.cx);
        }
    }
    dc->SetBkMode(oldMode);
    if (info_.showBorder) {
        ScopedPen pen(dc, std::max(1, MmToPixels(s, info_.borderWidth)), 0);
        dc->MoveTo(chart_.left, chart_.top);
        dc->LineTo(chart_.right, chart_.top);
        dc->LineTo(chart_.right, chart_.bottom);
        dc->LineTo(chart_.left, chart_.bottom);
        dc->LineTo(chart_.left, chart_.top);
        if (both) {
            dc->MoveTo(misArea.right, chart_.top);
            dc->LineTo(misArea.right, chart_.bottom);
        }
    }
    // Value texts above the bars and the top y label reach above the chart.
    const int above =
        std::max(FontPixels(info_.valueFontSize, s), FontPixels(info_.yLabelFontSize, s) / 2) + 2;
    rect_ = RECT{leftExtent, chart_.top - above, chart_.right, bottomExtent};
    if (info_.selected && !dc->IsPrinting())
        DrawSelectionMarks(dc, rect_);
}
