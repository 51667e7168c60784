// Layout and drawing of the ODF section table: cells of W x H pixels laid out
// P per row with margins for axis names, ticks and section titles, and a key
// cell showing the directions and names of the section axes.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "plotkit/display_common.h"
#include "plotkit/grid_contours.h"
#include "plotkit/odf_structure.h"

using namespace plotkit;

namespace {
std::string Fmt(const char* f, int v) {
    char buf[48];
    std::snprintf(buf, sizeof buf, f, v);
    return buf;
}
std::string Fmt(const char* f, int a, int b) {
    char buf[64];
    std::snprintf(buf, sizeof buf, f, a, b);
    return buf;
}
} // namespace

void CODFStructure::Draw(CDC* dc, CPoint origin, int s, const COLORREF colours[10]) {
    std::memcpy(colours_, colours, sizeof(colours_));
    if (!(info_.showKey >= 0.0 && info_.showKey <= 1.0)) {
        info_.showKey = 1.0;
        CopyText(info_.keyFont, "Arial");
        info_.keyFontSize = 12;
    }
    CheckRecord(info_);
    const int hRange = info_.hTo - info_.hFrom;
    const int vRange = info_.vTo - info_.vFrom;
    W_ = MmToPixels(s, info_.sectionWidth);
    H_ = static_cast<int>(vRange * s * info_.sectionWidth * kMmToUnits / hRange + 0.5);

    auto fh = [s](int points) { return FontPixels(points, s); };
    const int tickBlockLen = MmToPixels(s, info_.tickLength * 2);
    const int upperName = fh(info_.hNameFontSize) + MmToPixels(s, info_.hNameDistance);
    const int upperTick = fh(info_.hTickFontSize) + tickBlockLen;
    T_ = info_.hNameOn && info_.hTicksOn ? std::max(upperName, upperTick)
         : info_.hNameOn                 ? upperName
         : info_.hTicksOn                ? upperTick
                                         : 0;
    const int leftName = MmToPixels(s, info_.vNameDistance) + 2 * fh(info_.vNameFontSize);
    const int leftTick = tickBlockLen + 2 * fh(info_.vTickFontSize);
    Lm_ = info_.vNameOn && info_.vTicksOn ? std::max(leftName, leftTick)
          : info_.vNameOn                 ? leftName
          : info_.vTicksOn                ? leftTick
                                          : 0;
    G_ = info_.titleOn ? MmToPixels(s, info_.titleSpace) : 0;

    sections_.clear();
    for (int k = 0; k < 73; ++k)
        if (info_.sectionShown[k])
            sections_.push_back(k);
    const bool key = static_cast<int>(info_.showKey + 0.5) == 1;
    const int n = static_cast<int>(sections_.size()) + (key ? 1 : 0);

    const int V = T_ + G_ + H_ + ((info_.hTicksOn || info_.hNameOn) ? MmToPixels(s, 5) : 0);
    int P = info_.sectionsPerRow;
    const int x0 = origin.x + info_.startX * s;
    const int y0 = origin.y + info_.startY * s;
    cells_.clear();
    for (int k = 0; k < n; ++k) {
        const int col = k % P, row = k / P;
        cells_.push_back({x0 + Lm_ + col * (Lm_ + W_), y0 + row * V + G_});
    }

    const int oldMode = dc->SetBkMode(TRANSPARENT);
    for (std::size_t k = 0; k < sections_.size(); ++k) {
        DrawSection(dc, sections_[k], cells_[k], s);
        DrawSectionDecor(dc, sections_[k], cells_[k], s);
    }
    if (key)
        DrawKey(dc, cells_.back(), s);
    dc->SetBkMode(oldMode);

    if (n > 0 && P > n) {
        P = n;
        info_.sectionsPerRow = P;
    }
    const int rows = (n + P - 1) / P;
    rect_ = RECT{x0 - 8, y0 - 8, x0 + P * (W_ + Lm_) + 8, y0 + rows * (H_ + G_ + T_) + 8};
    if (info_.selected && !dc->IsPrinting())
        DrawSelectionMarks(dc, rect_);
}

void CODFStructure::DrawSection(CDC* dc, int section, CPoint cell, int s) {
    const int hFrom = info_.hFrom, vFrom = info_.vFrom;
    const double hRange = info_.hTo - hFrom, vRange = info_.vTo - vFrom;
    ContourStyle style{info_.levels, info_.count, colours_, MmToPixels(s, info_.contourWidth),
                       bBlackWhite};
    const int W = W_, H = H_;
    DrawGridContours(
        dc, &data_[section][0][0], 73, vFrom, info_.vTo, hFrom, info_.hTo, style,
        [&](const orimath::GridPos& a, const orimath::GridPos& b, CPoint& pa, CPoint& pb) {
            pa = {static_cast<int>((a.col - hFrom) * W / hRange) + cell.x,
                  static_cast<int>((a.row - vFrom) * H / vRange) + cell.y};
            pb = {static_cast<int>((b.col - hFrom) * W / hRange) + cell.x,
                  static_cast<int>((b.row - vFrom) * H / vRange) + cell.y};
            return true;
        });
}

void CODFStructure::DrawSectionDecor(CDC* dc, int section, CPoint c, int s) {
    const int W = W_, H = H_;
    if (info_.showBorder) {
        ScopedPen pen(dc, MmToPixels(s, info_.borderWidth), 0);
        dc->MoveTo(c.x, c.y);
        dc->LineTo(c.x + W, c.y);
        dc->LineTo(c.x + W, c.y + H);
        dc->LineTo(c.x, c.y + H);
        dc->LineTo(c.x, c.y);
    }
    const int tickLen = MmToPixels(s, info_.tickLength);
    const bool phi1Sections = info_.sectionAngle == 1;
    const std::string hSub = phi1Sections ? "2" : "1";
    const std::string secSub = phi1Sections ? "1" : "2";
    int hTickBottom = c.y + H;
    if (info_.hTicksOn) {
        ScopedPen pen(dc, MmToPixels(s, info_.tickWidth), 0);
        const int fh = FontPixels(info_.hTickFontSize, s);
        const std::string face = TextOf(info_.hTickFont);
        const int from = info_.hFrom * 5, to = info_.hTo * 5;
        for (int a = from; a <= to; a += info_.hTickStep) {
            const int px = c.x + static_cast<int>(double(a - from) * W / (to - from));
            dc->MoveTo(px, c.y + H);
            dc->LineTo(px, c.y + H + tickLen);
            const std::string label = Fmt("%d", a);
            CSize ext = MeasureText(dc, face, fh, label);
            DrawTextAt(dc, face, fh, px - ext.cx / 2, c.y + H + tickLen + 1, label);
            hTickBottom = std::max(hTickBottom, c.y + H + tickLen + 1 + ext.cy);
        }
    }
    int vTickLeft = c.x;
    if (info_.vTicksOn) {
        ScopedPen pen(dc, MmToPixels(s, info_.tickWidth), 0);
        const int fh = FontPixels(info_.vTickFontSize, s);
        const std::string face = TextOf(info_.vTickFont);
        const int from = info_.vFrom * 5, to = info_.vTo * 5;
        for (int a = from; a <= to; a += info_.vTickStep) {
            const int py = c.y + static_cast<int>(double(a - from) * H / (to - from));
            dc->MoveTo(c.x - tickLen, py);
            dc->LineTo(c.x, py);
            const std::string label = Fmt("%d", a);
            CSize ext = MeasureText(dc, face, fh, label);
            DrawTextAt(dc, face, fh, c.x - tickLen - 2 - ext.cx, py - ext.cy / 2, label);
            vTickLeft = std::min(vTickLeft, c.x - tickLen - 2 - ext.cx);
        }
    }
    if (info_.hNameOn) {
        const int fh = FontPixels(info_.hNameFontSize, s);
        auto pieces = GreekWithSubscript("j", hSub, fh, {}, TextOf(info_.hNameFont));
        pieces[0].face = TextOf(info_.hNameFont);
        pieces[1].face = "Arial";
        CSize ext = DrawPieces(dc, 0, 0, pieces, false);
        const int top =
            std::max(c.y + H + MmToPixels(s, info_.hNameDistance) - fh / 2, hTickBottom + 1);
        DrawPieces(dc, c.x + (W - ext.cx) / 2, top, pieces);
    }
    if (info_.vNameOn) {
        const int fh = FontPixels(info_.vNameFontSize, s);
        std::vector<TextPiece> pieces{{"F", TextOf(info_.vNameFont), fh, 0}};
        CSize ext = DrawPieces(dc, 0, 0, pieces, false);
        const int right =
            std::min(c.x - MmToPixels(s, info_.vNameDistance) + ext.cx / 2, vTickLeft - 2);
        DrawPieces(dc, right - ext.cx, c.y + (H - ext.cy) / 2, pieces);
    }
    if (info_.titleOn) {
        const int fh = FontPixels(info_.titleFontSize, s);
        auto pieces = GreekWithSubscript("j", secSub, fh, Fmt(" = %d", section * 5), "Arial");
        pieces[0].face = TextOf(info_.titleFont);
        CSize ext = DrawPieces(dc, 0, 0, pieces, false);
        int x = c.x;
        if (info_.titleAlign == 1)
            x = c.x + (W - ext.cx) / 2;
        if (info_.titleAlign == 2)
            x = c.x + W - ext.cx;
        const int top = c.y - G_ + std::max(0, (G_ - ext.cy) / 2);
        DrawPieces(dc, x, top, pieces);
    }
}

void CODFStructure::DrawKey(CDC* dc, CPoint c, int s) {
    const int W = W_, H = H_;
    const int g = MmToPixels(s, 5);
    const int hh = static_cast<int>(s * 4 * 100 / 279.4 + 0.5);
    const int len = static_cast<int>(std::sqrt(3.0) * hh + 0.5);
    const CPoint hTip{c.x + W - 2 * g, c.y + g};
    const CPoint vTip{c.x + g, c.y + H - 2 * g};
    {
        ScopedPen pen(dc, MmToPixels(s, info_.borderWidth), 0);
        CBrush black(0);
        CBrush* oldBrush = dc->SelectObject(&black);
        dc->MoveTo(hTip);
        dc->LineTo(c.x + g, c.y + g);
        dc->LineTo(vTip);
        const CPoint right[3] = {hTip, {hTip.x - len, hTip.y - hh}, {hTip.x - len, hTip.y + hh}};
        dc->Polygon(right, 3);
        const CPoint down[3] = {vTip, {vTip.x - hh, vTip.y - len}, {vTip.x + hh, vTip.y - len}};
        dc->Polygon(down, 3);
        dc->SelectObject(oldBrush);
    }
    const bool phi1Sections = info_.sectionAngle == 1;
    const std::string hSub = phi1Sections ? "2" : "1";
    const std::string secSub = phi1Sections ? "1" : "2";
    const int fh = FontPixels(info_.keyFontSize, s);
    const std::string face = TextOf(info_.keyFont);

    // Axis names at the arrow tips.
    auto hName = GreekWithSubscript("j", hSub, fh, {}, face);
    CSize hExt = DrawPieces(dc, 0, 0, hName, false);
    DrawPieces(dc, hTip.x - hExt.cx / 2, hTip.y + hh + 2, hName);
    // Phi right of the vertical arrow's tip; the ranges of the two axes and
    // of the shown sections, in degrees, in a column right of it.
    std::vector<TextPiece> vName{{"F", "Symbol", fh, 0}};
    CSize vExt = DrawPieces(dc, 0, 0, vName, false);
    DrawPieces(dc, vTip.x + hh + 3, vTip.y - vExt.cy, vName);
    const int rh = std::max(1, fh * 3 / 4);
    const int secFirst = sections_.empty() ? 0 : sections_.front() * 5;
    const int secLast = sections_.empty() ? 0 : sections_.back() * 5;
    const std::vector<std::vector<TextPiece>> lines = {
        GreekWithSubscript("j", hSub, rh, Fmt(" = %d , %d", info_.hFrom * 5, info_.hTo * 5), face),
        {{"F", "Symbol", rh, 0}, {Fmt(" = %d , %d", info_.vFrom * 5, info_.vTo * 5), face, rh, 0}},
        GreekWithSubscript("j", secSub, rh, Fmt(" = %d , %d", secFirst, secLast), face)};
    int y = c.y + g + hh + fh + 6;
    const int x = vTip.x + hh + 3 + vExt.cx + 6;
    for (const auto& line : lines) {
        CSize ext = DrawPieces(dc, x, y, line);
        y += ext.cy + 2;
    }
}
