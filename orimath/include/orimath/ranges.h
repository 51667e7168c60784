#pragma once
// Grid sizes and folding into the reduced orientation space.
//
// Grid conventions: a pole figure is double[nAlpha][nBeta] (alpha from the
// centre, 0..90; beta 0..360 inclusive, the last column repeating beta 0);
// an ODF is double[nPhi2][nPhi][nPhi1]; grid point (i1, iPhi, i2) is the
// orientation (i1*res, iPhi*res, i2*res) degrees.
// res must be positive and finite; otherwise the counts are 0 and folding
// leaves its input unchanged.

// Number of grid points over range degrees: trunc(range/res + 0.5) + 1.
int GridCount(double range, double res);

// nAlpha = GridCount(90, res), nBeta = GridCount(360, res).
void Get_AB_Range_In_Full_PF_Space(int* nAlpha, int* nBeta, double res);

// Grid counts of the reduced ODF region of a crystal type, with or without
// orthorhombic sample symmetry. Codes outside 0..6 get 360 x 90 x 90.
void GetEulerRangeInODFSpace(int* nPhi1, int* nPhi, int* nPhi2, int crystalType, double res,
                             int sampleSym);

// Index bounds on the 5 degree grid: {0, nPhi1-1, 0, nPhi-1, 0, nPhi2-1}.
void GetEulerRange(int crystalType, int range[6], int sampleSym);

// Folds grid indices into the reduced region (integer arithmetic only).
void ReduceODFSpace(int* i1, int* iPhi, int* i2, int crystalType, double res, int sampleSym);

// The same folding for whole-degree angles (res = 1).
void ReduceODFSpace2(int* phi1, int* Phi, int* phi2, int crystalType, int sampleSym);

// Normalises a pole figure grid (shape from Get_AB_Range_In_Full_PF_Space)
// in place to multiples of a random distribution: negative values become 0
// and the measured band of rows averages 1. Returns the row count nA. A grid
// with no positive value is left at zeros (never divided by zero); an
// invalid res or null grid returns 0 and changes nothing.
int NormalizPF(double** grid, double res);
