// BMP file layout, little-endian: "BM", file size, two reserved words, the
// offset of the pixel data, the 40-byte header, the colour table, the rows.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cstring>
#include <new>

#include "imageexport/dib_image.h"

namespace {

void Put16(std::vector<uint8_t>& b, uint16_t v) {
    b.push_back(static_cast<uint8_t>(v & 0xff));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<uint8_t>((v >> (8 * i)) & 0xff));
}
uint16_t Get16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t Get32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

} // namespace

std::size_t DibImage::WriteBmp(const std::string& path) const {
    if (IsEmpty())
        return 0;
    BitmapInfoHeader h = header_;
    if (h.biCompression != 1 && h.biCompression != 2)
        h.biSizeImage = RowBytes(h.biBitCount, h.biWidth) * static_cast<uint32_t>(h.biHeight);
    if (h.biSizeImage > pixels_.size())
        return 0;
    const uint32_t colours = static_cast<uint32_t>(ColourCount(h));
    if (colours * 4 > colours_.size())
        return 0;
    const uint32_t offset = 14 + 40 + 4 * colours;
    const uint32_t total = offset + h.biSizeImage;

    std::vector<uint8_t> out;
    out.reserve(total);
    Put16(out, 0x4D42);
    Put32(out, total);
    Put16(out, 0);
    Put16(out, 0);
    Put32(out, offset);
    Put32(out, h.biSize);
    Put32(out, static_cast<uint32_t>(h.biWidth));
    Put32(out, static_cast<uint32_t>(h.biHeight));
    Put16(out, h.biPlanes);
    Put16(out, h.biBitCount);
    Put32(out, h.biCompression);
    Put32(out, h.biSizeImage);
    Put32(out, static_cast<uint32_t>(h.biXPelsPerMeter));
    Put32(out, static_cast<uint32_t>(h.biYPelsPerMeter));
    Put32(out, h.biClrUsed);
    Put32(out, h.biClrImportant);
    out.insert(out.end(), colours_.begin(), colours_.begin() + 4 * colours);
    out.insert(out.end(), pixels_.begin(), pixels_.begin() + h.biSizeImage);

    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly))
        return 0;
    if (file.write(reinterpret_cast<const char*>(out.data()), static_cast<qint64>(out.size())) !=
        static_cast<qint64>(out.size()))
        return 0;
    if (!file.commit())
        return 0;
    return out.size();
}

std::size_t DibImage::ReadBmp(const std::string& path) {
    Clear();
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    uint8_t head[54];
    if (file.read(reinterpret_cast<char*>(head), 54) != 54)
        return 0;
    if (Get16(head) != 0x4D42)
        return 0;
    const uint32_t offset = Get32(head + 10);
    BitmapInfoHeader h{};
    h.biSize = Get32(head + 14);
    h.biWidth = static_cast<int32_t>(Get32(head + 18));
    h.biHeight = static_cast<int32_t>(Get32(head + 22));
    h.biPlanes = Get16(head + 26);
    h.biBitCount = Get16(head + 28);
    h.biCompression = Get32(head + 30);
    h.biSizeImage = Get32(head + 34);
    h.biXPelsPerMeter = static_cast<int32_t>(Get32(head + 38));
    h.biYPelsPerMeter = static_cast<int32_t>(Get32(head + 42));
    h.biClrUsed = Get32(head + 46);
    h.biClrImportant = Get32(head + 50);

    // Only what WriteBmp produces, with every size bounded before use.
    if (h.biSize != 40 || h.biPlanes != 1)
        return 0;
    if (h.biBitCount != 1 && h.biBitCount != 4 && h.biBitCount != 8 && h.biBitCount != 24)
        return 0;
    if (h.biWidth <= 0 || h.biHeight <= 0 || h.biWidth > kMaxBmpSide || h.biHeight > kMaxBmpSide)
        return 0;
    if (h.biCompression > 2)
        return 0;
    const uint32_t maxColours = h.biBitCount <= 8 ? (1u << h.biBitCount) : 256u;
    if (h.biClrUsed > maxColours)
        return 0;
    const uint32_t colours = static_cast<uint32_t>(ColourCount(h));
    const uint64_t computed = uint64_t(RowBytes(h.biBitCount, h.biWidth)) * uint64_t(h.biHeight);
    uint64_t imageSize = computed;
    if (h.biCompression == 1 || h.biCompression == 2)
        imageSize = h.biSizeImage;
    if (imageSize == 0 || imageSize > kMaxBmpPixelBytes)
        return 0;
    if (offset != 54 + 4 * colours)
        return 0;
    if (uint64_t(file.size()) < uint64_t(offset) + imageSize)
        return 0;

    try {
        colours_.resize(4 * static_cast<std::size_t>(colours));
        if (colours && file.read(reinterpret_cast<char*>(colours_.data()),
                                 static_cast<qint64>(colours_.size())) !=
                           static_cast<qint64>(colours_.size())) {
            Clear();
            return 0;
        }
        pixels_.resize(static_cast<std::size_t>(imageSize));
        if (file.read(reinterpret_cast<char*>(pixels_.data()), static_cast<qint64>(imageSize)) !=
            static_cast<qint64>(imageSize)) {
            Clear();
            return 0;
        }
    } catch (const std::bad_alloc&) {
        Clear();
        return 0;
    }
    h.biSizeImage = static_cast<uint32_t>(imageSize);
    header_ = h;
    // Run-length data is kept as read; the pixel accessors expect plain rows.
    RebuildPalette();
    return static_cast<std::size_t>(offset + imageSize);
}
