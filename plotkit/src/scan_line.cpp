#include "plotkit/scan_line.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "plotkit/display_common.h"
#include "plotkit/format_dialog_registry.h"

using namespace plotkit;

namespace plotkit {
double UsableStep(double step, double from, double to) {
    const double range = std::fabs(to - from);
    if (std::isfinite(step) && step > 0 && range / step <= 200.0)
        return step;
    return std::max(range / 10.0, 1e-9);
}
} // namespace plotkit

CScanLine::CScanLine() {
    std::memset(&info_, 0, sizeof(info_));
    for (auto& row : px_)
        std::fill(std::begin(row), std::end(row), -1);
    for (auto& row : py_)
        std::fill(std::begin(row), std::end(row), -1);
    info_.startX = 30;
    info_.startY = 40;
    info_.height = 70.0;
    info_.width = 100.0;
    info_.lineWidth = 0.3;
    info_.showBorder = 1;
    info_.borderWidth = 0.3;
    info_.showXTitle = 1;
    CopyText(info_.xTitle, "Angle");
    info_.xTitleFontSize = 12;
    CopyText(info_.xTitleFont, "Symbol");
    info_.showYTitle = 1;
    info_.yTitleFontSize = 12;
    CopyText(info_.yTitleFont, "Times New Roman");
    info_.showXLabels = 1;
    info_.xLabelFontSize = 10;
    CopyText(info_.xLabelFont, "Times New Roman");
    info_.showYLabels = 1;
    info_.yLabelFontSize = 10;
    CopyText(info_.yLabelFont, "Times New Roman");
    info_.xTickLength = info_.yTickLength = 2.0;
    info_.xTickWidth = info_.yTickWidth = 0.3;
    info_.xStep = info_.yStep = 10.0;
    info_.xFrom = 0.0;
    info_.xTo = 90.0;
    info_.yFrom = 0.0;
    info_.yTo = 10.0;
    info_.labelDistance = 10.0;
    info_.legendWidth = 20.0;
    for (int& v : info_.visible)
        v = 1;
    info_.showMarks = 1;
    info_.markSize = 2.0;
    info_.showLegend = 1;
    info_.legendFontSize = 10;
}

int CScanLine::AddData(const double values[73], int xRange, int lineType, const std::string& name) {
    if (info_.lineCount >= 10 || info_.lineCount < 0)
        return 0;
    const int k = info_.lineCount;
    std::memcpy(values_[k], values, sizeof(values_[k]));
    info_.lineCount = k + 1;
    double m = 0.0;
    for (int i = 0; i <= k; ++i)
        for (int j = 0; j < 73; ++j)
            m = std::max(m, values_[i][j]);
    info_.maximum = m;
    info_.yFrom = 0.0;
    info_.yTo = m * 1.05;
    // An all-zero line would give a zero step: keep the previous positive one.
    info_.yStep = m > 0 ? m * 0.1 : UsableStep(info_.yStep, info_.yFrom, info_.yTo);
    if (xRange > info_.xTo)
        info_.xTo = xRange;
    info_.xFrom = 0.0;
    // Below 9 degrees the whole-number step would be 0.
    info_.xStep = std::max(1, xRange / 9);
    info_.lineType = lineType;
    CopyText(info_.names[k], name);
    return 1;
}

void CScanLine::GetData(double values[][73], int& count) const {
    count = std::clamp(info_.lineCount, 0, 10);
    std::memcpy(values, values_, sizeof(double) * 73 * count);
}

int CScanLine::DeleteLine(int index) {
    const int n = std::clamp(info_.lineCount, 0, 10);
    if (index < 0 || index >= n)
        return 0;
    for (int k = index; k + 1 < n; ++k) {
        std::memcpy(values_[k], values_[k + 1], sizeof(values_[k]));
        std::memcpy(info_.names[k], info_.names[k + 1], sizeof(info_.names[k]));
        info_.visible[k] = info_.visible[k + 1];
    }
    std::memset(values_[n - 1], 0, sizeof(values_[n - 1]));
    std::memset(info_.names[n - 1], 0, sizeof(info_.names[n - 1]));
    info_.visible[n - 1] = 0;
    info_.lineCount = n - 1;
    double m = 0.0;
    for (int k = 0; k + 1 < n; ++k)
        for (int j = 0; j < 73; ++j)
            m = std::max(m, values_[k][j]);
    info_.maximum = m;
    return 1;
}

void CScanLine::SetInfo(const ScanLineInfo& info) {
    info_ = info;
    CheckRecord(info_);
}

int CScanLine::ReadValuePos(CPoint pixel, std::string out[2]) {
    const double radius = info_.showMarks ? scale_ * info_.markSize * kMmToUnits : 3.0;
    const int n = std::clamp(info_.lineCount, 0, 10);
    for (int k = 0; k < n; ++k)
        for (int j = 0; j < 73; ++j) {
            if (px_[k][j] <= 0 || py_[k][j] <= 0)
                continue;
            if (std::hypot(pixel.x - px_[k][j], pixel.y - py_[k][j]) < radius) {
                char buf[48];
                std::snprintf(buf, sizeof buf, "%d", 5 * j);
                out[0] = buf;
                std::snprintf(buf, sizeof buf, "%.2f", values_[k][j]);
                out[1] = buf;
                return 1;
            }
        }
    return 0;
}

int CScanLine::IsIn(CPoint pixel, int* distance) {
    return HitTestRect(rect_, pixel, distance);
}

int CScanLine::OnFormat() {
    // Deleting a line in the dialog changes the data as well as the record;
    // both come back when the dialog is cancelled.
    double savedValues[10][73];
    std::memcpy(savedValues, values_, sizeof values_);
    const int result = plotkit::OpenFormatDialog(*this);
    if (result == 0)
        std::memcpy(values_, savedValues, sizeof values_);
    return result;
}
