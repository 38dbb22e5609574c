#pragma once

// Binding a settings key to a widget. The widget shows the key's value at
// once and again, on the main thread, after every reported change (changes
// reported within one turn of the event loop give one refresh). The
// widget's own edits are written to the key. A refresh runs with the
// widget's signals blocked, so it never writes back. Releasing the binding
// ends both directions; a binding whose widget has been destroyed does
// nothing.

#include "settings-store/qt/Default.h"

#include <QPointer>
#include <QSignalBlocker>
#include <QWidget>

#include <concepts>
#include <functional>
#include <memory>
#include <string>

class QAbstractButton;
class QAbstractSlider;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QSpinBox;

namespace Defaults {

class WidgetBinding {
public:
    virtual ~WidgetBinding() = default;
    // Shows the stored value now.
    virtual void refresh() = 0;
};

template <DefaultsSerializable V, class W> class KeyWidgetBinding final : public WidgetBinding {
public:
    using Show = std::function<void(W&, const V&)>;
    using Read = std::function<V(const W&)>;

    template <class Signal>
    KeyWidgetBinding(const Key<V>& key, W* widget, Signal changed, Show show, Read read,
                     foundation::Executor& executor = mainThreadExecutor())
        : value_(key, executor), widget_(widget), show_(std::move(show)), read_(std::move(read)) {
        auto* context = &value_.observable();
        QObject::connect(context, &ObservableBase::objectWillChange, context, [this] { refresh(); });
        if (widget)
            QObject::connect(widget, changed, context, [this] {
                if (widget_) value_.setWrappedValue(read_(*widget_));
            });
        refresh();
    }

    void refresh() override {
        if (!widget_) return;
        V value = value_.wrappedValue();
        // Leave a widget that already shows the value alone (a line edit
        // being typed in keeps its cursor).
        if constexpr (std::equality_comparable<V>) {
            if (read_(*widget_) == value) return;
        }
        QSignalBlocker blocker(widget_.data());
        show_(*widget_, value);
    }

    const Default<V>& value() const { return value_; }

private:
    Default<V> value_;
    QPointer<W> widget_;
    Show show_;
    Read read_;
};

// The general form: `changed` is the widget's signal for user edits, `show`
// puts a value into the widget, `read` takes it out.
template <DefaultsSerializable V, class W, class Signal, class Show, class Read>
[[nodiscard]] std::unique_ptr<WidgetBinding> bindWidget(const Key<V>& key, W* widget, Signal changed, Show show,
                                                        Read read,
                                                        foundation::Executor& executor = mainThreadExecutor()) {
    return std::make_unique<KeyWidgetBinding<V, W>>(key, widget, changed, std::move(show), std::move(read), executor);
}

// Ready-made bindings of the usual controls.
[[nodiscard]] std::unique_ptr<WidgetBinding> bindWidget(const Key<bool>& key, QAbstractButton* checkable);
[[nodiscard]] std::unique_ptr<WidgetBinding> bindWidget(const Key<int>& key, QAbstractSlider* slider);
[[nodiscard]] std::unique_ptr<WidgetBinding> bindWidget(const Key<int>& key, QSpinBox* spinBox);
[[nodiscard]] std::unique_ptr<WidgetBinding> bindWidget(const Key<double>& key, QDoubleSpinBox* spinBox);
// The selected index.
[[nodiscard]] std::unique_ptr<WidgetBinding> bindWidget(const Key<int>& key, QComboBox* comboBox);
[[nodiscard]] std::unique_ptr<WidgetBinding> bindWidget(const Key<std::string>& key, QLineEdit* lineEdit);

} // namespace Defaults
