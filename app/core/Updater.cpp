#include "app/core/Updater.h"

#include <QNetworkReply>
#include <QXmlStreamReader>

#include <stdexcept>

namespace Tessivo {

std::vector<UpdateItem> parseUpdateFeed(const QByteArray& xml) {
    QXmlStreamReader reader(xml);
    std::vector<UpdateItem> items;
    bool sawRSS = false;
    std::optional<UpdateItem> item;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            const auto name = reader.name();
            const bool plain = reader.namespaceUri().isEmpty();
            if (!sawRSS) {
                if (name != QLatin1String("rss")) throw std::runtime_error("The update feed is not an RSS document.");
                sawRSS = true;
            } else if (plain && name == QLatin1String("item")) {
                item.emplace();
            } else if (item) {
                if (plain && name == QLatin1String("title"))
                    item->title = reader.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
                else if (plain && name == QLatin1String("link"))
                    item->downloadPage = QUrl(reader.readElementText().trimmed(), QUrl::StrictMode);
                else if (plain && name == QLatin1String("description"))
                    item->notes = reader.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
                else if (reader.namespaceUri() == QLatin1String(kUpdateFeedNamespace) &&
                         name == QLatin1String("version"))
                    item->version = reader.readElementText().trimmed();
            }
        } else if (reader.isEndElement() && item && reader.name() == QLatin1String("item") &&
                   reader.namespaceUri().isEmpty()) {
            // Only a release with a version and a secure download page is offered.
            if (!item->version.isEmpty() && item->downloadPage.isValid() &&
                item->downloadPage.scheme() == QLatin1String("https"))
                items.push_back(std::move(*item));
            item.reset();
        }
    }
    if (reader.hasError() || !sawRSS) throw std::runtime_error("The update feed could not be read.");
    return items;
}

int compareVersions(const QString& a, const QString& b) {
    const QStringList pa = a.trimmed().split(QLatin1Char('.'));
    const QStringList pb = b.trimmed().split(QLatin1Char('.'));
    for (qsizetype i = 0; i < std::max(pa.size(), pb.size()); ++i) {
        const QString x = i < pa.size() ? pa[i] : QStringLiteral("0");
        const QString y = i < pb.size() ? pb[i] : QStringLiteral("0");
        bool xn = false, yn = false;
        const qulonglong xv = x.toULongLong(&xn);
        const qulonglong yv = y.toULongLong(&yn);
        if (xn && yn) {
            if (xv != yv) return xv < yv ? -1 : 1;
        } else if (xn != yn) {
            return xn ? -1 : 1;
        } else if (const int c = x.compare(y); c != 0) {
            return c < 0 ? -1 : 1;
        }
    }
    return 0;
}

UpdateCheckResult evaluateFeed(const std::vector<UpdateItem>& items, const QString& currentVersion) {
    UpdateCheckResult result;
    result.kind = UpdateCheckResult::Kind::upToDate;
    for (const auto& item : items) {
        const QString& best =
            result.kind == UpdateCheckResult::Kind::updateAvailable ? result.newest.version : currentVersion;
        if (compareVersions(item.version, best) > 0) {
            result.kind = UpdateCheckResult::Kind::updateAvailable;
            result.newest = item;
        }
    }
    return result;
}

Updater::Updater(QUrl feedURL, QString currentVersion, NetworkOptions options, QObject* parent)
    : QObject(parent), feedURL_(std::move(feedURL)), currentVersion_(std::move(currentVersion)),
      options_(std::move(options)), configured_(isAllowedRequestURL(feedURL_)) {}

void Updater::checkForUpdates() {
    if (!canCheckForUpdates()) return;
    QNetworkRequest request(feedURL_);
    applyNetworkOptions(request, options_);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    reply_ = network_.get(request);
    connect(reply_, &QNetworkReply::finished, this, &Updater::finish);
    emit canCheckForUpdatesChanged(false);
}

void Updater::finish() {
    QNetworkReply* reply = reply_;
    if (!reply) return;
    reply_ = nullptr;
    reply->deleteLater();

    UpdateCheckResult result;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError) {
        result.errorMessage = reply->errorString();
    } else if (status < 200 || status > 299) {
        result.errorMessage = QStringLiteral("The update server returned %1.").arg(status);
    } else {
        try {
            result = evaluateFeed(parseUpdateFeed(reply->readAll()), currentVersion_);
        } catch (const std::exception& e) {
            result.errorMessage = QString::fromUtf8(e.what());
        }
    }
    emit canCheckForUpdatesChanged(canCheckForUpdates());
    emit checkFinished(result);
}

} // namespace Tessivo
