#include "app/core/MailingListManager.h"

#include "tests/app/AppTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <limits>

using namespace Tessivo;
using Status = MailingListManager::SubmitStatus;

namespace {

// One machine: a shared suite and a clock that the test moves.
class MailingList : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    std::shared_ptr<platform::UserDefaults> shared = platform::UserDefaults::open("org.tessivo.shared", dir.path());
    QDateTime now = QDateTime(QDate(2026, 3, 10), QTime(12, 0));
    LocalServer server;

    MailingListManager::Config config(const QString& app = QStringLiteral("org.tessivo.Tessivo")) {
        MailingListManager::Config c;
        c.endpointURL = server.url(QStringLiteral("/mailinglist.php"));
        c.bundleIdentifier = app;
        c.store = [s = shared] { return s; };
        c.now = [this] { return now; };
        c.evaluationDelay = std::chrono::milliseconds(1);
        c.timeZoneId = [] { return QStringLiteral("Europe/Vienna"); };
        c.countryName = []() -> std::optional<QString> { return QStringLiteral("Austria"); };
        c.network.timeoutMilliseconds = 3000;
        return c;
    }

    // One start of the application: bookkeeping, then the delayed evaluation.
    // A timer started after the launch's and due later fires after it, so
    // once it has fired the evaluation has run, however late the event loop
    // got round to both.
    bool launch(MailingListManager& m) {
        m.setPresented(false);
        m.registerLaunch();
        QObject context;
        bool evaluated = false;
        QTimer::singleShot(std::chrono::milliseconds(10), &context, [&] { evaluated = true; });
        EXPECT_TRUE(waitFor([&] { return evaluated; }));
        return m.isPresented();
    }

    void subscribeAndWait(MailingListManager& m, const QString& email) {
        m.subscribe(email);
        ASSERT_TRUE(waitFor([&] { return m.status().kind != Status::Kind::submitting; })) << "never finished";
    }
};

} // namespace

TEST_F(MailingList, OpensOnTheThirdLaunchOrAfterTwoWholeDays) {
    MailingListManager m(config());
    EXPECT_FALSE(launch(m));
    EXPECT_FALSE(launch(m));
    EXPECT_TRUE(launch(m));
    EXPECT_EQ(m.launchCount(), 3);
    EXPECT_TRUE(shared->objectForKey("mailingList.org.tessivo.Tessivo.lastShownAt"));

    // Another application: its own count and install date, same decision.
    MailingListManager other(config(QStringLiteral("org.tessivo.Other")));
    EXPECT_FALSE(launch(other));
    now = now.addDays(1).addSecs(23 * 3600); // 1 day 23 hours: one whole day
    EXPECT_EQ(other.daysSinceInstall(), 1);
    other.evaluatePrompt();
    EXPECT_FALSE(other.isPresented());
    now = now.addSecs(3600);
    EXPECT_EQ(other.daysSinceInstall(), 2);
    EXPECT_TRUE(launch(other));

    // An update session holds the automatic prompt back, not the menu command.
    bool busy = true;
    m.setUpdaterBusyCheck([&] { return busy; });
    EXPECT_FALSE(launch(m));
    m.showPromptIfEligible(true);
    EXPECT_TRUE(m.isPresented());
    busy = false;

    // "Don't ask again" in one application silences both, even on demand.
    other.decline();
    EXPECT_TRUE(other.isOptedOut());
    EXPECT_FALSE(other.isPresented());
    EXPECT_FALSE(launch(m));
    m.showPromptIfEligible(true);
    EXPECT_FALSE(m.isPresented());
    EXPECT_TRUE(MailingListManager(config()).isOptedOut());

    // Unknown application id.
    MailingListManager anonymous(config(QString()));
    EXPECT_EQ(anonymous.appKey(QStringLiteral(".installDate")), QStringLiteral("mailingList.unknown.app.installDate"));
}

TEST_F(MailingList, SnoozeLastsFourteenDaysAndForeignValuesReadAsDefaults) {
    MailingListManager m(config());
    for (int i = 0; i < 3; ++i) m.registerLaunch();
    m.snooze();
    EXPECT_EQ(m.storedDecision(), MailingListManager::Decision::snoozed);
    EXPECT_FALSE(m.isOptedOut());
    now = now.addDays(13);
    EXPECT_FALSE(launch(m));
    m.showPromptIfEligible(true); // the menu ignores the snooze
    EXPECT_TRUE(m.isPresented());
    now = now.addDays(1).addSecs(1);
    EXPECT_TRUE(launch(m));
    EXPECT_EQ(m.storedDecision(), MailingListManager::Decision::snoozed);

    // A snooze without a date, a foreign decision, a count of the wrong type.
    shared->removeObjectForKey(MailingListManager::snoozeUntilKey);
    m.evaluatePrompt();
    EXPECT_TRUE(m.isPresented());
    shared->setObject(MailingListManager::decisionKey, platform::PropertyList(std::string("maybe")));
    EXPECT_EQ(m.storedDecision(), MailingListManager::Decision::none);
    shared->setObject("mailingList.org.tessivo.Tessivo.launchCount", platform::PropertyList(std::string("many")));
    shared->setObject("mailingList.org.tessivo.Tessivo.installDate", platform::PropertyList(std::int64_t(5)));
    EXPECT_EQ(m.launchCount(), 0);
    EXPECT_EQ(m.daysSinceInstall(), 0);
    m.registerLaunch();
    EXPECT_EQ(m.launchCount(), 1);
    EXPECT_TRUE(shared->objectForKey("mailingList.org.tessivo.Tessivo.installDate")->isInteger());
}

TEST_F(MailingList, SubscribingSendsTheBodyAndTokenAndReadsTheAnswer) {
    MailingListManager m(config());
    int statusChanges = 0;
    QObject::connect(&m, &MailingListManager::statusChanged, [&] { ++statusChanges; });

    for (const char* bad : {"   ", "no-at-sign", ""}) {
        m.subscribe(QString::fromLatin1(bad));
        EXPECT_EQ(m.status(), Status::failure(QStringLiteral("Please enter a valid email address.")));
    }
    EXPECT_EQ(statusChanges, 1);
    EXPECT_TRUE(server.requests().isEmpty());

    server.respondWith(422);
    subscribeAndWait(m, QStringLiteral("  user&x=1@example.org \n"));
    EXPECT_EQ(m.status(), Status::failure(QStringLiteral("Please check your email address and try again.")));
    ASSERT_EQ(server.requests().size(), 1);
    const RecordedRequest& request = server.requests().front();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.path, "/mailinglist.php");
    EXPECT_EQ(request.headers.value("content-type"), "application/json");
    EXPECT_EQ(request.headers.value("x-client-token"), "Corvimal-4728");
    const QJsonObject body = QJsonDocument::fromJson(request.body).object();
    EXPECT_EQ(body.size(), 4);
    EXPECT_EQ(body.value("email").toString(), QStringLiteral("user&x=1@example.org"));
    EXPECT_EQ(body.value("app").toString(), QStringLiteral("org.tessivo.Tessivo"));
    EXPECT_EQ(body.value("tz").toString(), QStringLiteral("Europe/Vienna"));
    EXPECT_EQ(body.value("country").toString(), QStringLiteral("Austria"));
    EXPECT_EQ(m.storedDecision(), MailingListManager::Decision::none);

    server.respondWith(500);
    subscribeAndWait(m, QStringLiteral("@"));
    EXPECT_EQ(m.status(), Status::failure(QStringLiteral("Server returned 500. Please try again later.")));
    EXPECT_FALSE(m.isOptedOut());

    server.respondWith(409);
    subscribeAndWait(m, QStringLiteral("a@b"));
    EXPECT_EQ(m.status().kind, Status::Kind::success);
    EXPECT_TRUE(m.isOptedOut());
    EXPECT_EQ(m.storedDecision(), MailingListManager::Decision::subscribed);

    MailingListManager::Config noRegion = config();
    noRegion.countryName = [] { return std::optional<QString>(); };
    EXPECT_EQ(QJsonDocument::fromJson(MailingListManager(noRegion).requestBody("a@b")).object().size(), 3);
}

TEST_F(MailingList, BrokenServersEndInTheFormWithAMessage) {
    for (auto behaviour :
         {LocalServer::Behaviour::silent, LocalServer::Behaviour::garbage, LocalServer::Behaviour::drop}) {
        MailingListManager::Config c = config();
        c.network.timeoutMilliseconds = 300;
        MailingListManager m(c);
        server.setBehaviour(behaviour);
        subscribeAndWait(m, QStringLiteral("a@b"));
        EXPECT_EQ(m.status().kind, Status::Kind::failure) << int(behaviour);
        EXPECT_FALSE(m.status().message.isEmpty());
        if (behaviour == LocalServer::Behaviour::silent) {
            EXPECT_EQ(m.status().message, QStringLiteral("The request timed out. Please try again later."));
        }
        EXPECT_EQ(m.storedDecision(), MailingListManager::Decision::none);
    }

    // Addresses other than HTTPS or loopback HTTP are refused unsent.
    MailingListManager::Config c = config();
    c.endpointURL = QUrl(QStringLiteral("http://example.org/mailinglist.php"));
    MailingListManager m(c);
    m.subscribe(QStringLiteral("a@b"));
    EXPECT_EQ(m.status().kind, Status::Kind::failure);
}

TEST_F(MailingList, EndlessAndTricklingAnswersEndWithinTheLimits) {
    MailingListManager::Config c = config();
    c.network.maximumReplyBytes = 1 << 20;
    c.network.timeoutMilliseconds = 20000;
    MailingListManager capped(c);
    server.setBehaviour(LocalServer::Behaviour::endless);
    subscribeAndWait(capped, QStringLiteral("a@b"));
    EXPECT_EQ(capped.status(), Status::failure(QStringLiteral(
                                   "The server's reply is larger than 1048576 bytes. Please try again later.")));
    EXPECT_EQ(capped.storedDecision(), MailingListManager::Decision::none);

    // One byte every 50 ms: no read waits long, the whole exchange does.
    c.network.timeoutMilliseconds = 400;
    MailingListManager impatient(c);
    server.setBehaviour(LocalServer::Behaviour::trickle);
    subscribeAndWait(impatient, QStringLiteral("a@b"));
    EXPECT_EQ(impatient.status(), Status::failure(QStringLiteral("The request timed out. Please try again later.")));
    EXPECT_FALSE(impatient.isOptedOut());
}

TEST_F(MailingList, StoredDatesThatAreNoTimeReadAsMissing) {
    MailingListManager m(config());
    const std::string installKey = "mailingList.org.tessivo.Tessivo.installDate";
    const double inf = std::numeric_limits<double>::infinity();
    for (double seconds : {std::numeric_limits<double>::quiet_NaN(), inf, -inf, 1e300, -9.5e15, 9.5e15}) {
        shared->setObject(installKey, platform::PropertyList(platform::Date{seconds}));
        EXPECT_EQ(m.daysSinceInstall(), 0) << seconds;
        // Nothing opens on the strength of such a date (the count is 1 here).
        shared->setObject("mailingList.org.tessivo.Tessivo.launchCount", platform::PropertyList(0));
        EXPECT_FALSE(launch(m)) << seconds;
        EXPECT_TRUE(shared->objectForKey(installKey)->isDate()); // kept as it is
    }
    shared->setObject(installKey, platform::PropertyList(platform::Date{double(now.toSecsSinceEpoch()) - 3 * 86400}));
    EXPECT_EQ(m.daysSinceInstall(), 3);

    // A snooze "until" NaN or infinity is no snooze: the prompt opens.
    shared->setObject("mailingList.org.tessivo.Tessivo.launchCount", platform::PropertyList(5));
    m.snooze();
    for (double seconds : {std::numeric_limits<double>::quiet_NaN(), inf, -inf}) {
        shared->setObject(MailingListManager::snoozeUntilKey, platform::PropertyList(platform::Date{seconds}));
        m.setPresented(false);
        m.evaluatePrompt();
        EXPECT_TRUE(m.isPresented()) << seconds;
    }
}
