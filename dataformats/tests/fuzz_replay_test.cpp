// Replays the stored fuzz inputs (seed corpora and the inputs that once
// crashed or hung a reader) through the fuzz targets' entry points, so every
// build, and the sanitizer build in CI, checks them again.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz_entries.h"

namespace {

class FuzzReplay : public testing::TestWithParam<const char*> {};

std::vector<std::filesystem::path> Inputs(const std::string& target) {
    std::vector<std::filesystem::path> files;
    for (const char* kind : {"regressions", "corpus"}) {
        std::filesystem::path dir = std::filesystem::path(QUELTA_FUZZ_DIR) / kind / target;
        if (!std::filesystem::is_directory(dir))
            continue;
        for (const auto& e : std::filesystem::directory_iterator(dir))
            if (e.is_regular_file())
                files.push_back(e.path());
    }
    return files;
}

} // namespace

TEST_P(FuzzReplay, StoredInputsRunCleanly) {
    const std::string target = GetParam();
    dffuzz::Entry entry = dffuzz::EntryByName(target);
    ASSERT_NE(entry, nullptr);
    auto files = Inputs(target);
    for (const auto& path : files) {
        SCOPED_TRACE(path.string());
        std::ifstream in(path, std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
        auto start = std::chrono::steady_clock::now();
        entry(bytes.data(), bytes.size());
        double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        RecordProperty(path.filename().string(), std::to_string(seconds));
    }
    if (files.empty())
        GTEST_SKIP() << "no stored inputs for " << target;
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay,
                         testing::Values("polefigure", "odf", "odf73", "ipf", "gbcd", "grainmap"));
