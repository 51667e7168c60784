#pragma once
// Orientation positions on pole figures and inverse pole figures.
// Positions are (alpha, beta) in degrees: alpha from the projection centre
// (0..90), beta the azimuth (0..360). Stereographic radius R*tan(alpha/2).
#include <string>

// Positions of all symmetrically distinct poles {hkl} of an orientation
// (at most 24; upper hemisphere). Returns 0 when the plane normal or the
// poles cannot be computed.
int Get_Ori_Pos_On_PF(double pos[][2], int* count, const double euler[3], const double hkl[3],
                      int crystalType, const double lattice[6]);

// Position of the single pole (hkl), without symmetry.
int Get_Ori_Pos_On_PF2(double pos[2], const double euler[3], const double hkl[3], int crystalType,
                       const double lattice[6]);

// Position of a sample direction in the crystal frame, and in axes the
// directions ND, RD, TD (rows, in this order) in lattice coordinates.
// Returns 0 when the lattice fails the angle test.
int Get_Ori_Pos_On_InvPF(double pos[2], double axes[3][3], const double euler[3],
                         const double sampleDirection[3], int crystalType, const double lattice[6]);

// Pixel (x, y) of an inverse pole figure of radius R centred at (cx, cy) to
// a position. Full circle for triclinic or sectorMode 0; otherwise only the
// sector of the type is accepted (cubic: 315..360 within sqrt(2)*R).
// Returns 1 when the pixel lies in the drawn area.
int IPF_From_Pixel_To_Pos(int x, int y, int R, int cx, int cy, double pos[2], int crystalType,
                          int sectorMode, int sectorFlag);

// Position to a direction in lattice coordinates (uvw, divided by a, b, c)
// and its label "[u v w]" (hexagonal: "[U V T W]"). label may be null.
// Returns 0 when the lattice fails the angle test.
int IPF_From_Pos_To_Vec(const double pos[2], int crystalType, const double lattice[6],
                        double uvw[3], std::string* label);

// Turns a pole figure grid by 90 degrees about the sample y (TD) axis:
// out(d) = in(R^-1 d) with bilinear interpolation and antipodal folding
// (pole figures are centrosymmetric). Both grids have the shape of
// Get_AB_Range_In_Full_PF_Space(res). Returns 0 for a null grid or bad res.
int TurnY90(double** in, double** out, double res);
