#include "figurerender/figure_render.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>

#include "dataformats/gbcd.h"
#include "dataformats/inversepf.h"
#include "dataformats/odf.h"
#include "dataformats/polefigure.h"

namespace {

class QtEnvironment : public testing::Environment {
  public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "figurerender_tests";
        static char* argv[] = {name, nullptr};
        // Headless whatever the environment says.
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        if (!QGuiApplication::instance())
            app_ = std::make_unique<QGuiApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

  private:
    std::unique_ptr<QGuiApplication> app_;
};
const auto* const kEnv = testing::AddGlobalTestEnvironment(new QtEnvironment);

// 6 cos(alpha) + 0.05: circular contours about the centre.
std::string WritePoleFigure(const QTemporaryDir& dir) {
    const std::string path = dir.filePath("peak.TPF").toStdString();
    double grid[19][73];
    for (int i = 0; i < 19; ++i)
        for (int j = 0; j < 73; ++j)
            grid[i][j] = 6.0 * std::cos(i * 5 * std::numbers::pi / 180.0) + 0.05;
    PFFileInfo info;
    info.fileName = path;
    info.crystalType = 0;
    info.h = 1, info.k = 1, info.l = 1;
    info.resolution = 5;
    info.description = "peak, (1 1 1), 5.00, 19 x 73, (1.00 1.00 1.00 90.00 90.00 90.00), test";
    EXPECT_EQ(SavePFFile(&info, grid), 1);
    return path;
}

bool Near(const QImage& img, int cx, int cy, int radius, bool (*test)(QRgb)) {
    for (int y = cy - radius; y <= cy + radius; ++y)
        for (int x = cx - radius; x <= cx + radius; ++x)
            if (img.rect().contains(x, y) && test(img.pixel(x, y)))
                return true;
    return false;
}
bool IsDark(QRgb c) {
    return qGray(c) < 110;
}
bool IsRed(QRgb c) {
    return qRed(c) > 150 && qGreen(c) < 110 && qBlue(c) < 110;
}

TEST(FigureRender, PoleFigurePngHasItsCircleAndContoursWhereTheGeometrySays) {
    QTemporaryDir dir;
    const std::string input = WritePoleFigure(dir);
    const std::string output = dir.filePath("pf.png").toStdString();
    figurerender::Options options;
    options.dpi = 96;
    options.legend = false;
    std::string error;
    ASSERT_EQ(figurerender::RenderFigureFile(input, output, options, &error), 1) << error;
    QImage img(QString::fromStdString(output));
    ASSERT_FALSE(img.isNull());
    EXPECT_NEAR(img.dotsPerMeterX(), 96 / 0.0254, 1);
    // Scale 5 px per unit; radius (int)(5 * 40 * 200/279.4 + 0.5) = 143;
    // labels widen the box by 11 + 2 * 20 left and 11 + 20 above; margin 19;
    // so the square starts at (19 + 51, 19 + 31) and the centre is 143 on.
    const int cx = 70 + 143, cy = 50 + 143, R = 143;
    EXPECT_EQ(img.width(), 51 + 2 * R + 2 * 19);
    for (int k = 0; k < 36; ++k) {
        const double t = k * 10 * std::numbers::pi / 180;
        const int x = cx + static_cast<int>(std::lround(std::cos(t) * R));
        const int y = cy - static_cast<int>(std::lround(std::sin(t) * R));
        EXPECT_TRUE(Near(img, x, y, 1, IsDark)) << "circle at " << k * 10;
        // Level 5 (red, the highest) lies where 6 cos(alpha) = 4.95.
        const double rho = std::tan(std::acos(4.95 / 6.0) / 2) * R;
        const int lx = cx + static_cast<int>(std::lround(std::cos(t) * rho));
        const int ly = cy - static_cast<int>(std::lround(std::sin(t) * rho));
        EXPECT_TRUE(Near(img, lx, ly, 2, IsRed)) << "level 5 at " << k * 10;
    }
    // Between the contours and the circle, away from the axes: white.
    EXPECT_EQ(qGray(img.pixel(cx + 10, cy - R + 3)), 255);
}

TEST(FigureRender, EveryFamilyAndFormatRenders) {
    QTemporaryDir dir;
    const std::string pf = WritePoleFigure(dir);

    using Odf = double[73][37][73];
    std::unique_ptr<Odf> odf(reinterpret_cast<Odf*>(new double[73 * 37 * 73]));
    for (int k = 0; k < 73; ++k)
        for (int i = 0; i < 37; ++i)
            for (int j = 0; j < 73; ++j)
                (*odf)[k][i][j] =
                    1.0 + 3.0 * std::exp(-((i - 9) * (i - 9) + (j - 9) * (j - 9)) / 20.0);
    RawHODFInfo oinfo{};
    oinfo.crystalType = 0;
    const double lattice[6] = {1, 1, 1, 90, 90, 90};
    std::memcpy(oinfo.lattice, lattice, sizeof lattice);
    const std::string odfPath = dir.filePath("model.TODF").toStdString();
    std::strncpy(oinfo.path, odfPath.c_str(), sizeof oinfo.path - 1);
    ASSERT_EQ(SaveODFFile(&oinfo, &(*odf)[0][0][0]), 1);

    double ipfGrid[19][73];
    for (int i = 0; i < 19; ++i)
        for (int j = 0; j < 73; ++j)
            ipfGrid[i][j] = 1.0 + std::cos(i * 0.1) * std::sin(j * 0.1);
    IPFFileInfo iinfo;
    iinfo.fileName = dir.filePath("nd.TIPF").toStdString();
    iinfo.crystalType = 0;
    iinfo.directions[2][2] = 1;
    iinfo.directions[0][0] = 1;
    iinfo.directions[1][1] = 1;
    ASSERT_EQ(SaveIPFFile(&iinfo, ipfGrid), 1);

    double angle[kGBCDAngleCount] = {}, csl[kCSLClassCount] = {};
    for (int d = 0; d < 63; ++d)
        angle[d] = 1.0 / 63;
    csl[1] = 0.3;
    csl[50] = 0.7;
    GBCDFileInfo ginfo;
    ginfo.cslCalculated = 1;
    ginfo.grainPairs = 1000;
    const std::string gbcd = dir.filePath("gb.TGB").toStdString();
    ASSERT_EQ(Save_GBCD_File(gbcd.c_str(), &ginfo, angle, csl), 1);

    struct {
        std::string input, output;
        const char* magic;
    } cases[] = {{pf, "pf.svg", "<?xml"},
                 {pf, "pf.pdf", "%PDF"},
                 {pf, "pf.bmp", "BM"},
                 {pf, "pf.JPG", "\xFF\xD8"},
                 {odfPath, "odf.png", "\x89PNG"},
                 {iinfo.fileName, "ipf.png", "\x89PNG"},
                 {gbcd, "gbcd.png", "\x89PNG"}};
    figurerender::Options options;
    options.dpi = 72;
    for (const auto& c : cases) {
        const QString out = dir.filePath(QString::fromStdString(c.output));
        std::string error;
        ASSERT_EQ(figurerender::RenderFigureFile(c.input, out.toStdString(), options, &error), 1)
            << c.output << ": " << error;
        QFile f(out);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << c.output;
        EXPECT_TRUE(f.read(8).startsWith(c.magic)) << c.output;
    }
    // No temporary files stay behind.
    for (const QString& name : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden))
        EXPECT_FALSE(name.startsWith('.')) << name.toStdString();
}

TEST(FigureRender, FailuresLeaveNoOutput) {
    QTemporaryDir dir;
    const std::string pf = WritePoleFigure(dir);
    {
        QFile junk(dir.filePath("junk.txt"));
        junk.open(QIODevice::WriteOnly);
        junk.write("hello\nworld\n");
    }
    struct {
        std::string input, output;
    } cases[] = {{dir.filePath("none.TPF").toStdString(), "a.png"},
                 {pf, "a.gif"},
                 {dir.filePath("junk.txt").toStdString(), "b.png"},
                 {pf, "missing/dir/c.png"}};
    figurerender::Options options;
    for (const auto& c : cases) {
        std::string error;
        const QString out = dir.filePath(QString::fromStdString(c.output));
        EXPECT_EQ(figurerender::RenderFigureFile(c.input, out.toStdString(), options, &error), 0)
            << c.output;
        EXPECT_FALSE(error.empty());
        EXPECT_FALSE(QFile::exists(out)) << c.output;
    }
}

} // namespace
