#pragma once
// Multi-dimensional arrays as trees of pointer tables. Every row and every
// table is its own allocation, so a[i0][i1]... addressing works across
// library boundaries without knowing the shape. Whoever allocates frees, with
// the free routine of the same shape and the same dimensions.
//
// Allocation returns null when any allocation fails (nothing is leaked) or a
// dimension is negative. A zero dimension gives a valid, empty array.
// Contents are not initialised. Free routines ignore a null array; when
// d0 < 1 they free only the top-level table. The innermost dimension is not
// used by the free routines.
#include <cstdint>

double** AllocMem2D(int d0, int d1);
float** AllocMem2F(int d0, int d1);
int32_t** AllocMem2L(int d0, int d1); // 4-byte integers
int16_t** AllocMem2S(int d0, int d1);
double*** AllocMem3D(int d0, int d1, int d2);
float*** AllocMem3F(int d0, int d1, int d2);
int32_t*** AllocMem3L(int d0, int d1, int d2);
int16_t*** AllocMem3S(int d0, int d1, int d2);
double**** AllocMem4D(int d0, int d1, int d2, int d3);
int16_t**** AllocMem4S(int d0, int d1, int d2, int d3);

void FreeMem2D(double** a, int d0, int d1);
void FreeMem2F(float** a, int d0, int d1);
void FreeMem2L(int32_t** a, int d0, int d1);
void FreeMem2S(int16_t** a, int d0, int d1);
void FreeMem3D(double*** a, int d0, int d1, int d2);
void FreeMem3F(float*** a, int d0, int d1, int d2);
void FreeMem3L(int32_t*** a, int d0, int d1, int d2);
void FreeMem3S(int16_t*** a, int d0, int d1, int d2);
void FreeMem4D(double**** a, int d0, int d1, int d2, int d3);
void FreeMem4S(int16_t**** a, int d0, int d1, int d2, int d3);
