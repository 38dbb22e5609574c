// The presets menu, the export actions, the update dialog and the
// mailing-list prompt, driven as a user would on the offscreen platform.
#include "support/TestSupport.h"

#include <QApplication>
#include <QThreadPool>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    testsupport::TempDir config;
    setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    const int result = RUN_ALL_TESTS();
    QThreadPool::globalInstance()->waitForDone();
    return result;
}
