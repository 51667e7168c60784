// HODF construction, settings and the preparation of the input pole figures.
#include <cstring>

#include "engine_common.h"
#include "odfengine/hodf.h"
#include "orimath/ranges.h"

using namespace odfengine;

HODF::HODF() = default;
HODF::HODF(const HODF& other) = default;
HODF& HODF::operator=(const HODF& other) = default;
HODF::~HODF() {
    pFreeMem_ODF();
}

void HODF::SetCallBack(ProgressCallback cb) {
    callback = std::move(cb);
}

void HODF::Report(const std::string& text, int code) const {
    Send(callback, text, code);
}

int HODF::ValidSetup() const {
    if (!setupOk)
        Report(setupError ? setupError : "Invalid resolution", -2);
    return setupOk;
}

// Grid counts at res; the ODF ranges are those of rangeSampleSym.
int HODF::pIniRanges(int rangeSampleSym) {
    setupOk = 0;
    setupError = "Invalid resolution";
    nAlpha = nBeta = nPhi1 = nPhi = nPhi2 = 0;
    if (!ResolutionUsable(res)) {
        Report(setupError, -2);
        return 0;
    }
    Get_AB_Range_In_Full_PF_Space(&nAlpha, &nBeta, res);
    GetEulerRangeInODFSpace(&nPhi1, &nPhi, &nPhi2, crystalType, res, rangeSampleSym);
    setupOk = 1;
    setupError = nullptr;
    return 1;
}

int HODF::IniODFCal(const std::string files[], int type, int loops, double tol, int mode,
                    const double lat[6], const double hkl[][3], int n, int normalize, int fib,
                    int sam, double resolution) {
    crystalType = (int16_t)type;
    maxLoops = loops;
    tolerance = tol;
    stopMode = mode;
    normalizePF = normalize;
    fibre = fib;
    sampleSym = fib ? 1 : sam;
    res = resolution;
    dataPreloaded = 0;
    CopyLattice(lattice, lat);
    if (!pIniRanges(sampleSym))
        return 0;
    if (n < 1 || n > 6 || !files || !hkl) {
        setupOk = 0;
        setupError = "Invalid number of pole figures";
        Report(setupError, -2);
        nPF = 0;
        return 0;
    }
    nPF = n;
    for (int i = 0; i < nPF; ++i) {
        fileNames[i] = files[i];
        for (int k = 0; k < 3; ++k)
            hklInput[i][k] = hkl[i][k];
    }
    return 1;
}

int HODF::IniPolFigCal(int type, const double lat[6], const double hkl[3], double resolution,
                       int sam, int fib) {
    crystalType = (int16_t)type;
    CopyLattice(lattice, lat);
    fibre = fib;
    sampleSym = fib ? 1 : sam;
    res = resolution;
    nPF = 1;
    for (int k = 0; k < 3; ++k)
        hklInput[0][k] = hkl ? hkl[k] : 0.0;
    return pIniRanges(sampleSym);
}

int HODF::IniInvPolFigCal(int type, const double lat[6], const double direction[3],
                          double resolution, int sam) {
    crystalType = (int16_t)type;
    CopyLattice(lattice, lat);
    res = resolution;
    sampleSym = sam;
    fibre = 0;
    nPF = 1;
    for (int k = 0; k < 3; ++k)
        hklInput[0][k] = direction ? direction[k] : 0.0;
    return pIniRanges(sampleSym);
}

int HODF::IniEulerMiller(int type, const double lat[6]) {
    crystalType = (int16_t)type;
    CopyLattice(lattice, lat);
    return 1;
}

int HODF::IniSO(int type, const double lat[6]) {
    return IniEulerMiller(type, lat);
}

int HODF::IniMeganitic(int type, const double lat[6], double resolution, int sam) {
    crystalType = (int16_t)type;
    CopyLattice(lattice, lat);
    res = resolution;
    sampleSym = sam;
    fibre = 0;
    // The magnetic energy map covers the ODF space without sample symmetry.
    return pIniRanges(0);
}

int HODF::pIniMem_ODF() {
    Report("Allocating memory for ODF calculation", -2);
    const size_t cells = (size_t)nPF * nAlpha * nBeta;
    try {
        // A second set-up with other sizes gets arrays of its own size.
        measured.assign(cells, 0.0);
        recalculated.assign(cells, 0.0);
    } catch (const std::bad_alloc&) {
        pFreeMem_ODF();
        return 0;
    }
    return 1;
}

void HODF::pFreeMem_ODF() {
    std::vector<double>().swap(measured);
    std::vector<double>().swap(recalculated);
    std::vector<int16_t>().swap(poleTable);
    weightCache.clear();
}

int HODF::POpenInputPolFig() {
    if (!ReadPoleFigureFiles(fileNames, nPF, nAlpha, nBeta, measured.data(), callback))
        return 0;
    if (normalizePF)
        for (int i = 0; i < nPF; ++i)
            PNormPol(i);
    if (fibre)
        pFiberForcing();
    else if (sampleSym)
        pSymmetrizePF();
    return 1;
}

void HODF::PNormPol(int i) {
    NormalizePoleFigure(measured.data() + (size_t)i * nAlpha * nBeta, nAlpha, nBeta, res);
}

void HODF::pSymmetrizePF() {
    for (int j = 0; j < nPF; ++j)
        SymmetrizePoleFigure(measured.data() + (size_t)j * nAlpha * nBeta, nAlpha, nBeta, res);
}

void HODF::pFiberForcing() {
    for (int j = 0; j < nPF; ++j)
        ForceFibrePoleFigure(measured.data() + (size_t)j * nAlpha * nBeta, nAlpha, nBeta);
}

int HODF::CountEmptyRim() const {
    return CountEmptyRimCells(measured.data(), nPF, nAlpha, nBeta);
}
