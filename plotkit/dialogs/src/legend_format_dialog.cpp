// "Contour Legend Format": levels, font, line length and width, layout
// style and frame.
#include <QString>

#include "format_dialog.h"
#include "plotkit/legend_map.h"
#include "plotkit_dialogs/format_dialogs.h"

int plotkit::LegendFormatDialog(CLegendMap& legend) {
    LenMap& r = legend.InfoRef();
    plotkit::FormatDialog d("Contour Legend Format", "contourLegendFormatDialog");
    d.Page("Contour levels");
    for (int k = 5; k <= 9; ++k)
        d.DoubleEdit(QString("level%1Edit").arg(k), {}, "%.2f", &r.levels[k]);
    d.Page("Font and line");
    d.FontCombo("fontCombo", "Font", r.fontName, sizeof r.fontName);
    d.IntCombo("fontSizeCombo", "Font size", 0, 35, &r.fontSize);
    d.Slider("lineLengthSlider", "Line length (mm) %.1f", 1, 50, 1.0, &r.lineLength);
    d.Slider("lineWidthSlider", "Line width (mm) %.1f", 1, 10, 0.1, &r.contourWidth);
    d.Page("Style");
    d.Choice("styleChoice", "Style", {"One column", "Two columns", "Three columns", "One row"},
             &r.style);
    d.Page("Frame");
    d.Check("showFrameCheck", "Show frame", &r.showFrame);
    d.Slider("frameWidthSlider", "Line width (mm) %.1f", 1, 10, 0.1, &r.frameWidth);
    return plotkit::RunFormatDialog(d, r);
}
