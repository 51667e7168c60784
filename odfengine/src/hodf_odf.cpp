// HODF::GetODF: initial ODF, multiplicative correction, stop rule.
#include <omp.h>

#include <cstdio>
#include <cstring>

#include "engine_common.h"
#include "odfengine/hodf.h"
#include "parallel.h"

using namespace odfengine;

namespace {

// Per-thread scratch rows of length n (one set per OpenMP thread).
struct Scratch {
    explicit Scratch(int n) : width(n), data((size_t)Threads() * 4 * n) {}
    double* Row(int which) { return &data[((size_t)omp_get_thread_num() * 4 + which) * width]; }
    int width;
    std::vector<double> data;
};

} // namespace

int HODF::GetODF(double*** odf, double* deviation, int* loops) {
    if (!ValidSetup())
        return 0;
    if (!odf)
        return Fail("Invalid data");
    RunScope run(options);
    // Every phase ends with a look at the cancel token; the long loops
    // inside the phases look at it themselves.
    auto cancelled = [&] {
        pFreeMem_ODF();
        return Cancelled();
    };
    try {
        effectiveStopMode = stopMode >= 10 ? stopMode - 10 : stopMode;
        for (int l = 0; l < nPhi2; ++l)
            for (int i = 0; i < nPhi; ++i)
                std::memset(odf[l][i], 0, sizeof(double) * nPhi1);

        if (!pIniMem_ODF())
            return 0;
        if (!dataPreloaded && !POpenInputPolFig()) {
            pFreeMem_ODF();
            return 0;
        }
        if (CancelSeen())
            return cancelled();
        if (!PNormalofhkl() || !PSymVetor()) {
            pFreeMem_ODF();
            return 0;
        }
        PTranMat();
        if (CancelSeen())
            return cancelled();
        const std::vector<double> vol = PVolume(nPhi);

        const int n1eff = fibre ? 1 : nPhi1;
        const int period = nBeta - 1;
        const int stride = 2 * maxSymVectors;
        const size_t pfCells = (size_t)nAlpha * nBeta;
        Scratch scratch(n1eff);

        // Per cell of the row (phi2 l, Phi i) and every phi1 t: over the pole
        // figures, the count F and the sum S of the per-figure means T / H
        // of term(P, rowQ, index) over the poles whose measured value P is
        // above the threshold (rowQ: the row of `second` at the pole's
        // alpha, null without `second`).
        auto harmonicRow = [&](int l, int i, double threshold, const double* second, auto term,
                               double* F, double* S, double* H, double* T) {
            std::fill(F, F + n1eff, 0.0);
            std::fill(S, S + n1eff, 0.0);
            for (int j = 0; j < nPF; ++j) {
                if (poleCount[j] <= 0)
                    continue;
                std::fill(H, H + n1eff, 0.0);
                std::fill(T, T + n1eff, 0.0);
                const double* pf = &measured[(size_t)j * pfCells];
                const double* rc = second ? second + (size_t)j * pfCells : nullptr;
                const int16_t* cell = &poleTable[(((size_t)j * nPhi + i) * nPhi2 + l) * stride];
                for (int k = 0; k < poleCount[j]; ++k) {
                    const int a = cell[2 * k];
                    const double* rowP = pf + (size_t)a * nBeta;
                    const double* rowQ = rc ? rc + (size_t)a * nBeta : nullptr;
                    if (fibre || a == 0) {
                        const double P = rowP[0];
                        if (P > threshold) {
                            const double r = term(P, rowQ, 0);
                            for (int t = 0; t < n1eff; ++t) {
                                H[t] += 1.0;
                                T[t] += r;
                            }
                        }
                        continue;
                    }
                    int idx = cell[2 * k + 1];
                    for (int t = 0; t < n1eff; ++t) {
                        const double P = rowP[idx];
                        if (P > threshold) {
                            H[t] += 1.0;
                            T[t] += term(P, rowQ, idx);
                        }
                        if (++idx == period)
                            idx = 0;
                    }
                }
                for (int t = 0; t < n1eff; ++t)
                    if (H[t] > 0.0) {
                        F[t] += 1.0;
                        S[t] += T[t] / H[t];
                    }
            }
        };

        // Initial ODF: per cell the harmonic mean over the pole figures of
        // the measured intensities at its poles.
        Report("Initializing ODF", kProgressStatus);
        auto initialSlice = [&](int l) {
            double* F = scratch.Row(0);
            double* S = scratch.Row(1);
            double* H = scratch.Row(2);
            double* T = scratch.Row(3);
            for (int i = 0; i < nPhi; ++i) {
                harmonicRow(
                    l, i, 1e-5, nullptr, [](double P, const double*, int) { return 1.0 / P; }, F, S,
                    H, T);
                double* out = odf[l][i];
                for (int t = 0; t < n1eff; ++t)
                    out[t] = F[t] > 0.0 ? F[t] / S[t] : 0.0;
            }
        };
        auto sliceDone = [&](int l) { Report("", Percent(l, nPhi2 - 1)); };
        long long totalPoles = 0;
        for (int j = 0; j < nPF; ++j)
            totalPoles += poleCount[j];
        const long long stageWork = totalPoles * n1eff * nPhi * nPhi2;
        RunSlices(nPhi2, stageWork, initialSlice, sliceDone);
        if (CancelSeen())
            return cancelled();

        weightCache.clear();
        // The pole figures of the current ODF, for the next correction.
        auto recalculate = [&] {
            for (int j = 0; j < nPF; ++j)
                PGeneration(vol, j, poleCount[j], &recalculated[(size_t)j * pfCells], odf);
        };
        recalculate();
        if (CancelSeen())
            return cancelled();

        // Correction: each cell times the harmonic mean over the pole figures
        // of measured/recalculated at its poles.
        auto correctionSlice = [&](int l) {
            double* Hc = scratch.Row(0);
            double* Sg = scratch.Row(1);
            double* J = scratch.Row(2);
            double* T = scratch.Row(3);
            for (int i = 0; i < nPhi; ++i) {
                harmonicRow(
                    l, i, 1e-6, recalculated.data(),
                    [](double P, const double* rowQ, int idx) { return rowQ[idx] / P; }, Hc, Sg, J,
                    T);
                double* out = odf[l][i];
                for (int t = 0; t < n1eff; ++t) {
                    // A zero sum (every recalculated value 0) carries no
                    // information: keep the cell rather than multiply by
                    // infinity.
                    if (Hc[t] > 0.0 && Sg[t] > 0.0) {
                        const double v = out[t] * (Hc[t] / Sg[t]);
                        if (std::isfinite(v))
                            out[t] = v;
                    }
                }
            }
        };

        int iteration = 0;
        double dev = 0.0;
        for (;;) {
            ++iteration;
            char text[32];
            std::snprintf(text, sizeof text, "Loop: %d", iteration);
            Report(text, kProgressStatus);
            RunSlices(nPhi2, stageWork, correctionSlice, sliceDone);
            if (CancelSeen())
                return cancelled();
            recalculate();
            if (CancelSeen())
                return cancelled();
            int stop = 0;
            dev = pDeviation(&stop);
            std::snprintf(text, sizeof text, "%.3f", dev);
            Report(text, kProgressDeviation);
            if (stop)
                break;
            if (StopRule::LimitReached(effectiveStopMode, iteration, maxLoops, dev, tolerance))
                break;
        }

        std::vector<int16_t>().swap(poleTable);
        if (fibre)
            for (int l = 0; l < nPhi2; ++l)
                for (int i = 0; i < nPhi; ++i)
                    for (int t = 1; t < nPhi1; ++t)
                        odf[l][i][t] = odf[l][i][0];
        if (deviation)
            *deviation = dev;
        if (loops)
            *loops = iteration;
        if (!dataPreloaded) {
            Report("Normalizing ODF", kProgressStatus);
            PNormodf(odf);
            if (CancelSeen())
                return cancelled();
            Report("Calculation finished", kProgressStatus);
        }
        pGetODFMax(odf);
        pFreeMem_ODF();
        return 1;
    } catch (const std::exception&) {
        pFreeMem_ODF();
        return Fail(kNoMemoryText);
    }
}

double HODF::pDeviation(int* stop) {
    const double dev =
        MeanDeviation(measured.data(), recalculated.data(), (size_t)nPF * nAlpha * nBeta);
    const bool incomplete = CountEmptyRim() > 50;
    *stop =
        !StopRule::Test(dev, incomplete, &previousDeviation, &latestDeviation, &acceptedIterations);
    if (*stop)
        Report(kDeviationStopText, kProgressStatus);
    return dev;
}

void HODF::pGetODFMax(double*** odf) {
    double m = -1.0;
    for (int l = 0; l < nPhi2; ++l)
        for (int i = 0; i < nPhi; ++i)
            for (int t = 0; t < nPhi1; ++t)
                m = std::max(m, odf[l][i][t]);
    odfMax = m;
}
