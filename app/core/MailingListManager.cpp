#include "app/core/MailingListManager.h"

#include "app/core/BuildConfig.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QNetworkReply>
#include <QTimeZone>
#include <QTimer>

#include <cmath>

namespace Tessivo {
namespace {

platform::Date toDate(const QDateTime& time) { return platform::Date{double(time.toMSecsSinceEpoch()) / 1000.0}; }

// Stored dates come from a file anyone can edit: only a finite time whose
// milliseconds fit an integer (within about 292 million years of 1970) is a
// date; anything else reads as no date at all.
std::optional<QDateTime> fromDate(const platform::Date& date) {
    const double seconds = date.timeIntervalSince1970;
    if (!std::isfinite(seconds) || std::fabs(seconds) > maximumStoredDateSeconds) return std::nullopt;
    const QDateTime time = QDateTime::fromMSecsSinceEpoch(qint64(seconds * 1000.0));
    if (!time.isValid()) return std::nullopt;
    return time;
}

std::optional<QDateTime> dateValue(const std::optional<platform::PropertyList>& value) {
    if (!value) return std::nullopt;
    if (const platform::Date* date = value->asDate()) return fromDate(*date);
    return std::nullopt;
}

std::int64_t integerValue(const std::optional<platform::PropertyList>& value) {
    if (!value) return 0;
    return value->asInt64().value_or(0);
}

} // namespace

std::int64_t wholeDaysBetween(const QDateTime& from, const QDateTime& to) {
    const QDateTime a = from.toLocalTime();
    const QDateTime b = to.toLocalTime();
    std::int64_t days = a.date().daysTo(b.date());
    if (days > 0 && b.time() < a.time()) --days;
    if (days < 0 && b.time() > a.time()) ++days;
    return days;
}

MailingListManager::Config MailingListManager::defaultConfig() {
    Config config;
    config.endpointURL = QUrl(QString::fromUtf8(kMailingListEndpoint));
    config.privacyURL = QUrl(QString::fromUtf8(kPrivacyPolicyURL));
    config.bundleIdentifier = QString::fromUtf8(platform::UserDefaults::standardSuiteName.data(),
                                                qsizetype(platform::UserDefaults::standardSuiteName.size()));
    config.store = [] {
        if (auto shared = platform::UserDefaults::suite(kMailingListSuiteName)) return shared;
        return platform::UserDefaults::standard();
    };
    config.timeZoneId = [] { return QString::fromUtf8(QTimeZone::systemTimeZoneId()); };
    config.countryName = []() -> std::optional<QString> {
        const QLocale::Territory territory = QLocale::system().territory();
        if (territory == QLocale::AnyTerritory) return std::nullopt;
        const QString name = QLocale::territoryToString(territory);
        return name.isEmpty() ? QLocale::territoryToCode(territory) : name;
    };
    return config;
}

QString MailingListManager::promptTitle() { return QStringLiteral("Stay in the loop"); }

QString MailingListManager::promptMessage() {
    return QStringLiteral(
        "Occasional offers, news, and updates about new features.\nNo spam \u2014 I absolutely promise.");
}

MailingListManager::MailingListManager(Config config, QObject* parent) : QObject(parent), config_(std::move(config)) {
    const Decision decision = storedDecision();
    isOptedOut_ = decision == Decision::declined || decision == Decision::subscribed;
}

std::shared_ptr<platform::UserDefaults> MailingListManager::store() const {
    if (config_.store)
        if (auto s = config_.store()) return s;
    return platform::UserDefaults::standard();
}

QString MailingListManager::appKey(const QString& suffix) const {
    const QString id = config_.bundleIdentifier.isEmpty() ? QStringLiteral("unknown.app") : config_.bundleIdentifier;
    return QStringLiteral("mailingList.") + id + suffix;
}

void MailingListManager::setPresented(bool presented) {
    if (presented == isPresented_) return;
    isPresented_ = presented;
    emit isPresentedChanged(presented);
}

void MailingListManager::setStatus(SubmitStatus status) {
    if (status == status_) return;
    status_ = std::move(status);
    emit statusChanged();
}

void MailingListManager::setOptedOut() {
    if (isOptedOut_) return;
    isOptedOut_ = true;
    emit isOptedOutChanged(true);
}

MailingListManager::Decision MailingListManager::storedDecision() const {
    const auto value = store()->objectForKey(decisionKey);
    const std::string* text = value ? value->asString() : nullptr;
    if (!text) return Decision::none;
    if (*text == "snoozed") return Decision::snoozed;
    if (*text == "declined") return Decision::declined;
    if (*text == "subscribed") return Decision::subscribed;
    return Decision::none;
}

std::int64_t MailingListManager::launchCount() const {
    return integerValue(store()->objectForKey(appKey(QStringLiteral(".launchCount")).toStdString()));
}

std::int64_t MailingListManager::daysSinceInstall() const {
    const auto installed = dateValue(store()->objectForKey(appKey(QStringLiteral(".installDate")).toStdString()));
    if (!installed) return 0;
    return wholeDaysBetween(*installed, config_.now());
}

void MailingListManager::registerLaunch() {
    auto s = store();
    const std::string installKey = appKey(QStringLiteral(".installDate")).toStdString();
    if (!s->objectForKey(installKey)) s->setObject(installKey, platform::PropertyList(toDate(config_.now())));
    const std::int64_t count = launchCount();
    // Saturates instead of overflowing.
    const std::int64_t next = count == std::numeric_limits<std::int64_t>::max() ? count : count + 1;
    s->setObject(appKey(QStringLiteral(".launchCount")).toStdString(), platform::PropertyList(next));
    QTimer::singleShot(config_.evaluationDelay, this, &MailingListManager::evaluatePrompt);
}

bool MailingListManager::launchesOrDaysSuffice() const { return launchCount() >= 3 || daysSinceInstall() >= 2; }

void MailingListManager::evaluatePrompt() {
    const Decision decision = storedDecision();
    if (decision == Decision::declined || decision == Decision::subscribed) return;
    if (updaterBusyCheck_ && updaterBusyCheck_()) return;
    if (decision == Decision::snoozed) {
        const auto until = dateValue(store()->objectForKey(snoozeUntilKey));
        if (until && *until > config_.now()) return;
    }
    if (launchesOrDaysSuffice()) showPrompt();
}

void MailingListManager::showPromptIfEligible(bool force) {
    const Decision decision = storedDecision();
    if (decision == Decision::declined || decision == Decision::subscribed) return;
    if (force || launchesOrDaysSuffice()) showPrompt();
}

void MailingListManager::showPrompt() {
    setPresented(true);
    store()->setObject(appKey(QStringLiteral(".lastShownAt")).toStdString(),
                       platform::PropertyList(toDate(config_.now())));
}

void MailingListManager::snooze() {
    const QDateTime until = config_.now().toLocalTime().addDays(14);
    auto s = store();
    s->setObject(decisionKey, platform::PropertyList(std::string("snoozed")));
    s->setObject(snoozeUntilKey, platform::PropertyList(toDate(until.isValid() ? until : config_.now())));
    setPresented(false);
}

void MailingListManager::decline() {
    store()->setObject(decisionKey, platform::PropertyList(std::string("declined")));
    setOptedOut();
    setPresented(false);
}

QByteArray MailingListManager::requestBody(const QString& trimmedEmail) const {
    QJsonObject body;
    body.insert(QStringLiteral("email"), trimmedEmail);
    body.insert(QStringLiteral("app"),
                config_.bundleIdentifier.isEmpty() ? QStringLiteral("unknown.app") : config_.bundleIdentifier);
    body.insert(QStringLiteral("tz"), config_.timeZoneId ? config_.timeZoneId() : QString());
    if (config_.countryName)
        if (auto country = config_.countryName()) body.insert(QStringLiteral("country"), *country);
    return QJsonDocument(body).toJson(QJsonDocument::Compact);
}

void MailingListManager::subscribe(const QString& email) {
    const QString trimmed = email.trimmed();
    if (trimmed.isEmpty() || !trimmed.contains(QLatin1Char('@'))) {
        setStatus(SubmitStatus::failure(QStringLiteral("Please enter a valid email address.")));
        return;
    }
    if (!isAllowedRequestURL(config_.endpointURL)) {
        setStatus(SubmitStatus::failure(QStringLiteral("The subscription service is not available.")));
        return;
    }
    setStatus({SubmitStatus::Kind::submitting, {}});

    QNetworkRequest request(config_.endpointURL);
    applyNetworkOptions(request, config_.network);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray("application/json"));
    if (config_.clientToken) request.setRawHeader(kTokenHeader, *config_.clientToken);
    // A redirect could carry the address elsewhere: none is followed.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);

    QNetworkReply* reply = network_.post(request, requestBody(trimmed));
    boundReply(*reply, config_.network);
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        const QVariant code = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        const bool timedOut = boundedReplyTimedOut(*reply);
        if (const QString stopped = boundedReplyFailure(*reply); !stopped.isEmpty() && !timedOut) {
            // An answer that never ends is no answer, whatever its status.
            setStatus(SubmitStatus::failure(stopped + QStringLiteral(" Please try again later.")));
            return;
        }
        if (!code.isValid() || timedOut) {
            if (timedOut || reply->error() == QNetworkReply::OperationCanceledError)
                setStatus(SubmitStatus::failure(QStringLiteral("The request timed out. Please try again later.")));
            else if (reply->error() != QNetworkReply::NoError)
                setStatus(SubmitStatus::failure(reply->errorString()));
            else
                setStatus(SubmitStatus::failure(QStringLiteral("Server returned 0. Please try again later.")));
            return;
        }
        const int status = code.toInt();
        if ((status >= 200 && status <= 299) || status == 409) {
            store()->setObject(decisionKey, platform::PropertyList(std::string("subscribed")));
            setOptedOut();
            setStatus({SubmitStatus::Kind::success, {}});
        } else if (status == 422) {
            setStatus(SubmitStatus::failure(QStringLiteral("Please check your email address and try again.")));
        } else {
            setStatus(SubmitStatus::failure(QStringLiteral("Server returned %1. Please try again later.").arg(status)));
        }
    });
}

} // namespace Tessivo
