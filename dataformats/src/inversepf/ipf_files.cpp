// Inverse pole figure text files: a header naming the crystal system, two
// angles and three sample directions (code 1 adds a lattice line), then the
// grid one row per line.
#include <cmath>
#include <functional>
#include <string>

#include "common/text_stream.h"
#include "common/text_util.h"
#include "common/text_writer.h"
#include "dataformats/inversepf.h"
#include "ipf_internal.h"
#include "orimath/arrays.h"
#include "orimath/constants.h"
#include "orimath/orientation.h"
#include "orimath/ranges.h"
#include "orimath/symmetry.h"

using namespace dataformats;

namespace {

constexpr const char* kFirstLine = "This inverse pole figure file is created by Quelta software\n";

bool HasAll(std::string_view line, std::string_view chars) {
    for (char c : chars)
        if (line.find(c) == std::string_view::npos)
            return false;
    return true;
}

bool FiveValues(TextStream& t) {
    float v;
    for (int i = 0; i < 5; ++i)
        if (t.ScanFloat(&v) != kConverted)
            return false;
    return true;
}

bool SixNumbers(std::string_view line, double out[6]) {
    TextStream t{std::string(line)};
    for (int i = 0; i < 6; ++i) {
        float v;
        if (t.ScanFloat(&v) != kConverted)
            return false;
        out[i] = v;
    }
    return true;
}

// Crystal code from the first two letters of a name; -1 when none matches.
int CrystalCode(std::string_view name) {
    name = TrimLeft(name);
    static const char* const kPrefixes[] = {"cu", "He", "Te", "Or", "Mo", "Rh", "Tr"};
    for (int i = 0; i < 7; ++i)
        if (StartsWithNoCase(name, kPrefixes[i]))
            return i;
    return -1;
}

bool ParseAngles(std::string_view line, double* a1, double* a2) {
    std::size_t open = line.find('('), comma = line.find(',', open), close = line.find(')', comma);
    if (open == line.npos || comma == line.npos || close == line.npos)
        return false;
    float v1, v2;
    if (ParseFloatPrefix(line.substr(open + 1, comma - open - 1), &v1) == 0 ||
        ParseFloatPrefix(line.substr(comma + 1, close - comma - 1), &v2) == 0)
        return false;
    *a1 = v1;
    *a2 = v2;
    return true;
}

bool ParseDirection(std::string_view line, double d[3]) {
    std::string s(line);
    for (char& c : s)
        if (c == '[' || c == ']')
            c = ' ';
    TextStream t{std::string(Trim(s))};
    for (int i = 0; i < 3; ++i) {
        float v;
        if (t.ScanFloat(&v) != kConverted)
            return false;
        d[i] = v;
    }
    return true;
}

using orimath::CrystalName;

void PutNiceDirections(TextBuffer& out, const double directions[3][3]) {
    for (int i = 0; i < 3; ++i) {
        int v[3] = {0, 0, 0};
        GetNiceVector(directions[i], v);
        out.Format("[%d %d %d]\n", v[0], v[1], v[2]);
    }
}

void PutRows(TextBuffer& out, int nRows, int nCols, const std::function<double(int, int)>& at) {
    for (int i = 0; i < nRows; ++i) {
        for (int j = 0; j < nCols; ++j)
            out.Fixed(at(i, j), 4).Put("    ");
        out.Put('\n');
    }
}

} // namespace

namespace dataformats::ipf {

bool IsCode0(TextStream& t) {
    t.Rewind();
    std::string_view line;
    if (!t.SkipLines(2) || !t.GetLine(&line) || !HasAll(line, "(,)"))
        return false;
    for (int i = 0; i < 3; ++i)
        if (!t.GetLine(&line) || !HasAll(line, "[] "))
            return false;
    return FiveValues(t);
}

bool IsCode1(TextStream& t) {
    t.Rewind();
    std::string_view line;
    double lattice[6];
    if (!t.SkipLines(2) || !t.GetLine(&line) || !SixNumbers(line, lattice))
        return false;
    if (!t.GetLine(&line) || !HasAll(line, "(,)"))
        return false;
    for (int i = 0; i < 3; ++i)
        if (!t.GetLine(&line) || !HasAll(line, "[] "))
            return false;
    return FiveValues(t);
}

bool ReadInfo(TextStream& t, int type, IPFFileInfo* info) {
    t.Rewind();
    std::string_view line;
    IPFFileInfo r = *info;
    if (!t.SkipLines(1) || !t.GetLineCut(&line))
        return t.Fail("the header ends early");
    int code = CrystalCode(line);
    if (code >= 0)
        r.crystalType = code;
    r.resolution = 5.0;
    std::size_t eq = line.find('=');
    if (eq != line.npos) {
        float v;
        if (ParseFloatPrefix(line.substr(eq + 1), &v) == 0)
            return t.FailAtLine(2, "no resolution after '='");
        r.resolution = v;
    }
    if (!(std::isfinite(r.resolution) && r.resolution >= 0.1 && r.resolution <= 90))
        return t.FailAtLine(2, "resolution is not 0.1 to 90 degrees");
    for (double& v : r.lattice)
        v = 0.0;
    if (type == 1 && (!t.GetLineCut(&line) || !SixNumbers(line, r.lattice)))
        return t.FailAtLine(3, "expected six lattice parameters");
    if (!t.GetLineCut(&line) || !ParseAngles(line, &r.angle1, &r.angle2))
        return t.FailAtLine(type == 0 ? 3 : 4, "expected the angles \"(a, b)\"");
    for (int i = 0; i < 3; ++i)
        if (!t.GetLineCut(&line) || !ParseDirection(line, r.directions[i]))
            return t.FailAtLine((type == 0 ? 4 : 5) + i, "expected a direction \"[u v w]\"");
    r.fileName = "Unknown";
    for (auto& h : r.headerLines)
        h.clear();
    r.flags[0] = r.flags[1] = 0;
    r.comment = "Unknown";
    *info = r;
    return true;
}

bool ReadGrid(TextStream& t, int type, double** grid, int nA, int nB) {
    t.Rewind();
    if (!t.SkipLines(type == 0 ? 6 : 7))
        return t.Fail("the header ends early");
    for (int i = 0; i < nA; ++i)
        for (int j = 0; j < nB; ++j) {
            float v;
            if (t.ScanFloat(&v) != kConverted)
                return t.Fail("row " + std::to_string(i + 1) + ": expected " + std::to_string(nB) +
                              " numbers, found " + std::to_string(j) +
                              (t.AtEnd() ? " (the file ends here)" : ""));
            grid[i][j] = v;
        }
    return true;
}

} // namespace dataformats::ipf

int SaveIPFFile(IPFFileInfo* info, const double grid[19][73]) {
    if (info == nullptr || grid == nullptr)
        return 0;
    TextBuffer out;
    out.Put(kFirstLine);
    out.Format("%s\n(%.0f, %.0f)\n", CrystalName(info->crystalType).c_str(), info->angle1,
               info->angle2);
    PutNiceDirections(out, info->directions);
    PutRows(out, 19, 73, [grid](int i, int j) { return grid[i][j]; });
    return WriteFileAtomically(info->fileName.c_str(), out.Text(), WriteMessage::kCannotWriteFile);
}

int SaveHIPF(const char* fileName, int crystalType, double angle1, double angle2,
             const double directions[3][3], double resolution, int nRows, int nCols,
             double** grid) {
    if (fileName == nullptr || directions == nullptr || grid == nullptr || nRows < 1 || nCols < 1)
        return 0;
    TextBuffer out;
    out.Put(kFirstLine);
    out.Format("%s, Resolution = %.2f, %d x %d\n(%.0f, %.0f)\n", CrystalName(crystalType).c_str(),
               resolution, nRows, nCols, angle1, angle2);
    PutNiceDirections(out, directions);
    PutRows(out, nRows, nCols, [grid](int i, int j) { return grid[i][j]; });
    return WriteFileAtomically(fileName, out.Text(), WriteMessage::kCannotWriteFile);
}

int SaveHIPFFile(const char* fileName, IPFFileInfo* info, int nRows, int nCols, double** grid) {
    if (fileName == nullptr || info == nullptr || grid == nullptr || nRows < 1 || nCols < 1)
        return 0;
    TextBuffer out;
    out.Put(kFirstLine);
    const double* L = info->lattice;
    const auto& d = info->directions;
    out.Format("%s, Resolution = %.2f, %d x %d\n%.2f %.2f %.2f %.2f %.2f %.2f\n(%.0f, %.0f)\n"
               "[%.2f %.2f %.2f]\n[%.2f %.2f %.2f]\n[%.2f %.2f %.2f]\n",
               CrystalName(info->crystalType).c_str(), info->resolution, nRows, nCols, L[0], L[1],
               L[2], L[3], L[4], L[5], info->angle1, info->angle2, d[0][0], d[0][1], d[0][2],
               d[1][0], d[1][1], d[1][2], d[2][0], d[2][1], d[2][2]);
    PutRows(out, nRows, nCols, [grid](int i, int j) { return grid[i][j]; });
    return WriteFileAtomically(fileName, out.Text(), WriteMessage::kCannotWriteFile);
}

int OpenIPF(IPFFileInfo* info, double grid[19][73]) {
    if (info == nullptr || grid == nullptr)
        return 0;
    TextStream t;
    if (!t.Open(info->fileName.c_str()))
        return 0;
    std::string_view line;
    std::string header[5];
    if (!t.GetLine(&line, 128))
        return 0;
    for (auto& h : header) {
        if (!t.GetLineCut(&line, 128))
            return 0;
        h = std::string(line);
    }
    for (int i = 0; i < 19; ++i)
        for (int j = 0; j < 73; ++j) {
            float v;
            if (t.ScanFloat(&v) != kConverted)
                return 0;
            grid[i][j] = v;
        }
    for (int i = 0; i < 5; ++i)
        info->headerLines[i] = std::move(header[i]);
    return 1;
}
