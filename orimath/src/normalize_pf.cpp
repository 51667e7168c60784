// Normalisation of a pole figure grid to multiples of a random distribution.
#include <cmath>
#include <numbers>

#include "orimath/ranges.h"

int NormalizPF(double** grid, double res) {
    int nA = 0, nB = 0;
    Get_AB_Range_In_Full_PF_Space(&nA, &nB, res);
    if (!grid || nA < 2 || nB < 2)
        return 0;
    // Negative counts are background over-subtraction; non-finite cells are
    // unusable. Both count as not measured.
    for (int r = 0; r < nA; ++r)
        for (int c = 0; c < nB; ++c)
            if (!(grid[r][c] >= 0) || !std::isfinite(grid[r][c]))
                grid[r][c] = 0.0;

    auto rowHasData = [&](int r) {
        for (int c = 0; c < nB; ++c)
            if (grid[r][c] != 0)
                return true;
        return false;
    };
    int start = 0, end = 0;
    for (int r = 0; r <= nA - 2; ++r)
        if (rowHasData(r)) {
            start = r;
            break;
        }
    for (int r = nA - 1; r >= 2; --r)
        if (rowHasData(r)) {
            end = r + 1;
            break;
        }

    // Each row stands for the ring between its half-steps; the ring's solid
    // angle is proportional to cos(lo) - cos(hi).
    const double d2r = std::numbers::pi / 180.0;
    auto lo = [&](int r) { return std::fmax(0.0, r * res - res / 2) * d2r; };
    auto hi = [&](int r) { return std::fmin(90.0, (r + 0.5) * res) * d2r; };
    double S = 0;
    for (int r = start; r < end; ++r) {
        double rowSum = 0;
        for (int c = 0; c < nB - 1; ++c)
            rowSum += grid[r][c];
        S += (std::cos(lo(r)) - std::cos(hi(r))) * rowSum;
    }
    if (!(S > 0) || end <= start)
        return nA; // nothing measured: leave as is
    const double mean = S / ((std::cos(lo(start)) - std::cos(hi(end - 1))) * 360.0 / res);
    if (!(mean > 0) || !std::isfinite(mean))
        return nA;
    for (int r = 0; r < nA; ++r)
        for (int c = 0; c < nB; ++c)
            grid[r][c] /= mean;
    return nA;
}
