#include "app/ui/Symbols.h"

namespace Tessivo::ui {

QString themeIconName(Symbol symbol) {
    switch (symbol) {
    case Symbol::palette: return QStringLiteral("preferences-desktop-color");
    case Symbol::send: return QStringLiteral("document-send");
    case Symbol::gear: return QStringLiteral("preferences-system");
    }
    return {};
}

QString ownIconPath(Symbol symbol) {
    switch (symbol) {
    case Symbol::palette: return QStringLiteral(":/symbols/palette.svg");
    case Symbol::send: return QStringLiteral(":/symbols/send.svg");
    case Symbol::gear: return QStringLiteral(":/symbols/gear.svg");
    }
    return {};
}

QIcon symbolIcon(Symbol symbol) {
    const QString name = themeIconName(symbol);
    if (QIcon::hasThemeIcon(name)) return QIcon::fromTheme(name);
    return QIcon(ownIconPath(symbol));
}

} // namespace Tessivo::ui
