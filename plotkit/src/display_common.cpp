#include "plotkit/display_common.h"

#include <cmath>
#include <cstring>
#include <utility>

namespace plotkit {

COLORREF ChooseColor(CDC* dc, int blackWhite, COLORREF color) {
    if (dc->IsPrinting() && dc->GetDeviceCaps(BITSPIXEL) == 1)
        return 0;
    if (blackWhite)
        return 0;
    return color;
}

void DrawSelectionMarks(CDC* dc, RECT& rect) {
    rect.left -= 4;
    rect.top -= 4;
    rect.right += 4;
    rect.bottom += 4;
    const int mx = (rect.left + rect.right) / 2;
    const int my = (rect.top + rect.bottom) / 2;
    const CPoint corners[8] = {{rect.left, rect.top},      {mx - 2, rect.top},
                               {rect.right - 4, rect.top}, {rect.left, my - 2},
                               {rect.right - 4, my - 2},   {rect.left, rect.bottom - 4},
                               {mx - 2, rect.bottom - 4},  {rect.right - 4, rect.bottom - 4}};
    for (const CPoint& p : corners) {
        dc->MoveTo(p.x, p.y);
        dc->LineTo(p.x, p.y + 4);
        dc->LineTo(p.x + 4, p.y + 4);
        dc->LineTo(p.x + 4, p.y);
        dc->LineTo(p.x, p.y);
    }
}

int HitTestRect(const RECT& rect, CPoint pixel, int* distance) {
    if (!(rect.left < pixel.x && pixel.x < rect.right && rect.top < pixel.y &&
          pixel.y < rect.bottom))
        return 0;
    if (distance) {
        const double dx = pixel.x - (rect.left + rect.right) / 2;
        const double dy = pixel.y - (rect.top + rect.bottom) / 2;
        *distance = static_cast<int>(std::sqrt(dx * dx + dy * dy));
    }
    return 1;
}

double FindMaximum(const double* values, std::size_t n) {
    double m = -1.0;
    for (std::size_t i = 0; i < n; ++i)
        if (values[i] > m)
            m = values[i];
    return m;
}

void SetDefaultLevels(double levels[10], double maximum) {
    for (int k = 5; k <= 9; ++k) {
        const double v = 1.0 + (k - 5) * (maximum - 1.0) * 0.2;
        levels[k] = static_cast<int>(v * 10.0 + 0.5) / 10.0;
    }
}

int CheckedLevelCount(int count) {
    return (count < 0 || count > 10) ? 5 : count;
}

void CopyText(char* field, std::size_t n, const std::string& text) {
    if (n == 0)
        return;
    const std::size_t len = text.size() < n - 1 ? text.size() : n - 1;
    std::memcpy(field, text.data(), len);
    std::memset(field + len, 0, n - len);
}

std::string TextOf(const char* field, std::size_t n) {
    std::size_t len = 0;
    while (len < n && field[len] != '\0')
        ++len;
    return std::string(field, len);
}

void DrawTextAt(CDC* dc, const std::string& face, int height, int x, int y,
                const std::string& text) {
    ScopedFont font(dc, face, height);
    dc->TextOut(x, y, text);
}

CSize MeasureText(CDC* dc, const std::string& face, int height, const std::string& text) {
    ScopedFont font(dc, face, height);
    return dc->GetTextExtent(text);
}

CSize DrawPieces(CDC* dc, int x, int y, const std::vector<TextPiece>& pieces, bool draw) {
    int width = 0, height = 0;
    for (const auto& p : pieces) {
        ScopedFont font(dc, p.face, p.height);
        CSize ext = dc->GetTextExtent(p.text);
        if (draw)
            dc->TextOut(x + width, y + p.dy, p.text);
        width += ext.cx;
        if (ext.cy + p.dy > height)
            height = ext.cy + p.dy;
    }
    return {width, height};
}

std::vector<TextPiece> GreekWithSubscript(const std::string& greek, const std::string& sub,
                                          int height, const std::string& rest,
                                          const std::string& restFace) {
    std::vector<TextPiece> pieces{{greek, "Symbol", height, 0}};
    if (!sub.empty())
        pieces.push_back({sub, restFace, height * 2 / 3, height / 2});
    if (!rest.empty())
        pieces.push_back({rest, restFace, height, 0});
    return pieces;
}

namespace {
std::function<void()>& PreviewHandler() {
    static std::function<void()> handler;
    return handler;
}
} // namespace

void SetPreviewHandler(std::function<void()> handler) {
    PreviewHandler() = std::move(handler);
}

void RequestPreview() {
    if (PreviewHandler())
        PreviewHandler()();
}

} // namespace plotkit
