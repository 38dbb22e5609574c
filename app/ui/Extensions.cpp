#include "app/ui/Extensions.h"

#include "app/core/MainWindowState.h"
#include "app/ui/DesignPanel.h"
#include "app/ui/ExportActions.h"
#include "app/ui/MainWindow.h"
#include "app/ui/PresetsMenu.h"
#include "app/ui/SettingsWindow.h"

#include <QAction>
#include <QPointer>
#include <QWidget>

namespace Tessivo::ui {

QWidget* makeDesignPanel(MainWindow& window, QWidget* parent) {
    auto* panel = new DesignPanel(window.state().shapes, parent);
    // The logo is window state, not a setting: hand it over and rebuild.
    QObject::connect(panel, &DesignPanel::logoChanged, &window, [&window, panel] {
        window.state().logo = panel->logo();
        window.schedulePreview();
    });
    return panel;
}

void connectSettingsWindow(MainWindow& window, QAction& action) {
    action.setEnabled(true);
    action.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    // One Settings window, made when first asked for and closed with the
    // main window.
    auto settings = std::make_shared<QPointer<SettingsView>>();
    QObject::connect(&action, &QAction::triggered, &window, [&window, settings] {
        if (!*settings) {
            auto* view = new SettingsView(&window);
            view->setWindowFlag(Qt::Window);
            *settings = view;
        }
        (*settings)->show();
        (*settings)->raise();
        (*settings)->activateWindow();
    });
}

void fillPresetsMenu(MainWindow& window, QMenu& menu) { new PresetsMenu(menu, &window); }

void fillActionsMenu(MainWindow& window, QMenu& menu) {
    auto* controller = new ExportController(
        &window, [&window]() -> QRCode::DocumentPtr { return window.state().makeDocument(); },
        ExportController::Reporters{[&window](const QString& message) { window.showExportError(message); },
                                    [&window] { window.showSuccessNotice(); }},
        &window);
    addActionsMenuItems(menu, *controller);
}

} // namespace Tessivo::ui
