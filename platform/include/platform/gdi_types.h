#pragma once
// Small value types of the drawing layer: points, sizes, rectangles and
// colours with the integer pixel semantics the display code relies on.
#include <cstdint>

// 0x00BBGGRR: red in the low byte, as stored in layout documents.
using COLORREF = uint32_t;

constexpr COLORREF RGB(int r, int g, int b) {
    return static_cast<COLORREF>((r & 0xff) | ((g & 0xff) << 8) | ((b & 0xff) << 16));
}
constexpr int GetRValue(COLORREF c) {
    return static_cast<int>(c & 0xff);
}
constexpr int GetGValue(COLORREF c) {
    return static_cast<int>((c >> 8) & 0xff);
}
constexpr int GetBValue(COLORREF c) {
    return static_cast<int>((c >> 16) & 0xff);
}

struct CPoint {
    int x = 0;
    int y = 0;
    constexpr CPoint() = default;
    constexpr CPoint(int px, int py) : x(px), y(py) {}
    friend constexpr bool operator==(const CPoint&, const CPoint&) = default;
};

struct CSize {
    int cx = 0;
    int cy = 0;
    constexpr CSize() = default;
    constexpr CSize(int w, int h) : cx(w), cy(h) {}
    friend constexpr bool operator==(const CSize&, const CSize&) = default;
};

// Device rectangle; right and bottom are exclusive as on the drawing surface.
struct RECT {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend constexpr bool operator==(const RECT&, const RECT&) = default;
};

struct CRect : RECT {
    constexpr CRect() = default;
    constexpr CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
    constexpr CRect(const RECT& r) : RECT(r) {}
    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr CPoint CenterPoint() const { return {(left + right) / 2, (top + bottom) / 2}; }
    constexpr bool IsRectEmpty() const { return right <= left || bottom <= top; }
    constexpr void InflateRect(int dx, int dy) {
        left -= dx;
        top -= dy;
        right += dx;
        bottom += dy;
    }
};
