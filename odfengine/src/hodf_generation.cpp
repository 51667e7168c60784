// Pole figure recalculation from the ODF by weighted binning (PGeneration).
//
// Every ODF cell (phi2 l, Phi i, phi1 t) adds its value times the weight
// w1(t) w2(l) vol(i) to the pole figure cell of each of its poles; the pole of
// phi1 index t lies t beta steps further round than the table entry of phi1 =
// 0. The cell sums divided by the weight sums give the pole figure.
//
// The equator and sample-symmetry copies of each contribution go to cells
// that follow from the direct cell by fixed index maps, so the direct sums
// are accumulated first and scattered through the maps afterwards: the same
// sums, four times less work in the inner loop. The weight sums do not depend
// on the ODF and are kept for the iterations of one calculation.
#include <cstring>

#include "engine_common.h"
#include "odfengine/hodf.h"
#include "parallel.h"

using namespace odfengine;

namespace {

// Adds v[t] (t = 0..n-1) to row[(b0 + t) mod period].
inline void AddWrapped(double* row, int period, int b0, const double* v, int n) {
    int t = 0;
    int idx = b0;
    while (t < n) {
        const int run = std::min(n - t, period - idx);
        double* dst = row + idx;
        const double* src = v + t;
        for (int q = 0; q < run; ++q)
            dst[q] += src[q];
        t += run;
        idx = 0;
    }
}

} // namespace

void HODF::PGeneration(const std::vector<double>& vol, int j, int poles, double* out,
                       double*** odf) {
    const int n1eff = fibre ? 1 : nPhi1;
    const int period = nBeta - 1;
    const int b360 = (int)(360.0 / res + 0.5);
    const int b180 = (int)(180.0 / res + 0.5);
    const size_t cells = (size_t)nAlpha * nBeta;
    const int stride = 2 * maxSymVectors;

    if ((int)weightCache.size() < nPF)
        weightCache.resize(nPF);
    std::vector<double>& cachedW = weightCache[j];
    const bool needWeights = cachedW.size() != cells;

    std::vector<double> partV((size_t)kPartialSums * cells, 0.0);
    std::vector<double> partW(needWeights ? (size_t)kPartialSums * cells : 0, 0.0);
    std::vector<double> w1(n1eff);
    for (int t = 0; t < n1eff; ++t)
        w1[t] = (t == 0 || t == nPhi1 - 1) ? 0.5 : 1.0;

    // Scratch rows per part, allocated here: nothing is allocated inside the
    // parallel loops.
    std::vector<double> scratch((size_t)kPartialSums * 2 * n1eff);
    // A part covers an eighth of the ODF: it looks at the cancel token per
    // phi2 row.
    const platform::CancelToken* cancel = CurrentCancel();
    // Each ODF row is read once for all poles (the ODF is the large array;
    // the pole figure rows stay in cache). The per-pole progress values are
    // sent in order once the poles are done.
    RunPartsPerItem(
        1, nPhi2, (long long)poles * n1eff * nPhi * nPhi2,
        [&](int, int p, int lb, int le) {
            double* accV = &partV[(size_t)p * cells];
            double* accW = needWeights ? &partW[(size_t)p * cells] : nullptr;
            double* val = &scratch[(size_t)p * 2 * n1eff];
            double* wt = val + n1eff;
            for (int l = lb; l < le && !CancelRequested(cancel); ++l) {
                const double w2 = (l == 0 || l == nPhi2 - 1) ? 0.5 : 1.0;
                for (int i = 0; i < nPhi; ++i) {
                    const double* f = odf[l][i];
                    const double c = w2 * vol[i];
                    const int16_t* cells0 =
                        &poleTable[(((size_t)j * nPhi + i) * nPhi2 + l) * stride];
                    double sv = 0.0, sw = 0.0; // the row's sum (centre and fibre poles)
                    bool sums = false;
                    for (int t = 0; t < n1eff; ++t) {
                        wt[t] = w1[t] * c;
                        val[t] = f[t] * wt[t];
                    }
                    for (int k = 0; k < poles; ++k) {
                        const int a = cells0[2 * k];
                        const int b0 = fibre ? 0 : cells0[2 * k + 1];
                        double* rowV = accV + (size_t)a * nBeta;
                        if (fibre || a == 0) {
                            // Every phi1 lands on the same cell.
                            if (!sums) {
                                for (int t = 0; t < n1eff; ++t) {
                                    sv += val[t];
                                    sw += wt[t];
                                }
                                sums = true;
                            }
                            rowV[0] += sv;
                            if (accW)
                                accW[(size_t)a * nBeta] += sw;
                            continue;
                        }
                        AddWrapped(rowV, period, b0, val, n1eff);
                        if (accW)
                            AddWrapped(accW + (size_t)a * nBeta, period, b0, wt, n1eff);
                    }
                }
            }
        },
        [&](int) {
            for (int k = 0; k < poles; ++k)
                Report("", Percent(k + 1, poles));
        });

    // Fixed-order reduction of the partial sums.
    std::vector<double> direct(cells, 0.0), directW(needWeights ? cells : 0, 0.0);
    for (int p = 0; p < kPartialSums; ++p) {
        const double* v = &partV[(size_t)p * cells];
        for (size_t c = 0; c < cells; ++c)
            direct[c] += v[c];
        if (needWeights) {
            const double* w = &partW[(size_t)p * cells];
            for (size_t c = 0; c < cells; ++c)
                directW[c] += w[c];
        }
    }

    // Scatter through the equator and sample-symmetry maps.
    auto scatter = [&](const std::vector<double>& src, std::vector<double>& dst) {
        dst.assign(cells, 0.0);
        for (int a = 0; a < nAlpha; ++a) {
            const double* s = &src[(size_t)a * nBeta];
            double* d = &dst[(size_t)a * nBeta];
            for (int b = 0; b < nBeta; ++b) {
                const double v = s[b];
                if (v == 0.0)
                    continue;
                d[b] += v;
                if (fibre || a == 0)
                    continue;
                if (a == nAlpha - 1) {
                    d[(b + period / 2) % period] += v;
                    if (sampleSym) {
                        d[(b180 + b360 - b) % b360] += v;
                        d[(b360 - b) % b360] += v;
                    }
                } else if (sampleSym) {
                    d[(b180 + b360 - b) % b360] += v;
                    d[(b + b180) % b360] += v;
                    d[(b360 - b) % b360] += v;
                }
            }
        }
    };
    std::vector<double> sumV;
    scatter(direct, sumV);
    if (needWeights)
        scatter(directW, cachedW);
    const std::vector<double>& sumW = cachedW;

    for (int a = 0; a < nAlpha; ++a) {
        double* row = out + (size_t)a * nBeta;
        const double* v = &sumV[(size_t)a * nBeta];
        const double* w = &sumW[(size_t)a * nBeta];
        const int cols = fibre ? 1 : nBeta;
        for (int b = 0; b < nBeta; ++b)
            row[b] = 0.0;
        for (int b = 0; b < cols; ++b)
            row[b] = w[b] > 0.0 ? v[b] / w[b] : 0.0;
        if (fibre) {
            for (int b = 1; b < nBeta; ++b)
                row[b] = row[0];
        } else {
            if (a == 0)
                for (int b = 1; b <= nBeta - 2; ++b)
                    row[b] = row[0];
            row[nBeta - 1] = row[0];
        }
        for (int b = 0; b < nBeta; ++b)
            if (!std::isfinite(row[b]))
                row[b] = 0.0;
    }
}
