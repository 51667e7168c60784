// Writes the small seed files of the fuzz corpora: output of the library's
// own writers plus short hand-made files of the foreign layouts.
//   dataformats_make_seeds <corpus folder>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "dataformats/dataformats.h"
#include "orimath/grid.h"

namespace fs = std::filesystem;

namespace {

std::string Num(double v) {
    char b[32];
    std::snprintf(b, sizeof b, "%g", v);
    return b;
}

void Text(const fs::path& p, const std::string& s) {
    std::ofstream(p, std::ios::binary) << s;
}

void PoleFigures(const fs::path& dir) {
    static double fixed[19][73];
    for (int i = 0; i < 19; ++i)
        for (int j = 0; j < 73; ++j)
            fixed[i][j] = i + j * 0.5;
    PFFileInfo info;
    info.fileName = (dir / "tpf5").string();
    info.crystalType = 0;
    SavePFFile(&info, fixed);
    orimath::Grid2<double> g(orimath::Extent2{.alpha = 4, .beta = 13});
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 13; ++j)
            g[i][j] = i * 13 + j;
    info.resolution = 30;
    SaveHPFFile((dir / "hpf30").string().c_str(), &info, 4, 13, g.Tree());

    std::string polcon;
    for (int i = 0; i < 19; ++i)
        for (int j = 0; j < 72; ++j)
            polcon += Num(i * 5) + " " + Num(j * 5) + " " + Num(i + j) + "\n";
    Text(dir / "polcon", polcon);
    std::string kw =
        "*LATT_CONS\t=  0, Cubic, x\n*STEP\t=  30\n*PF_BANGLE\t=  0\n*INDEX\t=  1, 1, 1\n";
    kw += "*PF_AANGLE\t=  60\n*COUNT\t=  4\n1, 2, 3, 4\n*PF_AANGLE\t=  30\n*COUNT\t=  13\n";
    for (int j = 0; j < 13; ++j)
        kw += Num(j) + (j == 12 ? "\n" : ", ");
    Text(dir / "keyword", kw);
    std::string odfin =
        " O.D.F. CALCULATION\n THE INPUT DATA OF FIRST POLE FIGURE BACK REFLECTION(14I5)\n";
    for (int i = 0; i < 19 * 72; ++i)
        odfin += Num(i % 97) + ((i % 14 == 13) ? "\n" : " ");
    Text(dir / "odfinput", odfin);
    std::string interval = "texture data of interval\nx\n0 - 60 step 30\n0 - 360 step 30\nl5\n1 2 "
                           "3\n*** pole figure data ***\n";
    for (int i = 0; i < 3 * 12; ++i)
        interval += Num(10 + i) + " ";
    Text(dir / "interval", interval);
    std::string rings = "title\n(110)  5.0 90.0  5.0360.0\n";
    for (int r = 0; r < 19; ++r)
        for (int m = 0; m < 4; ++m) {
            rings += ' ';
            for (int f = 0; f < 18; ++f) {
                char b[8];
                std::snprintf(b, sizeof b, "%4d", r * 10 + f);
                rings += b;
            }
            rings += '\n';
        }
    Text(dir / "rings", rings);
    std::string pairs;
    for (int b = 0; b < 13; ++b)
        for (int r = 0; r < 4; ++r)
            pairs += Num(b * 30) + " " + Num(r + b) + "\n";
    Text(dir / "pairs", pairs);
    std::string uxd = "; counts\n";
    for (int r = 0; r < 4; ++r) {
        uxd += "_COUNTS\n";
        for (int j = 0; j < 12; ++j)
            uxd += Num(r * 100 + j) + " ";
        uxd += "\n";
    }
    Text(dir / "uxdcounts", uxd);
    std::string ranges;
    for (double tt : {30.0, 40.0})
        for (int r = 0; r < 3; ++r) {
            ranges += "; (Data for Range)\n_2THETA=" + Num(tt) + "\n_KHI=" + Num(r * 30) +
                      "\n_2THETACPS\n";
            for (int j = 0; j < 12; ++j)
                ranges += "  " + Num(j * 30) + "    " + Num(tt + j) + "\n";
        }
    Text(dir / "uxdranges", ranges);
}

RawHODFInfo OdfInfo(double res, int sym) {
    RawHODFInfo info{};
    info.nPF = 2;
    std::strcpy(info.pfNames[0], "a 110");
    std::strcpy(info.pfNames[1], "b 200");
    info.hkl[0][0] = info.hkl[1][2] = 1;
    info.crystalType = 0;
    const double lattice[6] = {1, 1, 1, 90, 90, 90};
    std::memcpy(info.lattice, lattice, sizeof lattice);
    info.resolution = res;
    info.sampleSymmetry = sym;
    info.maxLoops = 15;
    info.stopMode = 2;
    return info;
}

void Odfs(const fs::path& dir, const fs::path& dir73) {
    orimath::Grid3<double> grid(orimath::Extent3{.phi1 = 4, .Phi = 4, .phi2 = 4});
    double*** g = grid.Tree();
    for (int k = 0; k < 4; ++k)
        for (int j = 0; j < 4; ++j)
            for (int i = 0; i < 4; ++i)
                g[k][j][i] = i + j + k;
    RawHODFInfo info = OdfInfo(30, 1);
    for (const fs::path& d : {dir, dir73}) {
        Save_ODF_File((d / "hodf1").string().c_str(), g, &info, 4, 4, 4);
        Save_ODF_File2((d / "hodf2").string().c_str(), g, &info, 4, 4, 4);
    }
    RawHODFInfo five = OdfInfo(5, 1);
    Save_ODF_File((dir73 / "hodf5").string().c_str(), g, &five, 4, 4, 4);
    std::snprintf(five.path, sizeof five.path, "%s", (dir / "tto").string().c_str());
    SaveTTOFile(&five, g, 4, 4, 4);
    std::string cubic = "h1\nh2\n";
    for (int b = 0; b < 19; ++b) {
        for (int r = 0; r < 19; ++r) {
            for (int c = 0; c < 19; ++c)
                cubic += Num((b + r + c) % 7) + " ";
            cubic += "\n";
        }
        cubic += "1 x\n";
    }
    Text(dir / "cubic", cubic);
    Text(dir73 / "cubic", cubic);
    std::string fgt = "a\nb\nc\nd\n30 30 30\n90 90 90\npf1\n";
    for (int v = 0; v < 64; ++v)
        fgt += Num(v) + ((v % 8 == 7) ? "\n" : "        ");
    Text(dir / "fgt", fgt);
    RawHODFInfo todf = OdfInfo(5, 0);
    std::string header(reinterpret_cast<const char*>(&todf), kTODFHeaderBytes);
    Text(dir / "todf-header", header + std::string(64, '\0'));
}

void Others(const fs::path& ipf, const fs::path& gbcd, const fs::path& gbm) {
    const double dirs[3][3] = {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}};
    orimath::Grid2<double> grid(orimath::Extent2{.alpha = 4, .beta = 13});
    double** g = grid.Tree();
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 13; ++j)
            g[i][j] = i + j;
    SaveHIPF((ipf / "hipf").string().c_str(), 0, 0, 90, dirs, 30, 4, 13, g);
    IPFFileInfo info;
    info.resolution = 30;
    info.lattice[0] = info.lattice[1] = info.lattice[2] = 1;
    SaveHIPFFile((ipf / "hipf-lattice").string().c_str(), &info, 4, 13, g);

    double angle[kGBCDAngleCount] = {}, csl[kCSLClassCount] = {};
    for (int i = 0; i < kGBCDAngleCount; ++i)
        angle[i] = i % 9;
    GBCDFileInfo gi;
    gi.cslCalculated = 1;
    Save_GBCD_File((gbcd / "cubic-csl").string().c_str(), &gi, angle, csl);
    gi.crystalType = 1;
    Save_GBCD_File((gbcd / "hexagonal").string().c_str(), &gi, angle, csl);

    // The map is W x H = 3 x 2; two grains of three angles; one boundary pair.
    orimath::Grid2<int16_t> map(orimath::Extent2{.alpha = 3, .beta = 2});
    orimath::Grid2<int16_t> grains(orimath::Extent2{.alpha = 2, .beta = 3});
    orimath::Grid2<int16_t> pairs(orimath::Extent2{.alpha = 1, .beta = 2});
    for (int x = 0; x < 3; ++x)
        map[x][0] = map[x][1] = static_cast<int16_t>(x % 2);
    for (int i = 0; i < 2; ++i)
        grains[i][0] = grains[i][1] = grains[i][2] = static_cast<int16_t>(i * 45);
    pairs[0][0] = 0;
    pairs[0][1] = 1;
    const int32_t values[1] = {0};
    SaveGBMap((gbm / "map").string().c_str(), 3, 2, 1, 1, 1, 1, 40, map.Tree(), 2, grains.Tree(), 1,
              values, {"S3"}, pairs.Tree());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    fs::path root = argv[1];
    for (const char* t : {"polefigure", "odf", "odf73", "ipf", "gbcd", "grainmap"})
        fs::create_directories(root / t);
    PoleFigures(root / "polefigure");
    Odfs(root / "odf", root / "odf73");
    Others(root / "ipf", root / "gbcd", root / "grainmap");
    return 0;
}
