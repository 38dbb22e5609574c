#include "app/core/SupportMail.h"
#include "app/core/Updater.h"

#include "tests/app/AppTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QDesktopServices>
#include <QSignalSpy>
#include <QUrlQuery>

#include <gtest/gtest.h>

using namespace Tessivo;
using Kind = UpdateCheckResult::Kind;

namespace {

QByteArray feed(const QByteArray& items) {
    return "<?xml version=\"1.0\"?><rss version=\"2.0\" xmlns:tessivo=\"https://tessivo.org/xmlns/update\">"
           "<channel><title>Tessivo</title>" +
           items + "</channel></rss>";
}

QByteArray item(const char* version, const char* link, const char* notes = "Fixes.") {
    return QByteArray("<item><title>Tessivo ") + version + "</title><link>" + link + "</link><description>" + notes +
           "</description><tessivo:version>" + version + "</tessivo:version></item>";
}

UpdateCheckResult check(Updater& updater) {
    QSignalSpy finished(&updater, &Updater::checkFinished);
    updater.checkForUpdates();
    EXPECT_FALSE(updater.canCheckForUpdates());
    EXPECT_TRUE(updater.sessionInProgress());
    EXPECT_TRUE(finished.wait(10000));
    EXPECT_TRUE(updater.canCheckForUpdates());
    return finished.isEmpty() ? UpdateCheckResult{} : finished.front().front().value<UpdateCheckResult>();
}

} // namespace

Q_DECLARE_METATYPE(Tessivo::UpdateCheckResult)

TEST(UpdateFeed, ComparesVersionsAndPicksTheNewestSecureRelease) {
    EXPECT_LT(compareVersions("1.2", "1.10"), 0);
    EXPECT_EQ(compareVersions("1.2", "1.2.0"), 0);
    EXPECT_GT(compareVersions("2.0", "1.99.99"), 0);
    EXPECT_LT(compareVersions("1.2", "1.2.beta"), 0);

    const auto items =
        parseUpdateFeed(feed(item("0.9", "https://tessivo.org/0.9") +
                             item("1.4.2", "https://tessivo.org/download", "<![CDATA[<b>New</b> & better]]>") +
                             item("9.0", "http://insecure.example/9.0") + "<item><title>x</title></item>" +
                             item("1.4.1", "https://tessivo.org/1.4.1")));
    ASSERT_EQ(items.size(), 3u); // no version, or a download page without HTTPS: left out
    const auto newer = evaluateFeed(items, "1.4");
    EXPECT_EQ(newer.kind, Kind::updateAvailable);
    EXPECT_EQ(newer.newest.version, QStringLiteral("1.4.2"));
    EXPECT_EQ(newer.newest.downloadPage, QUrl(QStringLiteral("https://tessivo.org/download")));
    EXPECT_EQ(newer.newest.notes, QStringLiteral("<b>New</b> & better"));
    EXPECT_EQ(evaluateFeed(items, "1.4.2").kind, Kind::upToDate);

    EXPECT_THROW(parseUpdateFeed("<html><body>moved</body></html>"), std::runtime_error);
    EXPECT_THROW(parseUpdateFeed(feed(item("1", "https://a")).left(80)), std::runtime_error);
}

TEST(Updater, ChecksOnlyWhenAskedAndReportsEachOutcome) {
    qRegisterMetaType<UpdateCheckResult>();
    EXPECT_FALSE(Updater(QUrl(), "1.0").canCheckForUpdates());
    EXPECT_FALSE(Updater(QUrl("http://example.org/feed.xml"), "1.0").canCheckForUpdates());

    LocalServer server;
    Updater updater(server.url(QStringLiteral("/appcast.xml")), "1.0", NetworkOptions{3000, {}});
    EXPECT_TRUE(server.requests().isEmpty()); // nothing happens by itself

    server.respondWith(200, feed(item("1.1", "https://tessivo.org/download")), "application/rss+xml");
    UpdateCheckResult result = check(updater);
    EXPECT_EQ(result.kind, Kind::updateAvailable);
    EXPECT_EQ(result.newest.version, QStringLiteral("1.1"));
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(server.requests().front().path, "/appcast.xml");

    server.respondWith(200, feed(item("1.0", "https://tessivo.org/download")));
    EXPECT_EQ(check(updater).kind, Kind::upToDate);

    server.respondWith(404, "gone");
    result = check(updater);
    EXPECT_EQ(result.kind, Kind::error);
    EXPECT_FALSE(result.errorMessage.isEmpty());

    server.respondWith(200, "not a feed");
    EXPECT_EQ(check(updater).kind, Kind::error);
}

TEST(Updater, HttpsFeedNeedsATrustedCertificate) {
    testsupport::TempDir dir;
    const TestCertificate cert = TestCertificate::make(dir.path().string());
    LocalServer secure(cert.certificate, cert.key);
    secure.respondWith(200, feed(item("3.0", "https://tessivo.org/download")));

    Updater untrusted(secure.url(QStringLiteral("/feed")), "1.0", NetworkOptions{3000, {}});
    EXPECT_EQ(check(untrusted).kind, Kind::error);
    Updater trusted(secure.url(QStringLiteral("/feed")), "1.0", NetworkOptions{3000, trusting(cert.certificate)});
    EXPECT_EQ(check(trusted).kind, Kind::updateAvailable);
}

TEST(SupportMail, BuildsTheAddressAndHandsItToTheMailProgram) {
    const QUrl url = supportMailURL(QStringLiteral("help@tessivo.org"), QStringLiteral("Tessivo"));
    const QByteArray text = url.toEncoded();
    EXPECT_TRUE(text.startsWith(
        "mailto:help@tessivo.org?subject=Tessivo%20Support%20Request&body=Hello%20Tessivo%20Team,%0A%0AI%20need"))
        << text.toStdString();
    EXPECT_TRUE(text.endsWith("following:%0A%0A"));
    EXPECT_TRUE(supportMailURL(QStringLiteral("a@b"), QString())
                    .toEncoded()
                    .contains("subject=App%20Support%20Request&body=Hello%20App%20Team,"));

    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &catcher, "open");
    QCoreApplication::setApplicationName(QStringLiteral("Tessivo"));
    contactSupport(QStringLiteral("Crash & burn = bad?#1 +x"));
    contactSupport();
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));

    ASSERT_EQ(catcher.urls.size(), 2);
    const QUrlQuery custom(catcher.urls[0]);
    EXPECT_EQ(custom.queryItems(QUrl::FullyDecoded).size(), 2);
    EXPECT_EQ(custom.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
              QStringLiteral("Crash & burn = bad?#1 +x"));
    EXPECT_EQ(custom.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded),
              QStringLiteral("Hello Tessivo Team,\n\nI need assistance with the following:\n\n"));
    const QUrlQuery standard(catcher.urls[1]);
    EXPECT_EQ(standard.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
              QStringLiteral("Tessivo Support Request"));
    EXPECT_TRUE(catcher.urls[1].toString().startsWith(QStringLiteral("mailto:support@")));
}
