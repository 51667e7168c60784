#pragma once
// Device context drawing through a QPainter: onto a QImage, a widget, a
// printer, an SVG or a PDF generator. Integer GDI pixel coordinates address
// pixel cells; strokes are drawn through the cell centres, so antialiasing
// smooths edges without moving any geometry.
#include <QFont>
#include <QString>

#include "platform/dc.h"

class QPainter;

struct QtDCOptions {
    bool printing = false; // IsPrinting(): selection marks are not drawn
    int bitsPerPixel = 24; // GetDeviceCaps(BITSPIXEL)
    int logPixels = 96;    // GetDeviceCaps(LOGPIXELSX/Y)
    bool antialias = true;
};

class CQtDC : public CDC {
  public:
    // The painter must be active and outlive the device context.
    CQtDC(QPainter* painter, const QtDCOptions& options = {});

  protected:
    void DoLine(CPoint from, CPoint to) override;
    void DoText(int x, int y, const std::string& text) override;
    CSize DoTextExtent(const std::string& text) const override;
    void DoFillRect(const RECT& rect, COLORREF color) override;
    void DoArc(const RECT& box, CPoint start, CPoint end) override;
    void DoRectangle(const RECT& rect) override;
    void DoEllipse(const RECT& rect) override;
    void DoPolygon(const std::vector<CPoint>& points) override;

  private:
    void ApplyPen(bool withBrush);
    QPainter* painter_;
    QtDCOptions options_;
};
