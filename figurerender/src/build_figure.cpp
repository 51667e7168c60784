// Reading a data file through the dataformats layout registry into the
// viewer's display objects.
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <memory>
#include <vector>

#include "dataformats/file_layouts.h"
#include "figurerender/figure_render.h"
#include "level_legend.h"
#include "orimath/constants.h"
#include "orimath/symmetry.h"
#include "plotkit/plotkit.h"

namespace figurerender {

namespace {

int Fail(std::string* error, const std::string& text) {
    if (error)
        *error = text;
    return 0;
}

// Values of an nA x nB grid of step res (alpha rows, beta columns) at the
// 5 degree points, bilinear between grid points.
void ResampleTo5Degree(double** grid, int nA, int nB, double res, double out[19][73]) {
    for (int i = 0; i < 19; ++i)
        for (int j = 0; j < 73; ++j) {
            double fa = 5.0 * i / res, fb = 5.0 * j / res;
            fa = std::min(fa, double(nA - 1));
            fb = std::min(fb, double(nB - 1));
            const int a0 = static_cast<int>(fa), b0 = static_cast<int>(fb);
            const int a1 = std::min(a0 + 1, nA - 1), b1 = std::min(b0 + 1, nB - 1);
            const double ta = fa - a0, tb = fb - b0;
            const double v = (1 - ta) * ((1 - tb) * grid[a0][b0] + tb * grid[a0][b1]) +
                             ta * ((1 - tb) * grid[a1][b0] + tb * grid[a1][b1]);
            out[i][j] = std::isfinite(v) ? v : 0.0;
        }
}

dataformats::FileFamily ToFileFamily(Family family) {
    switch (family) {
    case Family::ODF:
        return dataformats::FileFamily::ODF;
    case Family::InversePoleFigure:
        return dataformats::FileFamily::InversePoleFigure;
    case Family::GBCD:
        return dataformats::FileFamily::GBCD;
    default:
        return dataformats::FileFamily::PoleFigure;
    }
}

Family FromFileFamily(dataformats::FileFamily family) {
    switch (family) {
    case dataformats::FileFamily::ODF:
        return Family::ODF;
    case dataformats::FileFamily::InversePoleFigure:
        return Family::InversePoleFigure;
    case dataformats::FileFamily::GBCD:
        return Family::GBCD;
    case dataformats::FileFamily::PoleFigure:
        break;
    }
    return Family::PoleFigure;
}

// The layout of the input: any family for Auto, else within the family.
const dataformats::FileLayout* FindInputLayout(const std::string& input, Family family,
                                               std::string* error) {
    if (family == Family::Auto) {
        auto layout = dataformats::DetectLayout(input);
        if (!layout) {
            Fail(error, input + ": " + layout.error().Text());
            return nullptr;
        }
        return *layout;
    }
    dataformats::FileProbe probe(input);
    const dataformats::FileLayout* layout = dataformats::DetectLayout(probe, ToFileFamily(family));
    if (!layout)
        Fail(error, std::string("not a ") + dataformats::FamilyName(ToFileFamily(family)) +
                        " file of a known layout: " + input);
    return layout;
}

// "cannot read the <family> file <input>: <reason>"
int ReadFailure(std::string* error, const dataformats::FileLayout& layout, const std::string& input,
                const dataformats::FileError& why) {
    return Fail(error, std::string("cannot read the ") + dataformats::FamilyName(layout.family) +
                           " file " + input + ": " + why.Text());
}

// "{111}" from the first "(h k l)" of three integers in the description
// line; empty when there is none.
std::string IndexText(const std::string& description) {
    // Readers of layouts without indices describe them as "Unknown, (1 1 1)".
    if (description.rfind("Unknown", 0) == 0)
        return {};
    for (std::size_t open = description.find('('); open != std::string::npos;
         open = description.find('(', open + 1)) {
        int n[3];
        int used = 0;
        char close = 0;
        if (std::sscanf(description.c_str() + open, "(%d %d %d%c%n", &n[0], &n[1], &n[2], &close,
                        &used) == 4 &&
            close == ')') {
            bool small = true;
            for (int v : n)
                small = small && v >= 0 && v <= 9;
            char buf[64];
            if (small)
                std::snprintf(buf, sizeof buf, "{%d%d%d}", n[0], n[1], n[2]);
            else
                std::snprintf(buf, sizeof buf, "{%d %d %d}", n[0], n[1], n[2]);
            return buf;
        }
    }
    return {};
}

int BuildPoleFigures(const dataformats::FileLayout& layout, const std::string& input,
                     Figure* figure, std::string* error) {
    auto count = layout.Count(input);
    if (!count)
        return ReadFailure(error, layout, input, count.error());
    const std::string name = QFileInfo(QString::fromStdString(input)).fileName().toStdString();
    for (int k = 0; k < *count; ++k) {
        auto read = layout.Read(input, k);
        if (!read)
            return ReadFailure(error, layout, input, read.error());
        const PFFileInfo& info = read->description.pf;
        auto& grid = read->grid2;
        if (grid.alphaCount() < 2 || grid.betaCount() < 2 || !(info.resolution > 0))
            return Fail(error, "pole figure grid too small in " + input);
        auto pf = std::make_unique<CPFStructure>(name);
        auto data = std::make_unique<double[][73]>(19);
        ResampleTo5Degree(grid.Tree(), grid.alphaCount(), grid.betaCount(), info.resolution,
                          data.get());
        pf->SetData(data.get());
        PFInfo rec = pf->GetInfo();
        const std::string index = IndexText(info.description);
        if (!index.empty())
            plotkit::CopyText(rec.indexText, index);
        // Side by side when one file holds several pole figures.
        rec.startX = 20 + k * 75;
        rec.startY = 20;
        pf->SetInfo(rec);
        figure->objects.push_back(std::move(pf));
    }
    // Several pole figures of one file share one set of levels (from the
    // largest maximum), so that the one legend describes them all.
    if (figure->objects.size() > 1) {
        double top = -1.0;
        for (auto& o : figure->objects)
            top = std::max(top, static_cast<CPFStructure&>(*o).GetInfo().maximum);
        for (auto& o : figure->objects) {
            auto& pf = static_cast<CPFStructure&>(*o);
            PFInfo rec = pf.GetInfo();
            plotkit::SetDefaultLevels(rec.levels, top);
            pf.SetInfo(rec);
        }
    }
    return 1;
}

// 5 degree grid index of the last point of an axis of `count` points `res`
// degrees apart, at most `last`; -1 when the axis has no extent.
int LastFiveDegreeIndex(int count, double res, int last) {
    if (count < 2 || !(res > 0) || !std::isfinite(res))
        return -1;
    const double degrees = (count - 1) * res;
    return std::clamp(static_cast<int>(std::lround(degrees / 5.0)), 1, last);
}

// Step (in 5 degree grid steps) between the sections shown of a range of
// `last` steps: the smallest step that ends on the last section and shows
// at most seven, so that a cubic range 0..90 shows 0, 15, ..., 90 (the 45
// degree section with the Brass, Copper and Goss positions among them) and
// a range to 360 every 60 degrees.
int SectionStep(int last) {
    constexpr int kMaxSections = 7;
    for (int step = 1; step <= last; ++step)
        if (last % step == 0 && last / step + 1 <= kMaxSections)
            return step;
    return std::max(1, (last + kMaxSections - 2) / (kMaxSections - 1));
}

// Degrees between axis ticks: three or four intervals per axis.
int TickStep(int degrees) {
    return degrees <= 120 ? 30 : degrees <= 180 ? 45 : 90;
}

// The sections and axes of the record cover the region the file holds:
// phi1 0..5*phi1To horizontally, Phi 0..5*PhiTo vertically, sections of
// phi2 from 0 to 5*phi2To. Sections keep 40 mm per 90 degrees of phi1 up to
// 90 degrees; wider ranges grow with the square root of their width (a
// section of phi1 0..360 is 80 mm wide) and go two to a row, so that a
// picture of the whole space stays readable on a page.
void FitSectionsToRegion(ODFInfo& rec, int phi1To, int PhiTo, int phi2To) {
    rec.hFrom = 0;
    rec.hTo = phi1To;
    rec.vFrom = 0;
    rec.vTo = PhiTo;
    std::fill(std::begin(rec.sectionShown), std::end(rec.sectionShown), 0);
    const int step = SectionStep(phi2To);
    for (int k = 0; k <= phi2To; k += step)
        rec.sectionShown[k] = 1;
    rec.sectionShown[phi2To] = 1;
    const double phi1Degrees = 5.0 * phi1To;
    rec.sectionWidth = 40.0 * std::sqrt(std::max(phi1Degrees, 90.0) / 90.0);
    rec.sectionsPerRow = phi1Degrees > 90 ? 2 : 3;
    rec.hTicksOn = 1;
    rec.vTicksOn = 1;
    rec.hTickStep = TickStep(static_cast<int>(phi1Degrees));
    rec.vTickStep = TickStep(5 * PhiTo);
}

int BuildODF(const dataformats::FileLayout& layout, const std::string& input,
             const Options& options, Figure* figure, std::string* error) {
    auto read = layout.Read(input);
    if (!read)
        return ReadFailure(error, layout, input, read.error());
    using Odf = double[73][37][73];
    std::unique_ptr<Odf> full(reinterpret_cast<Odf*>(new double[73 * 37 * 73]()));
    if (auto unfolded = dataformats::UnfoldToFiveDegrees(*read, *full); !unfolded)
        return ReadFailure(error, layout, input, unfolded.error());
    const RawHODFInfo& info = read->description.odf;
    const int crystal = orimath::IsValidCrystalType(info.crystalType) ? info.crystalType : 0;
    auto odf = std::make_unique<CODFStructure>(crystal, info.lattice);
    odf->SetODFData(*full);
    ODFInfo rec = odf->GetInfo();
    rec.titleOn = 1;
    rec.startX = 12;
    rec.startY = 10;
    // The region the file holds, from its grid counts (an ODF without sample
    // symmetry holds phi1 to 360, a hexagonal one phi2 to 60); the crystal
    // system's default region when the counts say nothing.
    const auto& grid = read->grid3;
    const int phi1To = LastFiveDegreeIndex(grid.phi1Count(), info.resolution, 72);
    const int PhiTo = LastFiveDegreeIndex(grid.PhiCount(), info.resolution, 36);
    const int phi2To = LastFiveDegreeIndex(grid.phi2Count(), info.resolution, 72);
    if (phi1To > 0 && PhiTo > 0 && phi2To > 0) {
        FitSectionsToRegion(rec, phi1To, PhiTo, phi2To);
        plotkit::SetDefaultLevels(rec.levels, ODFLevelTop(*full, phi1To, PhiTo, phi2To));
    } else {
        plotkit::SetDefaultLevels(rec.levels, ODFLevelTop(*full, rec.hTo, rec.vTo, 18));
    }
    if (options.sectionsPerRow > 0)
        rec.sectionsPerRow = options.sectionsPerRow;
    odf->SetInfo(rec);
    figure->objects.push_back(std::move(odf));
    return 1;
}

// Levels of --levels or --top on every contoured object of the figure.
void ApplyLevelOptions(const Options& options, Figure* figure) {
    if (options.levels.empty() && !(options.top > 0))
        return;
    std::vector<double> hand = options.levels;
    std::sort(hand.begin(), hand.end());
    for (auto& object : figure->objects) {
        double levels[10] = {};
        int count = 5;
        double width = 0.5;
        object->GetContourInfo(levels, count, width);
        if (!hand.empty()) {
            count = static_cast<int>(hand.size());
            for (int i = 0; i < count; ++i)
                levels[10 - count + i] = hand[i];
        } else {
            plotkit::SetDefaultLevels(levels, options.top);
        }
        object->SetContourInfo(levels, count, width);
    }
}

int BuildIPF(const dataformats::FileLayout& layout, const std::string& input, Figure* figure,
             std::string* error) {
    auto read = layout.Read(input);
    if (!read)
        return ReadFailure(error, layout, input, read.error());
    const IPFFileInfo& info = read->description.ipf;
    auto& grid = read->grid2;
    const int nA = grid.alphaCount(), nB = grid.betaCount();
    if (nA < 2 || nB < 2 || !(info.resolution > 0))
        return Fail(error, "inverse pole figure grid too small in " + input);
    auto data = std::make_unique<double[][73]>(19);
    ResampleTo5Degree(grid.Tree(), nA, nB, info.resolution, data.get());
    const std::string texts[5] = {plotkit::IPFDescription(info.crystalType, info.lattice), "",
                                  "[1 0 0]", "[0 1 0]", "[0 0 1]"};
    auto ipf = std::make_unique<CIPFStructure>(texts);
    ipf->SetData(data.get());
    IPFInfo rec = ipf->GetInfo();
    rec.startX = 20;
    rec.startY = 20;
    ipf->SetInfo(rec);
    figure->objects.push_back(std::move(ipf));
    return 1;
}

int BuildGBCD(const dataformats::FileLayout& layout, const std::string& input, Figure* figure,
              std::string* error) {
    auto read = layout.Read(input);
    if (!read)
        return ReadFailure(error, layout, input, read.error());
    const GBCDFileInfo& info = read->description.gbcd;
    std::vector<double>& angle = read->angle;
    std::vector<double>& csl = read->csl;
    char name[32] = "Cubic";
    Get_Crystal_Type_Name(name, info.crystalType);
    auto chart = std::make_unique<CGBCDStructure>(info.cslCalculated, name);
    chart->IniData(csl.data(), angle.data());
    GBCDInfo rec = chart->GetInfo();
    rec.showCSL = info.cslCalculated ? 1 : 0;
    rec.startX = 15;
    rec.startY = 15;
    chart->SetInfo(rec);
    figure->objects.push_back(std::move(chart));
    return 1;
}

} // namespace

double ODFLevelTop(const double f[73][37][73], int phi1To, int PhiTo, int phi2To) {
    phi1To = std::clamp(phi1To, 0, 72);
    PhiTo = std::clamp(PhiTo, 0, 36);
    phi2To = std::clamp(phi2To, 0, 72);
    struct Cell {
        double value, weight;
    };
    std::vector<Cell> cells;
    cells.reserve(static_cast<std::size_t>(phi1To + 1) * (PhiTo + 1) * (phi2To + 1));
    double total = 0.0, maximum = -1.0;
    // Edge cells of an axis cover half a step; a Phi row covers the band
    // between the half steps around it (cos lower - cos upper).
    auto edge = [](int i, int last) { return (i == 0 || i == last) && last > 0 ? 0.5 : 1.0; };
    for (int i = 0; i <= PhiTo; ++i) {
        const double lower = std::max(0.0, 5.0 * (i - 0.5)) * orimath::kDegToRad;
        const double upper = std::min(5.0 * PhiTo, 5.0 * (i + 0.5)) * orimath::kDegToRad;
        const double band = std::cos(lower) - std::cos(upper);
        for (int k = 0; k <= phi2To; ++k)
            for (int j = 0; j <= phi1To; ++j) {
                const double v = f[k][i][j];
                if (!std::isfinite(v))
                    continue;
                maximum = std::max(maximum, v);
                const double w = band * edge(k, phi2To) * edge(j, phi1To);
                if (w > 0) {
                    cells.push_back({v, w});
                    total += w;
                }
            }
    }
    if (!(total > 0))
        return maximum;
    std::sort(cells.begin(), cells.end(),
              [](const Cell& a, const Cell& b) { return a.value < b.value; });
    const double below = kODFTopFraction * total;
    double sum = 0.0;
    for (const Cell& c : cells) {
        sum += c.weight;
        if (sum >= below)
            return c.value;
    }
    return cells.back().value;
}

std::string CheckLevelOptions(const Options& options) {
    if (!options.levels.empty()) {
        if (options.levels.size() > 10)
            return "at most 10 contour levels can be given";
        std::vector<double> sorted = options.levels;
        std::sort(sorted.begin(), sorted.end());
        for (std::size_t i = 0; i < sorted.size(); ++i) {
            if (!std::isfinite(sorted[i]))
                return "contour levels must be finite numbers";
            if (i > 0 && sorted[i] == sorted[i - 1])
                return "contour levels must differ from each other";
        }
    }
    if (options.top != 0 && !(std::isfinite(options.top) && options.top > 1))
        return "the top of the contour levels must be a number above 1 (the lowest level)";
    return {};
}

int BuildFigure(const std::string& input, Family family, const Options& options, Figure* figure,
                std::string* error) {
    if (!figure)
        return Fail(error, "no figure");
    if (std::string why = CheckLevelOptions(options); !why.empty())
        return Fail(error, why);
    figure->objects.clear();
    figure->hasLegend = false;
    if (!QFileInfo::exists(QString::fromStdString(input)))
        return Fail(error, "input file not found: " + input);
    const dataformats::FileLayout* layout = FindInputLayout(input, family, error);
    if (layout == nullptr)
        return 0;
    family = FromFileFamily(layout->family);
    int ok = 0;
    switch (family) {
    case Family::PoleFigure:
        ok = BuildPoleFigures(*layout, input, figure, error);
        break;
    case Family::ODF:
        ok = BuildODF(*layout, input, options, figure, error);
        break;
    case Family::InversePoleFigure:
        ok = BuildIPF(*layout, input, figure, error);
        break;
    case Family::GBCD:
        ok = BuildGBCD(*layout, input, figure, error);
        break;
    case Family::Auto:
        break;
    }
    if (!ok) {
        figure->objects.clear();
        return 0;
    }
    if (family == Family::GBCD && (!options.levels.empty() || options.top > 0)) {
        figure->objects.clear();
        return Fail(error, "a GBCD chart has no contour levels to set");
    }
    ApplyLevelOptions(options, figure);
    for (auto& object : figure->objects) {
        object->SetSelection(0);
        object->bBlackWhite = options.blackWhite ? 1 : 0;
    }
    // The viewer adds a legend to contoured figures.
    if (options.legend && family != Family::GBCD) {
        double levels[10];
        int count = 5;
        double width = 0.5;
        figure->objects.front()->GetContourInfo(levels, count, width);
        // The viewer's legend shows five levels; other counts (levels set by
        // hand) get a legend of their own count.
        std::unique_ptr<CDisplayStructure> legend;
        if (count == 5)
            legend =
                std::make_unique<CLegendMap>(figure->objects.front()->GetType(), 0, levels, width);
        else
            legend = std::make_unique<CLevelLegend>(levels, count, width);
        legend->SetSelection(0);
        legend->bBlackWhite = options.blackWhite ? 1 : 0;
        figure->objects.push_back(std::move(legend));
        figure->hasLegend = true;
    }
    return 1;
}

} // namespace figurerender
