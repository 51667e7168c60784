// The inverse pole figure layouts of the registry: the header without (code
// 0) and with (code 1) a lattice line, tested in that order.
#include <new>

#include "inversepf/ipf_internal.h"
#include "orimath/ranges.h"
#include "registry_internal.h"

namespace dataformats {
namespace {

bool Detect(const FileLayout& layout, FileProbe& probe) {
    TextStream* t = probe.GetState().Text();
    if (t == nullptr)
        return false;
    return layout.code == 0 ? ipf::IsCode0(*t) : ipf::IsCode1(*t);
}

Expected<FileDescription> DescribeText(const FileLayout& layout, TextStream& t, int index,
                                       const FileDescription& start) {
    if (index != 0)
        return NoSuchFigure(index, 1);
    FileDescription d = start;
    d.family = FileFamily::InversePoleFigure;
    t.ClearFailure();
    if (!ipf::ReadInfo(t, layout.code, &d.ipf))
        return StreamFailure(t, "the inverse pole figure header could not be read");
    return d;
}

Expected<FileDescription> Describe(const FileLayout& layout, const std::string& path, int index,
                                   const FileDescription& start) {
    TextStream t;
    if (!t.Open(path.c_str()))
        return CannotOpen();
    return DescribeText(layout, t, index, start);
}

Expected<FileData> Read(const FileLayout& layout, const std::string& path, int index,
                        const FileDescription& start) {
    TextStream t;
    if (!t.Open(path.c_str()))
        return CannotOpen();
    Expected<FileDescription> d = DescribeText(layout, t, index, start);
    if (!d)
        return d.error();
    int nA = 0, nB = 0;
    Get_AB_Range_In_Full_PF_Space(&nA, &nB, d->ipf.resolution);
    if (nA < 1 || nB < 1)
        return FileError{"", "the resolution leaves no grid"};
    FileData data;
    try {
        data.grid2 = orimath::Grid2<double>({.alpha = nA, .beta = nB});
    } catch (const std::bad_alloc&) {
        return FileError{"", "not enough memory for the grid"};
    }
    t.ClearFailure();
    if (!ipf::ReadGrid(t, layout.code, data.grid2.Tree(), nA, nB))
        return StreamFailure(t, "the inverse pole figure data could not be read");
    data.description = std::move(*d);
    return data;
}

Expected<Done> Write(const FileLayout& layout, const std::string& path, const FileData& data) {
    IPFFileInfo info = data.description.ipf;
    auto grid = data.grid2;
    if (grid.empty())
        return FileError{"", "no grid to write"};
    const int ok =
        layout.code == 0
            ? SaveHIPF(path.c_str(), info.crystalType, info.angle1, info.angle2, info.directions,
                       info.resolution, grid.alphaCount(), grid.betaCount(), grid.Tree())
            : SaveHIPFFile(path.c_str(), &info, grid.alphaCount(), grid.betaCount(), grid.Tree());
    if (!ok)
        return FileError{"", "cannot write the file"};
    return Done{};
}

constexpr FileLayoutHooks kHooks{Detect, CountOne, Describe, Read, Write};

} // namespace

std::vector<FileLayout> InversePoleFigureLayouts() {
    const FileFamily f = FileFamily::InversePoleFigure;
    return {
        {f,
         0,
         "tipf",
         "inverse pole figure text without lattice line (TIPF)",
         {"TIPF"},
         {},
         &kHooks},
        {f, 1, "hipf", "inverse pole figure text with lattice line (HIPF)", {"HIPF"}, {}, &kHooks},
    };
}

} // namespace dataformats
