#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <numeric>
#include <random>
#include <string>

#include "orimath/orimath.h"
#include "reference_misorientation.h"

namespace {
const double kCubicLattice[6] = {1, 1, 1, 90, 90, 90};

// Euler angles (degrees) of the rotation by angle about axis applied to e.
void Rotated(const double e[3], const double axis[3], double angleDeg, double out[3]) {
    // Rotation in the crystal frame: g' = R g with R the rotation matrix.
    const double len = std::sqrt(axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2]);
    const double n[3] = {axis[0] / len, axis[1] / len, axis[2] / len};
    const double t = angleDeg * orimath::kDegToRad, c = std::cos(t), s = std::sin(t), u = 1 - c;
    const double R[3][3] = {
        {c + u * n[0] * n[0], u * n[0] * n[1] - s * n[2], u * n[0] * n[2] + s * n[1]},
        {u * n[0] * n[1] + s * n[2], c + u * n[1] * n[1], u * n[1] * n[2] - s * n[0]},
        {u * n[0] * n[2] - s * n[1], u * n[1] * n[2] + s * n[0], c + u * n[2] * n[2]}};
    double g[3][3], rg[3][3], r[3];
    Gmatrix(e, g);
    MulMatrix(R, g, rg);
    ASSERT_EQ(Eulerangle(rg, r), 1);
    for (int i = 0; i < 3; ++i)
        out[i] = r[i] * orimath::kRadToDeg;
}

void RandomEuler(std::mt19937& rng, double e[3]) {
    std::uniform_real_distribution<double> u(0, 1);
    e[0] = u(rng) * 360;
    e[1] = std::acos(1 - 2 * u(rng)) * orimath::kRadToDeg;
    e[2] = u(rng) * 360;
}
} // namespace

TEST(CslTable, EveryEntryObeysTheSigmaRule) {
    // Sigma = n^2 + N m^2, halved while even, with tan(angle/2) = (m/n) sqrt(N)
    // and N = u^2 + v^2 + w^2. Look for the coprime pair (m, n) that gives
    // the entry's angle; its Sigma must be the one in the name.
    for (int k = 0; k < orimath::kCubicCSLCount; ++k) {
        const orimath::CubicCSLEntry* e = orimath::GetCubicCSLEntry(k);
        ASSERT_NE(e, nullptr);
        const int N = e->axis[0] * e->axis[0] + e->axis[1] * e->axis[1] + e->axis[2] * e->axis[2];
        bool found = false;
        for (int n = 1; n <= 60 && !found; ++n)
            for (int m = 0; m <= 60 && !found; ++m) {
                if (std::gcd(m, n) != 1)
                    continue;
                const double angle =
                    2 * std::atan(m * std::sqrt(double(N)) / n) * 180 / std::numbers::pi;
                if (std::fabs(angle - e->angleDeg) > 0.02)
                    continue;
                int sigma = n * n + N * m * m;
                while (sigma % 2 == 0)
                    sigma /= 2;
                found = sigma == orimath::CubicCSLSigma(k);
            }
        EXPECT_TRUE(found) << "entry " << e->name;
    }
    EXPECT_EQ(orimath::GetCubicCSLEntry(50), nullptr);
    EXPECT_EQ(orimath::GetCubicCSLEntry(-1), nullptr);
}

TEST(CslTable, Names) {
    std::string names[51];
    InitCubicCSLName(names);
    EXPECT_EQ(names[0], "1");
    EXPECT_EQ(names[6], "13a");
    EXPECT_EQ(names[49], "51b");
    EXPECT_EQ(names[50], "Not CSL");
}

TEST(GetMisOri, NamedRelations) {
    const double base[3] = {20, 30, 40};
    struct Case {
        const char* what;
        double axis[3];
        double angle;
        int index;
    } cases[] = {
        {"equal", {1, 1, 1}, 0, 0},
        {"Sigma3 twin", {1, 1, 1}, 60, 1},
        {"Sigma5", {1, 0, 0}, 36.87, 2},
        {"Sigma9", {1, 1, 0}, 38.94, 4},
        {"Sigma11", {1, 1, 0}, 50.48, 5},
        {"Sigma33b on <311>", {3, 1, 1}, 33.55, 25},
        {"random 45 about <123>", {1, 2, 3}, 45, 50},
    };
    for (const Case& c : cases) {
        double e2[3];
        Rotated(base, c.axis, c.angle, e2);
        double angle = -1;
        int index = 49;
        GetMisOri(base, e2, &angle, &index);
        EXPECT_EQ(index, c.index) << c.what;
        if (c.index != 50) {
            EXPECT_NEAR(angle, c.angle, 1e-6) << c.what;
        }
    }
}

TEST(GetMisOri, LimitIsClampedAndNonFiniteInputIsRejected) {
    const double a[3] = {0, 0, 0}, b[3] = {10, 20, 30};
    double angle;
    int index = 1000; // beyond the table: treated as 49
    GetMisOri(a, a, &angle, &index);
    EXPECT_EQ(index, 0);
    index = -1; // no entry tested
    GetMisOri(a, a, &angle, &index);
    EXPECT_EQ(index, 50);
    EXPECT_EQ(angle, 0);
    const double bad[3] = {NAN, 0, 0};
    index = 49;
    GetMisOri(bad, b, &angle, &index);
    EXPECT_EQ(index, 50);
    EXPECT_FALSE(std::isnan(angle));
}

TEST(GetMisOri, AgreesWithTheDirectAlgorithm) {
    // Random pairs plus pairs built close to table entries (inside and just
    // outside the Brandon limit), where a wrong equivalent set would show.
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> u(0, 1);
    int differing = 0;
    for (int n = 0; n < 300; ++n) {
        double e1[3], e2[3];
        RandomEuler(rng, e1);
        if (n % 2 == 0) {
            RandomEuler(rng, e2);
        } else {
            const orimath::CubicCSLEntry* e = orimath::GetCubicCSLEntry(n % 50);
            const double axis[3] = {double(e->axis[0]) + 0.3 * (u(rng) - 0.5),
                                    double(e->axis[1]) + 0.3 * (u(rng) - 0.5),
                                    double(e->axis[2]) + 0.3 * (u(rng) - 0.5)};
            Rotated(e1, axis, e->angleDeg + 4 * (u(rng) - 0.5), e2);
        }
        double angle;
        int index = 49;
        GetMisOri(e1, e2, &angle, &index);
        orimath_reference::CubicResult ref;
        orimath_reference::CubicMisorientation(e1, e2, 49, &ref);
        EXPECT_NEAR(angle, ref.angleDeg, 1e-6);
        double swapped;
        int swappedIndex = 49;
        GetMisOri(e2, e1, &swapped, &swappedIndex);
        EXPECT_NEAR(swapped, angle, 1e-9);
        EXPECT_EQ(swappedIndex, index);
        if (index != ref.index) {
            const int k = std::min(index, ref.index);
            ASSERT_LT(k, ref.tested);
            EXPECT_LT(std::fabs(ref.closeness[k] - ref.threshold[k]), 1e-9) << "pair " << n;
            ++differing;
        }
    }
    EXPECT_LE(differing, 1);
}

TEST(MisorientationAllSymmetries, CubicAgreesWithGetMisOriAndEdgeCases) {
    const double a[3] = {0, 0, 0}, b[3] = {90, 0, 0};
    // 0 up to the 0.001 degree nudge of the second orientation.
    EXPECT_NEAR(GetMisOri_AllCrystalSym(a, b, 0, kCubicLattice), 0, 2e-3);
    std::mt19937 rng(3);
    for (int n = 0; n < 200; ++n) {
        double e1[3], e2[3], angle;
        RandomEuler(rng, e1);
        RandomEuler(rng, e2);
        int index = -1;
        // GetMisOri_AllCrystalSym nudges e2 by up to 0.001 degree.
        double e2n[3] = {e2[0], e2[1], e2[2]};
        double so[24][3];
        int count;
        ASSERT_EQ(GetSO(e2n, so, &count, 0, kCubicLattice, 0), 1);
        GetMisOri(e1, e2n, &angle, &index);
        EXPECT_NEAR(GetMisOri_AllCrystalSym(e1, e2, 0, kCubicLattice), angle, 1e-6);
    }
}

TEST(MisorientationAllSymmetries, RejectsBadInputWithMinusOne) {
    const double a[3] = {10, 20, 30}, bad[3] = {0, INFINITY, 0};
    const double badLattice[6] = {1, 1, 1, 90, 90, 200};
    EXPECT_EQ(GetMisOri_AllCrystalSym(a, a, 7, kCubicLattice), -1);
    EXPECT_EQ(GetMisOri_AllCrystalSym(a, a, -1, kCubicLattice), -1);
    EXPECT_EQ(GetMisOri_AllCrystalSym(a, bad, 0, kCubicLattice), -1);
    EXPECT_EQ(GetMisOri_AllCrystalSym(a, a, 0, badLattice), -1);
    EXPECT_EQ(CompareOri(a, a, 9, kCubicLattice, 5), 0);
    double angle = 5, axis[3] = {9, 9, 9};
    EXPECT_EQ(GetMisOriAxis_AllCrystalSym(a, a, 7, kCubicLattice, &angle, axis), 0);
    EXPECT_EQ(angle, 5);
}

TEST(MisorientationAxis, RecoversAxisAndAngle) {
    const double base[3] = {12, 34, 56};
    struct Case {
        int type;
        double lattice[6];
        double axis[3];
        double angle;
        double want[3];
    } cases[] = {
        {0, {1, 1, 1, 90, 90, 90}, {1, 1, 1}, 40, {0.57735, 0.57735, 0.57735}},
        {0, {1, 1, 1, 90, 90, 90}, {0, -1, 0}, 30, {1, 0, 0}},
        {1, {1, 1, 1.6, 90, 90, 120}, {0, 0, 1}, 20, {0, 0, 1}},
        {3, {1, 2, 3, 90, 90, 90}, {-1, 0, -1}, 50, {0.70711, 0, 0.70711}},
        {6, {1, 2, 3, 80, 85, 95}, {1, 2, 2}, 100, {1 / 3.0, 2 / 3.0, 2 / 3.0}},
    };
    for (const Case& c : cases) {
        double e2[3], angle, axis[3];
        Rotated(base, c.axis, c.angle, e2);
        ASSERT_EQ(GetMisOriAxis_AllCrystalSym(base, e2, c.type, c.lattice, &angle, axis), 1);
        EXPECT_NEAR(angle, c.angle, 2e-3) << c.type; // e2 is nudged by up to 0.001 degree
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(axis[i], c.want[i], 1e-3) << c.type;
    }
}

// Misorientation is symmetric in its arguments and invariant under the
// symmetry operators (of the crystal on both grains, of the sample on the
// pair). Trigonal is left out: its table holds operators of determinant -1,
// so its equivalents are not all rotations of the same orientation.
TEST(MisorientationAllSymmetries, SymmetricAndInvariantForEveryType) {
    const double lattices[7][6] = {{1, 1, 1, 90, 90, 90},   {1, 1, 1.6, 90, 90, 120},
                                   {1, 1, 1.4, 90, 90, 90}, {1, 2, 3, 90, 90, 90},
                                   {1, 2, 3, 90, 100, 90},  {1, 1, 1, 70, 70, 70},
                                   {1, 2, 3, 80, 85, 95}};
    std::mt19937 rng(5);
    for (int type = 0; type < 7; ++type) {
        if (type == orimath::kTrigonal)
            continue;
        for (int n = 0; n < 40; ++n) {
            double e1[3], e2[3];
            RandomEuler(rng, e1);
            RandomEuler(rng, e2);
            const double a = GetMisOri_AllCrystalSym(e1, e2, type, lattices[type]);
            ASSERT_GE(a, 0);
            EXPECT_NEAR(GetMisOri_AllCrystalSym(e2, e1, type, lattices[type]), a, 2e-3) << type;
            // Every equivalent of e1 (crystal and sample symmetry) keeps the
            // angle to the matching equivalent of e2.
            double s1[96][3], s2[96][3];
            int c1, c2;
            double e1c[3] = {e1[0], e1[1], e1[2]}, e2c[3] = {e2[0], e2[1], e2[2]};
            ASSERT_EQ(GetSO(e1c, s1, &c1, type, lattices[type], 1), 1);
            ASSERT_EQ(GetSO(e2c, s2, &c2, type, lattices[type], 1), 1);
            const double a0 = GetMisOri_AllCrystalSym(e1c, e2c, type, lattices[type]);
            // Crystal operator on one grain only: same angle.
            for (int k = 0; k < c1; k += 4)
                EXPECT_NEAR(GetMisOri_AllCrystalSym(s1[k], e2c, type, lattices[type]), a0, 2e-3);
            // The same sample operator on both grains: same angle.
            for (int s = 0; s < 4; ++s)
                EXPECT_NEAR(GetMisOri_AllCrystalSym(s1[s], s2[s], type, lattices[type]), a0, 2e-3);
        }
    }
}

TEST(CompareOri, ToleranceAndFibre) {
    const double a[3] = {10, 20, 30};
    double b[3];
    const double axis[3] = {1, 2, 3};
    Rotated(a, axis, 4, b);
    EXPECT_EQ(CompareOri(a, b, 0, kCubicLattice, 5), 1);
    EXPECT_EQ(CompareOri(a, b, 0, kCubicLattice, 3), 0);

    // Goss has {110} parallel to ND; Cube has not (its nearest {110} is 45 away).
    const double goss[3] = {0, 45, 0}, cube[3] = {0, 0, 0}, hkl[3] = {1, 1, 0};
    double poles[24][3];
    int count = 0;
    EXPECT_EQ(CompareFiberAxis(goss, hkl, 0, kCubicLattice, 5, 1, &count, poles), 1);
    EXPECT_EQ(count, 6);
    EXPECT_EQ(CompareFiberAxis(cube, hkl, 0, kCubicLattice, 5, 0, &count, poles), 0);
    EXPECT_EQ(CompareFiberAxis(cube, hkl, 0, kCubicLattice, 46, 0, &count, poles), 1);
    const double zero[3] = {0, 0, 0};
    EXPECT_EQ(CompareFiberAxis(goss, zero, 0, kCubicLattice, 5, 1, &count, poles), 0);
    EXPECT_EQ(CompareFiberAxis(goss, hkl, 8, kCubicLattice, 5, 1, &count, poles), 0);
    EXPECT_EQ(CompareFiberAxis(goss, hkl, -1, kCubicLattice, 5, 0, &count, poles), 0);
}
