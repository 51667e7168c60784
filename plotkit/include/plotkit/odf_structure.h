#pragma once
// ODF on the 5 degree grid (double[73][37][73]: section angle, Phi, the
// horizontal angle) shown as a table of constant-angle sections with an
// optional key cell. Type code 1. Also offers the volume fraction of an
// Euler-angle box and a text export through its format dialog.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "plotkit/display_structure.h"

// Format record stored raw in layout documents (1080 bytes).
struct ODFInfo {
    int32_t sectionShown[73];
    int32_t reserved292;
    double contourWidth; // mm
    double levels[10];
    int32_t count;
    int32_t hNameOn;      // horizontal axis name (reserves the upper name block)
    int32_t vNameOn;      // vertical axis name (reserves the left name block)
    int32_t titleOn;      // section title (reserves the gap above each section)
    double sectionWidth;  // mm
    int32_t hFrom, hTo;   // horizontal axis range, grid indices (5 degree steps)
    int32_t vFrom, vTo;   // vertical axis range
    double hNameDistance; // mm
    double vNameDistance; // mm
    double titleSpace;    // mm
    int32_t titleAlign;   // 0 left, 1 centre, 2 right
    int32_t hNameFontSize;
    int32_t vNameFontSize;
    int32_t titleFontSize;
    char hNameFont[32];
    char vNameFont[32];
    char titleFont[32];
    int32_t showBorder;
    int32_t pad564;
    double borderWidth; // mm, also the key's line width
    double tickWidth;   // mm
    double tickLength;  // mm
    char keyFont[32];
    int32_t keyFontSize;
    int32_t pad628;
    double showKey; // 1.0 shows the key
    int32_t hTicksOn;
    int32_t vTicksOn;
    int32_t hTickStep; // degrees
    int32_t vTickStep;
    int32_t hTickFontSize;
    int32_t vTickFontSize;
    char hTickFont[32];
    char vTickFont[32];
    int32_t sectionsPerRow;
    int32_t selected;
    int32_t crystalType;
    int32_t pad740;
    double lattice[6];
    double maximum;
    int32_t startX, startY;
    int16_t sectionAngle; // 0: sections of constant phi2; 1: of constant phi1
    char reserved810[270];
};
static_assert(sizeof(ODFInfo) == 1080);
static_assert(offsetof(ODFInfo, reserved292) == 292);
static_assert(offsetof(ODFInfo, contourWidth) == 296);
static_assert(offsetof(ODFInfo, levels) == 304);
static_assert(offsetof(ODFInfo, count) == 384);
static_assert(offsetof(ODFInfo, hNameOn) == 388);
static_assert(offsetof(ODFInfo, vNameOn) == 392);
static_assert(offsetof(ODFInfo, titleOn) == 396);
static_assert(offsetof(ODFInfo, sectionWidth) == 400);
static_assert(offsetof(ODFInfo, hFrom) == 408);
static_assert(offsetof(ODFInfo, hTo) == 412);
static_assert(offsetof(ODFInfo, vFrom) == 416);
static_assert(offsetof(ODFInfo, vTo) == 420);
static_assert(offsetof(ODFInfo, hNameDistance) == 424);
static_assert(offsetof(ODFInfo, vNameDistance) == 432);
static_assert(offsetof(ODFInfo, titleSpace) == 440);
static_assert(offsetof(ODFInfo, titleAlign) == 448);
static_assert(offsetof(ODFInfo, hNameFontSize) == 452);
static_assert(offsetof(ODFInfo, vNameFontSize) == 456);
static_assert(offsetof(ODFInfo, titleFontSize) == 460);
static_assert(offsetof(ODFInfo, hNameFont) == 464);
static_assert(offsetof(ODFInfo, vNameFont) == 496);
static_assert(offsetof(ODFInfo, titleFont) == 528);
static_assert(offsetof(ODFInfo, showBorder) == 560);
static_assert(offsetof(ODFInfo, borderWidth) == 568);
static_assert(offsetof(ODFInfo, tickWidth) == 576);
static_assert(offsetof(ODFInfo, tickLength) == 584);
static_assert(offsetof(ODFInfo, keyFont) == 592);
static_assert(offsetof(ODFInfo, keyFontSize) == 624);
static_assert(offsetof(ODFInfo, showKey) == 632);
static_assert(offsetof(ODFInfo, hTicksOn) == 640);
static_assert(offsetof(ODFInfo, vTicksOn) == 644);
static_assert(offsetof(ODFInfo, hTickStep) == 648);
static_assert(offsetof(ODFInfo, vTickStep) == 652);
static_assert(offsetof(ODFInfo, hTickFontSize) == 656);
static_assert(offsetof(ODFInfo, vTickFontSize) == 660);
static_assert(offsetof(ODFInfo, hTickFont) == 664);
static_assert(offsetof(ODFInfo, vTickFont) == 696);
static_assert(offsetof(ODFInfo, sectionsPerRow) == 728);
static_assert(offsetof(ODFInfo, selected) == 732);
static_assert(offsetof(ODFInfo, crystalType) == 736);
static_assert(offsetof(ODFInfo, lattice) == 744);
static_assert(offsetof(ODFInfo, maximum) == 792);
static_assert(offsetof(ODFInfo, startX) == 800);
static_assert(offsetof(ODFInfo, startY) == 804);
static_assert(offsetof(ODFInfo, sectionAngle) == 808);
static_assert(offsetof(ODFInfo, reserved810) == 810);

namespace plotkit {
// Record check for documents: level count, sections per row of at least 1,
// axis ranges of positive width inside the grid, key flag, texts, sizes.
void CheckRecord(ODFInfo& info);
// The constructor's defaults for a crystal type (0..6; others as cubic).
void DefaultODFInfo(ODFInfo& info, int crystalType, const double lattice[6]);

// Volume fraction of the orientations with phi1, Phi, phi2 grid indices in
// the given inclusive ranges whose value is strictly above threshold;
// f[phi2][Phi][phi1]. A uniform ODF of 1 over the whole space gives 1.
double ODFVolumeFraction(const double f[73][37][73], int phi1From, int phi1To, int PhiFrom,
                         int PhiTo, int phi2From, int phi2To, double threshold);
} // namespace plotkit

class CODFStructure : public CDisplayStructure {
  public:
    CODFStructure(int crystalType, const double lattice[6]);

    int SetODFData(const double odf[73][37][73]);
    void GetData(double odf[73][37][73]) const;
    ODFInfo GetInfo() const { return info_; }
    void SetInfo(const ODFInfo& info);

    void GetContourInfo(double levels[10], int& count, double& lineWidth) override;
    void SetContourInfo(double levels[10], int& count, double& lineWidth) override;
    int GetType() override { return kDisplayODF; }
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

    // Layout of the last Draw: top-left of every cell (the key last when
    // shown), section indices of the non-key cells, section size.
    const std::vector<CPoint>& CellOrigins() const { return cells_; }
    const std::vector<int>& SectionList() const { return sections_; }
    CSize SectionSize() const { return {W_, H_}; }
    ODFInfo& InfoRef() { return info_; }
    const double (*Data() const)[37][73] { return data_.get(); }

  protected:
    // Miller indices of an orientation (degrees) on the record's lattice.
    bool pGetMiller(double phi1, double Phi, double phi2, int hkl[3], int uvw[3]) const;

  private:
    void DrawSection(CDC* dc, int section, CPoint cell, int s);
    void DrawSectionDecor(CDC* dc, int section, CPoint cell, int s);
    void DrawKey(CDC* dc, CPoint cell, int s);

    COLORREF colours_[10] = {};
    std::unique_ptr<double[][37][73]> data_;
    double sectionMax_[73] = {};
    ODFInfo info_{};
    std::vector<int> sections_;
    std::vector<CPoint> cells_;
    int W_ = 0, H_ = 0, T_ = 0, Lm_ = 0, G_ = 0;
    RECT rect_{};
};
