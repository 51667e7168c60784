#pragma once
// Conversions and drawing steps every 5 degree display object shares.
#include <cstddef>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/dc.h"

namespace plotkit {

// Page geometry: 200 drawing units across 11 inches (279.4 mm, 792 points).
inline constexpr double kMmToUnits = 200.0 / 279.4;
inline constexpr double kLegendMmToUnits = 200.0 / 297.4;

// Length in mm to device pixels at a scale (pixels per drawing unit).
inline int MmToPixels(int scale, double mm) {
    return static_cast<int>(scale * mm * kMmToUnits + 0.5);
}
// Pixel height of a font of the given point size.
inline int FontPixels(int points, int scale) {
    return static_cast<int>((points + 4) * scale * 200.0 / 792.0 + 0.5);
}

// Colour of a coloured element: black on a one-bit printer or in
// black-and-white mode, else the table entry.
COLORREF ChooseColor(CDC* dc, int blackWhite, COLORREF color);

// Grows the rectangle by 4 pixels on every side (kept grown) and outlines
// the eight 4 x 4 handles with the current pen.
void DrawSelectionMarks(CDC* dc, RECT& rect);

// Strict hit test; distance to the centre (integer division) on a hit.
int HitTestRect(const RECT& rect, CPoint pixel, int* distance);

// Maximum of n values, searched from -1.0.
double FindMaximum(const double* values, std::size_t n);
// Entries 5..9 = 1 + (k - 5) * (m - 1) * 0.2, rounded to one decimal.
void SetDefaultLevels(double levels[10], double maximum);
// Count of levels in use after a record check: 0..10; anything else is 5.
int CheckedLevelCount(int count);

// The contour levels, level count and line width of a format record with
// the fields levels[10], count and contourWidth, as a display hands them to
// the level dialog and takes them back.
template <typename Info>
void GetContourFields(const Info& info, double levels[10], int& count, double& lineWidth) {
    std::memcpy(levels, info.levels, sizeof(info.levels));
    count = info.count;
    lineWidth = info.contourWidth;
}
template <typename Info>
void SetContourFields(Info& info, const double levels[10], int count, double lineWidth) {
    std::memcpy(info.levels, levels, sizeof(info.levels));
    info.count = count;
    info.contourWidth = lineWidth;
}

// Fixed text fields: copies at most n - 1 bytes and terminates; reads up to
// the first zero or n bytes.
void CopyText(char* field, std::size_t n, const std::string& text);
std::string TextOf(const char* field, std::size_t n);
template <std::size_t N> void CopyText(char (&field)[N], const std::string& text) {
    CopyText(field, N, text);
}
template <std::size_t N> std::string TextOf(const char (&field)[N]) {
    return TextOf(field, N);
}
template <std::size_t N> void TerminateText(char (&field)[N]) {
    field[N - 1] = '\0';
}
// Replaces an empty or unterminated face name by a fallback.
template <std::size_t N> void CheckFace(char (&field)[N], const char* fallback) {
    field[N - 1] = '\0';
    if (field[0] == '\0')
        CopyText(field, fallback);
}

// Text in a font (face, pixel height) with its top-left at (x, y); the font
// is created, selected, used and deselected here.
void DrawTextAt(CDC* dc, const std::string& face, int height, int x, int y,
                const std::string& text);
CSize MeasureText(CDC* dc, const std::string& face, int height, const std::string& text);

// A run of text pieces drawn one after another on a common top line, each
// in its own face and height and shifted down by dy (subscripts).
struct TextPiece {
    std::string text;
    std::string face;
    int height;
    int dy = 0;
};
// Draws the pieces from (x, y) (or only measures them when draw is false);
// returns the total width and the tallest extent.
CSize DrawPieces(CDC* dc, int x, int y, const std::vector<TextPiece>& pieces, bool draw = true);
// "j" with a subscript digit in the Symbol face (phi with subscript), then
// optional plain text in another face: the axis names of ODF sections.
std::vector<TextPiece> GreekWithSubscript(const std::string& greek, const std::string& sub,
                                          int height, const std::string& rest = {},
                                          const std::string& restFace = "Arial");

// A solid pen selected for the lifetime of the object.
class ScopedPen {
  public:
    ScopedPen(CDC* dc, int width, COLORREF color) : dc_(dc), pen_(PS_SOLID, width, color) {
        old_ = dc_->SelectObject(&pen_);
    }
    ~ScopedPen() { dc_->SelectObject(old_); }
    ScopedPen(const ScopedPen&) = delete;
    ScopedPen& operator=(const ScopedPen&) = delete;

  private:
    CDC* dc_;
    CPen pen_;
    CPen* old_;
};

class ScopedFont {
  public:
    ScopedFont(CDC* dc, const std::string& face, int height) : dc_(dc) {
        font_.CreateSimple(height, face);
        old_ = dc_->SelectObject(&font_);
    }
    ~ScopedFont() { dc_->SelectObject(old_); }
    ScopedFont(const ScopedFont&) = delete;
    ScopedFont& operator=(const ScopedFont&) = delete;

  private:
    CDC* dc_;
    CFont font_;
    CFont* old_;
};

// Called by a format dialog's Preview: the viewer installs a handler that
// redraws its page.
void SetPreviewHandler(std::function<void()> handler);
void RequestPreview();

} // namespace plotkit
