#include "fuzz_entries.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "dataformats/dataformats.h"
#include "dataformats/file_layouts.h"
#include "orimath/grid.h"
#include "platform/message_sink.h"

namespace dffuzz {
namespace {

// One private folder per process; files are rewritten for every input.
class Scratch {
  public:
    Scratch() {
        // A memory file system where there is one: rewriting a file on a
        // journaling disk file system waits for the disk on every input.
        std::error_code ec;
        std::filesystem::path base =
            std::filesystem::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0
                ? std::filesystem::path("/dev/shm")
                : std::filesystem::temp_directory_path();
        std::string pattern = (base / "dffuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr)
            dir_ = pattern;
        // Readers may report through the message sink; keep the fuzzer's output clean.
        platform::SetMessageHandler([](const std::string&) {});
    }
    ~Scratch() {
        std::error_code ec;
        if (!dir_.empty())
            std::filesystem::remove_all(dir_, ec);
    }
    // Writes the bytes under each of the names; returns the paths.
    std::vector<std::string> Put(const uint8_t* data, std::size_t size,
                                 std::initializer_list<const char*> names) {
        std::vector<std::string> paths;
        for (const char* name : names) {
            std::string path = dir_ + "/" + name;
            if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
                if (size > 0)
                    std::fwrite(data, 1, size, f);
                std::fclose(f);
            }
            paths.push_back(path);
        }
        return paths;
    }

  private:
    std::string dir_;
};

Scratch& TheScratch() {
    static Scratch scratch;
    return scratch;
}

// Readers hand over pointer trees; adopting one copies every cell of the
// extent the reader reported, so a tree shorter than its counts shows under
// the address sanitizer, and frees it.
void OpenAndFreePF(const char* path, int type) {
    PFFileInfo info;
    Get_PF_File_Info(path, type, &info);
    int nA = 0, nB = 0;
    double** tree = Open_PF_File(path, &info, type, &nA, &nB);
    orimath::AdoptTree(tree, {.alpha = nA, .beta = nB});
    ParserPFInfo(info.description.c_str(), &info);
}

} // namespace

void PoleFigure(const uint8_t* data, std::size_t size) {
    auto paths = TheScratch().Put(data, size, {"in200.uxd"});
    const char* path = paths[0].c_str();
    Get_PF_File_Type(paths[0]);
    for (int type = 0; type <= 8; ++type)
        OpenAndFreePF(path, type);
    static double fixed[19][73];
    PFFileInfo info;
    info.fileName = paths[0];
    OpenPF(&info, fixed);
    int count = Get_UXD_PF_Count(path);
    for (int i = 0; i < count && i < 3; ++i) {
        int nA = 0, nB = 0;
        double** tree = Open_UXD_PF(path, i, &info, &nA, &nB);
        orimath::AdoptTree(tree, {.alpha = nA, .beta = nB});
    }
}

void ODF(const uint8_t* data, std::size_t size) {
    auto paths = TheScratch().Put(data, size, {"in.hodf", "in.todf", "in.fgt", "in.txt"});
    for (const auto& p : paths)
        GetODFFileType(p);
    for (int type = 0; type <= 4; ++type) {
        RawHODFInfo info{};
        Get_ODF_File_Info(paths[0].c_str(), &info, type);
        int n1 = 0, n = 0, n2 = 0;
        double*** tree = Open_ODF_File(paths[0].c_str(), &info, type, &n1, &n, &n2);
        orimath::AdoptTree(tree, {.phi1 = n1, .Phi = n, .phi2 = n2});
    }
    RawHODFInfo info{};
    std::snprintf(info.path, sizeof info.path, "%s", paths[0].c_str());
    int n1 = 0, n = 0, n2 = 0;
    double*** tree = OpenTTOFile(&info, &n1, &n, &n2);
    orimath::AdoptTree(tree, {.phi1 = n1, .Phi = n, .phi2 = n2});
    // ODF text lists are known to the registry only.
    if (const dataformats::FileLayout* list = dataformats::FindLayout("odflist")) {
        dataformats::FileProbe probe(paths[3]);
        if (list->Detect(probe))
            list->Read(paths[3]);
    }
}

void ODFFullGrid(const uint8_t* data, std::size_t size) {
    auto paths = TheScratch().Put(data, size, {"full.hodf", "full.txt", "full.tto"});
    static double full[73][37][73];
    for (int i = 0; i < 2; ++i) {
        int type = GetODFFileType(paths[i]);
        RawHODFInfo info{};
        if (type >= 0)
            Open_ODF_File_73x37x73(paths[i].c_str(), &info, type, full);
    }
    RawHODFInfo info{};
    OpenALLODF(paths[2].c_str(), &info, full);
}

void InversePoleFigure(const uint8_t* data, std::size_t size) {
    auto paths = TheScratch().Put(data, size, {"in.hipf"});
    const char* path = paths[0].c_str();
    Get_IPF_File_Type(paths[0]);
    for (int type = 0; type <= 1; ++type) {
        IPFFileInfo info;
        Get_IPF_File_Info(path, type, &info);
        int nA = 0, nB = 0;
        double** tree = Open_IPF_File(path, &info, type, &nA, &nB);
        orimath::AdoptTree(tree, {.alpha = nA, .beta = nB});
    }
    static double fixed[19][73];
    IPFFileInfo info;
    info.fileName = paths[0];
    OpenIPF(&info, fixed);
}

void GBCD(const uint8_t* data, std::size_t size) {
    auto paths = TheScratch().Put(data, size, {"in.tgb"});
    Get_GBCD_File_Type(paths[0].c_str());
    GBCDFileInfo info;
    double angle[kGBCDAngleCount], csl[kCSLClassCount];
    Open_GBCD_File(paths[0].c_str(), &info, 0, angle, csl);
}

void GrainMap(const uint8_t* data, std::size_t size) {
    auto paths = TheScratch().Put(data, size, {"in.gbm"});
    int32_t W = 0, H = 0, third = 0, G = 0, B = 0;
    double d1, d2, d3, d4;
    int16_t **map = nullptr, **grains = nullptr, **pairs = nullptr;
    int32_t* values = nullptr;
    std::vector<std::string> labels;
    if (OpenGBMap(paths[0].c_str(), &W, &H, &third, &d1, &d2, &d3, &d4, &map, &G, &grains, &B,
                  &values, &labels, &pairs)) {
        orimath::AdoptTree(map, {.alpha = W, .beta = H});
        orimath::AdoptTree(grains, {.alpha = G, .beta = 3});
        orimath::AdoptTree(pairs, {.alpha = B, .beta = 2});
        std::unique_ptr<int32_t[]> owned(values);
    }
}

Entry EntryByName(const std::string& name) {
    if (name == "polefigure")
        return PoleFigure;
    if (name == "odf")
        return ODF;
    if (name == "odf73")
        return ODFFullGrid;
    if (name == "ipf")
        return InversePoleFigure;
    if (name == "gbcd")
        return GBCD;
    if (name == "grainmap")
        return GrainMap;
    return nullptr;
}

} // namespace dffuzz
