// First-generation HODF text: a header of one field per line, then per phi2
// section its angle and nPhi rows of nPhi1 values.
#include <cmath>
#include <cstring>

#include "common/text_util.h"
#include "common/text_writer.h"
#include "odf_internal.h"
#include "orimath/arrays.h"
#include "orimath/constants.h"

namespace dataformats::odf {
namespace {

constexpr const char* kTitle1 =
    "Text Format of ODF File (Arbitrary Resolution) 1HXNP23ZH (by Corvan)";

bool Int(TextStream& t, int32_t* v) {
    int x;
    if (t.ScanInt(&x) != kConverted)
        return false;
    *v = x;
    return true;
}
bool Real(TextStream& t, double* v) {
    return t.ScanDouble(v) == kConverted;
}

} // namespace

bool ParseHODF1Header(TextStream& t, RawHODFInfo* info, int* n1, int* n, int* n2) {
    t.Rewind();
    std::string_view line;
    if (!t.GetLine(&line))
        return false;
    int c1, c, c2;
    if (t.ScanInt(&c1) != kConverted || t.ScanInt(&c) != kConverted || t.ScanInt(&c2) != kConverted)
        return false;
    // Callers index symmetry tables by the crystal code.
    if (!Int(t, &info->crystalType) || !orimath::IsValidCrystalType(info->crystalType))
        return false;
    for (double& v : info->lattice)
        if (!Real(t, &v))
            return false;
    int nPF;
    if (t.ScanInt(&nPF) != kConverted)
        return false;
    // The count sizes fixed six-slot arrays: checked before any is filled.
    if (nPF < 0 || nPF > 6)
        return false;
    info->nPF = nPF;
    if (!t.GetLine(&line))
        return false; // rest of the count's line
    for (int i = 0; i < nPF; ++i) {
        if (!t.GetLine(&line, 256))
            return false;
        CopyBounded(info->pfNames[i], sizeof info->pfNames[i], CutAtLineEnd(line));
    }
    for (int i = 0; i < nPF; ++i)
        for (double& v : info->hkl[i])
            if (!Real(t, &v))
                return false;
    if (!Int(t, &info->normalized) || !Real(t, &info->resolution) ||
        !Int(t, &info->sampleSymmetry) || !Int(t, &info->fibreAverage) ||
        !Int(t, &info->stopMode) || !Int(t, &info->maxLoops) || !Int(t, &info->iterations) ||
        !Real(t, &info->tolerance) || !Real(t, &info->deviation))
        return false;
    if (!IsUsableOdfResolution(info->resolution))
        return false;
    *n1 = c1;
    *n = c;
    *n2 = c2;
    return true;
}

// Reads the values after the header: per section one angle ("%f"), then
// nPhi x nPhi1 values ("%lf").
bool ReadHODF1Data(TextStream& t, int n1, int n, int n2, orimath::Grid3<double>* out) {
    orimath::Grid3<double> grid;
    if (!NewGridFor(t, n1, n, n2, &grid))
        return false;
    for (int k = 0; k < n2; ++k) {
        float angle;
        bool ok = t.ScanFloat(&angle) == kConverted || SectionFailed(t, k, -1, n * n1);
        for (int v = 0; ok && v < n * n1; ++v)
            ok = t.ScanDouble(&grid[k][v / n1][v % n1]) == kConverted ||
                 SectionFailed(t, k, v, n * n1);
        if (!ok)
            return false;
    }
    *out = std::move(grid);
    return true;
}

} // namespace dataformats::odf

using namespace dataformats;

namespace {

struct HodfOut {
    double* lattice;
    int *crystal, *nPF;
    double (*hkl)[3];
    char (*names)[256];
    int* normalized;
    double* resolution;
    int *sampleSymmetry, *fibreAverage, *stopMode;
    double* tolerance;
    int* maxLoops;
    double* deviation;
    int *iterations, *n1, *n, *n2;
};

bool AllSet(const HodfOut& o) {
    return o.lattice && o.crystal && o.nPF && o.hkl && o.names && o.normalized && o.resolution &&
           o.sampleSymmetry && o.fibreAverage && o.stopMode && o.tolerance && o.maxLoops &&
           o.deviation && o.iterations && o.n1 && o.n && o.n2;
}

void Unpack(const RawHODFInfo& r, int n1, int n, int n2, const HodfOut& o) {
    std::memcpy(o.lattice, r.lattice, sizeof r.lattice);
    *o.crystal = r.crystalType;
    *o.nPF = r.nPF;
    for (int i = 0; i < r.nPF; ++i) {
        std::memcpy(o.hkl[i], r.hkl[i], sizeof r.hkl[i]);
        std::memcpy(o.names[i], r.pfNames[i], sizeof r.pfNames[i]);
    }
    *o.normalized = r.normalized;
    *o.resolution = r.resolution;
    *o.sampleSymmetry = r.sampleSymmetry;
    *o.fibreAverage = r.fibreAverage;
    *o.stopMode = r.stopMode;
    *o.tolerance = r.tolerance;
    *o.maxLoops = r.maxLoops;
    *o.deviation = r.deviation;
    *o.iterations = r.iterations;
    *o.n1 = n1;
    *o.n = n;
    *o.n2 = n2;
}

// Reads the header of the file and, when `grid` is given, its values; the
// outputs are filled only when everything read.
bool ReadHODF(const char* path, const HodfOut& o, orimath::Grid3<double>* grid) {
    if (path == nullptr || !AllSet(o))
        return false;
    TextStream t;
    if (!t.Open(path))
        return false;
    RawHODFInfo r{};
    int n1, n, n2;
    if (!odf::ParseHODF1Header(t, &r, &n1, &n, &n2))
        return false;
    if (grid != nullptr && !odf::ReadHODF1Data(t, n1, n, n2, grid))
        return false;
    Unpack(r, n1, n, n2, o);
    return true;
}

} // namespace

int GetHODFInfo(const char* path, double lattice[6], int* crystal, int* nPF, double hkl[][3],
                char names[][256], int* normalized, double* resolution, int* sampleSymmetry,
                int* fibreAverage, int* stopMode, double* tolerance, int* maxLoops,
                double* deviation, int* iterations, int* nPhi1, int* nPhi, int* nPhi2) {
    HodfOut o{lattice,    crystal,        nPF,          hkl,      names,     normalized,
              resolution, sampleSymmetry, fibreAverage, stopMode, tolerance, maxLoops,
              deviation,  iterations,     nPhi1,        nPhi,     nPhi2};
    return ReadHODF(path, o, nullptr) ? 1 : 0;
}

double*** OpenHODF(const char* path, double lattice[6], int* crystal, int* nPF, double hkl[][3],
                   char names[][256], int* normalized, double* resolution, int* sampleSymmetry,
                   int* fibreAverage, int* stopMode, double* tolerance, int* maxLoops,
                   double* deviation, int* iterations, int* nPhi1, int* nPhi, int* nPhi2) {
    HodfOut o{lattice,    crystal,        nPF,          hkl,      names,     normalized,
              resolution, sampleSymmetry, fibreAverage, stopMode, tolerance, maxLoops,
              deviation,  iterations,     nPhi1,        nPhi,     nPhi2};
    orimath::Grid3<double> grid;
    return ReadHODF(path, o, &grid) ? orimath::NewTree(grid) : nullptr;
}

int SaveHODF(const char* fileName, double*** grid, int nPhi1, int nPhi, int nPhi2, int crystal,
             const double lattice[6], int nPF, const char names[][256], const double hkl[][3],
             int normalized, double resolution, int sampleSymmetry, int fibreAverage, int stopMode,
             int maxLoops, int iterations, double tolerance, double deviation) {
    if (fileName == nullptr || grid == nullptr || lattice == nullptr || nPhi1 < 1 || nPhi < 1 ||
        nPhi2 < 1 || nPF < 0 || nPF > 6 || (nPF > 0 && (names == nullptr || hkl == nullptr)))
        return 0;
    TextBuffer out;
    out.Reserve(static_cast<std::size_t>(nPhi1) * nPhi * nPhi2 * 8 + 4096);
    out.Put(odf::kTitle1).Put('\n');
    out.Format("%d\t%d\t%d\n%d\n", nPhi1, nPhi, nPhi2, crystal);
    out.Format("%.2f\t%.2f\t%.2f\t%.2f\t%.2f\t%.2f\n", lattice[0], lattice[1], lattice[2],
               lattice[3], lattice[4], lattice[5]);
    out.Format("%d\n", nPF);
    for (int i = 0; i < nPF; ++i)
        out.Put(CutAtLineEnd(BoundedView(names[i], 256))).Put('\n');
    for (int i = 0; i < nPF; ++i)
        out.Format("%.0f\t%.0f\t%.0f\t\n", hkl[i][0], hkl[i][1], hkl[i][2]);
    out.Format("%d\n%.2f\n%d\n%d\n%d\n%d\t%d\n%.4f\t%.4f\n", normalized, resolution, sampleSymmetry,
               fibreAverage, stopMode, maxLoops, iterations, tolerance, deviation);
    odf::PutSections(out, grid, nPhi1, nPhi, nPhi2, 4,
                     [resolution](TextBuffer& b, int k) { b.Fixed(k * resolution, 1).Put('\n'); });
    return WriteFileAtomically(fileName, out.Text(), WriteMessage::kNone);
}

int Save_ODF_File(const char* fileName, double*** grid, RawHODFInfo* info, int nPhi1, int nPhi,
                  int nPhi2) {
    if (info == nullptr)
        return 0;
    return SaveHODF(fileName, grid, nPhi1, nPhi, nPhi2, info->crystalType, info->lattice, info->nPF,
                    info->pfNames, info->hkl, info->normalized, info->resolution,
                    info->sampleSymmetry, info->fibreAverage, info->stopMode, info->maxLoops,
                    info->iterations, info->tolerance, info->deviation);
}
