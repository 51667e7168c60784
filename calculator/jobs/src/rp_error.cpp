#include "calcjobs/rp_error.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "odfengine/model_odf.h"
#include "orimath/ranges.h"

namespace calcjobs {

double RecalculationRpError(double** measured, double** recalculated, int nA, int nB) {
    if (nA < 2 || nB < 2)
        return -1;
    std::vector<std::vector<double>> p(nA, std::vector<double>(nB)), q = p;
    std::vector<double*> pRows(nA), qRows(nA);
    bool any = false;
    for (int i = 0; i < nA; ++i) {
        bool measuredRing = false;
        for (int j = 0; j < nB; ++j)
            measuredRing |= measured[i][j] != 0;
        any |= measuredRing;
        for (int j = 0; j < nB; ++j) {
            p[i][j] = measured[i][j];
            q[i][j] = measuredRing ? recalculated[i][j] : 0;
        }
        pRows[i] = p[i].data();
        qRows[i] = q[i].data();
    }
    if (!any)
        return -1;
    const double res = 90.0 / (nA - 1);
    NormalizPF(pRows.data(), res);
    NormalizPF(qRows.data(), res);
    return odfengine::PoleFigureRpError(pRows.data(), qRows.data(), nA, nB);
}

double RecalculationRpError(double** measured, double** recalculated, const uint8_t* const* cells,
                            int nA, int nB) {
    if (!cells)
        return RecalculationRpError(measured, recalculated, nA, nB);
    if (nA < 2 || nB < 2)
        return -1;
    const double res = 90.0 / (nA - 1);
    std::vector<std::vector<double>> p(nA, std::vector<double>(nB, 0.0)), q = p;
    // Ring weights as in the pole figure normalisation; the closing column
    // (beta = 360) repeats beta = 0 and is not counted twice.
    double sw = 0, sp = 0, sq = 0;
    for (int i = 0; i < nA; ++i) {
        const double lo = std::max(0.0, i * res - res / 2), hi = std::min(90.0, (i + 0.5) * res);
        const double ring =
            std::cos(lo * std::numbers::pi / 180) - std::cos(hi * std::numbers::pi / 180);
        for (int j = 0; j < nB; ++j) {
            if (!cells[i][j])
                continue;
            const double pv = measured[i][j] > 0 ? measured[i][j] : 0.0;
            p[i][j] = pv;
            q[i][j] = recalculated[i][j];
            if (j < nB - 1) {
                sw += ring;
                sp += ring * pv;
                sq += ring * recalculated[i][j];
            }
        }
    }
    if (!(sw > 0) || !(sp > 0))
        return -1;
    std::vector<double*> pRows(nA), qRows(nA);
    for (int i = 0; i < nA; ++i) {
        for (int j = 0; j < nB; ++j) {
            p[i][j] *= sw / sp;
            q[i][j] = sq > 0 ? q[i][j] * sw / sq : 0.0;
        }
        pRows[i] = p[i].data();
        qRows[i] = q[i].data();
    }
    return odfengine::PoleFigureRpError(pRows.data(), qRows.data(), nA, nB);
}

} // namespace calcjobs
