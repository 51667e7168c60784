#include "test_files.h"

#include <unistd.h>

#include <fstream>
#include <sstream>

namespace calctest {

ScratchDir::ScratchDir(const std::string& name)
    : root_(std::filesystem::path(QUELTA_TEST_BINARY_DIR) / "scratch" /
            (name + "-" + std::to_string(getpid()))) {
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_);
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool Exists(const std::string& path) {
    return std::filesystem::exists(path);
}

int TemporaryFileCount(const std::filesystem::path& folder) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.front() == '.' || name.find(".tmp") != std::string::npos)
            ++count;
    }
    return count;
}

std::string Sample(const std::string& name) {
    return (std::filesystem::path(QUELTA_SAMPLES_DIR) / name).string();
}

PoleFigureFile::PoleFigureFile(const std::string& path) {
    const int type = Get_PF_File_Type(path);
    int nA = 0, nB = 0;
    double** tree = type >= 0 ? Open_PF_File(path.c_str(), &info, type, &nA, &nB) : nullptr;
    read = tree != nullptr;
    grid = orimath::AdoptTree(tree, {.alpha = nA, .beta = nB});
}

} // namespace calctest
