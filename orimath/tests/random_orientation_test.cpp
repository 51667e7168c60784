#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "orimath/grid.h"
#include "orimath/orimath.h"
#include "platform/msvc_rand.h"

namespace {
// A cubic ODF on the 5 degree grid (73 x 19 x 19 points) of one value.
orimath::Grid3<double> CubicOdf(double value) {
    return orimath::Grid3<double>(orimath::Extent3{.phi1 = 73, .Phi = 19, .phi2 = 19}, value);
}
} // namespace

TEST(RandomOrientation, UniformOdfAcceptsTheFirstDraw) {
    auto odf = CubicOdf(1.0);
    platform::MsvcSrand(17);
    double e[3];
    ASSERT_EQ(GetOneRandOri(odf.Tree(), e, 1.0, 73, 19, 19, 5.0), 1);
    // The first draw uses four generator values: u, phi1, Phi, phi2.
    platform::MsvcSrand(17);
    const double r = 3.051850947599719e-5;
    platform::MsvcRand(); // u
    const double phi1 = platform::MsvcRand() * r * 360;
    const double cosMax = std::cos(90 * orimath::kDegToRad);
    const double Phi =
        std::acos(platform::MsvcRand() * r * (1 - cosMax) + cosMax) * orimath::kRadToDeg;
    const double phi2 = platform::MsvcRand() * r * 90;
    EXPECT_DOUBLE_EQ(e[0], phi1);
    EXPECT_DOUBLE_EQ(e[1], Phi);
    EXPECT_DOUBLE_EQ(e[2], phi2);
}

TEST(RandomOrientation, DrawsFollowTheOdf) {
    // All weight in the cells of phi1 < 45 degrees: every draw must land there.
    auto odf = CubicOdf(0.0);
    for (int i2 = 0; i2 < 19; ++i2)
        for (int i = 0; i < 19; ++i)
            for (int i1 = 0; i1 <= 8; ++i1)
                odf.Tree()[i2][i][i1] = 2.0;
    platform::MsvcSrand(5);
    for (int k = 0; k < 200; ++k) {
        double e[3];
        ASSERT_EQ(GetOneRandOri(odf.Tree(), e, 2.0, 73, 19, 19, 5.0), 1);
        EXPECT_LT(e[0], 42.5 + 1e-9);
        EXPECT_GE(e[1], 0);
        EXPECT_LE(e[1], 90 + 1e-9);
    }
    std::vector<double> out(3 * 50, -1);
    ASSERT_EQ(GetRandOri_Ab_Res(odf.Tree(), reinterpret_cast<double(*)[3]>(out.data()), 50, 73, 19,
                                19, 5.0),
              1);
    for (int k = 0; k < 50; ++k)
        EXPECT_LT(out[3 * k], 42.5 + 1e-9);
}

TEST(RandomOrientation, GivesUpInsteadOfHanging) {
    auto zero = CubicOdf(0.0);
    double e[3] = {7, 7, 7};
    EXPECT_EQ(GetOneRandOri(zero.Tree(), e, 0.0, 73, 19, 19, 5.0), 0);
    EXPECT_EQ(GetOneRandOri(zero.Tree(), e, NAN, 73, 19, 19, 5.0), 0);
    EXPECT_EQ(GetOneRandOri(zero.Tree(), e, INFINITY, 73, 19, 19, 5.0), 0);
    EXPECT_EQ(GetOneRandOri(nullptr, e, 1.0, 73, 19, 19, 5.0), 0);
    EXPECT_EQ(GetOneRandOri(zero.Tree(), e, 1.0, 73, 19, 19, 0.0), 0);
    double out[4][3] = {{7, 7, 7}};
    EXPECT_EQ(GetRandOri_Ab_Res(zero.Tree(), out, 4, 73, 19, 19, 5.0), 0);
    EXPECT_EQ(e[0], 7);
    EXPECT_EQ(out[0][0], 7);

    // A fibre no orientation reaches: {100} within a tolerance of 0.
    auto one = CubicOdf(1.0);
    const double lattice[6] = {1, 1, 1, 90, 90, 90}, hkl[3] = {1, 0, 0};
    double poles[24][3];
    int count = 0;
    EXPECT_EQ(GetOneRandOriWithinFiber(one.Tree(), e, 1.0, 73, 19, 19, 5.0, hkl, 0, lattice, 0.0, 1,
                                       &count, poles),
              0);
    const double none[3] = {0, 0, 0};
    EXPECT_EQ(GetOneRandOriWithinFiber(one.Tree(), e, 1.0, 73, 19, 19, 5.0, none, 0, lattice, 5.0,
                                       1, &count, poles),
              0);
    EXPECT_EQ(GetOneRandOriWithinFiber(one.Tree(), e, 1.0, 73, 19, 19, 5.0, hkl, 7, lattice, 5.0, 1,
                                       &count, poles),
              0);
    EXPECT_EQ(e[0], 7);
}

TEST(RandomOrientation, FibreDrawsLieOnTheFibre) {
    auto one = CubicOdf(1.0);
    const double lattice[6] = {1, 1, 1, 90, 90, 90}, hkl[3] = {1, 1, 1};
    double poles[24][3];
    int count = 0;
    platform::MsvcSrand(3);
    for (int k = 0; k < 20; ++k) {
        double e[3];
        ASSERT_EQ(GetOneRandOriWithinFiber(one.Tree(), e, 1.0, 73, 19, 19, 5.0, hkl, 0, lattice,
                                           10.0, k == 0, &count, poles),
                  1);
        EXPECT_EQ(count, 4);
        int again = count;
        EXPECT_EQ(CompareFiberAxis(e, hkl, 0, lattice, 10.0, 0, &again, poles), 1);
    }
}

TEST(RandomOrientation, FiveDegreeArray) {
    static double odf[73][37][73];
    for (auto& a : odf)
        for (auto& b : a)
            for (double& v : b)
                v = 0;
    odf[0][18][36] = 1; // one cell: phi1 180, Phi 90, phi2 0
    double out[3][3];
    ASSERT_EQ(GetRandOri(odf, out, 3, 73, 37, 73), 1);
    for (auto& e : out) {
        EXPECT_NEAR(e[0], 180, 2.5 + 1e-9);
        EXPECT_NEAR(e[1], 90, 2.5 + 1e-9);
        EXPECT_LE(e[2], 2.5 + 1e-9);
    }
    EXPECT_EQ(GetRandOri(odf, out, 3, 74, 37, 73), 0);
}
