#pragma once
// Grain boundary character distribution as bar charts: misorientation angles
// in angle bins and, when supplied, coincidence site lattice types, in
// percent. Type code 4.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "plotkit/display_structure.h"

// Format record stored raw in layout documents (640 bytes).
struct GBCDInfo {
    int32_t startX, startY;
    char crystal[64];
    int32_t kind; // non-zero: a CSL distribution is supplied
    int32_t pad76;
    char titleFont[32]; // x axis title
    int32_t titleFontSize;
    int32_t showTitle;
    int32_t showBorder;
    int32_t pad124;
    double borderWidth;   // mm
    double titleDistance; // mm, x axis title below the chart
    int32_t showXLabels;
    int32_t showYLabels;
    double tickLength; // mm, y axis ticks
    double tickWidth;  // mm
    char xLabelFont[32];
    int32_t xLabelFontSize;
    char yLabelFont[32];
    int32_t yLabelFontSize;
    int32_t yLabelEvery; // percent
    int32_t yMax;        // percent
    int32_t showMis;
    int32_t showCSL;
    int32_t misFrom, misTo;    // degrees
    int32_t misBin;            // degrees
    int32_t cslFirst, cslLast; // label indices shown
    int32_t cslLastCounted;    // later entries count as random
    int32_t showRandomBar;
    int32_t selected;
    int32_t showRandomMark;
    int32_t pad292;
    double barWidth;     // mm
    double barLineWidth; // mm
    int32_t solidBar;
    int32_t pad316;
    double width;       // mm
    double height;      // mm
    char valueFont[32]; // value texts above the bars and the mark
    int32_t valueFontSize;
    char reserved372[268];
};
static_assert(sizeof(GBCDInfo) == 640);
static_assert(offsetof(GBCDInfo, crystal) == 8);
static_assert(offsetof(GBCDInfo, kind) == 72);
static_assert(offsetof(GBCDInfo, titleFont) == 80);
static_assert(offsetof(GBCDInfo, titleFontSize) == 112);
static_assert(offsetof(GBCDInfo, showTitle) == 116);
static_assert(offsetof(GBCDInfo, showBorder) == 120);
static_assert(offsetof(GBCDInfo, borderWidth) == 128);
static_assert(offsetof(GBCDInfo, titleDistance) == 136);
static_assert(offsetof(GBCDInfo, showXLabels) == 144);
static_assert(offsetof(GBCDInfo, showYLabels) == 148);
static_assert(offsetof(GBCDInfo, tickLength) == 152);
static_assert(offsetof(GBCDInfo, tickWidth) == 160);
static_assert(offsetof(GBCDInfo, xLabelFont) == 168);
static_assert(offsetof(GBCDInfo, xLabelFontSize) == 200);
static_assert(offsetof(GBCDInfo, yLabelFont) == 204);
static_assert(offsetof(GBCDInfo, yLabelFontSize) == 236);
static_assert(offsetof(GBCDInfo, yLabelEvery) == 240);
static_assert(offsetof(GBCDInfo, yMax) == 244);
static_assert(offsetof(GBCDInfo, showMis) == 248);
static_assert(offsetof(GBCDInfo, showCSL) == 252);
static_assert(offsetof(GBCDInfo, misFrom) == 256);
static_assert(offsetof(GBCDInfo, misTo) == 260);
static_assert(offsetof(GBCDInfo, misBin) == 264);
static_assert(offsetof(GBCDInfo, cslFirst) == 268);
static_assert(offsetof(GBCDInfo, cslLast) == 272);
static_assert(offsetof(GBCDInfo, cslLastCounted) == 276);
static_assert(offsetof(GBCDInfo, showRandomBar) == 280);
static_assert(offsetof(GBCDInfo, selected) == 284);
static_assert(offsetof(GBCDInfo, showRandomMark) == 288);
static_assert(offsetof(GBCDInfo, barWidth) == 296);
static_assert(offsetof(GBCDInfo, barLineWidth) == 304);
static_assert(offsetof(GBCDInfo, solidBar) == 312);
static_assert(offsetof(GBCDInfo, width) == 320);
static_assert(offsetof(GBCDInfo, height) == 328);
static_assert(offsetof(GBCDInfo, valueFont) == 336);
static_assert(offsetof(GBCDInfo, valueFontSize) == 368);

namespace plotkit {
void CheckRecord(GBCDInfo& info);
// The 51 CSL labels, "1" .. "51b" and "Ran.".
extern const char* const kCSLLabels[51];

struct GBCDBar {
    RECT rect{}; // device pixels of the last Draw
    std::string label;
    std::string value; // "%.1f" percent
    double percent = 0.0;
};
// The misorientation bars of a 1 degree distribution (181 entries): bins of
// `bin` degrees from `from`, then one bar for the remainder up to `to`.
std::vector<GBCDBar> MisorientationBars(const double mis[181], int from, int to, int bin);
// One bar per CSL index first..last, then "Ran." summing the entries after
// lastCounted (when withRandom).
std::vector<GBCDBar> CSLBars(const double csl[51], int first, int last, int lastCounted,
                             bool withRandom);
} // namespace plotkit

class CGBCDStructure : public CDisplayStructure {
  public:
    CGBCDStructure(int kind, const std::string& crystal);

    void IniData(const double csl[51], const double misorientation[181]);
    void GetData(double csl[51], double misorientation[181]) const;
    GBCDInfo GetInfo() const { return info_; }
    void SetInfo(const GBCDInfo& info);

    int GetType() override { return kDisplayGBCD; }
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

    const std::vector<plotkit::GBCDBar>& MisBars() const { return misBars_; }
    const std::vector<plotkit::GBCDBar>& CSLBarList() const { return cslBars_; }
    GBCDInfo& InfoRef() { return info_; }

  private:
    void DrawBars(CDC* dc, std::vector<plotkit::GBCDBar>& bars, RECT area, int s, COLORREF colour);

    double csl_[51] = {};
    double mis_[181] = {};
    GBCDInfo info_{};
    std::vector<plotkit::GBCDBar> misBars_, cslBars_;
    RECT chart_{};
    RECT rect_{};
};
