// Writers replace files atomically: a save that fails part-way leaves the
// previous file as it was and no temporary file behind.
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

#include "dataformats/polefigure.h"
#include "orimath/grid.h"
#include "test_support.h"

using dftest::TempDir;

TEST(Writers, FailedSaveKeepsThePreviousFile) {
    TempDir dir;
    std::string path = dftest::Write(dir.File("keep.hpf"), "previous contents\n");
    const int nA = 181, nB = 721;
    orimath::Grid2<double> values(orimath::Extent2{.alpha = nA, .beta = nB}, 1.0);
    double** grid = values.Tree();
    PFFileInfo info;
    info.resolution = 0.5;
    // Writes beyond 64 KiB fail (EFBIG) instead of raising SIGXFSZ.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    int result;
    {
        dftest::MessageRecorder messages;
        result = SaveHPFFile(path.c_str(), &info, nA, nB, grid);
        setrlimit(RLIMIT_FSIZE, &old);
        EXPECT_EQ(messages.messages, std::vector<std::string>{"Cannot write file"});
    }
    EXPECT_EQ(result, 0);
    EXPECT_EQ(dftest::Read(path), "previous contents\n");
    int files = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.Path()))
        files += e.is_regular_file();
    EXPECT_EQ(files, 1);
    // Without the limit the same save replaces the file.
    EXPECT_EQ(SaveHPFFile(path.c_str(), &info, nA, nB, grid), 1);
    EXPECT_EQ(Get_PF_File_Type(path), 1);
}
