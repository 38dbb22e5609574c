#pragma once

// The symbols of the toolbar's menus and the Settings window's tabs. The
// desktop's icon theme gives them when it has them; otherwise the
// application's own drawings (SVG resources) stand in, so no button is left
// without its symbol.

#include <QIcon>
#include <QPalette>
#include <QString>

class QWidget;

namespace Tessivo::ui {

enum class Symbol {
    palette, // "Presets", the "Colors" tab
    send,    // "Actions"
    gear,    // the "General" tab
};

// The theme's name for the symbol and the resource of our own drawing.
QString themeIconName(Symbol symbol);
QString ownIconPath(Symbol symbol);

// The theme's icon, or our own drawing (a one-colour silhouette) drawn as
// the label beside it is: in the colour `role` of the palette that `control`
// has when the symbol is drawn (the application's palette without a
// control), the disabled colour for a disabled control, and at least 3:1
// against the window and button colours. So it follows a palette that
// changes while it is shown.
QIcon symbolIcon(Symbol symbol, const QWidget* control = nullptr, QPalette::ColorRole role = QPalette::WindowText);

} // namespace Tessivo::ui
