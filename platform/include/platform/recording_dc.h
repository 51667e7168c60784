#pragma once
// A device context that draws nothing and logs every primitive with the pen,
// font and brush in effect, so tests (and independent checkers) can compare
// segments, texts and shapes with the expected geometry.
//
// Text metrics are synthetic and deterministic: a cell of height h (the
// font's height, 16 for the stock font) and a width of (h + 1) / 2 pixels per
// byte of text.
#include <string>
#include <vector>

#include "platform/dc.h"

struct DrawRecord {
    enum class Kind { MoveTo, Line, Text, FillRect, Arc, Rectangle, Ellipse, Polygon };
    Kind kind = Kind::MoveTo;
    std::vector<CPoint> points; // MoveTo: 1; Line: from, to; Arc: start, end; Polygon: all
    RECT rect{};                // FillRect, Arc box, Rectangle, Ellipse
    std::string text;
    PenDesc pen;
    FontDesc font;
    BrushDesc brush;
    COLORREF color = 0; // FillRect colour, text colour for Text
    int bkMode = OPAQUE;
};

class CRecordingDC : public CDC {
  public:
    explicit CRecordingDC(bool printing = false, int bitsPerPixel = 24, int logPixels = 96);

    const std::vector<DrawRecord>& Records() const { return records_; }
    std::vector<DrawRecord> OfKind(DrawRecord::Kind kind) const;
    std::vector<DrawRecord> Lines() const { return OfKind(DrawRecord::Kind::Line); }
    std::vector<DrawRecord> Texts() const { return OfKind(DrawRecord::Kind::Text); }
    // The first text record with exactly this text, or null.
    const DrawRecord* FindText(const std::string& text) const;
    void Clear() { records_.clear(); }

    static CSize MeasureText(const FontDesc& font, const std::string& text);

  protected:
    void DoMoveTo(CPoint p) override;
    void DoLine(CPoint from, CPoint to) override;
    void DoText(int x, int y, const std::string& text) override;
    CSize DoTextExtent(const std::string& text) const override;
    void DoFillRect(const RECT& rect, COLORREF color) override;
    void DoArc(const RECT& box, CPoint start, CPoint end) override;
    void DoRectangle(const RECT& rect) override;
    void DoEllipse(const RECT& rect) override;
    void DoPolygon(const std::vector<CPoint>& points) override;

  private:
    DrawRecord Make(DrawRecord::Kind kind) const;
    std::vector<DrawRecord> records_;
};
