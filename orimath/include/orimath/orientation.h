#pragma once
// Euler angles, orientation matrices and Miller indices.
//
// Conventions used throughout orimath:
// - Euler angles (phi1, Phi, phi2) in the Bunge convention, in degrees at
//   every interface; only Eulerangle returns radians.
// - Orientation matrix g (passive rotation), row-major g[row][col]. A sample
//   vector y maps to the crystal vector g*y and a crystal vector h to the
//   sample vector g^T*h; so column 0 of g is the rolling direction RD,
//   column 1 the transverse direction TD, column 2 the normal direction ND,
//   each in the Cartesian crystal frame. Crystal operators act from the
//   left (S*g), sample operators from the right (g*S).
// - Lattice: a, b, c (any length unit), alpha, beta, gamma (degrees).
// - Crystal codes 0..6 (see constants.h); other codes are rejected.
// Nothing here allocates or keeps state.
#include "orimath/constants.h"

// g from Euler angles in degrees.
void Gmatrix(const double euler[3], double g[3][3]);

// Euler angles in RADIANS from g. Returns 0 when |g33| > 1.0001 (or an
// element is not finite); otherwise clamps g33 into [-1, 1] in the caller's
// matrix and returns 1. phi1, phi2 in [0, 2pi), Phi in [0, pi]. When
// |sin Phi| <= 1e-5 phi1 is 0 and the whole turn about ND goes to phi2.
int Eulerangle(double g[3][3], double euler_rad[3]);

// c = a*b. c must not overlap a or b.
void MulMatrix(const double a[3][3], const double b[3][3], double c[3][3]);

// Inverse by cofactors; a singular matrix gives non-finite results.
void Inverse(const double a[3][3], double ainv[3][3]);

// Unit lattice axes a, b, c as the columns of axis (x along a, y in the a-b
// plane); for type 5 the rhombohedral setting with the axes 120 degrees
// apart round z. Returns 0 (axis unwritten) when the lattice angles fail
// the triangle test, are not finite, or the crystal code is invalid.
int CrystalAxis(double axis[3][3], int crystalType, const double lattice[6]);

// Real-valued plane {hkl} (normal to ND) and direction <uvw> (along RD) of
// an orientation, as hkluvw = {h, k, l, u, v, w}; only their ratios matter
// (GetNiceVector makes integer labels). h = a*(ND . a_unit), likewise k, l;
// Copper (90, 35.26, 45) gives {112}<11-1> up to sign.
// [uvw] = RD in lattice coordinates divided by a, b, c. Returns 0 when
// CrystalAxis fails or a lattice length is not positive.
int Euler2Miller(const double euler[3], int crystalType, const double lattice[6], double hkluvw[6]);

// Euler angles in degrees of the orientation with plane (hkl) normal to ND
// and direction [uvw] along RD. Returns 0 when hkl or uvw is all zero, when
// h*u + k*v + l*w is not exactly 0, or when CrystalAxis fails.
int Miller2Euller(const double hkluvw[6], double euler[3], int crystalType,
                  const double lattice[6]);

// Small signed integer indices for a real direction, for labels:
// (0.5, 0.5, 1.0) gives (1, 1, 2).
void GetNiceVector(const double x[3], int out[3]);

// Unit normal of the plane (hkl) in the Cartesian crystal frame (reciprocal
// lattice vector h a* + k b* + l c*). Returns 0 when CrystalAxis fails or
// the indices are all zero (or not finite).
int GetPlaneNormal(const double hkl[3], int crystalType, const double lattice[6], double normal[3]);

// Symmetrically distinct poles of a unit vector h under the Cartesian
// crystal operators of the type: operators in table order, components below
// 1e-6 set to 0, duplicates and antipodes (within 1e-5 in z, 1e-4 in x and y)
// dropped, each new pole sign-normalised (y >= 0; for y = 0, x >= 0).
// Writes at most 24 poles and their count. Returns 0 for an invalid crystal
// code or lattice.
int GetSymmetricPoles(const double h[3], int crystalType, const double lattice[6],
                      double poles[24][3], int* count);
