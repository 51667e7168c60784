#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "orimath/grid.h"
#include "orimath/orimath.h"
#include "test_support.h"

using orimath_test::kLattices;

TEST(PolePositions, CubeHundredPoles) {
    const double cube[3] = {0, 0, 0}, hkl[3] = {1, 0, 0};
    double pos[24][2];
    int count = 0;
    ASSERT_EQ(Get_Ori_Pos_On_PF(pos, &count, cube, hkl, 0, kLattices[0]), 1);
    ASSERT_EQ(count, 3);
    std::vector<std::pair<double, double>> p;
    for (int k = 0; k < 3; ++k)
        p.push_back({std::round(pos[k][0]), std::round(pos[k][1])});
    std::sort(p.begin(), p.end());
    EXPECT_EQ(p[0].first, 0);
    EXPECT_EQ(p[1], std::make_pair(90.0, 0.0));
    EXPECT_EQ(p[2], std::make_pair(90.0, 90.0));
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(pos[k][0], std::round(pos[k][0]), 1e-9);

    // Pole counts of a general {hkl} and of the low-index ones.
    const double h123[3] = {1, 2, 3}, h111[3] = {1, 1, 1}, h110[3] = {1, 1, 0};
    ASSERT_EQ(Get_Ori_Pos_On_PF(pos, &count, cube, h123, 0, kLattices[0]), 1);
    EXPECT_EQ(count, 24);
    ASSERT_EQ(Get_Ori_Pos_On_PF(pos, &count, cube, h111, 0, kLattices[0]), 1);
    EXPECT_EQ(count, 4);
    ASSERT_EQ(Get_Ori_Pos_On_PF(pos, &count, cube, h110, 0, kLattices[0]), 1);
    EXPECT_EQ(count, 6);

    const double zero[3] = {0, 0, 0};
    EXPECT_EQ(Get_Ori_Pos_On_PF(pos, &count, cube, zero, 0, kLattices[0]), 0);
    EXPECT_EQ(Get_Ori_Pos_On_PF(pos, &count, cube, hkl, 9, kLattices[0]), 0);
}

TEST(PolePositions, MillerPlaneSitsAtTheCentre) {
    // The plane Euler2Miller reports is the one whose pole is at the centre
    // of the pole figure, for any crystal type.
    std::mt19937 rng(4);
    for (int type = 0; type < 7; ++type) {
        double e[3], m[6], pos[2];
        orimath_test::RandomEuler(rng, e);
        ASSERT_EQ(Euler2Miller(e, type, kLattices[type], m), 1);
        ASSERT_EQ(Get_Ori_Pos_On_PF2(pos, e, m, type, kLattices[type]), 1);
        EXPECT_NEAR(pos[0], 0, 1e-6) << type;
        // And RD: the sample direction (1, 0, 0) in the crystal is [uvw].
        double axes[3][3], ipf[2];
        const double rd[3] = {1, 0, 0};
        ASSERT_EQ(Get_Ori_Pos_On_InvPF(ipf, axes, e, rd, type, kLattices[type]), 1);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(axes[1][i], m[3 + i], 1e-6) << type;
    }
}

TEST(InversePoleFigure, PixelMapping) {
    double pos[2] = {-1, -1};
    EXPECT_EQ(IPF_From_Pixel_To_Pos(100, 100, 50, 100, 100, pos, 6, 0, 0), 1);
    EXPECT_EQ(pos[0], 0);
    EXPECT_EQ(pos[1], 0);
    EXPECT_EQ(IPF_From_Pixel_To_Pos(151, 100, 50, 100, 100, pos, 6, 0, 0), 0); // distance R + 1
    ASSERT_EQ(IPF_From_Pixel_To_Pos(150, 100, 50, 100, 100, pos, 6, 0, 0), 1); // on the rim
    EXPECT_NEAR(pos[0], 90, 1e-9);
    EXPECT_NEAR(pos[1], 90, 1e-9); // atan2(dx, dy)
    // Sector mode: hexagonal accepts azimuths 270..300 only.
    EXPECT_EQ(IPF_From_Pixel_To_Pos(80, 100, 50, 100, 100, pos, 1, 1, 1), 1); // azimuth 270
    EXPECT_EQ(IPF_From_Pixel_To_Pos(120, 100, 50, 100, 100, pos, 1, 1, 1), 0);
    // Cubic: 315..360 within sqrt(2) R.
    EXPECT_EQ(IPF_From_Pixel_To_Pos(90, 160, 50, 100, 100, pos, 0, 1, 1), 1);
    EXPECT_EQ(IPF_From_Pixel_To_Pos(110, 160, 50, 100, 100, pos, 0, 1, 1), 0);
    EXPECT_EQ(IPF_From_Pixel_To_Pos(100, 100, 0, 100, 100, pos, 6, 0, 0), 0); // no radius
    EXPECT_EQ(IPF_From_Pixel_To_Pos(100, 100, 50, 100, 100, pos, 7, 0, 0), 0);
    EXPECT_EQ(IPF_From_Pixel_To_Pos(100, 100, 50, 100, 100, pos, -1, 0, 0), 0);
    // Sector mode without the sector flag: azimuths 90..270 turned to 0..180.
    ASSERT_EQ(IPF_From_Pixel_To_Pos(100, 60, 50, 100, 100, pos, 2, 1, 0), 1); // azimuth 180
    EXPECT_NEAR(pos[1], 90, 1e-9);
    EXPECT_EQ(IPF_From_Pixel_To_Pos(100, 140, 50, 100, 100, pos, 2, 1, 0), 0); // azimuth 0
}

TEST(InversePoleFigure, PositionToLabel) {
    double uvw[3];
    std::string label;
    const double centre[2] = {0, 0};
    ASSERT_EQ(IPF_From_Pos_To_Vec(centre, 0, kLattices[0], uvw, &label), 1);
    EXPECT_EQ(label, "[0 0 1]");
    const double p111[2] = {54.7356, 45};
    ASSERT_EQ(IPF_From_Pos_To_Vec(p111, 0, kLattices[0], uvw, &label), 1);
    EXPECT_EQ(label, "[1 1 1]");

    const double a1[2] = {90, 0};
    ASSERT_EQ(IPF_From_Pos_To_Vec(a1, 1, kLattices[1], uvw, &label), 1);
    EXPECT_EQ(label, "[2 -1 -1 0]");
    int u, v, t, w;
    ASSERT_EQ(std::sscanf(label.c_str(), "[%d %d %d %d]", &u, &v, &t, &w), 4);
    EXPECT_EQ(u + v + t, 0);

    const double bad[6] = {1, 1, 1, 90, 90, 200};
    EXPECT_EQ(IPF_From_Pos_To_Vec(centre, 0, bad, uvw, &label), 0);
    double axes[3][3];
    const double e[3] = {0, 0, 0}, nd[3] = {0, 0, 1};
    EXPECT_EQ(Get_Ori_Pos_On_InvPF(uvw, axes, e, nd, 0, bad), 0);
}

TEST(TurnY90, MovesTheCentreToTheRim) {
    const double res = 5;
    const orimath::Extent2 fiveDegrees{.alpha = 19, .beta = 73};
    orimath::Grid2<double> inGrid(fiveDegrees), outGrid(fiveDegrees);
    double** in = inGrid.Tree();
    double** out = outGrid.Tree();
    // A peak at the centre (ND) only.
    for (int r = 0; r < 19; ++r)
        for (int c = 0; c < 73; ++c)
            in[r][c] = r == 0 ? 10 : 0;
    ASSERT_EQ(TurnY90(in, out, res), 1);
    // ND turned about y lands on the rim at beta 0 and 180 (x and -x).
    EXPECT_NEAR(out[18][0], 10, 1e-9);
    EXPECT_NEAR(out[18][36], 10, 1e-9);
    EXPECT_NEAR(out[0][0], 0, 1e-9);
    EXPECT_EQ(out[5][72], out[5][0]);
    EXPECT_EQ(TurnY90(in, in, res), 0);
    EXPECT_EQ(TurnY90(in, out, -1), 0);
}
