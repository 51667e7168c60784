// Pole figure and inverse pole figure of an ODF; orientation conversions.
#include <cmath>

#include "engine_common.h"
#include "inverse_pf.h"
#include "odfengine/hodf.h"
#include "orimath/orientation.h"
#include "orimath/ranges.h"

using namespace odfengine;

int HODF::GetPolFig(double** pf, double*** odf) {
    if (!ValidSetup() || !pf || !odf)
        return 0;
    ThreadScope team;
    try {
        nPF = 1;
        if (!PolesOfPlane(hklInput[0], crystalType, lattice, poleVectors[0], &poleCount[0],
                          callback, "Cannot calculate normal vector"))
            return 0;
        maxSymVectors = poleCount[0];
        PTranMat();
        const std::vector<double> vol = PVolume(nPhi);
        weightCache.clear();
        std::vector<double> out((size_t)nAlpha * nBeta);
        PGeneration(vol, 0, poleCount[0], out.data(), odf);
        for (int a = 0; a < nAlpha; ++a)
            for (int b = 0; b < nBeta; ++b)
                pf[a][b] = out[(size_t)a * nBeta + b];
        Report("Calculation finished", -2);
        pFreeMem_ODF();
        return 1;
    } catch (const std::exception&) {
        pFreeMem_ODF();
        return 0;
    }
}

int HODF::GetInvPolFig(double** ipf, double axes[3][3], double*** odf) {
    if (!ValidSetup() || !ipf || !odf)
        return 0;
    double axis[3][3];
    if (!CrystalAxis(axis, crystalType, lattice)) {
        Report("Such crystal does not exist", -2);
        return 0;
    }
    const double* y = hklInput[0];
    const double yNorm = std::sqrt(y[0] * y[0] + y[1] * y[1] + y[2] * y[2]);
    if (!(yNorm > 0.0) || !std::isfinite(yNorm)) {
        Report("Invalid data", -2);
        return 0;
    }
    try {
        ThreadScope team;
        InversePoleFigure(
            y, res, nAlpha, nBeta,
            [&](int k, int h, int l, double* f) {
                int i1 = k, iPhi = h, i2 = l;
                ReduceODFSpace(&i1, &iPhi, &i2, crystalType, res, sampleSym);
                if (i1 < 0 || i1 >= nPhi1 || iPhi < 0 || iPhi >= nPhi || i2 < 0 || i2 >= nPhi2)
                    return false;
                *f = odf[i2][iPhi][i1];
                return true;
            },
            callback, ipf);
        if (axes)
            for (int r = 0; r < 3; ++r)
                for (int c = 0; c < 3; ++c)
                    axes[r][c] = axis[r][c];
        Report("Calculation finished", -2);
        return 1;
    } catch (const std::exception&) {
        return 0;
    }
}

int HODF::GetSO(const double euler[3], double equivalents[][3], int* count, int sam) {
    return EquivalentOrientations(euler, equivalents, count, crystalType, lattice, sam, callback);
}

int HODF::GetEuler(const int miller[6], double euler[3]) {
    return MillerToEuler(miller, euler, crystalType, lattice, callback);
}

int HODF::GetMiller(const double euler[3], double miller[6]) {
    return EulerToMiller(euler, miller, crystalType, lattice, callback);
}
