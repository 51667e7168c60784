// Layout 7: rings of four lines, each line a blank and 18 four-character
// fields (72 azimuths at 5 degrees; a fourth line may carry a 19th field,
// which is not used). Rings run from the centre outwards, as the measured
// files store them (a tilt range of 0 to 80 degrees is followed by the empty
// rim rings); rings beyond the 19 of the grid are not read.
#include <algorithm>
#include <cctype>
#include <cmath>

#include "common/text_util.h"
#include "orimath/ranges.h"
#include "pf_internal.h"

namespace dataformats::pf {
namespace {

constexpr std::size_t kDataLineMin = 10; // lines longer than this are data

int CountDataLines(TextStream& text) {
    text.Rewind();
    if (!text.SkipLines(2))
        return 0;
    std::string_view line;
    int n = 0;
    while (text.GetLineCut(&line))
        n += line.size() > kDataLineMin;
    return n;
}

int Digit(std::string_view line, std::size_t index) {
    return index < line.size() && std::isdigit(static_cast<unsigned char>(line[index]))
               ? line[index] - '0'
               : 0;
}

} // namespace

bool IsRings(TextStream& text) {
    text.Rewind();
    std::string_view line;
    if (!text.SkipLines(2) || !text.GetLineCut(&line))
        return false;
    return line.size() == 73;
}

int InfoRings(TextStream& text, PFFileInfo* info) {
    text.Rewind();
    std::string_view line;
    if (!text.SkipLines(1) || !text.GetLineCut(&line))
        return text.Fail("the file ends before its reflection line (line 2)");
    int h = Digit(line, 1), k = Digit(line, 2), l = Digit(line, 3);
    int count = CountDataLines(text);
    info->resolution = 5.0;
    info->description = NamedDescription("Cubic", h, k, l, 5.0, count / 4, 72);
    return 1;
}

int ReadRings(TextStream& text, double** grid, int nA, int nB) {
    if (nA < 1 || nB != 73)
        return text.FailAtLine(1, "the file holds 5 degree rings of 72 azimuths only");
    ClearGrid(grid, nA, nB);
    const int dataLines = CountDataLines(text);
    const int rings = dataLines / 4;
    if (rings < 1)
        return text.Fail("expected at least 4 data lines (one ring) after the two header lines, "
                         "found " +
                         std::to_string(dataLines));
    text.Rewind();
    text.SkipLines(2);
    std::string_view line;
    int dataLine = 0;
    while (dataLine < rings * 4 && text.GetLineCut(&line)) {
        if (line.size() <= kDataLineMin)
            continue;
        int row = dataLine / 4, part = dataLine % 4;
        ++dataLine;
        if (row >= nA)
            continue;
        std::string_view fields = line.substr(1);
        for (int f = 0; f < 18; ++f) {
            double value = 0.0;
            std::size_t at = static_cast<std::size_t>(f) * 4;
            if (at < fields.size()) {
                float v;
                if (ParseFloatPrefix(fields.substr(at, 4), &v) != 0)
                    value = v;
            }
            grid[row][18 * part + f] = value;
        }
    }
    for (int i = 0; i < nA; ++i)
        grid[i][72] = grid[i][0];
    CentreRowToMean(grid, nB, 72);
    NormalizPF(grid, 5.0);
    return 1;
}

// Rings the file does not hold, and rings beyond the tilt range of the
// header: line 2 carries, after the five characters of the reflection, the
// tilt step and the last measured tilt in fields of five characters
// ("(100)  5.0 80.0  5.0360.0": measured to 80 degrees). A file may still
// hold rings past that tilt (often zero or partly zero); they were not
// measured.
void MeasuredRings(TextStream& text, int nA, int nB, uint8_t** mask) {
    int rings = std::min(CountDataLines(text) / 4, nA);
    text.Rewind();
    std::string_view line;
    if (text.SkipLines(1) && text.GetLineCut(&line) && line.size() >= 15) {
        float step = 0, tiltEnd = 0;
        if (ParseFloatPrefix(line.substr(5, 5), &step) != 0 &&
            ParseFloatPrefix(line.substr(10, 5), &tiltEnd) != 0 && std::fabs(step - 5.0f) < 0.01f &&
            tiltEnd >= 0.0f && tiltEnd <= 90.0f)
            rings = std::min(rings, static_cast<int>(std::floor(tiltEnd / 5.0f + 0.5f)) + 1);
    }
    for (int i = std::max(rings, 0); i < nA; ++i)
        for (int j = 0; j < nB; ++j)
            mask[i][j] = 0;
}

} // namespace dataformats::pf
