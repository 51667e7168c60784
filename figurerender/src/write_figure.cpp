// Writing a rendered figure by the output's extension. Raster formats go
// through the image export (BMP, JPEG) or QImage (PNG); SVG and PDF redraw
// the figure as vectors at the same pixel geometry. Every output is written
// to a temporary file beside the target and renamed over it when complete.
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>

#include "figure_bounds.h"
#include "figurerender/figure_render.h"
#include "imageexport/image_export.h"
#include "platform_qt/qt_dc.h"

namespace figurerender {

namespace {

int Fail(std::string* error, const std::string& text) {
    if (error)
        *error = text;
    return 0;
}

// Draws the figure again onto a vector device of the image's pixel size.
void DrawVector(Figure& figure, QPaintDevice* device, const QImage& raster,
                const Options& options) {
    // The same measuring pass as the raster one gives the same shift.
    const int dpi = std::clamp(options.dpi, 10, 2400);
    const int scale = ScaleForDpi(dpi);
    const RECT all = FigureBounds(figure, scale, {0, 0});
    QPainter painter(device);
    CQtDC dc(&painter);
    const int margin = static_cast<int>(std::lround(5.0 / 25.4 * dpi));
    const CPoint origin{margin - all.left, margin - all.top};
    painter.fillRect(QRect(0, 0, raster.width(), raster.height()), Qt::white);
    for (auto& object : figure.objects)
        object->Draw(&dc, origin, scale, ContourColours());
}

} // namespace

int RenderFigureFile(const std::string& input, const std::string& output, const Options& options,
                     std::string* error, Family family) {
    if (output.empty())
        return Fail(error, "no output file given");
    const QString ext = QFileInfo(QString::fromStdString(output)).suffix().toLower();
    const QStringList known = {"png", "bmp", "jpg", "jpeg", "svg", "pdf"};
    if (!known.contains(ext))
        return Fail(error, "unknown output format '." + ext.toStdString() +
                               "' (use .png, .bmp, .jpg, .jpeg, .svg or .pdf)");
    if (options.dpi < 10 || options.dpi > 2400)
        return Fail(error, "dpi must be 10..2400");
    if (!QGuiApplication::instance())
        return Fail(error, "no Qt application object");

    Figure figure;
    if (!BuildFigure(input, family, options, &figure, error))
        return 0;
    const QImage image = RenderFigureImage(figure, options);
    if (image.isNull())
        return Fail(error, "cannot render the figure (empty or too large)");

    const QString target = QString::fromStdString(output);
    if (ext == "bmp" || ext == "jpg" || ext == "jpeg") {
        std::string why;
        if (!SaveImageFile(
                output, [&] { return image; }, options.dpi, &why))
            return Fail(error, why);
        return 1;
    }
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        return Fail(error, "cannot write file " + output);
    if (ext == "png") {
        if (!image.save(&file, "PNG"))
            return Fail(error, "cannot write file " + output);
    } else if (ext == "svg") {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(image.size());
        svg.setViewBox(QRect(QPoint(0, 0), image.size()));
        svg.setResolution(options.dpi);
        svg.setTitle(QFileInfo(QString::fromStdString(input)).fileName());
        DrawVector(figure, &svg, image, options);
    } else {
        QPdfWriter pdf(&file);
        pdf.setResolution(options.dpi);
        const QSizeF mm(image.width() * 25.4 / options.dpi, image.height() * 25.4 / options.dpi);
        pdf.setPageSize(QPageSize(mm, QPageSize::Millimeter));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setTitle(QFileInfo(QString::fromStdString(input)).fileName());
        DrawVector(figure, &pdf, image, options);
    }
    if (!file.commit())
        return Fail(error, "cannot write file " + output);
    return 1;
}

} // namespace figurerender
