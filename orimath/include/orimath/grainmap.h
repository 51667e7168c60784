#pragma once
// Synthetic grain maps. A map is int16 map[W][H] (W runs of H values, as
// in the grain map file; allocate with AllocMem2S(W, H)) whose values are
// grain numbers 0..nGrains-1. Seed points come from the process-wide
// generator (platform::MsvcRand); seed it first for reproducible maps.
#include <cstdint>

inline constexpr int kMaxMSGrains = 180;

// Voronoi cells of nGrains random seed points: each cell takes the number
// of the nearest seed (ties to the lower number). seeds, if not null,
// receives the seed points (x in 0..W, y in 0..H). Returns 0 for invalid
// arguments (null map, W or H < 1, nGrains < 1 or > 32767).
int GetVoronoiGrainMap(int16_t** map, int W, int H, int nGrains, double seeds[][2]);

// Microstructure map of at most 180 grains: a Voronoi map plus one
// orientation per grain in whole degrees, grains[g] = (phi1, Phi, phi2).
// Orientations are drawn from the ODF odf[i2][iPhi][i1] when odf is not
// null (GetOneRandOri), otherwise uniformly over orientation space.
// Returns 0 for invalid arguments, nGrains above 180, or when no
// orientation can be drawn from the ODF.
int GetMSMap(int16_t** map, int W, int H, int nGrains, int16_t grains[][3], double*** odf,
             int nPhi1, int nPhi, int nPhi2, double res);
