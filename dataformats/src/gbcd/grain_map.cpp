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
    int16_t** m = nullptr;
    int16_t** gr = nullptr;
    int16_t** pairs = nullptr;
    std::unique_ptr<int32_t[]> values;
    std::vector<std::string> names;
    auto fail = [&]() {
        FreeMem2S(m, w, h);
        FreeMem2S(gr, g, 3);
        FreeMem2S(pairs, b, 2);
        platform::ShowMessage("Error in writing");
        return 0;
    };
    if (!in.Value(&w) || !in.Value(&h) || !in.Value(&t) || !in.Bytes(d, sizeof d))
        return fail();
    // Every run of the map is its own allocation: the run count is bounded
    // as well as the bytes (an empty run takes none).
    if (w < 0 || h < 0 || w > kMaxMapSide || h > kMaxMapSide ||
        static_cast<unsigned long long>(w) * h * 2 > in.Left()) {
        w = h = 0;
        return fail();
    }
    m = AllocMem2S(w, h);
    if (m == nullptr)
        return fail();
    for (int32_t x = 0; x < w; ++x)
        if (!in.Bytes(m[x], static_cast<std::size_t>(h) * 2))
            return fail();
    if (!in.Value(&g) || g < 0 || static_cast<unsigned long long>(g) * 6 > in.Left()) {
        g = 0;
        return fail();
    }
    gr = AllocMem2S(g, 3);
    if (gr == nullptr)
        return fail();
    for (int32_t i = 0; i < g; ++i)
        if (!in.Bytes(gr[i], 6))
            return fail();
    // Every boundary takes at least 4 (value) + 4 (label length) + 4 (pair) bytes.
    if (!in.Value(&b) || b < 0 || static_cast<unsigned long long>(b) * 12 > in.Left()) {
        b = 0;
        return fail();
    }
    values.reset(new (std::nothrow) int32_t[b > 0 ? b : 1]);
    if (!values) {
        b = 0;
        return fail();
    }
    if (!in.Bytes(values.get(), static_cast<std::size_t>(b) * 4)) {
        b = 0;
        return fail();
    }
    names.reserve(b);
    for (int32_t i = 0; i < b; ++i) {
        int32_t len;
        if (!in.Value(&len) || len < 0 || static_cast<std::size_t>(len) > in.Left()) {
            b = 0;
            return fail();
        }
        std::string text(static_cast<std::size_t>(len), '\0');
        in.Bytes(text.data(), text.size());
        text.resize(std::strlen(text.c_str()));
        names.push_back(std::move(text));
    }
    pairs = AllocMem2S(b, 2);
    if (pairs == nullptr) {
        b = 0;
        return fail();
    }
    for (int32_t i = 0; i < b; ++i)
        if (!in.Bytes(pairs[i], 4))
            return fail();

    *W = w;
    *H = h;
    *third = t;
    *d1 = d[0];
    *d2 = d[1];
    *d3 = d[2];
    *d4 = d[3];
    *map = m;
    *G = g;
    *grains = gr;
    *B = b;
    *boundaryValues = values.release();
    *labels = std::move(names);
    *boundaryPairs = pairs;
    return 1;
}
