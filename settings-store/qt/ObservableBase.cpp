#include "settings-store/qt/ObservableBase.h"

namespace Defaults {

std::function<void()> ObservableBase::wakeupFor(ObservableBase* self, const std::shared_ptr<Feed>& feed,
                                                foundation::Executor& executor) {
    std::weak_ptr<Feed> weak = feed;
    foundation::Executor* target = &executor;
    // Runs on the writing thread; everything after scheduling runs on the
    // main thread, where the object is destroyed, so a live feed means a live
    // object.
    return [self, weak, target] {
        target->scheduleAfter(0, [self, weak] {
            auto alive = weak.lock();
            if (alive && alive->drain()) emit self->objectWillChange();
        });
    };
}

} // namespace Defaults
