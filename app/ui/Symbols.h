#pragma once

// The symbols of the toolbar's menus and the Settings window's tabs. The
// desktop's icon theme gives them when it has them; otherwise the
// application's own drawings (SVG resources) stand in, so no button is left
// without its symbol.

#include <QIcon>
#include <QString>

namespace Tessivo::ui {

enum class Symbol {
    palette, // "Presets", the "Colors" tab
    send,    // "Actions"
    gear,    // the "General" tab
};

// The theme's name for the symbol and the resource of our own drawing.
QString themeIconName(Symbol symbol);
QString ownIconPath(Symbol symbol);

QIcon symbolIcon(Symbol symbol);

} // namespace Tessivo::ui
