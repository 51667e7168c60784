// The pole figure layouts of the registry. Detection runs in the order of
// Get_PF_File_Type (PolCon, pairs, rings, ODF-program input, interval,
// keywords, own text, UXD by extension); reading checks the grid the
// description gives before it allocates.
#include <cstdio>
#include <new>

#include "common/text_util.h"
#include "orimath/ranges.h"
#include "polefigure/pf_internal.h"
#include "registry_internal.h"

namespace dataformats {
namespace {

using pf::kDescriptionSize;

// The per-layout functions of the pole figure readers, by layout code.
struct PfOps {
    bool (*is)(TextStream& text, const std::string& path);
    int (*info)(TextStream& text, const char* path, int index, PFFileInfo* info);
    int (*read)(TextStream& text, int index, PFFileInfo* info, double** grid, int nA, int nB);
    // Layouts that read a value for (nearly) every grid point: a text shorter
    // than two characters per value cannot fill the grid.
    bool (*everyPoint)(TextStream& text);
    // Marks the cells the file did not measure (mask starts all 1); null for
    // layouts that do not record a measured range.
    void (*measured)(TextStream& text, int index, double res, int nA, int nB,
                     uint8_t** mask) = nullptr;
};

bool Always(TextStream&) {
    return true;
}
bool Never(TextStream&) {
    return false;
}

int OwnTextType(TextStream& text) {
    int own = -1;
    // A layout-0 file holds exactly one full grid of values.
    if (pf::IsOwnText(text, &own) && (own == 1 || pf::IsFullGridCount(text)))
        return own;
    return -1;
}

int ReadOwn(TextStream& t, int, PFFileInfo*, double** g, int nA, int nB) {
    char scratch[kDescriptionSize];
    return pf::ReadOwnText(t, scratch, g, nA, nB);
}

const PfOps kOps[9] = {
    // 0 TPF
    {[](TextStream& t, const std::string&) { return OwnTextType(t) == 0; },
     [](TextStream& t, const char*, int, PFFileInfo* i) { return pf::InfoOwnText0(t, i); }, ReadOwn,
     Always},
    // 1 HPF
    {[](TextStream& t, const std::string&) { return OwnTextType(t) == 1; },
     [](TextStream& t, const char*, int, PFFileInfo* i) { return pf::InfoOwnText1(t, i); }, ReadOwn,
     Always},
    // 2 PolCon
    {[](TextStream& t, const std::string&) { return pf::IsPolCon(t); },
     [](TextStream&, const char*, int, PFFileInfo* i) { return pf::InfoPolCon(i); },
     [](TextStream& t, int, PFFileInfo*, double** g, int, int) {
         char scratch[kDescriptionSize];
         return pf::ReadPolCon(t, scratch, g);
     },
     Never},
    // 3 UXD: known by the extension of the file name (a dot in a folder name
    // does not count).
    {[](TextStream&, const std::string& path) { return EqualsNoCase(FileExtension(path), "uxd"); },
     [](TextStream& t, const char*, int index, PFFileInfo* i) { return pf::InfoUXD(t, index, i); },
     [](TextStream& t, int index, PFFileInfo*, double** g, int nA, int nB) {
         char scratch[kDescriptionSize];
         return pf::ReadUXD(t, index, scratch, g, nA, nB);
     },
     [](TextStream& t) { return pf::IsCountsUXD(t); },
     [](TextStream& t, int index, double, int nA, int nB, uint8_t** m) {
         pf::MeasuredUXD(t, index, nA, nB, m);
     }},
    // 4 keywords
    {[](TextStream& t, const std::string&) { return pf::IsKeyword(t); },
     [](TextStream& t, const char*, int, PFFileInfo* i) { return pf::InfoKeyword(t, i); },
     [](TextStream& t, int, PFFileInfo* i, double** g, int nA, int nB) {
         return pf::ReadKeyword(t, i, g, nA, nB);
     },
     Never,
     [](TextStream& t, int, double res, int nA, int nB, uint8_t** m) {
         pf::MeasuredKeyword(t, res, nA, nB, m);
     }},
    // 5 ODF-program input
    {[](TextStream& t, const std::string&) { return pf::IsODFInput(t); },
     [](TextStream&, const char*, int, PFFileInfo* i) { return pf::InfoODFInput(i); },
     [](TextStream& t, int, PFFileInfo*, double** g, int nA, int nB) {
         return pf::ReadODFInput(t, g, nA, nB);
     },
     Always},
    // 6 interval
    {[](TextStream& t, const std::string&) { return pf::IsInterval(t); },
     [](TextStream& t, const char* path, int, PFFileInfo* i) {
         return pf::InfoInterval(t, path, i);
     },
     [](TextStream& t, int, PFFileInfo* i, double** g, int nA, int nB) {
         return pf::ReadInterval(t, i, g, nA, nB);
     },
     Never},
    // 7 rings
    {[](TextStream& t, const std::string&) { return pf::IsRings(t); },
     [](TextStream& t, const char*, int, PFFileInfo* i) { return pf::InfoRings(t, i); },
     [](TextStream& t, int, PFFileInfo*, double** g, int nA, int nB) {
         return pf::ReadRings(t, g, nA, nB);
     },
     Never,
     [](TextStream& t, int, double, int nA, int nB, uint8_t** m) {
         pf::MeasuredRings(t, nA, nB, m);
     }},
    // 8 pairs
    {[](TextStream& t, const std::string&) { return pf::IsPairs(t); },
     [](TextStream& t, const char* path, int, PFFileInfo* i) { return pf::InfoPairs(t, path, i); },
     [](TextStream& t, int, PFFileInfo* i, double** g, int nA, int nB) {
         return pf::ReadPairs(t, i, g, nA, nB);
     },
     Never},
};

const PfOps& Ops(const FileLayout& layout) {
    return kOps[layout.code];
}

bool Detect(const FileLayout& layout, FileProbe& probe) {
    TextStream* text = probe.GetState().Text();
    return text != nullptr && Ops(layout).is(*text, probe.Path());
}

Expected<int> Count(const FileLayout& layout, const std::string& path) {
    if (layout.code != 3)
        return CountOne(layout, path);
    TextStream text;
    if (!text.Open(path.c_str()))
        return CannotOpen();
    int n = pf::CountUXD(text);
    if (n < 1)
        return FileError{"", "no pole figure with a usable grid step in the file"};
    return n;
}

// The description of figure `index` from the loaded text; the resolution is
// checked, as the grid size is derived from it.
Expected<PFFileInfo> Describe(const FileLayout& layout, TextStream& text, const std::string& path,
                              int index) {
    if (index != 0) {
        const int count = layout.code == 3 ? pf::CountUXD(text) : 1;
        if (index < 0 || index >= count)
            return NoSuchFigure(index, count);
    }
    PFFileInfo info;
    text.ClearFailure();
    if (!Ops(layout).info(text, path.c_str(), index, &info))
        return StreamFailure(text, std::string("no ") + layout.name + " description could be read");
    if (!pf::IsUsableResolution(info.resolution)) {
        char what[160];
        std::snprintf(what, sizeof what, "grid step %g degrees is not usable (0.1 to 90 degrees)",
                      info.resolution);
        return FileError{"", what};
    }
    return info;
}

// Opens the file into text and describes its figure `index`.
Expected<PFFileInfo> OpenAndDescribe(const FileLayout& layout, const std::string& path, int index,
                                     TextStream& text) {
    if (!text.Open(path.c_str()))
        return CannotOpen();
    return Describe(layout, text, path, index);
}

Expected<FileDescription> DescribeHook(const FileLayout& layout, const std::string& path, int index,
                                       const FileDescription&) {
    TextStream text;
    Expected<PFFileInfo> info = OpenAndDescribe(layout, path, index, text);
    if (!info)
        return info.error();
    FileDescription d;
    d.family = FileFamily::PoleFigure;
    d.pf = std::move(*info);
    return d;
}

Expected<FileData> Read(const FileLayout& layout, const std::string& path, int index,
                        const FileDescription&) {
    return ReadPoleFigureFile(layout, path, index, nullptr);
}

// The measured cells of a read pole figure, for the layouts that know them;
// the mask stays empty when every cell was measured.
void FillMeasured(const FileLayout& layout, TextStream& text, int index, double res,
                  FileData* data) {
    if (Ops(layout).measured == nullptr)
        return;
    const int nA = data->grid2.alphaCount(), nB = data->grid2.betaCount();
    orimath::Grid2<uint8_t> mask({.alpha = nA, .beta = nB}, 1);
    Ops(layout).measured(text, index, res, nA, nB, mask.Tree());
    for (uint8_t m : mask.values())
        if (!m) {
            data->measured = std::move(mask);
            return;
        }
}

} // namespace

Expected<FileData> ReadPoleFigureFile(const FileLayout& layout, const std::string& path, int index,
                                      PFFileInfo* described) {
    TextStream text;
    Expected<PFFileInfo> info = OpenAndDescribe(layout, path, index, text);
    if (!info)
        return info.error();
    if (described)
        *described = *info;
    int nA = 0, nB = 0;
    Get_AB_Range_In_Full_PF_Space(&nA, &nB, info->resolution);
    if (nA < 2 || nB < 2)
        return FileError{"", "the grid step leaves no grid"};
    if (layout.code == 2 && (nA != 19 || nB != 73))
        return FileError{"", "a PolCon file holds a 19 x 73 grid only"};
    if (Ops(layout).everyPoint(text) &&
        static_cast<long long>(nA) * (nB - 1) > static_cast<long long>(text.Size() / 2 + 1)) {
        // Reading stops where the file ends: name that line.
        char what[160];
        std::snprintf(what, sizeof what, "the file ends here, too short for its %d x %d grid", nA,
                      nB);
        return FileError{"line " + std::to_string(text.LineAt(text.Size())), what};
    }
    FileData data;
    data.description.family = FileFamily::PoleFigure;
    try {
        data.grid2 = orimath::Grid2<double>({.alpha = nA, .beta = nB});
    } catch (const std::bad_alloc&) {
        return FileError{"", "not enough memory for the grid"};
    }
    text.ClearFailure();
    if (!Ops(layout).read(text, index, &*info, data.grid2.Tree(), nA, nB))
        return StreamFailure(text, std::string("the ") + layout.name + " data could not be read");
    FillMeasured(layout, text, index, info->resolution, &data);
    data.description.pf = std::move(*info);
    return data;
}

namespace {

Expected<Done> WriteTPF(const FileLayout&, const std::string& path, const FileData& data) {
    const auto& g = data.grid2;
    if (g.alphaCount() != 19 || g.betaCount() != 73)
        return FileError{"", "TPF files hold 5 degree pole figures (19 x 73) only"};
    PFFileInfo info = data.description.pf;
    info.fileName = path;
    double fixed[19][73];
    for (int i = 0; i < 19; ++i)
        for (int j = 0; j < 73; ++j)
            fixed[i][j] = g[i][j];
    if (!SavePFFile(&info, fixed))
        return FileError{"", "cannot write the file"};
    return Done{};
}

Expected<Done> WriteHPF(const FileLayout&, const std::string& path, const FileData& data) {
    PFFileInfo info = data.description.pf;
    auto grid = data.grid2;
    if (grid.empty() ||
        !SaveHPFFile(path.c_str(), &info, grid.alphaCount(), grid.betaCount(), grid.Tree()))
        return FileError{"", "cannot write the file"};
    return Done{};
}

constexpr FileLayoutHooks kReadOnly{Detect, Count, DescribeHook, Read, nullptr};
constexpr FileLayoutHooks kTPF{Detect, Count, DescribeHook, Read, WriteTPF};
constexpr FileLayoutHooks kHPF{Detect, Count, DescribeHook, Read, WriteHPF};

} // namespace

std::vector<FileLayout> PoleFigureLayouts() {
    const FileFamily f = FileFamily::PoleFigure;
    // Detection order of Get_PF_File_Type.
    return {
        {f, 2, "polcon", "PolCon triplets", {"POL"}, {}, &kReadOnly},
        {f, 8, "pairs", "azimuth-intensity pairs", {}, {"TXT"}, &kReadOnly},
        {f, 7, "rings", "four-line rings of 18 four-character fields", {}, {"TXT"}, &kReadOnly},
        {f, 5, "odfinput", "fixed-column ODF-program input", {}, {"INP"}, &kReadOnly},
        {f, 6, "interval", "interval text with background", {}, {"ASC"}, &kReadOnly},
        {f, 4, "keyword", "starred-keyword text", {}, {"TXT"}, &kReadOnly},
        {f, 0, "tpf", "TPF (5 degree text pole figure)", {"TPF"}, {}, &kTPF},
        {f, 1, "hpf", "HPF (high-resolution text pole figure)", {"HPF"}, {"MGT", "MGE"}, &kHPF},
        {f, 3, "uxd", "UXD", {"UXD"}, {}, &kReadOnly},
    };
}

} // namespace dataformats
