#pragma once
// ODF files: the binary 5-degree TODF (and its ratio form SEDF), the text
// layouts HODF (two generations), TTO, the cubic 19 x 19 x 19 text and FGT,
// and the text export of one section.
//
// An ODF grid is double[nPhi2][nPhi][nPhi1] (index order phi2, Phi, phi1;
// Bunge angles in degrees from 0 in steps of the resolution) made by
// AllocMem3D; arrays returned by the readers belong to the caller (FreeMem3D).
// The full 5-degree grid is double[73][37][73].
//
// Layout codes (GetODFFileType):
//   -1 not an ODF   0 TODF / SEDF   1 cubic 19 x 19 x 19 text
//    2 HODF text, first generation   3 FGT text   4 HODF text, second generation
// All functions return 1 / non-null on success and 0 / null on failure.
#include <cstddef>
#include <cstdint>
#include <string>

#include "dataformats/export.h"

// Description of an ODF, shared by the engine, the displays and the files.
// Little-endian fixed layout; bytes 0..2031 are the TODF / SEDF file header.
struct RawHODFInfo {
    double hkl[6][3];       // Miller indices of up to six pole figures
    int32_t nPF;            // pole figures used in the calculation
    int32_t normalized;     // pole figures normalised before the calculation (1) or not
    char pfNames[6][256];   // pole figure names, zero-terminated
    int32_t maxLoops;       // maximum number of iterations
    int32_t crystalType;    // 0..6
    double lattice[6];      // a, b, c, alpha, beta, gamma (degrees)
    int32_t stopMode;       // stop mode of the iteration
    int32_t reserved;       // alignment; carried through unchanged
    double tolerance;       // stop tolerance (0 when not calculated)
    double deviation;       // final mean deviation (0 when not calculated)
    int32_t iterations;     // iterations done
    char path[260];         // path of the ODF file, zero-terminated
    int32_t fibreAverage;   // forced fibre average (1) or not; not in TODF files
    int32_t sampleSymmetry; // four-fold sample symmetry (1) or not; not in TODF files
    double resolution;      // degrees; not in TODF files
};

static_assert(sizeof(RawHODFInfo) == 2048);
static_assert(offsetof(RawHODFInfo, hkl) == 0);
static_assert(offsetof(RawHODFInfo, nPF) == 144);
static_assert(offsetof(RawHODFInfo, normalized) == 148);
static_assert(offsetof(RawHODFInfo, pfNames) == 152);
static_assert(offsetof(RawHODFInfo, maxLoops) == 1688);
static_assert(offsetof(RawHODFInfo, crystalType) == 1692);
static_assert(offsetof(RawHODFInfo, lattice) == 1696);
static_assert(offsetof(RawHODFInfo, stopMode) == 1744);
static_assert(offsetof(RawHODFInfo, reserved) == 1748);
static_assert(offsetof(RawHODFInfo, tolerance) == 1752);
static_assert(offsetof(RawHODFInfo, deviation) == 1760);
static_assert(offsetof(RawHODFInfo, iterations) == 1768);
static_assert(offsetof(RawHODFInfo, path) == 1772);
static_assert(offsetof(RawHODFInfo, fibreAverage) == 2032);
static_assert(offsetof(RawHODFInfo, sampleSymmetry) == 2036);
static_assert(offsetof(RawHODFInfo, resolution) == 2040);

// Bytes of the TODF header and of a whole TODF file.
inline constexpr std::size_t kTODFHeaderBytes = 2032;
inline constexpr std::size_t kTODFFileBytes = kTODFHeaderBytes + 73u * 37u * 73u * sizeof(double);
static_assert(kTODFFileBytes == 1579416);

// Layout code; the extension picks the first test ("HODF": 2 then 4, "TODF":
// 0, "FGT": 3, else 1), then the content tests 2, 0, 1 run; -1 if none matches.
DATAFORMATS_EXPORT int GetODFFileType(const std::string& fileName);

// Reads the 2032-byte header of the TODF named in info->path into info; the
// path is kept.
DATAFORMATS_EXPORT int GetTODFInfo(RawHODFInfo* info);

// Header of a first-generation HODF file. names receives nPF zero-terminated
// names (line ends removed); hkl receives nPF rows.
DATAFORMATS_EXPORT int GetHODFInfo(const char* path, double lattice[6], int* crystal, int* nPF,
                                   double hkl[][3], char names[][256], int* normalized,
                                   double* resolution, int* sampleSymmetry, int* fibreAverage,
                                   int* stopMode, double* tolerance, int* maxLoops,
                                   double* deviation, int* iterations, int* nPhi1, int* nPhi,
                                   int* nPhi2);

// Fixed description of the cubic 19 x 19 x 19 text layout.
DATAFORMATS_EXPORT int Get90x90x90CubInfo(RawHODFInfo* info);

// Copies fileName into info->path, then fills info for the layout `type`.
DATAFORMATS_EXPORT int Get_ODF_File_Info(const char* fileName, RawHODFInfo* info, int type);

// Reads the file into a new nPhi2 x nPhi x nPhi1 grid of the file's reduced
// region (a TODF gives the region GetEulerRangeInODFSpace names at 5 degrees).
DATAFORMATS_EXPORT double*** Open_ODF_File(const char* fileName, RawHODFInfo* info, int type,
                                           int* nPhi1, int* nPhi, int* nPhi2);

// Reads any layout and fills the full 5-degree grid full[phi2][Phi][phi1];
// files of another resolution are sampled by the largest value around each
// 5-degree point.
DATAFORMATS_EXPORT int Open_ODF_File_73x37x73(const char* fileName, RawHODFInfo* info, int type,
                                              double full[73][37][73]);

// Reads the TODF named in info->path into a 73 x 37 x 73 pointer-tree grid.
DATAFORMATS_EXPORT int OpenODFAsHODF(RawHODFInfo* info, double*** grid);
DATAFORMATS_EXPORT int OpenODF1(RawHODFInfo* info, double*** grid);
// Reads the cubic text layout into a 19 x 19 x 19 pointer-tree grid.
DATAFORMATS_EXPORT int OpenCub90x90x90AsHODF(const char* fileName, double*** grid);

// Header and data of a first-generation HODF (arguments as GetHODFInfo).
DATAFORMATS_EXPORT double*** OpenHODF(const char* path, double lattice[6], int* crystal, int* nPF,
                                      double hkl[][3], char names[][256], int* normalized,
                                      double* resolution, int* sampleSymmetry, int* fibreAverage,
                                      int* stopMode, double* tolerance, int* maxLoops,
                                      double* deviation, int* iterations, int* nPhi1, int* nPhi,
                                      int* nPhi2);

// Fixed-grid readers of the 5-degree library. They choose the layout by the
// extension ("TODF", "SEDF", "TTO", "HODF"; any other name by content) and
// fill the full grid through the symmetry of the file's crystal system.
// OpenODF reads info->path; OpenALLODF reads fileName and sets info->path.
DATAFORMATS_EXPORT int OpenODF(RawHODFInfo* info, double full[73][37][73]);
DATAFORMATS_EXPORT int OpenALLODF(const char* fileName, RawHODFInfo* info, double full[73][37][73]);

// TODF writer: info's first 2032 bytes, then full (73 * 37 * 73 doubles,
// phi2 outermost) to info->path.
DATAFORMATS_EXPORT int SaveODFFile(RawHODFInfo* info, const double* full);

// First-generation HODF writer, every header field separately.
DATAFORMATS_EXPORT int SaveHODF(const char* fileName, double*** grid, int nPhi1, int nPhi,
                                int nPhi2, int crystal, const double lattice[6], int nPF,
                                const char names[][256], const double hkl[][3], int normalized,
                                double resolution, int sampleSymmetry, int fibreAverage,
                                int stopMode, int maxLoops, int iterations, double tolerance,
                                double deviation);
// First- and second-generation HODF writers from the record.
DATAFORMATS_EXPORT int Save_ODF_File(const char* fileName, double*** grid, RawHODFInfo* info,
                                     int nPhi1, int nPhi, int nPhi2);
DATAFORMATS_EXPORT int Save_ODF_File2(const char* fileName, double*** grid, RawHODFInfo* info,
                                      int nPhi1, int nPhi, int nPhi2);

// TTO text (5 degrees) to / from info->path. OpenTTOFile fills info and
// returns a new nPhi2 x nPhi x nPhi1 grid.
DATAFORMATS_EXPORT int SaveTTOFile(RawHODFInfo* info, double*** grid, int nPhi1, int nPhi,
                                   int nPhi2);
DATAFORMATS_EXPORT double*** OpenTTOFile(RawHODFInfo* info, int* nPhi1, int* nPhi, int* nPhi2);

// One phi2 section as text; range = {phi1 first, phi1 last, Phi first, Phi last}
// as 5-degree indices; section[Phi][phi1].
DATAFORMATS_EXPORT int SaveTextODFFile(const int range[4], int phi2Index, const char* fileName,
                                       const double section[37][73]);

// Ratio ODF numerator / denominator (both TODF) written as a TODF-layout file
// with the denominator's header; 1.0 where the denominator is not above 0.
DATAFORMATS_EXPORT int SaveSEDFFile(const char* outFile, const char* denominatorFile,
                                    const char* numeratorFile);
