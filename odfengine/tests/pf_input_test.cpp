// Preparation of the input pole figures: normalisation, sample
// symmetrisation, fibre forcing, and the file errors.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "engine_common.h"
#include "test_support.h"

using namespace enginetest;
using odfengine::NormalizePoleFigure;
using odfengine::SymmetrizePoleFigure;

namespace {

// Mean over rows [r0, r1) with the ring weights of the normalisation.
double BandMean(const std::vector<double>& pf, int nBeta, double res, int r0, int r1) {
    double s = 0, w = 0;
    for (int r = r0; r < r1; ++r) {
        const double lo = std::max(0.0, r * res - res / 2), hi = std::min(90.0, (r + 0.5) * res);
        const double ring =
            std::cos(lo * std::numbers::pi / 180) - std::cos(hi * std::numbers::pi / 180);
        for (int b = 0; b < nBeta - 1; ++b) {
            s += ring * pf[(size_t)r * nBeta + b];
            w += ring;
        }
    }
    return s / w;
}

} // namespace

TEST(PoleFigureInput, NormalisationAveragesOneOverTheMeasuredBand) {
    const int nA = 19, nB = 73;
    std::vector<double> pf(nA * nB, 0.0);
    for (int r = 0; r <= 15; ++r) // measured to alpha 75
        for (int b = 0; b < nB; ++b)
            pf[r * nB + b] = 3.0 + std::sin(b * 0.3) + 0.1 * r;
    pf[5 * nB + 7] = -4.0; // negative counts become 0
    NormalizePoleFigure(pf.data(), nA, nB, 5.0);
    EXPECT_EQ(pf[5 * nB + 7], 0.0);
    EXPECT_NEAR(BandMean(pf, nB, 5.0, 0, 16), 1.0, 1e-9);
    for (int r = 16; r < nA; ++r)
        EXPECT_EQ(pf[r * nB], 0.0);
}

// Nothing to normalise: all zero, or data only in the first two rows (the
// band search ends before it starts). The grid stays as it is, no NaN.
TEST(PoleFigureInput, NormalisationWithoutBandLeavesTheGrid) {
    const int nA = 19, nB = 73;
    for (int rows : {0, 1, 2}) {
        std::vector<double> pf(nA * nB, 0.0);
        for (int r = 0; r < rows; ++r)
            for (int b = 0; b < nB; ++b)
                pf[r * nB + b] = 2.0;
        const std::vector<double> before = pf;
        NormalizePoleFigure(pf.data(), nA, nB, 5.0);
        EXPECT_EQ(pf, before) << rows;
    }
}

TEST(PoleFigureInput, SymmetrisationMakesMirrorAzimuthsEqual) {
    const int nA = 19, nB = 73;
    std::vector<double> pf(nA * nB);
    for (int i = 0; i < nA * nB; ++i)
        pf[i] = 1.0 + (i * 7919 % 101) / 100.0;
    for (int r = 0; r < nA; ++r)
        pf[r * nB + 72] = pf[r * nB];
    SymmetrizePoleFigure(pf.data(), nA, nB, 5.0);
    for (int r = 0; r < nA; ++r) {
        const double* row = &pf[r * nB];
        // beta 30, 150, 210 and 330 degrees
        EXPECT_DOUBLE_EQ(row[6], row[30]);
        EXPECT_DOUBLE_EQ(row[6], row[42]);
        EXPECT_DOUBLE_EQ(row[6], row[66]);
        EXPECT_DOUBLE_EQ(row[0], row[72]);
    }
}

// Grids where twice the 180 degree index exceeds the 360 degree index (7 and
// 3.3 degrees) used to be written one column past the row. The test runs
// under the address sanitizer in CI; here it checks the rows stay sane.
TEST(PoleFigureInput, SymmetrisationOnOddGridsStaysInside) {
    for (double res : {7.0, 3.3}) {
        int nA, nB;
        Get_AB_Range_In_Full_PF_Space(&nA, &nB, res);
        ASSERT_GT(2 * (int)(180 / res + 0.5), nB - 1);
        std::vector<double> pf((size_t)nA * nB + 1, 2.0);
        pf.back() = -123.0; // guard cell right after the grid
        SymmetrizePoleFigure(pf.data(), nA, nB, res);
        EXPECT_EQ(pf.back(), -123.0);
        for (int i = 0; i < nA * nB; ++i)
            EXPECT_DOUBLE_EQ(pf[i], 2.0);
    }
}

TEST(PoleFigureInput, FileErrorsStopTheCalculation) {
    TempDir dir("pf_errors");
    const std::string coarse = dir.File("grid5.HPF");
    ASSERT_TRUE(WritePoleFigure(coarse, 5.0, [](int, int) { return 1.0; }));
    struct Case {
        std::string file;
        double res;
        const char* message;
    } cases[] = {{coarse, 2.5, "File resolution incorrect"},
                 {dir.File("missing.HPF"), 5.0, "Can not read pole figure file"}};
    for (const Case& c : cases) {
        HODF e;
        Transcript tr;
        e.SetCallBack(tr.Callback());
        std::string files[1] = {c.file};
        const double hkl[1][3] = {{1, 1, 1}};
        ASSERT_EQ(e.IniODFCal(files, 0, 3, 0.0, 0, kCubicLattice, hkl, 1, 1, 0, 0, c.res), 1);
        Grid3<double> odf(Extent3{.phi1 = e.nPhi1, .Phi = e.nPhi, .phi2 = e.nPhi2});
        double dev;
        int loops;
        EXPECT_EQ(e.GetODF(odf.Tree(), &dev, &loops), 0);
        const auto m = tr.Messages();
        ASSERT_FALSE(m.empty());
        EXPECT_EQ(m.back(), std::make_pair(int(kProgressStatus), std::string(c.message)));
        EXPECT_TRUE(tr.Has("File:" + c.file));
    }
}
