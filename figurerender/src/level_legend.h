#pragma once
// Legend of a figure whose contour levels were set by hand: one line sample
// and value per level in use, however many there are (the viewer's legend
// always shows five entries, levels 5 to 9). One column in a frame, drawn
// like the viewer's one-column legend.
#include <vector>

#include "plotkit/display_structure.h"

namespace figurerender {

class CLevelLegend : public CDisplayStructure {
  public:
    // levels[10 - count .. 9] are in use; colours follow the same indices.
    CLevelLegend(const double levels[10], int count, double contourWidth);

    void GetContourInfo(double levels[10], int& count, double& lineWidth) override;
    int GetType() override { return kDisplayLegend; }
    CPoint GetStartPos() override { return start_; }
    void SetStartPos(CPoint pos) override { start_ = pos; }
    RECT GetRect() override { return rect_; }
    void Draw(CDC* dc, CPoint origin, int scale, const COLORREF colours[10]) override;

  private:
    double levels_[10] = {};
    int count_ = 0;
    double contourWidth_ = 0.5;
    CPoint start_{50, 50};
    RECT rect_{};
};

} // namespace figurerender
