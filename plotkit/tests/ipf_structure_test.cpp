#include "plotkit/ipf_structure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "test_util.h"

namespace {

using plotkit_test::Colours;

CIPFStructure Make(const std::string& crystal, const std::string& x = "[1 0 0]",
                   const std::string& y = "[0 1 0]", const std::string& z = "[0 0 1]") {
    const std::string texts[5] = {crystal, "", x, y, z};
    CIPFStructure ipf(texts);
    double v[19][73];
    for (int i = 0; i < 19; ++i)
        for (int j = 0; j < 73; ++j)
            v[i][j] = 1.0 + 2.0 * std::cos(i * 5 * std::numbers::pi / 180.0);
    ipf.SetData(v);
    return ipf;
}

TEST(IPFStructure, CrystalTypeFromDescriptionSelectsTheForm) {
    struct {
        const char* text;
        int type;
        CIPFStructure::Form form;
    } cases[] = {{"Cubic", 0, CIPFStructure::Form::Triangle},
                 {"cubic", 0, CIPFStructure::Form::Triangle},
                 {"Hexagonal, c = 1.62", 1, CIPFStructure::Form::Sector},
                 {"Orthorhombic, a = 1.00, b = 2.00, c = 3.00", 3, CIPFStructure::Form::Sector},
                 {"Triclinic, a = 1", 6, CIPFStructure::Form::Complete},
                 {"Steel", 0, CIPFStructure::Form::Triangle}};
    for (const auto& c : cases) {
        EXPECT_EQ(plotkit::IPFCrystalType(c.text), c.type) << c.text;
        EXPECT_EQ(Make(c.text).DrawnForm(), c.form) << c.text;
    }
    auto complete = Make("Cubic");
    IPFInfo info = complete.GetInfo();
    info.form = 0;
    complete.SetInfo(info);
    EXPECT_EQ(complete.DrawnForm(), CIPFStructure::Form::Complete);

    double lattice[6];
    plotkit::IPFLattice("Hexagonal, c = 1.62", lattice);
    EXPECT_DOUBLE_EQ(lattice[2], 1.62);
    EXPECT_DOUBLE_EQ(lattice[5], 120.0);
    plotkit::IPFLattice("Monoclinic, a = 2.00. b = 3.00, c = 4.00, beta = 100.00", lattice);
    EXPECT_DOUBLE_EQ(lattice[1], 3.0);
    EXPECT_DOUBLE_EQ(lattice[4], 100.0);
}

TEST(IPFStructure, CubicTriangleCornersLabelsAndClippedContours) {
    auto ipf = Make("Cubic");
    Colours col;
    CRecordingDC dc;
    ipf.Draw(&dc, {0, 0}, 4, col.c);
    // L = 172, h = (int)(sqrt 2 * 172 * 0.6248 + 0.5) = 152, R = 831 / 2.
    EXPECT_EQ(ipf.Corner(0), (CPoint{160, 312}));
    EXPECT_EQ(ipf.Corner(1), (CPoint{332, 312}));
    EXPECT_EQ(ipf.Corner(2), (CPoint{312, 160}));
    EXPECT_EQ(ipf.ProjectionRadius(), 415);
    EXPECT_NE(dc.FindText("[001]"), nullptr);
    EXPECT_NE(dc.FindText("[101]"), nullptr);
    EXPECT_NE(dc.FindText("[111]"), nullptr);
    EXPECT_EQ(dc.FindText("[110]"), nullptr);
    ASSERT_EQ(dc.OfKind(DrawRecord::Kind::Arc).size(), 1u);
    int contour = 0;
    for (const auto& l : dc.Lines()) {
        if (l.pen.color == 0)
            continue;
        ++contour;
        for (const auto& p : l.points) {
            EXPECT_LE(p.y, 313);
            EXPECT_GE(p.x - 160, 312 - p.y - 1);
            EXPECT_LE(std::hypot(p.x - (160 - 415), p.y - 312), std::sqrt(2.0) * 415 + 1.5);
        }
    }
    EXPECT_GT(contour, 5);
    EXPECT_TRUE(dc.StockObjectsSelected());
}

TEST(IPFStructure, TriangleReadoutNamesTheCornerDirections) {
    auto ipf = Make("Cubic");
    Colours col;
    CRecordingDC dc;
    ipf.Draw(&dc, {0, 0}, 4, col.c);
    struct {
        CPoint p;
        const char* dir;
    } cases[] = {{{161, 311}, "[0 0 1]"}, {{330, 311}, "[1 0 1]"}, {{311, 162}, "[1 1 1]"}};
    std::string out[2];
    for (const auto& c : cases) {
        ASSERT_EQ(ipf.ReadValuePos(c.p, out), 1) << c.dir;
        EXPECT_EQ(out[0], c.dir);
    }
    EXPECT_EQ(ipf.ReadValuePos({200, 200}, out), 0); // above the diagonal edge
    EXPECT_EQ(ipf.ReadValuePos({340, 311}, out), 0); // beyond the great circle

    auto bad = Make("Cubic", "[1 0]");
    bad.Draw(&dc, {0, 0}, 4, col.c);
    ASSERT_EQ(bad.ReadValuePos({330, 311}, out), 1);
    EXPECT_EQ(out[0], "Invalid axis vectors");
}

TEST(IPFStructure, SectorAndCompleteForms) {
    Colours col;
    auto hex = Make("Hexagonal, c = 1.62");
    CRecordingDC dc;
    hex.Draw(&dc, {0, 0}, 4, col.c);
    const CPoint c = hex.Centre();
    const int R = hex.ProjectionRadius();
    std::string out[2];
    // Data azimuth 285 lies 15 degrees above the right-hand radius.
    const double t = 15.0 * std::numbers::pi / 180.0,
                 rho = std::tan(22.5 * std::numbers::pi / 180.0) * R;
    ASSERT_EQ(hex.ReadValuePos({c.x + int(std::cos(t) * rho), c.y - int(std::sin(t) * rho)}, out),
              1);
    EXPECT_EQ(out[0].front(), '[');
    EXPECT_EQ(hex.ReadValuePos({c.x - 20, c.y}, out), 0); // left of the centre: outside
    EXPECT_EQ(dc.OfKind(DrawRecord::Kind::Arc).size(), 1u);

    auto full = Make("Triclinic");
    CRecordingDC dc2;
    full.Draw(&dc2, {0, 0}, 4, col.c);
    EXPECT_NE(dc2.FindText("X"), nullptr);
    EXPECT_NE(dc2.FindText("Center =  [0 0 1]"), nullptr);
    const CPoint fc = full.Centre();
    ASSERT_EQ(full.ReadValuePos(fc, out), 1);
    EXPECT_EQ(out[0], "(0, 0)");
    EXPECT_EQ(out[1], "3.000");
}

} // namespace
