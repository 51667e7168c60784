#include "platform_qt/qt_dc.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <QPolygonF>
#include <cmath>
#include <numbers>

#include "platform_qt/fonts.h"

namespace {

QColor ToQColor(COLORREF c) {
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

// Stroke geometry runs through pixel centres.
constexpr double kHalf = 0.5;
QPointF Centre(CPoint p) {
    return QPointF(p.x + kHalf, p.y + kHalf);
}

} // namespace

CQtDC::CQtDC(QPainter* painter, const QtDCOptions& options) : painter_(painter), options_(options) {
    SetPrinting(options.printing);
    SetBitsPerPixel(options.bitsPerPixel);
    SetLogPixels(options.logPixels);
    if (painter_ && painter_->device())
        SetDeviceSize(painter_->device()->width(), painter_->device()->height());
    if (painter_)
        painter_->setRenderHint(QPainter::Antialiasing, options.antialias);
    if (painter_)
        painter_->setRenderHint(QPainter::TextAntialiasing, options.antialias);
}

void CQtDC::ApplyPen(bool withBrush) {
    const PenDesc& pd = CurrentPen();
    if (pd.style == PS_NULL) {
        painter_->setPen(Qt::NoPen);
    } else {
        QPen pen(ToQColor(pd.color));
        pen.setWidthF(pd.width <= 1 ? 1.0 : pd.width);
        pen.setStyle(pd.style == PS_DASH  ? Qt::DashLine
                     : pd.style == PS_DOT ? Qt::DotLine
                                          : Qt::SolidLine);
        // Wide pens have round ends and joins, so that consecutive segments of
        // a contour meet without notches.
        pen.setCapStyle(pd.width > 1 ? Qt::RoundCap : Qt::SquareCap);
        pen.setJoinStyle(Qt::RoundJoin);
        painter_->setPen(pen);
    }
    const BrushDesc& bd = CurrentBrush();
    if (withBrush && !bd.hollow)
        painter_->setBrush(ToQColor(bd.color));
    else
        painter_->setBrush(Qt::NoBrush);
}

void CQtDC::DoLine(CPoint from, CPoint to) {
    if (!painter_)
        return;
    ApplyPen(false);
    if (from == to) {
        painter_->drawPoint(Centre(from));
        return;
    }
    painter_->drawLine(Centre(from), Centre(to));
}

void CQtDC::DoText(int x, int y, const std::string& text) {
    if (!painter_)
        return;
    const FontDesc& fd = CurrentFont();
    const QFont font = platform::MakeQFont(fd);
    const QString shown = platform::DisplayText(fd.face, text);
    QFontMetricsF fm(font, painter_->device());
    painter_->save();
    painter_->setFont(font);
    painter_->translate(x, y);
    if (fd.escapement != 0)
        painter_->rotate(-fd.escapement / 10.0);
    if (GetBkMode() == OPAQUE)
        painter_->fillRect(QRectF(0, 0, fm.horizontalAdvance(shown), fm.height()),
                           ToQColor(GetBkColor()));
    painter_->setPen(ToQColor(GetTextColor()));
    painter_->drawText(QPointF(0, fm.ascent()), shown);
    painter_->restore();
}

CSize CQtDC::DoTextExtent(const std::string& text) const {
    const FontDesc& fd = CurrentFont();
    const QFont font = platform::MakeQFont(fd);
    QFontMetricsF fm(font, painter_ ? painter_->device() : nullptr);
    const QString shown = platform::DisplayText(fd.face, text);
    return {static_cast<int>(std::ceil(fm.horizontalAdvance(shown))),
            static_cast<int>(std::lround(fm.height()))};
}

void CQtDC::DoFillRect(const RECT& r, COLORREF color) {
    if (!painter_)
        return;
    painter_->fillRect(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top), ToQColor(color));
}

void CQtDC::DoArc(const RECT& box, CPoint start, CPoint end) {
    if (!painter_)
        return;
    ApplyPen(false);
    const double cx = (box.left + box.right) / 2.0, cy = (box.top + box.bottom) / 2.0;
    const double a0 = std::atan2(-(start.y - cy), start.x - cx) * 180.0 / std::numbers::pi;
    const double a1 = std::atan2(-(end.y - cy), end.x - cx) * 180.0 / std::numbers::pi;
    double span = a1 - a0;
    if (span <= 0)
        span += 360.0;
    const QRectF rect(box.left + kHalf, box.top + kHalf, box.right - box.left - 1.0,
                      box.bottom - box.top - 1.0);
    painter_->drawArc(rect, static_cast<int>(std::lround(a0 * 16)),
                      static_cast<int>(std::lround(span * 16)));
}

void CQtDC::DoRectangle(const RECT& r) {
    if (!painter_)
        return;
    ApplyPen(true);
    painter_->drawRect(
        QRectF(r.left + kHalf, r.top + kHalf, r.right - r.left - 1.0, r.bottom - r.top - 1.0));
}

void CQtDC::DoEllipse(const RECT& r) {
    if (!painter_)
        return;
    ApplyPen(true);
    painter_->drawEllipse(
        QRectF(r.left + kHalf, r.top + kHalf, r.right - r.left - 1.0, r.bottom - r.top - 1.0));
}

void CQtDC::DoPolygon(const std::vector<CPoint>& points) {
    if (!painter_)
        return;
    ApplyPen(true);
    QPolygonF poly;
    for (const CPoint& p : points)
        poly << Centre(p);
    painter_->drawPolygon(poly);
}
