#pragma once
// Round trip of a model texture through the engine: model ODF -> pole
// figure files (complete, or measured up to alphaMax) -> GetODF -> pole
// figures of the result. Used by the tests (coarse grids) and by odfbench
// (fine grids).
#include <array>
#include <string>
#include <vector>

#include "dataformats/polefigure.h"
#include "odfengine/odfengine.h"
#include "orimath/arrays.h"
#include "orimath/ranges.h"

namespace enginetest {

struct ValidationCase {
    int type = 0;
    double lattice[6] = {1, 1, 1, 90, 90, 90};
    std::vector<std::array<double, 3>> hkl = {{1, 1, 1}, {2, 0, 0}, {2, 2, 0}};
    std::vector<odfengine::ModelComponent> components = odfengine::DefaultRollingTexture();
    double background = 0.3;
    double res = 5.0;
    int sampleSym = 1;
    double alphaMax = 90.0;
    int stopMode = 2;
    int maxLoops = 15;
    double tolerance = 0.01;
    int threads = platform::kAutomaticThreads; // for every engine call of the case
};

struct ValidationResult {
    int ok = 0;
    double deviation = 0.0; // the engine's last mean deviation (fraction)
    int loops = 0;
    std::vector<double> rp; // RP error (percent) per pole figure
    double odfError = 0.0;  // relative L1 error of the ODF (percent)
    double modelMax = 0.0, resultMax = 0.0;
    std::vector<double> odf; // the calculated ODF, phi2 outermost
};

// dir: folder for the pole figure files.
inline ValidationResult RunValidation(const ValidationCase& c, const std::string& dir,
                                      const ProgressCallback& callback = nullptr) {
    ValidationResult r;
    int n1, n, n2;
    GetEulerRangeInODFSpace(&n1, &n, &n2, c.type, c.res, c.sampleSym);
    struct Owned {
        double*** d;
        int n1, n, n2;
        ~Owned() { FreeMem3D(d, n2, n, n1); }
    } model{AllocMem3D(n2, n, n1), n1, n, n2}, result{AllocMem3D(n2, n, n1), n1, n, n2};
    EngineRunOptions options;
    options.threads = c.threads;
    if (!odfengine::MakeModelODF(model.d, c.type, c.lattice, c.res, c.sampleSym, c.components,
                                 c.background, options))
        return r;
    const int nPF = (int)c.hkl.size();
    double hkl[6][3];
    std::string paths[6];
    for (int j = 0; j < nPF; ++j) {
        for (int k = 0; k < 3; ++k)
            hkl[j][k] = c.hkl[j][k];
        paths[j] = dir + "/model_" + std::to_string(j) + ".HPF";
    }
    if (!odfengine::WriteModelPoleFigures(model.d, c.type, c.lattice, c.res, c.sampleSym, hkl, nPF,
                                          paths, c.alphaMax, options))
        return r;
    HODF engine;
    EngineRunOptions engineOptions = options;
    engineOptions.progress = callback;
    engine.SetRunOptions(engineOptions);
    if (!engine.IniODFCal(paths, c.type, c.maxLoops, c.tolerance, c.stopMode, c.lattice, hkl, nPF,
                          1, 0, c.sampleSym, c.res))
        return r;
    if (!engine.GetODF(result.d, &r.deviation, &r.loops))
        return r;
    for (int j = 0; j < nPF; ++j) {
        PFFileInfo info;
        int nA = 0, nB = 0;
        double** p = Open_PF_File(paths[j].c_str(), &info, Get_PF_File_Type(paths[j]), &nA, &nB);
        if (!p)
            return r;
        HODF recalc;
        recalc.SetRunOptions(options);
        recalc.IniPolFigCal(c.type, c.lattice, hkl[j], c.res, c.sampleSym, 0);
        double** q = AllocMem2D(nA, nB);
        recalc.GetPolFig(q, result.d);
        r.rp.push_back(odfengine::PoleFigureRpError(p, q, nA, nB));
        FreeMem2D(p, nA, nB);
        FreeMem2D(q, nA, nB);
    }
    r.odfError = odfengine::OdfRelativeError(result.d, model.d, n1, n, n2, c.res);
    for (int l = 0; l < n2; ++l)
        for (int i = 0; i < n; ++i)
            r.odf.insert(r.odf.end(), result.d[l][i], result.d[l][i] + n1);
    for (int l = 0; l < n2; ++l)
        for (int i = 0; i < n; ++i)
            for (int t = 0; t < n1; ++t) {
                r.modelMax = std::max(r.modelMax, model.d[l][i][t]);
                r.resultMax = std::max(r.resultMax, result.d[l][i][t]);
            }
    r.ok = 1;
    return r;
}

} // namespace enginetest
