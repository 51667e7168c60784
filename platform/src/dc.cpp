#include "platform/dc.h"

CDC::CDC() : penObject_(&stockPen_), fontObject_(&stockFont_), brushObject_(&stockBrush_) {
    stockPen_.CreatePen(PS_SOLID, 1, 0);
    stockFont_.CreateSimple(16, "System");
    stockBrush_.CreateSolidBrush(0xFFFFFF);
    pen_ = stockPen_.Desc();
    font_ = stockFont_.Desc();
    brush_ = stockBrush_.Desc();
}

CDC::~CDC() = default;

CPen* CDC::SelectObject(CPen* pen) {
    if (!pen)
        return nullptr;
    CPen* previous = penObject_;
    penObject_ = pen;
    pen_ = pen->Desc();
    DoSelectionChanged();
    return previous;
}

CFont* CDC::SelectObject(CFont* font) {
    if (!font)
        return nullptr;
    CFont* previous = fontObject_;
    fontObject_ = font;
    font_ = font->Desc();
    DoSelectionChanged();
    return previous;
}

CBrush* CDC::SelectObject(CBrush* brush) {
    if (!brush)
        return nullptr;
    CBrush* previous = brushObject_;
    brushObject_ = brush;
    brush_ = brush->Desc();
    DoSelectionChanged();
    return previous;
}

bool CDC::StockObjectsSelected() const {
    return penObject_ == &stockPen_ && fontObject_ == &stockFont_ && brushObject_ == &stockBrush_;
}

CPoint CDC::MoveTo(int x, int y) {
    CPoint previous = position_;
    position_ = {x, y};
    DoMoveTo(position_);
    return previous;
}

bool CDC::LineTo(int x, int y) {
    CPoint from = position_;
    position_ = {x, y};
    DoLine(from, position_);
    return true;
}

bool CDC::TextOut(int x, int y, const std::string& text) {
    DoText(x, y, text);
    return true;
}

CSize CDC::GetTextExtent(const std::string& text) const {
    return DoTextExtent(text);
}

void CDC::FillSolidRect(const RECT& rect, COLORREF color) {
    bkColor_ = color;
    DoFillRect(rect, color);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color) {
    FillSolidRect(RECT{x, y, x + cx, y + cy}, color);
}

int CDC::SetBkMode(int mode) {
    int previous = bkMode_;
    if (mode == TRANSPARENT || mode == OPAQUE)
        bkMode_ = mode;
    return previous;
}

COLORREF CDC::SetBkColor(COLORREF color) {
    COLORREF previous = bkColor_;
    bkColor_ = color;
    return previous;
}

COLORREF CDC::SetTextColor(COLORREF color) {
    COLORREF previous = textColor_;
    textColor_ = color;
    return previous;
}

bool CDC::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    DoArc(RECT{x1, y1, x2, y2}, CPoint{x3, y3}, CPoint{x4, y4});
    return true;
}

bool CDC::Rectangle(int left, int top, int right, int bottom) {
    DoRectangle(RECT{left, top, right, bottom});
    return true;
}

bool CDC::Ellipse(int left, int top, int right, int bottom) {
    DoEllipse(RECT{left, top, right, bottom});
    return true;
}

bool CDC::Polygon(const CPoint* points, int count) {
    if (!points || count < 2)
        return false;
    DoPolygon(std::vector<CPoint>(points, points + count));
    return true;
}

int CDC::GetDeviceCaps(int index) const {
    switch (index) {
    case BITSPIXEL:
        return bitsPerPixel_;
    case PLANES:
        return 1;
    case LOGPIXELSX:
    case LOGPIXELSY:
        return logPixels_;
    case HORZRES:
        return width_;
    case VERTRES:
        return height_;
    case RASTERCAPS:
        return bitsPerPixel_ <= 8 ? RC_PALETTE : 0;
    default:
        return 0;
    }
}
