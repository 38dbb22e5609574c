// Widgets need an application object; tests run without a display.
#include <QApplication>
#include <QThreadPool>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    const int result = RUN_ALL_TESTS();
    // Renderings still in flight must not outlive the application.
    QThreadPool::globalInstance()->waitForDone();
    return result;
}
