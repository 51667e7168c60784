#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/message_sink.h"
#include "plotkit/plotkit.h"

namespace {

class QtEnvironment : public testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "plotkit_dialog_tests";
        static char* argv[] = {name, nullptr};
        // Headless whatever the environment says.
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        if (!QApplication::instance()) app_ = std::make_unique<QApplication>(argc, argv);
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

template <class T>
T* Find(QWidget* dialog, const char* name) {
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
        EXPECT_EQ(pf.GetInfo().levels[9], 0.0);  // non-numeric text reads as 0
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

}  // namespace
