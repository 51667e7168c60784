#pragma once
// Intensity-line chart: up to ten lines of 73 values at 5 degree steps of an
// angle, with marks, axes, tick labels, titles, a border and a legend of the
// line names. Type code 5.
#include <cstddef>
#include <cstdint>
#include <string>

#include "plotkit/display_structure.h"

// Format record stored raw in layout documents (1008 bytes).
struct ScanLineInfo {
    int32_t selected;
    int32_t startX, startY;
    int32_t pad12;
    double height;    // mm, chart height
    double width;     // mm, chart width
    double lineWidth; // mm, the data lines
    int32_t showBorder;
    int32_t pad44;
    double borderWidth; // mm
    int32_t showXTitle;
    char xTitle[32];
    int32_t xTitleFontSize;
    char xTitleFont[32];
    int32_t showYTitle;
    int32_t yTitleFontSize;
    char yTitleFont[32];
    int32_t showXLabels;
    int32_t xLabelFontSize;
    char xLabelFont[32];
    int32_t showYLabels;
    int32_t yLabelFontSize;
    char yLabelFont[32];
    double xTickLength; // mm
    double yTickLength; // mm
    double xTickWidth;  // mm
    double yTickWidth;  // mm
    double xStep;       // x tick step
    double yStep;       // y tick step
    double xFrom, xTo;
    double yFrom, yTo;
    double labelDistance; // mm, tick labels from the axes
    double legendWidth;   // mm, legend sample line length
    int32_t lineCount;
    int32_t visible[10];
    int32_t showMarks;
    double markSize; // mm
    double maximum;
    int32_t lineType;
    int32_t showLegend;
    int32_t legendFontSize; // points
    char names[10][32];
    char reserved740[268];
};
static_assert(sizeof(ScanLineInfo) == 1008);
static_assert(offsetof(ScanLineInfo, startX) == 4);
static_assert(offsetof(ScanLineInfo, startY) == 8);
static_assert(offsetof(ScanLineInfo, height) == 16);
static_assert(offsetof(ScanLineInfo, width) == 24);
static_assert(offsetof(ScanLineInfo, lineWidth) == 32);
static_assert(offsetof(ScanLineInfo, showBorder) == 40);
static_assert(offsetof(ScanLineInfo, borderWidth) == 48);
static_assert(offsetof(ScanLineInfo, showXTitle) == 56);
static_assert(offsetof(ScanLineInfo, xTitle) == 60);
static_assert(offsetof(ScanLineInfo, xTitleFontSize) == 92);
static_assert(offsetof(ScanLineInfo, xTitleFont) == 96);
static_assert(offsetof(ScanLineInfo, showYTitle) == 128);
static_assert(offsetof(ScanLineInfo, yTitleFontSize) == 132);
static_assert(offsetof(ScanLineInfo, yTitleFont) == 136);
static_assert(offsetof(ScanLineInfo, showXLabels) == 168);
static_assert(offsetof(ScanLineInfo, xLabelFontSize) == 172);
static_assert(offsetof(ScanLineInfo, xLabelFont) == 176);
static_assert(offsetof(ScanLineInfo, showYLabels) == 208);
static_assert(offsetof(ScanLineInfo, yLabelFontSize) == 212);
static_assert(offsetof(ScanLineInfo, yLabelFont) == 216);
static_assert(offsetof(ScanLineInfo, xTickLength) == 248);
static_assert(offsetof(ScanLineInfo, yTickLength) == 256);
static_assert(offsetof(ScanLineInfo, xTickWidth) == 264);
static_assert(offsetof(ScanLineInfo, yTickWidth) == 272);
static_assert(offsetof(ScanLineInfo, xStep) == 280);
static_assert(offsetof(ScanLineInfo, yStep) == 288);
static_assert(offsetof(ScanLineInfo, xFrom) == 296);
static_assert(offsetof(ScanLineInfo, xTo) == 304);
static_assert(offsetof(ScanLineInfo, yFrom) == 312);
static_assert(offsetof(ScanLineInfo, yTo) == 320);
static_assert(offsetof(ScanLineInfo, labelDistance) == 328);
static_assert(offsetof(ScanLineInfo, legendWidth) == 336);
static_assert(offsetof(ScanLineInfo, lineCount) == 344);
static_assert(offsetof(ScanLineInfo, visible) == 348);
static_assert(offsetof(ScanLineInfo, showMarks) == 388);
static_assert(offsetof(ScanLineInfo, markSize) == 392);
static_assert(offsetof(ScanLineInfo, maximum) == 400);
static_assert(offsetof(ScanLineInfo, lineType) == 408);
static_assert(offsetof(ScanLineInfo, showLegend) == 412);
static_assert(offsetof(ScanLineInfo, legendFontSize) == 416);
static_assert(offsetof(ScanLineInfo, names) == 420);

namespace plotkit {
void CheckRecord(ScanLineInfo& info);
// A tick step that advances: the given one when it is positive and gives at
// most 200 ticks over the range, else a tenth of the range (at least 1e-9).
double UsableStep(double step, double from, double to);
} // namespace plotkit

class CScanLine : public CDisplayStructure {
  public:
    CScanLine();

    // Adds a line of 73 values (x = 0, 5, ..., 360 degrees); 0 when ten
    // lines are already held.
    int AddData(const double values[73], int xRange, int lineType, const std::string& name);
    void GetData(double values[][73], int& count) const;
    // Removes line `index` (0-based) with its name and visibility; the later
    // lines move up. 0 for an index that holds no line.
    int DeleteLine(int index);
    int GetLineType() const { return info_.lineType; }
    ScanLineInfo GetInfo() const { return info_; }
    void SetInfo(const ScanLineInfo& info);

    int GetType() override { return kDisplayLine; }
    int OnFormat() override;
    CPoint GetStartPos() override { return {info_.startX, info_.startY}; }
    int GetSelection() override { return info_.selected; }
    void SetSelection(int selected) override { info_.selected = selected; }
    void SetStartPos(CPoint pos) override {
        info_.startX = pos.x;
        info_.startY = pos.y;
    }
    int ReadValuePos(CPoint pixel, std::string out[2]) override;
    int IsIn(CPoint pixel, int* distance) override;
    RECT GetRect() override { return rect_; }
    void Draw(CDC* dc, CPoint origin, int scale, const COLORREF colours[10]) override;

    CPoint PointPos(int line, int j) const { return {px_[line][j], py_[line][j]}; }
    RECT GetChartRect() const { return chart_; }
    ScanLineInfo& InfoRef() { return info_; }

  private:
    void DrawAxes(CDC* dc, int s, RECT& extent);

    int scale_ = 4;
    double values_[10][73] = {};
    int px_[10][73];
    int py_[10][73];
    ScanLineInfo info_{};
    RECT chart_{};
    RECT rect_{};
};
