#include "settings-store/qt/MainThreadExecutor.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QTimer>

#include <cmath>
#include <limits>

namespace Defaults {

void MainThreadExecutor::scheduleAfter(double delaySeconds, Task task) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || !task) return;
    int milliseconds = 0;
    if (std::isfinite(delaySeconds) && delaySeconds > 0)
        milliseconds = int(std::min(std::ceil(delaySeconds * 1000.0), double(std::numeric_limits<int>::max())));
    if (milliseconds == 0) {
        QMetaObject::invokeMethod(app, std::move(task), Qt::QueuedConnection);
        return;
    }
    // Timers belong to the main thread: start it there.
    QMetaObject::invokeMethod(
        app,
        [milliseconds, task = std::move(task)] {
            QTimer::singleShot(milliseconds, QCoreApplication::instance(), task);
        },
        Qt::QueuedConnection);
}

foundation::Executor& mainThreadExecutor() {
    static MainThreadExecutor executor;
    return executor;
}

} // namespace Defaults
