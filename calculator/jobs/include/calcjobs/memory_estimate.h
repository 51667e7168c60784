#pragma once
// Peak memory of the calculation jobs, estimated from their grid counts, and
// the refusal of a job that would not fit into the physical memory that is
// available. Fine grids are accepted down to the engine's 0.1 degrees; only
// what cannot fit is refused, before any work.
#include <cstdint>
#include <string>

namespace calcjobs {

// ODF job at res (degrees) from nPF pole figures: the ODF grid, the
// engine's pole figures, pole table and smoothing arrays, or the ODF and its
// text while the file is written, whichever is larger. The 5 degree path
// (classic engine) needs a few megabytes.
uint64_t ODFJobPeakBytes(int crystalType, double res, int sampleSym, int nPF);

// Pole figure (inverse = false) or inverse pole figure recalculation from an
// ODF at res: the ODF and the text of its file, the engine's tables and
// accumulators, and the figure with the text of its file.
uint64_t RecalculationJobPeakBytes(int crystalType, double res, int sampleSym, bool inverse);

// "" when the estimate fits into available bytes (or available is 0,
// unknown); otherwise "Not enough memory: the calculation needs about <n>,
// only <m> are available" with sizes in MB or GB.
std::string MemoryRefusal(uint64_t needed, uint64_t available);

// MemoryRefusal against the physical memory available now.
std::string CheckAvailableMemory(uint64_t needed);

} // namespace calcjobs
