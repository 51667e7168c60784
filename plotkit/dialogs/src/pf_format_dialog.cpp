// "Pole Figure Format": size, line widths, contour levels, labels, border,
// axes, font and the index text of a pole figure.
#include <QString>

#include "format_dialog.h"
#include "plotkit/pf_structure.h"
#include "plotkit_dialogs/format_dialogs.h"

int plotkit::PoleFigureFormatDialog(CPFStructure& pf) {
    PFInfo& r = pf.InfoRef();
    plotkit::FormatDialog d("Pole Figure Format", "poleFigureFormatDialog");
    d.Page("Format");
    d.Slider("radiusSlider", "Size of pole figure in radius (%.1f mm)", 1, 100, 2.0, &r.radius);
    d.Slider("contourWidthSlider", "Contour line width (%.1f mm)", 1, 10, 0.1, &r.contourWidth);
    d.Slider("borderWidthSlider", "Border line width (%.1f mm)", 1, 10, 0.1, &r.borderWidth);
    d.Slider("axisWidthSlider", "Axis line width (%.1f mm)", 1, 10, 0.1, &r.axisWidth);
    d.Info("levelsCaption", QString::asprintf("Contour Levels: (%.3f)", r.maximum));
    for (int k = 5; k <= 9; ++k)
        d.DoubleEdit(QString("level%1Edit").arg(k), {}, "%.3f", &r.levels[k]);
    d.Check("showLabelsCheck", "Show Labels", &r.showLabels);
    d.Check("showBorderCheck", "Show border", &r.showBorder);
    d.Check("showAxesCheck", "Show Axes", &r.showAxes);
    d.FontCombo("fontCombo", "Font", r.fontName, sizeof r.fontName);
    d.IntCombo("fontSizeCombo", "Font size", 0, 35, &r.fontSize);
    d.TextEdit("indexTextEdit", "Pole figure type", r.indexText, sizeof r.indexText);
    d.Info("fileInfo", QString("  File Info.:   ") + r.fileName + "  pole figure");
    return plotkit::RunFormatDialog(d, r);
}
