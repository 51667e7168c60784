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
    options.progress = std::move(cb);
}

void HODF::SetRunOptions(EngineRunOptions runOptions) {
    options = std::move(runOptions);
}

void HODF::Report(const std::string& text, int code) const {
    Send(options.progress, text, code);
}

void HODF::Begin() {
    lastResult = EngineResult{};
}

int HODF::Fail(const char* text) {
    return RecordFailure(&lastResult, options.progress, text);
}

int HODF::Cancelled() {
    return RecordCancel(&lastResult, options.progress);
}

int HODF::Finish(const char* failure) {
    if (!failure)
        return 1;
    // A helper that stopped for the cancel token reports it as its failure.
    return CancelSeen() ? Cancelled() : Fail(failure);
}

int HODF::ValidSetup() {
    Begin();
    if (!setupOk)
        return Fail(setupError ? setupError : "Invalid resolution");
    return setupOk;
}

// Grid counts at res; the ODF ranges are those of rangeSampleSym.
int HODF::pIniRanges(int rangeSampleSym) {
    Begin();
    setupOk = 0;
    setupError = "Invalid resolution";
    nAlpha = nBeta = nPhi1 = nPhi = nPhi2 = 0;
    if (!ResolutionUsable(res))
        return Fail(setupError);
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
    for (int j = 0; j < 6; ++j)
        StoreMeasuredMask(measuredMask, maskRows, maskCols, j, nullptr, 0, 0);
    CopyLattice(lattice, lat);
    if (!pIniRanges(sampleSym))
        return 0;
    if (n < 1 || n > 6 || !files || !hkl) {
        setupOk = 0;
        setupError = "Invalid number of pole figures";
        nPF = 0;
        return Fail(setupError);
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
    Begin();
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
    Report("Allocating memory for ODF calculation", kProgressStatus);
    const size_t cells = (size_t)nPF * nAlpha * nBeta;
    try {
        // A second set-up with other sizes gets arrays of its own size.
        measured.assign(cells, 0.0);
        recalculated.assign(cells, 0.0);
    } catch (const std::bad_alloc&) {
        pFreeMem_ODF();
        return Fail(kNoMemoryText);
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
    std::string detail;
    if (const char* failure = ReadPoleFigureFiles(fileNames, nPF, nAlpha, nBeta, measured.data(),
                                                  options.progress, &detail)) {
        const int result = Finish(failure);
        lastResult.detail = std::move(detail);
        return result;
    }
    if (const char* failure =
            CheckMeasuredMasks(measuredMask, maskRows, maskCols, nPF, nAlpha, nBeta))
        return Finish(failure);
    if (AnyMeasuredMask(measuredMask, nPF)) {
        for (int j = 0; j < nPF; ++j)
            PrepareMaskedPoleFigure(measured.data() + (size_t)j * nAlpha * nBeta, measuredMask[j],
                                    nAlpha, nBeta, res, normalizePF, fibre, sampleSym);
        return 1;
    }
    if (normalizePF)
        for (int i = 0; i < nPF; ++i)
            PNormPol(i);
    if (fibre)
        pFiberForcing();
    else if (sampleSym)
        pSymmetrizePF();
    return 1;
}

int HODF::SetMeasuredMask(int index, const uint8_t* cells, int rows, int cols) {
    return StoreMeasuredMask(measuredMask, maskRows, maskCols, index, cells, rows, cols);
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
