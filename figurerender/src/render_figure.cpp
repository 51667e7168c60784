// Laying out and rendering a figure: a measuring pass gives every object's
// bounding rectangle at the target scale, the legend goes to the right of
// the first object, and the drawing is shifted so that the union of the
// rectangles starts at the margin.
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>

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

RECT Measure(Figure& figure, int scale, CPoint origin) {
    QImage scratch(1, 1, QImage::Format_RGB32);
    QPainter painter(&scratch);
    CQtDC dc(&painter);
    RECT all{0, 0, 0, 0};
    bool first = true;
    for (auto& object : figure.objects) {
        object->Draw(&dc, origin, scale, ContourColours());
        const RECT r = object->GetRect();
        if (first)
            all = r, first = false;
        else {
            all.left = std::min(all.left, r.left);
            all.top = std::min(all.top, r.top);
            all.right = std::max(all.right, r.right);
            all.bottom = std::max(all.bottom, r.bottom);
        }
    }
    return all;
}

} // namespace

QImage RenderFigureImage(Figure& figure, const Options& options) {
    const int dpi = std::clamp(options.dpi, 10, 2400);
    const int scale = ScaleForDpi(dpi);
    if (figure.objects.empty())
        return {};
    if (figure.hasLegend && figure.objects.size() >= 2) {
        // The legend stands 8 drawing units right of the figure, at its top.
        CDisplayStructure* main = figure.objects.front().get();
        Measure(figure, scale, {0, 0});
        RECT r = main->GetRect();
        for (std::size_t i = 1; i + 1 < figure.objects.size(); ++i) {
            const RECT o = figure.objects[i]->GetRect();
            r.right = std::max(r.right, o.right);
        }
        const CPoint start = main->GetStartPos();
        figure.objects.back()->SetStartPos({(r.right + scale - 1) / scale + 8, start.y});
    }
    const RECT all = Measure(figure, scale, {0, 0});
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
