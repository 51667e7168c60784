// Reading a data file through dataformats into the viewer's display objects.
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "dataformats/gbcd.h"
#include "dataformats/inversepf.h"
#include "dataformats/odf.h"
#include "dataformats/polefigure.h"
#include "figurerender/figure_render.h"
#include "orimath/arrays.h"
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

std::string Upper(const std::string& path) {
    return QFileInfo(QString::fromStdString(path)).suffix().toUpper().toStdString();
}

Family Detect(const std::string& input) {
    const std::string ext = Upper(input);
    if (ext == "HODF" || ext == "TODF" || ext == "SEDF" || ext == "TTO" || ext == "FGT")
        return Family::ODF;
    if (ext == "HIPF" || ext == "TIPF")
        return Family::InversePoleFigure;
    if (ext == "HPF" || ext == "TPF" || ext == "POL" || ext == "UXD")
        return Family::PoleFigure;
    if (ext == "TGB")
        return Family::GBCD;
    if (Get_IPF_File_Type(input) >= 0)
        return Family::InversePoleFigure;
    if (Get_GBCD_File_Type(input.c_str()) == 0)
        return Family::GBCD;
    if (Get_PF_File_Type(input) >= 0)
        return Family::PoleFigure;
    if (GetODFFileType(input) >= 0)
        return Family::ODF;
    return Family::Auto;
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

struct GridDeleter {
    int nA;
    int nB;
    void operator()(double** g) const { FreeMem2D(g, nA, nB); }
};

int BuildPoleFigures(const std::string& input, Figure* figure, std::string* error) {
    const int type = Get_PF_File_Type(input);
    if (type < 0)
        return Fail(error, "not a pole figure file of a known layout: " + input);
    const int count = type == 3 ? std::max(1, Get_UXD_PF_Count(input.c_str())) : 1;
    const std::string name = QFileInfo(QString::fromStdString(input)).fileName().toStdString();
    for (int k = 0; k < count; ++k) {
        PFFileInfo info;
        int nA = 0, nB = 0;
        double** raw = type == 3 ? Open_UXD_PF(input.c_str(), k, &info, &nA, &nB)
                                 : Open_PF_File(input.c_str(), &info, type, &nA, &nB);
        if (!raw)
            return Fail(error, "cannot read the pole figure file " + input);
        std::unique_ptr<double*, GridDeleter> grid(raw, GridDeleter{nA, nB});
        if (nA < 2 || nB < 2 || !(info.resolution > 0))
            return Fail(error, "pole figure grid too small in " + input);
        auto pf = std::make_unique<CPFStructure>(name);
        auto data = std::make_unique<double[][73]>(19);
        ResampleTo5Degree(grid.get(), nA, nB, info.resolution, data.get());
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

int BuildODF(const std::string& input, const Options& options, Figure* figure, std::string* error) {
    using Odf = double[73][37][73];
    std::unique_ptr<Odf> full(reinterpret_cast<Odf*>(new double[73 * 37 * 73]()));
    RawHODFInfo info{};
    const int type = GetODFFileType(input);
    int ok = 0;
    if (type >= 0)
        ok = Open_ODF_File_73x37x73(input.c_str(), &info, type, *full);
    if (!ok)
        ok = OpenALLODF(input.c_str(), &info, *full);
    if (!ok)
        return Fail(error, "cannot read the ODF file " + input);
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

int BuildIPF(const std::string& input, Figure* figure, std::string* error) {
    const int type = Get_IPF_File_Type(input);
    if (type < 0)
        return Fail(error, "not an inverse pole figure file: " + input);
    IPFFileInfo info;
    int nA = 0, nB = 0;
    double** raw = Open_IPF_File(input.c_str(), &info, type, &nA, &nB);
    if (!raw)
        return Fail(error, "cannot read the inverse pole figure file " + input);
    std::unique_ptr<double*, GridDeleter> grid(raw, GridDeleter{nA, nB});
    if (nA < 2 || nB < 2 || !(info.resolution > 0))
        return Fail(error, "inverse pole figure grid too small in " + input);
    auto data = std::make_unique<double[][73]>(19);
    ResampleTo5Degree(grid.get(), nA, nB, info.resolution, data.get());
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

int BuildGBCD(const std::string& input, Figure* figure, std::string* error) {
    GBCDFileInfo info;
    double angle[kGBCDAngleCount] = {}, csl[kCSLClassCount] = {};
    if (!Open_GBCD_File(input.c_str(), &info, 0, angle, csl))
        return Fail(error, "cannot read the GBCD file " + input);
    char name[32] = "Cubic";
    Get_Crystal_Type_Name(name, info.crystalType);
    auto chart = std::make_unique<CGBCDStructure>(info.cslCalculated, name);
    chart->IniData(csl, angle);
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
    if (family == Family::Auto)
        family = Detect(input);
    int ok = 0;
    switch (family) {
    case Family::PoleFigure:
        ok = BuildPoleFigures(input, figure, error);
        break;
    case Family::ODF:
        ok = BuildODF(input, options, figure, error);
        break;
    case Family::InversePoleFigure:
        ok = BuildIPF(input, figure, error);
        break;
    case Family::GBCD:
        ok = BuildGBCD(input, figure, error);
        break;
    case Family::Auto:
        return Fail(error, "not a pole figure, ODF, inverse pole figure or GBCD file: " + input);
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
