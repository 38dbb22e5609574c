#pragma once

#include <QString>
#include <QUrl>

#include <optional>

namespace Tessivo {

// mailto:<address>?subject=...&body=... with the subject "<name> Support
// Request" unless one is given, and a greeting body ready for the user's
// text. An empty application name reads as "App".
QUrl supportMailURL(const QString& address, const QString& applicationName,
                    const std::optional<QString>& subject = std::nullopt);

// Opens the support mail of this application (its name from
// QCoreApplication) through QDesktopServices; nothing is reported when no
// mail program takes it.
void contactSupport(const std::optional<QString>& subject = std::nullopt);

} // namespace Tessivo
