#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "orimath/grid.h"
#include "orimath/orimath.h"
#include "test_support.h"

TEST(Ranges, PoleFigureGrid) {
    struct Case {
        double res;
        int nA, nB;
    } cases[] = {{5, 19, 73}, {2, 46, 181}, {7, 14, 52}, {1, 91, 361}};
    for (const Case& c : cases) {
        int a = -1, b = -1;
        Get_AB_Range_In_Full_PF_Space(&a, &b, c.res);
        EXPECT_EQ(a, c.nA) << c.res;
        EXPECT_EQ(b, c.nB) << c.res;
    }
    for (double bad : {0.0, -5.0, double(NAN), double(INFINITY)}) {
        int a = -1, b = -1;
        Get_AB_Range_In_Full_PF_Space(&a, &b, bad);
        EXPECT_EQ(a, 0);
        EXPECT_EQ(b, 0);
    }
}

TEST(Ranges, ReducedOdfRegionPerType) {
    // {phi1, Phi, phi2} in degrees without and with sample symmetry.
    const int ranges[8][2][3] = {
        {{360, 90, 90}, {90, 90, 90}},      {{360, 90, 60}, {90, 90, 60}},
        {{360, 90, 90}, {90, 90, 90}},      {{180, 180, 180}, {180, 90, 90}},
        {{360, 180, 180}, {180, 180, 90}},  {{180, 180, 120}, {90, 90, 120}},
        {{360, 180, 360}, {180, 180, 180}}, {{360, 90, 90}, {360, 90, 90}}};
    for (int type = 0; type < 8; ++type)
        for (int s = 0; s < 2; ++s) {
            int n1, n, n2;
            GetEulerRangeInODFSpace(&n1, &n, &n2, type, 5, s);
            EXPECT_EQ(n1, ranges[type][s][0] / 5 + 1);
            EXPECT_EQ(n, ranges[type][s][1] / 5 + 1);
            EXPECT_EQ(n2, ranges[type][s][2] / 5 + 1);
        }
    int r[6];
    GetEulerRange(0, r, 0);
    EXPECT_EQ(std::vector<int>(r, r + 6), (std::vector<int>{0, 72, 0, 18, 0, 18}));
    GetEulerRange(3, r, 0);
    EXPECT_EQ(std::vector<int>(r, r + 6), (std::vector<int>{0, 36, 0, 36, 0, 36}));
    GetEulerRange(-4, r, 1); // unknown codes take the default row
    EXPECT_EQ(std::vector<int>(r, r + 6), (std::vector<int>{0, 72, 0, 18, 0, 18}));
}

TEST(ReduceODFSpace, StatedCases) {
    int i1 = 80, iPhi = 10, i2 = 20;
    ReduceODFSpace(&i1, &iPhi, &i2, 0, 5, 1);
    EXPECT_EQ(i1, 8);
    EXPECT_EQ(iPhi, 10);
    EXPECT_EQ(i2, 2);

    // Hexagonal compares i2 with S60 by >=: i2 of exactly 60 degrees is 0.
    i1 = 0, iPhi = 10, i2 = 12;
    ReduceODFSpace(&i1, &iPhi, &i2, 1, 5, 0);
    EXPECT_EQ(i2, 0);

    // Trigonal without sample symmetry keeps i2 within 0..24 at 5 degrees.
    for (int a = -80; a < 160; a += 7)
        for (int b = -40; b < 120; b += 3)
            for (int c = -100; c < 200; c += 11) {
                int x = a, y = b, z = c;
                ReduceODFSpace(&x, &y, &z, 5, 5, 0);
                EXPECT_GE(z, 0);
                EXPECT_LE(z, 24);
            }

    // Whole degrees: the same folding with res 1.
    int p1 = 400, P = 100, p2 = 95, q1 = 400, Q = 100, q2 = 95;
    ReduceODFSpace2(&p1, &P, &p2, 0, 1);
    ReduceODFSpace(&q1, &Q, &q2, 0, 1, 1);
    EXPECT_EQ(p1, q1);
    EXPECT_EQ(P, Q);
    EXPECT_EQ(p2, q2);
}

TEST(ReduceODFSpace, ExtremeInputNeverHangsOrOverflows) {
    int a = INT32_MAX, b = INT32_MIN, c = INT32_MAX;
    ReduceODFSpace(&a, &b, &c, 0, 5, 1);
    EXPECT_GE(a, 0);
    EXPECT_GE(c, 0);
    int x = 5, y = 6, z = 7;
    ReduceODFSpace(&x, &y, &z, 0, 0.0, 1); // bad resolution: unchanged
    ReduceODFSpace(&x, &y, &z, 0, NAN, 1);
    ReduceODFSpace(&x, &y, &z, 0, 1000, 1);
    EXPECT_EQ(x, 5);
    EXPECT_EQ(y, 6);
    EXPECT_EQ(z, 7);
}

// For every type but trigonal, both sample-symmetry settings and several
// resolutions, a folded grid point lies in the reduced region and is
// symmetrically equivalent to the point before folding. Trigonal is left
// out: its folding rows follow its operator table, which holds operators of
// determinant -1, and do not always give an equivalent orientation.
TEST(ReduceODFSpace, LandsInsideTheRegionOnAnEquivalentOrientation) {
    std::mt19937 rng(9);
    for (double res : {5.0, 2.5, 10.0, 15.0}) {
        const int s360 = static_cast<int>(360 / res + 0.5);
        std::uniform_int_distribution<int> idx(-s360, 2 * s360);
        for (int type = 0; type < 7; ++type) {
            if (type == orimath::kTrigonal)
                continue;
            for (int sampleSym = 0; sampleSym < 2; ++sampleSym) {
                int n1, n, n2;
                GetEulerRangeInODFSpace(&n1, &n, &n2, type, res, sampleSym);
                for (int trial = 0; trial < 60; ++trial) {
                    int i1 = idx(rng), iPhi = idx(rng), i2 = idx(rng);
                    const double before[3] = {i1 * res, iPhi * res, i2 * res};
                    ReduceODFSpace(&i1, &iPhi, &i2, type, res, sampleSym);
                    EXPECT_TRUE(i1 >= 0 && i1 < n1 && iPhi >= 0 && iPhi < n && i2 >= 0 && i2 < n2)
                        << "type " << type << " s " << sampleSym << " res " << res << ": " << i1
                        << " " << iPhi << " " << i2;
                    const double after[3] = {i1 * res, iPhi * res, i2 * res};
                    EXPECT_TRUE(orimath_test::Equivalent(before, after, type, sampleSym, 1e-3))
                        << "type " << type << " s " << sampleSym << " res " << res << " from "
                        << before[0] << " " << before[1] << " " << before[2];
                }
            }
        }
    }
}

TEST(NormalizPF, UniformBandAveragesOne) {
    const double res = 5;
    orimath::Grid2<double> grid(orimath::Extent2{.alpha = 19, .beta = 73});
    double** pf = grid.Tree();
    // Measured band 0..70 degrees at value 3 (with some negative noise that
    // becomes 0), unmeasured rim.
    for (int r = 0; r < 19; ++r)
        for (int c = 0; c < 73; ++c)
            pf[r][c] = r <= 14 ? 3.0 : (r == 18 ? -1.0 : 0.0);
    EXPECT_EQ(NormalizPF(pf, res), 19);
    for (int r = 0; r <= 14; ++r)
        EXPECT_NEAR(pf[r][5], 1.0, 1e-12) << r;
    EXPECT_EQ(pf[18][0], 0.0);
}

TEST(NormalizPF, EmptyGridStaysUnchangedAndNoNaN) {
    orimath::Grid2<double> grid(orimath::Extent2{.alpha = 19, .beta = 73});
    double** pf = grid.Tree();
    for (int r = 0; r < 19; ++r)
        for (int c = 0; c < 73; ++c)
            pf[r][c] = (r + c) % 2 ? 0.0 : -2.0;
    EXPECT_EQ(NormalizPF(pf, 5), 19);
    for (int r = 0; r < 19; ++r)
        for (int c = 0; c < 73; ++c)
            EXPECT_EQ(pf[r][c], 0.0);
    pf[3][3] = NAN;
    pf[4][4] = 2;
    NormalizPF(pf, 5);
    for (int r = 0; r < 19; ++r)
        for (int c = 0; c < 73; ++c)
            EXPECT_TRUE(std::isfinite(pf[r][c]));
    EXPECT_EQ(NormalizPF(pf, -1), 0);
    EXPECT_EQ(NormalizPF(nullptr, 5), 0);
}
