// ODF layout detection, description and reading by layout code.
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

#include "common/text_util.h"
#include "odf_internal.h"
#include "orimath/arrays.h"
#include "orimath/constants.h"
#include "orimath/ranges.h"

using namespace dataformats;

namespace {

// The file's text, loaded on first use.
class LazyText {
  public:
    explicit LazyText(const char* path) : path_(path) {}
    TextStream* Get() {
        if (!tried_) {
            tried_ = true;
            ok_ = text_.Open(path_);
        }
        return ok_ ? &text_ : nullptr;
    }

  private:
    const char* path_;
    TextStream text_;
    bool tried_ = false, ok_ = false;
};

// The fixed 5 degree layouts carry no resolution, fibre or sample-symmetry
// fields; the layout decides them.
void SetFiveDegreeFields(RawHODFInfo* r, int sampleSymmetry) {
    r->resolution = 5.0;
    r->fibreAverage = 0;
    r->sampleSymmetry = sampleSymmetry;
}

bool Test(int code, const char* path, LazyText& lazy) {
    RawHODFInfo r{};
    int n1, n, n2, lines;
    if (code == 0)
        return odf::IsTODF(path);
    TextStream* t = lazy.Get();
    if (t == nullptr)
        return false;
    switch (code) {
    case 1:
        return odf::IsCubic(*t);
    case 2:
        return odf::ParseHODF1Header(*t, &r, &n1, &n, &n2) &&
               orimath::IsValidCrystalType(r.crystalType);
    case 3:
        return odf::ParseFGTHeader(*t, &r, &n1, &n, &n2, &lines) && r.nPF >= 1 && r.nPF <= 6;
    case 4:
        return odf::ParseHODF2Header(*t, &r, &n1, &n, &n2) &&
               orimath::IsValidCrystalType(r.crystalType);
    default:
        return false;
    }
}

} // namespace

int GetODFFileType(const std::string& fileName) {
    const char* path = fileName.c_str();
    LazyText lazy(path);
    if (EndsWithNoCase(fileName, "HODF")) {
        if (Test(2, path, lazy))
            return 2;
        if (Test(4, path, lazy))
            return 4;
    } else if (EndsWithNoCase(fileName, "TODF")) {
        if (Test(0, path, lazy))
            return 0;
    } else if (EndsWithNoCase(fileName, "FGT")) {
        if (Test(3, path, lazy))
            return 3;
    } else if (Test(1, path, lazy)) {
        return 1;
    }
    for (int code : {2, 0, 1})
        if (Test(code, path, lazy))
            return code;
    return -1;
}

int Get_ODF_File_Info(const char* fileName, RawHODFInfo* info, int type) {
    if (fileName == nullptr || info == nullptr)
        return 0;
    RawHODFInfo r = *info;
    odf::SetPath(&r, fileName);
    int n1, n, n2, lines;
    TextStream t;
    switch (type) {
    case 0: {
        RawHODFInfo header;
        if (!odf::ReadTODFHeader(fileName, &header) ||
            !orimath::IsValidCrystalType(header.crystalType))
            return 0;
        std::memcpy(&r, &header, kTODFHeaderBytes);
        odf::SetPath(&r, fileName);
        SetFiveDegreeFields(&r, 0);
        break;
    }
    case 1:
        odf::CubicInfo(&r);
        SetFiveDegreeFields(&r, 1);
        break;
    case 2:
        if (!t.Open(fileName) || !odf::ParseHODF1Header(t, &r, &n1, &n, &n2))
            return 0;
        break;
    case 3:
        if (!t.Open(fileName) || !odf::ParseFGTHeader(t, &r, &n1, &n, &n2, &lines))
            return 0;
        break;
    case 4:
        if (!t.Open(fileName) || !odf::ParseHODF2Header(t, &r, &n1, &n, &n2))
            return 0;
        break;
    default:
        return 0;
    }
    *info = r;
    return 1;
}

double*** Open_ODF_File(const char* fileName, RawHODFInfo* info, int type, int* nPhi1, int* nPhi,
                        int* nPhi2) {
    if (fileName == nullptr || info == nullptr || nPhi1 == nullptr || nPhi == nullptr ||
        nPhi2 == nullptr)
        return nullptr;
    RawHODFInfo r = *info;
    int n1 = 0, n = 0, n2 = 0, lines = 0;
    double*** grid = nullptr;
    TextStream t;
    switch (type) {
    case 0: {
        std::vector<double> full;
        if (!odf::ReadTODF(fileName, &r, &full))
            return nullptr;
        SetFiveDegreeFields(&r, 0);
        GetEulerRangeInODFSpace(&n1, &n, &n2, r.crystalType, 5.0, 0);
        n1 = std::min(n1, 73);
        n = std::min(n, 37);
        n2 = std::min(n2, 73);
        grid = AllocMem3D(n2, n, n1);
        if (grid == nullptr)
            return nullptr;
        for (int k = 0; k < n2; ++k)
            for (int j = 0; j < n; ++j)
                std::memcpy(grid[k][j], full.data() + (static_cast<std::size_t>(k) * 37 + j) * 73,
                            n1 * sizeof(double));
        break;
    }
    case 1:
        if (!t.Open(fileName))
            return nullptr;
        n1 = n = n2 = 19;
        grid = AllocMem3D(19, 19, 19);
        if (grid == nullptr)
            return nullptr;
        if (!odf::ReadCubic(t, grid)) {
            FreeMem3D(grid, 19, 19, 19);
            return nullptr;
        }
        odf::CubicInfo(&r);
        SetFiveDegreeFields(&r, 1);
        break;
    case 2:
        if (!t.Open(fileName) || !odf::ParseHODF1Header(t, &r, &n1, &n, &n2))
            return nullptr;
        grid = odf::ReadHODF1Data(t, n1, n, n2);
        break;
    case 3:
        if (!t.Open(fileName) || !odf::ParseFGTHeader(t, &r, &n1, &n, &n2, &lines))
            return nullptr;
        grid = odf::ReadFGTData(t, lines, n1, n, n2);
        break;
    case 4:
        if (!t.Open(fileName) || !odf::ParseHODF2Header(t, &r, &n1, &n, &n2))
            return nullptr;
        grid = odf::ReadHODF2Data(t, n1, n, n2);
        break;
    default:
        return nullptr;
    }
    if (grid == nullptr)
        return nullptr;
    odf::SetPath(&r, fileName);
    *info = r;
    *nPhi1 = n1;
    *nPhi = n;
    *nPhi2 = n2;
    return grid;
}

int Open_ODF_File_73x37x73(const char* fileName, RawHODFInfo* info, int type,
                           double full[73][37][73]) {
    if (full == nullptr)
        return 0;
    RawHODFInfo r = info ? *info : RawHODFInfo{};
    int n1, n, n2;
    double*** grid = Open_ODF_File(fileName, &r, type, &n1, &n, &n2);
    if (grid == nullptr)
        return 0;
    if (!odf::IsUsableOdfResolution(r.resolution)) {
        FreeMem3D(grid, n2, n, n1);
        return 0;
    }
    odf::FillFull(grid, n1, n, n2, r.crystalType, r.resolution, r.sampleSymmetry, full);
    FreeMem3D(grid, n2, n, n1);
    if (info)
        *info = r;
    return 1;
}

int OpenALLODF(const char* fileName, RawHODFInfo* info, double full[73][37][73]) {
    if (fileName == nullptr || info == nullptr || full == nullptr)
        return 0;
    std::string_view name(fileName);
    if (EndsWithNoCase(name, "TODF") || EndsWithNoCase(name, "SEDF"))
        return Open_ODF_File_73x37x73(fileName, info, 0, full);
    if (EndsWithNoCase(name, "HODF"))
        return Open_ODF_File_73x37x73(fileName, info, 2, full) ||
               Open_ODF_File_73x37x73(fileName, info, 4, full);
    if (!EndsWithNoCase(name, "TTO")) {
        int type = GetODFFileType(fileName);
        if (type >= 0)
            return Open_ODF_File_73x37x73(fileName, info, type, full);
    }
    // TTO: a 5-degree grid; four-fold sample symmetry when the grid is the
    // region that symmetry gives for the crystal.
    RawHODFInfo r = *info;
    odf::SetPath(&r, fileName);
    int n1, n, n2;
    double*** grid = OpenTTOFile(&r, &n1, &n, &n2);
    if (grid == nullptr)
        return 0;
    int s1, s, s2;
    GetEulerRangeInODFSpace(&s1, &s, &s2, r.crystalType, 5.0, 1);
    r.sampleSymmetry = (n1 == s1 && n == s && n2 == s2) ? 1 : 0;
    r.fibreAverage = 0;
    odf::FillFull(grid, n1, n, n2, r.crystalType, 5.0, r.sampleSymmetry, full);
    FreeMem3D(grid, n2, n, n1);
    *info = r;
    return 1;
}

int OpenODF(RawHODFInfo* info, double full[73][37][73]) {
    if (info == nullptr)
        return 0;
    char path[sizeof info->path];
    CopyBounded(path, sizeof path, BoundedView(info->path, sizeof info->path));
    return OpenALLODF(path, info, full);
}
