#include "file_kind.h"

#include <cstdio>

#include "cli_common.h"
#include "dataformats/dataformats.h"
#include "orimath/arrays.h"

namespace quelta_cli {

FileKind DetectFileKind(const std::string& path) {
    const std::string ext = UpperExtension(path);
    const int ipf = Get_IPF_File_Type(path);
    int odf = GetODFFileType(path);
    if (odf < 0 && ext == "TTO") {
        RawHODFInfo info{};
        std::snprintf(info.path, sizeof info.path, "%s", path.c_str());
        int n1 = 0, n = 0, n2 = 0;
        if (double*** grid = OpenTTOFile(&info, &n1, &n, &n2)) {
            FreeMem3D(grid, n2, n, n1);
            odf = kTTOLayout;
        }
    }
    const int gbcd = Get_GBCD_File_Type(path.c_str());
    const int pf = Get_PF_File_Type(path);

    // The extension decides between families that both accept the file.
    if (pf >= 0 && (ext == "HPF" || ext == "TPF"))
        return {FileFamily::kPoleFigure, pf};
    if (odf >= 0 &&
        (ext == "HODF" || ext == "TODF" || ext == "SEDF" || ext == "TTO" || ext == "FGT"))
        return {FileFamily::kODF, odf};
    if (ipf >= 0 && (ext == "HIPF" || ext == "TIPF"))
        return {FileFamily::kInversePoleFigure, ipf};
    if (gbcd >= 0 && ext == "TGB")
        return {FileFamily::kGBCD, gbcd};

    if (ipf >= 0)
        return {FileFamily::kInversePoleFigure, ipf};
    if (odf >= 0 && odf != 1)
        return {FileFamily::kODF, odf};
    if (gbcd >= 0)
        return {FileFamily::kGBCD, gbcd};
    if (pf >= 0)
        return {FileFamily::kPoleFigure, pf};
    if (odf >= 0)
        return {FileFamily::kODF, odf};
    return {};
}

const char* FamilyName(FileFamily family) {
    switch (family) {
    case FileFamily::kPoleFigure:
        return "pole figure";
    case FileFamily::kODF:
        return "ODF";
    case FileFamily::kInversePoleFigure:
        return "inverse pole figure";
    case FileFamily::kGBCD:
        return "GBCD";
    default:
        return "unknown";
    }
}

const char* LayoutName(FileFamily family, int layout) {
    switch (family) {
    case FileFamily::kPoleFigure:
        switch (layout) {
        case 0:
            return "TPF (5 degree text pole figure)";
        case 1:
            return "HPF (high-resolution text pole figure)";
        case 2:
            return "PolCon triplets";
        case 3:
            return "UXD";
        case 4:
            return "starred-keyword text";
        case 5:
            return "fixed-column ODF-program input";
        case 6:
            return "interval text with background";
        case 7:
            return "four-line rings of 18 four-character fields";
        case 8:
            return "azimuth-intensity pairs";
        }
        break;
    case FileFamily::kODF:
        switch (layout) {
        case 0:
            return "TODF (5 degree binary ODF; also SEDF)";
        case 1:
            return "cubic 19 x 19 x 19 text";
        case 2:
            return "HODF text, first generation";
        case 3:
            return "FGT text";
        case 4:
            return "HODF text, second generation";
        case kTTOLayout:
            return "TTO (5 degree text ODF)";
        }
        break;
    case FileFamily::kInversePoleFigure:
        switch (layout) {
        case 0:
            return "inverse pole figure text without lattice line (TIPF)";
        case 1:
            return "inverse pole figure text with lattice line (HIPF)";
        }
        break;
    case FileFamily::kGBCD:
        if (layout == 0)
            return "GBCD text";
        break;
    default:
        break;
    }
    return "unknown";
}

} // namespace quelta_cli
