#pragma once
// Which cells of a measured pole figure take part in a calculation: the
// cells its file layout says were measured, and, on request, not the runs
// of exact zeros that instruments write where they did not measure.
#include <cstdint>
#include <string>

#include "orimath/grid.h"

namespace calcjobs {

enum class UnmeasuredRule {
    // Only what the file's layout knows (its tilt range, the rings and
    // azimuths it holds).
    kNone,
    // Also, in every ring that holds a non-zero value, each run of at least
    // kZeroRunLength exact zeros (cyclic in beta) is taken as not measured.
    // Off by default: a zero can be a real measured value.
    kZeroRuns,
};

// A shorter run of zeros is more likely a real low intensity than a gap in
// the measurement.
inline constexpr int kZeroRunLength = 3;

// "none" and "zero-runs"; false for any other text.
bool ParseUnmeasuredRule(const std::string& text, UnmeasuredRule* rule);

// Marks the zero runs of `values` as unmeasured in `measured` (same extent;
// the closing column beta = 360 follows column 0).
void MarkZeroRuns(const orimath::Grid2<double>& values, orimath::Grid2<uint8_t>* measured);

struct MeasuredPoleFigure {
    orimath::Grid2<double> values;
    // Empty when every cell counts as measured.
    orimath::Grid2<uint8_t> measured;
    // Number of measured cells (closing column included).
    long long MeasuredCount() const;
};

// Reads the pole figure file (any layout) with its measured cells under the
// rule; false when the file does not read as a pole figure.
bool ReadMeasuredPoleFigure(const std::string& path, UnmeasuredRule rule, MeasuredPoleFigure* out);

} // namespace calcjobs
