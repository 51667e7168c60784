#pragma once
// The two tool dialogs of the ODF format dialog: the volume fraction of an
// Euler-angle box and the text export of the ODF.
#include <QDialog>
#include <string>

#include "plotkit/odf_structure.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace plotkit {

class VolumeFractionDialog : public QDialog {
  public:
    VolumeFractionDialog(const double (*odf)[37][73], QWidget* parent = nullptr);
    // The fraction for the dialog's current choices (also shown).
    double Calculate();

  private:
    const double (*odf_)[37][73];
    QComboBox* mode_;
    QComboBox* from_[3];
    QComboBox* to_[3];
    QLineEdit* threshold_;
    QLabel* result_;
};

class SaveODFTextDialog : public QDialog {
  public:
    SaveODFTextDialog(const double (*odf)[37][73], const ODFInfo& info, QWidget* parent = nullptr);
    // Writes the ODF up to the chosen indices; "Can not save text ODF file"
    // through the message sink on failure. 1 on success.
    int Save(const std::string& path);

  private:
    const double (*odf_)[37][73];
    const ODFInfo& info_;
    QComboBox* upTo_[3];
};

} // namespace plotkit
