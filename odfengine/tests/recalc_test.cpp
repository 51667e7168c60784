// Pole figures and inverse pole figures of an ODF; orientation conversions.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "engine_common.h"
#include "test_support.h"

using namespace enginetest;

namespace {

const double kHexLattice[6] = {1, 1, 1.63, 90, 90, 120};
const double kOrthoLattice[6] = {1, 1.2, 1.5, 90, 90, 90};

struct SymCase {
    int type;
    const double* lattice;
    int sampleSym;
    double res;
    double hkl[3];
};

const SymCase kSymCases[] = {
    {0, kCubicLattice, 0, 5.0, {1, 0, 0}},  {0, kCubicLattice, 1, 10.0, {1, 1, 1}},
    {1, kHexLattice, 0, 10.0, {0, 0, 2}},   {1, kHexLattice, 1, 5.0, {1, 0, 1}},
    {3, kOrthoLattice, 0, 10.0, {1, 1, 0}}, {3, kOrthoLattice, 1, 5.0, {1, 1, 1}},
    {6, kCubicLattice, 0, 10.0, {1, 2, 3}},
};

// Counts cells equal to 1 and cells that are neither 0 nor 1.
void CountOnes(double** g, int nA, int nB, int* ones, int* others) {
    *ones = *others = 0;
    for (int a = 0; a < nA; ++a)
        for (int b = 0; b < nB; ++b) {
            if (std::fabs(g[a][b] - 1.0) < 1e-9)
                ++*ones;
            else if (g[a][b] != 0.0)
                ++*others;
        }
}

} // namespace

TEST(Recalculation, UniformOdfGivesUniformPoleFigures) {
    for (const SymCase& c : kSymCases) {
        SCOPED_TRACE("type " + std::to_string(c.type) + " sampleSym " +
                     std::to_string(c.sampleSym));
        HODF e;
        ASSERT_EQ(e.IniPolFigCal(c.type, c.lattice, c.hkl, c.res, c.sampleSym, 0), 1);
        Grid3<double> odf(Extent3{.phi1 = e.nPhi1, .Phi = e.nPhi, .phi2 = e.nPhi2});
        odf.Fill(1.0);
        Grid2<double> pf(Extent2{.alpha = e.nAlpha, .beta = e.nBeta});
        ASSERT_EQ(e.GetPolFig(pf.Tree(), odf.Tree()), 1);
        int ones, others;
        CountOnes(pf.Tree(), e.nAlpha, e.nBeta, &ones, &others);
        EXPECT_EQ(others, 0);
        EXPECT_GT(ones, e.nAlpha * e.nBeta / 2);
    }
}

TEST(Recalculation, UniformOdfGivesUniformInversePoleFigures) {
    for (const SymCase& c : kSymCases) {
        SCOPED_TRACE("type " + std::to_string(c.type) + " sampleSym " +
                     std::to_string(c.sampleSym));
        HODF e;
        const double nd[3] = {0, 0, 1};
        ASSERT_EQ(e.IniInvPolFigCal(c.type, c.lattice, nd, c.res, c.sampleSym), 1);
        const int nPhiBefore = e.nPhi;
        Grid3<double> odf(Extent3{.phi1 = e.nPhi1, .Phi = e.nPhi, .phi2 = e.nPhi2});
        odf.Fill(1.0);
        Grid2<double> ipf(Extent2{.alpha = e.nAlpha, .beta = e.nBeta});
        double axes[3][3];
        ASSERT_EQ(e.GetInvPolFig(ipf.Tree(), axes, odf.Tree()), 1);
        EXPECT_EQ(e.nPhi, nPhiBefore); // the count is the ODF's again
        int ones, others;
        CountOnes(ipf.Tree(), e.nAlpha, e.nBeta, &ones, &others);
        EXPECT_EQ(others, 0);
        EXPECT_GT(ones, e.nAlpha * e.nBeta / 2);
        if (c.type == 0) {
            for (int r = 0; r < 3; ++r)
                for (int k = 0; k < 3; ++k)
                    EXPECT_NEAR(axes[r][k], r == k ? 1.0 : 0.0, 1e-12);
        }
    }
}

TEST(Recalculation, InversePoleFigureFailures) {
    Transcript tr;
    HODF e;
    e.SetCallBack(tr.Callback());
    const double bad[6] = {1, 1, 1, 90, 90, 200};
    const double nd[3] = {0, 0, 1}, zero[3] = {0, 0, 0};
    ASSERT_EQ(e.IniInvPolFigCal(0, bad, nd, 10.0, 0), 1);
    Grid3<double> odf(Extent3{.phi1 = e.nPhi1, .Phi = e.nPhi, .phi2 = e.nPhi2});
    Grid2<double> ipf(Extent2{.alpha = e.nAlpha, .beta = e.nBeta});
    double axes[3][3];
    EXPECT_EQ(e.GetInvPolFig(ipf.Tree(), axes, odf.Tree()), 0);
    EXPECT_TRUE(tr.Has("Such crystal does not exist"));
    ASSERT_EQ(e.IniInvPolFigCal(0, kCubicLattice, zero, 10.0, 0), 1);
    EXPECT_EQ(e.GetInvPolFig(ipf.Tree(), axes, odf.Tree()), 0);
    EXPECT_TRUE(tr.Has("Invalid data"));
}

// A single orientation (0, 90, 0): its {100} poles lie on the equator at
// beta 0 and 270 and at the centre. Equator cells are entered twice, at the
// pole's azimuth and the opposite one.
TEST(Recalculation, EquatorPolesCountAtBothAzimuths) {
    HODF e;
    const double h[3] = {1, 0, 0};
    ASSERT_EQ(e.IniPolFigCal(0, kCubicLattice, h, 5.0, 0, 0), 1);
    Grid3<double> odf(Extent3{.phi1 = e.nPhi1, .Phi = e.nPhi, .phi2 = e.nPhi2});
    odf[0][18][0] = 100.0;
    Grid2<double> pf(Extent2{.alpha = e.nAlpha, .beta = e.nBeta});
    ASSERT_EQ(e.GetPolFig(pf.Tree(), odf.Tree()), 1);
    EXPECT_GT(pf[18][54], 0.0);
    EXPECT_DOUBLE_EQ(pf[18][54], pf[18][18]);
    EXPECT_GT(pf[18][0], 0.0);
    EXPECT_DOUBLE_EQ(pf[18][0], pf[18][36]);
    EXPECT_DOUBLE_EQ(pf[18][72], pf[18][0]);
    EXPECT_GT(pf[0][0], 0.0);
}

TEST(Recalculation, PoleCellRounding) {
    const double deg = std::numbers::pi / 180;
    struct Case {
        double alpha, beta, res;
        int a, b;
    } cases[] = {
        {1.5, 40, 2.0, 0, 0},  // at 2 degrees a pole below one step is the centre
        {2.5, 40, 2.0, 1, 20}, //
        {1.5, 40, 2.5, 1, 16}, // elsewhere it rounds to the nearest ring
        {88, 90, 5.0, 18, 18}, // 88 degrees is the equator row at 5 degrees
        {30, -40, 5.0, 6, 64}, // negative azimuths wrap round
        {30, 359, 5.0, 6, 0},
    };
    for (const Case& c : cases) {
        int nA, nB, a, b;
        Get_AB_Range_In_Full_PF_Space(&nA, &nB, c.res);
        odfengine::PoleCell(c.alpha * deg, c.beta * deg, c.res, nA, nB, &a, &b);
        EXPECT_EQ(a, c.a) << c.alpha << " " << c.res;
        EXPECT_EQ(b, c.b) << c.alpha << " " << c.beta;
    }
}

TEST(OrientationTools, EulerMillerAndEquivalents) {
    HODF e;
    Transcript tr;
    e.SetCallBack(tr.Callback());
    e.IniEulerMiller(0, kCubicLattice);
    double euler[3];
    const int invalid[6] = {1, 1, 0, 1, 1, 0};
    EXPECT_EQ(e.GetEuler(invalid, euler), 0);
    EXPECT_TRUE(tr.Has("Invalid data"));
    const int cube[6] = {0, 0, 1, 1, 0, 0};
    ASSERT_EQ(e.GetEuler(cube, euler), 1);
    for (double v : euler)
        EXPECT_NEAR(std::fmod(v + 360.0, 360.0), 0.0, 1e-6);
    const int goss[6] = {1, 1, 0, 0, 0, 1};
    ASSERT_EQ(e.GetEuler(goss, euler), 1);
    double miller[6];
    ASSERT_EQ(e.GetMiller(euler, miller), 1);
    EXPECT_NEAR(miller[0] / miller[1], 1.0, 1e-9);
    EXPECT_NEAR(miller[2], 0.0, 1e-9);

    e.IniSO(0, kCubicLattice);
    double eq[96][3];
    int count = 0;
    const double input[3] = {10, 20, 30};
    ASSERT_EQ(e.GetSO(input, eq, &count, 0), 1);
    EXPECT_EQ(count, 24);
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(eq[0][k], input[k], 1e-9);
    ASSERT_EQ(e.GetSO(input, eq, &count, 1), 1);
    EXPECT_EQ(count, 96);

    const double bad[6] = {1, 1, 1, 90, 90, 200};
    e.IniEulerMiller(0, bad);
    EXPECT_EQ(e.GetEuler(cube, euler), 0);
    EXPECT_TRUE(tr.Has("Such crystal does not exist"));
    EXPECT_EQ(e.GetMiller(input, miller), 0);
    EXPECT_TRUE(tr.Has("Conversion from Euler angles to Miller indices failed"));
}
