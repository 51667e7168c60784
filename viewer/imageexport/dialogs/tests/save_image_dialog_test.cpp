#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "imageexport_dialogs/save_image_dialog.h"
#include "platform/message_sink.h"

namespace {

class QtEnvironment : public testing::Environment {
  public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "imageexport_dialog_tests";
        static char* argv[] = {name, nullptr};
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        if (!QApplication::instance())
            app_ = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

  private:
    std::unique_ptr<QApplication> app_;
};
const auto* const kEnv = testing::AddGlobalTestEnvironment(new QtEnvironment);

QImage Picture() {
    QImage img(32, 24, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

// Answers the save dialog once it is shown: with a file name, or Cancel
// for an empty one.
void AnswerWith(const QString& path) {
    QTimer::singleShot(0, [path] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->objectName(), "saveImageDialog");
        if (path.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->selectFile(path);
        // accept() is public on QDialog; QFileDialog checks the name first.
        static_cast<QDialog*>(dialog)->accept();
    });
}

TEST(SaveImageFileDialog, CancelWritesNothing) {
    QTemporaryDir dir;
    int renders = 0;
    AnswerWith({});
    EXPECT_EQ(SaveImageFileDialog(nullptr, [&] { return ++renders, Picture(); }), 0);
    EXPECT_EQ(renders, 0);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST(SaveImageFileDialog, ANameWithoutExtensionBecomesAJpeg) {
    QTemporaryDir dir;
    AnswerWith(dir.filePath("figure"));
    EXPECT_EQ(SaveImageFileDialog(nullptr, Picture), 1);
    QImageReader reader(dir.filePath("figure.JPG"));
    EXPECT_EQ(reader.format(), QByteArray("jpeg"));
}

TEST(SaveImageFileDialog, AFailedSaveIsReportedAndGivesZero) {
    QTemporaryDir dir;
    std::vector<std::string> messages;
    platform::ScopedMessageHandler sink([&](const std::string& text) { messages.push_back(text); });
    AnswerWith(dir.filePath("blank.bmp"));
    EXPECT_EQ(SaveImageFileDialog(nullptr, [] { return QImage(); }), 0);
    EXPECT_EQ(messages, std::vector<std::string>{"Cannot capture the picture"});
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

} // namespace
