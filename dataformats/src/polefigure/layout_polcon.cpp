// Layout 2: PolCon triplets (alpha, beta, intensity) on the 5-degree grid,
// 19 rings of 72 azimuths, rings outermost.
#include <string>

#include "pf_internal.h"

namespace dataformats::pf {

namespace {
constexpr int kRings = 19;
constexpr int kAzimuths = 72;
} // namespace

// The first two numbers are 0, and the file holds the 19 x 72 triplets a
// PolCon reader needs (a list of numbers that merely starts with zeros is not
// taken for a PolCon file).
bool IsPolCon(TextStream& text) {
    text.Rewind();
    float a, b;
    if (text.ScanFloat(&a) != kConverted || text.ScanFloat(&b) != kConverted)
        return false;
    if (a != 0.0f || b != 0.0f)
        return false;
    text.Rewind();
    float v;
    for (int n = 0; n < kRings * kAzimuths * 3; ++n)
        if (text.ScanFloat(&v) != kConverted)
            return false;
    return true;
}

int InfoPolCon(PFFileInfo* info) {
    info->resolution = 5.0;
    info->description = UnknownDescription("(1 1 1)", 5.0, 19, 73);
    return 1;
}

int ReadPolCon(TextStream& text, char* description, double** grid) {
    text.Rewind();
    PutDescription(description, "PolCon Format, 5 degrees resolution");
    for (int i = 0; i < kRings; ++i) {
        for (int j = 0; j < kAzimuths; ++j) {
            float a, b, v;
            if (text.ScanFloat(&a) != kConverted || text.ScanFloat(&b) != kConverted ||
                text.ScanFloat(&v) != kConverted)
                return text.Fail("expected " + std::to_string(kRings * kAzimuths) +
                                 " triplets, found " + std::to_string(i * kAzimuths + j));
            grid[i][j] = v;
        }
        grid[i][kAzimuths] = grid[i][0];
    }
    return 1;
}

} // namespace dataformats::pf

int OpenPolCon(const std::string& fileName, char* description, double** grid) {
    if (grid == nullptr)
        return 0;
    dataformats::TextStream text;
    if (!text.Open(fileName.c_str()))
        return 0;
    return dataformats::pf::ReadPolCon(text, description, grid);
}
