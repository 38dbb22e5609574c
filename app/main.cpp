// The program: one main window per user session. A second start shows the
// running window instead of opening another.

#include "app/ui/ApplicationLifetime.h"
#include "app/ui/ApplicationServices.h"
#include "app/ui/MainWindow.h"
#include "app/ui/SingleInstance.h"

#include "platform/foundation/Diagnostics.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Every window that shows a stored value reads it: one that cannot be
    // read says so once, not once for each of them.
    foundation::setDiagnosticSink(foundation::withoutRepeats({}));
    QApplication::setApplicationName(QStringLiteral("Tessivo"));
    QApplication::setApplicationVersion(QStringLiteral(TESSIVO_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.tessivo.Tessivo"));
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("org.tessivo.Tessivo"), QIcon(QStringLiteral(":/org.tessivo.Tessivo.png"))));
    // Closing the window hides it; only Quit ends the program.
    QApplication::setQuitOnLastWindowClosed(false);

    // Quit, the session's end and termination signals save the settings
    // and end the loop; no window can refuse. In place before the program
    // can be found by its socket.
    Tessivo::ui::ApplicationLifetime lifetime;
    lifetime.handleTerminationSignals();

    Tessivo::ui::SingleInstance instance;
    if (instance.notifyRunningInstance()) return 0;
    instance.listen();

    Tessivo::ui::MainWindow window;
    QObject::connect(&instance, &Tessivo::ui::SingleInstance::activationRequested, &window,
                     &Tessivo::ui::MainWindow::bringToFront);
    Tessivo::ui::ApplicationServices services(window);
    window.show();
    services.registerLaunch();
    return app.exec();
}
