#pragma once
// The abstract device context every drawing routine draws through. The
// public operations keep the state a drawing surface keeps (current position,
// selected pen/font/brush, background mode and colours) and hand the
// primitives to an implementation: the QPainter one (screen, images, printer,
// SVG, PDF) or the recording one used by the tests.
//
// Coordinates are integer device pixels, y downwards. Pens, fonts and brushes
// are copied when selected; SelectObject returns the previously selected
// object so the caller can put it back before its own object goes away.
#include <string>
#include <vector>

#include "platform/gdi_objects.h"
#include "platform/gdi_types.h"

class CDC {
  public:
    CDC();
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    CPen* SelectObject(CPen* pen);
    CFont* SelectObject(CFont* font);
    CBrush* SelectObject(CBrush* brush);

    CPoint MoveTo(int x, int y);
    CPoint MoveTo(CPoint p) { return MoveTo(p.x, p.y); }
    bool LineTo(int x, int y);
    bool LineTo(CPoint p) { return LineTo(p.x, p.y); }
    CPoint GetCurrentPosition() const { return position_; }

    // Text with its top-left corner at (x, y) in the selected font.
    bool TextOut(int x, int y, const std::string& text);
    // Width and cell height of the text in the selected font.
    CSize GetTextExtent(const std::string& text) const;

    // Fills with a colour regardless of the brush; like the framework's
    // version it leaves that colour as the background colour.
    void FillSolidRect(const RECT& rect, COLORREF color);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF color);

    int SetBkMode(int mode);
    int GetBkMode() const { return bkMode_; }
    COLORREF SetBkColor(COLORREF color);
    COLORREF GetBkColor() const { return bkColor_; }
    COLORREF SetTextColor(COLORREF color);
    COLORREF GetTextColor() const { return textColor_; }

    // Counter-clockwise elliptic arc inside the box from the radial through
    // (x3, y3) to the radial through (x4, y4).
    bool Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    // Outlined with the pen, filled with the brush.
    bool Rectangle(int left, int top, int right, int bottom);
    bool Ellipse(int left, int top, int right, int bottom);
    bool Polygon(const CPoint* points, int count);

    bool IsPrinting() const { return printing_; }
    int GetDeviceCaps(int index) const;

    const PenDesc& CurrentPen() const { return pen_; }
    const FontDesc& CurrentFont() const { return font_; }
    const BrushDesc& CurrentBrush() const { return brush_; }
    // True when the stock pen, font and brush are selected again, i.e. every
    // drawing step put back what it found.
    bool StockObjectsSelected() const;

  protected:
    void SetPrinting(bool printing) { printing_ = printing; }
    void SetBitsPerPixel(int bits) { bitsPerPixel_ = bits; }
    void SetLogPixels(int dpi) { logPixels_ = dpi; }
    void SetDeviceSize(int width, int height) {
        width_ = width;
        height_ = height;
    }

    virtual void DoMoveTo(CPoint p) { (void)p; }
    virtual void DoLine(CPoint from, CPoint to) = 0;
    virtual void DoText(int x, int y, const std::string& text) = 0;
    virtual CSize DoTextExtent(const std::string& text) const = 0;
    virtual void DoFillRect(const RECT& rect, COLORREF color) = 0;
    virtual void DoArc(const RECT& box, CPoint start, CPoint end) = 0;
    virtual void DoRectangle(const RECT& rect) = 0;
    virtual void DoEllipse(const RECT& rect) = 0;
    virtual void DoPolygon(const std::vector<CPoint>& points) = 0;
    virtual void DoSelectionChanged() {}

  private:
    CPen stockPen_;
    CFont stockFont_;
    CBrush stockBrush_;
    CPen* penObject_;
    CFont* fontObject_;
    CBrush* brushObject_;
    PenDesc pen_;
    FontDesc font_;
    BrushDesc brush_;
    CPoint position_;
    int bkMode_ = OPAQUE;
    COLORREF bkColor_ = 0xFFFFFF;
    COLORREF textColor_ = 0;
    bool printing_ = false;
    int bitsPerPixel_ = 24;
    int logPixels_ = 96;
    int width_ = 0;
    int height_ = 0;
};
