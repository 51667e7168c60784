// CODFlib pole figure recalculation, pole figures of an ODF, smoothing and
// normalisation on the full 5 degree grid.
#include <cstring>

#include "engine_common.h"
#include "odfengine/codflib.h"
#include "parallel.h"

using namespace odfengine;

void CODFlib::PGeneration(int j, int poles, double out[19][73], double odf[73][37][73]) {
    constexpr int cells = kA * kB;
    if (poles <= 0) {
        for (int a = 0; a < kA; ++a)
            for (int b = 0; b < kB; ++b)
                out[a][b] = 0.0;
        return;
    }
    // Accumulators per pole and part: each pole is divided by its own weights.
    const size_t slot = (size_t)kPartialSums * cells;
    std::vector<double> partV((size_t)poles * slot, 0.0), partW((size_t)poles * slot, 0.0);
    // A part covers an eighth of the Phi half-cells: it looks at the cancel
    // token per half-cell row.
    const platform::CancelToken* cancel = CurrentCancel();
    RunPartsPerItem(
        poles, kHalfPhi, (long long)poles * kHalfPhi * kHalfPhi2 * 72,
        [&](int k, int p, int eb, int ee) {
            double* V = &partV[k * slot + (size_t)p * cells];
            double* W = &partW[k * slot + (size_t)p * cells];
            // Each half-cell takes the ODF value of the grid point nearest its
            // centre; phi1 turns the pole round by whole beta steps.
            for (int e = eb; e < ee && !CancelRequested(cancel); ++e) {
                const int phiIndex = (e + 1) / 2;
                const double w = vol2[e];
                for (int h = 0; h < kHalfPhi2; ++h) {
                    int phi2Index = (h + 1) / 2;
                    if (phi2Index == 72)
                        phi2Index = 0;
                    const double* f = odf[phi2Index][phiIndex];
                    const int16_t* c = Cell(j, e, h, k);
                    const int a = c[0], b0 = c[1];
                    double* rowV = V + a * kB;
                    double* rowW = W + a * kB;
                    if (a == 0) {
                        // The centre: every phi1 lands on the same cell.
                        double s = 0.0;
                        for (int t = 0; t < 72; ++t)
                            s += f[t] * w;
                        rowV[0] += s;
                        rowW[0] += 72 * w;
                        continue;
                    }
                    for (int t = 0; t < 72; ++t) {
                        const int b = (b0 + t) % 72;
                        rowV[b] += f[t] * w;
                        rowW[b] += w;
                        if (a == kA - 1) {
                            rowV[(b + 36) % 72] += f[t] * w;
                            rowW[(b + 36) % 72] += w;
                        }
                    }
                }
            }
        },
        [&](int k) { Report("", Percent(k + 1, poles)); });

    std::vector<double> result(cells, 0.0);
    for (int k = 0; k < poles; ++k) {
        std::vector<double> sumV(cells, 0.0), sumW(cells, 0.0);
        for (int p = 0; p < kPartialSums; ++p)
            for (int c = 0; c < cells; ++c) {
                sumV[c] += partV[k * slot + (size_t)p * cells + c];
                sumW[c] += partW[k * slot + (size_t)p * cells + c];
            }
        // Cells that no orientation reaches (the centre beyond column 0 and
        // the closing column 72) take column 0 instead of 0/0.
        for (int a = 0; a < kA; ++a) {
            double row[kB];
            for (int b = 0; b < kB; ++b) {
                const int c = a * kB + b;
                row[b] = sumW[c] > 0.0 ? sumV[c] / sumW[c] : 0.0;
            }
            if (a == 0)
                for (int b = 1; b < kB - 1; ++b)
                    row[b] = row[0];
            row[kB - 1] = row[0];
            for (int b = 0; b < kB; ++b)
                result[a * kB + b] += row[b];
        }
    }
    for (int a = 0; a < kA; ++a)
        for (int b = 0; b < kB; ++b) {
            const double v = result[a * kB + b] / poles;
            out[a][b] = std::isfinite(v) ? v : 0.0;
        }
}

int CODFlib::GetPolFig(double pf[19][73], double odf[73][37][73]) {
    Begin();
    if (!pf || !odf)
        return Fail("Invalid data");
    RunScope run(options);
    try {
        nPF = 1;
        if (CancelSeen())
            return Cancelled();
        if (const char* failure = PolesOfPlane(hklInput[0], crystalType, lattice, poleVectors[0],
                                               &poleCount[0], "Cannot calculate normal vector"))
            return Fail(failure);
        PTranMat();
        double out[19][73];
        if (!CancelSeen())
            PGeneration(0, poleCount[0], out, odf);
        std::vector<int16_t>().swap(poleTable);
        // A cancelled recalculation leaves the caller's figure untouched.
        if (CancelSeen())
            return Cancelled();
        std::memcpy(pf, out, sizeof out);
        Report("Calculation finished", kProgressStatus);
        return 1;
    } catch (const std::exception&) {
        std::vector<int16_t>().swap(poleTable);
        return Fail(kNoMemoryText);
    }
}

void CODFlib::PNormodf(double odf[73][37][73]) {
    const bool incomplete = CountEmptyRim() > 50;
    if (stopMode < 10 && incomplete) {
        bool zeroFound = false;
        for (int k2 = 0; k2 < 72; ++k2)
            for (int o = 0; o <= 36; ++o)
                for (int t = 0; t < 72; ++t)
                    if (!(odf[k2][o][t] > 0.0)) {
                        odf[k2][o][t] = 1.0;
                        zeroFound = true;
                    }
        if (zeroFound)
            Report("0 is found in Odf", kProgressStatus);
        std::vector<double> smoothed((size_t)72 * 37 * 72);
        auto slice = [&](int k2) {
            for (int o = 0; o <= 36; ++o)
                for (int t = 0; t < 72; ++t) {
                    double sum = 0.0;
                    for (int dk = -1; dk <= 1; ++dk)
                        for (int dO = -1; dO <= 1; ++dO)
                            for (int dt = -1; dt <= 1; ++dt) {
                                if (dk == 0 && dO == 0 && dt == 0)
                                    continue;
                                int p2 = k2 + dk, P = o + dO, p1 = t + dt;
                                // Over the poles of the Euler space: Phi
                                // mirrors and phi1, phi2 turn by 180 degrees.
                                if (P > 36) {
                                    P = 72 - P;
                                    p1 += 36;
                                    p2 += 36;
                                } else if (P < 0) {
                                    P = -P;
                                    p1 += 36;
                                    p2 += 36;
                                }
                                p1 = ((p1 % 72) + 72) % 72;
                                p2 = ((p2 % 72) + 72) % 72;
                                sum += odf[p2][P][p1];
                            }
                    smoothed[((size_t)k2 * 37 + o) * 72 + t] =
                        0.1 * odf[k2][o][t] + 0.03461538461538462 * sum;
                }
        };
        RunSlices(72, 72LL * 37 * 72 * 26, slice, [&](int k2) { Report("", Percent(k2, 71)); });
        for (int k2 = 0; k2 < 72; ++k2)
            for (int o = 0; o <= 36; ++o)
                for (int t = 0; t < 72; ++t)
                    odf[k2][o][t] = smoothed[((size_t)k2 * 37 + o) * 72 + t];
    }
    for (int k2 = 0; k2 < 73; ++k2)
        for (int o = 0; o < 37; ++o)
            odf[k2][o][72] = odf[k2][o][0];
    std::memcpy(odf[72], odf[0], sizeof(double) * 37 * 73);

    double integral = 0.0, m = 1.0;
    for (int o = 0; o <= 36; ++o) {
        const double Phi = 5.0 * o;
        const double lo = std::max(0.0, Phi - 2.5), hi = std::min(180.0, Phi + 2.5);
        const double ring = std::cos(lo * kDegToRadNorm) - std::cos(hi * kDegToRadNorm);
        double s = 0.0;
        for (int t = 0; t <= 72; ++t) {
            const double a1 = (t == 0 || t == 72) ? 0.5 : 1.0;
            for (int k2 = 0; k2 <= 72; ++k2) {
                const double a2 = (k2 == 0 || k2 == 72) ? 0.5 : 1.0;
                const double f = odf[k2][o][t];
                s += a1 * a2 * f;
                m = std::min(m, f);
            }
        }
        integral += ring * s;
    }
    if (m > 0.0)
        m = 0.0;
    const double denom = integral * 9.645061728395061e-05 - m;
    const bool scale = denom > 0.0 && std::isfinite(denom);
    for (int k2 = 0; k2 < 73; ++k2)
        for (int o = 0; o < 37; ++o)
            for (int t = 0; t < 73; ++t) {
                const double v = scale ? (odf[k2][o][t] - m) / denom : odf[k2][o][t];
                odf[k2][o][t] = std::isfinite(v) ? v : 0.0;
            }
}
