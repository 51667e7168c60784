// Texture-averaged magnetocrystalline anisotropy energy and torque maps.
#include <cmath>
#include <numbers>

#include "engine_common.h"
#include "odfengine/hodf.h"
#include "orimath/ranges.h"
#include "parallel.h"

using namespace odfengine;

double HODF::pMeganetic(double l1, double l2, double l3, double K1, double K2) {
    const double a = l1 * l1, b = l2 * l2, c = l3 * l3;
    return K1 * (a * b + b * c + c * a) + K2 * a * b * c;
}

int HODF::GetMagneticEnergy(double** energy, double*** odf, const double K[2]) {
    return pMeganeticMap(energy, nullptr, odf, K);
}

int HODF::GetMagneticEnergy(double** energy, double*** odf, double** torque, const double K[2]) {
    return pMeganeticMap(energy, torque, odf, K);
}

int HODF::pMeganeticMap(double** energy, double** torque, double*** odf, const double K[2]) {
    if (!ValidSetup())
        return 0;
    if (!energy || !odf || !K)
        return Fail("Invalid data");
    RunScope run(options);
    try {
        using std::numbers::pi;
        const double K1 = K[0], K2 = K[1];
        // With sample symmetry only beta 0..90 is computed; the object's
        // nBeta is not touched.
        const int betaCount = sampleSym ? (nBeta - 1) / 4 + 1 : nBeta;
        const std::vector<double> vol = PVolume(nPhi);

        // Per ODF cell its weight f vol w1 w2 and its orientation matrix;
        // cells of weight 0 add nothing and are left out.
        std::vector<double> cellW;
        std::vector<double> cellG;
        for (int i2 = 0; i2 < nPhi2; ++i2)
            for (int iPhi = 0; iPhi < nPhi; ++iPhi)
                for (int i1 = 0; i1 < nPhi1; ++i1) {
                    int a1 = i1, aP = iPhi, a2 = i2;
                    if (sampleSym)
                        ReduceODFSpace(&a1, &aP, &a2, crystalType, res, sampleSym);
                    if (a1 < 0 || a1 >= nPhi1 || aP < 0 || aP >= nPhi || a2 < 0 || a2 >= nPhi2)
                        continue;
                    const double w1 = (i1 == 0 || i1 == nPhi1 - 1) ? 0.5 : 1.0;
                    const double w2 = (i2 == 0 || i2 == nPhi2 - 1) ? 0.5 : 1.0;
                    const double w = odf[a2][aP][a1] * vol[iPhi] * w1 * w2;
                    if (w == 0.0 || !std::isfinite(w))
                        continue;
                    const double p1 = i1 * res * pi / 180.0, P = iPhi * res * pi / 180.0,
                                 p2 = i2 * res * pi / 180.0;
                    const double s1 = std::sin(p1), c1 = std::cos(p1), s = std::sin(P),
                                 c = std::cos(P), s2 = std::sin(p2), c2 = std::cos(p2);
                    const double g[9] = {c1 * c2 - s1 * s2 * c,
                                         s1 * c2 + c1 * s2 * c,
                                         s2 * s,
                                         -c1 * s2 - s1 * c2 * c,
                                         -s1 * s2 + c1 * c2 * c,
                                         c2 * s,
                                         s1 * s,
                                         -c1 * s,
                                         c};
                    cellW.push_back(w);
                    cellG.insert(cellG.end(), g, g + 9);
                }
        const size_t nCells = cellW.size();
        const double scale = (360.0 / ((nPhi1 - 1) * res)) * (180.0 / ((nPhi - 1) * res)) *
                             (360.0 / ((nPhi2 - 1) * res)) * res * res * 3.858024691358025e-6;

        auto alphaRow = [&](int i) {
            const double alpha = i * res * pi / 180.0;
            for (int j = 0; j < betaCount; ++j) {
                const double beta = j * res * pi / 180.0;
                const double h[3] = {std::sin(alpha) * std::cos(beta),
                                     std::sin(alpha) * std::sin(beta), std::cos(alpha)};
                const double dh[3] = {-std::sin(alpha) * std::sin(beta),
                                      std::sin(alpha) * std::cos(beta), 0.0};
                double e = 0.0, d = 0.0;
                for (size_t q = 0; q < nCells; ++q) {
                    const double* g = &cellG[q * 9];
                    double l1 = g[0] * h[0] + g[1] * h[1] + g[2] * h[2];
                    double l2 = g[3] * h[0] + g[4] * h[1] + g[5] * h[2];
                    double l3 = g[6] * h[0] + g[7] * h[1] + g[8] * h[2];
                    const double n = std::sqrt(l1 * l1 + l2 * l2 + l3 * l3);
                    l1 /= n;
                    l2 /= n;
                    l3 /= n;
                    e += cellW[q] * pMeganetic(l1, l2, l3, K1, K2);
                    if (torque) {
                        // dE/dbeta = grad E(l) . (g dh/dbeta); |l| stays 1.
                        const double m1 = g[0] * dh[0] + g[1] * dh[1];
                        const double m2 = g[3] * dh[0] + g[4] * dh[1];
                        const double m3 = g[6] * dh[0] + g[7] * dh[1];
                        const double a = l1 * l1, b = l2 * l2, cc = l3 * l3;
                        const double d1 = 2 * l1 * (K1 * (b + cc) + K2 * b * cc);
                        const double d2 = 2 * l2 * (K1 * (a + cc) + K2 * a * cc);
                        const double d3 = 2 * l3 * (K1 * (a + b) + K2 * a * b);
                        d += cellW[q] * (d1 * m1 + d2 * m2 + d3 * m3);
                    }
                }
                const double ev = e * scale, tv = -d * scale;
                energy[i][j] = std::isfinite(ev) ? ev : 0.0;
                if (torque)
                    torque[i][j] = std::isfinite(tv) ? tv : 0.0;
            }
        };
        RunSlices(nAlpha, (long long)nAlpha * betaCount * (long long)nCells, alphaRow,
                  [&](int i) { Report("", Percent(i + 1, nAlpha)); });
        if (CancelSeen())
            return Cancelled();

        if (sampleSym) {
            // E(beta) = E(180 - beta) = E(180 + beta) = E(360 - beta); the
            // torque changes sign under the mirrors.
            const int period = nBeta - 1;
            const int b180 = period / 2;
            for (int i = 0; i < nAlpha; ++i)
                for (int j = betaCount; j < nBeta; ++j) {
                    const int m = j % period;
                    const int cand[4] = {m, b180 - m, m - b180, period - m};
                    const double sign[4] = {1, -1, 1, -1};
                    energy[i][j] = 0.0;
                    if (torque)
                        torque[i][j] = 0.0;
                    for (int q = 0; q < 4; ++q)
                        if (cand[q] >= 0 && cand[q] < betaCount) {
                            energy[i][j] = energy[i][cand[q]];
                            if (torque)
                                torque[i][j] = sign[q] * torque[i][cand[q]];
                            break;
                        }
                }
        }
        Report("Calculation finished", kProgressStatus);
        return 1;
    } catch (const std::exception&) {
        return Fail(kNoMemoryText);
    }
}
