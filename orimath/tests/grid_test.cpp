#include "orimath/grid.h"

#include <gtest/gtest.h>

#include <limits>
#include <new>
#include <utility>

using orimath::Extent2;
using orimath::Extent3;
using orimath::Grid2;
using orimath::Grid3;

namespace {

// Values that name their own cell, so a view in the wrong order shows.
Grid3<double> Numbered(Extent3 e) {
    Grid3<double> g(e);
    for (int l = 0; l < e.phi2; ++l)
        for (int i = 0; i < e.Phi; ++i)
            for (int t = 0; t < e.phi1; ++t)
                g[l][i][t] = 10000 * l + 100 * i + t;
    return g;
}

} // namespace

TEST(Grid3, NamedExtentsAndTreeViewShareOneContiguousBlock) {
    Grid3<double> g = Numbered(Extent3{.phi1 = 4, .Phi = 3, .phi2 = 2});
    EXPECT_EQ(g.phi1Count(), 4);
    EXPECT_EQ(g.PhiCount(), 3);
    EXPECT_EQ(g.phi2Count(), 2);
    ASSERT_EQ(g.size(), 24u);
    double*** tree = g.Tree();
    for (int l = 0; l < 2; ++l)
        for (int i = 0; i < 3; ++i)
            for (int t = 0; t < 4; ++t) {
                EXPECT_EQ(&tree[l][i][t], g.data() + (l * 3 + i) * 4 + t);
                EXPECT_EQ(tree[l][i][t], 10000 * l + 100 * i + t);
            }
}

TEST(Grid3, CopiesAreDeepAndMovesKeepTheViews) {
    Grid3<double> a = Numbered(Extent3{.phi1 = 3, .Phi = 2, .phi2 = 2});
    Grid3<double> b = a;
    b[1][1][2] = -1;
    EXPECT_EQ(a[1][1][2], 10102);
    EXPECT_EQ(b.Tree()[1][1][2], -1);
    EXPECT_NE(b.Tree()[0][0], a.Tree()[0][0]);

    const double* storage = a.data();
    Grid3<double> c = std::move(a);
    EXPECT_EQ(c.data(), storage);
    EXPECT_EQ(c.Tree()[1][1], storage + (1 * 2 + 1) * 3);

    Grid3<double> d;
    d = c;
    d[0][0][0] = 7;
    EXPECT_EQ(c[0][0][0], 0);
    EXPECT_EQ(d.Tree()[0][0][0], 7);
}

TEST(Grid, NonPositiveExtentsGiveAnEmptyGridWithNoView) {
    const Extent3 bad3[] = {{0, 3, 3}, {3, -1, 3}, {3, 3, 0}};
    for (Extent3 e : bad3) {
        Grid3<double> g(e);
        EXPECT_TRUE(g.empty());
        EXPECT_EQ(g.Tree(), nullptr);
        EXPECT_EQ(g.extent(), Extent3{});
    }
    Grid2<float> g2(Extent2{.alpha = 0, .beta = 5});
    EXPECT_TRUE(g2.empty());
    EXPECT_EQ(g2.Tree(), nullptr);
}

TEST(Grid, PointerTreesRoundTripThroughNewTreeAndAdoptTree) {
    const Extent3 e3{.phi1 = 5, .Phi = 4, .phi2 = 3};
    Grid3<double> g3 = Numbered(e3);
    Grid3<double> back3 = orimath::AdoptTree(orimath::NewTree(g3), e3);
    EXPECT_EQ(back3.values(), g3.values());

    Grid2<double> g2(Extent2{.alpha = 3, .beta = 7});
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 7; ++j)
            g2[i][j] = i * 7 + j;
    Grid2<double> back2 = orimath::AdoptTree(orimath::NewTree(g2), g2.extent());
    EXPECT_EQ(back2.values(), g2.values());
    EXPECT_TRUE(orimath::AdoptTree(static_cast<double**>(nullptr), g2.extent()).empty());
}

TEST(Grid, GrainMapTreesAreAdoptedAsInt16Grids) {
    const Extent2 e{.alpha = 3, .beta = 2};
    int16_t** tree = AllocMem2S(e.alpha, e.beta);
    ASSERT_NE(tree, nullptr);
    for (int i = 0; i < e.alpha; ++i)
        for (int j = 0; j < e.beta; ++j)
            tree[i][j] = static_cast<int16_t>(-100 * i + j);
    const Grid2<int16_t> map = orimath::AdoptTree(tree, e);
    ASSERT_EQ(map.extent(), e);
    EXPECT_EQ(map[2][1], -199);
    EXPECT_EQ(map[1][0], -100);
}

TEST(Grid, Int16TreesKeepTheirValuesAndTheRowsOfZeroCounts) {
    const Extent2 e{.alpha = 3, .beta = 2};
    Grid2<int16_t> map(e);
    for (int i = 0; i < e.alpha; ++i)
        for (int j = 0; j < e.beta; ++j)
            map[i][j] = static_cast<int16_t>(-100 * i + j);
    EXPECT_EQ(orimath::AdoptTree(orimath::NewTree(map, e), e).values(), map.values());
    // A map with no columns still hands over its rows, each freeable.
    const Extent2 noColumns{.alpha = 4, .beta = 0};
    int16_t** rows = orimath::NewTree(Grid2<int16_t>(), noColumns);
    ASSERT_NE(rows, nullptr);
    EXPECT_TRUE(orimath::AdoptTree(rows, noColumns).empty());
    // A grid that does not match the extent makes no tree.
    EXPECT_EQ(orimath::NewTree(map, Extent2{.alpha = 2, .beta = 2}), nullptr);
    EXPECT_EQ(orimath::NewTree(Grid2<int16_t>(), e), nullptr);
}

TEST(Grid, ExtentsBeyondMemoryFailAsBadAllocAndTryGridReportsThem) {
    constexpr int kMax = std::numeric_limits<int>::max();
    // Cell counts that wrap round (three axes) or exceed the addressable
    // block (two axes) must not give a short block.
    EXPECT_THROW(Grid3<double>(Extent3{.phi1 = kMax, .Phi = kMax, .phi2 = kMax}), std::bad_alloc);
    EXPECT_THROW(Grid2<double>(Extent2{.alpha = kMax, .beta = kMax}), std::bad_alloc);
    EXPECT_FALSE(orimath::TryGrid<double>(Extent3{.phi1 = kMax, .Phi = kMax, .phi2 = kMax}));
    EXPECT_FALSE(orimath::TryGrid<double>(Extent2{.alpha = kMax, .beta = kMax}));
    // A failed reader's null tree is adopted as nothing, whatever its counts.
    EXPECT_TRUE(orimath::AdoptTree(static_cast<double***>(nullptr),
                                   Extent3{.phi1 = kMax, .Phi = kMax, .phi2 = kMax})
                    .empty());

    const auto fits = orimath::TryGrid<double>(Extent3{.phi1 = 4, .Phi = 3, .phi2 = 2});
    ASSERT_TRUE(fits);
    EXPECT_EQ(fits->size(), 24u);
    EXPECT_EQ(fits->Tree()[1][2][3], 0.0);
    // A non-positive extent is an empty grid, not a failed allocation.
    const auto none = orimath::TryGrid<double>(Extent2{.alpha = 0, .beta = 3});
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->empty());
}
