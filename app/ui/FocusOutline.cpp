#include "app/ui/FocusOutline.h"

#include <QAbstractButton>
#include <QString>

namespace Tessivo::ui {

void outlineKeyboardFocus(QAbstractButton& button, const QString& padding) {
    button.setStyleSheet(QStringLiteral("* { border: 1px solid transparent; border-radius: 3px; padding: %1; }"
                                        "*:focus { border-color: palette(highlight); }"
                                        "*:pressed { background-color: palette(midlight); }")
                             .arg(padding));
}

} // namespace Tessivo::ui
