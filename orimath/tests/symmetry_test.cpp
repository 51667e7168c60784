#include <gtest/gtest.h>

#include <cstring>

#include "orimath/orimath.h"
#include "test_support.h"

using orimath_test::kLattices;

TEST(Symmdata, CountsIdentityAndUntouchedBlocks) {
    const int counts[7] = {24, 12, 8, 4, 2, 6, 1};
    for (int type = 0; type < 7; ++type) {
        static double ops[7][24][3][3];
        std::memset(ops, 0x7f, sizeof ops);
        int n = -1;
        Symmdata(ops, &n, 1, type, kLattices[type]);
        EXPECT_EQ(n, counts[type]);
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                EXPECT_NEAR(ops[type][0][i][j], i == j ? 1 : 0, 1e-12);
        // Only the requested type's block and count are written.
        const int other = (type + 1) % 7;
        unsigned char probe;
        std::memcpy(&probe, &ops[other][0][0][0], 1);
        EXPECT_EQ(probe, 0x7f);
        if (n < 24) {
            std::memcpy(&probe, &ops[type][n][0][0], 1);
            EXPECT_EQ(probe, 0x7f);
        }
    }
    static double ops[7][24][3][3];
    for (int bad : {7, 9, -1}) {
        int n = 123;
        ops[0][0][0][0] = 42;
        Symmdata(ops, &n, 1, bad, kLattices[0]);
        EXPECT_EQ(n, 123);
        EXPECT_EQ(ops[0][0][0][0], 42);
    }
    // Without toCartesian, or with a lattice that has no crystal axes, the
    // hexagonal operators stay in the a1, a2, c basis.
    const double badLattice[6] = {1, 1, 1, 90, 90, 200};
    for (int cart = 0; cart < 2; ++cart) {
        int n = 0;
        ops[1][1][1][0] = 0;
        Symmdata(ops, &n, cart, 1, cart ? badLattice : kLattices[1]);
        EXPECT_EQ(n, 12);
        EXPECT_EQ(ops[1][1][1][0], -1);
        EXPECT_EQ(ops[1][1][1][1], 1);
    }
}

// The Cartesian operators of each type form a group of proper rotations.
// Trigonal is left out: its table lists three operators of determinant -1,
// used as they stand.
TEST(Symmdata, CartesianOperatorsFormAClosedGroupOfRotations) {
    for (int type = 0; type < 7; ++type) {
        if (type == orimath::kTrigonal)
            continue;
        static double ops[7][24][3][3];
        int n = 0;
        Symmdata(ops, &n, 1, type, kLattices[type]);
        for (int a = 0; a < n; ++a) {
            const auto& S = ops[type][a];
            const double det = S[0][0] * (S[1][1] * S[2][2] - S[1][2] * S[2][1]) -
                               S[0][1] * (S[1][0] * S[2][2] - S[1][2] * S[2][0]) +
                               S[0][2] * (S[1][0] * S[2][1] - S[1][1] * S[2][0]);
            EXPECT_NEAR(det, 1, 1e-9) << type << " op " << a;
            for (int b = 0; b < n; ++b) {
                double p[3][3];
                MulMatrix(ops[type][a], ops[type][b], p);
                bool found = false;
                for (int c = 0; c < n && !found; ++c)
                    found = orimath_test::MatrixDistance(p, ops[type][c]) < 1e-9;
                EXPECT_TRUE(found) << "type " << type << ": " << a << " * " << b;
            }
        }
    }
}

TEST(SamSymData, FourTwoFolds) {
    double s[4][3][3];
    SamSymData(s);
    const double diag[4][3] = {{1, 1, 1}, {-1, -1, 1}, {-1, 1, -1}, {1, -1, -1}};
    for (int k = 0; k < 4; ++k)
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                EXPECT_EQ(s[k][i][j], i == j ? diag[k][i] : 0);
}

TEST(CrystalTypeName, AllCodes) {
    const char* names[7] = {"Cubic",        "Hexagonal",  "Tetragonal",
                            "Orthorhombic", "Monoclinic", "Rhombohedral/Trigoanl",
                            "Triclinic"};
    for (int t = 0; t < 7; ++t) {
        char buf[32];
        Get_Crystal_Type_Name(buf, t);
        EXPECT_STREQ(buf, names[t]);
        EXPECT_EQ(orimath::CrystalName(t), names[t]);
    }
    char buf[32] = "unchanged";
    Get_Crystal_Type_Name(buf, 7);
    Get_Crystal_Type_Name(buf, -3);
    EXPECT_STREQ(buf, "unchanged");
    EXPECT_EQ(orimath::CrystalName(7), "Unknown");
    EXPECT_EQ(orimath::CrystalName(-3), "Unknown");
}

TEST(GetSO, NudgeCountAndOrder) {
    double e[3] = {0, 90, 360}, out[96][3];
    int n = 0;
    ASSERT_EQ(GetSO(e, out, &n, 0, kLattices[0], 1), 1);
    EXPECT_EQ(n, 96);
    EXPECT_EQ(e[0], 0.001);
    EXPECT_EQ(e[1], 89.999);
    EXPECT_EQ(e[2], 359.999);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(out[0][i], e[i], 1e-6);

    struct Nudge {
        double in[3], out[3];
    } nudges[] = {
        {{720, 180.0005, -90}, {359.999, 180.001, 269.999}},
        {{-360, 180, 270.0004}, {0.001, 179.999, 269.999}},
        {{3600000000010.0, 45, -3599999999990.0}, {10, 45, 10}}, // remainder, not a loop
        {{45.5, 30, 100}, {45.5, 30, 100}},
    };
    for (const Nudge& c : nudges) {
        double v[3] = {c.in[0], c.in[1], c.in[2]};
        ASSERT_EQ(GetSO(v, out, &n, 2, kLattices[2], 0), 1);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(v[i], c.out[i], 1e-9) << c.in[0];
        EXPECT_EQ(n, 8);
    }
}

TEST(GetSO, RejectsBadCodesAndNonFiniteAngles) {
    double out[96][3];
    for (double bad : {double(NAN), double(INFINITY), -double(INFINITY)}) {
        double e[3] = {10, bad, 20};
        int n = -7;
        EXPECT_EQ(GetSO(e, out, &n, 0, kLattices[0], 1), 0);
        EXPECT_EQ(n, -7);
        EXPECT_EQ(e[0], 10); // untouched
    }
    for (int bad : {7, 100, -1}) {
        double e[3] = {10, 20, 30};
        int n = -7;
        EXPECT_EQ(GetSO(e, out, &n, bad, kLattices[0], 0), 0);
        EXPECT_EQ(n, -7);
    }
    const double badLattice[6] = {1, 1, 1, 90, 90, 200};
    double e[3] = {10, 20, 30};
    int n = -7;
    EXPECT_EQ(GetSO(e, out, &n, 1, badLattice, 0), 0);
    EXPECT_EQ(n, -7);
}

// The equivalents form a closed set: any crystal operator (from the left)
// or sample operator (from the right) applied to any equivalent gives
// another equivalent. Trigonal is left out (operators of determinant -1).
TEST(GetSO, EquivalentsAreClosedUnderTheOperators) {
    std::mt19937 rng(21);
    double sam[4][3][3];
    SamSymData(sam);
    for (int type = 0; type < 7; ++type) {
        if (type == orimath::kTrigonal)
            continue;
        static double ops[7][24][3][3];
        int nc = 0;
        Symmdata(ops, &nc, 1, type, kLattices[type]);
        for (int sampleSym = 0; sampleSym < 2; ++sampleSym) {
            for (int trial = 0; trial < 3; ++trial) {
                double e[3], out[96][3];
                orimath_test::RandomEuler(rng, e);
                int n = 0;
                ASSERT_EQ(GetSO(e, out, &n, type, kLattices[type], sampleSym), 1);
                ASSERT_EQ(n, nc * (sampleSym ? 4 : 1));
                double g[96][3][3];
                for (int k = 0; k < n; ++k)
                    Gmatrix(out[k], g[k]);
                auto inList = [&](const double m[3][3]) {
                    for (int k = 0; k < n; ++k)
                        if (orimath_test::MatrixDistance(m, g[k]) < 1e-7)
                            return true;
                    return false;
                };
                for (int k = 0; k < n; ++k) {
                    for (int c = 0; c < nc; ++c) {
                        double m[3][3];
                        MulMatrix(ops[type][c], g[k], m);
                        EXPECT_TRUE(inList(m)) << "type " << type << " crystal op " << c;
                    }
                    for (int s = 0; s < (sampleSym ? 4 : 1); ++s) {
                        double m[3][3];
                        MulMatrix(g[k], sam[s], m);
                        EXPECT_TRUE(inList(m)) << "type " << type << " sample op " << s;
                    }
                }
            }
        }
    }
}
