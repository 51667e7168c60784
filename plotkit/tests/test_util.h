#pragma once
// Helpers shared by the display-object tests.
#include <algorithm>
#include <vector>

#include "platform/recording_dc.h"

namespace plotkit_test {

// Colour table with distinct entries, index k -> RGB(k + 1, 2k + 1, 3k + 1).
struct Colours {
    COLORREF c[10];
    Colours() {
        for (int k = 0; k < 10; ++k)
            c[k] = RGB(k + 1, 2 * k + 1, 3 * k + 1);
    }
};

inline std::vector<COLORREF> PenColours(const CRecordingDC& dc) {
    std::vector<COLORREF> out;
    for (const auto& r : dc.Lines())
        if (std::find(out.begin(), out.end(), r.pen.color) == out.end())
            out.push_back(r.pen.color);
    return out;
}

} // namespace plotkit_test
