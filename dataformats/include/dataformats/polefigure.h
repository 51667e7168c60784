#pragma once
// Pole figure files: layout detection, description, reading and writing.
//
// A pole figure grid is double[nA][nB] made by AllocMem2D: row i is the tilt
// alpha = i * res from the centre (0) to the rim (90 degrees), column j the
// azimuth beta = j * res from 0 to 360 inclusive (the last column repeats the
// first). Arrays returned by the readers belong to the caller (FreeMem2D).
//
// Layout codes (Get_PF_File_Type):
//   -1 not a pole figure          0 5-degree text (TPF)       1 high-resolution text (HPF)
//    2 PolCon triplets            3 UXD                       4 starred-keyword text
//    5 fixed-column ODF input     6 interval text + background
//    7 four-line rings of 18 four-character fields (centre ring first)
//    8 azimuth-intensity pairs
// All functions return 1 / non-null on success and 0 / null on failure.
#include <string>

#include "dataformats/export.h"

struct DATAFORMATS_EXPORT PFFileInfo {
    std::string fileName;    // OpenPF reads it, SavePFFile writes it
    std::string description; // "name, (h k l), res, nA x nB, (a b c alpha beta gamma), comment"
    int crystalType = -1;    // 0..6; -1: the file has no structured description line
    double h = 1, k = 1, l = 1;
    double a = 1, b = 1, c = 1, alpha = 90, beta = 90, gamma = 90; // lengths, degrees
    double resolution = 5;                                         // grid step in degrees
    std::string comment = "Unknown";
};

// The description the writers take for the pole figure of the plane (h k l)
// in a crystal of the given system and lattice (a, b, c, alpha, beta, gamma).
DATAFORMATS_EXPORT PFFileInfo DescribePoleFigure(const std::string& fileName, int crystalType,
                                                 const double hkl[3], const double lattice[6],
                                                 double resolution, const std::string& comment);

// Layout code of a file, -1 when no layout matches. Tests run in the order
// 2, 8, 7, 5, 6, 4, 0/1, 3 (UXD by the extension of the file name).
DATAFORMATS_EXPORT int Get_PF_File_Type(const std::string& fileName);

// Fills info->description and info->resolution for the layout `type`.
// Rejects files whose resolution is not a usable grid step (0, negative, NaN,
// below 0.1 or above 90 degrees).
DATAFORMATS_EXPORT int Get_PF_File_Info(const char* fileName, int type, PFFileInfo* info);

// Reads the file into a new nA x nB grid (sizes from the resolution).
DATAFORMATS_EXPORT double** Open_PF_File(const char* fileName, PFFileInfo* info, int type, int* nA,
                                         int* nB);

// Layout 0/1 reader; description receives line 2 (buffer of at least 512 chars).
DATAFORMATS_EXPORT int OpenHPF(const std::string& fileName, char* description, double** grid,
                               int nA, int nB);
// Layout 2 reader into a 19 x 73 grid.
DATAFORMATS_EXPORT int OpenPolCon(const std::string& fileName, char* description, double** grid);
// Layout 3 reader (both UXD variants; the range variant gives its first pole figure).
DATAFORMATS_EXPORT int OpenUXD(const std::string& fileName, char* description, double** grid,
                               int nA, int nB);

// Fixed-grid reader of layouts 2 and 0/1; reads info->fileName. Fails for a
// layout 0/1 file whose grid is not 19 x 73.
DATAFORMATS_EXPORT int OpenPF(PFFileInfo* info, double grid[19][73]);

// Writes layout 0 (19 x 73) to info->fileName.
DATAFORMATS_EXPORT int SavePFFile(PFFileInfo* info, const double grid[19][73]);
// Writes layout 1 (nA x nB).
DATAFORMATS_EXPORT int SaveHPFFile(const char* fileName, PFFileInfo* info, int nA, int nB,
                                   double** grid);

// Splits a description line into crystalType, h k l, resolution, lattice and
// comment. Stops at the first missing field; fields already set keep their values.
DATAFORMATS_EXPORT void ParserPFInfo(const char* description, PFFileInfo* info);

// UXD files of the range variant (rings headed by "_KHI=", data in
// "_2THETACPS" blocks) may hold several pole figures, one per "_2THETA"
// value. Number of pole figures in a UXD file (0 when it is not a readable UXD
// file; 1 for the "_COUNTS" variant).
DATAFORMATS_EXPORT int Get_UXD_PF_Count(const char* fileName);
// Reads pole figure `index` (0-based) of a UXD file: fills info (description,
// resolution) and returns a new nA x nB grid, or null.
DATAFORMATS_EXPORT double** Open_UXD_PF(const char* fileName, int index, PFFileInfo* info, int* nA,
                                        int* nB);
