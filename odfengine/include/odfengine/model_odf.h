#pragma once
// Model ODFs for validation and sample data: Gaussian-shaped components
// around ideal orientations over a uniform background, on the engine's grid.
//
// A component of weight w and half-width b (degrees, full width at half
// maximum) adds w * exp(-4 ln2 * omega² / b²) at a grid orientation, where
// omega is the smallest rotation angle from the component over the crystal
// symmetry and the orthorhombic sample symmetry (rolling textures). The sum
// plus the background is then scaled so that the ODF averages 1 over
// orientation space (multiples of a random distribution), using the same
// volume weights as the engine's normalisation.
#include <string>
#include <vector>

#include "odfengine/export.h"
#include "odfengine/run_options.h"

namespace odfengine {

struct ModelComponent {
    std::string name;
    double phi1 = 0, Phi = 0, phi2 = 0; // Bunge angles, degrees
    double halfWidth = 10;              // degrees (FWHM)
    double weight = 1;                  // peak height before normalisation
};

// The classic rolling components by name: "Copper" (90, 35.26, 45), "Brass"
// (35.26, 45, 0), "S" (58.98, 36.7, 63.43), "Goss" (0, 45, 0), "Cube"
// (0, 0, 0). Returns 0 for an unknown name.
ODFENGINE_EXPORT int GetStandardComponent(const std::string& name, double halfWidth, double weight,
                                          ModelComponent* out);

// The default rolling texture used by the tests and the sample data: Copper,
// Brass, S, Goss and Cube with half-widths between 8 and 12 degrees.
ODFENGINE_EXPORT std::vector<ModelComponent> DefaultRollingTexture();

// Fills odf (double[nPhi2][nPhi][nPhi1] from GetEulerRangeInODFSpace for the
// crystal type, res and sampleSym) with the model. background is the
// uniform level before normalisation (e.g. 0.3). Returns 0 for an invalid
// crystal type, lattice or resolution, or a null array.
ODFENGINE_EXPORT int MakeModelODF(double*** odf, int crystalType, const double lattice[6],
                                  double res, int sampleSym,
                                  const std::vector<ModelComponent>& components, double background);
// The same with a thread count and a cancel token (progress is not
// reported); returns 0 when cancelled.
ODFENGINE_EXPORT int MakeModelODF(double*** odf, int crystalType, const double lattice[6],
                                  double res, int sampleSym,
                                  const std::vector<ModelComponent>& components, double background,
                                  const EngineRunOptions& options);

// Recalculates the pole figures {hkl[i]} of the model ODF with HODF::GetPolFig
// and writes each as a high-resolution pole figure file paths[i]. Rows above
// alphaMax degrees are set to 0 (an incomplete measurement; 90 keeps all).
// Returns 1 when every file was written.
ODFENGINE_EXPORT int WriteModelPoleFigures(double*** odf, int crystalType, const double lattice[6],
                                           double res, int sampleSym, const double hkl[][3],
                                           int nPF, const std::string paths[], double alphaMax);
// The same with a thread count and a cancel token; returns 0 when cancelled
// (files written before stay).
ODFENGINE_EXPORT int WriteModelPoleFigures(double*** odf, int crystalType, const double lattice[6],
                                           double res, int sampleSym, const double hkl[][3],
                                           int nPF, const std::string paths[], double alphaMax,
                                           const EngineRunOptions& options);

// Mean relative deviation, in percent, of q from p over the cells with
// p > 0.9 (the RP error of a recalculated pole figure), both [nAlpha][nBeta].
ODFENGINE_EXPORT double PoleFigureRpError(double** p, double** q, int nAlpha, int nBeta);

// Relative L1 distance of an ODF from a reference, in percent:
// sum w |f - m| / sum w m with the engine's volume and trapezoid weights.
ODFENGINE_EXPORT double OdfRelativeError(double*** f, double*** m, int nPhi1, int nPhi, int nPhi2,
                                         double res);

} // namespace odfengine
