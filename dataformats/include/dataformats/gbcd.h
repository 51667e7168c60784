#pragma once
// Grain boundary character distribution (GBCD) text files and the binary
// grain map of the microstructure generator.
//
// Angle distributions are double[kGBCDAngleCount] = 181 entries (0..180
// degrees, as the GBCD chart and the viewer document hold them). The file
// stores the 180 entries 0..179: readers fill those and set entry 180 to 0,
// writers write those. CSL distributions are double[51] in the order of
// kCSLClassLabels.
// All functions return 1 on success and 0 on failure.
#include <cstdint>
#include <string>
#include <vector>

#include "dataformats/export.h"

inline constexpr int kGBCDAngleCount = 181;
inline constexpr int kGBCDFileAngles = 180;
inline constexpr int kCSLClassCount = 51;

// Labels of the 51 CSL classes, "1", "3", ... "51b", "Random".
DATAFORMATS_EXPORT extern const char* const kCSLClassLabels[kCSLClassCount];

struct DATAFORMATS_EXPORT GBCDFileInfo {
    std::string fileName;
    int grainPairs = 0;      // grain pairs counted
    std::string description; // header lines 2 and 3 joined by ", " (on reading)
    int cslCalculated = 0;   // 1 if the CSL distribution is present
    int crystalType = 0;     // 0..6
    double lattice[6] = {1, 1, 1, 90, 90, 90};
};

// 0 for a GBCD text file, -1 otherwise.
DATAFORMATS_EXPORT int Get_GBCD_File_Type(const char* fileName);
DATAFORMATS_EXPORT int Get_GBCD_File_Info(const char* fileName, int type, GBCDFileInfo* info);
DATAFORMATS_EXPORT int Open_GBCD_File(const char* fileName, GBCDFileInfo* info, int type,
                                      double angle[kGBCDAngleCount], double csl[kCSLClassCount]);
// Reads info->fileName (description, flag and distributions).
DATAFORMATS_EXPORT int OpenGBCD(GBCDFileInfo* info, double angle[kGBCDAngleCount],
                                double csl[kCSLClassCount]);
DATAFORMATS_EXPORT int Save_GBCD_File(const char* fileName, GBCDFileInfo* info,
                                      const double angle[kGBCDAngleCount],
                                      const double csl[kCSLClassCount]);
// Writes info->fileName. The CSL table is written for cubic crystals with
// cslCalculated set; otherwise the file says "not calculated" (and
// info->cslCalculated is cleared) so that the reader accepts it.
DATAFORMATS_EXPORT int SaveGBCDFile(GBCDFileInfo* info, const double angle[kGBCDAngleCount],
                                    const double csl[kCSLClassCount]);

// Binary grain map ("GbMap Version 1"). map is W x H (AllocMem2S(W, H)),
// grains G x 3 Euler angles in whole degrees, boundaryPairs B x 2 grain
// numbers, boundaryValues B values, labels B texts (written as 4 bytes each).
DATAFORMATS_EXPORT int SaveGBMap(const char* fileName, int32_t W, int32_t H, int32_t third,
                                 double d1, double d2, double d3, double d4, int16_t** map,
                                 int32_t G, int16_t** grains, int32_t B,
                                 const int32_t* boundaryValues,
                                 const std::vector<std::string>& labels, int16_t** boundaryPairs);
// Allocates map (AllocMem2S(W, H)), grains (AllocMem2S(G, 3)), boundaryPairs
// (AllocMem2S(B, 2)) and boundaryValues (new int32_t[B]; free with delete[]);
// the caller frees them. On failure nothing stays allocated.
DATAFORMATS_EXPORT int OpenGBMap(const char* fileName, int32_t* W, int32_t* H, int32_t* third,
                                 double* d1, double* d2, double* d3, double* d4, int16_t*** map,
                                 int32_t* G, int16_t*** grains, int32_t* B,
                                 int32_t** boundaryValues, std::vector<std::string>* labels,
                                 int16_t*** boundaryPairs);
