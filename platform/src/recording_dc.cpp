#include "platform/recording_dc.h"

CRecordingDC::CRecordingDC(bool printing, int bitsPerPixel, int logPixels) {
    SetPrinting(printing);
    SetBitsPerPixel(bitsPerPixel);
    SetLogPixels(logPixels);
}

std::vector<DrawRecord> CRecordingDC::OfKind(DrawRecord::Kind kind) const {
    std::vector<DrawRecord> out;
    for (const auto& r : records_)
        if (r.kind == kind)
            out.push_back(r);
    return out;
}

const DrawRecord* CRecordingDC::FindText(const std::string& text) const {
    for (const auto& r : records_)
        if (r.kind == DrawRecord::Kind::Text && r.text == text)
            return &r;
    return nullptr;
}

CSize CRecordingDC::MeasureText(const FontDesc& font, const std::string& text) {
    int h = font.height > 0 ? font.height : (font.height < 0 ? -font.height : 16);
    return {static_cast<int>(text.size()) * ((h + 1) / 2), h};
}

DrawRecord CRecordingDC::Make(DrawRecord::Kind kind) const {
    DrawRecord r;
    r.kind = kind;
    r.pen = CurrentPen();
    r.font = CurrentFont();
    r.brush = CurrentBrush();
    r.bkMode = GetBkMode();
    return r;
}

void CRecordingDC::DoMoveTo(CPoint p) {
    auto r = Make(DrawRecord::Kind::MoveTo);
    r.points = {p};
    records_.push_back(std::move(r));
}

void CRecordingDC::DoLine(CPoint from, CPoint to) {
    auto r = Make(DrawRecord::Kind::Line);
    r.points = {from, to};
    records_.push_back(std::move(r));
}

void CRecordingDC::DoText(int x, int y, const std::string& text) {
    auto r = Make(DrawRecord::Kind::Text);
    r.points = {CPoint{x, y}};
    r.text = text;
    r.color = GetTextColor();
    records_.push_back(std::move(r));
}

CSize CRecordingDC::DoTextExtent(const std::string& text) const {
    return MeasureText(CurrentFont(), text);
}

void CRecordingDC::DoFillRect(const RECT& rect, COLORREF color) {
    auto r = Make(DrawRecord::Kind::FillRect);
    r.rect = rect;
    r.color = color;
    records_.push_back(std::move(r));
}

void CRecordingDC::DoArc(const RECT& box, CPoint start, CPoint end) {
    auto r = Make(DrawRecord::Kind::Arc);
    r.rect = box;
    r.points = {start, end};
    records_.push_back(std::move(r));
}

void CRecordingDC::DoRectangle(const RECT& rect) {
    auto r = Make(DrawRecord::Kind::Rectangle);
    r.rect = rect;
    records_.push_back(std::move(r));
}

void CRecordingDC::DoEllipse(const RECT& rect) {
    auto r = Make(DrawRecord::Kind::Ellipse);
    r.rect = rect;
    records_.push_back(std::move(r));
}

void CRecordingDC::DoPolygon(const std::vector<CPoint>& points) {
    auto r = Make(DrawRecord::Kind::Polygon);
    r.points = points;
    records_.push_back(std::move(r));
}
