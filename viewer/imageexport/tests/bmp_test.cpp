#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <cstdint>
#include <vector>

#include "imageexport/dib_image.h"

namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}
uint32_t U32(const QByteArray& b, int at) {
    return uint8_t(b[at]) | (uint8_t(b[at + 1]) << 8) | (uint8_t(b[at + 2]) << 16) |
           (uint32_t(uint8_t(b[at + 3])) << 24);
}
uint16_t U16(const QByteArray& b, int at) {
    return uint8_t(b[at]) | (uint8_t(b[at + 1]) << 8);
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
}

TEST(Bmp, TrueColourLayoutIsByteExact) {
    QImage img(3, 2, QImage::Format_RGB32);
    img.setPixel(0, 0, qRgb(1, 2, 3));
    img.setPixel(1, 0, qRgb(4, 5, 6));
    img.setPixel(2, 0, qRgb(7, 8, 9));
    img.setPixel(0, 1, qRgb(10, 11, 12));
    img.setPixel(1, 1, qRgb(13, 14, 15));
    img.setPixel(2, 1, qRgb(16, 17, 18));
    DibImage dib;
    ASSERT_TRUE(dib.Capture(img, 72));
    QTemporaryDir dir;
    const QString path = dir.filePath("a.bmp");
    ASSERT_EQ(dib.WriteBmp(path.toStdString()), 78u);
    const QByteArray b = ReadAll(path);
    ASSERT_EQ(b.size(), 78);
    EXPECT_EQ(U16(b, 0), 0x4D42);
    EXPECT_EQ(U32(b, 2), 78u); // 14 + 40 + 2 rows of 12 bytes
    EXPECT_EQ(U16(b, 6), 0);
    EXPECT_EQ(U16(b, 8), 0);
    EXPECT_EQ(U32(b, 10), 54u); // no colour table
    EXPECT_EQ(U32(b, 14), 40u);
    EXPECT_EQ(U32(b, 18), 3u);
    EXPECT_EQ(U32(b, 22), 2u);
    EXPECT_EQ(U16(b, 26), 1);
    EXPECT_EQ(U16(b, 28), 24);
    EXPECT_EQ(U32(b, 30), 0u);
    EXPECT_EQ(U32(b, 34), 24u);
    EXPECT_EQ(U32(b, 38), 2835u); // 72 dpi
    EXPECT_EQ(U32(b, 42), 2835u);
    EXPECT_EQ(U32(b, 46), 0u);
    EXPECT_EQ(U32(b, 50), 0u);
    // Bottom row first, blue-green-red, padded to 12 bytes.
    const uint8_t rows[24] = {12, 11, 10, 15, 14, 13, 18, 17, 16, 0, 0, 0,
                              3,  2,  1,  6,  5,  4,  9,  8,  7,  0, 0, 0};
    for (int i = 0; i < 24; ++i)
        EXPECT_EQ(uint8_t(b[54 + i]), rows[i]) << i;

    DibImage back;
    EXPECT_EQ(back.ReadBmp(path.toStdString()), 78u);
    EXPECT_EQ(back.PixelRgb(2, 1), 0x101112u);
    EXPECT_EQ(back.Pixels(), dib.Pixels());
}

TEST(Bmp, DepthRuleAndColourTables) {
    QImage img(5, 3, QImage::Format_RGB32);
    img.fill(qRgb(255, 0, 0));
    img.setPixel(4, 2, qRgb(0, 0, 255));
    struct {
        int sourceBits, depth, colours;
    } cases[] = {{1, 1, 2},   {2, 4, 16},  {4, 4, 16}, {5, 8, 256},
                 {8, 8, 256}, {16, 24, 0}, {32, 24, 0}};
    QTemporaryDir dir;
    for (const auto& c : cases) {
        DibImage dib;
        ASSERT_TRUE(dib.Capture(img, QRect(), 96, c.sourceBits)) << c.sourceBits;
        EXPECT_EQ(dib.Header().biBitCount, c.depth) << c.sourceBits;
        EXPECT_EQ(DibImage::ColourCount(dib.Header()), c.colours) << c.sourceBits;
        EXPECT_EQ(dib.Header().biXPelsPerMeter, 3780);
        const QString path = dir.filePath(QString("d%1.bmp").arg(c.sourceBits));
        const std::size_t n = dib.WriteBmp(path.toStdString());
        const QByteArray b = ReadAll(path);
        EXPECT_EQ(n, std::size_t(b.size()));
        EXPECT_EQ(U32(b, 10), 54u + 4u * c.colours);
        // Any reader of the format sees the same picture.
        QImage decoded(path);
        ASSERT_FALSE(decoded.isNull()) << c.sourceBits;
        if (c.depth >= 4) {
            EXPECT_EQ(decoded.pixelColor(0, 0), QColor(255, 0, 0)) << c.sourceBits;
            EXPECT_EQ(decoded.pixelColor(4, 2), QColor(0, 0, 255)) << c.sourceBits;
        }
    }
}

TEST(Bmp, ReadBmpBoundsTheHeader) {
    QImage img(4, 4, QImage::Format_RGB32);
    img.fill(Qt::white);
    DibImage dib;
    ASSERT_TRUE(dib.Capture(img, 72));
    QTemporaryDir dir;
    const QString good = dir.filePath("good.bmp");
    ASSERT_GT(dib.WriteBmp(good.toStdString()), 0u);
    const QByteArray base = ReadAll(good);

    auto patched = [&](int at, uint32_t value, int width) {
        QByteArray b = base;
        for (int i = 0; i < width; ++i)
            b[at + i] = char((value >> (8 * i)) & 0xff);
        return b;
    };
    struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"signature", patched(0, 0x4D43, 2)},
        {"short file", base.left(base.size() - 1)},
        {"header only", base.left(30)},
        {"huge width", patched(18, 100000, 4)},
        {"negative height", patched(22, uint32_t(-4), 4)},
        {"zero width", patched(18, 0, 4)},
        {"colour count", patched(46, 100000, 4)},
        {"bit count", patched(28, 7, 2)},
        {"pixel offset", patched(10, 5000, 4)},
        {"compression", patched(30, 9, 4)},
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath("bad.bmp");
        WriteBytes(path, c.bytes);
        DibImage back;
        EXPECT_EQ(back.ReadBmp(path.toStdString()), 0u) << c.name;
        EXPECT_TRUE(back.IsEmpty()) << c.name;
    }
    DibImage missing;
    EXPECT_EQ(missing.ReadBmp(dir.filePath("none.bmp").toStdString()), 0u);
    DibImage empty;
    EXPECT_EQ(empty.WriteBmp(dir.filePath("e.bmp").toStdString()), 0u);
    EXPECT_FALSE(QFile::exists(dir.filePath("e.bmp")));
}

} // namespace
