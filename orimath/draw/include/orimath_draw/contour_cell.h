#pragma once
// The iso-line rules of one grid cell, shared by the contour map routine and
// the 5 degree display objects so that every contour in the suite is drawn
// with the same segments.
//
// Cell corners: p00 = v[i][j], p10 = v[i+1][j], p01 = v[i][j+1],
// p11 = v[i+1][j+1]. Edges in test order, each from its first to its second
// corner: E1 p00->p10, E2 p10->p11, E3 p00->p01, E4 p01->p11. An edge from p
// to q is crossed when (q >= L and p < L) or (q <= L and p > L), at
// t = (L - p) / (q - p) along it; equal ends are never crossed.
namespace orimath {

struct GridPos {
    double row; // fractional first index
    double col; // fractional second index
};

namespace contour_detail {
inline bool Crossed(double p, double q, double level, double& t) {
    if ((q >= level && p < level) || (q <= level && p > level)) {
        t = (level - p) / (q - p);
        return true;
    }
    return false;
}
} // namespace contour_detail

// Calls emit(GridPos a, GridPos b) for every segment of the cell (i, j) at
// the level. Pairing of two crossings is unambiguous; with four crossings
// (a saddle) the four segments E1-E2, E1-E3, E2-E4, E3-E4 are drawn, and
// corners lying exactly on the level are joined to the crossings beside them.
template <class Emit>
void ContourCellSegments(double p00, double p10, double p01, double p11, double level, int i, int j,
                         Emit&& emit) {
    using contour_detail::Crossed;
    double t1 = 0, t2 = 0, t3 = 0, t4 = 0;
    const bool e1 = Crossed(p00, p10, level, t1);
    const bool e2 = Crossed(p10, p11, level, t2);
    const bool e3 = Crossed(p00, p01, level, t3);
    const bool e4 = Crossed(p01, p11, level, t4);
    const GridPos a1{i + t1, static_cast<double>(j)};
    const GridPos a2{i + 1.0, j + t2};
    const GridPos a3{static_cast<double>(i), j + t3};
    const GridPos a4{i + t4, j + 1.0};

    if (!e1) {
        if (e3 && e4 && !e2)
            emit(a3, a4);
        if (e2 && e4 && !e3)
            emit(a2, a4);
        if (e2 && e3 && !e4)
            emit(a2, a3);
    } else {
        if (e4 && !e2 && !e3)
            emit(a1, a4);
        if (e3 && !e2 && !e4)
            emit(a1, a3);
        if (e2 && !e3 && !e4)
            emit(a1, a2);
        if (e2 && e3 && e4) {
            emit(a1, a2);
            emit(a1, a3);
            emit(a2, a4);
            emit(a3, a4);
        }
    }

    const GridPos c00{static_cast<double>(i), static_cast<double>(j)};
    const GridPos c10{i + 1.0, static_cast<double>(j)};
    const GridPos c01{static_cast<double>(i), j + 1.0};
    const GridPos c11{i + 1.0, j + 1.0};
    if (e1) {
        if (p01 == level)
            emit(a1, c01);
        if (p11 == level)
            emit(a1, c11);
    }
    if (e2) {
        if (p00 == level)
            emit(a2, c00);
        if (p01 == level)
            emit(a2, c01);
    }
    if (e3 && p10 == level)
        emit(a3, c10);
    if (e4 && p10 == level)
        emit(a4, c10);
}

} // namespace orimath
