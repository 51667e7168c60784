#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QSlider>
#include <QTimer>
#include <cmath>
#include <functional>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>

#include "platform/message_sink.h"
#include "plotkit/plotkit.h"
#include "plotkit_dialogs/plotkit_dialogs.h"

namespace {

class QtEnvironment : public testing::Environment {
  public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "plotkit_dialog_tests";
        static char* argv[] = {name, nullptr};
        // Headless whatever the environment says.
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        if (!QApplication::instance())
            app_ = std::make_unique<QApplication>(argc, argv);
        // As a GUI program does at start-up: OnFormat opens these dialogs.
        plotkit::InstallFormatDialogs();
    }
    void TearDown() override { app_.reset(); }

  private:
    std::unique_ptr<QApplication> app_;
};
const auto* const kEnv = testing::AddGlobalTestEnvironment(new QtEnvironment);

// Runs `interact` on the modal dialog once it is shown.
void WhenShown(std::function<void(QWidget*)> interact) {
    QTimer::singleShot(0, [interact] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        interact(dialog);
    });
}

template <class T> T* Find(QWidget* dialog, const char* name) {
    T* w = dialog->findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
}

TEST(FormatDialogs, PoleFigurePreviewChangesTheRecordAndCancelRestoresIt) {
    CPFStructure pf("steel(111).pf");
    int previews = 0;
    plotkit::SetPreviewHandler([&] { ++previews; });
    double previewed = 0;
    WhenShown([&](QWidget* d) {
        EXPECT_EQ(d->windowTitle(), "Pole Figure Format");
        Find<QSlider>(d, "radiusSlider")->setValue(10);
        Find<QLineEdit>(d, "level9Edit")->setText("abc");
        Find<QAbstractButton>(d, "previewButton")->click();
        previewed = pf.GetInfo().radius;
        EXPECT_EQ(pf.GetInfo().levels[9], 0.0); // non-numeric text reads as 0
        Find<QAbstractButton>(d, "cancelButton")->click();
    });
    EXPECT_EQ(pf.OnFormat(), 0);
    EXPECT_EQ(previewed, 20.0);
    EXPECT_EQ(previews, 1);
    EXPECT_EQ(pf.GetInfo().radius, 40.0);

    WhenShown([&](QWidget* d) {
        Find<QSlider>(d, "contourWidthSlider")->setValue(7);
        Find<QComboBox>(d, "fontSizeCombo")->setCurrentText("20");
        Find<QLineEdit>(d, "indexTextEdit")->setText("{200}");
        Find<QAbstractButton>(d, "okButton")->click();
    });
    EXPECT_EQ(pf.OnFormat(), 1);
    EXPECT_NEAR(pf.GetInfo().contourWidth, 0.7, 1e-12);
    EXPECT_EQ(pf.GetInfo().fontSize, 20);
    EXPECT_STREQ(pf.GetInfo().indexText, "{200}");
    plotkit::SetPreviewHandler(nullptr);
}

TEST(FormatDialogs, OdfSectionsCannotAllBeRemovedAndRangesStayOrdered) {
    const double lattice[6] = {1, 1, 1, 90, 90, 90};
    CODFStructure odf(0, lattice);
    std::vector<std::string> messages;
    platform::ScopedMessageHandler sink([&](const std::string& t) { messages.push_back(t); });
    WhenShown([&](QWidget* d) {
        auto* existing = Find<QListWidget>(d, "existingList");
        existing->selectAll();
        Find<QAbstractButton>(d, "removeSectionButton")->click();
        EXPECT_EQ(existing->count(), 10);
        existing->clearSelection();
        existing->item(0)->setSelected(true);
        Find<QAbstractButton>(d, "removeSectionButton")->click();
        EXPECT_EQ(existing->count(), 9);
        Find<QComboBox>(d, "hFromCombo")->setCurrentIndex(30);
        Find<QComboBox>(d, "hToCombo")->setCurrentIndex(4);
        Find<QAbstractButton>(d, "okButton")->click();
    });
    EXPECT_EQ(odf.OnFormat(), 1);
    EXPECT_EQ(messages, std::vector<std::string>{"Can not remove all sections"});
    const ODFInfo info = odf.GetInfo();
    EXPECT_EQ(info.sectionShown[0], 0);
    EXPECT_EQ(info.sectionShown[2], 1);
    EXPECT_GT(info.hTo, info.hFrom);
}

TEST(FormatDialogs, LegendCancelKeepsTheLevels) {
    const double levels[10] = {0, 0, 0, 0, 0, 1, 2, 3, 4, 5};
    CLegendMap legend(1, 2, levels, 0.5);
    WhenShown([&](QWidget* d) {
        Find<QLineEdit>(d, "level5Edit")->setText("9.5");
        Find<QComboBox>(d, "styleChoice")->setCurrentIndex(3);
        Find<QAbstractButton>(d, "previewButton")->click();
        EXPECT_EQ(legend.GetInfo().levels[5], 9.5);
        EXPECT_EQ(legend.GetInfo().style, 3);
        Find<QAbstractButton>(d, "cancelButton")->click();
    });
    EXPECT_EQ(legend.OnFormat(), 0);
    EXPECT_EQ(legend.GetInfo().levels[5], 1.0);
    EXPECT_EQ(legend.GetInfo().style, 0);
}

TEST(FormatDialogs, VolumeFractionModesAndTextExport) {
    using Odf = double[73][37][73];
    std::unique_ptr<Odf> odf(reinterpret_cast<Odf*>(new double[73 * 37 * 73]));
    for (int k = 0; k < 73; ++k)
        for (int i = 0; i < 37; ++i)
            for (int j = 0; j < 73; ++j)
                (*odf)[k][i][j] = i <= 18 ? 2.0 : 0.5;
    plotkit::VolumeFractionDialog v(*odf);
    // Rows 0..18 hold 2: their volume share is (1 - cos 92.5 deg) / 2, the
    // last row reaching half a step past 90 degrees.
    const double w = 1.0 - std::cos(92.5 * std::numbers::pi / 180.0);
    // Whole space, no threshold: the mean of the ODF.
    EXPECT_NEAR(v.Calculate(), 2.0 * w / 2 + 0.5 * (2.0 - w) / 2, 1e-8);
    // Intensity above 1 over the whole space: only the rows holding 2.
    v.findChild<QComboBox*>("modeCombo")->setCurrentIndex(1);
    v.findChild<QLineEdit*>("thresholdEdit")->setText("1");
    EXPECT_NEAR(v.Calculate(), w, 1e-8);
    EXPECT_TRUE(
        v.findChild<QLabel*>("resultLabel")
            ->text()
            .startsWith(
                "The volume fraction of the orientations within the selected range is: 1.0436"));

    const double lattice[6] = {1, 1, 1, 90, 90, 90};
    ODFInfo info;
    plotkit::DefaultODFInfo(info, 0, lattice);
    plotkit::SaveODFTextDialog t(*odf, info);
    QTemporaryDir dir;
    const std::string good = dir.filePath("odf.TXT").toStdString();
    EXPECT_EQ(t.Save(good), 1);
    EXPECT_TRUE(QFile::exists(QString::fromStdString(good)));
    std::vector<std::string> messages;
    platform::ScopedMessageHandler sink([&](const std::string& m) { messages.push_back(m); });
    EXPECT_EQ(t.Save(dir.filePath("no/such/dir/odf.TXT").toStdString()), 0);
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back(), "Can not save text ODF file");
}

TEST(FormatDialogs, DeletingALineAsksFirstAndCancelBringsItBack) {
    CScanLine chart;
    double v[3][73];
    const char* names[3] = {"rd", "td", "nd"};
    for (int k = 0; k < 3; ++k) {
        for (int j = 0; j < 73; ++j)
            v[k][j] = k + 1.0;
        ASSERT_EQ(chart.AddData(v[k], 90, 1, names[k]), 1);
    }
    // Deletes the line shown at `index`, answering the confirmation with `answer`.
    auto deleteLine = [](QWidget* d, int index, QMessageBox::StandardButton answer,
                         QString* asked) {
        Find<QComboBox>(d, "lineSelector")->setCurrentIndex(index);
        QTimer::singleShot(0, [answer, asked] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            *asked = box->text();
            box->button(answer)->click();
        });
        Find<QAbstractButton>(d, "deleteLineButton")->click();
    };

    QString asked;
    int shownAfterNo = 0, shownAfterYes = 0;
    WhenShown([&](QWidget* d) {
        deleteLine(d, 1, QMessageBox::No, &asked);
        shownAfterNo = Find<QComboBox>(d, "lineSelector")->count();
        deleteLine(d, 1, QMessageBox::Yes, &asked);
        shownAfterYes = Find<QComboBox>(d, "lineSelector")->count();
        Find<QAbstractButton>(d, "cancelButton")->click();
    });
    EXPECT_EQ(chart.OnFormat(), 0);
    EXPECT_EQ(asked, "Delete line 2");
    EXPECT_EQ(shownAfterNo, 3);
    EXPECT_EQ(shownAfterYes, 2);
    double got[10][73];
    int count = 0;
    chart.GetData(got, count);
    ASSERT_EQ(count, 3);
    EXPECT_STREQ(chart.GetInfo().names[1], "td");
    EXPECT_EQ(got[1][0], 2.0);

    WhenShown([&](QWidget* d) {
        deleteLine(d, 0, QMessageBox::Yes, &asked);
        Find<QAbstractButton>(d, "okButton")->click();
    });
    EXPECT_EQ(chart.OnFormat(), 1);
    chart.GetData(got, count);
    ASSERT_EQ(count, 2);
    EXPECT_STREQ(chart.GetInfo().names[0], "td");
    EXPECT_STREQ(chart.GetInfo().names[1], "nd");
    EXPECT_EQ(got[0][0], 2.0);
    EXPECT_EQ(got[1][72], 3.0);
    EXPECT_EQ(chart.GetInfo().maximum, 3.0);
}

} // namespace
