#pragma once

#include "app/core/Network.h"
#include "platform/defaults/UserDefaults.h"

#include <QDateTime>
#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QUrl>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace Tessivo {

// The invitation to the maker's newsletter: launch bookkeeping per
// application, one decision shared by the maker's applications, when the
// prompt opens, its three answers and the subscription request.
//
// Everything lives in one defaults suite, opened afresh on every use: the
// shared suite when it is configured and can be opened, else the standard
// suite. The shared suite's file lock keeps concurrent writers from other
// applications safe. Runs on the thread that owns it (the main thread).
class MailingListManager : public QObject {
    Q_OBJECT
public:
    struct SubmitStatus {
        enum class Kind { idle, submitting, success, failure };
        Kind kind = Kind::idle;
        QString message; // failure only
        friend bool operator==(const SubmitStatus&, const SubmitStatus&) = default;
        static SubmitStatus failure(QString text) { return {Kind::failure, std::move(text)}; }
    };

    enum class Decision { none, snoozed, declined, subscribed };

    struct Config {
        QUrl endpointURL;
        QUrl privacyURL;
        std::optional<QByteArray> clientToken = QByteArray("Corvimal-4728");
        QString bundleIdentifier;
        // The store, asked for on every read or write.
        std::function<std::shared_ptr<platform::UserDefaults>()> store;
        std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
        std::chrono::milliseconds evaluationDelay{2500};
        NetworkOptions network;
        // The current time zone's identifier and the English name of the
        // locale's region (nothing without a region).
        std::function<QString()> timeZoneId;
        std::function<std::optional<QString>()> countryName;
    };

    // The build's endpoint, privacy page and shared suite, the process's
    // clock, time zone and locale.
    static Config defaultConfig();

    static constexpr const char* decisionKey = "mailingList.shared.decision";
    static constexpr const char* snoozeUntilKey = "mailingList.shared.snoozeUntil";
    static constexpr const char* kTokenHeader = "X-Client-Token";
    static QString promptTitle();
    static QString promptMessage();

    explicit MailingListManager(Config config, QObject* parent = nullptr);

    const Config& config() const { return config_; }

    bool isPresented() const { return isPresented_; }
    void setPresented(bool presented);
    const SubmitStatus& status() const { return status_; }
    void setStatus(SubmitStatus status);
    bool isOptedOut() const { return isOptedOut_; }

    // Consulted before the prompt opens by itself: while it answers true (an
    // update check is under way) the prompt waits for the next launch.
    void setUpdaterBusyCheck(std::function<bool()> check) { updaterBusyCheck_ = std::move(check); }

    void registerLaunch();
    void evaluatePrompt();
    void showPromptIfEligible(bool force);
    void snooze();
    void decline();
    // Validates, sends, and sets status (and the decision on success) when
    // the answer arrives.
    void subscribe(const QString& email);

    Decision storedDecision() const;
    std::int64_t daysSinceInstall() const;
    std::int64_t launchCount() const;
    QString appKey(const QString& suffix) const;
    // The JSON body of a subscription request.
    QByteArray requestBody(const QString& trimmedEmail) const;

signals:
    void isPresentedChanged(bool presented);
    void statusChanged();
    void isOptedOutChanged(bool optedOut);

private:
    std::shared_ptr<platform::UserDefaults> store() const;
    void showPrompt();
    bool launchesOrDaysSuffice() const;
    void setOptedOut();

    Config config_;
    std::function<bool()> updaterBusyCheck_ = [] { return false; };
    bool isPresented_ = false;
    SubmitStatus status_;
    bool isOptedOut_ = false;
    QNetworkAccessManager network_;
};

// The farthest a stored date may lie from 1970, in seconds; farther, NaN or
// infinite, it counts as missing.
inline constexpr double maximumStoredDateSeconds = 9.0e15;

// Whole days from `from` to `to` in local time as a calendar counts them
// (truncated; negative when `to` is earlier).
std::int64_t wholeDaysBetween(const QDateTime& from, const QDateTime& to);

} // namespace Tessivo
