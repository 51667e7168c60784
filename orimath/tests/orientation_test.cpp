#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "orimath/orimath.h"

namespace {
const double kCubicLattice[6] = {1, 1, 1, 90, 90, 90};

void ExpectMatrixNear(const double a[3][3], const double b[3][3], double tol) {
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_NEAR(a[i][j], b[i][j], tol) << i << "," << j;
}
} // namespace

TEST(Gmatrix, IdentityAndOrthonormal) {
    const double zero[3] = {0, 0, 0};
    double g[3][3];
    Gmatrix(zero, g);
    const double I[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    ExpectMatrixNear(g, I, 0);
    double e[3] = {1, 2, 3};
    EXPECT_EQ(Eulerangle(g, e), 1);
    EXPECT_EQ(e[0], 0);
    EXPECT_EQ(e[1], 0);
    EXPECT_EQ(e[2], 0);

    // ND (column 2) of (0, 90, 0) is the crystal y axis; RD stays x.
    const double e90[3] = {0, 90, 0};
    Gmatrix(e90, g);
    EXPECT_NEAR(g[0][2], 0, 1e-12);
    EXPECT_NEAR(g[1][2], 1, 1e-12);
    EXPECT_NEAR(g[2][2], 0, 1e-9);
    EXPECT_NEAR(g[0][0], 1, 1e-12);
}

TEST(Eulerangle, RoundTripOverRandomOrientations) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(0, 1);
    for (int n = 0; n < 2000; ++n) {
        // Phi away from the degenerate 0 and 180 where only phi1 + phi2 is defined.
        const double e[3] = {u(rng) * 360, 0.5 + u(rng) * 179, u(rng) * 360};
        double g[3][3], g2[3][3], r[3];
        Gmatrix(e, g);
        ASSERT_EQ(Eulerangle(g, r), 1);
        const double back[3] = {r[0] * orimath::kRadToDeg, r[1] * orimath::kRadToDeg,
                                r[2] * orimath::kRadToDeg};
        Gmatrix(back, g2);
        ExpectMatrixNear(g, g2, 1e-8);
        EXPECT_GE(r[0], 0);
        EXPECT_LT(r[0], orimath::kTwoPi);
        EXPECT_GE(r[2], 0);
        EXPECT_LT(r[2], orimath::kTwoPi);
    }
    const double e[3] = {30, 40, 50};
    double g[3][3], r[3];
    Gmatrix(e, g);
    ASSERT_EQ(Eulerangle(g, r), 1);
    EXPECT_NEAR(r[0], 30 * orimath::kDegToRad, 1e-9);
    EXPECT_NEAR(r[1], 40 * orimath::kDegToRad, 1e-9);
    EXPECT_NEAR(r[2], 50 * orimath::kDegToRad, 1e-9);
}

TEST(Eulerangle, DegeneratePhiZeroAndPiGiveTheSameMatrix) {
    // Only phi1 + phi2 (Phi = 0) or phi1 - phi2 (Phi = 180) is defined there;
    // whatever split is returned must rebuild the same matrix.
    const double cases[][3] = {
        {0, 0, 80}, {30, 0, 200}, {0, 180, 80}, {300, 180, 140}, {10, 180, 350}};
    for (const auto& e : cases) {
        double g[3][3], g2[3][3], r[3];
        Gmatrix(e, g);
        ASSERT_EQ(Eulerangle(g, r), 1);
        const double back[3] = {r[0] * orimath::kRadToDeg, r[1] * orimath::kRadToDeg,
                                r[2] * orimath::kRadToDeg};
        Gmatrix(back, g2);
        ExpectMatrixNear(g, g2, 1e-8);
    }
}

TEST(Eulerangle, ClampsSlightOvershootAndRejectsLargeOrNonFinite) {
    const double e[3] = {0, 0, 25};
    double g[3][3], r[3];
    Gmatrix(e, g);
    g[2][2] = 1.00005;
    ASSERT_EQ(Eulerangle(g, r), 1);
    EXPECT_EQ(g[2][2], 1.0); // clamped in the caller's matrix
    EXPECT_EQ(r[0], 0);
    EXPECT_EQ(r[1], 0);
    EXPECT_NEAR(r[2], 25 * orimath::kDegToRad, 1e-9);

    double r2[3] = {9, 9, 9};
    g[2][2] = 1.001;
    EXPECT_EQ(Eulerangle(g, r2), 0);
    g[2][2] = NAN;
    EXPECT_EQ(Eulerangle(g, r2), 0);
    g[2][2] = 1;
    g[0][1] = INFINITY;
    EXPECT_EQ(Eulerangle(g, r2), 0);
    EXPECT_EQ(r2[0], 9);
}

TEST(MatrixHelpers, ProductAndInverse) {
    const double a[3][3] = {{2, 1, 0}, {0, 1, 3}, {1, 0, 1}};
    double ai[3][3], p[3][3];
    Inverse(a, ai);
    MulMatrix(a, ai, p);
    const double I[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    ExpectMatrixNear(p, I, 1e-12);
}

TEST(CrystalAxis, CellsAndAngleTest) {
    double A[3][3];
    ASSERT_EQ(CrystalAxis(A, orimath::kCubic, kCubicLattice), 1);
    const double I[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    ExpectMatrixNear(A, I, 1e-9);

    const double hex[6] = {1, 1, 1.6, 90, 90, 120};
    ASSERT_EQ(CrystalAxis(A, orimath::kHexagonal, hex), 1);
    EXPECT_NEAR(A[0][1], -0.5, 1e-9);
    EXPECT_NEAR(A[1][1], std::sqrt(3.0) / 2, 1e-9);

    // Rhombohedral setting: three unit axes 120 degrees apart round z at the
    // same polar angle.
    const double rh[6] = {1, 1, 1, 70, 70, 70};
    ASSERT_EQ(CrystalAxis(A, orimath::kTrigonal, rh), 1);
    for (int j = 0; j < 3; ++j) {
        EXPECT_NEAR(A[2][j], A[2][0], 1e-12);
        EXPECT_NEAR(A[0][j] * A[0][j] + A[1][j] * A[1][j] + A[2][j] * A[2][j], 1, 1e-12);
    }
    const double cosAB = A[0][0] * A[0][1] + A[1][0] * A[1][1] + A[2][0] * A[2][1];
    EXPECT_NEAR(std::acos(cosAB) * orimath::kRadToDeg, 70, 1e-6);

    struct Bad {
        int type;
        double lattice[6];
    } bad[] = {
        {0, {1, 1, 1, 90, 90, 200}}, // fails the triangle test
        {0, {1, 1, 1, NAN, 90, 90}}, // not finite
        {7, {1, 1, 1, 90, 90, 90}},  // unknown crystal code
        {-1, {1, 1, 1, 90, 90, 90}},
    };
    for (const Bad& b : bad) {
        double out[3][3] = {{5, 5, 5}, {5, 5, 5}, {5, 5, 5}};
        EXPECT_EQ(CrystalAxis(out, b.type, b.lattice), 0) << b.type;
        EXPECT_EQ(out[0][0], 5);
    }
}

TEST(Miller, NamedComponentsBothWays) {
    struct Case {
        const char* name;
        double euler[3];
        double hkluvw[6];
    } cases[] = {
        {"Cube", {0, 0, 0}, {0, 0, 1, 1, 0, 0}},
        {"Goss", {0, 45, 0}, {0, 1, 1, 1, 0, 0}},
        {"Brass", {35.26, 45, 0}, {0, 1, 1, 2, -1, 1}},
        {"Copper", {90, 35.26, 45}, {1, 1, 2, -1, -1, 1}},
    };
    for (const Case& c : cases) {
        double m[6];
        ASSERT_EQ(Euler2Miller(c.euler, 0, kCubicLattice, m), 1) << c.name;
        int hkl[3], uvw[3];
        GetNiceVector(m, hkl);
        GetNiceVector(m + 3, uvw);
        int want[6];
        for (int i = 0; i < 6; ++i)
            want[i] = static_cast<int>(c.hkluvw[i]);
        // Only the direction of the plane normal is fixed, so compare with
        // the expected indices up to sign.
        const int s = (hkl[0] * want[0] + hkl[1] * want[1] + hkl[2] * want[2]) < 0 ? -1 : 1;
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(s * hkl[i], want[i]) << c.name;
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(uvw[i], want[3 + i]) << c.name;

        double e[3], g1[3][3], g2[3][3];
        ASSERT_EQ(Miller2Euller(c.hkluvw, e, 0, kCubicLattice), 1) << c.name;
        Gmatrix(e, g1);
        Gmatrix(c.euler, g2);
        ExpectMatrixNear(g1, g2, 2e-3);
    }
}

TEST(Miller, HexagonalRoundTripAndRejectedInput) {
    const double hex[6] = {2.95, 2.95, 4.68, 90, 90, 120};
    const double e[3] = {20, 35, 10};
    double m[6], back[3], g1[3][3], g2[3][3];
    ASSERT_EQ(Euler2Miller(e, 1, hex, m), 1);
    // The plane contains the direction in any lattice.
    EXPECT_NEAR(m[0] * m[3] + m[1] * m[4] + m[2] * m[5], 0, 1e-9);

    const double miller[6] = {0, 0, 1, 2, -1, 0};
    ASSERT_EQ(Miller2Euller(miller, back, 1, hex), 1);
    Gmatrix(back, g1);
    ASSERT_EQ(Euler2Miller(back, 1, hex, m), 1);
    EXPECT_NEAR(m[0], 0, 1e-9);
    EXPECT_NEAR(m[1], 0, 1e-9);
    EXPECT_NEAR(m[4] / m[3], -0.5, 1e-9);
    (void)g2;

    const double rejected[][6] = {
        {0, 0, 0, 1, 0, 0}, {1, 0, 0, 0, 0, 0}, {1, 1, 1, 1, 0, 0}, {NAN, 0, 1, 1, 0, 0}};
    for (const auto& r : rejected) {
        double out[3] = {7, 7, 7};
        EXPECT_EQ(Miller2Euller(r, out, 0, kCubicLattice), 0);
        EXPECT_EQ(out[0], 7);
    }
    const double badLattice[6] = {1, 1, 1, 90, 90, 200};
    const double ok[6] = {0, 0, 1, 1, 0, 0};
    EXPECT_EQ(Miller2Euller(ok, back, 0, badLattice), 0);
    EXPECT_EQ(Euler2Miller(e, 0, badLattice, m), 0);
    EXPECT_EQ(Euler2Miller(e, 9, kCubicLattice, m), 0);
}

TEST(GetNiceVector, Table) {
    struct Case {
        double in[3];
        int out[3];
    } cases[] = {
        {{0.5, 0.5, 1.0}, {1, 1, 2}},
        {{0.01, 0, 1}, {0, 0, 1}}, // 1/0.01 >= 9: treated as 0
        {{-0.7071, 0, 0.7071}, {-1, 0, 1}},
        {{0.2357, -0.2357, 0.4714}, {1, -1, 2}},
        {{1, 2, 3}, {1, 2, 3}},
        {{0.333, 0.666, 1.0}, {1, 2, 3}},
        {{0, 0, 0}, {0, 0, 0}},
        {{NAN, 1, 0}, {0, 0, 0}},
        {{20000, 0, 0}, {1, 0, 0}}, // large magnitudes still reduce to [1 0 0]
    };
    for (const Case& c : cases) {
        int r[3];
        GetNiceVector(c.in, r);
        EXPECT_EQ(r[0], c.out[0]) << c.in[0] << " " << c.in[1] << " " << c.in[2];
        EXPECT_EQ(r[1], c.out[1]) << c.in[0] << " " << c.in[1] << " " << c.in[2];
        EXPECT_EQ(r[2], c.out[2]) << c.in[0] << " " << c.in[1] << " " << c.in[2];
    }
}
