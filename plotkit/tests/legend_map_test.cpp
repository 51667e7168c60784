#include "plotkit/legend_map.h"

#include <gtest/gtest.h>

#include "test_util.h"

namespace {

using plotkit_test::Colours;

const double kLevels[10] = {0, 0, 0, 0, 0, 1, 2, 3, 4, 5};

TEST(LegendMap, FourLayoutsSizeAndPlaceTheirEntries) {
    // Recording metrics at scale 4: font (12+4)*4*200/792 -> h = 16, each
    // "x.xx" text 32 wide; line (int)(4 * 5 * 200/297.4 + 0.5) = 13; so
    // u = 32 + 2*16 + 13 = 77 and the first text column is at 200 + 45.
    struct Case {
        int style;
        RECT rect;
        int place[5][2]; // column, row
    } cases[] = {
        {0, {200, 200, 293, 344}, {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}}},
        {1, {200, 200, 370, 296}, {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {0, 2}}},
        {2, {200, 200, 447, 272}, {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}}},
        {3, {200, 200, 601, 248}, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}}},
    };
    Colours col;
    for (const auto& c : cases) {
        CLegendMap legend(1, 2, kLevels, 0.5);
        LenMap info = legend.GetInfo();
        info.style = c.style;
        info.selected = 0;
        legend.SetInfo(info);
        CRecordingDC dc;
        legend.Draw(&dc, {0, 0}, 4, col.c);
        EXPECT_EQ(legend.GetRect(), c.rect) << c.style;
        for (int k = 0; k < 5; ++k) {
            const CPoint expected{245 + c.place[k][0] * 77, 216 + 24 * c.place[k][1]};
            EXPECT_EQ(legend.EntryPos(k), expected) << c.style << " " << k;
        }
        // Entry k: its line sample in colours[5 + k], its text "%.2f".
        auto lines = dc.Lines();
        ASSERT_GE(lines.size(), 5u);
        for (int k = 0; k < 5; ++k) {
            const CPoint p = legend.EntryPos(k);
            EXPECT_EQ(lines[k].pen.color, col.c[5 + k]);
            EXPECT_EQ(lines[k].points[0], (CPoint{p.x - 16 - 13, p.y + 8}));
            EXPECT_EQ(lines[k].points[1], (CPoint{p.x - 16, p.y + 8}));
        }
        EXPECT_NE(dc.FindText("1.00"), nullptr);
        EXPECT_NE(dc.FindText("5.00"), nullptr);
        EXPECT_TRUE(dc.StockObjectsSelected());
    }
}

TEST(LegendMap, ThinFrameStillOnePixelAndIdsAndCount) {
    CLegendMap legend(7, 9, kLevels, 0.5);
    LenMap info = legend.GetInfo();
    info.frameWidth = 0.01;
    legend.SetInfo(info);
    CRecordingDC dc;
    Colours col;
    legend.Draw(&dc, {0, 0}, 1, col.c);
    bool framed = false;
    for (const auto& l : dc.Lines())
        if (l.pen.color == 0 && l.pen.width == 1)
            framed = true;
    EXPECT_TRUE(framed);
    EXPECT_EQ(legend.CheckID(7, 9), 1);
    EXPECT_EQ(legend.CheckID(9, 7), 0);
    double levels[10];
    int count = 0;
    double width = 0;
    legend.GetContourInfo(levels, count, width);
    EXPECT_EQ(count, 5);
    EXPECT_EQ(width, 0.5);
    EXPECT_EQ(legend.GetType(), 6);
    std::string out[2] = {"x", "y"};
    EXPECT_EQ(legend.ReadValuePos({10, 10}, out), 0);
    EXPECT_EQ(out[0], "");
}

} // namespace
