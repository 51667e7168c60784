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
    return ReportedLayoutCode(fileName, FileFamily::InversePoleFigure);
}

int Get_IPF_File_Info(const char* fileName, int type, IPFFileInfo* info) {
    return DescribeInto(Layout(type), fileName, &FileDescription::ipf, info);
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
