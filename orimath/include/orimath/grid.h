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
#include <cstddef>
#include <cstdint>
#include <initializer_list>
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
template <class T> std::size_t CellCount(std::initializer_list<std::size_t> counts) {
    const std::size_t limit = std::numeric_limits<std::ptrdiff_t>::max() / sizeof(T);
    std::size_t cells = 1;
    for (std::size_t c : counts) {
        if (c != 0 && cells > limit / c)
            throw std::bad_array_new_length();
        cells *= c;
    }
    return cells;
}
} // namespace detail

template <class T> class Grid2 {
  public:
    Grid2() = default;
    explicit Grid2(Extent2 e, T fill = T{}) : extent_(Checked(e)) {
        values_.assign(
            detail::CellCount<T>({std::size_t(extent_.alpha), std::size_t(extent_.beta)}), fill);
        BuildRows();
    }
    Grid2(const Grid2& o) : extent_(o.extent_), values_(o.values_) { BuildRows(); }
    Grid2& operator=(const Grid2& o) {
        if (this != &o) {
            extent_ = o.extent_;
            values_ = o.values_;
            BuildRows();
        }
        return *this;
    }
    Grid2(Grid2&&) noexcept = default;
    Grid2& operator=(Grid2&&) noexcept = default;

    Extent2 extent() const { return extent_; }
    int alphaCount() const { return extent_.alpha; }
    int betaCount() const { return extent_.beta; }
    bool empty() const { return values_.empty(); }
    std::size_t size() const { return values_.size(); }

    T* operator[](int alpha) { return rows_[std::size_t(alpha)]; }
    const T* operator[](int alpha) const { return rows_[std::size_t(alpha)]; }

    // The row-pointer view for exported calls (null for an empty grid).
    T** Tree() { return rows_.empty() ? nullptr : rows_.data(); }
    T* const* Tree() const { return rows_.empty() ? nullptr : rows_.data(); }

    T* data() { return values_.data(); }
    const T* data() const { return values_.data(); }
    std::vector<T>& values() { return values_; }
    const std::vector<T>& values() const { return values_; }
    void Fill(T v) { values_.assign(values_.size(), v); }

  private:
    static Extent2 Checked(Extent2 e) {
        if (e.alpha <= 0 || e.beta <= 0)
            return {};
        return e;
    }
    void BuildRows() {
        rows_.resize(std::size_t(extent_.alpha));
        for (int i = 0; i < extent_.alpha; ++i)
            rows_[std::size_t(i)] = values_.data() + std::size_t(i) * std::size_t(extent_.beta);
    }

    Extent2 extent_;
    std::vector<T> values_;
    std::vector<T*> rows_;
};

template <class T> class Grid3 {
  public:
    Grid3() = default;
    explicit Grid3(Extent3 e, T fill = T{}) : extent_(Checked(e)) {
        values_.assign(detail::CellCount<T>({std::size_t(extent_.phi2), std::size_t(extent_.Phi),
                                             std::size_t(extent_.phi1)}),
                       fill);
        BuildTables();
    }
    Grid3(const Grid3& o) : extent_(o.extent_), values_(o.values_) { BuildTables(); }
    Grid3& operator=(const Grid3& o) {
        if (this != &o) {
            extent_ = o.extent_;
            values_ = o.values_;
            BuildTables();
        }
        return *this;
    }
    Grid3(Grid3&&) noexcept = default;
    Grid3& operator=(Grid3&&) noexcept = default;

    Extent3 extent() const { return extent_; }
    int phi1Count() const { return extent_.phi1; }
    int PhiCount() const { return extent_.Phi; }
    int phi2Count() const { return extent_.phi2; }
    bool empty() const { return values_.empty(); }
    std::size_t size() const { return values_.size(); }

    // grid[phi2][Phi][phi1], as with a pointer tree.
    T** operator[](int phi2) { return tables_[std::size_t(phi2)]; }
    T* const* operator[](int phi2) const { return tables_[std::size_t(phi2)]; }

    // The pointer-tree view for exported calls (null for an empty grid).
    T*** Tree() { return tables_.empty() ? nullptr : tables_.data(); }
    T** const* Tree() const { return tables_.empty() ? nullptr : tables_.data(); }

    T* data() { return values_.data(); }
    const T* data() const { return values_.data(); }
    std::vector<T>& values() { return values_; }
    const std::vector<T>& values() const { return values_; }
    void Fill(T v) { values_.assign(values_.size(), v); }

  private:
    static Extent3 Checked(Extent3 e) {
        if (e.phi1 <= 0 || e.Phi <= 0 || e.phi2 <= 0)
            return {};
        return e;
    }
    void BuildTables() {
        const std::size_t n2 = std::size_t(extent_.phi2), n = std::size_t(extent_.Phi),
                          n1 = std::size_t(extent_.phi1);
        rows_.resize(n2 * n);
        tables_.resize(n2);
        for (std::size_t l = 0; l < n2; ++l) {
            for (std::size_t i = 0; i < n; ++i)
                rows_[l * n + i] = values_.data() + (l * n + i) * n1;
            tables_[l] = rows_.data() + l * n;
        }
    }

    Extent3 extent_;
    std::vector<T> values_;
    std::vector<T*> rows_;
    std::vector<T**> tables_;
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

// Takes over a pointer tree that an exported reader allocated (AllocMem2D /
// AllocMem2S / AllocMem3D): copies it into a grid and frees the tree.
// Call the reader first and adopt in a second statement: the reader writes
// the counts that make the extent.
inline Grid2<double> AdoptTree(double** tree, Extent2 e) {
    Grid2<double> g = CopyTree<double>(tree, e);
    FreeMem2D(tree, e.alpha, e.beta);
    return g;
}
inline Grid2<int16_t> AdoptTree(int16_t** tree, Extent2 e) {
    Grid2<int16_t> g = CopyTree<int16_t>(tree, e);
    FreeMem2S(tree, e.alpha, e.beta);
    return g;
}
inline Grid3<double> AdoptTree(double*** tree, Extent3 e) {
    Grid3<double> g = CopyTree<double>(tree, e);
    FreeMem3D(tree, e.phi2, e.Phi, e.phi1);
    return g;
}

// A pointer tree (AllocMem2D / AllocMem3D) holding a copy of the grid, for
// exported calls whose caller frees the result with FreeMem2D / FreeMem3D.
// Null when the allocation fails or the grid is empty.
inline double** NewTree(const Grid2<double>& g) {
    if (g.empty())
        return nullptr;
    double** t = AllocMem2D(g.alphaCount(), g.betaCount());
    if (!t)
        return nullptr;
    for (int i = 0; i < g.alphaCount(); ++i)
        for (int j = 0; j < g.betaCount(); ++j)
            t[i][j] = g[i][j];
    return t;
}
inline double*** NewTree(const Grid3<double>& g) {
    if (g.empty())
        return nullptr;
    double*** t = AllocMem3D(g.phi2Count(), g.PhiCount(), g.phi1Count());
    if (!t)
        return nullptr;
    for (int l = 0; l < g.phi2Count(); ++l)
        for (int i = 0; i < g.PhiCount(); ++i)
            for (int t1 = 0; t1 < g.phi1Count(); ++t1)
                t[l][i][t1] = g[l][i][t1];
    return t;
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
