#pragma once

#include "app/core/Network.h"

#include <QNetworkAccessManager>
#include <QObject>
#include <QNetworkReply>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <optional>
#include <vector>

namespace Tessivo {

// One release in the update feed: an RSS <item> with <title>, <link> (the
// download page), <description> (the release notes) and the version in
// <tessivo:version> (namespace "https://tessivo.org/xmlns/update").
struct UpdateItem {
    QString title;
    QString version;
    QUrl downloadPage;
    QString notes;
};

inline constexpr const char* kUpdateFeedNamespace = "https://tessivo.org/xmlns/update";

// The deepest element nesting a feed may have; real feeds nest five levels.
inline constexpr int kMaximumFeedDepth = 64;

// The items of a feed that carry a version and an HTTPS download page.
// Throws std::runtime_error for text that is not an RSS document or that
// nests deeper than kMaximumFeedDepth.
std::vector<UpdateItem> parseUpdateFeed(const QByteArray& xml);

// Compares dotted versions component by component, numbers by value, a
// missing component as 0 ("1.2" == "1.2.0" < "1.10"); a component that is
// not a number sorts by text after the numbers. Negative, zero or positive.
int compareVersions(const QString& a, const QString& b);

struct UpdateCheckResult {
    enum class Kind { upToDate, updateAvailable, error };
    Kind kind = Kind::error;
    UpdateItem newest;    // updateAvailable: the newest release
    QString errorMessage; // error
};

// The newest item above the current version, or up to date.
UpdateCheckResult evaluateFeed(const std::vector<UpdateItem>& items, const QString& currentVersion);

// Checks the feed when the user asks; never by itself, and installs nothing.
class Updater : public QObject {
    Q_OBJECT
public:
    // An empty or refused feed address disables checks for good.
    Updater(QUrl feedURL, QString currentVersion, NetworkOptions options = {}, QObject* parent = nullptr);

    bool isConfigured() const { return configured_; }
    // A user-initiated check may start now.
    bool canCheckForUpdates() const { return configured_ && !busy_; }
    // From sending the request until the result is reported.
    bool sessionInProgress() const { return busy_; }
    // Starts one check; does nothing unless canCheckForUpdates().
    void checkForUpdates();

signals:
    void canCheckForUpdatesChanged(bool canCheck);
    void checkFinished(const Tessivo::UpdateCheckResult& result);

private:
    void finish();
    void report(const UpdateCheckResult& result);

    QUrl feedURL_;
    QString currentVersion_;
    NetworkOptions options_;
    bool configured_ = false;
    QNetworkAccessManager network_;
    QPointer<QNetworkReply> reply_;
    bool busy_ = false;
};

} // namespace Tessivo
