#pragma once
// Inverse pole figure files: a pole-figure-like grid (rows of tilt, columns of
// azimuth, sized like a pole figure by the resolution) under a short header
// naming the crystal system, two angles and three sample directions.
//
// Layout codes (Get_IPF_File_Type): 0 without lattice line (5-degree TIPF and
// SaveHIPF), 1 with lattice line (SaveHIPFFile), -1 neither.
// All functions return 1 / non-null on success and 0 / null on failure.
#include <string>

#include "dataformats/export.h"

struct DATAFORMATS_EXPORT IPFFileInfo {
    std::string fileName;          // "Unknown" after Get_IPF_File_Info
    double angle1 = 0, angle2 = 0; // the "(a, b)" header line, degrees
    std::string headerLines[5];    // header lines 2 to 6 (OpenIPF)
    double directions[3][3] = {};  // the three bracketed sample directions
    int crystalType = 0;           // 0..6
    double lattice[6] = {};        // a, b, c, alpha, beta, gamma; 0 without a lattice line
    int flags[2] = {0, 0};         // cleared by the readers
    double resolution = 5;         // degrees
    std::string comment = "Unknown";
};

DATAFORMATS_EXPORT int Get_IPF_File_Type(const std::string& fileName);
DATAFORMATS_EXPORT int Get_IPF_File_Info(const char* fileName, int type, IPFFileInfo* info);
// New nA x nB grid (AllocMem2D; free with FreeMem2D) or null.
DATAFORMATS_EXPORT double** Open_IPF_File(const char* fileName, IPFFileInfo* info, int type,
                                          int* nA, int* nB);

// 5-degree TIPF (19 x 73) to info->fileName; directions written as the small
// integer indices of GetNiceVector.
DATAFORMATS_EXPORT int SaveIPFFile(IPFFileInfo* info, const double grid[19][73]);
// Layout 0 with "name, Resolution = r, rows x cols" as line 2.
DATAFORMATS_EXPORT int SaveHIPF(const char* fileName, int crystalType, double angle1, double angle2,
                                const double directions[3][3], double resolution, int nRows,
                                int nCols, double** grid);
// Layout 1 from the record (crystal, lattice, angles, directions, resolution).
DATAFORMATS_EXPORT int SaveHIPFFile(const char* fileName, IPFFileInfo* info, int nRows, int nCols,
                                    double** grid);

// Fixed-grid reader of info->fileName: header lines 2 to 6 into
// info->headerLines, then 19 x 73 values.
DATAFORMATS_EXPORT int OpenIPF(IPFFileInfo* info, double grid[19][73]);
