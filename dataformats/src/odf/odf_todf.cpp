// TODF binary ODF: the 2032-byte header (the first bytes of RawHODFInfo),
// then 73 x 37 x 73 little-endian doubles, phi2 outermost. SEDF files share
// the layout.
#include <bit>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "common/text_util.h"
#include "common/text_writer.h"
#include "odf_internal.h"
#include "orimath/arrays.h"
#include "orimath/constants.h"
#include "platform/message_sink.h"

static_assert(std::endian::native == std::endian::little,
              "binary ODF files are little-endian; a big-endian build needs byte swapping");

namespace dataformats::odf {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f)
            std::fclose(f);
    }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Reads and checks the header: texts terminated, and the two values that
// callers use as indices (the pole figure count for the six-slot arrays,
// the crystal code for symmetry tables) within their ranges.
bool ReadHeaderFrom(std::FILE* f, RawHODFInfo* header) {
    std::memset(header, 0, sizeof *header);
    if (std::fread(header, 1, kTODFHeaderBytes, f) != kTODFHeaderBytes)
        return false;
    TerminateTexts(header);
    return header->nPF >= 0 && header->nPF <= 6 && orimath::IsValidCrystalType(header->crystalType);
}

} // namespace

bool ReadTODFHeader(const char* path, RawHODFInfo* header) {
    File f(std::fopen(path, "rb"));
    return f && ReadHeaderFrom(f.get(), header);
}

bool ReadTODF(const char* path, RawHODFInfo* info, std::vector<double>* full, FileError* error) {
    auto fail = [error](std::size_t byte, std::string what) {
        if (error)
            *error = FileError{"byte " + std::to_string(byte), std::move(what)};
        return false;
    };
    File f(std::fopen(path, "rb"));
    if (!f)
        return fail(0, "cannot open the file");
    RawHODFInfo header;
    if (!ReadHeaderFrom(f.get(), &header)) {
        if (header.nPF < 0 || header.nPF > 6)
            return fail(offsetof(RawHODFInfo, nPF),
                        "pole figure count " + std::to_string(header.nPF) + " is not 0 to 6");
        if (!orimath::IsValidCrystalType(header.crystalType))
            return fail(offsetof(RawHODFInfo, crystalType), "crystal system code " +
                                                                std::to_string(header.crystalType) +
                                                                " is not 0 to 6");
        return fail(0, "the file ends inside its 2032-byte header");
    }
    full->assign(kFullValues, 0.0);
    // One Phi row of one phi2 section (73 doubles) per read.
    for (std::size_t row = 0; row < 73u * 37u; ++row)
        if (std::fread(full->data() + row * 73, sizeof(double), 73, f.get()) != 73)
            return fail(kTODFHeaderBytes + row * 73 * sizeof(double),
                        "the file ends after " + std::to_string(row * 73) + " of " +
                            std::to_string(kFullValues) + " values");
    // Callers index symmetry tables by the crystal code.
    if (!orimath::IsValidCrystalType(header.crystalType))
        return false;
    std::memcpy(info, &header, kTODFHeaderBytes);
    return true;
}

bool IsTODF(const char* path) {
    RawHODFInfo h;
    if (!ReadTODFHeader(path, &h))
        return false;
    if (!orimath::IsValidCrystalType(h.crystalType))
        return false;
    for (double v : h.lattice)
        if (v < 0)
            return false;
    return h.nPF >= 1 && h.nPF <= 6;
}

} // namespace dataformats::odf

using namespace dataformats;

int GetTODFInfo(RawHODFInfo* info) {
    if (info == nullptr)
        return 0;
    char path[sizeof info->path] = {}; // no stack bytes after the name reach the record
    CopyBounded(path, sizeof path, BoundedView(info->path, sizeof info->path));
    RawHODFInfo header;
    if (!odf::ReadTODFHeader(path, &header))
        return 0;
    if (!orimath::IsValidCrystalType(header.crystalType))
        return 0;
    std::memcpy(info, &header, kTODFHeaderBytes);
    std::memcpy(info->path, path, sizeof path);
    return 1;
}

namespace {

int ReadTODFInto(RawHODFInfo* info, double*** grid) {
    if (info == nullptr || grid == nullptr)
        return 0;
    char path[sizeof info->path] = {}; // no stack bytes after the name reach the record
    CopyBounded(path, sizeof path, BoundedView(info->path, sizeof info->path));
    std::vector<double> full;
    RawHODFInfo read = *info;
    if (!odf::ReadTODF(path, &read, &full))
        return 0;
    *info = read;
    std::memcpy(info->path, path, sizeof path);
    info->resolution = 5.0;
    info->fibreAverage = 0;
    info->sampleSymmetry = 0;
    for (int k = 0; k < 73; ++k)
        for (int j = 0; j < 37; ++j)
            std::memcpy(grid[k][j], full.data() + (static_cast<std::size_t>(k) * 37 + j) * 73,
                        73 * sizeof(double));
    return 1;
}

} // namespace

int OpenODFAsHODF(RawHODFInfo* info, double*** grid) {
    return ReadTODFInto(info, grid);
}
int OpenODF1(RawHODFInfo* info, double*** grid) {
    return ReadTODFInto(info, grid);
}

int SaveODFFile(RawHODFInfo* info, const double* full) {
    if (info == nullptr || full == nullptr)
        return 0;
    char path[sizeof info->path] = {}; // no stack bytes after the name reach the record
    CopyBounded(path, sizeof path, BoundedView(info->path, sizeof info->path));
    AtomicFile file;
    bool ok = file.Create(path) && file.Write(info, kTODFHeaderBytes) &&
              file.Write(full, odf::kFullValues * sizeof(double)) && file.Commit();
    if (!ok) {
        file.Abandon();
        platform::ShowMessage("Error in writing");
        return 0;
    }
    return 1;
}

int SaveSEDFFile(const char* outFile, const char* denominatorFile, const char* numeratorFile) {
    if (outFile == nullptr || denominatorFile == nullptr || numeratorFile == nullptr)
        return 0;
    odf::File den(std::fopen(denominatorFile, "rb"));
    odf::File num(std::fopen(numeratorFile, "rb"));
    if (!den || !num)
        return 0;
    RawHODFInfo denHeader, numHeader;
    if (std::fread(&denHeader, 1, kTODFHeaderBytes, den.get()) != kTODFHeaderBytes ||
        std::fread(&numHeader, 1, kTODFHeaderBytes, num.get()) != kTODFHeaderBytes)
        return 0;
    AtomicFile out;
    if (!out.Create(outFile) || !out.Write(&denHeader, kTODFHeaderBytes))
        return 0;
    std::vector<double> d(37 * 73), n(37 * 73), r(37 * 73);
    for (int k = 0; k < 73; ++k) {
        if (std::fread(d.data(), sizeof(double), d.size(), den.get()) != d.size() ||
            std::fread(n.data(), sizeof(double), n.size(), num.get()) != n.size())
            return 0;
        for (std::size_t i = 0; i < r.size(); ++i)
            r[i] = d[i] > 0 ? n[i] / d[i] : 1.0;
        if (!out.Write(r.data(), r.size() * sizeof(double)))
            return 0;
    }
    return out.Commit() ? 1 : 0;
}
