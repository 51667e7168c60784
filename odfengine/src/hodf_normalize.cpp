// Smoothing of ODFs from incomplete pole figures and normalisation to
// multiples of a random distribution (PNormodf).
#include <cmath>

#include "engine_common.h"
#include "odfengine/hodf.h"
#include "orimath/ranges.h"
#include "parallel.h"

using namespace odfengine;

void HODF::PNormodf(double*** odf) {
    const bool incomplete = CountEmptyRim() > 50;
    const size_t plane = (size_t)nPhi * nPhi1;
    auto sliceDone = [&](int l) { Report("", Percent(l, nPhi2 - 1)); };

    if (stopMode < 10 && incomplete) {
        bool zeroFound = false;
        for (int l = 0; l < nPhi2; ++l)
            for (int i = 0; i < nPhi; ++i)
                for (int t = 0; t < nPhi1; ++t)
                    if (!(odf[l][i][t] > 0.0)) {
                        odf[l][i][t] = 1.0;
                        zeroFound = true;
                    }
        if (zeroFound)
            Report("0 is found in Odf", kProgressStatus);

        // Grid points that the folding leaves where they are: a neighbour
        // inside the grid that is such a point needs no folding call.
        std::vector<uint8_t> fixedPoint(plane * nPhi2);
        const platform::CancelToken* cancel = CurrentCancel();
#pragma omp parallel for schedule(static) num_threads(TeamFor(20LL * (long long)plane * nPhi2))
        for (int l = 0; l < nPhi2; ++l)
            for (int i = 0; i < nPhi && !CancelRequested(cancel); ++i)
                for (int t = 0; t < nPhi1; ++t) {
                    int i1 = t, iPhi = i, i2 = l;
                    ReduceODFSpace(&i1, &iPhi, &i2, crystalType, res, sampleSym);
                    fixedPoint[l * plane + (size_t)i * nPhi1 + t] = i1 == t && iPhi == i && i2 == l;
                }

        // New values from the old ones: 0.1 of the cell and 0.9 shared by its
        // 26 neighbours, each folded into the reduced region.
        std::vector<float> smoothed(plane * nPhi2);
        auto smoothSlice = [&](int l) {
            for (int i = 0; i < nPhi; ++i)
                for (int t = 0; t < nPhi1; ++t) {
                    double sum = 0.0;
                    for (int dl = -1; dl <= 1; ++dl)
                        for (int di = -1; di <= 1; ++di)
                            for (int dt = -1; dt <= 1; ++dt) {
                                if (dl == 0 && di == 0 && dt == 0)
                                    continue;
                                int i2 = l + dl, iPhi = i + di, i1 = t + dt;
                                const bool inside = i2 >= 0 && i2 < nPhi2 && iPhi >= 0 &&
                                                    iPhi < nPhi && i1 >= 0 && i1 < nPhi1;
                                if (!inside ||
                                    !fixedPoint[i2 * plane + (size_t)iPhi * nPhi1 + i1]) {
                                    ReduceODFSpace(&i1, &iPhi, &i2, crystalType, res, sampleSym);
                                    // Keep a folding result that leaves the
                                    // grid on its nearest grid point.
                                    i2 = std::clamp(i2, 0, nPhi2 - 1);
                                    iPhi = std::clamp(iPhi, 0, nPhi - 1);
                                    i1 = std::clamp(i1, 0, nPhi1 - 1);
                                }
                                sum += odf[i2][iPhi][i1];
                            }
                    smoothed[l * plane + (size_t)i * nPhi1 + t] =
                        (float)(0.1 * odf[l][i][t] + (0.9 / 26.0) * sum);
                }
        };
        RunSlices(nPhi2, 26LL * (long long)plane * nPhi2, smoothSlice, sliceDone);
        if (CancelRequested(cancel))
            return; // the caller ends the run; the ODF is not used
        auto copySlice = [&](int l) {
            for (int i = 0; i < nPhi; ++i)
                for (int t = 0; t < nPhi1; ++t)
                    odf[l][i][t] = smoothed[l * plane + (size_t)i * nPhi1 + t];
        };
        RunSlices(nPhi2, (long long)plane * nPhi2, copySlice, sliceDone);
    }

    // Integral with trapezoid half weights at the ends of phi1 and phi2 and
    // the cos-weighted Phi rows; the smallest value (from 1.0) is tracked.
    const std::vector<double> vol = PhiVolumes(nPhi, res, kDegToRadNorm);
    // Summed in memory order (phi2 outermost) into one sum per Phi row.
    std::vector<double> rowSum(nPhi, 0.0);
    double m = 1.0;
    for (int l = 0; l < nPhi2; ++l) {
        const double w2 = (l == 0 || l == nPhi2 - 1) ? 0.5 : 1.0;
        for (int i = 0; i < nPhi; ++i) {
            const double* f = odf[l][i];
            double s = 0.0;
            for (int t = 0; t < nPhi1; ++t) {
                const double w1 = (t == 0 || t == nPhi1 - 1) ? 0.5 : 1.0;
                s += w1 * f[t];
                m = std::min(m, f[t]);
            }
            rowSum[i] += w2 * s;
        }
    }
    double integral = 0.0;
    for (int i = 0; i < nPhi; ++i)
        integral += vol[i] * rowSum[i];
    if (m > 0.0)
        m = 0.0;
    const double mean = integral / ((180.0 / res) * (180.0 / res)) * 0.125 - m;
    const double r =
        res * res * res * (double)(nPhi1 - 1) * (nPhi - 1) * (nPhi2 - 1) * 4.2866941015089164e-8;
    // An ODF without any intensity has no mean to divide by: leave it.
    const bool scale = mean > 0.0 && std::isfinite(mean);
    auto scaleSlice = [&](int l) {
        for (int i = 0; i < nPhi; ++i)
            for (int t = 0; t < nPhi1; ++t) {
                double v = scale ? (odf[l][i][t] - m) / mean * r : odf[l][i][t];
                odf[l][i][t] = std::isfinite(v) ? v : 0.0;
            }
    };
    RunSlices(nPhi2, (long long)plane * nPhi2, scaleSlice, sliceDone);
}
