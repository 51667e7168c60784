#pragma once
// Inverse pole figure accumulation shared by both engines: the sample
// direction y is turned into the crystal frame for every grid orientation of
// the whole Euler space (phi1, phi2 0..360, Phi 0..180 in steps of res), and
// the ODF values are binned by the direction's position on the upper
// hemisphere, with trapezoid half weights at the ends of phi1 and phi2 and
// the cos-weighted Phi volumes.
#include <cmath>
#include <numbers>
#include <vector>

#include "engine_common.h"
#include "parallel.h"

namespace odfengine {

// value(k, h, l) returns the ODF value of grid orientation (k, h, l) (phi1,
// Phi, phi2 indices) and false when the orientation has no value. y must be
// non-zero. Writes ipf[nAlpha][nBeta]; progress per phi1 step through cb.
template <class Value>
void InversePoleFigure(const double y[3], double res, int nAlpha, int nBeta, Value&& value,
                       const ProgressCallback& cb, double** ipf) {
    using std::numbers::pi;
    const int b360 = (int)(360.0 / res + 0.5);
    const int b180 = (int)(180.0 / res + 0.5);
    const int phiCount = b180 + 1;
    const std::vector<double> vol = PhiVolumes(phiCount, res, kDegToRad);
    const int period = nBeta - 1;
    const size_t cells = (size_t)nAlpha * nBeta;

    std::vector<double> sn(b360 + 1), cs(b360 + 1);
    for (int k = 0; k <= b360; ++k) {
        sn[k] = std::sin(k * res * pi / 180.0);
        cs[k] = std::cos(k * res * pi / 180.0);
    }
    // One accumulator per block of phi1 indices: a block always sums the
    // same indices in increasing order, whatever the thread count.
    std::vector<double> accV((size_t)kBlocks * cells, 0.0);
    std::vector<double> accW((size_t)kBlocks * cells, 0.0);

    auto phi1Slice = [&](int block, int k) {
        double* V = &accV[(size_t)block * cells];
        double* W = &accW[(size_t)block * cells];
        const double s1 = sn[k], c1 = cs[k];
        const double wk = (k == 0 || k == b360) ? 0.5 : 1.0;
        for (int h = 0; h < phiCount; ++h) {
            const double s = sn[h], c = cs[h];
            const double wh = wk * vol[h];
            for (int l = 0; l <= b360; ++l) {
                double f;
                if (!value(k, h, l, &f))
                    continue;
                const double s2 = sn[l], c2 = cs[l];
                const double g[3][3] = {{c1 * c2 - s1 * s2 * c, s1 * c2 + c1 * s2 * c, s2 * s},
                                        {-c1 * s2 - s1 * c2 * c, -s1 * s2 + c1 * c2 * c, c2 * s},
                                        {s1 * s, -c1 * s, c}};
                double v[3];
                for (int r = 0; r < 3; ++r)
                    v[r] = g[r][0] * y[0] + g[r][1] * y[1] + g[r][2] * y[2];
                const double n = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
                for (double& x : v)
                    x /= n;
                if (v[2] < 0.0)
                    for (double& x : v)
                        x = -x;
                const double alpha = std::acos(std::clamp(v[2], -1.0, 1.0)) * 180.0 / pi;
                double beta = v[0] == 0.0 ? std::atan(v[1] * 1e8) : std::atan(v[1] / v[0]);
                if (v[0] < 0.0)
                    beta += pi;
                beta *= 180.0 / pi;
                const int a = std::min((int)(alpha / res + 0.5), nAlpha - 1);
                int b = 0;
                if (a != 0) {
                    b = (int)std::lround(beta / res) + period;
                    b = ((b % period) + period) % period;
                }
                const double w = wh * ((l == 0 || l == b360) ? 0.5 : 1.0);
                const double fv = f * w;
                const size_t at = (size_t)a * nBeta + b;
                V[at] += fv;
                W[at] += w;
                if (a == nAlpha - 1) {
                    const size_t opp = (size_t)a * nBeta + (b + period / 2) % period;
                    V[opp] += fv;
                    W[opp] += w;
                }
            }
        }
    };
    RunBlocks(b360 + 1, kBlocks, 30LL * (b360 + 1) * (b360 + 1) * phiCount, phi1Slice,
              [&](int k) { Send(cb, "", Percent(k + 1, b360)); });

    std::vector<double> sumV(cells, 0.0), sumW(cells, 0.0);
    for (int p = 0; p < kBlocks; ++p)
        for (size_t c = 0; c < cells; ++c) {
            sumV[c] += accV[(size_t)p * cells + c];
            sumW[c] += accW[(size_t)p * cells + c];
        }
    for (int a = 0; a < nAlpha; ++a) {
        for (int b = 0; b < nBeta; ++b) {
            const size_t c = (size_t)a * nBeta + b;
            const double v = sumW[c] > 0.0 ? sumV[c] / sumW[c] : 0.0;
            ipf[a][b] = std::isfinite(v) ? v : 0.0;
        }
        if (a == 0)
            for (int b = 1; b <= nBeta - 2; ++b)
                ipf[0][b] = ipf[0][0];
        ipf[a][nBeta - 1] = ipf[a][0];
    }
}

} // namespace odfengine
