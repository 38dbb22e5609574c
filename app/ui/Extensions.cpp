#include "app/ui/Extensions.h"

#include "app/core/MainWindowState.h"
#include "app/ui/ExportActions.h"
#include "app/ui/MainWindow.h"
#include "app/ui/PresetsMenu.h"

#include <QWidget>

namespace Tessivo::ui {

QWidget* makeDesignPanel(MainWindow&, QWidget* parent) {
    // Until the design panel exists: an empty area of the right size.
    auto* panel = new QWidget(parent);
    panel->setObjectName(QStringLiteral("designPanelPlaceholder"));
    return panel;
}

void fillPresetsMenu(MainWindow& window, QMenu& menu) { new PresetsMenu(menu, &window); }

void fillActionsMenu(MainWindow& window, QMenu& menu) {
    auto* controller = new ExportController(
        &window, [&window]() -> QRCode::DocumentPtr { return window.state().makeDocumentForBackground(); },
        ExportController::Reporters{[&window](const QString& message) { window.showExportError(message); },
                                    [&window] { window.showSuccessNotice(); }},
        &window);
    addActionsMenuItems(menu, *controller);
}

} // namespace Tessivo::ui
