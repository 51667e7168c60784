#include "imageexport/dib_image.h"

#include <cstring>
#include <new>

namespace {

// The 16 colours of a 4-bit display, in the order such displays use.
const QList<QRgb>& SixteenColours() {
    static const QList<QRgb> table = {
        qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
        qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
        qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
        qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
    return table;
}

int DepthFor(int sourceBits) {
    if (sourceBits <= 1)
        return 1;
    if (sourceBits <= 4)
        return 4;
    if (sourceBits <= 8)
        return 8;
    return 24;
}

} // namespace

int DibImage::ColourCount(const BitmapInfoHeader& h) {
    if (h.biClrUsed != 0)
        return static_cast<int>(h.biClrUsed);
    switch (h.biBitCount) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

uint32_t DibImage::RowBytes(int bitCount, int width) {
    return static_cast<uint32_t>(((static_cast<uint64_t>(bitCount) * width + 31) / 32) * 4);
}

void DibImage::Clear() {
    header_ = {};
    colours_.clear();
    pixels_.clear();
    palette_.clear();
}

void DibImage::RebuildPalette() {
    palette_.clear();
    for (std::size_t i = 0; i + 4 <= colours_.size(); i += 4)
        palette_.push_back(qRgb(colours_[i + 2], colours_[i + 1], colours_[i]));
}

bool DibImage::Capture(const QImage& image, const QRect& rect, int dpi, int sourceBits) {
    Clear();
    QImage src = rect.isEmpty() ? image : image.copy(rect.intersected(image.rect()));
    if (src.isNull() || src.width() <= 0 || src.height() <= 0)
        return false;
    const int depth = DepthFor(sourceBits > 0 ? sourceBits : src.depth());
    const int w = src.width(), h = src.height();
    try {
        header_.biSize = 40;
        header_.biWidth = w;
        header_.biHeight = h;
        header_.biPlanes = 1;
        header_.biBitCount = static_cast<uint16_t>(depth);
        header_.biCompression = 0;
        // 72 dpi gives 2835 pixels per metre, as the original computes it.
        const int ppm = static_cast<int>(dpi * 11 * 3.579098067287043 + 0.5);
        header_.biXPelsPerMeter = ppm;
        header_.biYPelsPerMeter = ppm;
        const uint32_t row = RowBytes(depth, w);
        header_.biSizeImage = row * static_cast<uint32_t>(h);
        pixels_.assign(header_.biSizeImage, 0);

        if (depth == 24) {
            const QImage rgb = src.convertToFormat(QImage::Format_RGB32);
            for (int y = 0; y < h; ++y) {
                const QRgb* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
                uint8_t* out = pixels_.data() + static_cast<std::size_t>(h - 1 - y) * row;
                for (int x = 0; x < w; ++x) {
                    out[3 * x] = static_cast<uint8_t>(qBlue(line[x]));
                    out[3 * x + 1] = static_cast<uint8_t>(qGreen(line[x]));
                    out[3 * x + 2] = static_cast<uint8_t>(qRed(line[x]));
                }
            }
        } else {
            QList<QRgb> table;
            if (depth == 1)
                table = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
            else if (depth == 4)
                table = SixteenColours();
            QImage indexed;
            if (depth == 8 && src.format() == QImage::Format_Indexed8)
                indexed = src;
            else if (depth == 8)
                indexed = src.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
            else
                indexed = src.convertToFormat(QImage::Format_Indexed8, table, Qt::ThresholdDither);
            table = indexed.colorTable();
            const int entries = 1 << depth;
            table.resize(entries, qRgb(0, 0, 0));
            colours_.assign(static_cast<std::size_t>(entries) * 4, 0);
            for (int i = 0; i < entries; ++i) {
                colours_[4 * i] = static_cast<uint8_t>(qBlue(table[i]));
                colours_[4 * i + 1] = static_cast<uint8_t>(qGreen(table[i]));
                colours_[4 * i + 2] = static_cast<uint8_t>(qRed(table[i]));
            }
            for (int y = 0; y < h; ++y) {
                const uchar* line = indexed.constScanLine(y);
                uint8_t* out = pixels_.data() + static_cast<std::size_t>(h - 1 - y) * row;
                for (int x = 0; x < w; ++x) {
                    const int v = line[x] & (entries - 1);
                    if (depth == 8)
                        out[x] = static_cast<uint8_t>(v);
                    else if (depth == 4)
                        out[x / 2] |= static_cast<uint8_t>(x % 2 ? v : v << 4);
                    else if (v)
                        out[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
                }
            }
        }
    } catch (const std::bad_alloc&) {
        Clear();
        return false;
    }
    RebuildPalette();
    return true;
}

uint32_t DibImage::PixelRgb(int x, int y) const {
    if (IsEmpty() || x < 0 || y < 0 || x >= header_.biWidth || y >= header_.biHeight)
        return 0;
    const int bits = header_.biBitCount;
    if (header_.biCompression != 0 ||
        pixels_.size() < std::size_t(RowBytes(bits, header_.biWidth)) * header_.biHeight)
        return 0;
    const uint8_t* row = pixels_.data() + static_cast<std::size_t>(header_.biHeight - 1 - y) *
                                              RowBytes(bits, header_.biWidth);
    if (bits == 24)
        return (uint32_t(row[3 * x + 2]) << 16) | (uint32_t(row[3 * x + 1]) << 8) | row[3 * x];
    int index = 0;
    if (bits == 8)
        index = row[x];
    else if (bits == 4)
        index = (x % 2) ? (row[x / 2] & 0x0f) : (row[x / 2] >> 4);
    else if (bits == 1)
        index = (row[x / 8] >> (7 - x % 8)) & 1;
    if (index >= static_cast<int>(palette_.size()))
        return 0;
    return palette_[index] & 0xffffff;
}
