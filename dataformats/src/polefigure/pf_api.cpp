// The exported pole figure calls by layout code, over the layout registry.
#include "orimath/arrays.h"
#include "orimath/grid.h"
#include "orimath/ranges.h"
#include "registry/registry_internal.h"

using namespace dataformats;

int Get_PF_File_Type(const std::string& fileName) {
    return ReportedLayoutCode(fileName, FileFamily::PoleFigure);
}

int Get_PF_File_Info(const char* fileName, int type, PFFileInfo* info) {
    const FileLayout* layout = FindLayout(FileFamily::PoleFigure, type);
    if (fileName == nullptr || info == nullptr || layout == nullptr)
        return 0;
    Expected<FileDescription> d = layout->Describe(fileName);
    if (!d)
        return 0;
    // The layouts describe a file by these two fields; the rest of the
    // caller's record stays as it was.
    info->description = std::move(d->pf.description);
    info->resolution = d->pf.resolution;
    return 1;
}

namespace {

// Reads figure `index`; the caller's record takes the description and nA, nB
// the grid size as soon as the description reads, as the readers always did.
double** OpenFigure(const FileLayout& layout, const char* fileName, int index, PFFileInfo* info,
                    int* nA, int* nB) {
    PFFileInfo described;
    described.resolution = 0;
    Expected<FileData> data = ReadPoleFigureFile(layout, fileName, index, &described);
    if (described.resolution > 0) {
        info->description = described.description;
        info->resolution = described.resolution;
        Get_AB_Range_In_Full_PF_Space(nA, nB, info->resolution);
    }
    return data ? orimath::NewTree(data->grid2) : nullptr;
}

} // namespace

double** Open_PF_File(const char* fileName, PFFileInfo* info, int type, int* nA, int* nB) {
    const FileLayout* layout = FindLayout(FileFamily::PoleFigure, type);
    if (fileName == nullptr || info == nullptr || nA == nullptr || nB == nullptr ||
        layout == nullptr)
        return nullptr;
    return OpenFigure(*layout, fileName, 0, info, nA, nB);
}

int Get_UXD_PF_Count(const char* fileName) {
    if (fileName == nullptr)
        return 0;
    Expected<int> n = FindLayout(FileFamily::PoleFigure, 3)->Count(fileName);
    return n ? *n : 0;
}

double** Open_UXD_PF(const char* fileName, int index, PFFileInfo* info, int* nA, int* nB) {
    if (fileName == nullptr || info == nullptr || nA == nullptr || nB == nullptr)
        return nullptr;
    return OpenFigure(*FindLayout(FileFamily::PoleFigure, 3), fileName, index, info, nA, nB);
}
