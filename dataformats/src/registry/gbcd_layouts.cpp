// The GBCD text layout of the registry.
#include "gbcd/gbcd_internal.h"
#include "registry_internal.h"

namespace dataformats {
namespace {

bool Detect(const FileLayout&, FileProbe& probe) {
    TextStream* t = probe.GetState().Text();
    return t != nullptr && gbcd::IsGBCD(*t);
}

Expected<FileDescription> DescribeText(TextStream& t, int index, const FileDescription& start) {
    if (index != 0)
        return NoSuchFigure(index, 1);
    FileDescription d = start;
    d.family = FileFamily::GBCD;
    t.ClearFailure();
    if (!gbcd::ReadHeader(t, &d.gbcd, 512))
        return StreamFailure(t, "the GBCD header could not be read");
    return d;
}

Expected<FileDescription> Describe(const FileLayout&, const std::string& path, int index,
                                   const FileDescription& start) {
    TextStream t;
    if (!t.Open(path.c_str()))
        return CannotOpen();
    return DescribeText(t, index, start);
}

Expected<FileData> Read(const FileLayout&, const std::string& path, int index,
                        const FileDescription& start) {
    TextStream t;
    if (!t.Open(path.c_str()))
        return CannotOpen();
    Expected<FileDescription> d = DescribeText(t, index, start);
    if (!d)
        return d.error();
    d->gbcd.fileName = path;
    FileData data;
    data.angle.assign(kGBCDAngleCount, 0.0);
    data.csl.assign(kCSLClassCount, 0.0);
    t.ClearFailure();
    if (!gbcd::ReadDistributions(t, &d->gbcd, data.angle.data(), data.csl.data()))
        return StreamFailure(t, "the GBCD tables could not be read");
    data.description = std::move(*d);
    return data;
}

Expected<Done> Write(const FileLayout&, const std::string& path, const FileData& data) {
    GBCDFileInfo info = data.description.gbcd;
    if (data.angle.size() < static_cast<std::size_t>(kGBCDFileAngles))
        return FileError{"", "no angle distribution to write"};
    std::vector<double> angle(data.angle), csl(data.csl);
    angle.resize(kGBCDAngleCount, 0.0);
    csl.resize(kCSLClassCount, 0.0);
    if (!Save_GBCD_File(path.c_str(), &info, angle.data(), csl.data()))
        return FileError{"", "cannot write the file"};
    return Done{};
}

constexpr FileLayoutHooks kHooks{Detect, CountOne, Describe, Read, Write};

} // namespace

std::vector<FileLayout> GbcdLayouts() {
    return {{FileFamily::GBCD, 0, "gbcd", "GBCD text", {"TGB"}, {"HGB"}, &kHooks}};
}

} // namespace dataformats
