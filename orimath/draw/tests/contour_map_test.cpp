#include "orimath_draw/contour_map.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "platform/recording_dc.h"

namespace {

struct Grid {
    std::vector<std::vector<double>> rows;
    std::vector<double*> ptrs;
    Grid(int nr, int nc, double v = 0) : rows(nr, std::vector<double>(nc, v)) {
        for (auto& r : rows)
            ptrs.push_back(r.data());
    }
    double** map() { return ptrs.data(); }
};

struct Levels {
    COLORREF colour[10];
    int width[10];
    double level[10];
    Levels() {
        for (int k = 0; k < 10; ++k) {
            colour[k] = RGB(10 * k, 0, 0);
            width[k] = k;
            level[k] = k;
        }
    }
};

TEST(DrawContourMap, ConstantMapDrawsNothingButRestoresThePen) {
    Grid g(19, 73, 2.0);
    Levels lv;
    CRecordingDC dc;
    DrawContourMap(&dc, 0, 0, 200, 200, g.map(), 5.0, 0, 73, 0, 19, 5, lv.colour, lv.width,
                   lv.level, 0, 0, 0);
    EXPECT_TRUE(dc.Lines().empty());
    EXPECT_TRUE(dc.StockObjectsSelected());
}

TEST(DrawContourMap, UsesOnlyTheLastLevelsWithTheirPens) {
    // A ramp along the rows crosses every level 1..9.
    Grid g(11, 5);
    for (int r = 0; r < 11; ++r)
        for (int c = 0; c < 5; ++c)
            g.rows[r][c] = r;
    Levels lv;
    CRecordingDC dc;
    DrawContourMap(&dc, 0, 0, 40, 0, g.map(), 5.0, 0, 5, 0, 11, 3, lv.colour, lv.width, lv.level, 0,
                   1, 0);
    std::vector<int> widths;
    for (const auto& l : dc.Lines())
        if (widths.empty() || widths.back() != l.pen.width)
            widths.push_back(l.pen.width);
    EXPECT_EQ(widths, (std::vector<int>{7, 8, 9}));
    for (const auto& l : dc.Lines()) {
        EXPECT_EQ(l.pen.color, lv.colour[l.pen.width]);
        // Level k sits on row k: s = 40 / 4 = 10 pixels per step.
        EXPECT_EQ(l.points[0].y, 10 * l.pen.width);
        EXPECT_EQ(l.points[1].y, 10 * l.pen.width);
    }

    CRecordingDC mono;
    DrawContourMap(&mono, 0, 0, 40, 0, g.map(), 5.0, 0, 5, 0, 11, 12, lv.colour, lv.width, lv.level,
                   1, 1, 0);
    ASSERT_FALSE(mono.Lines().empty());
    for (const auto& l : mono.Lines())
        EXPECT_EQ(l.pen.color, 0u);
}

TEST(DrawContourMap, PolarModeStopsAtTheLastRowWithData) {
    // A bump at the centre falling to zero at row 15; rows 16..18 empty.
    Grid g(19, 73);
    for (int r = 0; r <= 15; ++r)
        for (int c = 0; c < 73; ++c)
            g.rows[r][c] = 15 - r + 0.5;
    Levels lv;
    lv.level[9] = 0.25; // only crossed between rows 15 and 16, which are not drawn
    lv.level[8] = 5.0;
    CRecordingDC dc;
    DrawContourMap(&dc, 0, 0, 400, 400, g.map(), 5.0, 0, 73, 0, 19, 2, lv.colour, lv.width,
                   lv.level, 0, 0, 0);
    auto lines = dc.Lines();
    ASSERT_FALSE(lines.empty());
    for (const auto& l : lines) {
        EXPECT_EQ(l.pen.width, 8);
        // Level 5.0 lies on row 10.5 (alpha 52.5): radius tan(26.25 deg) * 200.
        const double r = std::hypot(l.points[0].x - 200.5, l.points[0].y - 200.0);
        EXPECT_NEAR(r, std::tan(26.25 * std::numbers::pi / 180) * 200, 1.5);
    }
}

TEST(DrawContourMap, PolarModePutsBetaZeroAtTopAndNinetyLeft) {
    // Level crossed on one meridian only: column 0 (beta 0) holds a ramp,
    // column 18 (beta 90) too; elsewhere zero. Check the point positions.
    Grid g(19, 73);
    for (int r = 0; r < 19; ++r)
        g.rows[r][0] = g.rows[r][18] = 18 - r;
    Levels lv;
    lv.level[9] = 9.0; // crossed at row 9 (alpha 45)
    CRecordingDC dc;
    DrawContourMap(&dc, 0, 0, 400, 400, g.map(), 5.0, 0, 73, 0, 19, 1, lv.colour, lv.width,
                   lv.level, 0, 0, 0);
    const double rr = std::tan(22.5 * std::numbers::pi / 180) * 200;
    bool top = false, left = false;
    for (const auto& l : dc.Lines())
        for (const auto& p : l.points) {
            if (p.x == 200 && std::abs(p.y - (200 - rr)) < 1.0)
                top = true;
            if (p.y == 200 && std::abs(p.x - (200 - rr)) < 1.0)
                left = true;
        }
    EXPECT_TRUE(top);
    EXPECT_TRUE(left);
}

TEST(DrawContourMap, BadArgumentsDrawNothing) {
    Grid g(3, 3, 1.0);
    g.rows[1][1] = 5;
    Levels lv;
    CRecordingDC dc;
    DrawContourMap(&dc, 0, 0, 10, 10, g.map(), 5.0, 0, 3, 0, 3, 0, lv.colour, lv.width, lv.level, 0,
                   1, 0);
    DrawContourMap(&dc, 0, 0, 10, 10, nullptr, 5.0, 0, 3, 0, 3, 5, lv.colour, lv.width, lv.level, 0,
                   1, 0);
    DrawContourMap(&dc, 0, 0, 10, 10, g.map(), 5.0, 0, 1, 0, 3, 5, lv.colour, lv.width, lv.level, 0,
                   1, 0);
    EXPECT_TRUE(dc.Lines().empty());
}

} // namespace
