// The exported ODF calls by layout code, over the layout registry.
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

#include "common/text_util.h"
#include "odf_internal.h"
#include "orimath/constants.h"
#include "orimath/grid.h"
#include "orimath/ranges.h"
#include "registry/registry_internal.h"

using namespace dataformats;

int GetODFFileType(const std::string& fileName) {
    return ReportedLayoutCode(fileName, FileFamily::ODF);
}

int Get_ODF_File_Info(const char* fileName, RawHODFInfo* info, int type) {
    const FileLayout* layout = type >= 0 ? FindLayout(FileFamily::ODF, type) : nullptr;
    return DescribeInto(layout, fileName, &FileDescription::odf, info);
}

double*** Open_ODF_File(const char* fileName, RawHODFInfo* info, int type, int* nPhi1, int* nPhi,
                        int* nPhi2) {
    const FileLayout* layout = type >= 0 ? FindLayout(FileFamily::ODF, type) : nullptr;
    if (fileName == nullptr || info == nullptr || nPhi1 == nullptr || nPhi == nullptr ||
        nPhi2 == nullptr || layout == nullptr)
        return nullptr;
    FileDescription start;
    start.odf = *info;
    Expected<FileData> data = layout->hooks->read(*layout, fileName, 0, start);
    if (!data)
        return nullptr;
    double*** grid = orimath::NewTree(data->grid3);
    if (grid == nullptr)
        return nullptr;
    *info = data->description.odf;
    *nPhi1 = data->grid3.phi1Count();
    *nPhi = data->grid3.PhiCount();
    *nPhi2 = data->grid3.phi2Count();
    return grid;
}

namespace {
// Reads the file with the layout into the full 5 degree grid; the caller's
// record (optional) takes the description when it reads.
int ReadFull(const FileLayout* layout, const char* fileName, RawHODFInfo* info,
             double full[73][37][73]) {
    if (fileName == nullptr || full == nullptr || layout == nullptr)
        return 0;
    FileDescription start;
    if (info)
        start.odf = *info;
    Expected<FileData> data = layout->hooks->read(*layout, fileName, 0, start);
    if (!data)
        return 0;
    const RawHODFInfo& r = data->description.odf;
    if (!odf::IsUsableOdfResolution(r.resolution))
        return 0;
    const auto& g = data->grid3;
    odf::FillFull(g.Tree(), g.phi1Count(), g.PhiCount(), g.phi2Count(), r.crystalType, r.resolution,
                  r.sampleSymmetry, full);
    if (info)
        *info = r;
    return 1;
}
} // namespace

int Open_ODF_File_73x37x73(const char* fileName, RawHODFInfo* info, int type,
                           double full[73][37][73]) {
    return ReadFull(type >= 0 ? FindLayout(FileFamily::ODF, type) : nullptr, fileName, info, full);
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
    // Any other file is read as the TTO text, whose layout the detection
    // does not report.
    return ReadFull(FindLayout("tto"), fileName, info, full);
}

int OpenODF(RawHODFInfo* info, double full[73][37][73]) {
    if (info == nullptr)
        return 0;
    char path[sizeof info->path] = {}; // no stack bytes after the name reach the record
    CopyBounded(path, sizeof path, BoundedView(info->path, sizeof info->path));
    return OpenALLODF(path, info, full);
}
