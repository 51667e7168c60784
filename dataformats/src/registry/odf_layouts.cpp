// The ODF layouts of the registry. Detection follows GetODFFileType: the end
// of the file name picks the first tests ("HODF": first then second
// generation, "TODF": binary, "FGT", any other name the cubic text), then the
// content tests of the first-generation HODF, the binary and the cubic text
// run. The TTO text, which that call does not report, is known by its title.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "common/text_util.h"
#include "odf/odf_internal.h"
#include "odf/odf_textlist.h"
#include "orimath/constants.h"
#include "orimath/ranges.h"
#include "registry_internal.h"

namespace dataformats {
namespace {

// The fixed 5 degree layouts carry no resolution, fibre or sample-symmetry
// fields; the layout decides them.
void SetFiveDegreeFields(RawHODFInfo* r, int sampleSymmetry) {
    r->resolution = 5.0;
    r->fibreAverage = 0;
    r->sampleSymmetry = sampleSymmetry;
}

// A TTO file stores a 5 degree grid of the reduced region; it has four-fold
// sample symmetry when the grid is the region that symmetry gives.
void SetTTOFields(RawHODFInfo* r, int n1, int n, int n2) {
    int s1, s, s2;
    GetEulerRangeInODFSpace(&s1, &s, &s2, r->crystalType, 5.0, 1);
    r->sampleSymmetry = (n1 == s1 && n == s && n2 == s2) ? 1 : 0;
    r->fibreAverage = 0;
    r->resolution = 5.0;
}

bool Detect(const FileLayout& layout, FileProbe& probe) {
    RawHODFInfo r{};
    int n1, n, n2, lines;
    if (layout.code == 0)
        return odf::IsTODF(probe.Path().c_str());
    TextStream* t = probe.GetState().Text();
    if (t == nullptr)
        return false;
    switch (layout.code) {
    case 1:
        return odf::IsCubic(*t);
    case 2:
        return odf::ParseHODF1Header(*t, &r, &n1, &n, &n2) &&
               orimath::IsValidCrystalType(r.crystalType);
    case 3:
        return odf::ParseFGTHeader(*t, &r, &n1, &n, &n2, &lines) && r.nPF >= 1 && r.nPF <= 6;
    case 4:
        return odf::ParseHODF2Header(*t, &r, &n1, &n, &n2) &&
               orimath::IsValidCrystalType(r.crystalType);
    default:
        return odf::IsTTO(*t);
    }
}

// A text layout's header into r; the grid counts and header lines for the read.
struct Header {
    int n1 = 0, n = 0, n2 = 0, lines = 0;
};

Expected<Header> ParseTextHeader(const FileLayout& layout, TextStream& t, RawHODFInfo* r) {
    Header h;
    bool ok = false;
    switch (layout.code) {
    case 2:
        ok = odf::ParseHODF1Header(t, r, &h.n1, &h.n, &h.n2);
        break;
    case 3:
        ok = odf::ParseFGTHeader(t, r, &h.n1, &h.n, &h.n2, &h.lines);
        break;
    case 4:
        ok = odf::ParseHODF2Header(t, r, &h.n1, &h.n, &h.n2);
        break;
    }
    if (!ok)
        return StoppedAt(t, std::string("the ") + layout.name + " header is incomplete or invalid");
    return h;
}

Expected<FileDescription> Describe(const FileLayout& layout, const std::string& path, int index,
                                   const FileDescription& start) {
    if (index != 0)
        return NoSuchFigure(index, 1);
    FileDescription d = start;
    d.family = FileFamily::ODF;
    RawHODFInfo& r = d.odf;
    odf::SetPath(&r, path.c_str());
    if (layout.code == 0) {
        RawHODFInfo header;
        if (!odf::ReadTODFHeader(path.c_str(), &header) ||
            !orimath::IsValidCrystalType(header.crystalType))
            return FileError{"byte 0", "no TODF header (2032 bytes, crystal code 0 to 6)"};
        std::memcpy(&r, &header, kTODFHeaderBytes);
        odf::SetPath(&r, path.c_str());
        SetFiveDegreeFields(&r, 0);
        return d;
    }
    if (layout.code == 1) {
        // The layout's description is fixed; the file holds no header.
        odf::CubicInfo(&r);
        SetFiveDegreeFields(&r, 1);
        return d;
    }
    TextStream t;
    if (!t.Open(path.c_str()))
        return CannotOpen();
    if (layout.code < 0) {
        orimath::Grid3<double> grid;
        if (!odf::ReadTTO(t, &r, &grid))
            return StreamFailure(t, "the TTO file could not be read");
        SetTTOFields(&r, grid.phi1Count(), grid.PhiCount(), grid.phi2Count());
        return d;
    }
    Expected<Header> h = ParseTextHeader(layout, t, &r);
    if (!h)
        return h.error();
    return d;
}

Expected<FileData> ReadTODF(const std::string& path, FileDescription d) {
    RawHODFInfo& r = d.odf;
    std::vector<double> full;
    FileError error;
    if (!odf::ReadTODF(path.c_str(), &r, &full, &error))
        return error;
    SetFiveDegreeFields(&r, 0);
    int n1 = 0, n = 0, n2 = 0;
    GetEulerRangeInODFSpace(&n1, &n, &n2, r.crystalType, 5.0, 0);
    n1 = std::min(n1, 73);
    n = std::min(n, 37);
    n2 = std::min(n2, 73);
    FileData data;
    data.grid3 = orimath::Grid3<double>({.phi1 = n1, .Phi = n, .phi2 = n2});
    for (int k = 0; k < n2; ++k)
        for (int j = 0; j < n; ++j)
            std::memcpy(data.grid3[k][j], full.data() + (static_cast<std::size_t>(k) * 37 + j) * 73,
                        n1 * sizeof(double));
    odf::SetPath(&r, path.c_str());
    data.description = std::move(d);
    return data;
}

Expected<FileData> Read(const FileLayout& layout, const std::string& path, int index,
                        const FileDescription& start) {
    if (index != 0)
        return NoSuchFigure(index, 1);
    FileDescription d = start;
    d.family = FileFamily::ODF;
    if (layout.code == 0)
        return ReadTODF(path, std::move(d));
    RawHODFInfo& r = d.odf;
    TextStream t;
    if (!t.Open(path.c_str()))
        return CannotOpen();
    FileData data;
    orimath::Grid3<double>& grid = data.grid3;
    if (layout.code == 1) {
        auto cubic = orimath::TryGrid<double>(orimath::Extent3{.phi1 = 19, .Phi = 19, .phi2 = 19});
        if (!cubic)
            return FileError{"", "not enough memory for the grid"};
        grid = std::move(*cubic);
        if (!odf::ReadCubic(t, grid.Tree()))
            return StreamFailure(t, "the cubic ODF text could not be read");
        odf::CubicInfo(&r);
        SetFiveDegreeFields(&r, 1);
    } else if (layout.code < 0) {
        if (!odf::ReadTTO(t, &r, &grid))
            return StreamFailure(t, "the TTO file could not be read");
        SetTTOFields(&r, grid.phi1Count(), grid.PhiCount(), grid.phi2Count());
    } else {
        Expected<Header> h = ParseTextHeader(layout, t, &r);
        if (!h)
            return h.error();
        t.ClearFailure();
        bool ok;
        if (layout.code == 2)
            ok = odf::ReadHODF1Data(t, h->n1, h->n, h->n2, &grid);
        else if (layout.code == 4)
            ok = odf::ReadHODF2Data(t, h->n1, h->n, h->n2, &grid);
        else
            ok = odf::ReadFGTData(t, h->lines, h->n1, h->n, h->n2, &grid);
        if (!ok)
            return StreamFailure(t, std::string("the ") + layout.name + " data could not be read");
    }
    odf::SetPath(&r, path.c_str());
    data.description = std::move(d);
    return data;
}

bool IsFiveDegrees(double res) {
    return std::fabs(res - 5.0) < 0.0001;
}

FileError CannotWrite() {
    return FileError{"", "cannot write the file"};
}

Expected<Done> WriteTODF(const FileLayout&, const std::string& path, const FileData& data) {
    RawHODFInfo info = data.description.odf;
    const auto& g = data.grid3;
    if (g.empty() || !IsFiveDegrees(info.resolution))
        return FileError{"", "TODF files hold 5 degree ODFs only"};
    if (path.size() >= sizeof info.path)
        return FileError{"", "the file name is too long for the TODF header"};
    // The file holds the full 73 x 37 x 73 grid: the region is unfolded.
    std::vector<double> full(odf::kFullValues);
    auto* cube = reinterpret_cast<double(*)[37][73]>(full.data());
    if (auto unfolded = UnfoldToFiveDegrees(data, cube); !unfolded)
        return unfolded.error();
    odf::SetPath(&info, path.c_str());
    if (!SaveODFFile(&info, full.data()))
        return CannotWrite();
    return Done{};
}

Expected<Done> WriteHODF(const FileLayout& layout, const std::string& path, const FileData& data) {
    RawHODFInfo info = data.description.odf;
    auto grid = data.grid3;
    if (grid.empty())
        return FileError{"", "no ODF grid to write"};
    const int n1 = grid.phi1Count(), n = grid.PhiCount(), n2 = grid.phi2Count();
    int ok = layout.code == 4 ? Save_ODF_File2(path.c_str(), grid.Tree(), &info, n1, n, n2)
                              : Save_ODF_File(path.c_str(), grid.Tree(), &info, n1, n, n2);
    if (!ok)
        return CannotWrite();
    return Done{};
}

Expected<Done> WriteTTO(const FileLayout&, const std::string& path, const FileData& data) {
    RawHODFInfo info = data.description.odf;
    auto grid = data.grid3;
    if (grid.empty() || !IsFiveDegrees(info.resolution))
        return FileError{"", "TTO files hold 5 degree ODFs only"};
    if (path.size() >= sizeof info.path)
        return FileError{"", "the file name is too long for the ODF record"};
    odf::SetPath(&info, path.c_str());
    if (!SaveTTOFile(&info, grid.Tree(), grid.phi1Count(), grid.PhiCount(), grid.phi2Count()))
        return CannotWrite();
    return Done{};
}

constexpr FileLayoutHooks kReadOnly{Detect, CountOne, Describe, Read, nullptr};
constexpr FileLayoutHooks kTODF{Detect, CountOne, Describe, Read, WriteTODF};
constexpr FileLayoutHooks kHODF{Detect, CountOne, Describe, Read, WriteHODF};
constexpr FileLayoutHooks kTTO{Detect, CountOne, Describe, Read, WriteTTO};

} // namespace

Expected<Done> UnfoldToFiveDegrees(const FileData& data, double full[73][37][73]) {
    const RawHODFInfo& info = data.description.odf;
    if (data.description.family != FileFamily::ODF || data.grid3.empty())
        return FileError{"", "no ODF grid"};
    if (!odf::IsUsableOdfResolution(info.resolution))
        return FileError{"", "the ODF resolution is not 0.1 to 90 degrees"};
    if (!orimath::IsValidCrystalType(info.crystalType))
        return FileError{"", "the crystal system code is not 0 to 6"};
    const auto& grid = data.grid3;
    odf::FillFull(grid.Tree(), grid.phi1Count(), grid.PhiCount(), grid.phi2Count(),
                  info.crystalType, info.resolution, info.sampleSymmetry, full);
    return Done{};
}

std::vector<FileLayout> OdfLayouts() {
    const FileFamily f = FileFamily::ODF;
    return {
        {f, 0, "todf", "TODF (5 degree binary ODF; also SEDF)", {"TODF", "SEDF"}, {}, &kTODF},
        {f, 1, "cubic", "cubic 19 x 19 x 19 text", {}, {"ODF", "TXT"}, &kReadOnly},
        {f, 2, "hodf1", "HODF text, first generation", {"HODF"}, {}, &kHODF},
        {f, 3, "fgt", "FGT text", {"FGT"}, {}, &kReadOnly},
        {f, 4, "hodf2", "HODF text, second generation", {"HODF"}, {}, &kHODF},
        {f, -1, "tto", "TTO (5 degree text ODF)", {"TTO"}, {"TXT"}, &kTTO},
        {f,
         -1,
         "odflist",
         "ODF text list (phi1 Phi phi2 value rows)",
         {},
         {"TXT", "ODF"},
         odf::TextListHooks()},
    };
}

std::vector<const FileLayout*> OdfDetectionOrder(const std::string& path) {
    std::vector<int> codes;
    if (EndsWithNoCase(path, "HODF"))
        codes = {2, 4};
    else if (EndsWithNoCase(path, "TODF"))
        codes = {0};
    else if (EndsWithNoCase(path, "FGT"))
        codes = {3};
    else
        codes = {1};
    codes.insert(codes.end(), {2, 0, 1});
    std::vector<const FileLayout*> order;
    for (int code : codes)
        order.push_back(FindLayout(FileFamily::ODF, code));
    return order;
}

} // namespace dataformats
