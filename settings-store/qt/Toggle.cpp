#include "settings-store/qt/Toggle.h"

#include <QSignalBlocker>

namespace Defaults {

Toggle::Toggle(const QString& title, const Key<bool>& key, QWidget* parent, foundation::Executor& executor)
    : QCheckBox(title, parent), observable_(key, nullptr, executor), seen_(observable_.value()) {
    setChecked(seen_);
    QObject::connect(this, &QCheckBox::toggled, &observable_, [this](bool on) { observable_.setValue(on); });
    QObject::connect(&observable_, &ObservableBase::objectWillChange, this, [this] { refresh(); });
}

Toggle::Toggle(const Key<bool>& key, QWidget* parent, foundation::Executor& executor)
    : Toggle(QString(), key, parent, executor) {}

Toggle& Toggle::onChange(std::function<void(bool)> handler) {
    onChange_ = std::move(handler);
    return *this;
}

void Toggle::refresh() {
    const bool value = observable_.value();
    if (isChecked() != value) {
        QSignalBlocker blocker(this);
        setChecked(value);
    }
    if (value == seen_) return;
    seen_ = value;
    if (auto handler = onChange_) handler(value);
}

} // namespace Defaults
