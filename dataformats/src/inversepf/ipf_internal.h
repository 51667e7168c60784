#pragma once
// Internal interface of the inverse pole figure layouts (codes 0 and 1).
#include "common/text_stream.h"
#include "dataformats/inversepf.h"

namespace dataformats::ipf {

bool IsCode0(TextStream& t);
bool IsCode1(TextStream& t);
// Header of layout `type` into info (fields the file does not give keep
// their values); notes on t where it fails.
bool ReadInfo(TextStream& t, int type, IPFFileInfo* info);
// The nA x nB values after the header.
bool ReadGrid(TextStream& t, int type, double** grid, int nA, int nB);

} // namespace dataformats::ipf
