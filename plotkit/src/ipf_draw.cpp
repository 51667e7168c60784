// The three forms of the inverse pole figure: the complete hemisphere (as a
// pole figure), the cubic standard triangle [001]-[101]-[111] with its
// great-circle edge, and the sector of the other crystal systems.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "orimath/constants.h"
#include "orimath/projection.h"
#include "plotkit/display_common.h"
#include "plotkit/grid_contours.h"
#include "plotkit/ipf_structure.h"

using namespace plotkit;

namespace {
using orimath::kDegToRad;
constexpr double kSqrt2 = 1.4142135623730951;

// Clips the segment a-b to {f0 + t * df <= 0}; false when nothing is left.
bool ClipLinear(double f0, double df, double& t0, double& t1) {
    if (df == 0.0)
        return f0 <= 0.0;
    const double t = -f0 / df;
    if (df > 0)
        t1 = std::min(t1, t);
    else
        t0 = std::max(t0, t);
    return t0 <= t1;
}
// Clips to the disc of radius r about (cx, cy).
bool ClipDisc(double ax, double ay, double dx, double dy, double cx, double cy, double r,
              double& t0, double& t1) {
    const double ex = ax - cx, ey = ay - cy;
    const double a = dx * dx + dy * dy;
    const double b = 2 * (ex * dx + ey * dy);
    const double c = ex * ex + ey * ey - r * r;
    if (a == 0.0)
        return c <= 0.0;
    const double disc = b * b - 4 * a * c;
    if (disc < 0)
        return false;
    const double sq = std::sqrt(disc);
    t0 = std::max(t0, (-b - sq) / (2 * a));
    t1 = std::min(t1, (-b + sq) / (2 * a));
    return t0 <= t1;
}
} // namespace

void CIPFStructure::Draw(CDC* dc, CPoint origin, int s, const COLORREF colours[10]) {
    std::memcpy(colours_, colours, sizeof(colours_));
    CheckRecord(info_);
    origin_ = {origin.x + info_.startX * s, origin.y + info_.startY * s};
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    switch (DrawnForm()) {
    case Form::Complete:
        DrawComplete(dc, s);
        break;
    case Form::Triangle:
        DrawTriangle(dc, s);
        break;
    case Form::Sector:
        DrawSector(dc, s);
        break;
    }
    dc->SetBkMode(oldMode);
    if (info_.selected && !dc->IsPrinting())
        DrawSelectionMarks(dc, rect_);
}

void CIPFStructure::DrawComplete(CDC* dc, int s) {
    const int r = MmToPixels(s, info_.radius);
    const int left = origin_.x, top = origin_.y, right = left + 2 * r, bottom = top + 2 * r;
    square_ = RECT{left, top, right, bottom};
    R_ = (right - left) / 2;
    const int midX = (left + right) / 2, midY = (top + bottom) / 2;
    centre_ = {midX, midY};
    const int R = R_;
    ContourStyle style{info_.levels, info_.count, colours_, MmToPixels(s, info_.contourWidth),
                       bBlackWhite};
    DrawStereoContours(dc, &data_[0][0], 0, 18, 0, 72, style, R, left, top);
    if (info_.showAxes)
        DrawCrossAxes(dc, MmToPixels(s, info_.axisWidth), left, top, right, bottom);
    if (info_.showBorder)
        DrawCircleBorder(dc, MmToPixels(s, info_.borderWidth), left, right, midY);
    rect_ = square_;
    if (info_.showLabels) {
        const std::string face = TextOf(info_.fontName);
        const int fh = FontPixels(info_.fontSize, s);
        const int g = MmToPixels(s, 3);
        ScopedFont font(dc, face, fh);
        // Azimuth 0 (the crystal x axis) is at the top, 90 (y) to the left.
        CSize x = dc->GetTextExtent("X");
        dc->TextOut(midX - x.cx / 2, top - x.cy - g, "X");
        CSize y = dc->GetTextExtent("Y");
        dc->TextOut(left - y.cx - g, midY - y.cy / 2, "Y");
        const std::string lines[3] = {"X = " + TextOf(info_.xAxis), "Y = " + TextOf(info_.yAxis),
                                      "Center =  " + TextOf(info_.centre)};
        int ty = bottom + g;
        int widest = 0;
        for (const auto& line : lines) {
            CSize ext = dc->GetTextExtent(line);
            dc->TextOut(left, ty, line);
            ty += ext.cy;
            widest = std::max(widest, ext.cx);
        }
        rect_.top -= g + fh;
        rect_.left -= g + 2 * fh;
        rect_.bottom = ty;
        rect_.right = std::max<int>(rect_.right, left + widest);
    }
}

bool CIPFStructure::InTriangle(double x, double y) const {
    const double x0 = corners_[0].x, y0 = corners_[0].y;
    if (y > y0 + 0.5)
        return false;
    if ((x - x0) < (y0 - y) - 0.5)
        return false;
    return std::hypot(x - (x0 - R_), y - y0) <= kSqrt2 * R_ + 0.5;
}

void CIPFStructure::DrawTriangle(CDC* dc, int s) {
    const int L = MmToPixels(s, info_.triangleSize);
    const int h = static_cast<int>(kSqrt2 * L * 0.62481892805408 + 0.5);
    const int x0 = origin_.x, y0 = origin_.y + h;
    corners_[0] = {x0, y0};
    corners_[1] = {x0 + L, y0};
    corners_[2] = {x0 + h, y0 - h};
    R_ = static_cast<int>(2 * L * 2.4142926122646062 + 0.5) / 2;
    centre_ = corners_[0];
    const int R = R_;
    // The great circle through [101] and [111] projects to the circle about
    // (x0 - R, y0) of radius sqrt(2) R.
    const double cx = x0 - R, cy = y0, cr = kSqrt2 * R;

    auto map = [&](const orimath::GridPos& g, double& x, double& y) {
        const double theta = (5.0 * g.col + 90.0) * kDegToRad;
        const double rho = std::tan(2.5 * g.row * kDegToRad) * R;
        x = std::cos(theta) * rho + x0;
        y = y0 - std::sin(theta) * rho;
    };
    ContourStyle style{info_.levels, info_.count, colours_, MmToPixels(s, info_.contourWidth),
                       bBlackWhite};
    // Data azimuths 265..320 and alpha up to 60 degrees cover the triangle.
    DrawGridContours(
        dc, &data_[0][0], 73, 0, 12, 53, 64, style,
        [&](const orimath::GridPos& a, const orimath::GridPos& b, CPoint& pa, CPoint& pb) {
            double ax, ay, bx, by;
            map(a, ax, ay);
            map(b, bx, by);
            const double dx = bx - ax, dy = by - ay;
            double t0 = 0, t1 = 1;
            if (!ClipLinear(ay - y0, dy, t0, t1))
                return false;
            if (!ClipLinear((y0 - ay) - (ax - x0), -dy - dx, t0, t1))
                return false;
            if (!ClipDisc(ax, ay, dx, dy, cx, cy, cr, t0, t1))
                return false;
            auto px = [](double v) { return static_cast<int>(std::floor(v + 0.5)); };
            pa = {px(ax + t0 * dx), px(ay + t0 * dy)};
            pb = {px(ax + t1 * dx), px(ay + t1 * dy)};
            return true;
        });

    if (info_.showBorder) {
        ScopedPen pen(dc, MmToPixels(s, info_.borderWidth), 0);
        const int rr = static_cast<int>(cr + 0.5);
        dc->Arc(static_cast<int>(cx) - rr, y0 - rr, static_cast<int>(cx) + rr, y0 + rr,
                corners_[1].x, corners_[1].y, corners_[2].x, corners_[2].y);
        dc->MoveTo(corners_[2]);
        dc->LineTo(corners_[0]);
        dc->LineTo(corners_[1]);
    }
    rect_ = RECT{x0, y0 - h, x0 + L, y0};
    if (info_.showLabels) {
        const std::string face = TextOf(info_.fontName);
        const int fh = FontPixels(info_.fontSize, s);
        const int g = MmToPixels(s, 3);
        ScopedFont font(dc, face, fh);
        CSize e = dc->GetTextExtent("[001]");
        dc->TextOut(x0 - e.cx / 2, y0 + g / 2, "[001]");
        e = dc->GetTextExtent("[101]");
        dc->TextOut(x0 + L - e.cx / 2, y0 + g / 2, "[101]");
        e = dc->GetTextExtent("[111]");
        dc->TextOut(x0 + h - e.cx / 2, y0 - h - g / 2 - e.cy, "[111]");
        rect_ = RECT{x0 - 2 * fh, y0 - h - fh - g, x0 + L + 2 * fh, y0 + fh + g};
    }
}

bool CIPFStructure::InSector(double x, double y, double& alpha, double& beta) const {
    StereoPosition(x, y, centre_.x, centre_.y, R_, alpha, beta);
    if (std::hypot(x - centre_.x, y - centre_.y) > R_ + 0.5)
        return false;
    double from, to;
    IPFSector(IPFCrystalType(TextOf(info_.crystal)), from, to);
    if (std::hypot(x - centre_.x, y - centre_.y) < 1.0) {
        alpha = 0;
        beta = from;
        return true;
    }
    if (to >= 360.0 && beta < 1e-9)
        beta = 360.0;
    return beta >= from - 1e-9 && beta <= to + 1e-9;
}

void CIPFStructure::DrawSector(CDC* dc, int s) {
    const std::string desc = TextOf(info_.crystal);
    const int type = IPFCrystalType(desc);
    double from, to;
    IPFSector(type, from, to);
    R_ = MmToPixels(s, info_.radius);
    const int R = R_;
    // Page angle (counter-clockwise from the right) of a data azimuth.
    auto rim = [&](double beta, double& px, double& py) {
        const double theta = (beta + 90.0) * kDegToRad;
        px = std::cos(theta) * R;
        py = -std::sin(theta) * R;
    };
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    auto extend = [&](double px, double py) {
        minX = std::min(minX, px), minY = std::min(minY, py);
        maxX = std::max(maxX, px), maxY = std::max(maxY, py);
    };
    for (double b = from; b <= to + 1e-9; b += 5.0) {
        double px, py;
        rim(b, px, py);
        extend(px, py);
    }
    centre_ = {origin_.x - static_cast<int>(std::floor(minX)),
               origin_.y - static_cast<int>(std::floor(minY))};
    const int left = centre_.x - R, top = centre_.y - R;
    square_ = RECT{left, top, left + 2 * R, top + 2 * R};

    ContourStyle style{info_.levels, info_.count, colours_, MmToPixels(s, info_.contourWidth),
                       bBlackWhite};
    const int jFrom = static_cast<int>(from / 5.0 + 0.5), jTo = static_cast<int>(to / 5.0 + 0.5);
    DrawStereoContours(dc, &data_[0][0], 0, 18, jFrom, std::min(jTo, 72), style, R, left, top);
    double fx, fy, tx, ty;
    rim(from, fx, fy);
    rim(to, tx, ty);
    const CPoint pFrom{centre_.x + static_cast<int>(std::lround(fx)),
                       centre_.y + static_cast<int>(std::lround(fy))};
    const CPoint pTo{centre_.x + static_cast<int>(std::lround(tx)),
                     centre_.y + static_cast<int>(std::lround(ty))};
    if (info_.showBorder) {
        ScopedPen pen(dc, MmToPixels(s, info_.borderWidth), 0);
        dc->Arc(left, top, left + 2 * R, top + 2 * R, pFrom.x, pFrom.y, pTo.x, pTo.y);
        dc->MoveTo(pTo);
        dc->LineTo(centre_);
        dc->LineTo(pFrom);
    }
    rect_ = RECT{centre_.x + static_cast<int>(std::floor(minX)),
                 centre_.y + static_cast<int>(std::floor(minY)),
                 centre_.x + static_cast<int>(std::ceil(maxX)),
                 centre_.y + static_cast<int>(std::ceil(maxY))};
    if (info_.showLabels) {
        const std::string face = TextOf(info_.fontName);
        const int fh = FontPixels(info_.fontSize, s);
        const int g = MmToPixels(s, 2);
        ScopedFont font(dc, face, fh);
        double lattice[6], uvw[3];
        IPFLattice(desc, lattice);
        auto label = [&](double alpha, double beta) {
            const double pos[2] = {alpha, beta};
            std::string text;
            if (!IPF_From_Pos_To_Vec(pos, type, lattice, uvw, &text))
                text.clear();
            return text;
        };
        // Each label sits outside its point, away from the centre.
        auto place = [&](const std::string& text, CPoint p, double dirX, double dirY) {
            if (text.empty())
                return;
            CSize e = dc->GetTextExtent(text);
            const int x = p.x + static_cast<int>(dirX * (g + e.cx / 2.0)) - e.cx / 2;
            const int y = p.y + static_cast<int>(dirY * (g + e.cy / 2.0)) - e.cy / 2;
            dc->TextOut(x, y, text);
            rect_.left = std::min(rect_.left, x);
            rect_.top = std::min(rect_.top, y);
            rect_.right = std::max(rect_.right, x + e.cx);
            rect_.bottom = std::max(rect_.bottom, y + e.cy);
        };
        const double t0 = (from + 90.0) * kDegToRad, t1 = (to + 90.0) * kDegToRad;
        const double mid = (t0 + t1) / 2;
        place(label(0, from), centre_, -std::cos(mid), std::sin(mid));
        place(label(90, from), pFrom, std::cos(t0), -std::sin(t0));
        place(label(90, to), pTo, std::cos(t1), -std::sin(t1));
    }
}
