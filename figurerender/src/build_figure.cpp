// Reading a data file through the dataformats layout registry into the
// viewer's display objects.
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "dataformats/file_layouts.h"
#include "figurerender/figure_render.h"
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
    if (options.sectionsPerRow > 0)
        rec.sectionsPerRow = options.sectionsPerRow;
    odf->SetInfo(rec);
    figure->objects.push_back(std::move(odf));
    return 1;
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

int BuildFigure(const std::string& input, Family family, const Options& options, Figure* figure,
                std::string* error) {
    if (!figure)
        return Fail(error, "no figure");
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
        auto legend =
            std::make_unique<CLegendMap>(figure->objects.front()->GetType(), 0, levels, width);
        legend->SetSelection(0);
        legend->bBlackWhite = options.blackWhite ? 1 : 0;
        figure->objects.push_back(std::move(legend));
        figure->hasLegend = true;
    }
    return 1;
}

} // namespace figurerender
