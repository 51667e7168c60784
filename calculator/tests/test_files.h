#pragma once
// Scratch folders and small file helpers for the calculator tests.
#include <filesystem>
#include <string>

#include "dataformats/polefigure.h"
#include "orimath/grid.h"

namespace calctest {

// A fresh folder under the test binary folder, removed when the object dies.
class ScratchDir {
  public:
    explicit ScratchDir(const std::string& name);
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::string Path(const std::string& file) const { return (root_ / file).string(); }
    const std::filesystem::path& Root() const { return root_; }

  private:
    std::filesystem::path root_;
};

void WriteText(const std::string& path, const std::string& text);
std::string ReadText(const std::string& path);
bool Exists(const std::string& path);
// Temporary files left behind in a folder: quelta-cli's own (hidden, ".name.part<pid>")
// and the file library's ("name.tmp<pid>-<n>").
int TemporaryFileCount(const std::filesystem::path& folder);

std::string Sample(const std::string& name); // path in data/samples

// A pole figure file read in the layout it is detected as.
struct PoleFigureFile {
    explicit PoleFigureFile(const std::string& path);
    bool read = false; // the reader returned a grid
    PFFileInfo info;
    orimath::Grid2<double> grid;
};

} // namespace calctest
