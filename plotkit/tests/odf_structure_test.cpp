#include "plotkit/odf_structure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>

#include "orimath/orientation.h"
#include "test_util.h"

namespace {

using plotkit_test::Colours;
using Odf = double[73][37][73];

std::unique_ptr<Odf> MakeOdf(double (*f)(int, int, int)) {
    std::unique_ptr<Odf> odf(reinterpret_cast<Odf*>(new double[73 * 37 * 73]));
    for (int k = 0; k < 73; ++k)
        for (int i = 0; i < 37; ++i)
            for (int j = 0; j < 73; ++j)
                (*odf)[k][i][j] = f(k, i, j);
    return odf;
}

const double kCubicLattice[6] = {1, 1, 1, 90, 90, 90};

TEST(ODFStructure, DefaultsPerCrystalType) {
    struct {
        int type, hTo, vTo;
        int sections;
    } cases[] = {{0, 18, 18, 10}, {1, 18, 18, 7},  {2, 18, 18, 10}, {3, 18, 18, 10},
                 {4, 36, 36, 10}, {5, 18, 18, 13}, {6, 36, 36, 10}};
    for (const auto& c : cases) {
        CODFStructure odf(c.type, kCubicLattice);
        ODFInfo info = odf.GetInfo();
        EXPECT_EQ(info.hTo, c.hTo) << c.type;
        EXPECT_EQ(info.vTo, c.vTo) << c.type;
        int n = 0;
        for (int k = 0; k < 73; ++k)
            n += info.sectionShown[k];
        EXPECT_EQ(n, c.sections) << c.type;
        EXPECT_EQ(info.sectionsPerRow, 3);
        EXPECT_STREQ(info.hNameFont, "Symbol");
        EXPECT_STREQ(info.keyFont, "Arial");
        EXPECT_EQ(info.showKey, 1.0);
        EXPECT_EQ(info.startX, 5);
        EXPECT_EQ(info.crystalType, c.type);
    }
    EXPECT_EQ(CODFStructure(0, kCubicLattice).GetInfo().sectionShown[2], 1);
    EXPECT_EQ(CODFStructure(0, kCubicLattice).GetInfo().sectionShown[1], 0);
    EXPECT_EQ(CODFStructure(3, kCubicLattice).GetInfo().sectionShown[4], 1);
    EXPECT_EQ(CODFStructure(3, kCubicLattice).GetInfo().sectionShown[2], 0);
}

TEST(ODFStructure, CubicLayoutHasElevenCellsThreePerRow) {
    auto data =
        MakeOdf([](int k, int i, int j) { return 1.0 + 0.1 * k + std::sin(i * 0.3 + j * 0.2); });
    CODFStructure odf(0, kCubicLattice);
    odf.SetODFData(*data);
    odf.SetSelection(0);
    Colours col;
    CRecordingDC dc;
    odf.Draw(&dc, {0, 0}, 4, col.c);
    ASSERT_EQ(odf.CellOrigins().size(), 11u);
    EXPECT_EQ(odf.SectionList().size(), 10u);
    // W = H = (int)(4 * 40 * 200 / 279.4 + 0.5) = 115; no margins by default.
    EXPECT_EQ(odf.SectionSize(), (CSize{115, 115}));
    for (int k = 0; k < 11; ++k)
        EXPECT_EQ(odf.CellOrigins()[k], (CPoint{20 + (k % 3) * 115, 20 + (k / 3) * 115})) << k;
    EXPECT_EQ(odf.GetRect(), (RECT{12, 12, 20 + 345 + 8, 20 + 4 * 115 + 8}));
    EXPECT_TRUE(dc.StockObjectsSelected());
    // Contour points stay within their cells.
    for (const auto& l : dc.Lines())
        for (const auto& p : l.points) {
            EXPECT_GE(p.x, 20);
            EXPECT_LE(p.x, 20 + 345);
        }
}

TEST(ODFStructure, SectionsPerRowLargerThanCellsIsReducedAtDraw) {
    CODFStructure odf(0, kCubicLattice);
    ODFInfo info = odf.GetInfo();
    info.sectionsPerRow = 20;
    odf.SetInfo(info);
    CRecordingDC dc;
    Colours col;
    odf.Draw(&dc, {0, 0}, 1, col.c);
    EXPECT_EQ(odf.GetInfo().sectionsPerRow, 11);
}

TEST(ODFStructure, ReadoutCellEdgesAndFormat) {
    auto data = MakeOdf([](int k, int i, int j) { return k * 10000.0 + i * 100 + j; });
    CODFStructure odf(0, kCubicLattice);
    odf.SetODFData(*data);
    CRecordingDC dc;
    Colours col;
    odf.Draw(&dc, {0, 0}, 4, col.c);
    std::string out[2];
    EXPECT_EQ(odf.ReadValuePos({20, 50}, out), 0);   // left edge of cell 0
    EXPECT_EQ(odf.ReadValuePos({50, 20}, out), 0);   // top edge
    ASSERT_EQ(odf.ReadValuePos({135, 135}, out), 1); // right-bottom corner: inside
    const double euler[3] = {90, 90, 0};
    double m[6];
    int hkl[3], uvw[3];
    ASSERT_EQ(Euler2Miller(euler, 0, kCubicLattice, m), 1);
    GetNiceVector(m, hkl);
    GetNiceVector(m + 3, uvw);
    char expected[96];
    std::snprintf(expected, sizeof expected, "90, 90, 0,  (%d %d %d) [%d %d %d]", hkl[0], hkl[1],
                  hkl[2], uvw[0], uvw[1], uvw[2]);
    EXPECT_EQ(out[0], expected);
    EXPECT_EQ(out[1], "1818.00");
    ASSERT_EQ(odf.ReadValuePos({135 + 58, 20 + 58}, out), 1); // cell 1: phi2 = 10
    EXPECT_EQ(out[0].substr(0, 12), "45, 45, 10, ");
    EXPECT_EQ(out[1], "20909.00");
    // Key cell (index 10) is not read out.
    EXPECT_EQ(odf.ReadValuePos({135 + 50, 20 + 3 * 115 + 50}, out), 0);
}

TEST(ODFStructure, OldKeyFlagAndBadRecordsFallBack) {
    CODFStructure odf(0, kCubicLattice);
    ODFInfo info = odf.GetInfo();
    info.showKey = 2.0;
    std::strcpy(info.keyFont, "Courier");
    info.keyFontSize = 30;
    odf.SetInfo(info);
    CRecordingDC dc;
    Colours col;
    odf.Draw(&dc, {0, 0}, 1, col.c);
    EXPECT_EQ(odf.GetInfo().showKey, 1.0);
    EXPECT_STREQ(odf.GetInfo().keyFont, "Arial");
    EXPECT_EQ(odf.GetInfo().keyFontSize, 12);

    info = odf.GetInfo();
    info.sectionsPerRow = 0;
    info.hTo = info.hFrom;
    info.vFrom = 40;
    info.count = 11;
    info.hTickStep = 0;
    info.hTicksOn = 1;
    odf.SetInfo(info);
    info = odf.GetInfo();
    EXPECT_EQ(info.sectionsPerRow, 3);
    EXPECT_EQ(info.hTo, 18);
    EXPECT_EQ(info.vFrom, 0);
    EXPECT_EQ(info.count, 5);
    EXPECT_EQ(info.hTickStep, 20);
    odf.Draw(&dc, {0, 0}, 1, col.c);
}

TEST(ODFStructure, DecorationsAppearWhenSwitchedOn) {
    CODFStructure odf(0, kCubicLattice);
    ODFInfo info = odf.GetInfo();
    info.titleOn = info.hNameOn = info.vNameOn = info.hTicksOn = info.vTicksOn = 1;
    odf.SetInfo(info);
    CRecordingDC dc;
    Colours col;
    odf.Draw(&dc, {0, 0}, 4, col.c);
    EXPECT_NE(dc.FindText(" = 90"), nullptr); // title of the last section
    EXPECT_NE(dc.FindText("F"), nullptr);
    EXPECT_NE(dc.FindText("60"), nullptr); // a tick label
    // Margins move the first cell right and down.
    EXPECT_GT(odf.CellOrigins()[0].x, 20);
    EXPECT_GT(odf.CellOrigins()[0].y, 20);
    EXPECT_TRUE(dc.StockObjectsSelected());
}

TEST(ODFVolumeFraction, UniformGivesOneAndBoxesAddUp) {
    auto ones = MakeOdf([](int, int, int) { return 1.0; });
    EXPECT_NEAR(plotkit::ODFVolumeFraction(*ones, 0, 72, 0, 36, 0, 72, 0.0), 1.0, 1e-12);
    const double a = plotkit::ODFVolumeFraction(*ones, 0, 72, 0, 18, 0, 72, 0.0);
    const double b = plotkit::ODFVolumeFraction(*ones, 0, 72, 18, 36, 0, 72, 0.0);
    EXPECT_NEAR(a + b, 1.0, 1e-12);
    EXPECT_NEAR(a, 0.5, 1e-9);
    // The threshold is strict.
    EXPECT_EQ(plotkit::ODFVolumeFraction(*ones, 0, 72, 0, 36, 0, 72, 1.0), 0.0);
}

} // namespace
