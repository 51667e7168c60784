// The exported inverse pole figure detection and reading, over the layout
// registry.
#include "orimath/arrays.h"
#include "orimath/grid.h"
#include "orimath/ranges.h"
#include "registry/registry_internal.h"

using namespace dataformats;

namespace {
const FileLayout* Layout(int type) {
    return type >= 0 ? FindLayout(FileFamily::InversePoleFigure, type) : nullptr;
}
} // namespace

int Get_IPF_File_Type(const std::string& fileName) {
    FileProbe probe(fileName);
    const FileLayout* layout = DetectReportedLayout(probe, FileFamily::InversePoleFigure);
    return layout ? layout->code : -1;
}

int Get_IPF_File_Info(const char* fileName, int type, IPFFileInfo* info) {
    const FileLayout* layout = Layout(type);
    if (fileName == nullptr || info == nullptr || layout == nullptr)
        return 0;
    FileDescription start;
    start.ipf = *info;
    Expected<FileDescription> d = layout->hooks->describe(*layout, fileName, 0, start);
    if (!d)
        return 0;
    *info = std::move(d->ipf);
    return 1;
}

double** Open_IPF_File(const char* fileName, IPFFileInfo* info, int type, int* nA, int* nB) {
    const FileLayout* layout = Layout(type);
    if (fileName == nullptr || info == nullptr || nA == nullptr || nB == nullptr ||
        layout == nullptr)
        return nullptr;
    // The record takes the header even when the values then fail to read.
    if (!Get_IPF_File_Info(fileName, type, info))
        return nullptr;
    Get_AB_Range_In_Full_PF_Space(nA, nB, info->resolution);
    FileDescription start;
    start.ipf = *info;
    Expected<FileData> data = layout->hooks->read(*layout, fileName, 0, start);
    return data ? orimath::NewTree(data->grid2) : nullptr;
}
