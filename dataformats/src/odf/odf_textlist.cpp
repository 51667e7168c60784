// ODFs exported as text lists by other tools: one orientation per row,
// (phi1, Phi, phi2, value), after optional header lines.
//
// Header: lines starting with '%' or '#', and any line without numbers
// before the first row. A header line naming phi1, Phi and phi2 (and
// "value", "intensity", "odf", "f", "density", "weight" or "mrd" for the
// value) sets the column order; without one the order is phi1 Phi phi2
// value. A line mentioning "crystal" gives the crystal system by a point
// group, Laue class or system name ("m-3m", "6/mmm", "cubic"); a line
// mentioning "specimen" or "sample" gives the sample symmetry (orthorhombic:
// "mmm", "222"). Lists that do not say are read as cubic, with a note in the
// first pole figure name of the record (no pole figure is counted).
//
// Units: "radian"/"rad" or "degree"/"deg" in the header decide; otherwise a
// list is in radians when no angle exceeds 2 pi and no Phi exceeds pi (a
// degree list that small would cover less than 7 degrees of orientation
// space, too little to be an ODF).
//
// Mapping onto the grid. The grid is always the reduced region of the crystal
// system (GetEulerRangeInODFSpace) at the list's step, so that the engine
// accepts the description; the sample symmetry is orthorhombic when the
// header says so or when the list stops short of the region without sample
// symmetry (phi1 0..90 for a cubic list). Every grid point takes its value
// from the list at the point itself or at a symmetrically equivalent
// orientation (crystal operators, and the sample operators with sample
// symmetry), so lists of the whole Euler space or of another reduced region
// read as well as lists of the suite's own region.
//  - Regular lists (the angles of every column lie on one lattice origin +
//    k * step, the same step for the three angles): the list must hold every
//    row of its lattice. Grid points between lattice points (cell-centred
//    lists, Phi 2.5..87.5) are interpolated linearly from the surrounding
//    rows; where rows on one side are absent (Phi 0 of a cell-centred list)
//    the rows present are used, which extends the nearest row. phi1 and phi2
//    wrap round when the list covers the full turn (0..355 gives 360 from
//    0).
//  - Lists whose angles do not form one lattice (equal-area samplings of
//    orientation space, where the phi1 step depends on Phi): each grid point
//    takes the mean of the rows within one step (the resolution, the Phi
//    step of the list or 5 degrees) of misorientation, weighted by
//    1 - distance / step; a point with none takes the nearest row within two
//    steps. Such a list is told apart from a damaged regular list by its
//    number of distinct angles: a lattice has at most as many cells as rows
//    (a few extra for damaged values), a sampling has far more.
// Values are copied as they stand (multiples of a random distribution).
#include "odf/odf_textlist.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "common/text_stream.h"
#include "common/text_util.h"
#include "odf/odf_internal.h"
#include "orimath/constants.h"
#include "orimath/orientation.h"
#include "orimath/ranges.h"
#include "orimath/symmetry.h"
#include "registry/registry_internal.h"

namespace dataformats::odf {
namespace {

constexpr const char* kAxisName[3] = {"phi1", "Phi", "phi2"};
// Two angles closer than this (degrees) are the same grid value; lists print
// five decimals, radians four.
constexpr double kSameAngle = 0.01;
// How far from its lattice point a value may lie, as a fraction of the step.
constexpr double kLatticeTolerance = 0.01;
// A scattered list is resampled from at most this many symmetric copies.
constexpr std::size_t kMaxCopies = 4u * 1024u * 1024u;

struct Row {
    double angle[3]; // phi1, Phi, phi2 in the file's unit, then degrees
    double value;
    int line;
};

struct ListHeader {
    int column[4] = {0, 1, 2, 3}; // file column of phi1, Phi, phi2, value
    bool namedColumns = false;
    int units = 0; // 0 undecided, 1 degrees, 2 radians
    int crystal = -1;
    int specimen = -1; // 1 orthorhombic sample symmetry, 0 none
};

struct SymbolCode {
    const char* symbol;
    int crystal;
};

// Point groups, Laue classes and system names, lower case.
constexpr SymbolCode kSymbols[] = {
    {"m-3m", 0},         {"m3m", 0},          {"432", 0},        {"-43m", 0},      {"m-3", 0},
    {"m3", 0},           {"23", 0},           {"cubic", 0},      {"6/mmm", 1},     {"622", 1},
    {"6mm", 1},          {"-6m2", 1},         {"-62m", 1},       {"6/m", 1},       {"6", 1},
    {"-6", 1},           {"hexagonal", 1},    {"4/mmm", 2},      {"422", 2},       {"4mm", 2},
    {"-42m", 2},         {"-4m2", 2},         {"4/m", 2},        {"4", 2},         {"-4", 2},
    {"tetragonal", 2},   {"mmm", 3},          {"222", 3},        {"mm2", 3},       {"2mm", 3},
    {"m2m", 3},          {"orthorhombic", 3}, {"2/m", 4},        {"2", 4},         {"m", 4},
    {"12/m1", 4},        {"112/m", 4},        {"monoclinic", 4}, {"-3m", 5},       {"-3m1", 5},
    {"-31m", 5},         {"32", 5},           {"321", 5},        {"312", 5},       {"3m", 5},
    {"3m1", 5},          {"31m", 5},          {"-3", 5},         {"3", 5},         {"trigonal", 5},
    {"rhombohedral", 5}, {"-1", 6},           {"1", 6},          {"triclinic", 6},
};

// Default lattices when the list gives none: unit cells with the angles of
// the system and the ideal c/a of close-packed hexagonal crystals.
void DefaultLattice(int crystal, double lattice[6]) {
    const double cube[6] = {1, 1, 1, 90, 90, 90};
    std::copy(cube, cube + 6, lattice);
    if (crystal == orimath::kHexagonal) {
        lattice[2] = 1.633;
        lattice[5] = 120;
    }
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// Words of a header line: separated by blanks, quotes, ':', '=', ',', ';',
// parentheses.
std::vector<std::string> Words(std::string_view line) {
    std::vector<std::string> words;
    std::string word;
    for (char c : line) {
        if (std::isspace(static_cast<unsigned char>(c)) || std::strchr("\"':=,;()[]{}", c)) {
            if (!word.empty())
                words.push_back(Lower(word));
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty())
        words.push_back(Lower(word));
    return words;
}

int SymbolOf(const std::vector<std::string>& words, std::size_t from) {
    for (std::size_t i = from; i < words.size(); ++i)
        for (const SymbolCode& s : kSymbols)
            if (words[i] == s.symbol)
                return s.crystal;
    return -1;
}

void ReadHeaderLine(std::string_view line, ListHeader* h) {
    const std::vector<std::string> words = Words(line);
    // The symbol follows the word that names the subject.
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (words[i].find("crystal") != std::string::npos && h->crystal < 0)
            h->crystal = SymbolOf(words, i + 1);
        if ((words[i].find("specimen") != std::string::npos ||
             words[i].find("sample") != std::string::npos) &&
            h->specimen < 0) {
            int code = SymbolOf(words, i + 1);
            if (code >= 0)
                h->specimen = code == orimath::kOrthorhombic ? 1 : 0;
        }
        if (words[i] == "radians" || words[i] == "radian" || words[i] == "rad")
            h->units = 2;
        if (words[i] == "degrees" || words[i] == "degree" || words[i] == "deg")
            h->units = 1;
    }
    // Column names: three Euler angles and optionally the value, in order.
    int order[4], found = 0, angles = 0;
    bool seen[4] = {};
    for (const std::string& w : words) {
        int what = -1;
        if (w == "phi1")
            what = 0;
        else if (w == "phi")
            what = 1;
        else if (w == "phi2")
            what = 2;
        else if (w == "value" || w == "values" || w == "intensity" || w == "odf" || w == "f" ||
                 w == "density" || w == "weight" || w == "weights" || w == "mrd")
            what = 3;
        if (what < 0)
            continue;
        if (seen[what] || found == 4)
            return;
        seen[what] = true;
        order[found++] = what;
        angles += what < 3;
    }
    if (angles != 3)
        return;
    if (!seen[3])
        order[found++] = 3;
    for (int i = 0; i < 4; ++i)
        h->column[order[i]] = i;
    h->namedColumns = true;
}

bool IsComment(std::string_view trimmed) {
    return !trimmed.empty() && (trimmed[0] == '%' || trimmed[0] == '#');
}

// The numbers of a line; false when a field is not a number.
bool Numbers(std::string_view line, std::vector<double>* out) {
    out->clear();
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (std::isspace(static_cast<unsigned char>(line[i])) ||
                                   line[i] == ',' || line[i] == ';'))
            ++i;
        if (i == line.size())
            break;
        std::size_t end = i;
        while (end < line.size() && !std::isspace(static_cast<unsigned char>(line[end])) &&
               line[end] != ',' && line[end] != ';')
            ++end;
        std::string_view field = line.substr(i, end - i);
        if (field.size() > 1 && field[0] == '+')
            field.remove_prefix(1);
        double v = 0;
        auto [ptr, ec] = std::from_chars(field.data(), field.data() + field.size(), v);
        if (ec != std::errc() || ptr != field.data() + field.size())
            return false;
        out->push_back(v);
        i = end;
    }
    return true;
}

std::string Format(const char* fmt, double a) {
    char text[64];
    std::snprintf(text, sizeof text, fmt, a);
    return text;
}

// "7.3" rather than "7.300000".
std::string Num(double v) {
    return Format("%g", std::round(v * 1e5) / 1e5);
}

FileError AtLine(int line, std::string what) {
    return FileError{"line " + std::to_string(line), std::move(what)};
}

struct ParsedList {
    ListHeader header;
    std::vector<Row> rows;
};

Expected<ParsedList> Parse(const std::string& text) {
    ParsedList p;
    std::vector<double> numbers;
    std::size_t pos = 0;
    int line = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string_view raw(text.data() + pos, end - pos);
        pos = end + 1;
        ++line;
        std::string_view s = Trim(raw);
        if (s.empty())
            continue;
        if (IsComment(s)) {
            if (p.rows.empty())
                ReadHeaderLine(s.substr(1), &p.header);
            continue;
        }
        if (!Numbers(s, &numbers)) {
            if (p.rows.empty()) {
                ReadHeaderLine(s, &p.header);
                continue;
            }
            return AtLine(line, "expected 4 numbers, found text");
        }
        if (numbers.size() != 4)
            return AtLine(line, "expected 4 numbers, found " + std::to_string(numbers.size()));
        Row r;
        for (int a = 0; a < 3; ++a)
            r.angle[a] = numbers[p.header.column[a]];
        r.value = numbers[p.header.column[3]];
        r.line = line;
        for (int a = 0; a < 3; ++a)
            if (!std::isfinite(r.angle[a]))
                return AtLine(line, std::string(kAxisName[a]) + " is not a finite number");
        if (!std::isfinite(r.value))
            return AtLine(line, "the value is not a finite number");
        p.rows.push_back(r);
    }
    if (p.rows.empty())
        return FileError{"", "no rows of four numbers (phi1, Phi, phi2, value)"};
    return p;
}

// Converts the angles to degrees and checks their ranges.
Expected<Done> ToDegrees(ParsedList* p) {
    bool radians = p->header.units == 2;
    if (p->header.units == 0) {
        radians = true;
        for (const Row& r : p->rows)
            if (r.angle[0] > orimath::kTwoPi + 1e-3 || r.angle[2] > orimath::kTwoPi + 1e-3 ||
                r.angle[1] > orimath::kPi + 1e-3) {
                radians = false;
                break;
            }
    }
    const double top[3] = {360, 180, 360};
    for (Row& r : p->rows)
        for (int a = 0; a < 3; ++a) {
            double& v = r.angle[a];
            if (radians)
                v *= orimath::kRadToDeg;
            if (v < -kSameAngle || v > top[a] + kSameAngle)
                return AtLine(r.line, std::string(kAxisName[a]) + " " + Num(v) +
                                          " is outside 0 to " + Num(top[a]) + " degrees");
            v = std::clamp(v, 0.0, top[a]);
        }
    return Done{};
}

// The distinct values of one angle, each with the first line it is on.
struct Distinct {
    double value;
    int line;
};

std::vector<Distinct> DistinctValues(const std::vector<Row>& rows, int axis) {
    std::vector<Distinct> all;
    all.reserve(rows.size());
    for (const Row& r : rows)
        all.push_back({r.angle[axis], r.line});
    std::sort(all.begin(), all.end(),
              [](const Distinct& a, const Distinct& b) { return a.value < b.value; });
    std::vector<Distinct> out;
    for (const Distinct& d : all) {
        if (!out.empty() && d.value - out.back().value < kSameAngle) {
            out.back().line = std::min(out.back().line, d.line);
            continue;
        }
        out.push_back(d);
    }
    return out;
}

// The most frequent gap between neighbouring distinct values (the smaller on
// a tie); 0 for a single value.
double CommonStep(const std::vector<Distinct>& values) {
    std::vector<double> gaps;
    for (std::size_t i = 1; i < values.size(); ++i)
        gaps.push_back(values[i].value - values[i - 1].value);
    if (gaps.empty())
        return 0;
    std::sort(gaps.begin(), gaps.end());
    double best = gaps[0];
    std::size_t bestRun = 0;
    for (std::size_t i = 0; i < gaps.size();) {
        std::size_t j = i;
        while (j < gaps.size() && gaps[j] - gaps[i] < kSameAngle)
            ++j;
        if (j - i > bestRun) {
            bestRun = j - i;
            best = (gaps[i] + gaps[j - 1]) / 2;
        }
        i = j;
    }
    return best;
}

// One angle of a regular list: lattice origin + k * step, k = 0..count-1.
struct Axis {
    double origin = 0, step = 0;
    int count = 1;
    bool periodic = false; // count * step is a full turn
};

bool OnLattice(double v, double origin, double step) {
    const double k = (v - origin) / step;
    return std::fabs(k - std::round(k)) <= kLatticeTolerance;
}

Expected<Axis> LatticeOf(const std::vector<Distinct>& values, int axis, double step) {
    Axis a;
    a.origin = values.front().value;
    if (values.size() == 1)
        return a;
    a.step = step;
    // The origin is the first value, or the second when the first is the
    // one off the lattice.
    auto misses = [&](double origin) {
        int n = 0;
        for (const Distinct& d : values)
            n += !OnLattice(d.value, origin, step);
        return n;
    };
    if (misses(values[1].value) < misses(values[0].value))
        a.origin = values[1].value - step * std::round((values[1].value - values[0].value) / step);
    const Distinct* bad = nullptr;
    for (const Distinct& d : values)
        if (!OnLattice(d.value, a.origin, step) && (bad == nullptr || d.line < bad->line))
            bad = &d;
    if (bad != nullptr)
        return AtLine(bad->line, std::string("the ") + kAxisName[axis] +
                                     " values are not on a regular grid: " + Num(bad->value));
    a.origin = std::max(0.0, a.origin);
    a.count = static_cast<int>(std::lround((values.back().value - a.origin) / step)) + 1;
    // A lattice point no row has (a whole plane of the grid is missing).
    for (std::size_t i = 0, k = 0; k < static_cast<std::size_t>(a.count); ++k) {
        const double expected = a.origin + k * step;
        if (i < values.size() && std::fabs(values[i].value - expected) < step / 2) {
            ++i;
            continue;
        }
        return FileError{"", std::string("no row has ") + kAxisName[axis] + " " + Num(expected) +
                                 " (the list holds " + kAxisName[axis] + " " +
                                 Num(values.front().value) + " to " + Num(values.back().value) +
                                 " in steps of " + Num(step) + ")"};
    }
    a.periodic = axis != 1 && std::fabs(a.count * step - 360) < kLatticeTolerance * step;
    return a;
}

// 90 / n when the step is within half a percent of it, so that radian lists
// printed with four decimals read onto the degree grid they were made on.
double SnapResolution(double step) {
    const double n = std::round(90 / step);
    if (n >= 1 && std::fabs(step - 90 / n) <= 0.005 * step)
        return 90 / n;
    return step;
}

struct Analysis {
    bool regular = false;
    Axis axis[3];
    double resolution = 5;
    int crystal = 0;
    bool crystalStated = false;
    int sampleSym = 0;
};

Expected<Analysis> Analyse(const ParsedList& p) {
    Analysis an;
    std::vector<Distinct> values[3];
    double cells = 1;
    for (int a = 0; a < 3; ++a) {
        values[a] = DistinctValues(p.rows, a);
        cells *= static_cast<double>(values[a].size());
    }
    // A lattice holds at most one row per cell; a damaged value or a missing
    // row changes that little, a sampling of orientation space a lot.
    an.regular = cells <= 2.0 * static_cast<double>(p.rows.size()) + 8;
    if (an.regular) {
        double step = 0;
        int stepAxis = -1;
        for (int a = 0; a < 3; ++a) {
            const double s = CommonStep(values[a]);
            if (s <= 0)
                continue;
            if (stepAxis >= 0 && std::fabs(s - step) > kLatticeTolerance * step)
                return FileError{"", std::string("the angle steps differ: ") + kAxisName[stepAxis] +
                                         " " + Num(step) + ", " + kAxisName[a] + " " + Num(s) +
                                         " degrees"};
            if (stepAxis < 0) {
                step = s;
                stepAxis = a;
            }
        }
        if (stepAxis < 0)
            return FileError{"", "the list holds a single orientation"};
        for (int a = 0; a < 3; ++a) {
            Expected<Axis> axis = LatticeOf(values[a], a, step);
            if (!axis)
                return axis.error();
            an.axis[a] = *axis;
        }
        an.resolution = SnapResolution(step);
    } else {
        // The Phi step of a sampling, when its Phi values are regular.
        const double s = CommonStep(values[1]);
        bool regularPhi = s > 0 && values[1].size() <= 3601;
        for (const Distinct& d : values[1])
            regularPhi = regularPhi && OnLattice(d.value, values[1].front().value, s);
        an.resolution = regularPhi ? SnapResolution(s) : 5.0;
    }
    if (!IsUsableOdfResolution(an.resolution))
        return FileError{"", "the grid step " + Num(an.resolution) +
                                 " degrees is not 0.1 to 90 degrees"};
    an.crystalStated = p.header.crystal >= 0;
    an.crystal = an.crystalStated ? p.header.crystal : orimath::kCubic;
    // Sample symmetry: stated, or the list stops short of the region without
    // it along an axis that the sample symmetry shortens (then the values
    // beyond are not in the list, whatever the header says). A sampling's
    // largest phi1 may lie a few steps below the full turn.
    an.sampleSym = p.header.specimen == 1 ? 1 : 0;
    int full[3], reduced[3];
    GetEulerRangeInODFSpace(&full[0], &full[1], &full[2], an.crystal, an.resolution, 0);
    GetEulerRangeInODFSpace(&reduced[0], &reduced[1], &reduced[2], an.crystal, an.resolution, 1);
    const double margin = (an.regular ? 1 : 3) * an.resolution;
    for (int a = 0; a < 3; ++a) {
        const double reach = values[a].back().value + margin;
        const double fullEnd = (full[a] - 1) * an.resolution;
        if (reduced[a] < full[a] && reach < fullEnd - kSameAngle)
            an.sampleSym = 1;
    }
    return an;
}

// The symmetry operators (proper crystal operators, and the sample
// operators when sampleSym is set) as 3 x 3 matrices.
struct Operators {
    std::vector<std::array<std::array<double, 3>, 3>> crystal, sample;
};

using Matrix = double[3][3];

Operators OperatorsOf(int crystal, const double lattice[6], int sampleSym) {
    Operators ops;
    static thread_local double table[7][24][3][3];
    int count = 0;
    Symmdata(table, &count, 1, crystal, lattice);
    for (int i = 0; i < count; ++i) {
        const auto& m = table[crystal][i];
        const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                           m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
        if (det < 0) // an improper operator gives no rotation of the list
            continue;
        std::array<std::array<double, 3>, 3> op;
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                op[r][c] = m[r][c];
        ops.crystal.push_back(op);
    }
    double sample[4][3][3];
    SamSymData(sample);
    for (int i = 0; i < (sampleSym ? 4 : 1); ++i) {
        std::array<std::array<double, 3>, 3> op;
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                op[r][c] = sample[i][r][c];
        ops.sample.push_back(op);
    }
    return ops;
}

// c = a * g * b.
void Sandwich(const std::array<std::array<double, 3>, 3>& a, const Matrix g,
              const std::array<std::array<double, 3>, 3>& b, Matrix c) {
    double t[3][3];
    for (int r = 0; r < 3; ++r)
        for (int k = 0; k < 3; ++k)
            t[r][k] = a[r][0] * g[0][k] + a[r][1] * g[1][k] + a[r][2] * g[2][k];
    for (int r = 0; r < 3; ++r)
        for (int k = 0; k < 3; ++k)
            c[r][k] = t[r][0] * b[0][k] + t[r][1] * b[1][k] + t[r][2] * b[2][k];
}

// Linear interpolation on the lattice of a regular list.
class Lattice {
  public:
    Lattice(const Analysis& an) {
        for (int a = 0; a < 3; ++a)
            axis_[a] = an.axis[a];
        values_.assign(static_cast<std::size_t>(axis_[0].count) * axis_[1].count * axis_[2].count,
                       std::numeric_limits<double>::quiet_NaN());
        lines_.assign(values_.size(), 0);
    }

    Expected<Done> Fill(const std::vector<Row>& rows) {
        for (const Row& r : rows) {
            int k[3];
            for (int a = 0; a < 3; ++a)
                k[a] = axis_[a].step > 0 ? static_cast<int>(std::lround(
                                               (r.angle[a] - axis_[a].origin) / axis_[a].step))
                                         : 0;
            const std::size_t i = Index(k);
            if (lines_[i] != 0)
                return AtLine(r.line, "a second row for phi1 " + Num(r.angle[0]) + ", Phi " +
                                          Num(r.angle[1]) + ", phi2 " + Num(r.angle[2]) +
                                          " (the first is at line " + std::to_string(lines_[i]) +
                                          ")");
            values_[i] = r.value;
            lines_[i] = r.line;
        }
        // Every lattice point has a row; name the first without one.
        for (int k2 = 0; k2 < axis_[2].count; ++k2)
            for (int k = 0; k < axis_[1].count; ++k)
                for (int k1 = 0; k1 < axis_[0].count; ++k1) {
                    const int kk[3] = {k1, k, k2};
                    if (lines_[Index(kk)] == 0)
                        return FileError{"", "the list has no row for phi1 " + Angle(0, k1) +
                                                 ", Phi " + Angle(1, k) + ", phi2 " + Angle(2, k2)};
                }
        return Done{};
    }

    // Sum of weight * value and of the weights of the lattice points around
    // the orientation (degrees) that the list holds.
    void Sample(const double e[3], double* sum, double* weight) const {
        int k0[3];
        double t[3];
        for (int a = 0; a < 3; ++a) {
            const Axis& ax = axis_[a];
            if (ax.step <= 0) {
                if (std::fabs(e[a] - ax.origin) > kSameAngle &&
                    !(a != 1 && std::fabs(std::fabs(e[a] - ax.origin) - 360) < kSameAngle)) {
                    *sum = *weight = 0;
                    return;
                }
                k0[a] = 0;
                t[a] = 0;
                continue;
            }
            double v = e[a];
            if (a != 1) { // phi1 and phi2 are angles of a turn
                while (v < ax.origin - kSameAngle)
                    v += 360;
                while (v >= ax.origin + 360 - kSameAngle)
                    v -= 360;
            }
            double u = (v - ax.origin) / ax.step;
            double f = std::floor(u);
            double frac = u - f;
            if (frac > 1 - 1e-6) {
                f += 1;
                frac = 0;
            } else if (frac < 1e-6) {
                frac = 0;
            }
            k0[a] = static_cast<int>(f);
            t[a] = frac;
        }
        double s = 0, w = 0;
        for (int corner = 0; corner < 8; ++corner) {
            double cw = 1;
            int k[3];
            bool inside = true;
            for (int a = 0; a < 3; ++a) {
                const int up = (corner >> a) & 1;
                cw *= up ? t[a] : 1 - t[a];
                k[a] = k0[a] + up;
                if (axis_[a].periodic)
                    k[a] = ((k[a] % axis_[a].count) + axis_[a].count) % axis_[a].count;
                inside = inside && k[a] >= 0 && k[a] < axis_[a].count;
            }
            if (cw <= 0 || !inside)
                continue;
            const double v = values_[Index(k)];
            if (std::isnan(v))
                continue;
            s += cw * v;
            w += cw;
        }
        *sum = s;
        *weight = w;
    }

  private:
    std::size_t Index(const int k[3]) const {
        return (static_cast<std::size_t>(k[2]) * axis_[1].count + k[1]) * axis_[0].count + k[0];
    }
    std::string Angle(int a, int k) const { return Num(axis_[a].origin + k * axis_[a].step); }

    Axis axis_[3];
    std::vector<double> values_;
    std::vector<int> lines_;
};

FileError NoValueNear(const double e[3], double radius) {
    return FileError{"", "the list holds no value within " + Num(radius) + " degrees of phi1 " +
                             Num(e[0]) + ", Phi " + Num(e[1]) + ", phi2 " + Num(e[2])};
}

// Degrees from radians of Eulerangle.
bool EulerOf(Matrix g, double e[3]) {
    double rad[3];
    if (!Eulerangle(g, rad))
        return false;
    for (int a = 0; a < 3; ++a)
        e[a] = rad[a] * orimath::kRadToDeg;
    return true;
}

Expected<Done> FillFromLattice(const ParsedList& p, const Analysis& an, const RawHODFInfo& info,
                               orimath::Grid3<double>* grid) {
    Lattice lattice(an);
    if (auto filled = lattice.Fill(p.rows); !filled)
        return filled.error();
    const Operators ops = OperatorsOf(an.crystal, info.lattice, an.sampleSym);
    const double res = an.resolution;
    for (int k2 = 0; k2 < grid->phi2Count(); ++k2)
        for (int k = 0; k < grid->PhiCount(); ++k)
            for (int k1 = 0; k1 < grid->phi1Count(); ++k1) {
                double e[3] = {k1 * res, k * res, k2 * res};
                double sum = 0, weight = 0;
                lattice.Sample(e, &sum, &weight);
                if (weight < 1 - 1e-9) {
                    // Look for an equivalent orientation the list surrounds fully.
                    Matrix g;
                    Gmatrix(e, g);
                    for (const auto& sc : ops.crystal)
                        for (const auto& ss : ops.sample) {
                            if (weight >= 1 - 1e-9)
                                break;
                            Matrix h;
                            double eq[3], s = 0, w = 0;
                            Sandwich(sc, g, ss, h);
                            if (!EulerOf(h, eq))
                                continue;
                            lattice.Sample(eq, &s, &w);
                            if (w > weight + 1e-9) {
                                sum = s;
                                weight = w;
                            }
                        }
                }
                if (weight <= 1e-9)
                    return NoValueNear(e, res);
                (*grid)[k2][k][k1] = sum / weight;
            }
    return Done{};
}

// A symmetric copy of a row of a scattered list.
struct Copy {
    double Phi; // degrees, the sort key
    double g[9];
    double value;
};

Expected<Done> FillFromSampling(const ParsedList& p, const Analysis& an, const RawHODFInfo& info,
                                orimath::Grid3<double>* grid) {
    const Operators ops = OperatorsOf(an.crystal, info.lattice, an.sampleSym);
    const std::size_t perRow = ops.crystal.size() * ops.sample.size();
    if (p.rows.size() > kMaxCopies / std::max<std::size_t>(perRow, 1))
        return FileError{"", "the list holds too many orientations off a regular grid (" +
                                 std::to_string(p.rows.size()) + ")"};
    std::vector<Copy> copies;
    try {
        copies.reserve(p.rows.size() * perRow);
    } catch (const std::bad_alloc&) {
        return FileError{"", "not enough memory for the orientations of the list"};
    }
    for (const Row& r : p.rows) {
        Matrix g;
        Gmatrix(r.angle, g);
        for (const auto& sc : ops.crystal)
            for (const auto& ss : ops.sample) {
                Matrix h;
                Sandwich(sc, g, ss, h);
                Copy c;
                c.Phi = std::acos(std::clamp(h[2][2], -1.0, 1.0)) * orimath::kRadToDeg;
                for (int i = 0; i < 9; ++i)
                    c.g[i] = h[i / 3][i % 3];
                c.value = r.value;
                copies.push_back(c);
            }
    }
    std::sort(copies.begin(), copies.end(),
              [](const Copy& a, const Copy& b) { return a.Phi < b.Phi; });
    const double res = an.resolution;
    // Distances to compute: every grid point against the copies in a band of
    // Phi two steps wide. Beyond a few seconds of work the list is refused.
    const double work = static_cast<double>(grid->size()) * static_cast<double>(copies.size()) *
                        std::min(1.0, 2 * res / 180);
    if (work > 4e9)
        return FileError{"", "the list is too large to resample onto a " + Num(res) +
                                 " degree grid (" + std::to_string(p.rows.size()) +
                                 " orientations off a regular grid)"};
    // The misorientation is at least the difference of the Phi angles (the
    // angle between the two crystal c axes seen from the sample), so only
    // copies in a band of Phi need their distance.
    auto scan = [&](const Matrix g, double Phi, double radius, double* sum, double* weight,
                    double* nearest, double* nearestValue) {
        auto lo = std::lower_bound(copies.begin(), copies.end(), Phi - radius,
                                   [](const Copy& c, double v) { return c.Phi < v; });
        const double cosRadius = std::cos(radius * orimath::kDegToRad);
        for (auto it = lo; it != copies.end() && it->Phi <= Phi + radius; ++it) {
            // The crystal c axes (third rows) are at most the misorientation
            // apart: a cheap test before the whole trace.
            if (g[2][0] * it->g[6] + g[2][1] * it->g[7] + g[2][2] * it->g[8] < cosRadius)
                continue;
            double trace = 0;
            for (int r = 0; r < 3; ++r)
                for (int c = 0; c < 3; ++c)
                    trace += g[r][c] * it->g[r * 3 + c];
            const double cosw = std::clamp((trace - 1) / 2, -1.0, 1.0);
            if (cosw < cosRadius)
                continue;
            const double w = std::acos(cosw) * orimath::kRadToDeg;
            if (w < *nearest) {
                *nearest = w;
                *nearestValue = it->value;
            }
            if (w < res) {
                *sum += (1 - w / res) * it->value;
                *weight += 1 - w / res;
            }
        }
    };
    for (int k2 = 0; k2 < grid->phi2Count(); ++k2)
        for (int k = 0; k < grid->PhiCount(); ++k)
            for (int k1 = 0; k1 < grid->phi1Count(); ++k1) {
                double e[3] = {k1 * res, k * res, k2 * res};
                Matrix g;
                Gmatrix(e, g);
                const double Phi = std::acos(std::clamp(g[2][2], -1.0, 1.0)) * orimath::kRadToDeg;
                double sum = 0, weight = 0, nearest = 1e9, nearestValue = 0;
                scan(g, Phi, res, &sum, &weight, &nearest, &nearestValue);
                if (weight > 0) {
                    (*grid)[k2][k][k1] = sum / weight;
                    continue;
                }
                scan(g, Phi, 2 * res, &sum, &weight, &nearest, &nearestValue);
                if (nearest > 2 * res)
                    return NoValueNear(e, 2 * res);
                (*grid)[k2][k][k1] = nearestValue;
            }
    return Done{};
}

} // namespace

bool IsTextList(TextStream& t) {
    const std::string& text = t.Text();
    ListHeader header;
    std::vector<double> numbers;
    std::vector<std::array<double, 3>> rows;
    int otherLines = 0, headerLines = 0;
    std::size_t pos = 0;
    // The first rows decide; a damaged row further on is reported by the read.
    while (pos < text.size() && rows.size() < 200) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string_view s = Trim(std::string_view(text.data() + pos, end - pos));
        pos = end + 1;
        if (s.empty())
            continue;
        if (IsComment(s)) {
            if (rows.empty())
                ReadHeaderLine(s.substr(1), &header);
            continue;
        }
        const bool numeric = Numbers(s, &numbers);
        if (rows.empty() && !numeric) {
            if (++headerLines > 50)
                return false;
            ReadHeaderLine(s, &header);
            continue;
        }
        if (!numeric || numbers.size() != 4) {
            if (rows.empty())
                return false;
            ++otherLines;
            continue;
        }
        std::array<double, 3> e;
        for (int a = 0; a < 3; ++a)
            e[a] = numbers[header.column[a]];
        const double top[3] = {360, 180, 360};
        bool inRange = std::isfinite(numbers[header.column[3]]);
        for (int a = 0; a < 3; ++a)
            inRange = inRange && e[a] >= -kSameAngle && e[a] <= top[a] + kSameAngle;
        if (!inRange) {
            ++otherLines;
            continue;
        }
        rows.push_back(e);
    }
    if (rows.size() < 8 || otherLines * 10 > static_cast<int>(rows.size()))
        return false;
    if (header.namedColumns)
        return true;
    // Without named columns the rows must step through a grid: one angle
    // advances by a constant step, and where it does not, another angle
    // changes (the start of the next run).
    int fast = -1;
    double step = 0;
    for (int a = 0; a < 3 && fast < 0; ++a)
        if (std::fabs(rows[1][a] - rows[0][a]) > 1e-9) {
            fast = a;
            step = rows[1][a] - rows[0][a];
        }
    if (fast < 0 || step <= 0)
        return false;
    int steps = 0;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        bool othersSame = true;
        for (int a = 0; a < 3; ++a)
            if (a != fast && std::fabs(rows[i][a] - rows[i - 1][a]) > 1e-9)
                othersSame = false;
        const bool stepped = std::fabs(rows[i][fast] - rows[i - 1][fast] - step) < 1e-3 * step;
        if (stepped && othersSame)
            ++steps;
        else if (othersSame)
            return false;
    }
    return steps * 10 >= static_cast<int>(rows.size() - 1) * 6;
}

Expected<TextListOdf> ReadTextList(TextStream& t, bool withGrid) {
    Expected<ParsedList> parsed = Parse(t.Text());
    if (!parsed)
        return parsed.error();
    if (auto converted = ToDegrees(&*parsed); !converted)
        return converted.error();
    Expected<Analysis> analysis = Analyse(*parsed);
    if (!analysis)
        return analysis.error();
    const Analysis& an = *analysis;
    TextListOdf out;
    RawHODFInfo& r = out.info;
    r.crystalType = an.crystal;
    DefaultLattice(an.crystal, r.lattice);
    r.resolution = an.resolution;
    r.sampleSymmetry = an.sampleSym;
    r.fibreAverage = 0;
    if (!an.crystalStated)
        CopyBounded(r.pfNames[0], sizeof r.pfNames[0],
                    "crystal system not stated in the list; read as cubic");
    if (!withGrid)
        return out;
    int n1 = 0, n = 0, n2 = 0;
    GetEulerRangeInODFSpace(&n1, &n, &n2, an.crystal, an.resolution, an.sampleSym);
    // The limit of the other ODF readers; a few rows with a tiny step would
    // otherwise ask for billions of grid points.
    const double cells = static_cast<double>(n1) * n * n2;
    if (cells > static_cast<double>(kMaxValues))
        return FileError{"", "the grid of " + Num(cells) + " values at " + Num(an.resolution) +
                                 " degrees is too large"};
    try {
        out.grid = orimath::Grid3<double>({.phi1 = n1, .Phi = n, .phi2 = n2});
    } catch (const std::bad_alloc&) {
        return FileError{"", "not enough memory for the grid"};
    }
    Expected<Done> filled = an.regular ? FillFromLattice(*parsed, an, r, &out.grid)
                                       : FillFromSampling(*parsed, an, r, &out.grid);
    if (!filled)
        return filled.error();
    return out;
}

namespace {

bool DetectHook(const FileLayout&, FileProbe& probe) {
    TextStream* t = probe.GetState().Text();
    return t != nullptr && IsTextList(*t);
}

// The list's description over the caller's record: the fields a list does
// not carry (pole figures, iteration) keep their values.
Expected<FileData> ReadHook(const FileLayout&, const std::string& path, int index,
                            const FileDescription& start, bool withGrid) {
    if (index != 0)
        return NoSuchFigure(index, 1);
    TextStream t;
    if (!t.Open(path.c_str()))
        return CannotOpen();
    Expected<TextListOdf> list = ReadTextList(t, withGrid);
    if (!list)
        return list.error();
    FileData data;
    data.description = start;
    data.description.family = FileFamily::ODF;
    RawHODFInfo& r = data.description.odf;
    r.crystalType = list->info.crystalType;
    std::copy(list->info.lattice, list->info.lattice + 6, r.lattice);
    r.resolution = list->info.resolution;
    r.sampleSymmetry = list->info.sampleSymmetry;
    r.fibreAverage = 0;
    if (r.nPF == 0)
        std::copy(std::begin(list->info.pfNames[0]), std::end(list->info.pfNames[0]), r.pfNames[0]);
    SetPath(&r, path.c_str());
    data.grid3 = std::move(list->grid);
    return data;
}

Expected<FileDescription> DescribeHook(const FileLayout& layout, const std::string& path, int index,
                                       const FileDescription& start) {
    Expected<FileData> data = ReadHook(layout, path, index, start, false);
    if (!data)
        return data.error();
    return data->description;
}

Expected<FileData> ReadGridHook(const FileLayout& layout, const std::string& path, int index,
                                const FileDescription& start) {
    return ReadHook(layout, path, index, start, true);
}

constexpr FileLayoutHooks kHooks{DetectHook, CountOne, DescribeHook, ReadGridHook, nullptr};

} // namespace

const FileLayoutHooks* TextListHooks() {
    return &kHooks;
}

} // namespace dataformats::odf
