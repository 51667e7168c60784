#include "plotkit/legend_map.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "plotkit/display_common.h"
#include "plotkit/format_dialog_registry.h"

using namespace plotkit;

CLegendMap::CLegendMap(int firstId, int secondId, const double levels[10], double contourWidth) {
    std::memset(&info_, 0, sizeof(info_));
    info_.selected = 1;
    info_.showFrame = 1;
    info_.frameWidth = 0.3;
    info_.contourWidth = contourWidth;
    CopyText(info_.fontName, "Arial");
    info_.fontSize = 12;
    info_.lineLength = 5.0;
    info_.startX = 50;
    info_.startY = 50;
    info_.firstId = firstId;
    info_.secondId = secondId;
    if (levels)
        std::memcpy(info_.levels, levels, sizeof(info_.levels));
}

int CLegendMap::CheckID(int firstId, int secondId) const {
    return info_.firstId == firstId && info_.secondId == secondId ? 1 : 0;
}

void CLegendMap::SetInfo(const LenMap& info) {
    info_ = info;
    CheckRecord(info_);
}

void CLegendMap::GetContourInfo(double levels[10], int& count, double& lineWidth) {
    std::memcpy(levels, info_.levels, sizeof(info_.levels));
    count = 5;
    lineWidth = info_.contourWidth;
}

void CLegendMap::SetContourInfo(double levels[10], int& count, double& lineWidth) {
    (void)count;
    std::memcpy(info_.levels, levels, sizeof(info_.levels));
    info_.contourWidth = lineWidth;
}

void CLegendMap::Draw(CDC* dc, CPoint origin, int s, const COLORREF colours[10]) {
    std::memcpy(colours_, colours, sizeof(colours_));
    const std::string face = TextOf(info_.fontName);
    const int fh = FontPixels(info_.fontSize, s);
    std::string texts[5];
    int tw = 0, h = 0;
    {
        ScopedFont font(dc, face, fh);
        for (int k = 0; k < 5; ++k) {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.2f", info_.levels[5 + k]);
            texts[k] = buf;
            CSize ext = dc->GetTextExtent(texts[k]);
            tw = std::max(tw, ext.cx);
            h = std::max(h, ext.cy);
        }
    }
    const int L = static_cast<int>(s * info_.lineLength * kLegendMmToUnits + 0.5);
    textWidth_ = tw;
    letterHeight_ = h;
    lineLength_ = L;

    const int left = origin.x + info_.startX * s;
    const int top = origin.y + info_.startY * s;
    const int u = tw + 2 * h + L;
    int width = h, height = h;
    switch (info_.style) {
    case 0:
        width = h + u, height = 9 * h;
        break;
    case 1:
        width = h + 2 * u, height = 6 * h;
        break;
    case 2:
        width = h + 3 * u, height = static_cast<int>(2.5 * h + 2 * h);
        break;
    case 3:
        width = h + 5 * u, height = 3 * h;
        break;
    default:
        break;
    }
    rect_ = RECT{left, top, left + width, top + height};

    // (column, row) of each entry per layout.
    static const int kPlace[4][5][2] = {{{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}},
                                        {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {0, 2}},
                                        {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}},
                                        {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}}};
    const bool known = info_.style >= 0 && info_.style <= 3;
    for (int k = 0; k < 5; ++k) {
        const int col = known ? kPlace[info_.style][k][0] : 0;
        const int row = known ? kPlace[info_.style][k][1] : 0;
        entries_[k] = {left + 2 * h + L + col * (tw + 2 * h + L),
                       top + h + static_cast<int>(1.5 * h * row + 0.5)};
    }

    if (known) {
        const int penWidth = MmToPixels(s, info_.contourWidth);
        for (int k = 0; k < 5; ++k) {
            ScopedPen pen(dc, penWidth, ChooseColor(dc, bBlackWhite, colours_[5 + k]));
            const int y = entries_[k].y + (h + 1) / 2;
            dc->MoveTo(entries_[k].x - h - L, y);
            dc->LineTo(entries_[k].x - h, y);
        }
        ScopedFont font(dc, face, fh);
        const int oldMode = dc->SetBkMode(TRANSPARENT);
        for (int k = 0; k < 5; ++k)
            dc->TextOut(entries_[k].x, entries_[k].y, texts[k]);
        dc->SetBkMode(oldMode);
    }
    if (info_.showFrame) {
        ScopedPen pen(dc, std::max(1, MmToPixels(s, info_.frameWidth)), 0);
        dc->MoveTo(rect_.left, rect_.top);
        dc->LineTo(rect_.right, rect_.top);
        dc->LineTo(rect_.right, rect_.bottom);
        dc->LineTo(rect_.left, rect_.bottom);
        dc->LineTo(rect_.left, rect_.top);
    }
    if (info_.selected && !dc->IsPrinting())
        DrawSelectionMarks(dc, rect_);
}

int CLegendMap::IsIn(CPoint pixel, int* distance) {
    return HitTestRect(rect_, pixel, distance);
}

int CLegendMap::OnFormat() {
    return plotkit::OpenFormatDialog(*this);
}
