// Pole figure layout detection, description and reading by layout code.
#include "common/text_util.h"
#include "orimath/arrays.h"
#include "orimath/ranges.h"
#include "pf_internal.h"

using namespace dataformats;

int Get_PF_File_Type(const std::string& fileName) {
    TextStream text;
    if (!text.Open(fileName.c_str()))
        return -1;
    if (pf::IsPolCon(text))
        return 2;
    if (pf::IsPairs(text))
        return 8;
    if (pf::IsRings(text))
        return 7;
    if (pf::IsODFInput(text))
        return 5;
    if (pf::IsInterval(text))
        return 6;
    if (pf::IsKeyword(text))
        return 4;
    int own = -1;
    // A layout-0 file holds exactly one full grid of values.
    if (pf::IsOwnText(text, &own) && (own == 1 || pf::IsFullGridCount(text)))
        return own;
    // UXD is known by the extension of the file name (a dot in a folder name
    // does not count).
    if (EqualsNoCase(FileExtension(fileName), "uxd"))
        return 3;
    return -1;
}

namespace {

int InfoFromText(TextStream& text, const char* fileName, int type, PFFileInfo* info) {
    switch (type) {
    case 0:
        return pf::InfoOwnText0(text, info);
    case 1:
        return pf::InfoOwnText1(text, info);
    case 2:
        return pf::InfoPolCon(info);
    case 3:
        return pf::InfoUXD(text, 0, info);
    case 4:
        return pf::InfoKeyword(text, info);
    case 5:
        return pf::InfoODFInput(info);
    case 6:
        return pf::InfoInterval(text, fileName, info);
    case 7:
        return pf::InfoRings(text, info);
    case 8:
        return pf::InfoPairs(text, fileName, info);
    default:
        return 0;
    }
}

int ReadFromText(TextStream& text, int type, PFFileInfo* info, double** grid, int nA, int nB) {
    char scratch[pf::kDescriptionSize];
    switch (type) {
    case 0:
    case 1:
        return pf::ReadOwnText(text, scratch, grid, nA, nB);
    case 2:
        return pf::ReadPolCon(text, scratch, grid);
    case 3:
        return pf::ReadUXD(text, 0, scratch, grid, nA, nB);
    case 4:
        return pf::ReadKeyword(text, info, grid, nA, nB);
    case 5:
        return pf::ReadODFInput(text, grid, nA, nB);
    case 6:
        return pf::ReadInterval(text, info, grid, nA, nB);
    case 7:
        return pf::ReadRings(text, grid, nA, nB);
    case 8:
        return pf::ReadPairs(text, info, grid, nA, nB);
    default:
        return 0;
    }
}

} // namespace

int Get_PF_File_Info(const char* fileName, int type, PFFileInfo* info) {
    if (fileName == nullptr || info == nullptr || type < 0 || type > 8)
        return 0;
    TextStream text;
    if (!text.Open(fileName))
        return 0;
    PFFileInfo out = *info;
    if (!InfoFromText(text, fileName, type, &out) || !pf::IsUsableResolution(out.resolution))
        return 0;
    *info = std::move(out);
    return 1;
}

double** Open_PF_File(const char* fileName, PFFileInfo* info, int type, int* nA, int* nB) {
    if (fileName == nullptr || info == nullptr || nA == nullptr || nB == nullptr)
        return nullptr;
    if (type < 0 || type > 8)
        return nullptr;
    TextStream text;
    if (!text.Open(fileName))
        return nullptr;
    PFFileInfo out = *info;
    if (!InfoFromText(text, fileName, type, &out) || !pf::IsUsableResolution(out.resolution))
        return nullptr;
    *info = out;
    Get_AB_Range_In_Full_PF_Space(nA, nB, info->resolution);
    if (*nA < 2 || *nB < 2)
        return nullptr;
    if (type == 2 && (*nA != 19 || *nB != 73))
        return nullptr;
    // Layouts that read a value for (nearly) every grid point cannot be
    // filled by a text shorter than two characters per value.
    const bool everyPoint =
        type == 0 || type == 1 || type == 5 || (type == 3 && pf::IsCountsUXD(text));
    if (everyPoint &&
        static_cast<long long>(*nA) * (*nB - 1) > static_cast<long long>(text.Size() / 2 + 1))
        return nullptr;
    double** grid = AllocMem2D(*nA, *nB);
    if (grid == nullptr)
        return nullptr;
    if (!ReadFromText(text, type, &out, grid, *nA, *nB)) {
        FreeMem2D(grid, *nA, *nB);
        return nullptr;
    }
    return grid;
}
