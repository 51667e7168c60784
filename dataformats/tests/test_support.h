#pragma once
// Helpers shared by the file tests: a private temporary folder, files
// written from text, and a recorder of user messages.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "dataformats/odf.h"
#include "dataformats/polefigure.h"
#include "orimath/grid.h"
#include "platform/message_sink.h"

namespace dftest {

class TempDir {
  public:
    TempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "dataformats-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

inline std::string Write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

inline std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Replaces every "\n" by "\r\n".
inline std::string ToCrLf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

class MessageRecorder {
  public:
    MessageRecorder() : scope_([this](const std::string& text) { messages.push_back(text); }) {}
    std::vector<std::string> messages;

  private:
    platform::ScopedMessageHandler scope_;
};

// Runs a reader that returns a new pointer tree and writes its counts
// through (int* nA, int* nB), and adopts the tree into *grid. False, with
// *grid emptied, when the reader returns null.
template <class Reader> bool ReadGrid(Reader read, orimath::Grid2<double>* grid) {
    int nA = 0, nB = 0;
    double** tree = read(&nA, &nB);
    *grid = tree ? orimath::AdoptTree(tree, {.alpha = nA, .beta = nB}) : orimath::Grid2<double>();
    return tree != nullptr;
}

inline bool ReadPoleFigure(const std::string& path, int type, PFFileInfo* info,
                           orimath::Grid2<double>* grid) {
    return ReadGrid(
        [&](int* nA, int* nB) { return Open_PF_File(path.c_str(), info, type, nA, nB); }, grid);
}

// Open_ODF_File into *grid; false, with *grid emptied, when it returns null.
inline bool ReadOdf(const std::string& path, RawHODFInfo* info, int type,
                    orimath::Grid3<double>* grid) {
    int n1 = 0, n = 0, n2 = 0;
    double*** tree = Open_ODF_File(path.c_str(), info, type, &n1, &n, &n2);
    *grid = tree ? orimath::AdoptTree(tree, {.phi1 = n1, .Phi = n, .phi2 = n2})
                 : orimath::Grid3<double>();
    return tree != nullptr;
}

// A grid whose cell [phi2 k][Phi j][phi1 i] holds f(i, j, k).
template <class F> orimath::Grid3<double> OdfOf(orimath::Extent3 e, F f) {
    orimath::Grid3<double> g(e);
    for (int k = 0; k < e.phi2; ++k)
        for (int j = 0; j < e.Phi; ++j)
            for (int i = 0; i < e.phi1; ++i)
                g[k][j][i] = f(i, j, k);
    return g;
}

inline std::filesystem::path RealWorld(const std::string& relative) {
    return std::filesystem::path(QUELTA_REALWORLD_DIR) / relative;
}

#define SKIP_WITHOUT_REALWORLD(path)                                                               \
    do {                                                                                           \
        if (!std::filesystem::exists(path)) {                                                      \
            GTEST_SKIP() << "real files absent: " << (path);                                       \
        }                                                                                          \
    } while (0)

} // namespace dftest
