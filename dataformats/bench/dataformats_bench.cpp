// Throughput of the text readers and writers against plain C stdio loops in
// the same run: a first-generation HODF of 361 x 91 x 91 cubic values (a
// 1-degree ODF) and a 0.5-degree pole figure of 181 x 721 values. Prints
// MB/s, the ratios, and whether the values read are bit-identical to the
// stdio conversion the layout uses ("%lf" for HODF data, "%f" otherwise).
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

#include "dataformats/dataformats.h"
#include "orimath/grid.h"

namespace {

double Seconds(const std::function<void()>& f, int repeats = 3) {
    double best = 1e30;
    for (int r = 0; r < repeats; ++r) {
        auto t0 = std::chrono::steady_clock::now();
        f();
        best = std::min(
            best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    return best;
}

double MB(const std::string& path) {
    return std::filesystem::file_size(path) / 1e6;
}

void Report(const char* what, double mb, double ours, double stdio) {
    std::printf("%-34s %8.1f MB/s (ours) %8.1f MB/s (stdio)  ratio %.2f\n", what, mb / ours,
                mb / stdio, stdio / ours);
}

// Reads a text file with fgets for `headerLines` lines, then all numbers.
template <typename T>
std::vector<T> StdioRead(const std::string& path, int headerLines, const char* format) {
    std::vector<T> values;
    std::FILE* f = std::fopen(path.c_str(), "r");
    char line[4096];
    for (int i = 0; i < headerLines; ++i)
        std::fgets(line, sizeof line, f);
    T v;
    while (std::fscanf(f, format, &v) == 1)
        values.push_back(v);
    std::fclose(f);
    return values;
}

} // namespace

int main() {
    std::string dir = (std::filesystem::temp_directory_path() /
                       ("dataformats-bench-" + std::to_string(::getpid())))
                          .string();
    std::filesystem::create_directories(dir);

    // ODF: 1 degree, cubic, no sample symmetry: 361 x 91 x 91.
    const int n1 = 361, n = 91, n2 = 91;
    orimath::Grid3<double> grid(orimath::Extent3{.phi1 = n1, .Phi = n, .phi2 = n2});
    double*** odf = grid.Tree();
    for (int k = 0; k < n2; ++k)
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n1; ++i)
                odf[k][j][i] =
                    1.0 + std::sin(i * 0.05) * std::cos(j * 0.07) * std::sin(k * 0.11 + 0.3);
    RawHODFInfo info{};
    info.nPF = 1;
    std::strcpy(info.pfNames[0], "bench.hpf");
    info.hkl[0][0] = 1;
    info.crystalType = 0;
    const double lattice[6] = {1, 1, 1, 90, 90, 90};
    std::memcpy(info.lattice, lattice, sizeof lattice);
    info.resolution = 1.0;
    const std::string hodf = dir + "/bench.hodf", hodfStdio = dir + "/stdio.hodf";

    double writeOurs = Seconds([&] { Save_ODF_File(hodf.c_str(), odf, &info, n1, n, n2); });
    double writeStdio = Seconds([&] {
        std::FILE* f = std::fopen(hodfStdio.c_str(), "w");
        std::fprintf(f, "Text Format of ODF File (Arbitrary Resolution) 1HXNP23ZH (by Corvan)\n");
        std::fprintf(f, "%d\t%d\t%d\n%d\n", n1, n, n2, 0);
        for (int k = 0; k < n2; ++k) {
            std::fprintf(f, "%.1f\n", k * 1.0);
            for (int j = 0; j < n; ++j) {
                for (int i = 0; i < n1; ++i)
                    std::fprintf(f, "%.4f\t", odf[k][j][i]);
                std::fprintf(f, "\n");
            }
        }
        std::fclose(f);
    });
    double mb = MB(hodf);
    std::printf("HODF 361 x 91 x 91 (%.1f MB of text)\n", mb);
    Report("write (Save_ODF_File vs fprintf)", mb, writeOurs, writeStdio);

    // The timing includes adopting the tree into a grid, as every caller does.
    orimath::Grid3<double> back;
    double readOurs = Seconds([&] {
        RawHODFInfo in{};
        int r1 = 0, r = 0, r2 = 0;
        double*** tree = Open_ODF_File(hodf.c_str(), &in, 2, &r1, &r, &r2);
        back = tree ? orimath::AdoptTree(tree, {.phi1 = r1, .Phi = r, .phi2 = r2})
                    : orimath::Grid3<double>();
    });
    const int headerLines = 14; // with one pole figure name line and one hkl line
    std::vector<double> viaLf;
    double readLf = Seconds([&] { viaLf = StdioRead<double>(hodf, headerLines, "%lf"); });
    std::vector<float> viaF;
    double readF = Seconds([&] { viaF = StdioRead<float>(hodf, headerLines, "%f"); });
    Report("read (Open_ODF_File vs fscanf %lf)", mb, readOurs, readLf);
    Report("read (Open_ODF_File vs fscanf %f)", mb, readOurs, readF);
    // The stdio lists hold the section angles too: n1 * n values after each.
    bool same = back.extent() == grid.extent() &&
                viaLf.size() == static_cast<std::size_t>(n2) * (n * n1 + 1);
    for (int k = 0; same && k < n2; ++k)
        for (int j = 0; same && j < n; ++j)
            for (int i = 0; same && i < n1; ++i)
                same =
                    std::memcmp(&back[k][j][i], &viaLf[k * (n * n1 + 1) + 1 + j * n1 + i], 8) == 0;
    std::printf("  values bit-identical to fscanf(\"%%lf\"): %s\n", same ? "yes" : "NO");

    // Pole figure: 0.5 degree, 181 x 721.
    const int nA = 181, nB = 721;
    orimath::Grid2<double> pfGrid(orimath::Extent2{.alpha = nA, .beta = nB});
    double** pf = pfGrid.Tree();
    for (int i = 0; i < nA; ++i)
        for (int j = 0; j < nB; ++j)
            pf[i][j] = 100.0 * (1.0 + std::sin(i * 0.03) * std::cos(j * 0.013));
    PFFileInfo pinfo;
    pinfo.crystalType = 0;
    pinfo.resolution = 0.5;
    const std::string hpf = dir + "/bench.hpf";
    double pfWrite = Seconds([&] { SaveHPFFile(hpf.c_str(), &pinfo, nA, nB, pf); });
    const std::string hpfStdio = dir + "/stdio.hpf";
    double pfWriteStdio = Seconds([&] {
        std::FILE* f = std::fopen(hpfStdio.c_str(), "w");
        std::fprintf(f, "This pole figure file is created by HQuelta software\nheader\n");
        for (int i = 0; i < nA; ++i) {
            for (int j = 0; j < nB; ++j)
                std::fprintf(f, "%.4f\t", pf[i][j]);
            std::fprintf(f, "\n");
        }
        std::fclose(f);
    });
    double pmb = MB(hpf);
    std::printf("Pole figure 181 x 721 (%.1f MB of text)\n", pmb);
    Report("write (SaveHPFFile vs fprintf)", pmb, pfWrite, pfWriteStdio);
    orimath::Grid2<double> pback;
    double pfRead = Seconds([&] {
        PFFileInfo in;
        int a = 0, b = 0;
        double** tree = Open_PF_File(hpf.c_str(), &in, 1, &a, &b);
        pback = tree ? orimath::AdoptTree(tree, {.alpha = a, .beta = b}) : orimath::Grid2<double>();
    });
    std::vector<float> pviaF;
    double pfReadF = Seconds([&] { pviaF = StdioRead<float>(hpf, 2, "%f"); });
    Report("read (Open_PF_File vs fscanf %f)", pmb, pfRead, pfReadF);
    bool psame =
        pback.extent() == pfGrid.extent() && pviaF.size() == static_cast<std::size_t>(nA) * nB;
    for (int i = 0; psame && i < nA; ++i)
        for (int j = 0; psame && j < nB; ++j) {
            double expected = pviaF[static_cast<std::size_t>(i) * nB + j];
            psame = std::memcmp(&pback[i][j], &expected, 8) == 0;
        }
    std::printf("  values bit-identical to fscanf(\"%%f\") stored as double: %s\n",
                psame ? "yes" : "NO");
    std::filesystem::remove_all(dir);
    return same && psame ? 0 : 1;
}
