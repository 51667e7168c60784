#pragma once
// RP error of a recalculated pole figure against the measured one it should
// reproduce: the mean relative deviation |P - Q| / P in percent over the
// cells where the measured value P exceeds 0.9.
//
// Both figures are first normalised to multiples of a random distribution
// over the rings that were measured (the rings of the measured figure that
// hold any non-zero value), so raw counts can be compared with a
// recalculated figure and an incomplete measurement is compared only where
// it was measured.
#include <cstdint>

namespace calcjobs {

// measured and recalculated: [nA][nB] grids of the same resolution; they
// are not changed. Returns a negative value when nothing was measured.
double RecalculationRpError(double** measured, double** recalculated, int nA, int nB);

// The same over the cells the measurement covered only (cells[i][j] != 0;
// null: every cell, as above): both figures are normalised to a
// ring-weighted mean of 1 over those cells, and the deviation is taken
// where the normalised measured value exceeds 0.9 among them.
double RecalculationRpError(double** measured, double** recalculated, const uint8_t* const* cells,
                            int nA, int nB);

} // namespace calcjobs
