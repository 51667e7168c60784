#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "orimath/grid.h"
#include "orimath/orimath.h"
#include "platform/msvc_rand.h"

using orimath::Extent2;
using orimath::Extent3;
using orimath::Grid2;
using orimath::Grid3;

TEST(GrainMap, VoronoiCellsTakeTheNearestSeed) {
    const int W = 120, H = 80, n = 40;
    Grid2<int16_t> grid(Extent2{.alpha = W, .beta = H}); // W runs of H values
    int16_t** map = grid.Tree();
    double seeds[n][2];
    platform::MsvcSrand(8);
    ASSERT_EQ(GetVoronoiGrainMap(map, W, H, n, seeds), 1);
    std::set<int> seen;
    for (int x = 0; x < W; x += 3)
        for (int y = 0; y < H; y += 3) {
            int best = 0;
            double bd = 1e300;
            for (int g = 0; g < n; ++g) {
                const double d =
                    std::pow(seeds[g][0] - x - 0.5, 2) + std::pow(seeds[g][1] - y - 0.5, 2);
                if (d < bd)
                    bd = d, best = g;
            }
            EXPECT_EQ(map[x][y], best) << x << "," << y;
            seen.insert(map[x][y]);
        }
    EXPECT_GT(seen.size(), 30u);
    // The same seed gives the same map.
    Grid2<int16_t> again(grid.extent());
    platform::MsvcSrand(8);
    ASSERT_EQ(GetVoronoiGrainMap(again.Tree(), W, H, n, nullptr), 1);
    EXPECT_EQ(again.values(), grid.values());

    EXPECT_EQ(GetVoronoiGrainMap(map, 0, H, n, nullptr), 0);
    EXPECT_EQ(GetVoronoiGrainMap(map, W, H, 0, nullptr), 0);
    EXPECT_EQ(GetVoronoiGrainMap(nullptr, W, H, n, nullptr), 0);
}

TEST(GrainMap, MicrostructureMapOfAtMost180Grains) {
    const int W = 64, H = 64;
    Grid2<int16_t> grid(Extent2{.alpha = W, .beta = H});
    int16_t** map = grid.Tree();
    int16_t grains[181][3];
    platform::MsvcSrand(2);
    ASSERT_EQ(GetMSMap(map, W, H, 180, grains, nullptr, 0, 0, 0, 5), 1);
    for (int g = 0; g < 180; ++g) {
        EXPECT_TRUE(grains[g][0] >= 0 && grains[g][0] < 360);
        EXPECT_TRUE(grains[g][1] >= 0 && grains[g][1] <= 180);
        EXPECT_TRUE(grains[g][2] >= 0 && grains[g][2] < 360);
    }
    for (int x = 0; x < W; ++x)
        for (int y = 0; y < H; ++y)
            ASSERT_TRUE(map[x][y] >= 0 && map[x][y] < 180);
    grains[0][0] = 999;
    EXPECT_EQ(GetMSMap(map, W, H, 181, grains, nullptr, 0, 0, 0, 5), 0);
    EXPECT_EQ(grains[0][0], 999);

    // Orientations from an ODF with weight in a single cell.
    Grid3<double> grid3(Extent3{.phi1 = 19, .Phi = 19, .phi2 = 19});
    double*** odf = grid3.Tree();
    odf[4][6][2] = 1; // phi1 10, Phi 30, phi2 20
    ASSERT_EQ(GetMSMap(map, W, H, 5, grains, odf, 19, 19, 19, 5), 1);
    for (int g = 0; g < 5; ++g) {
        EXPECT_NEAR(grains[g][0], 10, 3);
        EXPECT_NEAR(grains[g][1], 30, 3);
        EXPECT_NEAR(grains[g][2], 20, 3);
    }
    odf[4][6][2] = 0;
    EXPECT_EQ(GetMSMap(map, W, H, 5, grains, odf, 19, 19, 19, 5), 0);
}
