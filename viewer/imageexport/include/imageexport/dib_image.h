#pragma once
// A device-independent bitmap as the image export writes it: a 40-byte
// BITMAPINFOHEADER, the colour table (blue, green, red, 0 per entry) and the
// pixel rows bottom-up, each padded to a multiple of 4 bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <QImage>
#include <QRect>

struct BitmapInfoHeader {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};
static_assert(sizeof(BitmapInfoHeader) == 40);
static_assert(offsetof(BitmapInfoHeader, biWidth) == 4);
static_assert(offsetof(BitmapInfoHeader, biHeight) == 8);
static_assert(offsetof(BitmapInfoHeader, biPlanes) == 12);
static_assert(offsetof(BitmapInfoHeader, biBitCount) == 14);
static_assert(offsetof(BitmapInfoHeader, biCompression) == 16);
static_assert(offsetof(BitmapInfoHeader, biSizeImage) == 20);
static_assert(offsetof(BitmapInfoHeader, biXPelsPerMeter) == 24);
static_assert(offsetof(BitmapInfoHeader, biYPelsPerMeter) == 28);
static_assert(offsetof(BitmapInfoHeader, biClrUsed) == 32);
static_assert(offsetof(BitmapInfoHeader, biClrImportant) == 36);

// Largest image ReadBmp accepts (pixels per side, and bytes of pixel data).
inline constexpr int32_t kMaxBmpSide = 32768;
inline constexpr uint64_t kMaxBmpPixelBytes = 512ull * 1024 * 1024;

class DibImage {
  public:
    // Takes the rectangle of a rendered image (the whole image for an empty
    // rectangle). sourceBits is the bit depth of the surface it came from
    // (0: the image's own): 1 stays 1, 2..4 become 4, 5..8 become 8, more
    // become 24. dpi sets the resolution fields (72 dpi: 2835 per metre).
    // False, with nothing kept, when the rectangle is empty or memory fails.
    bool Capture(const QImage& image, const QRect& rect, int dpi, int sourceBits = 0);
    bool Capture(const QImage& image, int dpi) { return Capture(image, QRect(), dpi); }

    // Writes the BMP file (replacing any file there only once it is
    // complete); the number of bytes written, 0 when empty or on failure.
    std::size_t WriteBmp(const std::string& path) const;
    // Reads a BMP file of this layout; the number of bytes consumed, or 0
    // (image left empty) on a wrong signature, a short file or sizes and
    // colour counts beyond what the header can mean.
    std::size_t ReadBmp(const std::string& path);

    void Clear();
    bool IsEmpty() const { return pixels_.empty(); }
    const BitmapInfoHeader& Header() const { return header_; }
    const std::vector<uint8_t>& ColourTable() const { return colours_; }
    const std::vector<uint8_t>& Pixels() const { return pixels_; }
    // The palette rebuilt from the colour table (empty for 24 bits).
    const QList<QRgb>& Palette() const { return palette_; }
    // Colour of a pixel (x from the left, y from the top) as 0xRRGGBB.
    uint32_t PixelRgb(int x, int y) const;

    static int ColourCount(const BitmapInfoHeader& h);
    static uint32_t RowBytes(int bitCount, int width);

  private:
    void RebuildPalette();
    BitmapInfoHeader header_{};
    std::vector<uint8_t> colours_;
    std::vector<uint8_t> pixels_;
    QList<QRgb> palette_;
};
