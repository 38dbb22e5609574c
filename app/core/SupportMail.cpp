#include "app/core/SupportMail.h"

#include "app/core/BuildConfig.h"
#include "app/core/MessageText.h"

#include <QCoreApplication>
#include <QDesktopServices>

namespace Tessivo {

namespace {

// Encoded as the mail message kind encodes its subject and body.
QByteArray queryValue(const QString& text) {
    const std::string encoded = mailtoQueryEncoded(text.toStdString());
    return QByteArray(encoded.data(), qsizetype(encoded.size()));
}

} // namespace

QUrl supportMailURL(const QString& address, const QString& applicationName, const std::optional<QString>& subject) {
    const QString name = applicationName.isEmpty() ? QStringLiteral("App") : applicationName;
    const QString subjectText = subject ? *subject : name + QStringLiteral(" Support Request");
    const QString body =
        QStringLiteral("Hello ") + name + QStringLiteral(" Team,\n\nI need assistance with the following:\n\n");
    const QByteArray text = "mailto:" + address.toUtf8() + "?subject=" + queryValue(subjectText) +
                            "&body=" + queryValue(body);
    return QUrl::fromEncoded(text, QUrl::StrictMode);
}

void contactSupport(const std::optional<QString>& subject) {
    const QUrl url = supportMailURL(QString::fromUtf8(kSupportAddress), QCoreApplication::applicationName(), subject);
    if (url.isValid()) QDesktopServices::openUrl(url);
}

} // namespace Tessivo
