#pragma once
// A modal format dialog that edits a display object's record in place: each
// control is bound to a field; Preview stores the controls in the record and
// asks the viewer to redraw; OK stores them and keeps them; anything else
// restores the record saved when the dialog opened.
#include <QDialog>
#include <QString>
#include <functional>
#include <vector>

class QFormLayout;
class QTabWidget;
class QLabel;
class QSlider;
class QComboBox;

namespace plotkit {

class FormatDialog : public QDialog {
  public:
    FormatDialog(const QString& title, const QString& objectName,
                 const QString& previewText = "&Preview");

    // A tab page with a form layout; controls are added to the current page.
    void Page(const QString& title);

    // Trackbar positions min..max; value = position * factor, shown with the
    // caption format (one %.1f or %.3f or %d style placeholder for the value).
    QSlider* Slider(const QString& name, const char* captionFormat, int min, int max, double factor,
                    double* field);
    QSlider* IntSlider(const QString& name, const char* captionFormat, int min, int max,
                       int* field);
    void Check(const QString& name, const QString& text, int* field);
    void DoubleEdit(const QString& name, const QString& label, const char* format, double* field);
    void IntEdit(const QString& name, const QString& label, int* field, int min, int max);
    void TextEdit(const QString& name, const QString& label, char* field, int size);
    void FontCombo(const QString& name, const QString& label, char* field, int size);
    QComboBox* IntCombo(const QString& name, const QString& label, int from, int to, int* field,
                        int step = 1);
    void Choice(const QString& name, const QString& label, const QStringList& items, int* field);
    void Info(const QString& name, const QString& text);
    // A button in the current page running an action (after applying).
    void Action(const QString& name, const QString& text, std::function<void()> action);
    // Extra load/apply steps for controls a caller builds itself.
    void Bind(std::function<void()> load, std::function<void()> apply);
    void AddRow(const QString& label, QWidget* widget);

    void Apply();
    void Load();

  private:
    QTabWidget* tabs_;
    QFormLayout* form_ = nullptr;
    std::vector<std::function<void()>> load_;
    std::vector<std::function<void()>> apply_;
};

// Opens the dialog with the record saved; restores it unless OK ends the
// dialog. Returns 1 for OK, 0 otherwise.
template <class Record> int RunFormatDialog(FormatDialog& dialog, Record& record) {
    const Record saved = record;
    dialog.Load();
    if (dialog.exec() == QDialog::Accepted) {
        dialog.Apply();
        return 1;
    }
    record = saved;
    return 0;
}

} // namespace plotkit
