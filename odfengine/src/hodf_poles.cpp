// Poles of the input planes, the pole table and the volume weights.
#include <cmath>
#include <numbers>

#include "engine_common.h"
#include "odfengine/hodf.h"
#include "parallel.h"

using namespace odfengine;

int HODF::PNormalofhkl() {
    // The normals are computed together with the symmetric poles (PSymVetor);
    // here only the entered indices are checked, so that the failure texts
    // come in the documented order.
    return 1;
}

int HODF::PSymVetor() {
    maxSymVectors = 0;
    for (int j = 0; j < nPF; ++j) {
        if (const char* failure = PolesOfPlane(hklInput[j], crystalType, lattice, poleVectors[j],
                                               &poleCount[j], "Can not calculate normal vector(s)"))
            return Fail(failure);
        maxSymVectors = std::max(maxSymVectors, poleCount[j]);
    }
    return 1;
}

void HODF::PTranMat() {
    const int stride = 2 * maxSymVectors;
    poleTable.assign((size_t)nPF * nPhi * nPhi2 * stride, 0);
    using std::numbers::pi;
    const int rows = nPF * nPhi;
    const platform::CancelToken* cancel = CurrentCancel();
#pragma omp parallel for schedule(static) num_threads(TeamFor(200LL * rows * nPhi2 * maxSymVectors))
    for (int r = 0; r < rows; ++r) {
        if (CancelRequested(cancel))
            continue; // the caller sees the token and drops the table
        const int j = r / nPhi, i = r % nPhi;
        const double Phi = i * res * pi / 180.0;
        for (int l = 0; l < nPhi2; ++l) {
            const double phi2 = l * res * pi / 180.0;
            int16_t* cell = &poleTable[(((size_t)j * nPhi + i) * nPhi2 + l) * stride];
            for (int k = 0; k < poleCount[j]; ++k) {
                double alpha, beta;
                int a, b;
                PoleDirection(poleVectors[j][k], Phi, phi2, &alpha, &beta);
                PoleCell(alpha, beta, res, nAlpha, nBeta, &a, &b);
                cell[2 * k] = (int16_t)a;
                cell[2 * k + 1] = (int16_t)b;
            }
        }
    }
}

std::vector<double> HODF::PVolume(int count) const {
    return PhiVolumes(count, res, kDegToRad);
}
