// "GBCD Plot Format": size, border, ticks, bars, the random-boundary mark,
// the x title and the two distributions.
#include <QString>

#include "format_dialog.h"
#include "plotkit/gbcd_structure.h"
#include "plotkit_dialogs/format_dialogs.h"

int plotkit::GbcdFormatDialog(CGBCDStructure& gbcd) {
    GBCDInfo& r = gbcd.InfoRef();
    plotkit::FormatDialog d("GBCD Plot Format", "gbcdFormatDialog", "Preview");
    d.Page("Size");
    d.Slider("heightSlider", "Image height %.1f mm", 10, 300, 1.0, &r.height);
    d.Slider("widthSlider", "Image width %.1f mm", 10, 300, 1.0, &r.width);
    d.Page("Border");
    d.Check("showBorderCheck", "Show border", &r.showBorder);
    d.Slider("borderWidthSlider", "Border line width %.1f mm", 1, 10, 0.1, &r.borderWidth);
    d.Page("Tick options");
    d.Slider("tickLengthSlider", "Tick length %.1f mm", 1, 50, 0.1, &r.tickLength);
    d.Slider("tickWidthSlider", "Tick Width %.1f mm", 1, 10, 0.1, &r.tickWidth);
    d.Check("showYLabelsCheck", "Show y axis label", &r.showYLabels);
    d.FontCombo("yFontCombo", "Font", r.yLabelFont, sizeof r.yLabelFont);
    d.IntCombo("yFontSizeCombo", "Font size", 0, 35, &r.yLabelFontSize);
    d.IntEdit("yMaxEdit", "y axis (percentage)", &r.yMax, 1, 100);
    d.IntEdit("yEveryEdit", "Frequency (every)", &r.yLabelEvery, 1, 100);
    d.Page("Bar Style");
    d.Slider("barWidthSlider", "Bar width %.0f mm", 1, 20, 1.0, &r.barWidth);
    d.Slider("barLineWidthSlider", "Bar line width %.1f mm", 1, 10, 0.1, &r.barLineWidth);
    d.Check("solidBarCheck", "Solid bar", &r.solidBar);
    d.Page("Mark");
    d.Check("showRandomMarkCheck", "Show random GB", &r.showRandomMark);
    d.FontCombo("valueFontCombo", "Font", r.valueFont, sizeof r.valueFont);
    d.IntCombo("valueFontSizeCombo", "Font size", 0, 35, &r.valueFontSize);
    d.Page("x title");
    d.Check("showTitleCheck", "Show x axis title", &r.showTitle);
    d.FontCombo("titleFontCombo", "Font", r.titleFont, sizeof r.titleFont);
    d.IntCombo("titleFontSizeCombo", "Font size", 0, 35, &r.titleFontSize);
    d.Slider("titleDistanceSlider", "Distance from axis: %.1f mm", 1, 100, 0.5, &r.titleDistance);
    d.Page("x axis (mis-orientation and/or CSL distribution chart)");
    d.Check("showMisCheck", "Show mis-orientation distribution", &r.showMis);
    d.Check("showCSLCheck", "Show CSL distribution", &r.showCSL);
    d.Check("showXLabelsCheck", "Show x axis label", &r.showXLabels);
    d.FontCombo("xFontCombo", "Font", r.xLabelFont, sizeof r.xLabelFont);
    d.IntCombo("xFontSizeCombo", "Font size", 0, 35, &r.xLabelFontSize);
    d.IntCombo("misFromCombo", "From", 0, 179, &r.misFrom);
    d.IntCombo("misToCombo", "To", 1, 180, &r.misTo);
    d.IntCombo("misBinCombo", "Every", 1, 45, &r.misBin);
    d.IntCombo("cslFirstCombo", "From", 0, 50, &r.cslFirst);
    d.IntCombo("cslLastCombo", "To", 0, 50, &r.cslLast);
    d.Check("showRandomBarCheck", "Show random GB", &r.showRandomBar);
    d.Info("fileInfo", QString("File Info: ") + r.crystal);
    // Keep the ranges drawable whatever the boxes say.
    d.Bind([] {}, [&r] { plotkit::CheckRecord(r); });
    return plotkit::RunFormatDialog(d, r);
}
