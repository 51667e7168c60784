// Magnetic anisotropy energy and torque maps.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "test_support.h"

using namespace enginetest;

namespace {

double Anisotropy(double alphaDeg, double betaDeg, double K1, double K2) {
    const double a = alphaDeg * std::numbers::pi / 180, b = betaDeg * std::numbers::pi / 180;
    const double l1 = std::sin(a) * std::cos(b), l2 = std::sin(a) * std::sin(b), l3 = std::cos(a);
    const double x = l1 * l1, y = l2 * l2, z = l3 * l3;
    return K1 * (x * y + y * z + z * x) + K2 * x * y * z;
}

struct Maps {
    explicit Maps(const HODF& e)
        : energy(Extent2{.alpha = e.nAlpha, .beta = e.nBeta}), torque(energy.extent()) {}
    Grid2<double> energy, torque;
};

} // namespace

TEST(MagneticEnergy, ZeroConstantsGiveZero) {
    HODF e;
    ASSERT_EQ(e.IniMeganitic(0, kCubicLattice, 10.0, 0), 1);
    Grid3<double> odf(Extent3{.phi1 = e.nPhi1, .Phi = e.nPhi, .phi2 = e.nPhi2});
    odf.Fill(1.0);
    Maps m(e);
    const double K[2] = {0, 0};
    ASSERT_EQ(e.GetMagneticEnergy(m.energy.Tree(), odf.Tree(), m.torque.Tree(), K), 1);
    for (int a = 0; a < e.nAlpha; ++a)
        for (int b = 0; b < e.nBeta; ++b) {
            EXPECT_EQ(m.energy[a][b], 0.0);
            EXPECT_EQ(m.torque[a][b], 0.0);
        }
}

// A random texture has the orientation average of the anisotropy energy in
// every field direction, K1/5 + K2/105, and no torque.
TEST(MagneticEnergy, UniformOdfGivesTheOrientationAverage) {
    HODF e;
    ASSERT_EQ(e.IniMeganitic(0, kCubicLattice, 10.0, 0), 1);
    Grid3<double> odf(Extent3{.phi1 = e.nPhi1, .Phi = e.nPhi, .phi2 = e.nPhi2});
    odf.Fill(1.0);
    Maps m(e);
    const double K[2] = {4.0, 21.0};
    ASSERT_EQ(e.GetMagneticEnergy(m.energy.Tree(), odf.Tree(), m.torque.Tree(), K), 1);
    const double mean = K[0] / 5 + K[1] / 105;
    for (int a = 0; a < e.nAlpha; ++a)
        for (int b = 0; b < e.nBeta; ++b) {
            EXPECT_NEAR(m.energy[a][b], mean, 0.03 * mean);
            EXPECT_NEAR(m.torque[a][b], 0.0, 0.03 * mean);
        }
}

// A single crystal at (0, 0, 0): the map is the anisotropy energy of the
// field direction itself (0 along ND, the <111> value at 54.7/45), times the
// weight of the one ODF cell; the torque is minus its azimuth derivative.
TEST(MagneticEnergy, SingleCrystalMapAndTorque) {
    HODF e;
    ASSERT_EQ(e.IniMeganitic(0, kCubicLattice, 5.0, 0), 1);
    Grid3<double> odf(Extent3{.phi1 = e.nPhi1, .Phi = e.nPhi, .phi2 = e.nPhi2});
    odf[0][0][0] = 1000.0;
    Maps m(e);
    const double K[2] = {3.0, -2.0};
    ASSERT_EQ(e.GetMagneticEnergy(m.energy.Tree(), odf.Tree(), m.torque.Tree(), K), 1);
    const double scale = m.energy[18][9] / Anisotropy(90, 45, K[0], K[1]);
    EXPECT_NEAR(m.energy[0][0], 0.0, 1e-12);
    for (int a = 0; a < e.nAlpha; ++a)
        for (int b = 0; b < e.nBeta; b += 7) {
            EXPECT_NEAR(m.energy[a][b], scale * Anisotropy(a * 5.0, b * 5.0, K[0], K[1]),
                        1e-9 * std::fabs(scale));
            const double h = 1e-4;
            const double dE = (Anisotropy(a * 5.0, b * 5.0 + h, K[0], K[1]) -
                               Anisotropy(a * 5.0, b * 5.0 - h, K[0], K[1])) /
                              (2 * h * std::numbers::pi / 180);
            EXPECT_NEAR(m.torque[a][b], -scale * dE,
                        1e-5 * std::fabs(scale) * (std::fabs(K[0]) + std::fabs(K[1])));
        }
    EXPECT_NEAR(m.energy[11][9] / scale, Anisotropy(55, 45, K[0], K[1]), 1e-9);
}

// With sample symmetry only a quarter of the azimuths is computed and the
// rest mirrored; for a texture with that symmetry the map equals the full
// computation, and the object's counts are unchanged afterwards.
TEST(MagneticEnergy, SampleSymmetryQuarterMatchesFullMap) {
    HODF full, quarter;
    ASSERT_EQ(full.IniMeganitic(0, kCubicLattice, 10.0, 0), 1);
    ASSERT_EQ(quarter.IniMeganitic(0, kCubicLattice, 10.0, 1), 1);
    Grid3<double> odf(Extent3{.phi1 = full.nPhi1, .Phi = full.nPhi, .phi2 = full.nPhi2});
    ASSERT_EQ(odfengine::MakeModelODF(odf.Tree(), 0, kCubicLattice, 10.0, 0,
                                      odfengine::DefaultRollingTexture(), 0.3),
              1);
    Maps a(full), b(quarter);
    const double K[2] = {4.2, 1.5};
    const int nBeta = quarter.nBeta;
    ASSERT_EQ(full.GetMagneticEnergy(a.energy.Tree(), odf.Tree(), a.torque.Tree(), K), 1);
    ASSERT_EQ(quarter.GetMagneticEnergy(b.energy.Tree(), odf.Tree(), b.torque.Tree(), K), 1);
    EXPECT_EQ(quarter.nBeta, nBeta);
    for (int i = 0; i < full.nAlpha; ++i)
        for (int j = 0; j < full.nBeta; ++j) {
            EXPECT_NEAR(b.energy[i][j], a.energy[i][j], 2e-3) << i << " " << j;
            EXPECT_NEAR(b.torque[i][j], a.torque[i][j], 2e-3) << i << " " << j;
        }
}
