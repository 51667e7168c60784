// Layout 3: UXD diffractometer files, in two variants.
// - "_COUNTS" variant: one "_COUNTS" line per measured ring, the rings spread
//   evenly from 0 to 90 degrees of tilt.
// - Range variant (current instrument software): each tilt ring is a data
//   range with its "_KHI=" tilt and a "_2THETACPS" block of (azimuth,
//   counts) pairs; several pole figures (several "_2THETA=" values) may share
//   one file. Rings are placed by their tilt and azimuths by their angle;
//   rows that were not measured stay 0.
#include <cmath>
#include <cstdio>
#include <vector>

#include "common/text_util.h"
#include "orimath/arrays.h"
#include "orimath/ranges.h"
#include "pf_internal.h"

namespace dataformats::pf {
namespace {

constexpr std::size_t kLineBuffer = 1024;

int CountCountsLines(TextStream& text) {
    text.Rewind();
    std::string_view line;
    int m = 0;
    while (text.GetLine(&line, kLineBuffer))
        if (Contains(line, "_COUNTS"))
            ++m;
    return m;
}

struct Ring {
    double khi = 0;
    std::vector<std::pair<float, float>> pairs; // azimuth, counts
};

struct RangePoleFigure {
    double twoTheta = 0;
    std::vector<Ring> rings;
    double step = 0;  // azimuth step of the first ring with two pairs
    int stepLine = 0; // line of that ring's data header (for failure notes)
};

bool KeyValue(std::string_view line, std::string_view key, double* value) {
    if (line.substr(0, key.size()) != key)
        return false;
    return ParseDoublePrefix(line.substr(key.size()), value) != 0;
}

bool IsDataHeader(std::string_view line) {
    return line.substr(0, 10) == "_2THETACPS" || line.substr(0, 13) == "_2THETACOUNTS";
}

// Reads the range variant: pole figures in order of their first 2-theta.
std::vector<RangePoleFigure> ParseRanges(TextStream& text) {
    std::vector<RangePoleFigure> figures;
    text.Rewind();
    std::string_view line;
    double khi = NAN, twoTheta = NAN;
    bool phiDrive = true; // a range that scans another axis is no pole figure ring
    while (text.GetLineCut(&line, kLineBuffer)) {
        line = TrimLeft(line);
        double v;
        if (line.substr(0, 7) == "_DRIVE=") {
            phiDrive = Contains(line, "PHI");
            continue;
        }
        if (IsDataHeader(line)) {
            const int headerLine = text.LineAt(text.Position() - 1);
            Ring ring;
            ring.khi = khi;
            // Data lines: two numbers each, up to the first other line.
            for (;;) {
                std::size_t mark = text.Position();
                std::string_view data;
                if (!text.GetLineCut(&data, kLineBuffer))
                    break;
                float az, counts;
                std::size_t used = ParseFloatPrefix(data, &az);
                if (used == 0 || ParseFloatPrefix(data.substr(used), &counts) == 0) {
                    text.Seek(mark);
                    break;
                }
                ring.pairs.emplace_back(az, counts);
            }
            if (std::isnan(khi) || std::isnan(twoTheta) || ring.pairs.empty() || !phiDrive)
                continue;
            RangePoleFigure* target = nullptr;
            for (auto& f : figures)
                if (std::fabs(f.twoTheta - twoTheta) < 1e-4)
                    target = &f;
            if (target == nullptr) {
                figures.emplace_back();
                target = &figures.back();
                target->twoTheta = twoTheta;
            }
            if (target->step == 0 && ring.pairs.size() >= 2) {
                target->step = static_cast<double>(ring.pairs[1].first) - ring.pairs[0].first;
                target->stepLine = headerLine;
            }
            target->rings.push_back(std::move(ring));
        } else if (KeyValue(line, "_KHI=", &v)) {
            khi = v;
        } else if (KeyValue(line, "_2THETA=", &v)) {
            twoTheta = v;
        }
    }
    return figures;
}

// Whether pole figure `index` of the range variant has a usable grid step.
const RangePoleFigure* RangeFigure(const std::vector<RangePoleFigure>& figures, int index) {
    if (index < 0 || index >= static_cast<int>(figures.size()))
        return nullptr;
    const RangePoleFigure& f = figures[index];
    if (!IsUsableResolution(f.step))
        return nullptr;
    return &f;
}

// RangeFigure, noting on the stream why there is none.
const RangePoleFigure* RangeFigureOrFail(TextStream& text,
                                         const std::vector<RangePoleFigure>& figures, int index) {
    if (const RangePoleFigure* f = RangeFigure(figures, index))
        return f;
    if (figures.empty()) {
        text.FailAtLine(1, "no _2THETACPS data block of an azimuth (PHI) scan after its _KHI= "
                           "and _2THETA= lines");
    } else if (index >= 0 && index < static_cast<int>(figures.size())) {
        const RangePoleFigure& f = figures[index];
        char what[200];
        if (f.stepLine == 0)
            std::snprintf(what, sizeof what,
                          "pole figure %d (2-theta %g): no ring with two azimuths gives the step",
                          index + 1, f.twoTheta);
        else
            std::snprintf(what, sizeof what,
                          "pole figure %d (2-theta %g): azimuth step %g degrees is not 0.1 to 90",
                          index + 1, f.twoTheta, f.step);
        text.FailAtLine(f.stepLine > 0 ? f.stepLine : 1, what);
    } else {
        text.FailAtLine(1, "the file holds " + std::to_string(figures.size()) + " pole figures");
    }
    return nullptr;
}

int RoundIndex(double x) {
    if (!std::isfinite(x) || x < -0.5 || x > 1e6)
        return -1;
    return static_cast<int>(std::floor(x + 0.5));
}

int ReadCountsVariant(TextStream& text, double** grid, int nA, int nB) {
    text.Rewind();
    for (int i = 0; i < nA; ++i) {
        // The ring starts at the first number; header lines are skipped.
        float v;
        int r;
        auto shortRing = [&](int found) {
            return text.Fail("ring " + std::to_string(i + 1) + " of " + std::to_string(nA) +
                             ": expected " + std::to_string(nB - 1) + " numbers, found " +
                             std::to_string(found) + (text.AtEnd() ? " (the file ends here)" : ""));
        };
        while ((r = text.ScanFloat(&v)) == kNoMatch) {
            std::string_view rest;
            if (!text.GetLine(&rest, 256))
                return shortRing(0);
        }
        if (r != kConverted)
            return shortRing(0);
        grid[i][0] = v;
        for (int j = 1; j <= nB - 2; ++j) {
            if (text.ScanFloat(&v) != kConverted)
                return shortRing(j);
            grid[i][j] = v;
        }
    }
    for (int i = 0; i < nA; ++i)
        grid[i][nB - 1] = grid[i][0];
    return 1;
}

void ReaderDescription(char* description, double res, int nA, int nB) {
    char buf[128];
    std::snprintf(buf, sizeof buf, "UXD File, Resolution = %.2f, %d x %d", res, nA, nB);
    PutDescription(description, buf);
}

} // namespace

bool IsCountsUXD(TextStream& text) {
    return CountCountsLines(text) > 0;
}

int CountUXD(TextStream& text) {
    int m = CountCountsLines(text);
    if (m > 0)
        return m >= 2 ? 1 : 0;
    auto figures = ParseRanges(text);
    int n = 0;
    for (std::size_t i = 0; i < figures.size(); ++i)
        if (RangeFigure(figures, static_cast<int>(i)) != nullptr)
            n = static_cast<int>(i) + 1;
        else
            break;
    return n;
}

int InfoUXD(TextStream& text, int index, PFFileInfo* info) {
    int m = CountCountsLines(text);
    double res = 0;
    if (m > 0) {
        // One ring gives no tilt step: such a file is rejected.
        if (m < 2)
            return text.FailAtLine(1, "one _COUNTS line (one ring) gives no tilt step");
        if (index != 0)
            return text.FailAtLine(1, "the _COUNTS variant holds one pole figure");
        res = 90.0 / (m - 1);
    } else {
        auto figures = ParseRanges(text);
        const RangePoleFigure* f = RangeFigureOrFail(text, figures, index);
        if (f == nullptr)
            return 0;
        res = f->step;
    }
    if (!IsUsableResolution(res))
        return text.FailAtLine(1, "the tilt step of " + std::to_string(m) +
                                      " _COUNTS rings is not 0.1 to 90 degrees");
    int nA = 0, nB = 0;
    Get_AB_Range_In_Full_PF_Space(&nA, &nB, res);
    info->resolution = res;
    info->description = UnknownDescription("(1 1 1)", res, nA, nB);
    return 1;
}

int ReadUXD(TextStream& text, int index, char* description, double** grid, int nA, int nB) {
    if (nA < 2 || nB < 2)
        return text.FailAtLine(1, "the grid size is not usable");
    int m = CountCountsLines(text);
    if (m > 0) {
        if (index != 0)
            return text.FailAtLine(1, "the _COUNTS variant holds one pole figure");
        if (!ReadCountsVariant(text, grid, nA, nB))
            return 0;
        ReaderDescription(description, 90.0 / (nA - 1), nA, nB);
        return 1;
    }
    auto figures = ParseRanges(text);
    const RangePoleFigure* f = RangeFigureOrFail(text, figures, index);
    if (f == nullptr)
        return 0;
    ClearGrid(grid, nA, nB);
    double res = f->step;
    for (const Ring& ring : f->rings) {
        int row = RoundIndex(ring.khi / res);
        if (row < 0 || row >= nA)
            continue;
        bool measured0 = false;
        for (auto [az, counts] : ring.pairs) {
            int col = RoundIndex(az / res);
            if (col < 0 || col >= nB)
                continue;
            grid[row][col] = counts;
            if (col == 0)
                measured0 = true;
        }
        if (measured0)
            grid[row][nB - 1] = grid[row][0];
    }
    ReaderDescription(description, 90.0 / (nA - 1), nA, nB);
    return 1;
}

// The range variant holds one data range per measured ring: rows without a
// ring, and azimuths a ring does not list, were not measured. The
// "_COUNTS" variant fills every ring.
void MeasuredUXD(TextStream& text, int index, int nA, int nB, uint8_t** mask) {
    if (CountCountsLines(text) > 0)
        return;
    auto figures = ParseRanges(text);
    const RangePoleFigure* f = RangeFigure(figures, index);
    if (f == nullptr)
        return;
    std::vector<uint8_t> seen(static_cast<std::size_t>(nA) * nB, 0);
    for (const Ring& ring : f->rings) {
        int row = RoundIndex(ring.khi / f->step);
        if (row < 0 || row >= nA)
            continue;
        for (auto pair : ring.pairs) {
            int col = RoundIndex(pair.first / f->step);
            if (col < 0 || col >= nB)
                continue;
            seen[static_cast<std::size_t>(row) * nB + col] = 1;
            if (col == 0)
                seen[static_cast<std::size_t>(row) * nB + nB - 1] = 1;
        }
    }
    for (int i = 0; i < nA; ++i)
        for (int j = 0; j < nB; ++j)
            mask[i][j] = seen[static_cast<std::size_t>(i) * nB + j];
}

} // namespace dataformats::pf

using namespace dataformats;

int OpenUXD(const std::string& fileName, char* description, double** grid, int nA, int nB) {
    if (grid == nullptr)
        return 0;
    TextStream text;
    if (!text.Open(fileName.c_str()))
        return 0;
    return pf::ReadUXD(text, 0, description, grid, nA, nB);
}
