#pragma once
// Internal interface of the pole figure layouts: one detector, information
// reader and grid reader per layout, all on the file's text in memory.
#include <cstdint>
#include <string>
#include <string_view>

#include "common/text_stream.h"
#include "dataformats/polefigure.h"

namespace dataformats::pf {

// Grid steps outside this range are rejected before any allocation: below
// 0.1 degree a pole figure grid would exceed 900 x 3600 points, above 90 it
// has no interior ring.
inline constexpr double kMinResolution = 0.1;
inline constexpr double kMaxResolution = 90.0;
bool IsUsableResolution(double res);

// Description room of the reader functions' buffers (chars incl. terminator).
inline constexpr std::size_t kDescriptionSize = 512;
void PutDescription(char* buffer, std::string_view text);

// "Unknown, <hkl>, %.2f, %d x %d, (1.00 1.00 1.00 90.00 90.00 90.00), Unknown"
std::string UnknownDescription(std::string_view hklText, double res, int nA, int nB);
// "<name>, (%d %d %d), %.2f, %d x %d, (1.00 1.00 1.00 90.00 90.00 90.00), Unknown"
std::string NamedDescription(std::string_view name, int h, int k, int l, double res, int nA,
                             int nB);

void ClearGrid(double** grid, int nA, int nB);
// Row 0 (the centre, one physical point) becomes in every column the mean of
// its first `count` entries.
void CentreRowToMean(double** grid, int nB, int count);
// Reflection guessed from a file name: "200", "110", "211", ("111"), else (2 0 0).
void ReflectionFromPath(std::string_view path, bool try111, int hkl[3]);

// Layout 0/1: the suite's own text pole figures.
bool IsOwnText(TextStream& text, int* type);
bool IsFullGridCount(TextStream& text);
int InfoOwnText0(TextStream& text, PFFileInfo* info);
int InfoOwnText1(TextStream& text, PFFileInfo* info);
int ReadOwnText(TextStream& text, char* description, double** grid, int nA, int nB);

// Layout 2: PolCon triplets.
bool IsPolCon(TextStream& text);
int InfoPolCon(PFFileInfo* info);
int ReadPolCon(TextStream& text, char* description, double** grid);

// Layout 3: UXD.
int InfoUXD(TextStream& text, int index, PFFileInfo* info);
int ReadUXD(TextStream& text, int index, char* description, double** grid, int nA, int nB);
int CountUXD(TextStream& text);
bool IsCountsUXD(TextStream& text); // the "_COUNTS" variant

// Layout 4: starred keywords.
bool IsKeyword(TextStream& text);
int InfoKeyword(TextStream& text, PFFileInfo* info);
int ReadKeyword(TextStream& text, PFFileInfo* info, double** grid, int nA, int nB);

// Layout 5: fixed-column ODF-program input.
bool IsODFInput(TextStream& text);
int InfoODFInput(PFFileInfo* info);
int ReadODFInput(TextStream& text, double** grid, int nA, int nB);

// Layout 6: interval text with background.
bool IsInterval(TextStream& text);
int InfoInterval(TextStream& text, const char* fileName, PFFileInfo* info);
int ReadInterval(TextStream& text, PFFileInfo* info, double** grid, int nA, int nB);

// Layout 7: four-line rings.
bool IsRings(TextStream& text);
int InfoRings(TextStream& text, PFFileInfo* info);
int ReadRings(TextStream& text, double** grid, int nA, int nB);

// Layout 8: azimuth-intensity pairs.
bool IsPairs(TextStream& text);
int InfoPairs(TextStream& text, const char* fileName, PFFileInfo* info);
int ReadPairs(TextStream& text, PFFileInfo* info, double** grid, int nA, int nB);

// Measured cells of the layouts that know their measured range: mask
// ([nA][nB], filled with 1 by the caller) gets 0 where the file says the
// grid was not measured (tilt rows beyond the measured range, rings or
// azimuths the file does not hold).
void MeasuredRings(TextStream& text, int nA, int nB, uint8_t** mask);
void MeasuredUXD(TextStream& text, int index, int nA, int nB, uint8_t** mask);
void MeasuredKeyword(TextStream& text, double res, int nA, int nB, uint8_t** mask);

} // namespace dataformats::pf
