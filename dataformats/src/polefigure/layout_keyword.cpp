// Layout 4: starred-keyword text ("*PF_AANGLE", "*COUNT", ...). Each ring is
// a "*COUNT" block of comma-separated values whose tilt is given, measured
// from the rim, by the preceding "*PF_AANGLE".
#include <cmath>
#include <string>
#include <vector>

#include "common/text_util.h"
#include "orimath/ranges.h"
#include "pf_internal.h"

namespace dataformats::pf {
namespace {

// The text after the first '='.
std::string_view AfterEquals(std::string_view line) {
    std::size_t eq = line.find('=');
    return eq == std::string_view::npos ? std::string_view() : line.substr(eq + 1);
}

int RoundToInt(double x) {
    if (!std::isfinite(x) || x > 1e8 || x < -1e8)
        return -1;
    return static_cast<int>(std::floor(x + 0.5));
}

// Reads count values "%f," into out (null: only checks); false on a failed
// conversion.
bool ReadValue(TextStream& text, double* out) {
    float v;
    if (text.ScanFloat(&v) != kConverted)
        return false;
    text.Match(',');
    if (out)
        *out = v;
    return true;
}

} // namespace

bool IsKeyword(TextStream& text) {
    text.Rewind();
    bool a = false, b = false, index = false, count = false;
    std::string_view line;
    while (text.GetLine(&line, 1024)) {
        a = a || Contains(line, "*PF_AANGLE");
        b = b || Contains(line, "*PF_BANGLE");
        index = index || Contains(line, "*INDEX");
        count = count || Contains(line, "*COUNT\t");
        if (a && b && index && count)
            return true;
    }
    return false;
}

int InfoKeyword(TextStream& text, PFFileInfo* info) {
    text.Rewind();
    std::string name = "Unknown";
    int hkl[3] = {1, 1, 1};
    double res = NAN;
    bool seenLatt = false, seenIndex = false, seenStep = false;
    std::string_view line;
    while (!(seenLatt && seenIndex && seenStep) && text.GetLineCut(&line, 1024)) {
        if (!seenLatt && Contains(line, "*LATT_CONS")) {
            seenLatt = true;
            std::size_t c1 = line.find(',');
            if (c1 != std::string_view::npos) {
                std::size_t c2 = line.find(',', c1 + 1);
                std::string_view field =
                    line.substr(c1 + 1, c2 == line.npos ? line.npos : c2 - c1 - 1);
                name = std::string(TrimLeft(field));
            }
        } else if (!seenIndex && Contains(line, "*INDEX")) {
            seenIndex = true;
            TextStream t{std::string(AfterEquals(line))};
            int v[3];
            if (t.ScanInt(&v[0]) == kConverted && t.Match(',') && t.ScanInt(&v[1]) == kConverted) {
                t.SkipSpace();
                if (t.Match(',') && t.ScanInt(&v[2]) == kConverted)
                    for (int i = 0; i < 3; ++i)
                        hkl[i] = v[i];
            }
        } else if (!seenStep && Contains(line, "*STEP")) {
            seenStep = true;
            float v;
            if (ParseFloatPrefix(AfterEquals(line), &v) != 0)
                res = v;
        }
    }
    // Without "*STEP" the grid step is unknown: the file is rejected.
    if (std::isnan(res))
        return text.Fail("no *STEP line with the grid step");
    if (!IsUsableResolution(res))
        return text.Fail("the *STEP grid step is not 0.1 to 90 degrees");
    int nA = 0, nB = 0;
    Get_AB_Range_In_Full_PF_Space(&nA, &nB, res);
    info->resolution = res;
    info->description = NamedDescription(name, hkl[0], hkl[1], hkl[2], res, nA, nB);
    return 1;
}

int ReadKeyword(TextStream& text, PFFileInfo* info, double** grid, int nA, int nB) {
    double res = info->resolution;
    if (!IsUsableResolution(res) || nA < 1 || nB < 2)
        return text.FailAtLine(1, "the grid step or size is not usable");
    ClearGrid(grid, nA, nB);
    text.Rewind();
    int row = 0;
    const int spanFullOpen = RoundToInt(360.0 - res); // full circle without its closing point
    std::string_view line;
    while (text.GetLine(&line, 512)) {
        if (Contains(line, "*PF_AANGLE")) {
            float a;
            row = ParseFloatPrefix(AfterEquals(line), &a) != 0 ? RoundToInt((90.0 - a) / res) : -1;
            continue;
        }
        if (!Contains(line, "*COUNT\t"))
            continue;
        int n = 0;
        if (ParseIntPrefix(AfterEquals(line), &n) == 0 || n < 1)
            continue;
        int span = RoundToInt((n - 1) * res);
        if (row < 0 || row >= nA)
            continue; // a ring outside the grid is not read
        double* r = grid[row];
        // A *COUNT block that stops early: which block, how many values it
        // promised and how many were read.
        const int countLine = text.LineAt(text.Position() - 1);
        auto shortBlock = [&](int found) {
            return text.Fail("the *COUNT block of line " + std::to_string(countLine) +
                             ": expected " + std::to_string(n) + " numbers, found " +
                             std::to_string(found) + (text.AtEnd() ? " (the file ends here)" : ""));
        };
        if (span == 90) {
            int q = (nB - 1) / 4;
            for (int j = 0; j <= q; ++j)
                if (!ReadValue(text, &r[j]))
                    return shortBlock(j);
            for (int m = 1; m <= q && q + m < nB; ++m)
                r[q + m] = r[q - m];
            for (int m = 1; 2 * q + m < nB && 2 * q - m >= 0; ++m)
                r[2 * q + m] = r[2 * q - m];
        } else if (n == nB - 1 || (n != nB && span == spanFullOpen && span != 360)) {
            double first;
            if (!ReadValue(text, &first))
                return shortBlock(0);
            for (int j = 1; j <= nB - 2; ++j)
                if (!ReadValue(text, &r[j]))
                    return shortBlock(j);
            r[0] = r[nB - 1] = first;
        } else if (n == nB || span == 360) {
            double first, last;
            if (!ReadValue(text, &first))
                return shortBlock(0);
            for (int j = 1; j <= nB - 2; ++j)
                if (!ReadValue(text, &r[j]))
                    return shortBlock(j);
            float v;
            if (text.ScanFloat(&v) != kConverted)
                return shortBlock(nB - 1);
            last = v;
            r[0] = r[nB - 1] = 0.5 * (first + last);
        }
    }
    CentreRowToMean(grid, nB, nB);
    return 1;
}

// Rows the file holds a ring for (a "*COUNT" block of a span the reader
// places), limited to the tilt range "*PF_ASTART" to "*PF_ASTOP" (measured
// from the rim) of the axis with the most points ("*PF_PCOUNT"), where the
// file gives them. The centre row counts as measured when its ring is there.
void MeasuredKeyword(TextStream& text, double res, int nA, int nB, uint8_t** mask) {
    if (!IsUsableResolution(res) || nA < 1 || nB < 2)
        return;
    std::vector<uint8_t> rows(static_cast<std::size_t>(nA), 0);
    // "*PF_xxx\t=  axis, value" entries by axis 0..7.
    double start[8], stop[8];
    int points[8];
    for (int a = 0; a < 8; ++a)
        start[a] = stop[a] = NAN, points[a] = 0;
    auto axisEntry = [](std::string_view line, int* axis, double* value) {
        TextStream t{std::string(AfterEquals(line))};
        float v;
        if (t.ScanInt(axis) != kConverted || *axis < 0 || *axis >= 8 || !t.Match(','))
            return false;
        if (t.ScanFloat(&v) != kConverted)
            return false;
        *value = v;
        return true;
    };
    const int spanFullOpen = RoundToInt(360.0 - res);
    int row = 0;
    text.Rewind();
    std::string_view line;
    while (text.GetLine(&line, 512)) {
        int axis = 0;
        double value = 0;
        if (Contains(line, "*PF_ASTART") && axisEntry(line, &axis, &value)) {
            start[axis] = value;
        } else if (Contains(line, "*PF_ASTOP") && axisEntry(line, &axis, &value)) {
            stop[axis] = value;
        } else if (Contains(line, "*PF_PCOUNT") && axisEntry(line, &axis, &value)) {
            points[axis] = static_cast<int>(value);
        } else if (Contains(line, "*PF_AANGLE")) {
            float a;
            row = ParseFloatPrefix(AfterEquals(line), &a) != 0 ? RoundToInt((90.0 - a) / res) : -1;
        } else if (Contains(line, "*COUNT\t")) {
            int n = 0;
            if (ParseIntPrefix(AfterEquals(line), &n) == 0 || n < 1 || row < 0 || row >= nA)
                continue;
            const int span = RoundToInt((n - 1) * res);
            if (span == 90 || n == nB - 1 || n == nB || span == 360 || span == spanFullOpen)
                rows[static_cast<std::size_t>(row)] = 1;
        }
    }
    int best = -1;
    for (int a = 0; a < 8; ++a)
        if (points[a] > 0 && std::isfinite(start[a]) && std::isfinite(stop[a]) &&
            (best < 0 || points[a] > points[best]))
            best = a;
    if (best >= 0) {
        // Tilt from the centre: 90 minus the angle from the rim.
        const double lo = 90.0 - std::max(start[best], stop[best]);
        const double hi = 90.0 - std::min(start[best], stop[best]);
        for (int i = 0; i < nA; ++i)
            if (i * res < lo - 0.5 * res || i * res > hi + 0.5 * res)
                rows[static_cast<std::size_t>(i)] = 0;
    }
    for (int i = 0; i < nA; ++i)
        for (int j = 0; j < nB; ++j)
            mask[i][j] = rows[static_cast<std::size_t>(i)];
}

} // namespace dataformats::pf
