#include "settings-store/qt/WidgetBinding.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSpinBox>

namespace Defaults {

std::unique_ptr<WidgetBinding> bindWidget(const Key<bool>& key, QAbstractButton* checkable) {
    if (checkable) checkable->setCheckable(true);
    return bindWidget(
        key, checkable, &QAbstractButton::toggled, [](QAbstractButton& b, bool on) { b.setChecked(on); },
        [](const QAbstractButton& b) { return b.isChecked(); });
}

std::unique_ptr<WidgetBinding> bindWidget(const Key<int>& key, QAbstractSlider* slider) {
    return bindWidget(
        key, slider, &QAbstractSlider::valueChanged, [](QAbstractSlider& s, int v) { s.setValue(v); },
        [](const QAbstractSlider& s) { return s.value(); });
}

std::unique_ptr<WidgetBinding> bindWidget(const Key<int>& key, QSpinBox* spinBox) {
    return bindWidget(
        key, spinBox, &QSpinBox::valueChanged, [](QSpinBox& s, int v) { s.setValue(v); },
        [](const QSpinBox& s) { return s.value(); });
}

std::unique_ptr<WidgetBinding> bindWidget(const Key<double>& key, QDoubleSpinBox* spinBox) {
    return bindWidget(
        key, spinBox, &QDoubleSpinBox::valueChanged, [](QDoubleSpinBox& s, double v) { s.setValue(v); },
        [](const QDoubleSpinBox& s) { return s.value(); });
}

std::unique_ptr<WidgetBinding> bindWidget(const Key<int>& key, QComboBox* comboBox) {
    return bindWidget(
        key, comboBox, &QComboBox::currentIndexChanged, [](QComboBox& c, int index) { c.setCurrentIndex(index); },
        [](const QComboBox& c) { return c.currentIndex(); });
}

std::unique_ptr<WidgetBinding> bindWidget(const Key<std::string>& key, QLineEdit* lineEdit) {
    return bindWidget(
        key, lineEdit, &QLineEdit::textEdited,
        [](QLineEdit& e, const std::string& text) { e.setText(QString::fromStdString(text)); },
        [](const QLineEdit& e) { return e.text().toStdString(); });
}

} // namespace Defaults
