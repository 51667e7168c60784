#pragma once
// Contour legend: five line samples in the colours and width of the owner's
// contour levels 5..9 with their values, in one of four layouts. Type code 6.
// It carries the ids of the object it belongs to.
#include <cstddef>
#include <cstdint>

#include "plotkit/display_structure.h"

// Format record stored raw in layout documents (440 bytes).
struct LenMap {
    int32_t selected;
    int32_t showFrame;
    double frameWidth;   // mm
    double contourWidth; // mm
    int32_t style;       // 0 one column, 1 two, 2 three, 3 one row
    char fontName[32];
    int32_t fontSize;
    int32_t reserved64;
    int32_t pad68;
    double lineLength; // mm (at 200/297.4)
    int32_t startX, startY;
    int32_t firstId, secondId;
    double levels[10];
    char reserved176[264];
};
static_assert(sizeof(LenMap) == 440);
static_assert(offsetof(LenMap, showFrame) == 4);
static_assert(offsetof(LenMap, frameWidth) == 8);
static_assert(offsetof(LenMap, contourWidth) == 16);
static_assert(offsetof(LenMap, style) == 24);
static_assert(offsetof(LenMap, fontName) == 28);
static_assert(offsetof(LenMap, fontSize) == 60);
static_assert(offsetof(LenMap, reserved64) == 64);
static_assert(offsetof(LenMap, lineLength) == 72);
static_assert(offsetof(LenMap, startX) == 80);
static_assert(offsetof(LenMap, startY) == 84);
static_assert(offsetof(LenMap, firstId) == 88);
static_assert(offsetof(LenMap, secondId) == 92);
static_assert(offsetof(LenMap, levels) == 96);
static_assert(offsetof(LenMap, reserved176) == 176);

namespace plotkit {
void CheckRecord(LenMap& info);
}

class CLegendMap : public CDisplayStructure {
  public:
    CLegendMap(int firstId, int secondId, const double levels[10], double contourWidth);

    // 1 when both ids equal the stored ones (in this order).
    int CheckID(int firstId, int secondId) const;
    LenMap GetInfo() const { return info_; }
    void SetInfo(const LenMap& info);

    void GetContourInfo(double levels[10], int& count, double& lineWidth) override;
    void SetContourInfo(double levels[10], int& count, double& lineWidth) override;
    int GetType() override { return kDisplayLegend; }
    int OnFormat() override;
    CPoint GetStartPos() override { return {info_.startX, info_.startY}; }
    int GetSelection() override { return info_.selected; }
    void SetSelection(int selected) override { info_.selected = selected; }
    void SetStartPos(CPoint pos) override {
        info_.startX = pos.x;
        info_.startY = pos.y;
    }
    int IsIn(CPoint pixel, int* distance) override;
    RECT GetRect() override { return rect_; }
    void Draw(CDC* dc, CPoint origin, int scale, const COLORREF colours[10]) override;

    // Text position of entry k (0..4) in the last Draw.
    CPoint EntryPos(int k) const { return entries_[k]; }
    LenMap& InfoRef() { return info_; }

  private:
    COLORREF colours_[10] = {};
    LenMap info_{};
    int textWidth_ = 0, letterHeight_ = 0, lineLength_ = 0;
    RECT rect_{};
    CPoint entries_[5];
};
