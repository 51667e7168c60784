// "ODF Image Properties": size, levels, titles, axis names, ticks, key,
// angle ranges, the shown sections, and the volume-fraction and text-export
// dialogs.
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QString>
#include <algorithm>
#include <memory>

#include "format_dialog.h"
#include "platform/message_sink.h"
#include "plotkit/odf_structure.h"
#include "plotkit_dialogs/format_dialogs.h"
#include "plotkit_dialogs/odf_tool_dialogs.h"

namespace {

// The "Add && Delete" page: existing sections on the left, the rest on the
// right, moved with "-->" and "<--"; the last section cannot be removed.
void AddSectionLists(plotkit::FormatDialog& d, ODFInfo& r) {
    auto* box = new QWidget;
    auto* row = new QHBoxLayout(box);
    auto* existing = new QListWidget;
    existing->setObjectName("existingList");
    auto* available = new QListWidget;
    available->setObjectName("availableList");
    existing->setSelectionMode(QAbstractItemView::ExtendedSelection);
    available->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto* remove = new QPushButton("-->");
    remove->setObjectName("removeSectionButton");
    auto* add = new QPushButton("<--");
    add->setObjectName("addSectionButton");
    auto* buttons = new QWidget;
    auto* col = new QVBoxLayout(buttons);
    col->addWidget(remove);
    col->addWidget(add);
    row->addWidget(existing);
    row->addWidget(buttons);
    row->addWidget(available);
    d.AddRow("Existing:  /  Available:", box);
    auto fill = [=](const int* flags) {
        existing->clear();
        available->clear();
        for (int k = 0; k < 73; ++k) {
            auto* item = new QListWidgetItem(QString::number(k * 5));
            item->setData(Qt::UserRole, k);
            (flags[k] ? existing : available)->addItem(item);
        }
    };
    auto move = [](QListWidget* from, QListWidget* to) {
        for (QListWidgetItem* item : from->selectedItems()) {
            const int k = item->data(Qt::UserRole).toInt();
            delete from->takeItem(from->row(item));
            auto* moved = new QListWidgetItem(QString::number(k * 5));
            moved->setData(Qt::UserRole, k);
            int at = 0;
            while (at < to->count() && to->item(at)->data(Qt::UserRole).toInt() < k)
                ++at;
            to->insertItem(at, moved);
        }
    };
    QObject::connect(remove, &QPushButton::clicked, box, [=] {
        if (existing->selectedItems().size() >= existing->count()) {
            platform::ShowMessage("Can not remove all sections");
            return;
        }
        move(existing, available);
    });
    QObject::connect(add, &QPushButton::clicked, box, [=] { move(available, existing); });
    d.Bind([=, &r] { fill(r.sectionShown); },
           [=, &r] {
               std::fill(std::begin(r.sectionShown), std::end(r.sectionShown), 0);
               for (int i = 0; i < existing->count(); ++i)
                   r.sectionShown[existing->item(i)->data(Qt::UserRole).toInt()] = 1;
           });
}

} // namespace

int plotkit::OdfFormatDialog(CODFStructure& odf) {
    ODFInfo& r = odf.InfoRef();
    plotkit::FormatDialog d("ODF Image Properties", "odfFormatDialog", "PreView");

    d.Page("Size, line width && contour levels");
    d.DoubleEdit("sectionWidthEdit", "ODF section width (mm):", "%.1f", &r.sectionWidth);
    d.IntSlider("sectionsPerRowSlider", "Number of sections per row: %d", 1, 12, &r.sectionsPerRow);
    d.Info("levelsCaption", QString::asprintf("Contour levels: (max = %.3f)", r.maximum));
    for (int k = 5; k <= 9; ++k)
        d.DoubleEdit(QString("level%1Edit").arg(k), {}, "%.3f", &r.levels[k]);
    d.Slider("contourWidthSlider", "Contour line width (mm) %.1f", 1, 10, 0.1, &r.contourWidth);

    d.Page("Title font, size && alignment");
    d.Check("titleOnCheck", "Section title", &r.titleOn);
    d.FontCombo("titleFontCombo", "Font", r.titleFont, sizeof r.titleFont);
    d.IntCombo("titleFontSizeCombo", "Font size", 0, 35, &r.titleFontSize);
    d.Choice("titleAlignChoice", "Alignment", {"Left", "Centre", "Right"}, &r.titleAlign);
    d.DoubleEdit("titleSpaceEdit", "Distance from axis", "%.1f", &r.titleSpace);

    d.Page("Label font, size && axis options");
    d.Check("hNameCheck", "Horizontal axis name", &r.hNameOn);
    d.FontCombo("hNameFontCombo", "Font", r.hNameFont, sizeof r.hNameFont);
    d.IntCombo("hNameFontSizeCombo", "Font size", 0, 35, &r.hNameFontSize);
    d.DoubleEdit("hNameDistanceEdit", "Distance from axis", "%.1f", &r.hNameDistance);
    d.Check("vNameCheck", "Vertical axis name", &r.vNameOn);
    d.FontCombo("vNameFontCombo", "Font", r.vNameFont, sizeof r.vNameFont);
    d.IntCombo("vNameFontSizeCombo", "Font size", 0, 35, &r.vNameFontSize);
    d.DoubleEdit("vNameDistanceEdit", "Distance from axis", "%.1f", &r.vNameDistance);
    d.Check("showBorderCheck", "Show border", &r.showBorder);
    d.Slider("borderWidthSlider", "Border line width (mm) %.1f", 1, 10, 0.1, &r.borderWidth);
    {
        // The key flag is a double in the record; the box edits an int copy.
        auto showKey = std::make_shared<int>(1);
        d.Bind([showKey, &r] { *showKey = static_cast<int>(r.showKey + 0.5) == 1 ? 1 : 0; }, [] {});
        d.Check("showLegendCheck", "Show legend", showKey.get());
        d.Bind([] {}, [showKey, &r] { r.showKey = *showKey ? 1.0 : 0.0; });
    }
    d.FontCombo("keyFontCombo", "Font", r.keyFont, sizeof r.keyFont);
    d.IntCombo("keyFontSizeCombo", "Font size", 0, 35, &r.keyFontSize);
    d.IntCombo("hFromCombo", "Euler angle ranges: horizontal From", 0, 71, &r.hFrom);
    d.IntCombo("hToCombo", "To", 1, 72, &r.hTo);
    d.IntCombo("vFromCombo", "vertical From", 0, 35, &r.vFrom);
    d.IntCombo("vToCombo", "To", 1, 36, &r.vTo);
    {
        auto axis = std::make_shared<int>(0);
        d.Bind([axis, &r] { *axis = r.sectionAngle == 1 ? 1 : 0; }, [] {});
        d.Choice("sectionAngleChoice", "Section axis", {"phi2", "phi1"}, axis.get());
        d.Bind([] {}, [axis, &r] { r.sectionAngle = static_cast<int16_t>(*axis); });
    }

    d.Page("Add && Delete");
    AddSectionLists(d, r);

    d.Page("Tick options");
    d.Check("hTicksCheck", "Horizontal ticks", &r.hTicksOn);
    d.Check("vTicksCheck", "Vertical ticks", &r.vTicksOn);
    d.IntEdit("hTickStepEdit", "Tick every (degrees)", &r.hTickStep, 1, 360);
    d.IntEdit("vTickStepEdit", "Tick every (degrees)", &r.vTickStep, 1, 360);
    d.Slider("tickLengthSlider", "Tick length (%.1f mm)", 1, 50, 0.1, &r.tickLength);
    d.Slider("tickWidthSlider", "Tick width (%.1f mm)", 1, 10, 0.1, &r.tickWidth);
    d.FontCombo("hTickFontCombo", "Font", r.hTickFont, sizeof r.hTickFont);
    d.IntCombo("hTickFontSizeCombo", "Font size", 0, 35, &r.hTickFontSize);

    // "to" stays above "from" (a zero-width range would divide by zero).
    d.Bind([] {},
           [&r] {
               if (r.hTo <= r.hFrom)
                   r.hTo = std::min(72, r.hFrom + 1);
               if (r.vTo <= r.vFrom)
                   r.vTo = std::min(36, r.vFrom + 1);
               plotkit::CheckRecord(r);
           });
    d.Action("volFractionButton", "Vol. fraction", [&odf, &d] {
        plotkit::VolumeFractionDialog v(odf.Data(), &d);
        v.exec();
    });
    d.Action("saveTextButton", "Save as text", [&odf, &d, &r] {
        plotkit::SaveODFTextDialog t(odf.Data(), r, &d);
        t.exec();
    });
    return plotkit::RunFormatDialog(d, r);
}
