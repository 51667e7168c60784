#include "format_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform_qt/fonts.h"
#include "plotkit/display_common.h"

namespace plotkit {

namespace {
QString Caption(const char* format, double value, bool integer) {
    char buf[160];
    if (integer)
        std::snprintf(buf, sizeof buf, format, static_cast<int>(value));
    else
        std::snprintf(buf, sizeof buf, format, value);
    return QString::fromUtf8(buf);
}
} // namespace

FormatDialog::FormatDialog(const QString& title, const QString& objectName,
                           const QString& previewText) {
    setWindowTitle(title);
    setObjectName(objectName);
    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName("tabs");
    layout->addWidget(tabs_);
    auto* buttons = new QDialogButtonBox(this);
    auto* preview = buttons->addButton(previewText, QDialogButtonBox::ApplyRole);
    preview->setObjectName("previewButton");
    auto* ok = buttons->addButton(QDialogButtonBox::Ok);
    ok->setObjectName("okButton");
    auto* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName("cancelButton");
    layout->addWidget(buttons);
    connect(preview, &QPushButton::clicked, this, [this] {
        Apply();
        RequestPreview();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void FormatDialog::Page(const QString& title) {
    auto* page = new QWidget(tabs_);
    form_ = new QFormLayout(page);
    tabs_->addTab(page, title);
}

void FormatDialog::AddRow(const QString& label, QWidget* widget) {
    if (!form_)
        Page(tr("Format"));
    if (label.isEmpty())
        form_->addRow(widget);
    else
        form_->addRow(label, widget);
}

void FormatDialog::Bind(std::function<void()> load, std::function<void()> apply) {
    load_.push_back(std::move(load));
    apply_.push_back(std::move(apply));
}

void FormatDialog::Apply() {
    for (auto& f : apply_)
        f();
}
void FormatDialog::Load() {
    for (auto& f : load_)
        f();
}

QSlider* FormatDialog::Slider(const QString& name, const char* captionFormat, int min, int max,
                              double factor, double* field) {
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setObjectName(name);
    slider->setRange(min, max);
    auto* caption = new QLabel;
    caption->setObjectName(name + "Caption");
    const std::string format = captionFormat;
    auto update = [=] {
        caption->setText(Caption(format.c_str(), slider->value() * factor, false));
    };
    connect(slider, &QSlider::valueChanged, caption, update);
    AddRow({}, caption);
    AddRow({}, slider);
    Bind(
        [=] {
            slider->setValue(std::clamp(static_cast<int>(std::lround(*field / factor)), min, max));
            update();
        },
        [=] { *field = slider->value() * factor; });
    return slider;
}

QSlider* FormatDialog::IntSlider(const QString& name, const char* captionFormat, int min, int max,
                                 int* field) {
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setObjectName(name);
    slider->setRange(min, max);
    auto* caption = new QLabel;
    const std::string format = captionFormat;
    auto update = [=] { caption->setText(Caption(format.c_str(), slider->value(), true)); };
    connect(slider, &QSlider::valueChanged, caption, update);
    AddRow({}, caption);
    AddRow({}, slider);
    Bind(
        [=] {
            slider->setValue(std::clamp(*field, min, max));
            update();
        },
        [=] { *field = slider->value(); });
    return slider;
}

void FormatDialog::Check(const QString& name, const QString& text, int* field) {
    auto* box = new QCheckBox(text);
    box->setObjectName(name);
    AddRow({}, box);
    Bind([=] { box->setChecked(*field != 0); }, [=] { *field = box->isChecked() ? 1 : 0; });
}

void FormatDialog::DoubleEdit(const QString& name, const QString& label, const char* format,
                              double* field) {
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    AddRow(label, edit);
    const std::string f = format;
    Bind([=] { edit->setText(Caption(f.c_str(), *field, false)); },
         // Text that is not a number reads as 0, as a plain conversion does.
         [=] { *field = std::atof(edit->text().toLocal8Bit().constData()); });
}

void FormatDialog::IntEdit(const QString& name, const QString& label, int* field, int min,
                           int max) {
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    AddRow(label, edit);
    Bind([=] { edit->setText(QString::number(*field)); },
         [=] { *field = std::clamp(edit->text().toInt(), min, max); });
}

void FormatDialog::TextEdit(const QString& name, const QString& label, char* field, int size) {
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    edit->setMaxLength(size - 1);
    AddRow(label, edit);
    Bind([=] { edit->setText(QString::fromStdString(TextOf(field, size))); },
         [=] { CopyText(field, size, edit->text().toStdString()); });
}

void FormatDialog::FontCombo(const QString& name, const QString& label, char* field, int size) {
    auto* combo = new QComboBox;
    combo->setObjectName(name);
    for (const std::string& face : GetAvailableFontName())
        combo->addItem(QString::fromStdString(face));
    AddRow(label, combo);
    Bind(
        [=] {
            const QString face = QString::fromStdString(TextOf(field, size));
            if (combo->findText(face) < 0)
                combo->addItem(face);
            combo->setCurrentText(face);
        },
        [=] { CopyText(field, size, combo->currentText().toStdString()); });
}

QComboBox* FormatDialog::IntCombo(const QString& name, const QString& label, int from, int to,
                                  int* field, int step) {
    auto* combo = new QComboBox;
    combo->setObjectName(name);
    for (int v = from; v <= to; v += step)
        combo->addItem(QString::asprintf("%d", v), v);
    AddRow(label, combo);
    Bind(
        [=] {
            const int i = combo->findData(*field);
            combo->setCurrentIndex(i >= 0 ? i : 0);
        },
        [=] { *field = combo->currentData().toInt(); });
    return combo;
}

void FormatDialog::Choice(const QString& name, const QString& label, const QStringList& items,
                          int* field) {
    auto* combo = new QComboBox;
    combo->setObjectName(name);
    combo->addItems(items);
    AddRow(label, combo);
    Bind([=] { combo->setCurrentIndex(std::clamp(*field, 0, int(items.size()) - 1)); },
         [=] { *field = combo->currentIndex(); });
}

void FormatDialog::Info(const QString& name, const QString& text) {
    auto* label = new QLabel(text);
    label->setObjectName(name);
    AddRow({}, label);
}

void FormatDialog::Action(const QString& name, const QString& text, std::function<void()> action) {
    auto* button = new QPushButton(text);
    button->setObjectName(name);
    AddRow({}, button);
    connect(button, &QPushButton::clicked, this, [this, action] {
        Apply();
        action();
    });
}

} // namespace plotkit
