// Presets, export, clipboard and network services. The clipboard and the
// URL handlers need a GUI application (offscreen); the settings go to a
// fresh folder so no test touches the user's own.
#include "support/TestSupport.h"

#include <QGuiApplication>
#include <QThreadPool>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    testsupport::TempDir config;
    setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QGuiApplication app(argc, argv);
    const int result = RUN_ALL_TESTS();
    QThreadPool::globalInstance()->waitForDone();
    return result;
}
