// Synthetic grain maps: Voronoi cells of random seed points.
#include "orimath/grainmap.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "orimath/constants.h"
#include "orimath/random_orientation.h"
#include "platform/msvc_rand.h"

namespace {

// A uniform value in [0, 1) with 30 bits, from two 15-bit draws.
double Uniform30() {
    const int hi = platform::MsvcRand(), lo = platform::MsvcRand();
    return (hi * 32768.0 + lo) / 1073741824.0;
}

} // namespace

int GetVoronoiGrainMap(int16_t** map, int W, int H, int nGrains, double seeds[][2]) {
    if (!map || W < 1 || H < 1 || nGrains < 1 || nGrains > 32767)
        return 0;
    std::vector<double> sx(nGrains), sy(nGrains);
    for (int g = 0; g < nGrains; ++g) {
        sx[g] = Uniform30() * W;
        sy[g] = Uniform30() * H;
        if (seeds) {
            seeds[g][0] = sx[g];
            seeds[g][1] = sy[g];
        }
    }
    // Buckets of about two seeds each; each cell searches rings of buckets
    // outwards until no closer seed can remain.
    const double widthOverHeight = double(W) / H;
    const int bx =
        std::max(1, std::min(W, static_cast<int>(std::sqrt(nGrains / 2.0 * widthOverHeight))));
    const int by =
        std::max(1, std::min(H, static_cast<int>(std::sqrt(nGrains / 2.0 / widthOverHeight))));
    const double bw = double(W) / bx, bh = double(H) / by;
    std::vector<std::vector<int>> bucket(static_cast<size_t>(bx) * by);
    for (int g = 0; g < nGrains; ++g) {
        const int ix = std::min(bx - 1, static_cast<int>(sx[g] / bw));
        const int iy = std::min(by - 1, static_cast<int>(sy[g] / bh));
        bucket[static_cast<size_t>(iy) * bx + ix].push_back(g);
    }
    const double step = std::min(bw, bh);
    for (int x = 0; x < W; ++x) {
        for (int y = 0; y < H; ++y) {
            const double px = x + 0.5, py = y + 0.5;
            const int cx = std::min(bx - 1, static_cast<int>(px / bw));
            const int cy = std::min(by - 1, static_cast<int>(py / bh));
            double best = INFINITY;
            int bestG = 0;
            for (int r = 0;; ++r) {
                // A seed in ring r lies at least r - 1 bucket steps away.
                if (r > 0 && best < ((r - 1) * step) * ((r - 1) * step))
                    break;
                if (r > bx && r > by)
                    break;
                for (int iy = cy - r; iy <= cy + r; ++iy) {
                    if (iy < 0 || iy >= by)
                        continue;
                    for (int ix = cx - r; ix <= cx + r; ++ix) {
                        if (ix < 0 || ix >= bx)
                            continue;
                        if (std::max(std::abs(ix - cx), std::abs(iy - cy)) != r)
                            continue;
                        for (int g : bucket[static_cast<size_t>(iy) * bx + ix]) {
                            const double d =
                                (sx[g] - px) * (sx[g] - px) + (sy[g] - py) * (sy[g] - py);
                            if (d < best || (d == best && g < bestG)) {
                                best = d;
                                bestG = g;
                            }
                        }
                    }
                }
            }
            map[x][y] = static_cast<int16_t>(bestG);
        }
    }
    return 1;
}

int GetMSMap(int16_t** map, int W, int H, int nGrains, int16_t grains[][3], double*** odf,
             int nPhi1, int nPhi, int nPhi2, double res) {
    if (!grains || nGrains < 1 || nGrains > kMaxMSGrains)
        return 0;
    double fmax = 0;
    if (odf) {
        if (nPhi1 < 1 || nPhi < 1 || nPhi2 < 1)
            return 0;
        for (int i2 = 0; i2 < nPhi2; ++i2)
            for (int i = 0; i < nPhi; ++i)
                for (int i1 = 0; i1 < nPhi1; ++i1)
                    if (odf[i2][i][i1] > fmax)
                        fmax = odf[i2][i][i1];
        if (!(fmax > 0) || !std::isfinite(fmax))
            return 0;
    }
    // Orientations first into a buffer, so a failure writes nothing.
    std::vector<int16_t> ori(3 * static_cast<size_t>(nGrains));
    for (int g = 0; g < nGrains; ++g) {
        double e[3];
        if (odf) {
            if (!GetOneRandOri(odf, e, fmax, nPhi1, nPhi, nPhi2, res))
                return 0;
        } else {
            // Uniform over orientation space: phi1, phi2 uniform, cos Phi uniform.
            e[0] = platform::MsvcRand() / 32767.0 * 360.0;
            e[1] = std::acos(1.0 - 2.0 * platform::MsvcRand() / 32767.0) * orimath::kRadToDeg;
            e[2] = platform::MsvcRand() / 32767.0 * 360.0;
        }
        for (int j = 0; j < 3; ++j) {
            int v = static_cast<int>(e[j] + 0.5);
            if (j != 1 && v >= 360)
                v -= 360;
            ori[3 * static_cast<size_t>(g) + j] = static_cast<int16_t>(v);
        }
    }
    if (!GetVoronoiGrainMap(map, W, H, nGrains, nullptr))
        return 0;
    for (int g = 0; g < nGrains; ++g)
        for (int j = 0; j < 3; ++j)
            grains[g][j] = ori[3 * static_cast<size_t>(g) + j];
    return 1;
}
