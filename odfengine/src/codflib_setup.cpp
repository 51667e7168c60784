// CODFlib construction, settings, input pole figures and orientation tools.
#include <cstring>

#include "engine_common.h"
#include "inverse_pf.h"
#include "odfengine/codflib.h"
#include "orimath/orientation.h"
#include "parallel.h"

using namespace odfengine;

CODFlib::CODFlib() {
    // Half-cell volume weights: Phi half-cells of 2.5 degrees.
    for (int i = 0; i < 73; ++i)
        vol2[i] = std::cos(2.5 * i * kDegToRad) - std::cos(2.5 * (i + 1) * kDegToRad);
}

CODFlib::~CODFlib() = default;

void CODFlib::SetCallBack(ProgressCallback cb) {
    options.progress = std::move(cb);
}

void CODFlib::SetRunOptions(EngineRunOptions runOptions) {
    options = std::move(runOptions);
}

void CODFlib::Report(const std::string& text, int code) const {
    Send(options.progress, text, code);
}

void CODFlib::Begin() {
    lastResult = EngineResult{};
}

int CODFlib::Fail(const char* text) {
    return RecordFailure(&lastResult, options.progress, text);
}

int CODFlib::Cancelled() {
    return RecordCancel(&lastResult, options.progress);
}

int CODFlib::Finish(const char* failure) {
    if (!failure)
        return 1;
    return CancelSeen() ? Cancelled() : Fail(failure);
}

int CODFlib::IniODFCal(const std::string files[], int type, int loops, double tol, int mode,
                       const double lat[6], const double hkl[][3], int n, int normalize, int fib,
                       int sam) {
    crystalType = (int16_t)type;
    maxLoops = loops;
    tolerance = tol;
    stopMode = mode;
    normalizePF = normalize;
    fibre = fib;
    sampleSym = fib ? 1 : sam;
    dataPreloaded = 0;
    for (int j = 0; j < 6; ++j)
        StoreMeasuredMask(measuredMask, maskRows, maskCols, j, nullptr, 0, 0);
    CopyLattice(lattice, lat);
    setupOk = 0;
    Begin();
    if (n < 1 || n > 6 || !files || !hkl) {
        nPF = 0;
        return Fail("Invalid number of pole figures");
    }
    nPF = n;
    for (int i = 0; i < nPF; ++i) {
        fileNames[i] = files[i];
        for (int k = 0; k < 3; ++k)
            hklInput[i][k] = hkl[i][k];
    }
    setupOk = 1;
    return 1;
}

int CODFlib::IniPolFigCal(int type, const double lat[6], const double hkl[3]) {
    Begin();
    crystalType = (int16_t)type;
    CopyLattice(lattice, lat);
    nPF = 1;
    fibre = 0;
    for (int k = 0; k < 3; ++k)
        hklInput[0][k] = hkl ? hkl[k] : 0.0;
    setupOk = 1;
    return 1;
}

int CODFlib::IniInvPolFigCal(int type, const double lat[6], const double direction[3]) {
    return IniPolFigCal(type, lat, direction);
}

int CODFlib::IniEulerMiller(int type, const double lat[6]) {
    Begin();
    crystalType = (int16_t)type;
    CopyLattice(lattice, lat);
    return 1;
}

int CODFlib::IniSO(int type, const double lat[6]) {
    return IniEulerMiller(type, lat);
}

int CODFlib::POpenInputPolFig() {
    std::string detail;
    if (const char* failure = ReadPoleFigureFiles(fileNames, nPF, kA, kB, measured.data(),
                                                  options.progress, &detail)) {
        const int result = Finish(failure);
        lastResult.detail = std::move(detail);
        return result;
    }
    if (const char* failure = CheckMeasuredMasks(measuredMask, maskRows, maskCols, nPF, kA, kB))
        return Finish(failure);
    if (AnyMeasuredMask(measuredMask, nPF)) {
        for (int j = 0; j < nPF; ++j)
            PrepareMaskedPoleFigure(measured.data() + (size_t)j * kA * kB, measuredMask[j], kA, kB,
                                    5.0, normalizePF, fibre, sampleSym);
        return 1;
    }
    for (int i = 0; i < nPF; ++i) {
        double* pf = measured.data() + (size_t)i * kA * kB;
        if (normalizePF)
            NormalizePoleFigure(pf, kA, kB, 5.0);
    }
    for (int i = 0; i < nPF; ++i) {
        double* pf = measured.data() + (size_t)i * kA * kB;
        if (fibre)
            ForceFibrePoleFigure(pf, kA, kB);
        else if (sampleSym)
            SymmetrizePoleFigure(pf, kA, kB, 5.0);
    }
    return 1;
}

int CODFlib::SetMeasuredMask(int index, const uint8_t* cells, int rows, int cols) {
    return StoreMeasuredMask(measuredMask, maskRows, maskCols, index, cells, rows, cols);
}

int CODFlib::CountEmptyRim() const {
    return CountEmptyRimCells(measured.data(), nPF, kA, kB);
}

int CODFlib::GetInvPolFig(double ipf[19][73], double axes[3][3], double odf[73][37][73]) {
    Begin();
    if (!ipf || !odf)
        return Fail("Invalid data");
    double axis[3][3];
    if (!CrystalAxis(axis, crystalType, lattice))
        return Fail("Such crystal does not exist");
    const double* y = hklInput[0];
    const double n = std::sqrt(y[0] * y[0] + y[1] * y[1] + y[2] * y[2]);
    if (!(n > 0.0) || !std::isfinite(n))
        return Fail("Invalid data");
    double out[19][73];
    try {
        RunScope run(options);
        if (CancelSeen())
            return Cancelled();
        double* rows[19];
        for (int a = 0; a < 19; ++a)
            rows[a] = out[a];
        InversePoleFigure(
            y, 5.0, kA, kB,
            [&](int k, int h, int l, double* f) {
                *f = odf[l][h][k];
                return true;
            },
            options.progress, rows);
    } catch (const std::exception&) {
        return Fail(kNoMemoryText);
    }
    // A cancelled recalculation leaves the caller's figure untouched.
    if (CancelSeen())
        return Cancelled();
    std::memcpy(ipf, out, sizeof out);
    if (axes)
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                axes[r][c] = axis[r][c];
    Report("Calculation finished", kProgressStatus);
    return 1;
}

int CODFlib::GetSO(const double euler[3], double equivalents[][3], int* count, int sam) {
    Begin();
    if (const char* failure =
            EquivalentOrientations(euler, equivalents, count, crystalType, lattice, sam))
        return Fail(failure);
    return 1;
}

int CODFlib::GetEuler(const int miller[6], double euler[3]) {
    Begin();
    if (const char* failure = MillerToEuler(miller, euler, crystalType, lattice))
        return Fail(failure);
    return 1;
}

int CODFlib::GetMiller(const double euler[3], double miller[6]) {
    Begin();
    if (const char* failure = EulerToMiller(euler, miller, crystalType, lattice))
        return Fail(failure);
    return 1;
}
