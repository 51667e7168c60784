#include "calcjobs/cor_import.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "dataformats/polefigure.h"
#include "orimath/grid.h"

namespace calcjobs {
namespace {

constexpr char kHklMarker[] = "    Intensity values for"; // 24 characters
constexpr char kRingMarker[] = "    PHI-circle at CHI=";  // 22 characters
constexpr int kRows = 19;                                 // alpha 0..90 by 5 degrees
constexpr int kColumns = 73;                              // beta 0..360 by 5 degrees
constexpr int kLastRing = 80;                             // a reflection ends with this ring

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};

// The reflection text of an "Intensity values for" line: the run of digits
// and minus signs from position 25 on. Measured files write three characters
// ("111") or four ("1-10"), so the text is not cut at three.
std::string HklTextOf(const char* line) {
    std::string text;
    size_t length = std::strlen(line);
    for (size_t i = 25; i < length && text.size() < 12; ++i) {
        char c = line[i];
        if ((c >= '0' && c <= '9') || c == '-')
            text += c;
        else
            break;
    }
    return text;
}

} // namespace

std::string CorBaseName(const std::string& corPath) {
    size_t nameStart = corPath.find_last_of("/\\");
    nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
    size_t dot = corPath.find('.', nameStart);
    return dot == std::string::npos ? corPath : corPath.substr(0, dot);
}

void ParseCorHkl(const std::string& text, double hkl[3]) {
    hkl[0] = hkl[1] = hkl[2] = 0;
    size_t pos = 0;
    for (int i = 0; i < 3 && pos < text.size(); ++i) {
        size_t width = (text[pos] == '-' && pos + 1 < text.size()) ? 2 : 1;
        hkl[i] = std::atof(text.substr(pos, width).c_str());
        pos += width;
    }
}

CorImportResult ImportCorFile(const std::string& corPath, const std::string& outputBase,
                              int crystalType, const double lattice[6]) {
    CorImportResult result;
    std::unique_ptr<FILE, FileCloser> file(std::fopen(corPath.c_str(), "r"));
    if (!file) {
        result.message = "Can not open " + corPath;
        return result;
    }
    const std::string base = outputBase.empty() ? CorBaseName(corPath) : outputBase;

    orimath::Grid2<double> grid(orimath::Extent2{.alpha = kRows, .beta = kColumns});

    std::string hklText;
    char line[512];
    while (result.poleFigures.size() < static_cast<size_t>(kMaxPoleFigures) &&
           std::fgets(line, sizeof line, file.get())) {
        if (std::strncmp(line, kHklMarker, 24) == 0) {
            hklText = HklTextOf(line);
            continue;
        }
        if (std::strncmp(line, kRingMarker, 22) != 0)
            continue;

        char* end = nullptr;
        double chiValue = std::strtod(line + 22, &end);
        const bool onGrid = end != line + 22 && std::isfinite(chiValue) && chiValue >= 0 &&
                            chiValue <= 90 &&
                            std::fabs(chiValue / 5 - std::lround(chiValue / 5)) < 1e-6;
        const int chi = onGrid ? static_cast<int>(std::lround(chiValue)) : -1;

        char skipped[512];
        std::fgets(skipped, sizeof skipped, file.get());
        float values[72];
        for (float& v : values) {
            if (std::fscanf(file.get(), "%f", &v) != 1) {
                result.message = "Can not read data";
                return result;
            }
        }
        if (!onGrid) {
            // A tilt outside 0..90 (or off the 5 degree grid) has no row in
            // the pole figure; keep the other rings of the reflection.
            char text[160];
            std::snprintf(text, sizeof text,
                          "Ring at CHI=%.6g skipped: not a 5 degree step within 0..90", chiValue);
            result.warnings.push_back(text);
            continue;
        }
        double* row = grid[chi / 5];
        for (int n = 0; n < 72; ++n)
            row[72 - n] = values[n]; // first value is beta 360
        row[0] = row[72];

        if (chi != kLastRing)
            continue;
        PoleFigureInput pf;
        pf.file = base + hklText + ".HPF";
        double hkl[3];
        ParseCorHkl(hklText, hkl);
        PFFileInfo info =
            DescribePoleFigure(pf.file, crystalType, hkl, lattice, 5, "Experimental Pole Figure");
        if (!SaveHPFFile(pf.file.c_str(), &info, kRows, kColumns, grid.Tree())) {
            result.message = "Can not save pole figure file";
            return result;
        }
        // Round to the nearest integer, halves away from zero: truncating
        // value + 0.5 would turn -1 into 0.
        pf.h = static_cast<double>(std::lround(hkl[0]));
        pf.k = static_cast<double>(std::lround(hkl[1]));
        pf.l = static_cast<double>(std::lround(hkl[2]));
        result.poleFigures.push_back(pf);
        // Each reflection starts from an empty grid, so rings that one
        // reflection lacks are not filled from the previous one.
        grid.Fill(0);
    }
    return result;
}

} // namespace calcjobs
