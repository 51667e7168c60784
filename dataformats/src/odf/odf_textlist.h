#pragma once
// ODFs exported as text lists by other tools: rows of (phi1, Phi, phi2,
// value). The entry of the layout registry, with the reader it runs.
#include "dataformats/file_error.h"
#include "dataformats/odf.h"
#include "orimath/grid.h"

namespace dataformats {

struct FileLayoutHooks;
class TextStream;

namespace odf {

// The description and, when wanted, the grid of a list.
struct TextListOdf {
    RawHODFInfo info{};
    orimath::Grid3<double> grid;
};

// Content test: optional comment and header lines, then rows of four numbers
// with angles in range, and either a header naming the Euler columns or rows
// that step through a regular grid.
bool IsTextList(TextStream& text);

// Reads the list; without withGrid only the description (crystal system,
// resolution and sample symmetry from the rows) is made.
Expected<TextListOdf> ReadTextList(TextStream& text, bool withGrid);

// The functions of the registry entry ("odflist").
const FileLayoutHooks* TextListHooks();

} // namespace odf
} // namespace dataformats
