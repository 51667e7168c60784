// Layout 6: interval text with background. Lines 3 and 4 give the tilt and
// azimuth ranges ("start - end step s"), then one background value per ring
// and, after a marker line, the rings with the azimuth running backwards from
// half a turn.
#include <cmath>
#include <vector>

#include "common/text_util.h"
#include "orimath/ranges.h"
#include "pf_internal.h"

namespace dataformats::pf {
namespace {

struct RangeLine {
    int end = 0;
    double step = 0;
};

// "start - end step s": the integer between the first '-' and "step" is the
// end; the number five characters after the 's' of "step" is the step.
bool ParseRangeLine(std::string_view line, RangeLine* out) {
    std::size_t dash = line.find('-');
    std::size_t step = line.find("step");
    if (dash == std::string_view::npos || step == std::string_view::npos || step < dash)
        return false;
    if (ParseIntPrefix(line.substr(dash + 1, step - dash - 1), &out->end) == 0)
        return false;
    if (step + 5 > line.size())
        return false;
    float s;
    if (ParseFloatPrefix(line.substr(step + 5), &s) == 0)
        return false;
    out->step = s;
    return true;
}

struct Header {
    RangeLine tilt, azimuth;
    int nAm = 0; // measured rings
    int nBm = 0; // measured azimuths per ring
};

// Lines 3 and 4; notes on the stream which line is wrong.
bool ReadHeader(TextStream& text, Header* h) {
    text.Rewind();
    std::string_view line;
    if (!text.SkipLines(2))
        return text.Fail("the file ends before its tilt range line");
    if (!text.GetLineCut(&line) || !ParseRangeLine(line, &h->tilt))
        return text.FailAtLine(3, "expected the tilt range \"start - end step s\"");
    if (!text.GetLineCut(&line) || !ParseRangeLine(line, &h->azimuth))
        return text.FailAtLine(4, "expected the azimuth range \"start - end step s\"");
    if (!IsUsableResolution(h->tilt.step))
        return text.FailAtLine(3, "the tilt step is not 0.1 to 90 degrees");
    if (!IsUsableResolution(h->azimuth.step))
        return text.FailAtLine(4, "the azimuth step is not 0.1 to 90 degrees");
    if (h->tilt.end < 0 || h->tilt.end > 90)
        return text.FailAtLine(3, "the tilt range does not end at 0 to 90 degrees");
    if (h->azimuth.end < 1 || h->azimuth.end > 360)
        return text.FailAtLine(4, "the azimuth range does not end at 1 to 360 degrees");
    h->nAm = static_cast<int>(std::floor(h->tilt.end / h->tilt.step + 0.5)) + 1;
    h->nBm = static_cast<int>(std::floor(h->azimuth.end / h->azimuth.step + 0.5));
    return h->nBm >= 1 || text.FailAtLine(4, "the azimuth range holds no step");
}

} // namespace

bool IsInterval(TextStream& text) {
    text.Rewind();
    std::string_view line;
    return text.GetLine(&line) && Contains(line, "texture data of interval");
}

int InfoInterval(TextStream& text, const char* fileName, PFFileInfo* info) {
    Header h;
    if (!ReadHeader(text, &h))
        return 0;
    int hkl[3];
    ReflectionFromPath(fileName ? fileName : "", true, hkl);
    info->resolution = h.azimuth.step;
    info->description =
        NamedDescription("Cubic", hkl[0], hkl[1], hkl[2], h.azimuth.step, h.nAm, h.nBm + 1);
    return 1;
}

int ReadInterval(TextStream& text, PFFileInfo* info, double** grid, int nA, int nB) {
    Header h;
    if (!ReadHeader(text, &h))
        return 0;
    if (nA < 1 || nB < 2)
        return text.FailAtLine(1, "the grid size is not usable");
    ClearGrid(grid, nA, nB);
    std::string_view line;
    if (!text.SkipLines(1))
        return text.Fail("the file ends before the background values");
    std::vector<double> background(h.nAm, 0.0);
    for (int i = 0; i < h.nAm; ++i) {
        float v;
        if (text.ScanFloat(&v) != kConverted)
            return text.Fail("expected " + std::to_string(h.nAm) +
                             " background values (one per ring), found " + std::to_string(i));
        background[i] = v;
    }
    bool found = false;
    while (!found && text.GetLine(&line))
        found = Contains(line, "*** pole figure data ***");
    if (!found)
        return text.Fail("no \"*** pole figure data ***\" line after the background values");
    // Values beyond the grid (more rings or azimuths than the resolution
    // gives) are read past and dropped.
    for (int i = 0; i < h.nAm; ++i) {
        for (int j = 0; j < h.nBm; ++j) {
            float v;
            double value = text.ScanFloat(&v) == kConverted ? v : 0.0;
            int col = ((h.nBm / 2 - j) % h.nBm + h.nBm) % h.nBm;
            if (i < nA && col < nB)
                grid[i][col] = value - background[i];
        }
    }
    for (int i = 0; i < nA; ++i)
        grid[i][nB - 1] = grid[i][0];
    CentreRowToMean(grid, nB, nB - 1);
    NormalizPF(grid, info->resolution);
    return 1;
}

} // namespace dataformats::pf
