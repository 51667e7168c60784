// Second-generation HODF text: the whole header on one comma-separated line,
// then per phi2 section a line "FI2 = <angle>" and nPhi rows of nPhi1 values.
#include <cstring>
#include <initializer_list>
#include <string>
#include <type_traits>
#include <vector>

#include "common/text_util.h"
#include "common/text_writer.h"
#include "odf_internal.h"
#include "orimath/arrays.h"
#include "orimath/constants.h"

namespace dataformats::odf {
namespace {

constexpr const char* kTitle2 =
    "Text Format of ODF File (Arbitrary Resolution) 2HXNP23ZH (by Corvan),";

// Reads exactly `count` numbers of a field; false otherwise.
template <typename T> bool Numbers(std::string_view field, std::initializer_list<T*> out) {
    TextStream t{std::string(field)};
    for (T* p : out) {
        double v;
        if (t.ScanDouble(&v) != kConverted)
            return false;
        if constexpr (std::is_same_v<T, double>)
            *p = v;
        else {
            if (!(v >= -2147483648.0 && v <= 2147483647.0) || v != static_cast<T>(v))
                return false;
            *p = static_cast<T>(v);
        }
    }
    return true;
}

} // namespace

bool ParseHODF2Header(TextStream& t, RawHODFInfo* info, int* n1, int* n, int* n2) {
    t.Rewind();
    std::string_view line;
    if (!t.GetLineCut(&line, 16384))
        return false;
    std::vector<std::string_view> f;
    std::size_t start = 0;
    for (;;) {
        std::size_t comma = line.find(',', start);
        f.push_back(line.substr(start, comma == line.npos ? line.npos : comma - start));
        if (comma == line.npos)
            break;
        start = comma + 1;
    }
    if (f.size() < 12)
        return false;
    int32_t c[3];
    if (!Numbers<int32_t>(f[1], {&c[0], &c[1], &c[2]}))
        return false;
    if (!Numbers<int32_t>(f[2], {&info->crystalType}) ||
        !orimath::IsValidCrystalType(info->crystalType))
        return false;
    double* L = info->lattice;
    if (!Numbers<double>(f[3], {&L[0], &L[1], &L[2], &L[3], &L[4], &L[5]}))
        return false;
    int32_t nPF;
    if (!Numbers<int32_t>(f[4], {&nPF}) || nPF < 0 || nPF > 6)
        return false;
    if (f.size() < 12u + 2u * nPF)
        return false;
    info->nPF = nPF;
    std::size_t at = 5;
    for (int i = 0; i < nPF; ++i)
        CopyBounded(info->pfNames[i], sizeof info->pfNames[i], f[at++]);
    for (int i = 0; i < nPF; ++i) {
        double* h = info->hkl[i];
        if (!Numbers<double>(f[at++], {&h[0], &h[1], &h[2]}))
            return false;
    }
    if (!Numbers<int32_t>(f[at++], {&info->normalized}) ||
        !Numbers<double>(f[at++], {&info->resolution}) ||
        !Numbers<int32_t>(f[at++], {&info->sampleSymmetry}) ||
        !Numbers<int32_t>(f[at++], {&info->fibreAverage}) ||
        !Numbers<int32_t>(f[at++], {&info->stopMode}) ||
        !Numbers<int32_t>(f[at++], {&info->maxLoops, &info->iterations}) ||
        !Numbers<double>(f[at++], {&info->tolerance, &info->deviation}))
        return false;
    if (!IsUsableOdfResolution(info->resolution))
        return false;
    *n1 = c[0];
    *n = c[1];
    *n2 = c[2];
    return true;
}

bool ReadHODF2Data(TextStream& t, int n1, int n, int n2, orimath::Grid3<double>* out) {
    orimath::Grid3<double> grid;
    if (!NewGridFor(t, n1, n, n2, &grid))
        return false;
    for (int k = 0; k < n2; ++k) {
        t.SkipSpace();
        const std::size_t at = t.Position();
        std::string_view line;
        bool ok = (t.GetLine(&line) && line.substr(0, 3) == "FI2") ||
                  (t.Seek(at), SectionFailed(t, k, -1, 0));
        for (int v = 0; ok && v < n * n1; ++v) {
            float value;
            ok = t.ScanFloat(&value) == kConverted || SectionFailed(t, k, v, n * n1);
            if (ok)
                grid[k][v / n1][v % n1] = value;
        }
        if (!ok)
            return false;
    }
    *out = std::move(grid);
    return true;
}

} // namespace dataformats::odf

using namespace dataformats;

int Save_ODF_File2(const char* fileName, double*** grid, RawHODFInfo* info, int nPhi1, int nPhi,
                   int nPhi2) {
    if (fileName == nullptr || grid == nullptr || info == nullptr || nPhi1 < 1 || nPhi < 1 ||
        nPhi2 < 1 || info->nPF < 0 || info->nPF > 6)
        return 0;
    TextBuffer out;
    out.Reserve(static_cast<std::size_t>(nPhi1) * nPhi * nPhi2 * 6 + 4096);
    out.Put(odf::kTitle2);
    const double* L = info->lattice;
    out.Format("%d %d %d,%d,%.2f %.2f %.2f %.2f %.2f %.2f,%d,", nPhi1, nPhi, nPhi2,
               info->crystalType, L[0], L[1], L[2], L[3], L[4], L[5], info->nPF);
    for (int i = 0; i < info->nPF; ++i) {
        // Commas and line ends would split the one-line header.
        std::string name(CutAtLineEnd(BoundedView(info->pfNames[i], 256)));
        for (char& ch : name)
            if (ch == ',')
                ch = ';';
        out.Put(name).Put(',');
    }
    for (int i = 0; i < info->nPF; ++i)
        out.Format("%.0f %.0f %.0f ,", info->hkl[i][0], info->hkl[i][1], info->hkl[i][2]);
    out.Format("%d,%.2f,%d,%d,%d,%d %d,%.4f %.4f\n", info->normalized, info->resolution,
               info->sampleSymmetry, info->fibreAverage, info->stopMode, info->maxLoops,
               info->iterations, info->tolerance, info->deviation);
    const double res = info->resolution;
    odf::PutSections(out, grid, nPhi1, nPhi, nPhi2, 2, [res](TextBuffer& b, int k) {
        b.Put("FI2 = ").Int(static_cast<long long>(k * res)).Put('\n');
    });
    return WriteFileAtomically(fileName, out.Text(), WriteMessage::kNone);
}
