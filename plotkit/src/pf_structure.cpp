#include "plotkit/pf_structure.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "circle_figure_defaults.h"
#include "plotkit/display_common.h"
#include "plotkit/format_dialog_registry.h"
#include "plotkit/grid_contours.h"

namespace {

std::string IndexTextFromName(const std::string& name) {
    std::string copy = name;
    if (auto close = copy.find(')'); close != std::string::npos)
        copy.resize(close);
    auto open = copy.find('(');
    if (open == std::string::npos)
        return {};
    std::string index(1, '{');
    index.append(copy, open + 1, std::string::npos);
    index.push_back('}');
    return index;
}

} // namespace

CPFStructure::CPFStructure(const std::string& fileName) {
    std::memset(&info_, 0, sizeof(info_));
    plotkit::CopyText(info_.fileName, fileName);
    plotkit::SetCircleFigureDefaults(info_);
    plotkit::CopyText(info_.indexText, IndexTextFromName(plotkit::TextOf(info_.fileName)));
}

void CPFStructure::SetData(const double data[19][73]) {
    const double m = plotkit::FindMaximum(&data[0][0], 19 * 73);
    info_.maximum = m;
    plotkit::SetDefaultLevels(info_.levels, m);
    std::memcpy(data_, data, sizeof(data_));
}

void CPFStructure::GetData(double data[19][73]) const {
    std::memcpy(data, data_, sizeof(data_));
}

void CPFStructure::SetInfo(const PFInfo& info) {
    info_ = info;
    plotkit::CheckRecord(info_);
}

void CPFStructure::GetContourInfo(double levels[10], int& count, double& lineWidth) {
    plotkit::GetContourFields(info_, levels, count, lineWidth);
}

void CPFStructure::SetContourInfo(double levels[10], int& count, double& lineWidth) {
    plotkit::SetContourFields(info_, levels, count, lineWidth);
}

void CPFStructure::FindDataRows(int& first, int& end) const {
    auto hasData = [&](int i) {
        for (int j = 0; j < 73; ++j)
            if (std::fabs(data_[i][j]) > 1e-5)
                return true;
        return false;
    };
    first = 0;
    for (int i = 0; i <= 17; ++i)
        if (hasData(i)) {
            first = i;
            break;
        }
    end = 0;
    for (int i = 18; i >= 2; --i)
        if (hasData(i)) {
            end = i + 1;
            break;
        }
}

void CPFStructure::Draw(CDC* dc, CPoint origin, int s, const COLORREF colours[10]) {
    using namespace plotkit;
    std::memcpy(colours_, colours, sizeof(colours_));
    const int r = MmToPixels(s, info_.radius);
    const int left = origin.x + info_.startX * s;
    const int top = origin.y + info_.startY * s;
    const int right = left + 2 * r;
    const int bottom = top + 2 * r;
    square_ = RECT{left, top, right, bottom};
    diameter_ = right - left;
    const int R = diameter_ / 2;
    const int midY = (top + bottom) / 2;

    int first = 0, end = 0;
    FindDataRows(first, end);

    ContourStyle style{info_.levels, CheckedLevelCount(info_.count), colours_,
                       MmToPixels(s, info_.contourWidth), bBlackWhite};
    DrawStereoContours(dc, &data_[0][0], first, end - 1, 0, 72, style, R, left, top);

    if (info_.showAxes)
        DrawCrossAxes(dc, MmToPixels(s, info_.axisWidth), left, top, right, bottom);
    if (info_.showBorder)
        DrawCircleBorder(dc, MmToPixels(s, info_.borderWidth), left, right, midY);

    const std::string face = TextOf(info_.fontName);
    const int fh = FontPixels(info_.fontSize, s);
    const int g = static_cast<int>(s * 600.0 / 279.4 + 0.5);
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    if (info_.showLabels) {
        ScopedFont font(dc, face, fh);
        CSize sd = dc->GetTextExtent("SD");
        dc->TextOut((right - sd.cx + left) / 2, top - sd.cy - g, "SD");
        CSize td = dc->GetTextExtent("TD");
        dc->TextOut(left - td.cx - g, (bottom - td.cy + top) / 2, "TD");
    }

    rect_ = square_;
    if (info_.showLabels) {
        rect_.top -= g + fh;
        rect_.left -= g + 2 * fh;
    }
    if (info_.selected && !dc->IsPrinting())
        DrawSelectionMarks(dc, rect_);

    {
        ScopedFont font(dc, face, fh);
        const std::string index = TextOf(info_.indexText);
        CSize ext = dc->GetTextExtent(index);
        dc->TextOut(left, bottom - ext.cy, index);
    }
    dc->SetBkMode(oldMode);
}

int CPFStructure::ReadValuePos(CPoint pixel, std::string out[2]) {
    const double cx = (square_.left + square_.right) * 0.5;
    const double cy = (square_.top + square_.bottom) * 0.5;
    const double r = std::hypot(pixel.x - cx, pixel.y - cy);
    if (r > (square_.right - square_.left) * 0.5 || diameter_ <= 0)
        return 0;
    char buf[64];
    if (r < 1.0) {
        out[0] = "(0, 0)";
        std::snprintf(buf, sizeof buf, "%.3f", data_[0][0]);
        out[1] = buf;
        return 1;
    }
    double alpha = 0, beta = 0;
    plotkit::StereoPosition(pixel.x, pixel.y, cx, cy, diameter_ / 2, alpha, beta);
    const int A = static_cast<int>(alpha + 0.5);
    const int B = static_cast<int>(beta + 0.5);
    std::snprintf(buf, sizeof buf, "(%d, %d)", A, B);
    out[0] = buf;
    int i = static_cast<int>(A * 0.2 + 0.5);
    int j = static_cast<int>(B * 0.2 + 0.5);
    if (i > 18)
        i = 18;
    if (j > 72)
        j = 72;
    std::snprintf(buf, sizeof buf, "%.3f", data_[i][j]);
    out[1] = buf;
    return 1;
}

int CPFStructure::IsIn(CPoint pixel, int* distance) {
    return plotkit::HitTestRect(rect_, pixel, distance);
}

int CPFStructure::OnFormat() {
    return plotkit::OpenFormatDialog(*this);
}
