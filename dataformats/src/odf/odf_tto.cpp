// TTO: 5-degree ODF text with a header of one field per line.
#include <cstring>

#include "common/text_util.h"
#include "common/text_writer.h"
#include "odf_internal.h"
#include "orimath/arrays.h"

using namespace dataformats;

namespace {
constexpr const char* kTitle = "Text ODF Format 1HXNP23ZH (by Corvan)";

bool Int(TextStream& t, int32_t* v) {
    int x;
    if (t.ScanInt(&x) != kConverted)
        return false;
    *v = x;
    return true;
}
} // namespace

int SaveTTOFile(RawHODFInfo* info, double*** grid, int nPhi1, int nPhi, int nPhi2) {
    if (info == nullptr || grid == nullptr || nPhi1 < 1 || nPhi < 1 || nPhi2 < 1 || info->nPF < 0 ||
        info->nPF > 6)
        return 0;
    TextBuffer out;
    out.Reserve(static_cast<std::size_t>(nPhi1) * nPhi * nPhi2 * 8 + 4096);
    out.Put(kTitle).Put('\n');
    const double* L = info->lattice;
    out.Format("%d\t%d\t%d\n%d\n%.2f\t%.2f\t%.2f\t%.2f\t%.2f\t%.2f\n%d\n", nPhi1, nPhi, nPhi2,
               info->crystalType, L[0], L[1], L[2], L[3], L[4], L[5], info->nPF);
    for (int i = 0; i < info->nPF; ++i)
        out.Put(CutAtLineEnd(BoundedView(info->pfNames[i], 256))).Put('\n');
    for (int i = 0; i < info->nPF; ++i)
        out.Format("%.0f\t%.0f\t%.0f\t\n", info->hkl[i][0], info->hkl[i][1], info->hkl[i][2]);
    out.Format("%d\n%d\n%d\t%d\n%.4f\t%.4f\n", info->normalized, info->stopMode, info->maxLoops,
               info->iterations, info->tolerance, info->deviation);
    odf::PutSections(out, grid, nPhi1, nPhi, nPhi2, 4,
                     [](TextBuffer& b, int k) { b.Int(5LL * k).Put('\n'); });
    char path[sizeof info->path] = {}; // no stack bytes after the name reach the record
    CopyBounded(path, sizeof path, BoundedView(info->path, sizeof info->path));
    return WriteFileAtomically(path, out.Text(), WriteMessage::kNone);
}

namespace dataformats::odf {

bool IsTTO(TextStream& t) {
    t.Rewind();
    std::string_view line;
    return t.GetLine(&line) && line.substr(0, 37) == kTitle;
}

bool ReadTTO(TextStream& t, RawHODFInfo* info, orimath::Grid3<double>* out) {
    if (!IsTTO(t))
        return t.FailAtLine(1, "no TTO title line");
    std::string_view line;
    RawHODFInfo r = *info;
    int n1, n, n2;
    if (t.ScanInt(&n1) != kConverted || t.ScanInt(&n) != kConverted || t.ScanInt(&n2) != kConverted)
        return t.Fail("expected the three grid counts");
    // A 5-degree grid: at most 73 x 37 x 73.
    if (n1 < 1 || n < 1 || n2 < 1 || n1 > 73 || n > 37 || n2 > 73)
        return t.Fail("grid counts beyond the 5 degree grid (73 x 37 x 73)");
    if (!Int(t, &r.crystalType))
        return t.Fail("expected the crystal system code");
    for (double& v : r.lattice)
        if (t.ScanDouble(&v) != kConverted)
            return t.Fail("expected six lattice parameters");
    int nPF;
    if (t.ScanInt(&nPF) != kConverted || nPF < 0 || nPF > 6)
        return t.Fail("expected a pole figure count of 0 to 6");
    r.nPF = nPF;
    if (!t.GetLine(&line))
        return t.Fail("the header ends early");
    for (int i = 0; i < nPF; ++i) {
        if (!t.GetLine(&line, 256))
            return t.Fail("the header ends early");
        CopyBounded(r.pfNames[i], sizeof r.pfNames[i], CutAtLineEnd(line));
    }
    for (int i = 0; i < nPF; ++i)
        for (double& v : r.hkl[i])
            if (t.ScanDouble(&v) != kConverted)
                return t.Fail("expected Miller indices");
    if (!Int(t, &r.normalized) || !Int(t, &r.stopMode) || !Int(t, &r.maxLoops) ||
        !Int(t, &r.iterations) || t.ScanDouble(&r.tolerance) != kConverted ||
        t.ScanDouble(&r.deviation) != kConverted)
        return t.Fail("the header ends early");
    orimath::Grid3<double> grid;
    if (!NewGridFor(t, n1, n, n2, &grid))
        return false;
    for (int k = 0; k < n2; ++k) {
        int angle;
        bool ok = t.ScanInt(&angle) == kConverted || odf::SectionFailed(t, k, -1, n * n1);
        for (int v = 0; ok && v < n * n1; ++v)
            ok = t.ScanDouble(&grid[k][v / n1][v % n1]) == kConverted ||
                 odf::SectionFailed(t, k, v, n * n1);
        if (!ok)
            return false;
    }
    r.resolution = 5.0;
    *info = r;
    *out = std::move(grid);
    return true;
}

} // namespace dataformats::odf

double*** OpenTTOFile(RawHODFInfo* info, int* nPhi1, int* nPhi, int* nPhi2) {
    if (info == nullptr || nPhi1 == nullptr || nPhi == nullptr || nPhi2 == nullptr)
        return nullptr;
    char path[sizeof info->path] = {}; // no stack bytes after the name reach the record
    CopyBounded(path, sizeof path, BoundedView(info->path, sizeof info->path));
    TextStream t;
    if (!t.Open(path))
        return nullptr;
    orimath::Grid3<double> grid;
    if (!odf::ReadTTO(t, info, &grid))
        return nullptr;
    double*** tree = orimath::NewTree(grid);
    if (tree == nullptr)
        return nullptr;
    std::memcpy(info->path, path, sizeof path);
    *nPhi1 = grid.phi1Count();
    *nPhi = grid.PhiCount();
    *nPhi2 = grid.phi2Count();
    return tree;
}
