#include "plotkit/pf_structure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <string>

#include "orimath/projection.h"
#include "plotkit/grid_contours.h"
#include "test_util.h"

namespace {

using plotkit_test::Colours;

// A smooth pole figure peaked at the centre: 6 at alpha 0, falling with alpha.
void Peak(double v[19][73], int lastRow = 18) {
    std::memset(v, 0, sizeof(double) * 19 * 73);
    for (int i = 0; i <= lastRow; ++i)
        for (int j = 0; j < 73; ++j)
            v[i][j] = 6.0 * std::cos(i * 5 * std::numbers::pi / 180.0) + 0.01;
}

TEST(PFStructure, ConstructorDefaultsAndIndexText) {
    struct {
        std::string name, index;
    } cases[] = {{"steel(111).pf", "{111}"},
                 {"/data/al(2 0 0)x.hpf", "{2 0 0}"},
                 {"plain.pf", ""},
                 {"odd)(1.pf", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(CPFStructure(c.name).GetInfo().indexText, c.index);

    CPFStructure pf(std::string(100, 'x'));
    PFInfo info = pf.GetInfo();
    EXPECT_EQ(std::strlen(info.fileName), 63u);
    EXPECT_EQ(info.radius, 40.0);
    EXPECT_EQ(info.showLabels, 1);
    EXPECT_EQ(info.fontSize, 12);
    EXPECT_STREQ(info.fontName, "Arial");
    EXPECT_EQ(info.contourWidth, 0.5);
    EXPECT_EQ(info.borderWidth, 0.3);
    EXPECT_EQ(info.axisWidth, 0.3);
    EXPECT_EQ(info.startX, 40);
    EXPECT_EQ(info.startY, 40);
    EXPECT_EQ(info.count, 5);
    EXPECT_EQ(info.selected, 1);
    EXPECT_EQ(pf.GetType(), 2);
}

TEST(PFStructure, SetDataSetsMaximumAndDefaultLevels) {
    double v[19][73];
    Peak(v);
    CPFStructure pf("a(100).pf");
    pf.SetData(v);
    PFInfo info = pf.GetInfo();
    EXPECT_NEAR(info.maximum, 6.01, 1e-12);
    const double expected[5] = {1.0, 2.0, 3.0, 4.0, 5.0};
    for (int k = 0; k < 5; ++k)
        EXPECT_DOUBLE_EQ(info.levels[5 + k], expected[k]);
}

TEST(PFStructure, GeometryLabelsIndexTextAndBoundingRectangle) {
    double v[19][73];
    Peak(v);
    CPFStructure pf("steel(111).pf");
    pf.SetData(v);
    pf.SetSelection(0);
    Colours col;
    CRecordingDC dc;
    pf.Draw(&dc, {0, 0}, 4, col.c);
    // r = (int)(4 * 40 * 200 / 279.4 + 0.5) = 115; the square starts at 40 * 4.
    EXPECT_EQ(pf.GetPlotSquare(), (RECT{160, 160, 390, 390}));
    // Font (12 + 4) * 4 * 200 / 792 -> 16 px; the recording DC makes
    // characters 8 px wide; gap 3 mm -> 9 px.
    ASSERT_NE(dc.FindText("SD"), nullptr);
    EXPECT_EQ(dc.FindText("SD")->points[0], (CPoint{267, 135}));
    EXPECT_EQ(dc.FindText("TD")->points[0], (CPoint{135, 267}));
    ASSERT_NE(dc.FindText("{111}"), nullptr);
    EXPECT_EQ(dc.FindText("{111}")->points[0], (CPoint{160, 374}));
    EXPECT_EQ(dc.FindText("SD")->font.face, "Arial");
    EXPECT_EQ(dc.FindText("SD")->font.height, 16);
    EXPECT_EQ(pf.GetRect(), (RECT{119, 135, 390, 390}));
    EXPECT_TRUE(dc.StockObjectsSelected());

    // Axes: the two centre lines; border: 500-segment polygon on the circle.
    int onCircle = 0;
    for (const auto& l : dc.Lines()) {
        if (l.pen.color != 0)
            continue;
        const double r = std::hypot(l.points[1].x - 275, l.points[1].y - 275);
        if (std::abs(r - 115) <= 1.0)
            ++onCircle;
    }
    EXPECT_GE(onCircle, 500);

    // Selected on screen: grown by 4; on a printer: not grown, no marks.
    pf.SetSelection(1);
    CRecordingDC screen;
    pf.Draw(&screen, {0, 0}, 4, col.c);
    EXPECT_EQ(pf.GetRect(), (RECT{115, 131, 394, 394}));
    CRecordingDC printer(true);
    pf.Draw(&printer, {0, 0}, 4, col.c);
    EXPECT_EQ(pf.GetRect(), (RECT{119, 135, 390, 390}));
    EXPECT_EQ(printer.Lines().size() + 32, screen.Lines().size());
}

TEST(PFStructure, ContoursStayInsideTheRowsWithData) {
    double v[19][73];
    Peak(v, 14); // rows 15..18 are zero
    CPFStructure pf("x(1 1 1).pf");
    pf.SetData(v);
    Colours col;
    CRecordingDC dc;
    pf.Draw(&dc, {0, 0}, 4, col.c);
    // Row 15 is alpha 75: radius tan(37.5 deg) * 115.
    const double limit = std::tan(37.5 * std::numbers::pi / 180) * 115 + 1.0;
    int contourSegments = 0;
    for (const auto& l : dc.Lines()) {
        if (l.pen.color == 0)
            continue;
        ++contourSegments;
        for (const auto& p : l.points)
            EXPECT_LE(std::hypot(p.x - 275.5, p.y - 275), limit);
    }
    // Levels 1 and 2 cross between rows 14 and 15, beyond the last cell.
    EXPECT_EQ(contourSegments, 3 * 72);
}

TEST(PFStructure, LevelCountColoursAndBlackWhite) {
    double v[19][73];
    Peak(v);
    CPFStructure pf("x(1 1 1).pf");
    pf.SetData(v);
    Colours col;
    double levels[10];
    int count = 0;
    double width = 0;
    pf.GetContourInfo(levels, count, width);
    count = 3;
    pf.SetContourInfo(levels, count, width);
    pf.SetSelection(0);
    CRecordingDC dc;
    pf.Draw(&dc, {0, 0}, 4, col.c);
    EXPECT_EQ(plotkit_test::PenColours(dc),
              (std::vector<COLORREF>{col.c[7], col.c[8], col.c[9], 0}));
    // Contour pen width: (int)(4 * 0.5 * 200 / 279.4 + 0.5) = 1.
    EXPECT_EQ(dc.Lines()[0].pen.width, 1);

    pf.bBlackWhite = 1;
    CRecordingDC bw;
    pf.Draw(&bw, {0, 0}, 4, col.c);
    EXPECT_EQ(plotkit_test::PenColours(bw), (std::vector<COLORREF>{0}));
    pf.bBlackWhite = 0;
    CRecordingDC mono(true, 1);
    pf.Draw(&mono, {0, 0}, 4, col.c);
    EXPECT_EQ(plotkit_test::PenColours(mono), (std::vector<COLORREF>{0}));
}

TEST(PFStructure, ReadoutFormatsAndAzimuthRoundTrip) {
    double v[19][73];
    for (int i = 0; i < 19; ++i)
        for (int j = 0; j < 73; ++j)
            v[i][j] = i * 100 + j;
    CPFStructure pf("x(1 1 1).pf");
    pf.SetData(v);
    Colours col;
    CRecordingDC dc;
    pf.Draw(&dc, {0, 0}, 4, col.c);
    std::string out[2];
    ASSERT_EQ(pf.ReadValuePos({275, 275}, out), 1);
    EXPECT_EQ(out[0], "(0, 0)");
    EXPECT_EQ(out[1], "0.000");
    ASSERT_EQ(pf.ReadValuePos({275, 161}, out), 1); // top, just inside
    EXPECT_EQ(out[0].substr(out[0].find(',')), ", 0)");
    ASSERT_EQ(pf.ReadValuePos({161, 275}, out), 1); // left
    EXPECT_EQ(out[0].substr(out[0].find(',')), ", 90)");
    EXPECT_EQ(pf.ReadValuePos({275, 400}, out), 0);

    // A position drawn by the display mapping reads back as itself.
    for (int a = 5; a <= 17; a += 3)
        for (int b = 0; b < 72; b += 7) {
            CPoint p = plotkit::StereoPoint(a, b, 115, 160, 160);
            ASSERT_EQ(pf.ReadValuePos(p, out), 1);
            char expected[32];
            std::snprintf(expected, sizeof expected, "%d", a * 100 + b);
            int A = 0, B = 0;
            ASSERT_EQ(std::sscanf(out[0].c_str(), "(%d, %d)", &A, &B), 2);
            EXPECT_NEAR(A, a * 5, 1) << a << " " << b;
            EXPECT_NEAR(std::fmod(B + 360 - b * 5 + 180, 360) - 180, 0, 1) << a << " " << b;
            EXPECT_EQ(out[1], std::string(expected) + ".000") << a << " " << b;
        }
}

TEST(PFStructure, PolesPlacedFromOrientationsReadBackAtTheirPositions) {
    // The poles of orientations, placed with the display's stereographic
    // mapping (beta 0 up, 90 left), read back through the readout.
    CPFStructure pf("x(1 1 1).pf");
    double v[19][73] = {};
    pf.SetData(v);
    Colours col;
    CRecordingDC dc;
    pf.Draw(&dc, {0, 0}, 8, col.c);
    const RECT sq = pf.GetPlotSquare();
    const int R = (sq.right - sq.left) / 2;
    const double lattice[6] = {1, 1, 1, 90, 90, 90};
    const double hkl[3] = {1, 1, 1};
    const double orientations[][3] = {{10, 20, 30}, {35, 45, 0}, {59, 37, 63}, {90, 30, 45}};
    int checked = 0;
    for (const auto& euler : orientations) {
        double pos[24][2];
        int count = 0;
        ASSERT_EQ(Get_Ori_Pos_On_PF(pos, &count, euler, hkl, 0, lattice), 1);
        for (int p = 0; p < count; ++p) {
            if (pos[p][0] < 5 || pos[p][0] > 85)
                continue; // away from centre and rim
            const CPoint px =
                plotkit::StereoPoint(pos[p][0] / 5, pos[p][1] / 5, R, sq.left, sq.top);
            std::string out[2];
            ASSERT_EQ(pf.ReadValuePos(px, out), 1);
            int A = 0, B = 0;
            ASSERT_EQ(std::sscanf(out[0].c_str(), "(%d, %d)", &A, &B), 2);
            EXPECT_NEAR(A, pos[p][0], 1.0);
            EXPECT_NEAR(std::fmod(B - pos[p][1] + 540.0, 360.0) - 180.0, 0.0, 1.0);
            ++checked;
        }
    }
    EXPECT_GT(checked, 8);
}

TEST(PFStructure, RecordFromDocumentIsChecked) {
    CPFStructure pf("x(1 1 1).pf");
    PFInfo bad = pf.GetInfo();
    bad.count = 42;
    bad.radius = 0.0;
    std::memset(bad.fontName, 'A', sizeof bad.fontName);
    std::memset(bad.indexText, 'B', sizeof bad.indexText);
    bad.contourWidth = NAN;
    pf.SetInfo(bad);
    PFInfo info = pf.GetInfo();
    EXPECT_EQ(info.count, 5);
    EXPECT_EQ(info.radius, 40.0);
    EXPECT_EQ(info.contourWidth, 0.5);
    EXPECT_EQ(std::strlen(info.fontName), 31u);
    EXPECT_EQ(std::strlen(info.indexText), 327u);
    CRecordingDC dc;
    Colours col;
    pf.Draw(&dc, {0, 0}, 4, col.c);
}

} // namespace
