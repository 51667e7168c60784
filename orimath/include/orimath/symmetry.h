#pragma once
// Crystal and sample symmetry operators and symmetrically equivalent
// orientations. Angles in degrees.
#include <string>

#include "orimath/constants.h"

// Operators of one crystal type into its block ops[crystalType][0..count-1].
// Counts: cubic 24, hexagonal 12, tetragonal 8, orthorhombic 4, monoclinic
// 2, trigonal 6, triclinic 1. Operators are in the lattice basis; with
// toCartesian non-zero each one becomes A*S*A^-1 (A from CrystalAxis), which
// makes the hexagonal and rhombohedral operators Cartesian rotations. When
// toCartesian is set and the lattice fails CrystalAxis, the lattice-basis
// operators are left as written. For an invalid crystal code neither count
// nor table is written.
// Trigonal (type 5) lists three operators of determinant -1 (-I and the
// inverted three-fold axes); they are used as listed.
void Symmdata(double ops[7][24][3][3], int* count, int toCartesian, int crystalType,
              const double lattice[6]);

// Orthorhombic sample symmetry: I, 2-fold about ND, about TD, about RD.
void SamSymData(double ops[4][3][3]);

// Name of a crystal code ("Cubic" ... "Triclinic"; type 5 is
// "Rhombohedral/Trigoanl" as stored in files). The buffer needs 23 bytes.
// For an invalid code the buffer is left unchanged.
void Get_Crystal_Type_Name(char* buffer, int crystalType);

namespace orimath {
// The same name as a string, "Unknown" for an invalid code (the text the
// file writers put in their headers).
std::string CrystalName(int crystalType);
} // namespace orimath

// Symmetrically equivalent orientations of euler (degrees). The input is
// first nudged in place: phi1, phi2 wrapped into [0, 360], and each angle
// within 0.001 of 0, 90, 180, 270, 360 moved off it (0 -> 0.001,
// 90 -> 89.999, ...). Then for each crystal operator Sc (table order) and
// each sample operator Ss (only I when sampleSym is 0), the angles of
// Sc*g*Ss are appended to out; out[0] is the nudged input. out must hold
// 24*4 = 96 triples for cubic with sample symmetry.
// Returns 0 (nothing written, euler unchanged) for an invalid crystal code,
// a lattice that fails CrystalAxis or non-finite angles, and 0 when
// Eulerangle rejects an equivalent. Phi is not wrapped; any finite value
// works.
int GetSO(double euler[3], double out[][3], int* count, int crystalType, const double lattice[6],
          int sampleSym);
