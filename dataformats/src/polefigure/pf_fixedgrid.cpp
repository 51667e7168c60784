// OpenPF: the 5-degree library's reader of layouts 2 and 0/1 into a fixed
// 19 x 73 grid.
#include <cmath>

#include "common/text_util.h"
#include "pf_internal.h"

using namespace dataformats;

int OpenPF(PFFileInfo* info, double grid[19][73]) {
    if (info == nullptr || grid == nullptr)
        return 0;
    TextStream text;
    if (!text.Open(info->fileName.c_str()))
        return 0;
    float a, b;
    bool polcon = text.ScanFloat(&a) == kConverted && text.ScanFloat(&b) == kConverted &&
                  a == 0.0f && b == 0.0f;
    text.Rewind();
    if (polcon) {
        info->description = "Unknown";
        for (int i = 0; i < 19; ++i) {
            for (int j = 0; j < 72; ++j) {
                float x, y, v;
                if (text.ScanFloat(&x) != kConverted || text.ScanFloat(&y) != kConverted ||
                    text.ScanFloat(&v) != kConverted)
                    return 0;
                grid[i][j] = v;
            }
            grid[i][72] = grid[i][0];
        }
        return 1;
    }
    std::string_view line1, line2;
    if (!text.GetLine(&line1, 128) || !text.GetLineCut(&line2, 128))
        return 0;
    // A high-resolution file of another step would fill the fixed grid with
    // values of the wrong positions: its description names its step.
    if (Contains(line1, "HQuelta")) {
        std::size_t c1 = line2.find(',');
        std::size_t c2 = c1 == std::string_view::npos ? c1 : line2.find(',', c1 + 1);
        double res = 0;
        if (c2 != std::string_view::npos && ParseDoublePrefix(line2.substr(c2 + 1), &res) != 0 &&
            std::fabs(res - 5.0) >= 1e-4)
            return 0;
    }
    std::string description(line2);
    for (int i = 0; i < 19; ++i)
        for (int j = 0; j < 73; ++j) {
            float v;
            if (text.ScanFloat(&v) != kConverted)
                return 0;
            grid[i][j] = v;
        }
    // More values than a 5-degree grid: a file of a finer step.
    float extra;
    if (text.ScanFloat(&extra) == kConverted)
        return 0;
    info->description = description;
    return 1;
}
