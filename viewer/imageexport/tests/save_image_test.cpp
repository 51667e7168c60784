#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>

#include "imageexport/image_export.h"

namespace {

QImage Picture() {
    QImage img(64, 48, QImage::Format_RGB32);
    img.fill(Qt::white);
    for (int x = 0; x < 64; ++x)
        img.setPixel(x, 20, qRgb(200, 0, 0));
    return img;
}

QStringList Files(const QTemporaryDir& dir) {
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

TEST(SaveImageFile, JpegLeavesNoBmpAndKeepsTheUsersFiles) {
    QTemporaryDir dir;
    // The user's own picture.bmp must survive an export to picture.jpg.
    {
        QFile f(dir.filePath("picture.bmp"));
        f.open(QIODevice::WriteOnly);
        f.write("mine");
    }
    ASSERT_EQ(SaveImageFile(dir.filePath("picture.jpg").toStdString(), Picture), 1);
    EXPECT_EQ(Files(dir), (QStringList{"picture.bmp", "picture.jpg"}));
    QFile mine(dir.filePath("picture.bmp"));
    mine.open(QIODevice::ReadOnly);
    EXPECT_EQ(mine.readAll(), QByteArray("mine"));
    QImageReader reader(dir.filePath("picture.jpg"));
    EXPECT_EQ(reader.format(), QByteArray("jpeg"));
    const QImage back = reader.read();
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.size(), QSize(64, 48));
    EXPECT_GT(qRed(back.pixel(10, 20)), 150);
    EXPECT_LT(qGreen(back.pixel(10, 20)), 80);
}

TEST(SaveImageFile, ExtensionChoosesTheFormat) {
    struct {
        const char* name;
        const char* format;
    } cases[] = {{"a.bmp", "bmp"}, {"b.JPG", "jpeg"}, {"c.jpeg", "jpeg"}, {"d.BMP", "bmp"}};
    QTemporaryDir dir;
    for (const auto& c : cases) {
        ASSERT_EQ(SaveImageFile(dir.filePath(c.name).toStdString(), Picture), 1) << c.name;
        QImageReader reader(dir.filePath(c.name));
        EXPECT_EQ(reader.format(), QByteArray(c.format)) << c.name;
    }
    EXPECT_EQ(Files(dir).size(), 4);
}

TEST(SaveImageFile, FailuresReportAndLeaveNothing) {
    QTemporaryDir dir;
    std::string error;
    const std::string target = dir.filePath("missing/sub/p.jpg").toStdString();
    EXPECT_EQ(SaveImageFile(target, Picture, 72, &error), 0);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(SaveImageFile(
                  dir.filePath("empty.jpg").toStdString(), [] { return QImage(); }, 72, &error),
              0);
    EXPECT_TRUE(Files(dir).isEmpty());
    EXPECT_EQ(JPGCompression(dir.filePath("nothing.bmp").toUtf8().constData(),
                             dir.filePath("x.jpg").toUtf8().constData()),
              0);
    EXPECT_TRUE(Files(dir).isEmpty());
}

} // namespace
