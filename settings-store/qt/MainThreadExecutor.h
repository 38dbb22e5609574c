#pragma once

#include "platform/foundation/Executor.h"

namespace Defaults {

// Runs tasks on the thread of the application object (the main thread),
// from the event loop. Safe to call from any thread. Without an application
// object the task is dropped.
class MainThreadExecutor final : public foundation::Executor {
public:
    void scheduleAfter(double delaySeconds, Task task) override;
};

// The process's one main-thread executor.
foundation::Executor& mainThreadExecutor();

} // namespace Defaults
