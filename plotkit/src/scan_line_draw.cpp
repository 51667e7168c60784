// Drawing of the intensity-line chart: polylines with circle marks inside the
// chart rectangle, tick labels, axis titles, legend and border.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "plotkit/display_common.h"
#include "plotkit/scan_line.h"

using namespace plotkit;

namespace {
std::string TickText(double v, double step) {
    char buf[48];
    if (std::fabs(step - std::round(step)) < 1e-9 && std::fabs(v - std::round(v)) < 1e-9)
        std::snprintf(buf, sizeof buf, "%.0f", v);
    else if (step >= 0.1)
        std::snprintf(buf, sizeof buf, "%.1f", v);
    else
        std::snprintf(buf, sizeof buf, "%.3g", v);
    return buf;
}
} // namespace

void CScanLine::Draw(CDC* dc, CPoint origin, int s, const COLORREF colours[10]) {
    CheckRecord(info_);
    scale_ = s;
    const int left = origin.x + info_.startX * s;
    const int top = origin.y + info_.startY * s;
    chart_ = RECT{left, top, left + MmToPixels(s, info_.width), top + MmToPixels(s, info_.height)};
    if (info_.xTo <= info_.xFrom)
        info_.xTo = info_.xFrom + 1;
    if (info_.yTo <= info_.yFrom)
        info_.yTo = info_.yFrom + 1;
    const double w = chart_.right - chart_.left, h = chart_.bottom - chart_.top;
    const int n = std::clamp(info_.lineCount, 0, 10);

    for (int k = 0; k < n; ++k)
        for (int j = 0; j < 73; ++j) {
            const double x = 5.0 * j, v = values_[k][j];
            px_[k][j] =
                (info_.xFrom <= x && x <= info_.xTo)
                    ? chart_.left +
                          static_cast<int>((x - info_.xFrom) / (info_.xTo - info_.xFrom) * w + 0.5)
                    : -1;
            py_[k][j] =
                (info_.yFrom < v && v < info_.yTo)
                    ? chart_.bottom -
                          static_cast<int>((v - info_.yFrom) / (info_.yTo - info_.yFrom) * h + 0.5)
                    : -1;
        }

    const int markR = MmToPixels(s, info_.markSize) / 2;
    CBrush hollow;
    hollow.CreateHollowBrush();
    CBrush* oldBrush = dc->SelectObject(&hollow);
    for (int k = 0; k < n; ++k) {
        if (!info_.visible[k])
            continue;
        ScopedPen pen(dc, MmToPixels(s, info_.lineWidth),
                      ChooseColor(dc, bBlackWhite, colours[9 - k]));
        for (int j = 0; j <= 71; ++j) {
            if (px_[k][j] <= 0 || py_[k][j] <= 0)
                continue;
            if (info_.showMarks && markR > 0)
                dc->Ellipse(px_[k][j] - markR, py_[k][j] - markR, px_[k][j] + markR + 1,
                            py_[k][j] + markR + 1);
            dc->MoveTo(px_[k][j], py_[k][j]);
            if (px_[k][j + 1] > 0 && py_[k][j + 1] > 0)
                dc->LineTo(px_[k][j + 1], py_[k][j + 1]);
        }
    }
    dc->SelectObject(oldBrush);

    RECT extent = chart_;
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    DrawAxes(dc, s, extent);
    if (info_.showLegend && n > 0) {
        const int fh = FontPixels(info_.legendFontSize, s);
        const int sample = MmToPixels(s, 8);
        int widest = 0;
        for (int k = 0; k < n; ++k)
            widest = std::max(widest, MeasureText(dc, "Arial", fh, TextOf(info_.names[k])).cx);
        const int x = chart_.right - widest - sample - 12;
        int y = chart_.top + 6;
        for (int k = 0; k < n; ++k) {
            if (!info_.visible[k])
                continue;
            {
                ScopedPen pen(dc, MmToPixels(s, info_.lineWidth),
                              ChooseColor(dc, bBlackWhite, colours[9 - k]));
                dc->MoveTo(x, y + fh / 2);
                dc->LineTo(x + sample, y + fh / 2);
            }
            DrawTextAt(dc, "Arial", fh, x + sample + 4, y, TextOf(info_.names[k]));
            y += fh + 2;
        }
    }
    dc->SetBkMode(oldMode);
    if (info_.showBorder) {
        ScopedPen pen(dc, MmToPixels(s, info_.borderWidth), 0);
        dc->MoveTo(chart_.left, chart_.top);
        dc->LineTo(chart_.right, chart_.top);
        dc->LineTo(chart_.right, chart_.bottom);
        dc->LineTo(chart_.left, chart_.bottom);
        dc->LineTo(chart_.left, chart_.top);
    }
    rect_ = extent;
    if (info_.selected && !dc->IsPrinting())
        DrawSelectionMarks(dc, rect_);
}

void CScanLine::DrawAxes(CDC* dc, int s, RECT& extent) {
    const double w = chart_.right - chart_.left, h = chart_.bottom - chart_.top;
    const int gap = 2;
    if (info_.showXLabels) {
        ScopedPen pen(dc, MmToPixels(s, info_.xTickWidth), 0);
        const std::string face = TextOf(info_.xLabelFont);
        const int fh = FontPixels(info_.xLabelFontSize, s);
        const int tick = MmToPixels(s, info_.xTickLength);
        const double step = UsableStep(info_.xStep, info_.xFrom, info_.xTo);
        for (double x = info_.xFrom; x <= info_.xTo + step * 1e-6; x += step) {
            const int px =
                chart_.left +
                static_cast<int>((x - info_.xFrom) / (info_.xTo - info_.xFrom) * w + 0.5);
            dc->MoveTo(px, chart_.bottom);
            dc->LineTo(px, chart_.bottom - tick);
            const std::string t = TickText(x, step);
            CSize ext = MeasureText(dc, face, fh, t);
            DrawTextAt(dc, face, fh, px - ext.cx / 2, chart_.bottom + gap, t);
            extent.bottom = std::max<int>(extent.bottom, chart_.bottom + gap + ext.cy);
        }
    }
    if (info_.showYLabels) {
        ScopedPen pen(dc, MmToPixels(s, info_.yTickWidth), 0);
        const std::string face = TextOf(info_.yLabelFont);
        const int fh = FontPixels(info_.yLabelFontSize, s);
        const int tick = MmToPixels(s, info_.yTickLength);
        const double step = UsableStep(info_.yStep, info_.yFrom, info_.yTo);
        for (double y = info_.yFrom; y <= info_.yTo + step * 1e-6; y += step) {
            const int py =
                chart_.bottom -
                static_cast<int>((y - info_.yFrom) / (info_.yTo - info_.yFrom) * h + 0.5);
            dc->MoveTo(chart_.left, py);
            dc->LineTo(chart_.left + tick, py);
            const std::string t = TickText(y, step);
            CSize ext = MeasureText(dc, face, fh, t);
            DrawTextAt(dc, face, fh, chart_.left - gap - ext.cx, py - ext.cy / 2, t);
            extent.left = std::min<int>(extent.left, chart_.left - gap - ext.cx);
        }
    }
    if (info_.showXTitle) {
        const std::string face = TextOf(info_.xTitleFont);
        const int fh = FontPixels(info_.xTitleFontSize, s);
        const std::string t = TextOf(info_.xTitle);
        CSize ext = MeasureText(dc, face, fh, t);
        const int y = extent.bottom + gap;
        DrawTextAt(dc, face, fh, (chart_.left + chart_.right - ext.cx) / 2, y, t);
        extent.bottom = y + ext.cy;
    }
    if (info_.showYTitle) {
        const std::string face = TextOf(info_.yTitleFont);
        const int fh = FontPixels(info_.yTitleFontSize, s);
        const std::string t = "Intensity";
        CSize ext = MeasureText(dc, face, fh, t);
        CFont f;
        f.CreateFont(fh, 0, 900, 900, FW_NORMAL, false, false, false, DEFAULT_CHARSET,
                     face.c_str());
        CFont* old = dc->SelectObject(&f);
        const int x = extent.left - gap - ext.cy;
        dc->TextOut(x, (chart_.top + chart_.bottom + ext.cx) / 2, t);
        dc->SelectObject(old);
        extent.left = x;
    }
}
