#pragma once
// Turns a texture data file into a drawn figure: the display object the
// viewer would show for it (pole figure, ODF sections, inverse pole figure,
// GBCD chart) with the contour legend beside it, rendered headless to PNG,
// BMP, JPEG, SVG or PDF.
#include <memory>
#include <string>
#include <vector>

#include <QImage>

#include "plotkit/display_structure.h"

namespace figurerender {

enum class Family { Auto, PoleFigure, ODF, InversePoleFigure, GBCD };

struct Options {
    int dpi = 300;           // output resolution; sets the drawing scale
    bool legend = true;      // contour legend beside contoured figures
    int sectionsPerRow = 0;  // ODF sections per row; 0 keeps the default
    bool blackWhite = false; // every line and text in black
    // Contour levels by hand (1 to 10 finite values, drawn in ascending
    // order); empty for the automatic levels.
    std::vector<double> levels;
    // Top of the automatic levels (above 1): the levels run from 1 towards
    // it as they do from 1 towards the data's top. 0 takes the data's top:
    // the maximum of a pole figure or inverse pole figure, the robust top
    // (ODFLevelTop) of an ODF.
    double top = 0;
};

// "" when options.levels and options.top can be used, else why not.
std::string CheckLevelOptions(const Options& options);

// Fraction of the orientation-space volume below the robust top of an ODF.
inline constexpr double kODFTopFraction = 0.995;

// Robust top of the ODF f[phi2][Phi][phi1] (5 degree grid) over the region
// phi1 0..5*phi1To, Phi 0..5*PhiTo, phi2 0..5*phi2To degrees: the value
// below which kODFTopFraction of the region's volume lies, each cell
// weighted by its volume (sin Phi dPhi, half cells on the region's edges).
// A sharp spike at Phi = 0, where the cells have almost no volume, does not
// move it. Returns the maximum when the region has no volume.
double ODFLevelTop(const double f[73][37][73], int phi1To, int PhiTo, int phi2To);

struct Figure {
    std::vector<std::unique_ptr<CDisplayStructure>> objects; // drawn in order
    bool hasLegend = false; // the last object is the legend of the first
};

// The 10-colour contour table the figures use (levels 5..9 blue to red).
const COLORREF* ContourColours();

// Pixels per drawing unit (279.4/200 mm) at a resolution, at least 1.
int ScaleForDpi(int dpi);

// Reads the file and builds its display objects; 0 with *error on failure.
int BuildFigure(const std::string& input, Family family, const Options& options, Figure* figure,
                std::string* error);

// Renders the figure on white with a 5 mm margin; the image carries the dpi.
QImage RenderFigureImage(Figure& figure, const Options& options);

// Reads, draws and writes by the output's extension (.png .bmp .jpg .jpeg
// .svg .pdf). The output appears only when complete. 1 on success, 0 with
// *error set.
int RenderFigureFile(const std::string& input, const std::string& output, const Options& options,
                     std::string* error, Family family = Family::Auto);

} // namespace figurerender
