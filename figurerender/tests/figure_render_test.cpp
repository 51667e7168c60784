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
#include "orimath/grid.h"
#include "platform/recording_dc.h"
#include "plotkit/plotkit.h"

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

// A cubic 5 degree ODF of n1 x 19 x 19 points (phi1 to 90 with sample
// symmetry, to 360 without): a Gaussian peak of height 4 at (phi1 = peakPhi1,
// Phi = 45) in every section over a background of 1, and a single spike
// of 1000 at Phi = 0, where the cells hold almost no volume.
std::string WriteModelODF(const QTemporaryDir& dir, const char* name, int n1, int peakPhi1) {
    orimath::Grid3<double> grid(orimath::Extent3{.phi1 = n1, .Phi = 19, .phi2 = 19});
    for (int k = 0; k < 19; ++k)
        for (int i = 0; i < 19; ++i)
            for (int j = 0; j < n1; ++j) {
                const double d2 = std::pow(5.0 * j - peakPhi1, 2) + std::pow(5.0 * i - 45, 2);
                grid[k][i][j] = 1.0 + 3.0 * std::exp(-d2 / (2 * 10.0 * 10.0));
            }
    grid[0][0][0] = 1000.0;
    RawHODFInfo info{};
    info.nPF = 1;
    info.hkl[0][0] = info.hkl[0][1] = info.hkl[0][2] = 1;
    const double lattice[6] = {1, 1, 1, 90, 90, 90};
    std::memcpy(info.lattice, lattice, sizeof lattice);
    info.sampleSymmetry = n1 == 19 ? 1 : 0;
    info.resolution = 5;
    const std::string path = dir.filePath(name).toStdString();
    EXPECT_EQ(Save_ODF_File(path.c_str(), grid.Tree(), &info, n1, 19, 19), 1);
    return path;
}

CODFStructure& ODFOf(figurerender::Figure& figure) {
    EXPECT_EQ(figure.objects.front()->GetType(), kDisplayODF);
    return static_cast<CODFStructure&>(*figure.objects.front());
}

// An ODF without sample symmetry holds phi1 0..360: the sections cover it
// (contours of the peak at phi1 = 270 are drawn), twice as wide as the
// sections of phi1 0..90. The sections are phi2 = 0, 15, ..., 90.
TEST(FigureRender, ODFSectionsCoverTheRegionTheFileHolds) {
    QTemporaryDir dir;
    struct {
        const char* name;
        int n1, peakPhi1, hTo;
    } rows[] = {{"sym.HODF", 19, 45, 18}, {"full.HODF", 73, 270, 72}};
    int width[2] = {};
    for (int r = 0; r < 2; ++r) {
        const std::string path = WriteModelODF(dir, rows[r].name, rows[r].n1, rows[r].peakPhi1);
        figurerender::Figure figure;
        std::string error;
        figurerender::Options options;
        options.legend = false;
        ASSERT_EQ(
            figurerender::BuildFigure(path, figurerender::Family::Auto, options, &figure, &error),
            1)
            << error;
        CODFStructure& odf = ODFOf(figure);
        const ODFInfo info = odf.GetInfo();
        EXPECT_EQ(info.hFrom, 0) << rows[r].name;
        EXPECT_EQ(info.hTo, rows[r].hTo) << rows[r].name;
        EXPECT_EQ(info.vTo, 18) << rows[r].name;
        std::vector<int> shown;
        for (int k = 0; k < 73; ++k)
            if (info.sectionShown[k])
                shown.push_back(k);
        EXPECT_EQ(shown, (std::vector<int>{0, 3, 6, 9, 12, 15, 18})) << rows[r].name;

        CRecordingDC dc;
        COLORREF colours[10] = {};
        odf.Draw(&dc, {0, 0}, 4, colours);
        width[r] = odf.SectionSize().cx;
        // The peak's contours lie around its phi1 in the first section.
        const CPoint cell = odf.CellOrigins()[0];
        const double peakX = cell.x + width[r] * rows[r].peakPhi1 / (5.0 * rows[r].hTo);
        int near = 0;
        for (const auto& line : dc.Lines())
            for (const CPoint& p : line.points)
                if (p.y > cell.y && p.y < cell.y + odf.SectionSize().cy &&
                    std::abs(p.x - peakX) < width[r] / 8.0 && p.x >= cell.x &&
                    p.x <= cell.x + width[r])
                    ++near;
        EXPECT_GT(near, 10) << rows[r].name;
    }
    EXPECT_NEAR(width[1], 2 * width[0], 1);
}

// The default levels run to the robust top of the ODF (the 99.5th volume
// percentile, about the Gaussian peak's 4), not to the lone spike of 1000
// at Phi = 0 that would push every level but the lowest above the texture.
TEST(FigureRender, ODFLevelsIgnoreASpikeWithoutVolume) {
    QTemporaryDir dir;
    const std::string path = WriteModelODF(dir, "spike.HODF", 73, 270);
    figurerender::Figure figure;
    std::string error;
    ASSERT_EQ(figurerender::BuildFigure(path, figurerender::Family::Auto, {}, &figure, &error), 1)
        << error;
    double levels[10];
    int count = 0;
    double width = 0;
    ODFOf(figure).GetContourInfo(levels, count, width);
    ASSERT_EQ(count, 5);
    EXPECT_DOUBLE_EQ(levels[5], 1.0);
    EXPECT_GT(levels[9], 2.5);
    EXPECT_LT(levels[9], 4.0);
    for (int k = 6; k <= 9; ++k)
        EXPECT_GT(levels[k], levels[k - 1]);
    EXPECT_DOUBLE_EQ(ODFOf(figure).GetInfo().maximum, 1000.0);
    // The legend shows the levels drawn.
    double legend[10];
    figure.objects.back()->GetContourInfo(legend, count, width);
    EXPECT_DOUBLE_EQ(legend[9], levels[9]);
}

TEST(FigureRender, ODFLevelTopWeighsCellsByVolume) {
    using Odf = double[73][37][73];
    std::unique_ptr<Odf> f(reinterpret_cast<Odf*>(new double[73 * 37 * 73]));
    auto fill = [&](auto value) {
        for (int k = 0; k < 73; ++k)
            for (int i = 0; i < 37; ++i)
                for (int j = 0; j < 73; ++j)
                    (*f)[k][i][j] = value(k, i, j);
    };
    struct Row {
        const char* name;
        double (*value)(int k, int i, int j);
        double low, high; // expected top
    } rows[] = {
        {"uniform", [](int, int, int) { return 2.0; }, 2.0, 2.0},
        {"spike row at Phi 0", [](int, int i, int) { return i == 0 ? 500.0 : 1.0; }, 1.0, 1.0},
        // Phi above 85 holds about 9 % of the volume of Phi 0..90.
        {"band at Phi 90", [](int, int i, int) { return i >= 17 ? 7.0 : 1.0; }, 7.0, 7.0},
        {"not finite", [](int, int i, int) { return i == 5 ? NAN : 3.0; }, 3.0, 3.0},
    };
    for (const Row& row : rows) {
        fill(row.value);
        const double top = figurerender::ODFLevelTop(*f, 18, 18, 18);
        EXPECT_GE(top, row.low) << row.name;
        EXPECT_LE(top, row.high) << row.name;
    }
}

// --levels and --top on pole figures and ODFs; the legend follows.
TEST(FigureRender, LevelsByHandAndTopOfTheLevels) {
    QTemporaryDir dir;
    const std::string pf = WritePoleFigure(dir);
    const std::string odf = WriteModelODF(dir, "m.HODF", 19, 45);
    struct Row {
        std::string input;
        std::vector<double> levels;
        double top;
        int count;
        double expected[10]; // levels[10 - count .. 9]
    } rows[] = {
        {pf, {3, 0.5, 1.5}, 0, 3, {0.5, 1.5, 3}},
        {odf, {2, 4}, 0, 2, {2, 4}},
        {pf, {}, 11, 5, {1, 3, 5, 7, 9}},
        {odf, {}, 6, 5, {1, 2, 3, 4, 5}},
    };
    for (const Row& row : rows) {
        figurerender::Options options;
        options.levels = row.levels;
        options.top = row.top;
        figurerender::Figure figure;
        std::string error;
        ASSERT_EQ(figurerender::BuildFigure(row.input, figurerender::Family::Auto, options, &figure,
                                            &error),
                  1)
            << error;
        for (auto* object : {figure.objects.front().get(), figure.objects.back().get()}) {
            double levels[10];
            int count = 0;
            double width = 0;
            object->GetContourInfo(levels, count, width);
            ASSERT_EQ(count, row.count) << row.input;
            for (int i = 0; i < count; ++i)
                EXPECT_NEAR(levels[10 - count + i], row.expected[i], 1e-9) << row.input << " " << i;
        }
    }
    const struct {
        std::vector<double> levels;
        double top;
    } refused[] = {
        {{1, 1}, 0}, {{1, NAN}, 0}, {std::vector<double>(11, 1.0), 0}, {{}, 0.5}, {{}, INFINITY}};
    for (const auto& r : refused) {
        figurerender::Options options;
        options.levels = r.levels;
        options.top = r.top;
        EXPECT_FALSE(figurerender::CheckLevelOptions(options).empty());
        figurerender::Figure figure;
        std::string error;
        EXPECT_EQ(
            figurerender::BuildFigure(pf, figurerender::Family::Auto, options, &figure, &error), 0);
        EXPECT_FALSE(error.empty());
    }
}

// SVG keeps its words as text elements (searchable, selectable), not as
// outlined glyphs.
TEST(FigureRender, SvgTextStaysText) {
    QTemporaryDir dir;
    const std::string odf = WriteModelODF(dir, "m.HODF", 19, 45);
    const std::string out = dir.filePath("odf.svg").toStdString();
    figurerender::Options options;
    options.dpi = 72;
    std::string error;
    ASSERT_EQ(figurerender::RenderFigureFile(odf, out, options, &error), 1) << error;
    QFile f(QString::fromStdString(out));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString svg = QString::fromUtf8(f.readAll());
    EXPECT_GT(svg.count("<text"), 20);
    for (const char* word : {" = 45</text>", ">90</text>", ">1.00</text>"})
        EXPECT_TRUE(svg.contains(QString::fromUtf8(word))) << word;
}

} // namespace
