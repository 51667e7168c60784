#include "plotkit/display_common.h"

#include <gtest/gtest.h>

#include "platform/recording_dc.h"

using namespace plotkit;

TEST(DisplayCommon, SelectionMarksGrowTheRectangleAndOutlineEightHandles) {
    CRecordingDC dc;
    RECT r{10, 20, 110, 60};
    DrawSelectionMarks(&dc, r);
    EXPECT_EQ(r, (RECT{6, 16, 114, 64}));
    auto moves = dc.OfKind(DrawRecord::Kind::MoveTo);
    ASSERT_EQ(moves.size(), 8u);
    const CPoint expected[8] = {{6, 16},   {58, 16}, {110, 16}, {6, 38},
                                {110, 38}, {6, 60},  {58, 60},  {110, 60}};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(moves[i].points[0], expected[i]) << i;
    auto lines = dc.Lines();
    ASSERT_EQ(lines.size(), 32u);
    EXPECT_EQ(lines[0].points[1], (CPoint{6, 20}));
    EXPECT_EQ(lines[1].points[1], (CPoint{10, 20}));
    EXPECT_EQ(lines[2].points[1], (CPoint{10, 16}));
    EXPECT_EQ(lines[3].points[1], (CPoint{6, 16}));
}

TEST(DisplayCommon, HitTestIsStrictAndReportsDistanceToCentre) {
    const RECT r{0, 0, 100, 50};
    struct Case {
        CPoint p;
        int hit;
        int distance;
    } cases[] = {{{0, 25}, 0, -1}, {{100, 25}, 0, -1}, {{50, 0}, 0, -1}, {{50, 50}, 0, -1},
                 {{50, 25}, 1, 0}, {{53, 29}, 1, 5},   {{1, 1}, 1, 54}};
    for (const auto& c : cases) {
        int d = -1;
        EXPECT_EQ(HitTestRect(r, c.p, &d), c.hit) << c.p.x << "," << c.p.y;
        EXPECT_EQ(d, c.distance) << c.p.x << "," << c.p.y;
    }
}

TEST(DisplayCommon, DefaultLevelsRoundToOneDecimal) {
    double levels[10] = {};
    SetDefaultLevels(levels, 6.0);
    EXPECT_DOUBLE_EQ(levels[5], 1.0);
    EXPECT_DOUBLE_EQ(levels[6], 2.0);
    EXPECT_DOUBLE_EQ(levels[9], 5.0);
    EXPECT_DOUBLE_EQ(levels[0], 0.0);
    SetDefaultLevels(levels, 3.37); // steps of 0.474
    EXPECT_DOUBLE_EQ(levels[6], 1.5);
    EXPECT_DOUBLE_EQ(levels[7], 1.9);
    EXPECT_DOUBLE_EQ(levels[9], 2.9);
}

TEST(DisplayCommon, ColourRules) {
    CRecordingDC screen, colourPrinter(true, 24), monoPrinter(true, 1), monoScreen(false, 1);
    const COLORREF red = RGB(255, 0, 0);
    EXPECT_EQ(ChooseColor(&screen, 0, red), red);
    EXPECT_EQ(ChooseColor(&screen, 1, red), 0u);
    EXPECT_EQ(ChooseColor(&colourPrinter, 0, red), red);
    EXPECT_EQ(ChooseColor(&monoPrinter, 0, red), 0u);
    EXPECT_EQ(ChooseColor(&monoScreen, 0, red), red);
}

TEST(DisplayCommon, PageUnitConversions) {
    EXPECT_EQ(MmToPixels(4, 40.0), 115);
    EXPECT_EQ(MmToPixels(1, 0.5), 0);
    EXPECT_EQ(FontPixels(12, 4), 16);
    EXPECT_EQ(FontPixels(10, 10), 35);
}
