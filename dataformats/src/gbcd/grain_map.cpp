// Binary grain map of the microstructure generator ("GbMap Version 1"):
// little-endian items in a fixed order, see SaveGBMap.
#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "common/text_writer.h"
#include "dataformats/gbcd.h"
#include "orimath/arrays.h"
#include "orimath/grid.h"
#include "platform/message_sink.h"

static_assert(std::endian::native == std::endian::little,
              "grain map files are little-endian; a big-endian build needs byte swapping");

using namespace dataformats;

namespace {

constexpr char kMagic[16] = "GbMap Version 1"; // 15 characters and one zero byte
constexpr std::size_t kMaxFileBytes = std::size_t(1) << 30;
constexpr int32_t kMaxMapSide = 1 << 16; // map width and height in units

// Reads the items of a file held in memory; every read is bounded by what
// is left, so a count from the file never sizes an allocation larger than
// the data that could fill it.
class Reader {
  public:
    explicit Reader(std::vector<char> data) : data_(std::move(data)) {}
    bool Bytes(void* out, std::size_t n) {
        if (n > Left())
            return false;
        if (n == 0) // an empty grid has no block to copy into
            return true;
        std::memcpy(out, data_.data() + pos_, n);
        pos_ += n;
        return true;
    }
    template <typename T> bool Value(T* v) { return Bytes(v, sizeof(T)); }
    std::size_t Left() const { return data_.size() - pos_; }

  private:
    std::vector<char> data_;
    std::size_t pos_ = 0;
};

bool ReadWhole(const char* path, std::vector<char>* out) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path, "rb"), &std::fclose);
    if (!f)
        return false;
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f.get())) > 0) {
        if (out->size() + n > kMaxFileBytes)
            return false;
        out->insert(out->end(), buf, buf + n);
    }
    return std::ferror(f.get()) == 0;
}

} // namespace

int SaveGBMap(const char* fileName, int32_t W, int32_t H, int32_t third, double d1, double d2,
              double d3, double d4, int16_t** map, int32_t G, int16_t** grains, int32_t B,
              const int32_t* boundaryValues, const std::vector<std::string>& labels,
              int16_t** boundaryPairs) {
    if (fileName == nullptr || W < 0 || H < 0 || G < 0 || B < 0)
        return 0;
    if ((W > 0 && H > 0 && map == nullptr) || (G > 0 && grains == nullptr) ||
        (B > 0 && (boundaryValues == nullptr || boundaryPairs == nullptr ||
                   labels.size() < static_cast<std::size_t>(B))))
        return 0;
    std::string out;
    auto put = [&out](const void* p, std::size_t n) { out.append(static_cast<const char*>(p), n); };
    put(kMagic, sizeof kMagic);
    put(&W, 4);
    put(&H, 4);
    put(&third, 4);
    const double d[4] = {d1, d2, d3, d4};
    put(d, sizeof d);
    for (int32_t x = 0; x < W; ++x)
        put(map[x], static_cast<std::size_t>(H) * 2);
    put(&G, 4);
    for (int32_t g = 0; g < G; ++g)
        put(grains[g], 6);
    put(&B, 4);
    put(boundaryValues, static_cast<std::size_t>(B) * 4);
    // Each label as four bytes: its first four characters, zero-padded.
    const int32_t labelLength = 4;
    for (int32_t b = 0; b < B; ++b) {
        char text[4] = {0, 0, 0, 0};
        std::memcpy(text, labels[b].data(), std::min<std::size_t>(labels[b].size(), 4));
        put(&labelLength, 4);
        put(text, 4);
    }
    for (int32_t b = 0; b < B; ++b)
        put(boundaryPairs[b], 4);
    return WriteFileAtomically(fileName, out, WriteMessage::kErrorInWriting);
}

int OpenGBMap(const char* fileName, int32_t* W, int32_t* H, int32_t* third, double* d1, double* d2,
              double* d3, double* d4, int16_t*** map, int32_t* G, int16_t*** grains, int32_t* B,
              int32_t** boundaryValues, std::vector<std::string>* labels,
              int16_t*** boundaryPairs) {
    if (fileName == nullptr || !W || !H || !third || !d1 || !d2 || !d3 || !d4 || !map || !G ||
        !grains || !B || !boundaryValues || !labels || !boundaryPairs)
        return 0;
    std::vector<char> bytes;
    if (!ReadWhole(fileName, &bytes))
        return 0;
    Reader in(std::move(bytes));
    char magic[16];
    if (!in.Bytes(magic, 16) || std::memcmp(magic, kMagic, 16) != 0)
        return 0;

    int32_t w = 0, h = 0, t = 0, g = 0, b = 0;
    double d[4];
    orimath::Grid2<int16_t> m, gr, pairs;
    std::vector<int32_t> values;
    std::vector<std::string> names;
    auto fail = [&]() {
        platform::ShowMessage("Error in writing");
        return 0;
    };
    // A grid of the counts (empty when one is 0), or nothing without memory.
    auto make = [](int32_t rows, int32_t cols, orimath::Grid2<int16_t>* grid) {
        auto made = orimath::TryGrid<int16_t>(orimath::Extent2{.alpha = rows, .beta = cols});
        if (made)
            *grid = std::move(*made);
        return made.has_value();
    };
    if (!in.Value(&w) || !in.Value(&h) || !in.Value(&t) || !in.Bytes(d, sizeof d))
        return fail();
    // The counts are bounded by the bytes that could fill them (and the map
    // sides by kMaxMapSide) before anything is allocated.
    if (w < 0 || h < 0 || w > kMaxMapSide || h > kMaxMapSide ||
        static_cast<unsigned long long>(w) * h * 2 > in.Left())
        return fail();
    if (!make(w, h, &m) || !in.Bytes(m.data(), m.size() * 2))
        return fail();
    if (!in.Value(&g) || g < 0 || static_cast<unsigned long long>(g) * 6 > in.Left())
        return fail();
    if (!make(g, 3, &gr) || !in.Bytes(gr.data(), gr.size() * 2))
        return fail();
    // Every boundary takes at least 4 (value) + 4 (label length) + 4 (pair) bytes.
    if (!in.Value(&b) || b < 0 || static_cast<unsigned long long>(b) * 12 > in.Left())
        return fail();
    try {
        values.resize(static_cast<std::size_t>(b));
        names.reserve(static_cast<std::size_t>(b));
    } catch (const std::bad_alloc&) {
        return fail();
    }
    if (!in.Bytes(values.data(), values.size() * 4))
        return fail();
    for (int32_t i = 0; i < b; ++i) {
        int32_t len;
        if (!in.Value(&len) || len < 0 || static_cast<std::size_t>(len) > in.Left())
            return fail();
        std::string text(static_cast<std::size_t>(len), '\0');
        in.Bytes(text.data(), text.size());
        text.resize(std::strlen(text.c_str()));
        names.push_back(std::move(text));
    }
    if (!make(b, 2, &pairs) || !in.Bytes(pairs.data(), pairs.size() * 2))
        return fail();

    // The caller frees the trees with FreeMem2S and the values with delete[].
    int16_t** mapTree = orimath::NewTree(m, {.alpha = w, .beta = h});
    int16_t** grainTree = orimath::NewTree(gr, {.alpha = g, .beta = 3});
    int16_t** pairTree = orimath::NewTree(pairs, {.alpha = b, .beta = 2});
    std::unique_ptr<int32_t[]> valueArray(new (std::nothrow) int32_t[b > 0 ? b : 1]);
    if (!mapTree || !grainTree || !pairTree || !valueArray) {
        FreeMem2S(mapTree, w, h);
        FreeMem2S(grainTree, g, 3);
        FreeMem2S(pairTree, b, 2);
        return fail();
    }
    std::copy(values.begin(), values.end(), valueArray.get());
    *W = w;
    *H = h;
    *third = t;
    *d1 = d[0];
    *d2 = d[1];
    *d3 = d[2];
    *d4 = d[3];
    *map = mapTree;
    *G = g;
    *grains = grainTree;
    *B = b;
    *boundaryValues = valueArray.release();
    *labels = std::move(names);
    *boundaryPairs = pairTree;
    return 1;
}
