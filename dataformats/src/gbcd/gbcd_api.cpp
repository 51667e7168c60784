// The exported GBCD detection and reading, over the layout registry.
#include "gbcd_internal.h"
#include "registry/registry_internal.h"

using namespace dataformats;

int Get_GBCD_File_Type(const char* fileName) {
    if (fileName == nullptr)
        return -1;
    return ReportedLayoutCode(fileName, FileFamily::GBCD);
}

int Get_GBCD_File_Info(const char* fileName, int type, GBCDFileInfo* info) {
    const FileLayout* layout = type == 0 ? FindLayout(FileFamily::GBCD, 0) : nullptr;
    return DescribeInto(layout, fileName, &FileDescription::gbcd, info);
}

int OpenGBCD(GBCDFileInfo* info, double angle[kGBCDAngleCount], double csl[kCSLClassCount]) {
    if (info == nullptr || angle == nullptr || csl == nullptr)
        return 0;
    TextStream t;
    if (!t.Open(info->fileName.c_str()))
        return 0;
    return gbcd::ReadDistributions(t, info, angle, csl) ? 1 : 0;
}

int Open_GBCD_File(const char* fileName, GBCDFileInfo* info, int type,
                   double angle[kGBCDAngleCount], double csl[kCSLClassCount]) {
    if (fileName == nullptr || info == nullptr)
        return 0;
    if (!Get_GBCD_File_Info(fileName, type, info))
        return 0;
    info->fileName = fileName;
    return OpenGBCD(info, angle, csl);
}
