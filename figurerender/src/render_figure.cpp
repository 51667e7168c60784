// Laying out and rendering a figure: a measuring pass gives every object's
// bounding rectangle at the target scale, the legend goes to the right of
// the first object, and the drawing is shifted so that the union of the
// rectangles starts at the margin.
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "figure_bounds.h"
#include "figurerender/figure_render.h"
#include "platform_qt/qt_dc.h"

namespace figurerender {

const COLORREF* ContourColours() {
    // Levels 5..9 (the five in use by default) run from blue to red; 0..4
    // serve when more levels are switched on.
    static const COLORREF table[10] = {
        RGB(110, 110, 110), RGB(110, 0, 150), RGB(90, 60, 200), RGB(40, 40, 180), RGB(0, 90, 220),
        RGB(0, 0, 230),     RGB(0, 150, 210), RGB(0, 150, 0),   RGB(235, 140, 0), RGB(215, 0, 0)};
    return table;
}

int ScaleForDpi(int dpi) {
    // One drawing unit is 279.4 / 200 mm.
    return std::max(1, static_cast<int>(std::lround(dpi * (279.4 / 200.0) / 25.4)));
}

namespace {

void Grow(RECT& r, bool& empty, int left, int top, int right, int bottom) {
    if (empty) {
        r = RECT{left, top, right, bottom};
        empty = false;
        return;
    }
    r.left = std::min(r.left, left);
    r.top = std::min(r.top, top);
    r.right = std::max(r.right, right);
    r.bottom = std::max(r.bottom, bottom);
}

// A QPainter device context (for its font metrics) that draws nothing and
// collects the extent of every primitive, strokes widened by the pen.
class CBoundsDC : public CQtDC {
  public:
    explicit CBoundsDC(QPainter* painter) : CQtDC(painter) {}
    bool Empty() const { return empty_; }
    RECT Bounds() const { return bounds_; }

  protected:
    void DoLine(CPoint from, CPoint to) override {
        const int w = HalfPen();
        Add(std::min(from.x, to.x) - w, std::min(from.y, to.y) - w, std::max(from.x, to.x) + w,
            std::max(from.y, to.y) + w);
    }
    void DoText(int x, int y, const std::string& text) override {
        const CSize size = DoTextExtent(text);
        Add(x, y, x + size.cx, y + size.cy);
    }
    void DoFillRect(const RECT& rect, COLORREF) override {
        Add(rect.left, rect.top, rect.right, rect.bottom);
    }
    // An arc may be a short piece of a large circle (the edge of an inverse
    // pole figure triangle): its ends count, not the circle's box.
    void DoArc(const RECT&, CPoint start, CPoint end) override {
        const int w = HalfPen();
        Add(std::min(start.x, end.x) - w, std::min(start.y, end.y) - w,
            std::max(start.x, end.x) + w, std::max(start.y, end.y) + w);
    }
    void DoRectangle(const RECT& rect) override { AddBox(rect); }
    void DoEllipse(const RECT& rect) override { AddBox(rect); }
    void DoPolygon(const std::vector<CPoint>& points) override {
        const int w = HalfPen();
        for (const CPoint& p : points)
            Add(p.x - w, p.y - w, p.x + w, p.y + w);
    }

  private:
    int HalfPen() const { return CurrentPen().width / 2; }
    void AddBox(const RECT& r) {
        const int w = HalfPen();
        Add(std::min(r.left, r.right) - w, std::min(r.top, r.bottom) - w,
            std::max(r.left, r.right) + w, std::max(r.top, r.bottom) + w);
    }
    void Add(int left, int top, int right, int bottom) {
        Grow(bounds_, empty_, left, top, right, bottom);
    }
    RECT bounds_{0, 0, 0, 0};
    bool empty_ = true;
};

} // namespace

RECT FigureBounds(Figure& figure, int scale, CPoint origin) {
    QImage scratch(1, 1, QImage::Format_RGB32);
    QPainter painter(&scratch);
    CBoundsDC dc(&painter);
    RECT all{0, 0, 0, 0};
    bool empty = true;
    for (auto& object : figure.objects) {
        object->Draw(&dc, origin, scale, ContourColours());
        const RECT r = object->GetRect();
        Grow(all, empty, r.left, r.top, r.right, r.bottom);
    }
    if (!dc.Empty()) {
        const RECT d = dc.Bounds();
        Grow(all, empty, d.left, d.top, d.right, d.bottom);
    }
    return all;
}

QImage RenderFigureImage(Figure& figure, const Options& options) {
    const int dpi = std::clamp(options.dpi, 10, 2400);
    const int scale = ScaleForDpi(dpi);
    if (figure.objects.empty())
        return {};
    if (figure.hasLegend && figure.objects.size() >= 2) {
        // The legend stands 8 drawing units right of the figure, at its top.
        CDisplayStructure* main = figure.objects.front().get();
        FigureBounds(figure, scale, {0, 0});
        RECT r = main->GetRect();
        for (std::size_t i = 1; i + 1 < figure.objects.size(); ++i) {
            const RECT o = figure.objects[i]->GetRect();
            r.right = std::max(r.right, o.right);
        }
        const CPoint start = main->GetStartPos();
        figure.objects.back()->SetStartPos({(r.right + scale - 1) / scale + 8, start.y});
    }
    const RECT all = FigureBounds(figure, scale, {0, 0});
    const int margin = static_cast<int>(std::lround(5.0 / 25.4 * dpi));
    const int width = all.right - all.left + 2 * margin;
    const int height = all.bottom - all.top + 2 * margin;
    if (width <= 0 || height <= 0 || width > 30000 || height > 30000)
        return {};

    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    image.fill(Qt::white);
    const int dpm = static_cast<int>(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dpm);
    image.setDotsPerMeterY(dpm);
    QPainter painter(&image);
    CQtDC dc(&painter);
    const CPoint origin{margin - all.left, margin - all.top};
    for (auto& object : figure.objects)
        object->Draw(&dc, origin, scale, ContourColours());
    return image;
}

} // namespace figurerender
