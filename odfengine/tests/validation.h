#pragma once
// Round trip of a model texture through the engine: model ODF -> pole
// figure files (complete, or measured up to alphaMax) -> GetODF -> pole
// figures of the result. Used by the tests (coarse grids) and by odfbench
// (fine grids).
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "dataformats/polefigure.h"
#include "odfengine/odfengine.h"
#include "orimath/grid.h"
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
    const orimath::Extent3 extent{.phi1 = n1, .Phi = n, .phi2 = n2};
    orimath::Grid3<double> model(extent), result(extent);
    EngineRunOptions options;
    options.threads = c.threads;
    if (!odfengine::MakeModelODF(model.Tree(), c.type, c.lattice, c.res, c.sampleSym, c.components,
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
    if (!odfengine::WriteModelPoleFigures(model.Tree(), c.type, c.lattice, c.res, c.sampleSym, hkl,
                                          nPF, paths, c.alphaMax, options))
        return r;
    HODF engine;
    EngineRunOptions engineOptions = options;
    engineOptions.progress = callback;
    engine.SetRunOptions(engineOptions);
    if (!engine.IniODFCal(paths, c.type, c.maxLoops, c.tolerance, c.stopMode, c.lattice, hkl, nPF,
                          1, 0, c.sampleSym, c.res))
        return r;
    if (!engine.GetODF(result.Tree(), &r.deviation, &r.loops))
        return r;
    for (int j = 0; j < nPF; ++j) {
        PFFileInfo info;
        int nA = 0, nB = 0;
        double** tree = Open_PF_File(paths[j].c_str(), &info, Get_PF_File_Type(paths[j]), &nA, &nB);
        if (!tree)
            return r;
        orimath::Grid2<double> p = orimath::AdoptTree(tree, {.alpha = nA, .beta = nB});
        HODF recalc;
        recalc.SetRunOptions(options);
        recalc.IniPolFigCal(c.type, c.lattice, hkl[j], c.res, c.sampleSym, 0);
        orimath::Grid2<double> q(p.extent());
        recalc.GetPolFig(q.Tree(), result.Tree());
        r.rp.push_back(odfengine::PoleFigureRpError(p.Tree(), q.Tree(), nA, nB));
    }
    r.odfError = odfengine::OdfRelativeError(result.Tree(), model.Tree(), n1, n, n2, c.res);
    r.odf = result.values();
    for (double v : model.values())
        r.modelMax = std::max(r.modelMax, v);
    for (double v : result.values())
        r.resultMax = std::max(r.resultMax, v);
    r.ok = 1;
    return r;
}

} // namespace enginetest
