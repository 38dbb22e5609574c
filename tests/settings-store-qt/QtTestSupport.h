#pragma once

#include "settings-store/Defaults.h"
#include "tests/support/TestSupport.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

// Runs what the event loop has queued, including what that queues in turn.
inline void pumpEvents() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

struct QtSettings : ::testing::Test {
    testsupport::TempDir dir;
    Defaults::Suite suite = platform::UserDefaults::open("qt", dir.path());
    Defaults::Key<int> number{"number", 3, suite};
    Defaults::Key<bool> flag{"flag", false, suite};
};
