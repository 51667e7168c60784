// Layouts 0 and 1: the suite's own text pole figures (two header lines, then
// one line of values per ring from the centre to the rim).
#include <cmath>
#include <string>

#include "common/text_util.h"
#include "common/text_writer.h"
#include "orimath/constants.h"
#include "orimath/ranges.h"
#include "orimath/symmetry.h"
#include "pf_internal.h"

namespace dataformats::pf {
namespace {

// Counts the numbers after the two header lines, up to the end of the file
// or the first token that is not a number.
long long CountValues(TextStream& text) {
    text.Rewind();
    if (!text.SkipLines(2))
        return 0;
    long long n = 0;
    float v;
    while (text.ScanFloat(&v) == kConverted)
        ++n;
    return n;
}

// Rings k of a full grid of n values: n = (k + 1)(4k + 1).
int RingsFromCount(long long n) {
    return static_cast<int>((std::sqrt(16.0 * static_cast<double>(n) + 9.0) - 5.0) / 8.0 + 0.5);
}

} // namespace

bool IsOwnText(TextStream& text, int* type) {
    text.Rewind();
    std::string_view line1, line;
    if (!text.GetLine(&line1) || !text.GetLine(&line))
        return false;
    bool hquelta = Contains(line1, "HQuelta");
    float v;
    for (int i = 0; i < 5; ++i)
        if (text.ScanFloat(&v) != kConverted)
            return false;
    *type = hquelta ? 1 : 0;
    return true;
}

// True when the values after the header form a complete grid of some
// resolution (as every file written by SavePFFile does).
bool IsFullGridCount(TextStream& text) {
    long long n = CountValues(text);
    int k = RingsFromCount(n);
    return k >= 1 && static_cast<long long>(k + 1) * (4LL * k + 1) == n;
}

int InfoOwnText0(TextStream& text, PFFileInfo* info) {
    text.Rewind();
    std::string_view line;
    if (!text.GetLine(&line) || !text.GetLine(&line))
        return 0;
    std::string_view hkl = "(1 1 1)";
    std::size_t open = line.find('('), close = line.find(')');
    if (open != std::string_view::npos && close != std::string_view::npos && close > open)
        hkl = line.substr(open, close - open + 1);
    std::string hklText(hkl);
    int k = RingsFromCount(CountValues(text));
    if (k < 1)
        return 0;
    double res = 90.0 / k;
    if (!IsUsableResolution(res))
        return 0;
    int nA = 0, nB = 0;
    Get_AB_Range_In_Full_PF_Space(&nA, &nB, res);
    info->description = UnknownDescription(hklText, res, nA, nB);
    info->resolution = res;
    return 1;
}

int InfoOwnText1(TextStream& text, PFFileInfo* info) {
    text.Rewind();
    std::string_view line;
    if (!text.GetLine(&line) || !text.GetLineCut(&line))
        return 0;
    // The third comma-separated field is the resolution.
    std::size_t c1 = line.find(',');
    std::size_t c2 = c1 == std::string_view::npos ? c1 : line.find(',', c1 + 1);
    if (c2 == std::string_view::npos)
        return text.FailAtLine(2, "the description has no third field (the resolution)");
    double res = 0;
    if (ParseDoublePrefix(line.substr(c2 + 1), &res) == 0)
        return text.FailAtLine(2, "the third field of the description is not a resolution");
    if (!IsUsableResolution(res))
        return text.FailAtLine(2, "resolution is not 0.1 to 90 degrees");
    info->description = std::string(line);
    info->resolution = res;
    return 1;
}

int ReadOwnText(TextStream& text, char* description, double** grid, int nA, int nB) {
    text.Rewind();
    std::string_view line;
    if (!text.GetLine(&line) || !text.GetLineCut(&line))
        return text.Fail("the two header lines are incomplete");
    PutDescription(description, line);
    for (int i = 0; i < nA; ++i) {
        double* row = grid[i];
        for (int j = 0; j < nB; ++j) {
            float v;
            if (text.ScanFloat(&v) != kConverted)
                return text.Fail("ring " + std::to_string(i + 1) + " of " + std::to_string(nA) +
                                 ": expected " + std::to_string(nB) + " numbers, found " +
                                 std::to_string(j) + (text.AtEnd() ? " (the file ends here)" : ""));
            row[j] = v;
        }
    }
    return 1;
}

} // namespace dataformats::pf

using namespace dataformats;

int OpenHPF(const std::string& fileName, char* description, double** grid, int nA, int nB) {
    if (grid == nullptr || nA < 1 || nB < 1)
        return 0;
    TextStream text;
    if (!text.Open(fileName.c_str()))
        return 0;
    return pf::ReadOwnText(text, description, grid, nA, nB);
}

namespace {

using orimath::CrystalName;

void PutGridRows(TextBuffer& out, double** grid, int nA, int nB, std::string_view separator) {
    for (int i = 0; i < nA; ++i) {
        for (int j = 0; j < nB; ++j)
            out.Fixed(grid[i][j], 4).Put(separator);
        out.Put('\n');
    }
}

} // namespace

int SavePFFile(PFFileInfo* info, const double grid[19][73]) {
    if (info == nullptr || grid == nullptr)
        return 0;
    TextBuffer out;
    out.Reserve(19 * 73 * 14 + 256);
    out.Put("This pole figure file is created by Quelta software\n");
    out.Put(CrystalName(info->crystalType));
    out.Format(", (%.0f %.0f %.0f)\n", info->h, info->k, info->l);
    for (int i = 0; i < 19; ++i) {
        for (int j = 0; j < 73; ++j)
            out.Fixed(grid[i][j], 4).Put("    ");
        out.Put('\n');
    }
    return WriteFileAtomically(info->fileName.c_str(), out.Text(), WriteMessage::kCannotWriteFile);
}

int SaveHPFFile(const char* fileName, PFFileInfo* info, int nA, int nB, double** grid) {
    if (fileName == nullptr || info == nullptr || grid == nullptr || nA < 1 || nB < 1)
        return 0;
    TextBuffer out;
    out.Reserve(static_cast<std::size_t>(nA) * nB * 12 + 1024);
    out.Put("This pole figure file is created by HQuelta software\n");
    // A line end inside a text field would break the header's line structure.
    if (info->crystalType == -1) {
        out.Put(CutAtLineEnd(info->description)).Put('\n');
    } else {
        std::string comment(CutAtLineEnd(info->comment));
        out.Format("%s, (%.0f %.0f %.0f), %.2f, %d x %d, (%.2f %.2f %.2f %.2f %.2f %.2f), %s\n",
                   CrystalName(info->crystalType).c_str(), info->h, info->k, info->l,
                   info->resolution, nA, nB, info->a, info->b, info->c, info->alpha, info->beta,
                   info->gamma, comment.c_str());
    }
    PutGridRows(out, grid, nA, nB, "\t");
    return WriteFileAtomically(fileName, out.Text(), WriteMessage::kCannotWriteFile);
}
