#pragma once
// Internal interface of the GBCD text layout.
#include <cstddef>

#include "common/text_stream.h"
#include "dataformats/gbcd.h"

namespace dataformats::gbcd {

// Header lines 5 and 6 hold the first two angle rows "0 x" and "1 y".
bool IsGBCD(TextStream& t);
// Lines 1 to 4 into info (fields the header does not give keep their values).
bool ReadHeader(TextStream& t, GBCDFileInfo* info, std::size_t lineBuffer);
// Header, angle table and (when the header says it is calculated) CSL table;
// info, angle and csl change only when everything read.
bool ReadDistributions(TextStream& t, GBCDFileInfo* info, double angle[kGBCDAngleCount],
                       double csl[kCSLClassCount]);

} // namespace dataformats::gbcd
