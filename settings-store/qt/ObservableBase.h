#pragma once

// The signal side of Observable<V> (a class template cannot declare signals).

#include "platform/foundation/Executor.h"

#include <QObject>

#include <functional>
#include <memory>

namespace Defaults {

class ObservableBase : public QObject {
    Q_OBJECT
public:
    explicit ObservableBase(QObject* parent = nullptr) : QObject(parent) {}

signals:
    void objectWillChange();

protected:
    // Sends one signal for what has arrived since the last one.
    class Feed {
    public:
        virtual ~Feed() = default;
        virtual bool drain() = 0; // whether anything had arrived
    };
    // Hands the feed to the executor: whenever the feed has something, one
    // task drains it and signals, unless this object or the feed is gone.
    static std::function<void()> wakeupFor(ObservableBase* self, const std::shared_ptr<Feed>& feed,
                                           foundation::Executor& executor);
};

} // namespace Defaults
