#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "plotkit/gbcd_structure.h"
#include "plotkit/scan_line.h"
#include "test_util.h"

namespace {

using plotkit_test::Colours;

TEST(GBCDStructure, CubicBinsGiveTwelveBarsAndARemainder) {
    double mis[181] = {};
    for (int d = 0; d < 63; ++d)
        mis[d] = 0.01;
    auto bars = plotkit::MisorientationBars(mis, 0, 63, 5);
    ASSERT_EQ(bars.size(), 13u);
    EXPECT_EQ(bars[0].label, "0 - 5");
    EXPECT_EQ(bars[11].label, "55 - 60");
    EXPECT_EQ(bars[12].label, "60 - 63");
    EXPECT_EQ(bars[0].value, "5.0");
    EXPECT_EQ(bars[12].value, "3.0");
    EXPECT_EQ(plotkit::MisorientationBars(mis, 0, 180, 15).size(), 12u);
    EXPECT_TRUE(plotkit::MisorientationBars(mis, 0, 63, 0).empty());
}

TEST(GBCDStructure, DefaultsByCrystalAndCSLBars) {
    CGBCDStructure cubic(1, "Cubic");
    EXPECT_EQ(cubic.GetInfo().misTo, 63);
    EXPECT_EQ(cubic.GetInfo().misBin, 5);
    CGBCDStructure hex(0, "Hexagonal, c = 1.62");
    EXPECT_EQ(hex.GetInfo().misTo, 180);
    EXPECT_EQ(hex.GetInfo().misBin, 15);

    double csl[51], mis[181] = {};
    for (int i = 0; i < 51; ++i)
        csl[i] = 0.001 * (i + 1);
    auto bars = plotkit::CSLBars(csl, 0, 6, 49, true);
    ASSERT_EQ(bars.size(), 8u);
    EXPECT_EQ(bars[6].label, "13a");
    EXPECT_EQ(bars[7].label, "Ran.");
    EXPECT_EQ(bars[7].value, "5.1"); // entry 50 only

    // Kind 0 leaves the CSL values alone.
    hex.IniData(csl, mis);
    double cslOut[51], misOut[181];
    hex.GetData(cslOut, misOut);
    EXPECT_EQ(cslOut[3], 0.0);
    cubic.IniData(csl, mis);
    cubic.GetData(cslOut, misOut);
    EXPECT_EQ(cslOut[3], csl[3]);
}

TEST(GBCDStructure, DrawReadoutAndBadRecord) {
    double csl[51] = {}, mis[181] = {};
    for (int d = 0; d < 63; ++d)
        mis[d] = 0.3 / 63;
    csl[1] = 0.2;
    CGBCDStructure g(1, "Cubic");
    g.IniData(csl, mis);
    GBCDInfo info = g.GetInfo();
    info.showCSL = 1;
    info.misBin = 0;   // falls back to 5
    info.cslLast = 99; // beyond the table: falls back
    g.SetInfo(info);
    EXPECT_EQ(g.GetInfo().misBin, 5);
    EXPECT_EQ(g.GetInfo().cslLast, 6);
    CRecordingDC dc;
    Colours col;
    g.Draw(&dc, {0, 0}, 2, col.c);
    ASSERT_EQ(g.MisBars().size(), 13u);
    const RECT b = g.MisBars()[0].rect;
    std::string out[2];
    ASSERT_EQ(g.ReadValuePos({(b.left + b.right) / 2, b.bottom}, out), 1);
    EXPECT_EQ(out[0], "0 - 5");
    const RECT c = g.CSLBarList()[1].rect;
    ASSERT_EQ(g.ReadValuePos({c.right, c.bottom - 1}, out), 1);
    EXPECT_EQ(out[0], "3");
    EXPECT_EQ(out[1], "20.0");
    EXPECT_EQ(g.ReadValuePos({c.left, c.bottom - 1}, out), 0); // left edge is outside
    EXPECT_NE(dc.FindText("MisOrientation (Degrees)"), nullptr);
    EXPECT_NE(dc.FindText("Sigma Value"), nullptr);
    EXPECT_NE(dc.FindText("After 51b is random GB"), nullptr);
    EXPECT_TRUE(dc.StockObjectsSelected());
}

TEST(ScanLine, AddDataRules) {
    CScanLine chart;
    double v[73];
    for (int j = 0; j < 73; ++j)
        v[j] = 2.0 * std::sin(j * 0.1) + 2.0;
    ASSERT_EQ(chart.AddData(v, 90, 3, "first"), 1);
    const double m1 = chart.GetInfo().maximum;
    EXPECT_NEAR(chart.GetInfo().yTo, m1 * 1.05, 1e-12);
    EXPECT_NEAR(chart.GetInfo().yStep, m1 * 0.1, 1e-12);
    EXPECT_EQ(chart.GetInfo().xStep, 10.0);
    double w[73];
    for (int j = 0; j < 73; ++j)
        w[j] = 10.0;
    ASSERT_EQ(chart.AddData(w, 180, 4, "second"), 1);
    EXPECT_NEAR(chart.GetInfo().yTo, 10.5, 1e-12);
    EXPECT_EQ(chart.GetInfo().xTo, 180.0);
    EXPECT_EQ(chart.GetLineType(), 4);
    for (int k = 2; k < 10; ++k)
        ASSERT_EQ(chart.AddData(v, 90, 1, "more"), 1);
    const ScanLineInfo before = chart.GetInfo();
    EXPECT_EQ(chart.AddData(w, 360, 9, "eleventh"), 0);
    const ScanLineInfo after = chart.GetInfo();
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
}

TEST(ScanLine, SmallRangesAndZeroLinesStillGiveFiniteTicks) {
    CScanLine chart;
    double zeros[73] = {};
    ASSERT_EQ(chart.AddData(zeros, 5, 0, "flat"), 1);
    EXPECT_GT(chart.GetInfo().xStep, 0.0);
    EXPECT_GT(chart.GetInfo().yStep, 0.0);
    ScanLineInfo info = chart.GetInfo();
    info.xStep = 0.0;
    info.yStep = -1.0;
    chart.SetInfo(info);
    CRecordingDC dc;
    Colours col;
    chart.Draw(&dc, {0, 0}, 1, col.c); // would never end with a zero step
    EXPECT_LT(dc.Texts().size(), 100u);
}

TEST(ScanLine, ReadoutRadiusIsExclusive) {
    CScanLine chart;
    double v[73];
    for (int j = 0; j < 73; ++j)
        v[j] = 1.0 + j * 0.01;
    chart.AddData(v, 90, 0, "a");
    ScanLineInfo info = chart.GetInfo();
    info.showMarks = 0; // radius 3 pixels
    chart.SetInfo(info);
    CRecordingDC dc;
    Colours col;
    chart.Draw(&dc, {0, 0}, 4, col.c);
    const CPoint p = chart.PointPos(0, 4);
    ASSERT_GT(p.x, 0);
    std::string out[2];
    ASSERT_EQ(chart.ReadValuePos({p.x + 2, p.y}, out), 1);
    EXPECT_EQ(out[0], "20");
    EXPECT_EQ(out[1], "1.04");
    EXPECT_EQ(chart.ReadValuePos({p.x, p.y - 3}, out) == 1 && out[0] == "20", false);
}

} // namespace
