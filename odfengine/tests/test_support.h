#pragma once
// Shared fixtures of the engine tests: grid names, a temporary folder,
// recorded callback transcripts, and model-ODF pole figure sets.
#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "dataformats/polefigure.h"
#include "odfengine/odfengine.h"
#include "orimath/grid.h"
#include "orimath/ranges.h"

namespace enginetest {

using orimath::Extent2;
using orimath::Extent3;
using orimath::Grid2;
using orimath::Grid3;

// A fresh folder under the test binary folder, removed at the end.
struct TempDir {
    explicit TempDir(const std::string& name)
        : path(std::filesystem::path(QUELTA_TEST_BINARY_DIR) / ("tmp_" + name)) {
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::string File(const std::string& name) const { return (path / name).string(); }
    // stem + j + ".HPF" (appended piecewise: GCC 12 warns wrongly about
    // "literal" + std::string temporaries).
    std::string Numbered(const std::string& stem, int j) const {
        std::string name = stem;
        name += std::to_string(j);
        name += ".HPF";
        return File(name);
    }
    std::filesystem::path path;
};

// Every callback call, in order.
struct Transcript {
    std::vector<std::pair<int, std::string>> calls;
    ProgressCallback Callback() {
        return [this](std::string text, int code) { calls.emplace_back(code, std::move(text)); };
    }
    // Status, start and deviation messages only (the negative codes).
    std::vector<std::pair<int, std::string>> Messages() const {
        std::vector<std::pair<int, std::string>> out;
        for (const auto& c : calls)
            if (c.first < 0)
                out.push_back(c);
        return out;
    }
    bool Has(const std::string& text) const {
        for (const auto& c : calls)
            if (c.second == text)
                return true;
        return false;
    }
    int Count(const std::string& text) const {
        int n = 0;
        for (const auto& c : calls)
            n += c.second == text;
        return n;
    }
};

inline const double kCubicLattice[6] = {1, 1, 1, 90, 90, 90};
inline const double kCubicHkl[3][3] = {{1, 1, 1}, {2, 0, 0}, {2, 2, 0}};

// Writes a high-resolution pole figure file of the grid for res with the
// values value(alpha index, beta index).
inline bool WritePoleFigure(const std::string& path, double res,
                            const std::function<double(int, int)>& value) {
    int nA = 0, nB = 0;
    Get_AB_Range_In_Full_PF_Space(&nA, &nB, res);
    Grid2<double> g(Extent2{.alpha = nA, .beta = nB});
    for (int a = 0; a < nA; ++a)
        for (int b = 0; b < nB; ++b)
            g[a][b] = value(a, b);
    PFFileInfo info;
    info.fileName = path;
    info.crystalType = 0;
    info.resolution = res;
    return SaveHPFFile(path.c_str(), &info, nA, nB, g.Tree()) == 1;
}

inline bool AllFinite(const Grid3<double>& f) {
    return std::all_of(f.values().begin(), f.values().end(),
                       [](double v) { return std::isfinite(v); });
}

} // namespace enginetest
