#pragma once

#include "settings-store/Lifetime.h"

class QObject;

namespace Defaults {

// The tracker list attached to a Qt object, made on first use and destroyed
// with the object (as a hidden child), so that
// `observation->bindLifetime(lifetimeOwner(*window))` ends the observation
// when the window goes away. Main thread only.
LifetimeOwner& lifetimeOwner(QObject& object);

} // namespace Defaults
