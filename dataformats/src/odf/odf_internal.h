#pragma once
// Internal interface of the ODF layouts.
#include <cstddef>
#include <functional>
#include <vector>

#include "common/text_stream.h"
#include "common/text_writer.h"
#include "dataformats/odf.h"
#include "orimath/grid.h"

namespace dataformats::odf {

// Grid counts read from a file are accepted only when each lies in 1..3601
// (0.1 degree over 360) and their product is at most kMaxValues and could be
// held by a text of textBytes (each value takes at least two characters).
inline constexpr long long kMaxValues = 32LL * 1024 * 1024;
bool CountsFit(int n1, int n, int n2, std::size_t textBytes);
// CountsFit for the text of t; notes the failure on t.
bool CountsFitText(TextStream& t, int n1, int n, int n2);
// Makes *grid a zero grid of the counts when they fit the text of t and the
// memory can be had; otherwise notes why on t and returns false.
bool NewGridFor(TextStream& t, int n1, int n, int n2, orimath::Grid3<double>* grid);

inline constexpr int kFull1 = 73, kFull = 37, kFull2 = 73;
inline constexpr std::size_t kFullValues = 73u * 37u * 73u;

// Resolutions read from text headers: 0.1 to 90 degrees.
bool IsUsableOdfResolution(double res);

// Writes the grid of every section: a section line, then nPhi lines of nPhi1
// values "%.<precision>f" each followed by a tab.
void PutSections(TextBuffer& out, double*** grid, int n1, int n, int n2, int precision,
                 const std::function<void(TextBuffer&, int)>& sectionLine);

// Notes on the stream that section k (0-based) stopped after `found` of its
// `expected` values (-1: at its section line) and returns false.
bool SectionFailed(TextStream& t, int k, int found, int expected);

// Copies a file name into the record's 260-byte path field (always terminated).
void SetPath(RawHODFInfo* info, const char* fileName);
// Terminates every fixed text field of a record read from a file.
void TerminateTexts(RawHODFInfo* info);

// TODF / SEDF binary.
bool ReadTODFHeader(const char* path, RawHODFInfo* header);
// error (optional) receives what failed and at which byte.
bool ReadTODF(const char* path, RawHODFInfo* info, std::vector<double>* full,
              FileError* error = nullptr);
bool IsTODF(const char* path);

// HODF text, first and second generation: header into info and counts.
bool ParseHODF1Header(TextStream& text, RawHODFInfo* info, int* n1, int* n, int* n2);
// The data readers fill *grid (made here) and note on the stream where they stopped.
bool ReadHODF1Data(TextStream& text, int n1, int n, int n2, orimath::Grid3<double>* grid);
bool ParseHODF2Header(TextStream& text, RawHODFInfo* info, int* n1, int* n, int* n2);
bool ReadHODF2Data(TextStream& text, int n1, int n, int n2, orimath::Grid3<double>* grid);

// Cubic 19 x 19 x 19 text; grid may be null (structure test only).
bool ReadCubic(TextStream& text, double*** grid);
// Content test: the structure reads and no further number follows it.
bool IsCubic(TextStream& text);
void CubicInfo(RawHODFInfo* info);

// TTO text (5 degrees): the title line, then the header and the grid.
bool IsTTO(TextStream& text);
bool ReadTTO(TextStream& text, RawHODFInfo* info, orimath::Grid3<double>* grid);

// FGT text.
bool ParseFGTHeader(TextStream& text, RawHODFInfo* info, int* n1, int* n, int* n2,
                    int* headerLines);
bool ReadFGTData(TextStream& text, int headerLines, int n1, int n, int n2,
                 orimath::Grid3<double>* grid);

// Fills the full 5-degree grid from a grid of the reduced region of
// (crystal, sampleSym) at resolution res. Indices outside the grid's own
// counts give 0.
void FillFull(const double* const* const* grid, int n1, int n, int n2, int crystal, double res,
              int sampleSym, double full[73][37][73]);

} // namespace dataformats::odf
