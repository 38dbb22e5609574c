#include "app/core/Network.h"

#include <QHostAddress>
#include <QNetworkReply>
#include <QTimer>

namespace Tessivo {
namespace {

constexpr const char* failureProperty = "tessivoBoundFailure";
constexpr const char* timedOutProperty = "tessivoBoundTimedOut";

// Stops the reply once, remembering why; the reply then finishes with
// OperationCanceledError.
void stop(QNetworkReply* reply, const QString& why, bool timedOut = false) {
    if (reply->isFinished() || reply->property(failureProperty).isValid()) return;
    reply->setProperty(failureProperty, why);
    reply->setProperty(timedOutProperty, timedOut);
    reply->abort();
}

} // namespace

bool isAllowedRequestURL(const QUrl& url) {
    if (!url.isValid() || url.host().isEmpty()) return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("https")) return true;
    if (scheme != QLatin1String("http")) return false;
    if (url.host().compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0) return true;
    const QHostAddress address(url.host());
    return !address.isNull() && address.isLoopback();
}

bool isAllowedRedirect(const QUrl& from, const QUrl& to) {
    const QUrl target = from.resolved(to);
    if (!isAllowedRequestURL(target)) return false;
    return !(from.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0 &&
             target.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) != 0);
}

void applyNetworkOptions(QNetworkRequest& request, const NetworkOptions& options) {
    if (options.sslConfiguration) request.setSslConfiguration(*options.sslConfiguration);
}

void boundReply(QNetworkReply& reply, const NetworkOptions& options) {
    QNetworkReply* r = &reply;
    auto* timer = new QTimer(r);
    timer->setSingleShot(true);
    QObject::connect(timer, &QTimer::timeout, r,
                     [r] { stop(r, QStringLiteral("The request timed out."), /*timedOut=*/true); });
    timer->start(std::max(0, options.timeoutMilliseconds));

    // Checked as each piece arrives (progress reports are throttled, the
    // arrival of data is not), so a body never grows far past the cap.
    const qint64 cap = std::max<qint64>(0, options.maximumReplyBytes);
    const auto checkSize = [r, cap](qint64 received, qint64 total) {
        if (received > cap || total > cap || r->bytesAvailable() > cap)
            stop(r, QStringLiteral("The server's reply is larger than %1 bytes.").arg(cap));
    };
    QObject::connect(r, &QNetworkReply::downloadProgress, r, checkSize);
    QObject::connect(r, &QIODevice::readyRead, r, [checkSize] { checkSize(0, -1); });

    QObject::connect(r, &QNetworkReply::redirected, r, [r](const QUrl& target) {
        if (isAllowedRedirect(r->url(), target))
            emit r->redirectAllowed();
        else
            stop(r, QStringLiteral("The server redirected to an address that is not allowed (%1).")
                        .arg(r->url().resolved(target).toString()));
    });
}

QString boundedReplyFailure(const QNetworkReply& reply) { return reply.property(failureProperty).toString(); }

bool boundedReplyTimedOut(const QNetworkReply& reply) { return reply.property(timedOutProperty).toBool(); }

} // namespace Tessivo
