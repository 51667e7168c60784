#pragma once
// Pole figure on the 5 degree grid (19 x 73: alpha 0..90 by beta 0..360) as
// a stereographic contour plot with outer circle, cross-hair, the sample
// direction labels "SD" (top) and "TD" (left) and an index text such as
// {111} at the lower left. Type code 2.
#include <cstddef>
#include <cstdint>
#include <string>

#include "plotkit/display_structure.h"

// Format record stored raw in layout documents (576 bytes, little-endian).
struct PFInfo {
    char fileName[64];
    double radius; // mm
    int32_t showLabels;
    int32_t fontSize; // points
    char fontName[32];
    double levels[10];
    double maximum;
    double contourWidth; // mm
    double borderWidth;  // mm
    double axisWidth;    // mm
    int32_t showBorder;
    int32_t showAxes;
    int32_t startX; // drawing units
    int32_t startY;
    int32_t count; // contour levels in use (the last `count`)
    int32_t selected;
    char indexText[328];
};
static_assert(sizeof(PFInfo) == 576);
static_assert(offsetof(PFInfo, radius) == 64);
static_assert(offsetof(PFInfo, showLabels) == 72);
static_assert(offsetof(PFInfo, fontSize) == 76);
static_assert(offsetof(PFInfo, fontName) == 80);
static_assert(offsetof(PFInfo, levels) == 112);
static_assert(offsetof(PFInfo, maximum) == 192);
static_assert(offsetof(PFInfo, contourWidth) == 200);
static_assert(offsetof(PFInfo, borderWidth) == 208);
static_assert(offsetof(PFInfo, axisWidth) == 216);
static_assert(offsetof(PFInfo, showBorder) == 224);
static_assert(offsetof(PFInfo, showAxes) == 228);
static_assert(offsetof(PFInfo, startX) == 232);
static_assert(offsetof(PFInfo, startY) == 236);
static_assert(offsetof(PFInfo, count) == 240);
static_assert(offsetof(PFInfo, selected) == 244);
static_assert(offsetof(PFInfo, indexText) == 248);

namespace plotkit {
// Makes a record read from a document safe to draw: level count 0..10, text
// fields terminated, sizes and widths finite and within reason; anything
// else falls back to the default.
void CheckRecord(PFInfo& info);
} // namespace plotkit

class CPFStructure : public CDisplayStructure {
  public:
    // fileName: the pole figure's source file; "steel(111).pf" gives the
    // index text "{111}".
    explicit CPFStructure(const std::string& fileName);

    void SetData(const double data[19][73]);
    void GetData(double data[19][73]) const;
    PFInfo GetInfo() const { return info_; }
    // Replaces the whole record; values a layout document cannot hold
    // sensibly fall back to the defaults.
    void SetInfo(const PFInfo& info);

    void GetContourInfo(double levels[10], int& count, double& lineWidth) override;
    void SetContourInfo(double levels[10], int& count, double& lineWidth) override;
    int GetType() override { return kDisplayPF; }
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

    // Plot square of the last Draw (right - left = diameter).
    RECT GetPlotSquare() const { return square_; }
    // Direct access for the format dialog, which edits the record in place.
    PFInfo& InfoRef() { return info_; }

  private:
    void FindDataRows(int& first, int& end) const;

    COLORREF colours_[10] = {};
    double data_[19][73] = {};
    PFInfo info_{};
    RECT square_{};
    int diameter_ = 0;
    RECT rect_{};
};
