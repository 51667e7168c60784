// Set-up of the engine: grid counts, rejected settings, object lifetime.
#include <gtest/gtest.h>

#include "test_support.h"

using namespace enginetest;

namespace {

std::string Files3(const TempDir& dir, double res, std::string out[3]) {
    for (int j = 0; j < 3; ++j) {
        out[j] = dir.Numbered("uniform", j);
        if (!WritePoleFigure(out[j], res, [](int, int) { return 1.0; }))
            return "write failed";
    }
    return "";
}

} // namespace

TEST(HodfSetup, FibreForcesSampleSymmetryAndGridCounts) {
    HODF e;
    std::string files[1] = {"x"};
    const double hkl[1][3] = {{1, 1, 1}};
    ASSERT_EQ(e.IniODFCal(files, 0, 5, 0.01, 2, kCubicLattice, hkl, 1, 1, 1, 0, 5.0), 1);
    EXPECT_EQ(e.GetSampleSym(), 1);
    EXPECT_EQ(e.nPhi1, 19);
    EXPECT_EQ(e.nPhi, 19);
    EXPECT_EQ(e.nPhi2, 19);
    EXPECT_EQ(e.nAlpha, 19);
    EXPECT_EQ(e.nBeta, 73);
    ASSERT_EQ(e.IniODFCal(files, 0, 5, 0.01, 2, kCubicLattice, hkl, 1, 1, 0, 0, 5.0), 1);
    EXPECT_EQ(e.nPhi1, 73);
}

// Resolutions that give no usable grid, and pole figure counts outside 1..6,
// are refused at set-up, and the calculation that follows fails cleanly
// instead of dividing by zero or allocating nonsense.
TEST(HodfSetup, RejectsUnusableSettings) {
    struct Case {
        double res;
        int nPF;
        const char* message;
    } cases[] = {{0.0, 1, "Invalid resolution"},
                 {-5.0, 1, "Invalid resolution"},
                 {NAN, 1, "Invalid resolution"},
                 {0.01, 1, "Invalid resolution"},
                 {200.0, 1, "Invalid resolution"},
                 {5.0, 0, "Invalid number of pole figures"},
                 {5.0, 7, "Invalid number of pole figures"}};
    std::string files[7] = {"a", "b", "c", "d", "e", "f", "g"};
    const double hkl[7][3] = {{1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 1, 1},
                              {1, 1, 1}, {1, 1, 1}, {1, 1, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.res) + " " + std::to_string(c.nPF));
        HODF e;
        Transcript tr;
        e.SetCallBack(tr.Callback());
        EXPECT_EQ(e.IniODFCal(files, 0, 5, 0.01, 2, kCubicLattice, hkl, c.nPF, 1, 0, 0, c.res), 0);
        EXPECT_TRUE(tr.Has(c.message));
        Grid3<double> odf(Extent3{.phi1 = 19, .Phi = 19, .phi2 = 19});
        double dev = -1;
        int loops = -1;
        EXPECT_EQ(e.GetODF(odf.Tree(), &dev, &loops), 0);
        EXPECT_EQ(loops, -1);
    }
    HODF e;
    EXPECT_EQ(e.IniPolFigCal(0, kCubicLattice, hkl[0], 0.0, 0, 0), 0);
    EXPECT_EQ(e.IniInvPolFigCal(0, kCubicLattice, hkl[0], -1.0, 0), 0);
    EXPECT_EQ(e.IniMeganitic(0, kCubicLattice, 0.0, 0), 0);
    Grid2<double> pf(Extent2{.alpha = 19, .beta = 73});
    Grid3<double> odf(Extent3{.phi1 = 73, .Phi = 19, .phi2 = 19});
    EXPECT_EQ(e.GetMagneticEnergy(pf.Tree(), odf.Tree(), std::array<double, 2>{1, 1}.data()), 0);
}

// Copies are deep and independent; a second, larger set-up on the same
// object gets arrays of its own size; without a callback nothing is called.
// Under the address sanitizer a shared or stale array shows as an error.
TEST(HodfSetup, CopiesAndRepeatedSetUpAreSafe) {
    TempDir dir("setup_lifetime");
    std::string f10[3], f5[3];
    ASSERT_EQ(Files3(dir, 10.0, f10), "");
    for (int j = 0; j < 3; ++j) {
        f5[j] = dir.Numbered("u5_", j);
        ASSERT_TRUE(WritePoleFigure(f5[j], 5.0, [](int, int) { return 1.0; }));
    }
    HODF a; // no SetCallBack: the callback starts as none
    ASSERT_EQ(a.IniODFCal(f10, 0, 3, 0.0, 0, kCubicLattice, kCubicHkl, 3, 1, 0, 1, 10.0), 1);
    {
        Grid3<double> odf(Extent3{.phi1 = a.nPhi1, .Phi = a.nPhi, .phi2 = a.nPhi2});
        double dev;
        int loops;
        ASSERT_EQ(a.GetODF(odf.Tree(), &dev, &loops), 1);
    }
    HODF b(a);
    HODF c;
    c = a;
    ASSERT_EQ(a.IniODFCal(f5, 0, 3, 0.0, 0, kCubicLattice, kCubicHkl, 3, 1, 0, 1, 5.0), 1);
    for (HODF* e : {&a, &b, &c}) {
        Grid3<double> odf(Extent3{.phi1 = e->nPhi1, .Phi = e->nPhi, .phi2 = e->nPhi2});
        double dev;
        int loops;
        ASSERT_EQ(e->GetODF(odf.Tree(), &dev, &loops), 1);
        EXPECT_TRUE(AllFinite(odf));
        // A uniform input gives a uniform ODF of 1.
        EXPECT_NEAR(odf[odf.phi2Count() / 2][odf.PhiCount() / 2][odf.phi1Count() / 2], 1.0, 1e-6);
    }
    EXPECT_EQ(b.nPhi1, 10); // the copies kept their own 10 degree set-up
    EXPECT_EQ(a.nPhi1, 19);
}
