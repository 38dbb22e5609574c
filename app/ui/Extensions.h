#pragma once

// Where the parts of the main window that come from other parts of the
// application plug in. Each function is called once, while the window is
// built; a part that is not there yet leaves its default here.

class QAction;
class QMenu;
class QWidget;

namespace Tessivo::ui {

class MainWindow;

// The design panel, shown in the scrolling column under the message
// section. It binds its controls to the settings keys itself; the window
// follows every key change. Logo and other window state: window.state(),
// then window.schedulePreview().
QWidget* makeDesignPanel(MainWindow& window, QWidget* parent);

// The application menu's "Settings…" item opens the Settings window.
void connectSettingsWindow(MainWindow& window, QAction& action);

// The toolbar's "Presets" and "Actions" menus. A menu left empty disables
// its toolbar button (no click without an effect).
void fillPresetsMenu(MainWindow& window, QMenu& menu);
void fillActionsMenu(MainWindow& window, QMenu& menu);

} // namespace Tessivo::ui
