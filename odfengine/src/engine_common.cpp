#include "engine_common.h"

#include <omp.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>

#include "dataformats/file_layouts.h"
#include "dataformats/polefigure.h"
#include "orimath/constants.h"
#include "orimath/grid.h"
#include "orimath/orientation.h"
#include "orimath/symmetry.h"
#include "parallel.h"

namespace odfengine {

int StopRule::Test(double deviation, bool incomplete, double* previous, double* latest,
                   int* accepted) {
    // The first test of an object starts the count afresh.
    if (*latest == 1.0e7)
        *accepted = 0;
    *previous = *latest;
    *latest = deviation;
    const double d = incomplete ? 0.05 : 0.01;
    const double diff = *previous - deviation;
    // A previous deviation of 0 leaves no room to improve: the relative
    // improvement counts as 0 (instead of 0/0).
    const double relative = *previous > 0.0 ? diff / *previous : 0.0;
    if (diff >= 0.0 && (relative >= d || *accepted <= 4)) {
        ++*accepted;
        return 1;
    }
    return 0;
}

int RecordFailure(EngineResult* result, const ProgressCallback& cb, const char* text) {
    result->status = EngineStatus::kFailed;
    result->message = text ? text : "";
    if (text)
        Send(cb, text, kProgressStatus);
    return 0;
}

int RecordCancel(EngineResult* result, const ProgressCallback& cb) {
    result->status = EngineStatus::kCancelled;
    result->message = kCancelledText;
    Send(cb, kCancelledText, kProgressStatus);
    return 0;
}

namespace {
// A pole figure file of the layout Get_PF_File_Type reports, read through the
// registry so that a failure says why. A file of no reported layout fails
// (as Open_PF_File with its -1 fails), with the reason the registry gives
// when its extension names a layout.
dataformats::Expected<dataformats::FileData> ReadPoleFigure(const std::string& file) {
    using namespace dataformats;
    if (const FileLayout* layout = FindLayout(FileFamily::PoleFigure, Get_PF_File_Type(file)))
        return layout->Read(file);
    FileProbe probe(file);
    if (const FileLayout* layout = DetectLayout(probe, FileFamily::PoleFigure)) {
        Expected<FileData> data = layout->Read(file);
        return data ? FileError{"", "its content matches no pole figure layout"} : data.error();
    }
    Expected<const FileLayout*> any = DetectLayout(file);
    if (!any)
        return any.error();
    return FileError{"", std::string("not a pole figure file but ") + (*any)->name};
}
} // namespace

const char* ReadPoleFigureFiles(const std::string files[], int nPF, int nAlpha, int nBeta,
                                double* pf, const ProgressCallback& cb, std::string* detail) {
    Send(cb, "Calculation starting ...", kProgressStarting);
    Send(cb, "Reading pole figure files ...", kProgressStatus);
    for (int i = 0; i < nPF; ++i) {
        if (CancelRequested(CurrentCancel()))
            return kCancelledText;
        Send(cb, "File:" + files[i], kProgressStatus);
        const dataformats::Expected<dataformats::FileData> data = ReadPoleFigure(files[i]);
        if (!data) {
            if (detail)
                *detail = files[i] + ": " + data.error().Text();
            return "Can not read pole figure file";
        }
        const orimath::Grid2<double>& grid = data->grid2;
        const int rows = grid.alphaCount(), cols = grid.betaCount();
        if (rows != nAlpha || cols != nBeta) {
            if (detail)
                *detail = files[i] + ": a " + std::to_string(rows) + " x " + std::to_string(cols) +
                          " grid, the calculation needs " + std::to_string(nAlpha) + " x " +
                          std::to_string(nBeta);
            return "File resolution incorrect";
        }
        double* out = pf + (size_t)i * nAlpha * nBeta;
        for (int a = 0; a < nAlpha; ++a)
            for (int b = 0; b < nBeta; ++b) {
                const double v = grid[a][b];
                // A non-finite value in a file counts as not measured.
                out[(size_t)a * nBeta + b] = std::isfinite(v) ? v : 0.0;
            }
    }
    return nullptr;
}

namespace {

// Clears the cells that hold no positive value and finds the band of rows
// [start, end) between the first and the last row with data: the tilt range
// the measurement covered.
void ClearAndFindMeasuredBand(double* pf, int nAlpha, int nBeta, int* start, int* end) {
    const size_t n = (size_t)nAlpha * nBeta;
    for (size_t c = 0; c < n; ++c)
        if (!(pf[c] > 0.0))
            pf[c] = 0.0;
    auto rowHasData = [&](int r) {
        for (int b = 0; b < nBeta; ++b)
            if (pf[(size_t)r * nBeta + b] != 0.0)
                return true;
        return false;
    };
    *start = 0;
    *end = 0;
    for (int r = 0; r <= nAlpha - 2; ++r)
        if (rowHasData(r)) {
            *start = r;
            break;
        }
    for (int r = nAlpha - 1; r >= 2; --r)
        if (rowHasData(r)) {
            *end = r + 1;
            break;
        }
}

} // namespace

void NormalizePoleFigure(double* pf, int nAlpha, int nBeta, double res) {
    const size_t n = (size_t)nAlpha * nBeta;
    int start = 0, end = 0;
    ClearAndFindMeasuredBand(pf, nAlpha, nBeta, &start, &end);
    // No measured band: dividing would give 0/0. Leave the grid unchanged.
    if (end <= start)
        return;
    auto lo = [&](int r) { return std::max(0.0, r * res - res / 2); };
    auto hi = [&](int r) { return std::min(90.0, (r + 0.5) * res); };
    double s = 0.0;
    for (int r = start; r < end; ++r) {
        const double ring = std::cos(lo(r) * kDegToRad) - std::cos(hi(r) * kDegToRad);
        double rowSum = 0.0;
        for (int b = 0; b < nBeta - 1; ++b)
            rowSum += pf[(size_t)r * nBeta + b];
        s += ring * rowSum;
    }
    const double mean =
        s / ((std::cos(lo(start) * kDegToRad) - std::cos(hi(end - 1) * kDegToRad)) * 360.0 / res);
    if (!(mean > 0.0) || !std::isfinite(mean))
        return;
    for (size_t c = 0; c < n; ++c)
        pf[c] /= mean;
}

void SymmetrizePoleFigure(double* pf, int nAlpha, int nBeta, double res) {
    const int b180 = (int)(180.0 / res + 0.5);
    const int period = nBeta - 1;
    auto wrap = [&](int x) { return x < nBeta ? x : x - period; };
    for (int r = 0; r < nAlpha; ++r) {
        double* row = pf + (size_t)r * nBeta;
        for (int k = 0; k <= (nBeta - 1) / 4; ++k) {
            const int i0 = wrap(k), i1 = wrap(b180 - k), i2 = wrap(b180 + k),
                      i3 = wrap(2 * b180 - k);
            const double m = (row[i0] + row[i1] + row[i2] + row[i3]) / 4.0;
            row[i0] = row[i1] = row[i2] = row[i3] = m;
        }
        // On odd grids the wrapped indices touched column 0: keep the
        // closing column equal to it.
        if (2 * b180 != period)
            row[period] = row[0];
    }
}

void ForceFibrePoleFigure(double* pf, int nAlpha, int nBeta) {
    for (int r = 0; r < nAlpha; ++r) {
        double* row = pf + (size_t)r * nBeta;
        double s = 0.0;
        for (int b = 0; b < nBeta; ++b)
            s += row[b];
        const double m = s / nBeta;
        for (int b = 0; b < nBeta; ++b)
            row[b] = m;
    }
}

void ClearUnmeasured(double* pf, const uint8_t* measured, int nAlpha, int nBeta) {
    const size_t n = (size_t)nAlpha * nBeta;
    for (size_t c = 0; c < n; ++c)
        if (!measured[c])
            pf[c] = 0.0;
}

void NormalizePoleFigure(double* pf, const uint8_t* measured, int nAlpha, int nBeta, double res) {
    ClearUnmeasured(pf, measured, nAlpha, nBeta);
    const size_t n = (size_t)nAlpha * nBeta;
    int start = 0, end = 0;
    ClearAndFindMeasuredBand(pf, nAlpha, nBeta, &start, &end);
    if (end <= start)
        return;
    double s = 0.0, w = 0.0;
    for (int r = start; r < end; ++r) {
        const double lo = std::max(0.0, r * res - res / 2), hi = std::min(90.0, (r + 0.5) * res);
        const double ring = std::cos(lo * kDegToRad) - std::cos(hi * kDegToRad);
        for (int b = 0; b < nBeta - 1; ++b) {
            const size_t c = (size_t)r * nBeta + b;
            if (measured[c]) {
                s += ring * pf[c];
                w += ring;
            }
        }
    }
    const double mean = w > 0.0 ? s / w : 0.0;
    if (!(mean > 0.0) || !std::isfinite(mean))
        return;
    for (size_t c = 0; c < n; ++c)
        pf[c] /= mean;
}

void SymmetrizePoleFigure(double* pf, uint8_t* measured, int nAlpha, int nBeta, double res) {
    const int b180 = (int)(180.0 / res + 0.5);
    const int period = nBeta - 1;
    auto wrap = [&](int x) { return x < nBeta ? x : x - period; };
    for (int r = 0; r < nAlpha; ++r) {
        double* row = pf + (size_t)r * nBeta;
        uint8_t* mrow = measured + (size_t)r * nBeta;
        for (int k = 0; k <= (nBeta - 1) / 4; ++k) {
            const int idx[4] = {wrap(k), wrap(b180 - k), wrap(b180 + k), wrap(2 * b180 - k)};
            double s = 0.0;
            int count = 0;
            for (int i : idx)
                if (mrow[i]) {
                    s += row[i];
                    ++count;
                }
            if (count == 0)
                continue;
            for (int i : idx) {
                row[i] = s / count;
                mrow[i] = 1;
            }
        }
        if (2 * b180 != period) {
            row[period] = row[0];
            mrow[period] = mrow[0];
        }
    }
}

void ForceFibrePoleFigure(double* pf, uint8_t* measured, int nAlpha, int nBeta) {
    for (int r = 0; r < nAlpha; ++r) {
        double* row = pf + (size_t)r * nBeta;
        uint8_t* mrow = measured + (size_t)r * nBeta;
        double s = 0.0;
        int count = 0;
        for (int b = 0; b < nBeta; ++b)
            if (mrow[b]) {
                s += row[b];
                ++count;
            }
        if (count == 0)
            continue;
        for (int b = 0; b < nBeta; ++b) {
            row[b] = s / count;
            mrow[b] = 1;
        }
    }
}

const char* CheckMeasuredMasks(const std::vector<uint8_t> masks[], const int rows[],
                               const int cols[], int nPF, int nAlpha, int nBeta) {
    for (int j = 0; j < nPF; ++j)
        if (!masks[j].empty() && (rows[j] != nAlpha || cols[j] != nBeta))
            return "File resolution incorrect";
    return nullptr;
}

bool AnyMeasuredMask(const std::vector<uint8_t> masks[], int nPF) {
    for (int j = 0; j < nPF; ++j)
        if (!masks[j].empty())
            return true;
    return false;
}

void PrepareMaskedPoleFigure(double* pf, std::vector<uint8_t> mask, int nAlpha, int nBeta,
                             double res, bool normalize, bool fibre, bool sampleSym) {
    if (mask.empty()) {
        if (normalize)
            NormalizePoleFigure(pf, nAlpha, nBeta, res);
        if (fibre)
            ForceFibrePoleFigure(pf, nAlpha, nBeta);
        else if (sampleSym)
            SymmetrizePoleFigure(pf, nAlpha, nBeta, res);
        return;
    }
    ClearUnmeasured(pf, mask.data(), nAlpha, nBeta);
    if (normalize)
        NormalizePoleFigure(pf, mask.data(), nAlpha, nBeta, res);
    if (fibre)
        ForceFibrePoleFigure(pf, mask.data(), nAlpha, nBeta);
    else if (sampleSym)
        SymmetrizePoleFigure(pf, mask.data(), nAlpha, nBeta, res);
    // Cells still unmeasured (no symmetric partner was measured) stay out.
    ClearUnmeasured(pf, mask.data(), nAlpha, nBeta);
}

int StoreMeasuredMask(std::vector<uint8_t> masks[], int rows[], int cols[], int index,
                      const uint8_t* measured, int nRows, int nCols) {
    if (index < 0 || index >= 6)
        return 0;
    if (!measured) {
        masks[index].clear();
        rows[index] = cols[index] = 0;
        return 1;
    }
    if (nRows <= 0 || nCols <= 0 || nRows > 100000 || nCols > 100000)
        return 0;
    masks[index].assign(measured, measured + (size_t)nRows * nCols);
    rows[index] = nRows;
    cols[index] = nCols;
    return 1;
}

int CountEmptyRimCells(const double* pf, int nPF, int nAlpha, int nBeta) {
    int count = 0;
    for (int j = 0; j < nPF; ++j) {
        const double* rim = pf + ((size_t)j * nAlpha + (nAlpha - 1)) * nBeta;
        for (int b = 0; b < nBeta; ++b)
            if (rim[b] < 1e-5)
                ++count;
    }
    return count;
}

double MeanDeviation(const double* measured, const double* recalculated, size_t cells) {
    double sum = 0.0;
    long long count = 0;
    for (size_t c = 0; c < cells; ++c) {
        const double p = measured[c];
        if (p > 0.9) {
            sum += std::fabs(p - recalculated[c]) / p;
            ++count;
        }
    }
    return count > 0 ? sum / (double)count : 0.0;
}

void PoleDirection(const double h[3], double Phi, double phi2, double* alpha, double* beta) {
    const double c = std::cos(Phi), s = std::sin(Phi);
    const double c2 = std::cos(phi2), s2 = std::sin(phi2);
    double y[3] = {c2 * h[0] - s2 * h[1], s2 * c * h[0] + c2 * c * h[1] - s * h[2],
                   s2 * s * h[0] + c2 * s * h[1] + c * h[2]};
    const double norm = std::sqrt(y[0] * y[0] + y[1] * y[1] + y[2] * y[2]);
    for (double& v : y)
        v /= norm;
    if (y[2] < 0.0)
        for (double& v : y)
            v = -v;
    using std::numbers::pi;
    *alpha = std::acos(std::clamp(y[2], -1.0, 1.0));
    double b = y[0] == 0.0 ? std::atan(y[1] * 1e8) : std::atan(y[1] / y[0]);
    if (y[0] < 0.0)
        b += pi;
    *beta = b;
}

void PoleCell(double alpha, double beta, double res, int nAlpha, int nBeta, int* a, int* b) {
    using std::numbers::pi;
    const double alphaDeg = alpha * 180.0 / pi, betaDeg = beta * 180.0 / pi;
    int ai = (int)(alphaDeg / res + 0.5);
    // At 2 degrees the first ring is one full step wide.
    if (std::fabs(res - 2.0) < 1e-5 && alphaDeg < res)
        ai = 0;
    ai = std::clamp(ai, 0, nAlpha - 1);
    const int period = nBeta - 1;
    int bi = (period + (int)(period + betaDeg / res + 0.5)) % period;
    if (ai == 0)
        bi = 0;
    *a = ai;
    *b = bi;
}

std::vector<double> PhiVolumes(int count, double res, double degToRad) {
    std::vector<double> vol(count > 0 ? count : 0);
    for (int i = 0; i < count; ++i) {
        const double lo = i == 0 ? 0.0 : (i - 0.5) * res;
        const double hi = i == count - 1 ? i * res : (i + 0.5) * res;
        vol[i] = std::cos(lo * degToRad) - std::cos(hi * degToRad);
    }
    return vol;
}

const char* EquivalentOrientations(const double euler[3], double out[][3], int* count,
                                   int crystalType, const double lattice[6], int sampleSym) {
    double ops[7][24][3][3];
    int nOps = 0;
    if (!orimath::IsValidCrystalType(crystalType))
        return "Cannot calculate Euler angles";
    Symmdata(ops, &nOps, 1, crystalType, lattice);
    double sam[4][3][3];
    SamSymData(sam);
    const int nSam = sampleSym ? 4 : 1;
    double g[3][3];
    Gmatrix(euler, g);
    int n = 0;
    for (int c = 0; c < nOps; ++c)
        for (int s = 0; s < nSam; ++s) {
            double t[3][3], G[3][3], e[3];
            MulMatrix(ops[crystalType][c], g, t);
            MulMatrix(t, sam[s], G);
            if (!Eulerangle(G, e))
                return "Cannot calculate Euler angles";
            for (int k = 0; k < 3; ++k)
                out[n][k] = e[k] * kRadToDeg;
            ++n;
        }
    *count = n;
    return nullptr;
}

const char* MillerToEuler(const int miller[6], double euler[3], int crystalType,
                          const double lattice[6]) {
    const int h = miller[0], k = miller[1], l = miller[2];
    const int u = miller[3], v = miller[4], w = miller[5];
    if ((h == 0 && k == 0 && l == 0) || (u == 0 && v == 0 && w == 0) || h * u + k * v + l * w != 0)
        return "Invalid data";
    double axis[3][3];
    if (!CrystalAxis(axis, crystalType, lattice))
        return "Such crystal does not exist";
    const double m[6] = {(double)h, (double)k, (double)l, (double)u, (double)v, (double)w};
    double e[3];
    if (!Miller2Euller(m, e, crystalType, lattice))
        return "Cannot calculate Euler angles";
    for (int i = 0; i < 3; ++i)
        euler[i] = e[i];
    return nullptr;
}

const char* EulerToMiller(const double euler[3], double miller[6], int crystalType,
                          const double lattice[6]) {
    if (!Euler2Miller(euler, crystalType, lattice, miller))
        return "Conversion from Euler angles to Miller indices failed";
    return nullptr;
}

const char* PolesOfPlane(const double hkl[3], int crystalType, const double lattice[6],
                         double poles[24][3], int* count, const char* normalText) {
    double normal[3];
    if (!GetPlaneNormal(hkl, crystalType, lattice, normal))
        return normalText;
    int n = 0;
    if (!GetSymmetricPoles(normal, crystalType, lattice, poles, &n) || n < 1 || n > 24)
        return "Can not calculate symmetrical vectors";
    *count = n;
    return nullptr;
}

int Threads() {
    return CurrentTeam();
}

namespace {

std::atomic<long long> gMinParallelWork{1000000};
// Team of the current public call on this thread: 0 outside a call, -1 when
// automatic and not decided yet (decided by the first loop large enough to
// need it).
thread_local int gTeam = 0;
thread_local const platform::CancelToken* gCancel = nullptr;

} // namespace

int CurrentTeam() {
    const int want = omp_get_max_threads();
    if (gTeam == 0)
        return want;
    if (gTeam < 0)
        gTeam = std::clamp(platform::AutomaticThreads(), 1, std::max(1, want));
    return gTeam;
}

RunScope::RunScope(const EngineRunOptions& options)
    : previousTeam_(gTeam), previousCancel_(gCancel) {
    gTeam = options.threads > 0 ? options.threads : -1;
    gCancel = &options.cancel;
}

RunScope::~RunScope() {
    gTeam = previousTeam_;
    gCancel = previousCancel_;
}

const platform::CancelToken* CurrentCancel() {
    return gCancel;
}

long long MinParallelWork() {
    return gMinParallelWork.load(std::memory_order_relaxed);
}

void SetMinParallelWork(long long steps) {
    gMinParallelWork.store(steps);
}

} // namespace odfengine
