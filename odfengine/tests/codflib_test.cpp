// The classic 5 degree engine.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "test_support.h"
#include "validation.h"

using namespace enginetest;

namespace {

// A full 73 x 37 x 73 grid on the heap, filled with value.
struct FullOdf {
    explicit FullOdf(double value) : data(73 * 37 * 73, value) {}
    double (*operator*())[37][73] { return reinterpret_cast<double(*)[37][73]>(data.data()); }
    double (*operator->())[37][73] { return **this; }
    std::vector<double> data;
};

std::unique_ptr<FullOdf> NewFull(double value) {
    return std::make_unique<FullOdf>(value);
}

} // namespace

// A uniform ODF gives 1 in every cell, including the centre row and the
// closing column that no orientation reaches directly (once 0/0).
TEST(CODFlib, UniformOdfGivesUniformPoleFigureAndInversePoleFigure) {
    auto odf = NewFull(1.0);
    auto engine = std::make_unique<CODFlib>();
    const double h[3] = {1, 1, 0};
    engine->IniPolFigCal(0, kCubicLattice, h);
    double pf[19][73];
    ASSERT_EQ(engine->GetPolFig(pf, **odf), 1);
    for (int a = 0; a < 19; ++a)
        for (int b = 0; b < 73; ++b)
            ASSERT_NEAR(pf[a][b], 1.0, 1e-9) << a << " " << b;
    const double nd[3] = {0, 0, 1};
    engine->IniInvPolFigCal(0, kCubicLattice, nd);
    double ipf[19][73], axes[3][3];
    ASSERT_EQ(engine->GetInvPolFig(ipf, axes, **odf), 1);
    for (int a = 0; a < 19; ++a)
        for (int b = 0; b < 73; ++b)
            ASSERT_NEAR(ipf[a][b], 1.0, 1e-9);
}

TEST(CODFlib, CubicJobFillsTheWholeSpaceAndMatchesTheModel) {
    TempDir dir("codflib_model");
    int n1, n, n2;
    GetEulerRangeInODFSpace(&n1, &n, &n2, 0, 5.0, 0);
    Grid3<double> model(Extent3{.phi1 = n1, .Phi = n, .phi2 = n2});
    ASSERT_EQ(odfengine::MakeModelODF(model.Tree(), 0, kCubicLattice, 5.0, 0,
                                      odfengine::DefaultRollingTexture(), 0.3),
              1);
    std::string paths[3];
    for (int j = 0; j < 3; ++j)
        paths[j] = dir.Numbered("c", j);
    ASSERT_EQ(odfengine::WriteModelPoleFigures(model.Tree(), 0, kCubicLattice, 5.0, 0, kCubicHkl, 3,
                                               paths, 90.0),
              1);

    auto engine = std::make_unique<CODFlib>();
    Transcript tr;
    engine->SetCallBack(tr.Callback());
    ASSERT_EQ(engine->IniODFCal(paths, 0, 15, 0.0, 0, kCubicLattice, kCubicHkl, 3, 1, 0, 0), 1);
    auto odf = NewFull(-7.0);
    double dev = 0;
    int loops = 0;
    ASSERT_EQ(engine->GetODF(**odf, &dev, &loops), 1);
    EXPECT_TRUE(tr.Has("Calculation finished"));
    EXPECT_GT(loops, 3);
    EXPECT_LT(dev, 0.08); // measured 0.054 after 15 loops
    // Whole space computed, closing indices repeat 0, values finite.
    for (int k = 0; k < 73; ++k)
        for (int o = 0; o < 37; ++o)
            for (int t = 0; t < 73; ++t) {
                ASSERT_TRUE(std::isfinite((**odf)[k][o][t]));
                ASSERT_GE((**odf)[k][o][t], 0.0);
            }
    for (int o = 0; o < 37; ++o)
        EXPECT_EQ((**odf)[72][o][72], (**odf)[0][o][0]);
    // The whole space carries the crystal symmetry: a four-fold turn about
    // the crystal c axis (phi2 + 90) gives the same values.
    for (int k = 0; k < 54; ++k)
        for (int o = 0; o < 37; ++o)
            for (int t = 0; t < 72; ++t)
                ASSERT_NEAR((**odf)[k + 18][o][t], (**odf)[k][o][t], 1e-6 * (1 + (**odf)[k][o][t]))
                    << k << " " << o << " " << t;
    double rp[3];
    for (int j = 0; j < 3; ++j) {
        engine->IniPolFigCal(0, kCubicLattice, kCubicHkl[j]);
        double q[19][73];
        ASSERT_EQ(engine->GetPolFig(q, **odf), 1);
        PFFileInfo info;
        int nA, nB;
        double** tree = Open_PF_File(paths[j].c_str(), &info, 1, &nA, &nB);
        ASSERT_NE(tree, nullptr);
        Grid2<double> p = orimath::AdoptTree(tree, Extent2{.alpha = nA, .beta = nB});
        double* rows[19];
        for (int a = 0; a < 19; ++a)
            rows[a] = q[a];
        rp[j] = odfengine::PoleFigureRpError(p.Tree(), rows, nA, nB);
        EXPECT_LT(rp[j], 8.0); // measured 2.7, 3.5, 4.7
    }
}

// A copy is independent of its source (every array is held by value).
TEST(CODFlib, CopiesAreDeep) {
    auto a = std::make_unique<CODFlib>();
    const double h[3] = {1, 0, 0};
    a->IniPolFigCal(0, kCubicLattice, h);
    auto b = std::make_unique<CODFlib>(*a);
    a.reset();
    auto odf = NewFull(1.0);
    double pf[19][73];
    EXPECT_EQ(b->GetPolFig(pf, **odf), 1);
}
