// Every application suite keeps its settings in a fresh folder, never the
// user's own; the services (clipboard, URL handlers) and the widgets get an
// application object on the offscreen platform.
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

#if defined(APP_TEST_WIDGETS)
#include <QApplication>
#include <QThreadPool>
using TestApplication = QApplication;
#elif defined(APP_TEST_GUI)
#include <QGuiApplication>
#include <QThreadPool>
using TestApplication = QGuiApplication;
#endif

int main(int argc, char** argv) {
    testsupport::TempDir config;
    setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    ::testing::InitGoogleTest(&argc, argv);
#if defined(APP_TEST_WIDGETS) || defined(APP_TEST_GUI)
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    TestApplication app(argc, argv);
    const int result = RUN_ALL_TESTS();
    QThreadPool::globalInstance()->waitForDone();
    return result;
#else
    return RUN_ALL_TESTS();
#endif
}
