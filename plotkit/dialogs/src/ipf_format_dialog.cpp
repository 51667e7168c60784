// "Inverse Pole Figure Format": form, sizes, line widths, contour levels,
// labels, border and axes.
#include <QString>

#include "format_dialog.h"
#include "plotkit/ipf_structure.h"
#include "plotkit_dialogs/format_dialogs.h"

int plotkit::InversePoleFigureFormatDialog(CIPFStructure& ipf) {
    IPFInfo& r = ipf.InfoRef();
    plotkit::FormatDialog d("Inverse Pole Figure Format", "inversePoleFigureFormatDialog");
    d.Page("Format");
    d.Choice("formChoice", {},
             {"Show complete inverse pole figure", "Show a triangle (for cubic system only )"},
             &r.form);
    d.Slider("radiusSlider", "Size of image (radius in mm) %.1f", 1, 100, 2.0, &r.radius);
    d.Slider("triangleSlider", "Triangle size %.1f mm", 1, 100, 2.0, &r.triangleSize);
    d.Slider("contourWidthSlider", "Contour line width (mm) %.1f", 1, 10, 0.1, &r.contourWidth);
    d.Info("levelsCaption", "Contour Levels:");
    for (int k = 5; k <= 9; ++k)
        d.DoubleEdit(QString("level%1Edit").arg(k), {}, "%.3f", &r.levels[k]);
    d.Check("showLabelsCheck", "Show Labels", &r.showLabels);
    d.FontCombo("fontCombo", "Font", r.fontName, sizeof r.fontName);
    d.IntCombo("fontSizeCombo", "Font size", 0, 35, &r.fontSize);
    d.Check("showBorderCheck", "Show border", &r.showBorder);
    d.Slider("borderWidthSlider", "Border line width (mm) %.1f", 1, 10, 0.1, &r.borderWidth);
    d.Check("showAxesCheck", "Show Axes", &r.showAxes);
    d.Slider("axisWidthSlider", "Axis line width (mm) %.1f", 1, 10, 0.1, &r.axisWidth);
    d.TextEdit("textEdit", "Text", r.text2, sizeof r.text2);
    return plotkit::RunFormatDialog(d, r);
}
