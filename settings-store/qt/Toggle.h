#pragma once

// A check box bound to a Boolean key, with an optional handler that runs
// with the new value each time the stored value has changed (from the box
// itself or from anywhere else), on the main thread after the change; not
// for the value shown at first.

#include "settings-store/qt/Observable.h"

#include <QCheckBox>
#include <QString>

#include <functional>

namespace Defaults {

class Toggle : public QCheckBox {
public:
    Toggle(const QString& title, const Key<bool>& key, QWidget* parent = nullptr,
           foundation::Executor& executor = mainThreadExecutor());
    explicit Toggle(const Key<bool>& key, QWidget* parent = nullptr,
                    foundation::Executor& executor = mainThreadExecutor());

    // Replaces any earlier handler.
    Toggle& onChange(std::function<void(bool)> handler);

    Observable<bool>& observable() { return observable_; }

private:
    void refresh();

    Observable<bool> observable_;
    std::function<void(bool)> onChange_;
    bool seen_;
};

} // namespace Defaults
