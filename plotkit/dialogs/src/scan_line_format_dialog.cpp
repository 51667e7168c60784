// "Format Scatter Line ": chart size, line and border widths, marks, line
// visibility and deletion, axis ranges and ticks, fonts.
#include <QCheckBox>
#include <QComboBox>
#include <QMessageBox>
#include <QString>

#include "format_dialog.h"
#include "plotkit/scan_line.h"
#include "plotkit_dialogs/format_dialogs.h"

// Deleting a line changes the data at once; CScanLine::OnFormat brings the
// data back when the dialog is cancelled, RunFormatDialog the record.
int plotkit::ScanLineFormatDialog(CScanLine& line) {
    ScanLineInfo& r = line.InfoRef();
    plotkit::FormatDialog d("Format Scatter Line ", "scanLineFormatDialog");
    d.Page("Size and lines");
    d.DoubleEdit("heightEdit", "Image height (mm):", "%.1f", &r.height);
    d.DoubleEdit("widthEdit", "Image width (mm):", "%.1f", &r.width);
    d.DoubleEdit("lineWidthEdit", "Line width (mm):", "%.1f", &r.lineWidth);
    d.Check("showBorderCheck", "Show border", &r.showBorder);
    d.DoubleEdit("borderWidthEdit", "Border line width (mm):", "%.1f", &r.borderWidth);
    d.Check("showMarksCheck", "Show marks", &r.showMarks);
    d.DoubleEdit("markSizeEdit", "Mark size (mm):", "%.1f", &r.markSize);
    const int n = r.lineCount < 0 ? 0 : (r.lineCount > 10 ? 10 : r.lineCount);
    for (int k = 0; k < n; ++k)
        d.Check(QString("visible%1Check").arg(k), QString("Visible: %1").arg(r.names[k]),
                &r.visible[k]);
    auto* selector = new QComboBox;
    selector->setObjectName("lineSelector");
    d.AddRow("Line", selector);
    // Line names and the selector follow the lines that are left.
    auto refreshLines = [&d, &r, selector, n] {
        const int count = r.lineCount < 0 ? 0 : (r.lineCount > 10 ? 10 : r.lineCount);
        selector->clear();
        for (int k = 0; k < count; ++k)
            selector->addItem(QString("%1: %2").arg(k + 1).arg(r.names[k]));
        for (int k = 0; k < n; ++k) {
            auto* box = d.findChild<QCheckBox*>(QString("visible%1Check").arg(k));
            if (box == nullptr)
                continue;
            box->setText(QString("Visible: %1").arg(r.names[k]));
            box->setVisible(k < count);
        }
    };
    refreshLines();
    d.Action("deleteLineButton", "Delete this line", [&line, &d, selector, refreshLines] {
        const int k = selector->currentIndex();
        if (k < 0)
            return;
        const auto answer = QMessageBox::question(&d, "Format Scatter Line ",
                                                  QString::asprintf("Delete line %d", k + 1));
        if (answer != QMessageBox::Yes)
            return;
        line.DeleteLine(k);
        d.Load();
        refreshLines();
    });
    d.Page("x axis");
    d.DoubleEdit("xFromEdit", "From", "%.2f", &r.xFrom);
    d.DoubleEdit("xToEdit", "To", "%.2f", &r.xTo);
    d.DoubleEdit("xStepEdit", "Tick every", "%.2f", &r.xStep);
    d.DoubleEdit("xTickLengthEdit", "Tick length (mm)", "%.1f", &r.xTickLength);
    d.DoubleEdit("xTickWidthEdit", "Tick width (mm)", "%.1f", &r.xTickWidth);
    d.Check("showXLabelsCheck", "Visible", &r.showXLabels);
    d.FontCombo("xFontCombo", "Font", r.xLabelFont, sizeof r.xLabelFont);
    d.IntCombo("xFontSizeCombo", "Font size", 0, 35, &r.xLabelFontSize);
    d.Page("y axis");
    d.DoubleEdit("yFromEdit", "From", "%.2f", &r.yFrom);
    d.DoubleEdit("yToEdit", "To", "%.2f", &r.yTo);
    d.DoubleEdit("yStepEdit", "Tick every", "%.2f", &r.yStep);
    d.DoubleEdit("yTickLengthEdit", "Tick length (mm)", "%.1f", &r.yTickLength);
    d.DoubleEdit("yTickWidthEdit", "Tick width (mm)", "%.1f", &r.yTickWidth);
    d.Check("showYLabelsCheck", "Visible", &r.showYLabels);
    d.FontCombo("yFontCombo", "Font", r.yLabelFont, sizeof r.yLabelFont);
    d.IntCombo("yFontSizeCombo", "Font size", 0, 35, &r.yLabelFontSize);
    d.DoubleEdit("labelDistanceEdit", "Distance from axes (mm)", "%.1f", &r.labelDistance);
    // Steps and ranges stay drawable (a zero step would never end a tick loop).
    d.Bind([] {}, [&r] { plotkit::CheckRecord(r); });
    return plotkit::RunFormatDialog(d, r);
}
