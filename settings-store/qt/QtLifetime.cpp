#include "settings-store/qt/QtLifetime.h"

#include <QObject>

namespace Defaults {

namespace {

class LifetimeOwnerHolder final : public QObject {
public:
    explicit LifetimeOwnerHolder(QObject* parent) : QObject(parent) {}
    LifetimeOwner owner;
};

} // namespace

LifetimeOwner& lifetimeOwner(QObject& object) {
    for (QObject* child : object.children())
        if (auto* holder = dynamic_cast<LifetimeOwnerHolder*>(child)) return holder->owner;
    // Owned by `object` from here on, like any child.
    auto* holder = new LifetimeOwnerHolder(&object);
    return holder->owner;
}

} // namespace Defaults
