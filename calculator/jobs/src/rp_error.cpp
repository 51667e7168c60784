#include "calcjobs/rp_error.h"

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

} // namespace calcjobs
