#pragma once
// Random orientations drawn from an ODF by rejection sampling on the Euler
// grid, using the process-wide generator (platform::MsvcRand, 0..32767).
// ODF arrays are odf[i2][iPhi][i1] (index order phi2, Phi, phi1) with
// nPhi2 x nPhi x nPhi1 grid points at res degrees. Angles in degrees.
//
// A draw (u, orientation) is accepted when u <= f for the ODF value f of the
// orientation's grid cell and f > 0: a cell where the ODF is empty is never
// taken, even when the generator gives u = 0.
//
// Every routine gives up and returns 0 (outputs untouched) when the ODF
// maximum is not positive or not finite, when arguments are invalid, or
// when no draw is accepted within a bounded number of draws (so an ODF that
// is zero where it is sampled, or a fibre no orientation reaches, never
// hangs the caller). 1 on success.

inline constexpr long kMaxRandomDraws = 10000000; // per orientation

// One orientation with probability proportional to the ODF; fmax is the
// ODF maximum (or an upper bound of it).
int GetOneRandOri(double*** odf, double euler[3], double fmax, int nPhi1, int nPhi, int nPhi2,
                  double res);

// As GetOneRandOri, among orientations whose {hkl} lies within tolerance
// degrees of ND (CompareFiberAxis). With firstCall non-zero the poles are
// computed on the first draw into poles/count; otherwise the stored ones
// are reused.
int GetOneRandOriWithinFiber(double*** odf, double euler[3], double fmax, int nPhi1, int nPhi,
                             int nPhi2, double res, const double hkl[3], int crystalType,
                             const double lattice[6], double tolerance, int firstCall, int* count,
                             double poles[24][3]);

// count orientations into out; fmax is found from the ODF and the generator
// is seeded from the current time first.
int GetRandOri_Ab_Res(double*** odf, double out[][3], int count, int nPhi1, int nPhi, int nPhi2,
                      double res);

// The same for a classic 5 degree ODF array odf[73][37][73], of which the
// first nPhi2 x nPhi x nPhi1 points are used (at most 73 x 37 x 73).
int GetRandOri(const double odf[73][37][73], double out[][3], int count, int nPhi1, int nPhi,
               int nPhi2);
