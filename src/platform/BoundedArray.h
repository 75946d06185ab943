#pragma once

#include "platform/ProgrammingError.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <string>
#include <vector>

namespace tresol {

// An array with explicit lower and upper bounds per dimension (rows 1…n, indices 0…3) and
// checked access: an index outside the bounds is a programming error, never a stray read.
// A default-constructed array has no bounds yet; asking it for them is a programming error too.
// Elements are stored row-major, so growing the first dimension of a two-dimensional array (adding
// points to a point array) keeps the amortised growth of std::vector.
template <class T, std::size_t N> class BoundedArray {
    static_assert(N == 1 || N == 2, "one or two dimensions");

  public:
    using Index = std::int32_t;

    BoundedArray() = default;

    BoundedArray(Index lo, Index hi) requires(N == 1) { redim({lo}, {hi}, false); }
    BoundedArray(Index lo1, Index hi1, Index lo2, Index hi2) requires(N == 2) {
        redim({lo1, lo2}, {hi1, hi2}, false);
    }

    // New bounds; every element takes its default value.
    void redim(Index lo, Index hi) requires(N == 1) { redim({lo}, {hi}, false); }
    void redim(Index lo1, Index hi1, Index lo2, Index hi2) requires(N == 2) {
        redim({lo1, lo2}, {hi1, hi2}, false);
    }
    // New bounds keeping the elements whose indices stay inside them.
    void redimPreserve(Index lo, Index hi) requires(N == 1) { redim({lo}, {hi}, true); }
    void redimPreserve(Index lo1, Index hi1, Index lo2, Index hi2) requires(N == 2) {
        redim({lo1, lo2}, {hi1, hi2}, true);
    }

    void clear() {
        data_.clear();
        allocated_ = false;
        lo_ = {};
        hi_ = {};
    }

    bool allocated() const { return allocated_; }
    // True when there is no element (no bounds yet, or an empty range).
    bool empty() const { return data_.empty(); }
    std::size_t size() const { return data_.size(); }

    // Bounds of dimension `dim` (1-based, as the bounds are asked for in the library).
    Index lower(std::size_t dim = 1) const { return lo_[checkDim(dim)]; }
    Index upper(std::size_t dim = 1) const { return hi_[checkDim(dim)]; }
    Index count(std::size_t dim = 1) const {
        const std::size_t d = checkDim(dim);
        return hi_[d] - lo_[d] + 1;
    }

    T& operator()(Index i) requires(N == 1) { return data_[offset({i})]; }
    const T& operator()(Index i) const requires(N == 1) { return data_[offset({i})]; }
    T& operator()(Index i, Index j) requires(N == 2) { return data_[offset({i, j})]; }
    const T& operator()(Index i, Index j) const requires(N == 2) { return data_[offset({i, j})]; }

    bool contains(Index i) const requires(N == 1) {
        return allocated_ && i >= lo_[0] && i <= hi_[0];
    }
    bool contains(Index i, Index j) const requires(N == 2) {
        return allocated_ && i >= lo_[0] && i <= hi_[0] && j >= lo_[1] && j <= hi_[1];
    }

    // Raw storage, row-major, for loops that have checked their bounds once.
    T* data() { return data_.data(); }
    const T* data() const { return data_.data(); }

    friend bool operator==(const BoundedArray& a, const BoundedArray& b) {
        return a.allocated_ == b.allocated_ && a.lo_ == b.lo_ && a.hi_ == b.hi_ &&
               a.data_ == b.data_;
    }

  private:
    using Bounds = std::array<Index, N>;

    std::size_t checkDim(std::size_t dim) const {
        if (!allocated_)
            throw ProgrammingError("array without bounds");
        if (dim < 1 || dim > N)
            throw ProgrammingError("array dimension out of range");
        return dim - 1;
    }

    static std::size_t extent(Index lo, Index hi) {
        const std::int64_t n = std::int64_t{hi} - std::int64_t{lo} + 1;
        if (n < 0)
            throw ProgrammingError("array upper bound below lower bound");
        return static_cast<std::size_t>(n);
    }

    void redim(const Bounds& lo, const Bounds& hi, bool preserve) {
        std::size_t total = 1;
        Bounds ext{};
        for (std::size_t d = 0; d < N; ++d) {
            const std::size_t e = extent(lo[d], hi[d]);
            if (e != 0 && total > std::numeric_limits<std::int32_t>::max() / e)
                throw ProgrammingError("array too large");
            total *= e;
            ext[d] = static_cast<Index>(e);
        }
        std::vector<T> fresh;
        if (preserve && allocated_) {
            // Only the last rows change (or the only dimension grows at its top): the
            // row-major storage keeps every kept element in place.
            bool inPlace = lo[0] == lo_[0];
            if constexpr (N == 2)
                inPlace = inPlace && lo[1] == lo_[1] && hi[1] == hi_[1];
            if (inPlace) {
                data_.resize(total);
                lo_ = lo;
                hi_ = hi;
                return;
            }
            fresh.resize(total);
            copyOverlap(fresh, lo, hi, ext);
        } else {
            fresh.resize(total);
        }
        data_ = std::move(fresh);
        lo_ = lo;
        hi_ = hi;
        allocated_ = true;
    }

    void copyOverlap(std::vector<T>& fresh, const Bounds& lo, const Bounds& hi,
                     const Bounds& ext) const {
        if constexpr (N == 1) {
            for (Index i = std::max(lo[0], lo_[0]); i <= std::min(hi[0], hi_[0]); ++i)
                fresh[static_cast<std::size_t>(i - lo[0])] = data_[offset({i})];
        } else {
            for (Index i = std::max(lo[0], lo_[0]); i <= std::min(hi[0], hi_[0]); ++i)
                for (Index j = std::max(lo[1], lo_[1]); j <= std::min(hi[1], hi_[1]); ++j)
                    fresh[static_cast<std::size_t>(i - lo[0]) * static_cast<std::size_t>(ext[1]) +
                          static_cast<std::size_t>(j - lo[1])] = data_[offset({i, j})];
        }
    }

    // Small enough to be inlined into every element access; the failures are out of line.
    std::size_t offset(const Bounds& idx) const {
        if (!allocated_) [[unlikely]]
            noBounds();
        std::size_t off = 0;
        for (std::size_t d = 0; d < N; ++d) {
            if (idx[d] < lo_[d] || idx[d] > hi_[d]) [[unlikely]]
                outside(idx[d], lo_[d], hi_[d]);
            off = off * static_cast<std::size_t>(hi_[d] - lo_[d] + 1) +
                  static_cast<std::size_t>(idx[d] - lo_[d]);
        }
        return off;
    }

    [[noreturn, gnu::cold, gnu::noinline]] static void noBounds() {
        throw ProgrammingError("array without bounds");
    }
    [[noreturn, gnu::cold, gnu::noinline]] static void outside(Index i, Index lo, Index hi) {
        throw ProgrammingError("array index " + std::to_string(i) + " outside " +
                               std::to_string(lo) + "…" + std::to_string(hi));
    }

    std::vector<T> data_;
    Bounds lo_{};
    Bounds hi_{};
    bool allocated_ = false;
};

template <class T> using Array1 = BoundedArray<T, 1>;
template <class T> using Array2 = BoundedArray<T, 2>;

// Points of a polyline or contour: rows 1…n, columns 1…2 (for sections column 1 is Y and
// column 2 is Z).
using PointArray = Array2<float>;

inline PointArray makePointArray(std::int32_t rows) {
    return PointArray(1, rows, 1, 2);
}

// A point array from its rows, e.g. makePointArray({{0, 0}, {1, 0}, {0, 1}, {0, 0}}).
inline PointArray makePointArray(std::initializer_list<std::array<float, 2>> rows) {
    PointArray p = makePointArray(static_cast<std::int32_t>(rows.size()));
    std::int32_t i = 0;
    for (const auto& r : rows) {
        ++i;
        p(i, 1) = r[0];
        p(i, 2) = r[1];
    }
    return p;
}

} // namespace tresol
