#pragma once
// Owning grids: contiguous storage with named extents and a row-pointer view.
//
// The exported calls of the libraries take pointer trees (T** / T***, index
// order [alpha][beta] for pole figures and [phi2][Phi][phi1] for ODFs). A
// grid keeps its values in one block and builds the pointer tables over it,
// so Tree() can be passed to those calls without copying. Extents are named
// (Extent2{.alpha, .beta}, Extent3{.phi1, .Phi, .phi2}) so that no call site
// has to remember which order a constructor takes.
//
// Copies are deep (the pointer tables are rebuilt to point into the copy);
// moves keep the storage, so the views stay valid in the moved-to grid.
// Trees from exported readers are taken over with AdoptTree; TryGrid is for
// callers that report a failed allocation instead of throwing.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <new>
#include <optional>
#include <vector>

#include "orimath/arrays.h"

namespace orimath {

// Counts of a pole figure grid: alpha (tilt) rows by beta (azimuth) columns.
struct Extent2 {
    int alpha = 0;
    int beta = 0;
    friend bool operator==(const Extent2&, const Extent2&) = default;
};

// Counts of an ODF grid along phi1, Phi and phi2. Storage order is
// [phi2][Phi][phi1], as in every pointer-tree ODF.
struct Extent3 {
    int phi1 = 0;
    int Phi = 0;
    int phi2 = 0;
    friend bool operator==(const Extent3&, const Extent3&) = default;
};

namespace detail {
// The number of cells of the given counts. Throws std::bad_array_new_length
// (a std::bad_alloc) when the block could not be addressed, as for counts
// from a corrupt header: the product never wraps round into a short block
// that the views would overrun, and TryGrid sees one kind of failure.
template <class T, std::size_t N> std::size_t CellCount(const std::array<int, N>& counts) {
    const std::size_t limit = std::numeric_limits<std::ptrdiff_t>::max() / sizeof(T);
    std::size_t cells = 1;
    for (int c : counts) {
        if (cells > limit / std::size_t(c))
            throw std::bad_array_new_length();
        cells *= std::size_t(c);
    }
    return cells;
}

// What Grid2 and Grid3 share: the values in one block, the counts in
// storage order (outermost first), a table of row pointers into the block
// and, with three axes, a table of pointers into the row table. Copies
// rebuild the tables so that they point into the copy; moves keep the
// blocks (a moved vector keeps its buffer), so the tables stay valid.
template <class T, std::size_t N> class GridStorage {
    static_assert(N == 2 || N == 3);

  public:
    bool empty() const { return values_.empty(); }
    std::size_t size() const { return values_.size(); }
    T* data() { return values_.data(); }
    const T* data() const { return values_.data(); }
    std::vector<T>& values() { return values_; }
    const std::vector<T>& values() const { return values_; }
    void Fill(T v) { values_.assign(values_.size(), v); }

  protected:
    GridStorage() = default;
    // Any non-positive count gives an empty grid with zero counts.
    GridStorage(const std::array<int, N>& counts, T fill) {
        for (int c : counts)
            if (c <= 0)
                return;
        counts_ = counts;
        values_.assign(CellCount<T>(counts_), fill);
        BuildViews();
    }
    GridStorage(const GridStorage& o) : counts_(o.counts_), values_(o.values_) { BuildViews(); }
    GridStorage& operator=(const GridStorage& o) {
        if (this != &o) {
            counts_ = o.counts_;
            values_ = o.values_;
            BuildViews();
        }
        return *this;
    }
    GridStorage(GridStorage&&) noexcept = default;
    GridStorage& operator=(GridStorage&&) noexcept = default;
    ~GridStorage() = default;

    std::array<int, N> counts_{};
    std::vector<T> values_;
    std::vector<T*> rows_;
    std::vector<T**> tables_; // three axes only

  private:
    void BuildViews() {
        const std::size_t length = std::size_t(counts_[N - 1]);
        std::size_t rows = 1;
        for (std::size_t k = 0; k + 1 < N; ++k)
            rows *= std::size_t(counts_[k]);
        rows_.resize(rows);
        for (std::size_t r = 0; r < rows; ++r)
            rows_[r] = values_.data() + r * length;
        if constexpr (N == 3) {
            const std::size_t perTable = std::size_t(counts_[1]);
            tables_.resize(std::size_t(counts_[0]));
            for (std::size_t l = 0; l < tables_.size(); ++l)
                tables_[l] = rows_.data() + l * perTable;
        }
    }
};
} // namespace detail

template <class T> class Grid2 : public detail::GridStorage<T, 2> {
  public:
    Grid2() = default;
    explicit Grid2(Extent2 e, T fill = T{}) : detail::GridStorage<T, 2>({e.alpha, e.beta}, fill) {}

    Extent2 extent() const { return {this->counts_[0], this->counts_[1]}; }
    int alphaCount() const { return this->counts_[0]; }
    int betaCount() const { return this->counts_[1]; }

    T* operator[](int alpha) { return this->rows_[std::size_t(alpha)]; }
    const T* operator[](int alpha) const { return this->rows_[std::size_t(alpha)]; }

    // The row-pointer view for exported calls (null for an empty grid).
    T** Tree() { return this->rows_.empty() ? nullptr : this->rows_.data(); }
    T* const* Tree() const { return this->rows_.empty() ? nullptr : this->rows_.data(); }
};

template <class T> class Grid3 : public detail::GridStorage<T, 3> {
  public:
    Grid3() = default;
    explicit Grid3(Extent3 e, T fill = T{})
        : detail::GridStorage<T, 3>({e.phi2, e.Phi, e.phi1}, fill) {}

    Extent3 extent() const { return {this->counts_[2], this->counts_[1], this->counts_[0]}; }
    int phi1Count() const { return this->counts_[2]; }
    int PhiCount() const { return this->counts_[1]; }
    int phi2Count() const { return this->counts_[0]; }

    // grid[phi2][Phi][phi1], as with a pointer tree.
    T** operator[](int phi2) { return this->tables_[std::size_t(phi2)]; }
    T* const* operator[](int phi2) const { return this->tables_[std::size_t(phi2)]; }

    // The pointer-tree view for exported calls (null for an empty grid).
    T*** Tree() { return this->tables_.empty() ? nullptr : this->tables_.data(); }
    T** const* Tree() const { return this->tables_.empty() ? nullptr : this->tables_.data(); }
};

// Copies a pointer tree into a grid of the given extent (an empty grid for a
// null tree, whatever the counts a failed reader left behind).
template <class T> Grid2<T> CopyTree(const T* const* tree, Extent2 e) {
    if (!tree)
        return Grid2<T>();
    Grid2<T> g(e);
    for (int i = 0; i < g.alphaCount(); ++i)
        for (int j = 0; j < g.betaCount(); ++j)
            g[i][j] = tree[i][j];
    return g;
}
template <class T> Grid3<T> CopyTree(const T* const* const* tree, Extent3 e) {
    if (!tree)
        return Grid3<T>();
    Grid3<T> g(e);
    for (int l = 0; l < g.phi2Count(); ++l)
        for (int i = 0; i < g.PhiCount(); ++i)
            for (int t = 0; t < g.phi1Count(); ++t)
                g[l][i][t] = tree[l][i][t];
    return g;
}

namespace detail {
// Runs f when the scope ends, also when a copy throws std::bad_alloc.
template <class F> struct AtScopeEnd {
    F f;
    ~AtScopeEnd() { f(); }
};
// Spelled out for compilers without deduction for aggregates (clang 14).
template <class F> AtScopeEnd(F) -> AtScopeEnd<F>;
} // namespace detail

// Takes over a pointer tree that an exported reader allocated (AllocMem2D /
// AllocMem2S / AllocMem3D): copies it into a grid and frees the tree (also
// when the copy can not be allocated). Call the reader first and adopt in a
// second statement: the reader writes the counts that make the extent.
inline Grid2<double> AdoptTree(double** tree, Extent2 e) {
    const detail::AtScopeEnd release{[&] { FreeMem2D(tree, e.alpha, e.beta); }};
    return CopyTree<double>(tree, e);
}
inline Grid2<int16_t> AdoptTree(int16_t** tree, Extent2 e) {
    const detail::AtScopeEnd release{[&] { FreeMem2S(tree, e.alpha, e.beta); }};
    return CopyTree<int16_t>(tree, e);
}
inline Grid3<double> AdoptTree(double*** tree, Extent3 e) {
    const detail::AtScopeEnd release{[&] { FreeMem3D(tree, e.phi2, e.Phi, e.phi1); }};
    return CopyTree<double>(tree, e);
}

namespace detail {
// Copies the rows of g into a tree of at least its extent; the tree as given.
template <class T> T** CopyRows(const Grid2<T>& g, T** t) {
    if (t)
        for (int i = 0; i < g.alphaCount(); ++i)
            std::copy(g[i], g[i] + g.betaCount(), t[i]);
    return t;
}
} // namespace detail

// A pointer tree (AllocMem2D / AllocMem3D) holding a copy of the grid, for
// exported calls whose caller frees the result with FreeMem2D / FreeMem3D.
// Null when the allocation fails or the grid is empty.
inline double** NewTree(const Grid2<double>& g) {
    if (g.empty())
        return nullptr;
    return detail::CopyRows(g, AllocMem2D(g.alphaCount(), g.betaCount()));
}
inline double*** NewTree(const Grid3<double>& g) {
    if (g.empty())
        return nullptr;
    double*** t = AllocMem3D(g.phi2Count(), g.PhiCount(), g.phi1Count());
    if (!t)
        return nullptr;
    for (int l = 0; l < g.phi2Count(); ++l)
        for (int i = 0; i < g.PhiCount(); ++i)
            std::copy(g[l][i], g[l][i] + g.phi1Count(), t[l][i]);
    return t;
}

// A pointer tree (AllocMem2S) of extent e holding a copy of the grid, for
// exported calls whose caller frees it with FreeMem2S(tree, e.alpha, e.beta).
// The grid has extent e, or is empty when a count of e is 0: the tree is
// then made all the same, as AllocMem2S makes it (a row table of e.alpha
// freeable rows), because such callers take a zero count for a valid map.
// Null when the allocation fails or the grid does not have extent e.
inline int16_t** NewTree(const Grid2<int16_t>& g, Extent2 e) {
    const bool fits = g.empty() ? (e.alpha <= 0 || e.beta <= 0) : g.extent() == e;
    return fits ? detail::CopyRows(g, AllocMem2S(e.alpha, e.beta)) : nullptr;
}

// A grid of the extent, or nothing when its memory can not be had: for
// callers that report a failed allocation, as they did for a null tree from
// AllocMem, instead of letting std::bad_alloc escape. A non-positive extent
// gives an (empty) grid, not nothing.
template <class T> std::optional<Grid2<T>> TryGrid(Extent2 e) noexcept {
    try {
        return std::optional<Grid2<T>>(std::in_place, e);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}
template <class T> std::optional<Grid3<T>> TryGrid(Extent3 e) noexcept {
    try {
        return std::optional<Grid3<T>>(std::in_place, e);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

} // namespace orimath
