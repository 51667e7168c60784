// Cubic 19 x 19 x 19 text: two header lines, then 19 blocks (phi2 0..90 in
// 5-degree steps) of 19 rows (Phi) of 19 numbers (phi1), each block followed
// by one further number and the rest of its line.
#include <cstring>

#include "common/text_util.h"
#include "odf_internal.h"

namespace dataformats::odf {

bool ReadCubic(TextStream& t, double*** grid) {
    t.Rewind();
    if (!t.SkipLines(2))
        return false;
    for (int b = 0; b < 19; ++b) {
        for (int r = 0; r < 19; ++r)
            for (int c = 0; c < 19; ++c) {
                float v;
                if (t.ScanFloat(&v) != kConverted)
                    return t.Fail("block " + std::to_string(b + 1) +
                                  ": expected 361 numbers, found " + std::to_string(r * 19 + c));
                if (grid)
                    grid[b][r][c] = v;
            }
        float extra;
        if (t.ScanFloat(&extra) != kConverted)
            return t.Fail("block " + std::to_string(b + 1) + ": expected its closing number");
        std::string_view rest;
        t.GetLine(&rest);
    }
    return true;
}

bool IsCubic(TextStream& t) {
    if (!ReadCubic(t, nullptr))
        return false;
    // The structure alone is only "enough numbers", which any long column of
    // numbers satisfies (a measurement dump of 16 000 values read as a
    // 19 x 19 x 19 ODF). A file of this layout ends with its last block, so a
    // further number after it means the file is something else.
    float more;
    return t.ScanFloat(&more) != kConverted;
}

void CubicInfo(RawHODFInfo* info) {
    for (int i = 0; i < 6; ++i) {
        info->hkl[i][0] = info->hkl[i][1] = info->hkl[i][2] = 1.0;
        info->pfNames[i][0] = '\0';
    }
    info->nPF = 6;
    info->normalized = 1;
    info->maxLoops = 5;
    info->crystalType = 0;
    const double lattice[6] = {1, 1, 1, 90, 90, 90};
    std::memcpy(info->lattice, lattice, sizeof lattice);
    info->stopMode = 1;
    info->tolerance = 0.0;
    info->deviation = 0.0;
    info->iterations = 5;
}

} // namespace dataformats::odf

using namespace dataformats;

int Get90x90x90CubInfo(RawHODFInfo* info) {
    if (info == nullptr)
        return 0;
    odf::CubicInfo(info);
    return 1;
}

int OpenCub90x90x90AsHODF(const char* fileName, double*** grid) {
    if (fileName == nullptr || grid == nullptr)
        return 0;
    TextStream t;
    if (!t.Open(fileName))
        return 0;
    return odf::ReadCubic(t, grid) ? 1 : 0;
}
