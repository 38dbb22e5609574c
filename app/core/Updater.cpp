#include "app/core/Updater.h"

#include <QCoreApplication>
#include <QNetworkReply>
#include <QThreadPool>
#include <QXmlStreamReader>

#include <stdexcept>

namespace Tessivo {

namespace {

// Reads the text of the element whose start the reader is at, with the text
// of elements inside it, up to its end. Iterative, and counts the nesting
// against the feed's limit, so no feed runs the stack out.
QString elementText(QXmlStreamReader& reader, int& depth) {
    QString text;
    const int end = depth - 1;
    while (depth > end && !reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            if (++depth > kMaximumFeedDepth) throw std::runtime_error("The update feed is nested too deeply.");
            break;
        case QXmlStreamReader::EndElement: --depth; break;
        case QXmlStreamReader::Characters:
        case QXmlStreamReader::EntityReference: text += reader.text(); break;
        default: break;
        }
    }
    return text;
}

} // namespace

std::vector<UpdateItem> parseUpdateFeed(const QByteArray& xml) {
    QXmlStreamReader reader(xml);
    std::vector<UpdateItem> items;
    bool sawRSS = false;
    std::optional<UpdateItem> item;
    int depth = 0;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            if (++depth > kMaximumFeedDepth) throw std::runtime_error("The update feed is nested too deeply.");
            const auto name = reader.name();
            const bool plain = reader.namespaceUri().isEmpty();
            if (!sawRSS) {
                if (name != QLatin1String("rss")) throw std::runtime_error("The update feed is not an RSS document.");
                sawRSS = true;
            } else if (plain && name == QLatin1String("item")) {
                item.emplace();
            } else if (item) {
                if (plain && name == QLatin1String("title"))
                    item->title = elementText(reader, depth).trimmed();
                else if (plain && name == QLatin1String("link"))
                    item->downloadPage = QUrl(elementText(reader, depth).trimmed(), QUrl::StrictMode);
                else if (plain && name == QLatin1String("description"))
                    item->notes = elementText(reader, depth).trimmed();
                else if (reader.namespaceUri() == QLatin1String(kUpdateFeedNamespace) &&
                         name == QLatin1String("version"))
                    item->version = elementText(reader, depth).trimmed();
            }
        } else if (reader.isEndElement()) {
            --depth;
            if (item && reader.name() == QLatin1String("item") && reader.namespaceUri().isEmpty()) {
                // Only a release with a version and a secure download page is offered.
                if (!item->version.isEmpty() && item->downloadPage.isValid() &&
                    item->downloadPage.scheme() == QLatin1String("https"))
                    items.push_back(std::move(*item));
                item.reset();
            }
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
    // Each redirect is checked before it is followed (boundReply).
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    reply_ = network_.get(request);
    boundReply(*reply_, options_);
    busy_ = true;
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
    if (const QString stopped = boundedReplyFailure(*reply); !stopped.isEmpty()) {
        result.errorMessage = stopped;
    } else if (reply->error() != QNetworkReply::NoError) {
        result.errorMessage = reply->errorString();
    } else if (status < 200 || status > 299) {
        result.errorMessage = QStringLiteral("The update server returned %1.").arg(status);
    } else {
        // Reading the feed is left to another thread: the window stays
        // responsive whatever the feed holds.
        QPointer<Updater> self(this);
        QThreadPool::globalInstance()->start([self, xml = reply->readAll(), current = currentVersion_] {
            UpdateCheckResult parsed;
            try {
                parsed = evaluateFeed(parseUpdateFeed(xml), current);
            } catch (const std::exception& e) {
                parsed.errorMessage = QString::fromUtf8(e.what());
            }
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [self, parsed] {
                    if (self) self->report(parsed);
                },
                Qt::QueuedConnection);
        });
        return;
    }
    report(result);
}

void Updater::report(const UpdateCheckResult& result) {
    busy_ = false;
    emit canCheckForUpdatesChanged(canCheckForUpdates());
    emit checkFinished(result);
}

} // namespace Tessivo
