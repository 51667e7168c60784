// Pole figure and inverse pole figure of an ODF; orientation conversions.
#include <cmath>

#include "engine_common.h"
#include "inverse_pf.h"
#include "odfengine/hodf.h"
#include "orimath/orientation.h"
#include "orimath/ranges.h"

using namespace odfengine;

int HODF::GetPolFig(double** pf, double*** odf) {
    if (!ValidSetup())
        return 0;
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
        maxSymVectors = poleCount[0];
        PTranMat();
        if (CancelSeen()) {
            pFreeMem_ODF();
            return Cancelled();
        }
        const std::vector<double> vol = PVolume(nPhi);
        weightCache.clear();
        std::vector<double> out((size_t)nAlpha * nBeta);
        PGeneration(vol, 0, poleCount[0], out.data(), odf);
        pFreeMem_ODF();
        // A cancelled recalculation leaves the caller's figure untouched.
        if (CancelSeen())
            return Cancelled();
        for (int a = 0; a < nAlpha; ++a)
            for (int b = 0; b < nBeta; ++b)
                pf[a][b] = out[(size_t)a * nBeta + b];
        Report("Calculation finished", kProgressStatus);
        return 1;
    } catch (const std::exception&) {
        pFreeMem_ODF();
        return Fail(kNoMemoryText);
    }
}

int HODF::GetInvPolFig(double** ipf, double axes[3][3], double*** odf) {
    if (!ValidSetup())
        return 0;
    if (!ipf || !odf)
        return Fail("Invalid data");
    double axis[3][3];
    if (!CrystalAxis(axis, crystalType, lattice))
        return Fail("Such crystal does not exist");
    const double* y = hklInput[0];
    const double yNorm = std::sqrt(y[0] * y[0] + y[1] * y[1] + y[2] * y[2]);
    if (!(yNorm > 0.0) || !std::isfinite(yNorm))
        return Fail("Invalid data");
    try {
        RunScope run(options);
        if (CancelSeen())
            return Cancelled();
        std::vector<double> out((size_t)nAlpha * nBeta);
        std::vector<double*> rows(nAlpha);
        for (int a = 0; a < nAlpha; ++a)
            rows[a] = &out[(size_t)a * nBeta];
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
            options.progress, rows.data());
        // A cancelled recalculation leaves the caller's figure untouched.
        if (CancelSeen())
            return Cancelled();
        for (int a = 0; a < nAlpha; ++a)
            for (int b = 0; b < nBeta; ++b)
                ipf[a][b] = rows[a][b];
        if (axes)
            for (int r = 0; r < 3; ++r)
                for (int c = 0; c < 3; ++c)
                    axes[r][c] = axis[r][c];
        Report("Calculation finished", kProgressStatus);
        return 1;
    } catch (const std::exception&) {
        return Fail(kNoMemoryText);
    }
}

int HODF::GetSO(const double euler[3], double equivalents[][3], int* count, int sam) {
    Begin();
    if (const char* failure =
            EquivalentOrientations(euler, equivalents, count, crystalType, lattice, sam))
        return Fail(failure);
    return 1;
}

int HODF::GetEuler(const int miller[6], double euler[3]) {
    Begin();
    if (const char* failure = MillerToEuler(miller, euler, crystalType, lattice))
        return Fail(failure);
    return 1;
}

int HODF::GetMiller(const double euler[3], double miller[6]) {
    Begin();
    if (const char* failure = EulerToMiller(euler, miller, crystalType, lattice))
        return Fail(failure);
    return 1;
}
