#include "app/ui/Extensions.h"

#include <QWidget>

namespace Tessivo::ui {

QWidget* makeDesignPanel(MainWindow&, QWidget* parent) {
    // Until the design panel exists: an empty area of the right size.
    auto* panel = new QWidget(parent);
    panel->setObjectName(QStringLiteral("designPanelPlaceholder"));
    return panel;
}

void fillPresetsMenu(MainWindow&, QMenu&) {}

void fillActionsMenu(MainWindow&, QMenu&) {}

} // namespace Tessivo::ui
