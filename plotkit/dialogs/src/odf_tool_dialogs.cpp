#include "plotkit_dialogs/odf_tool_dialogs.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cstring>

#include "dataformats/odf.h"
#include "orimath/grid.h"
#include "platform/message_sink.h"

namespace plotkit {

namespace {
QComboBox* IndexCombo(const QString& name, int last, int current) {
    auto* c = new QComboBox;
    c->setObjectName(name);
    for (int k = 0; k <= last; ++k)
        c->addItem(QString::number(k * 5), k);
    c->setCurrentIndex(current);
    return c;
}
} // namespace

VolumeFractionDialog::VolumeFractionDialog(const double (*odf)[37][73], QWidget* parent)
    : QDialog(parent), odf_(odf) {
    setWindowTitle("Orientation volume fraction");
    setObjectName("volumeFractionDialog");
    auto* form = new QFormLayout(this);
    mode_ = new QComboBox;
    mode_->setObjectName("modeCombo");
    mode_->addItems({"Select orientations within Euler angle range of",
                     "Select orientations with intensity higher than", "Both"});
    form->addRow(mode_);
    const char* names[3] = {"phi1", "Phi", "phi2"};
    const int last[3] = {72, 36, 72};
    for (int a = 0; a < 3; ++a) {
        from_[a] = IndexCombo(QString(names[a]) + "FromCombo", last[a], 0);
        to_[a] = IndexCombo(QString(names[a]) + "ToCombo", last[a], last[a]);
        form->addRow(QString(names[a]) + " from", from_[a]);
        form->addRow(QString(names[a]) + " to", to_[a]);
    }
    threshold_ = new QLineEdit("0");
    threshold_->setObjectName("thresholdEdit");
    form->addRow("Intensity", threshold_);
    result_ = new QLabel;
    result_->setObjectName("resultLabel");
    form->addRow(result_);
    auto* calc = new QPushButton("Ca&lculate");
    calc->setObjectName("calculateButton");
    auto* close = new QPushButton("&Close");
    close->setObjectName("closeButton");
    form->addRow(calc, close);
    connect(calc, &QPushButton::clicked, this, [this] { Calculate(); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

double VolumeFractionDialog::Calculate() {
    const int mode = mode_->currentIndex();
    int lo[3], hi[3];
    for (int a = 0; a < 3; ++a) {
        lo[a] = from_[a]->currentData().toInt();
        hi[a] = to_[a]->currentData().toInt();
        if (hi[a] < lo[a])
            std::swap(lo[a], hi[a]);
    }
    double threshold = threshold_->text().toDouble();
    if (mode == 0)
        threshold = 0.0;
    if (mode == 1) {
        lo[0] = lo[1] = lo[2] = 0;
        hi[0] = 72, hi[1] = 36, hi[2] = 72;
    }
    const double f = ODFVolumeFraction(odf_, lo[0], hi[0], lo[1], hi[1], lo[2], hi[2], threshold);
    result_->setText(QString::asprintf(
        "The volume fraction of the orientations within the selected range is: %.6f", f));
    return f;
}

SaveODFTextDialog::SaveODFTextDialog(const double (*odf)[37][73], const ODFInfo& info,
                                     QWidget* parent)
    : QDialog(parent), odf_(odf), info_(info) {
    setWindowTitle("Save ODF as ASCII file");
    setObjectName("saveOdfTextDialog");
    auto* form = new QFormLayout(this);
    const char* names[3] = {"phi1", "Phi", "phi2"};
    const int last[3] = {72, 36, 72};
    for (int a = 0; a < 3; ++a) {
        upTo_[a] = IndexCombo(QString(names[a]) + "UpToCombo", last[a], last[a]);
        form->addRow(QString(names[a]) + " Up to", upTo_[a]);
    }
    auto* save = new QPushButton("Save");
    save->setObjectName("saveButton");
    form->addRow(save);
    connect(save, &QPushButton::clicked, this, [this] {
        const QString path =
            QFileDialog::getSaveFileName(this, "Save ODF as ASCII file", {},
                                         "ASCII Files(*.TXT) (*.TXT *.txt);;All Files (*.*) (*)");
        if (path.isEmpty())
            return;
        if (Save(path.toStdString()))
            accept();
    });
}

int SaveODFTextDialog::Save(const std::string& path) {
    const int nPhi1 = upTo_[0]->currentData().toInt() + 1;
    const int nPhi = upTo_[1]->currentData().toInt() + 1;
    const int nPhi2 = upTo_[2]->currentData().toInt() + 1;
    auto grid = orimath::TryGrid<double>({.phi1 = nPhi1, .Phi = nPhi, .phi2 = nPhi2});
    int ok = 0;
    if (grid) {
        for (int k = 0; k < nPhi2; ++k)
            for (int i = 0; i < nPhi; ++i)
                for (int j = 0; j < nPhi1; ++j)
                    (*grid)[k][i][j] = odf_[k][i][j];
        RawHODFInfo raw{};
        raw.crystalType = info_.crystalType;
        std::memcpy(raw.lattice, info_.lattice, sizeof raw.lattice);
        raw.resolution = 5.0;
        std::strncpy(raw.path, path.c_str(), sizeof raw.path - 1);
        ok =
            path.size() < sizeof raw.path ? SaveTTOFile(&raw, grid->Tree(), nPhi1, nPhi, nPhi2) : 0;
    }
    if (!ok)
        platform::ShowMessage("Can not save text ODF file");
    return ok;
}

} // namespace plotkit
