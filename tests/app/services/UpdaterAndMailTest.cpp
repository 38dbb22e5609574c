#include "app/core/SupportMail.h"
#include "app/core/Updater.h"

#include "tests/app/AppTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QDesktopServices>
#include <QNetworkProxy>
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

NetworkOptions options(int timeoutMilliseconds, std::optional<QSslConfiguration> tls = {}, qint64 cap = 4 << 20) {
    NetworkOptions o;
    o.timeoutMilliseconds = timeoutMilliseconds;
    o.sslConfiguration = std::move(tls);
    o.maximumReplyBytes = cap;
    return o;
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
    Updater updater(server.url(QStringLiteral("/appcast.xml")), "1.0", options(3000));
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

    Updater untrusted(secure.url(QStringLiteral("/feed")), "1.0", options(3000));
    EXPECT_EQ(check(untrusted).kind, Kind::error);
    Updater trusted(secure.url(QStringLiteral("/feed")), "1.0", options(3000, trusting(cert.certificate)));
    EXPECT_EQ(check(trusted).kind, Kind::updateAvailable);
}

TEST(UpdateFeed, DeepNestingIsRefusedWithoutRecursion) {
    // Markup inside the texts is read through at any sane depth.
    const QByteArray nested = QByteArray("<b>").repeated(10) + "New" + QByteArray("</b>").repeated(10);
    const auto items = parseUpdateFeed(feed(item("2.0", "https://tessivo.org/2.0", nested.constData())));
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items.front().notes, QStringLiteral("New"));

    // Exactly as deep as the limit, and one level deeper: in the channel
    // (under rss and channel) and inside a release's notes (under rss,
    // channel, item and description).
    for (const int extra : {0, 1}) {
        const int inChannel = kMaximumFeedDepth - 2 + extra, inNotes = kMaximumFeedDepth - 4 + extra;
        const QByteArray channel = QByteArray("<x>").repeated(inChannel) + QByteArray("</x>").repeated(inChannel) +
                                   item("2.0", "https://tessivo.org/2.0");
        const QByteArray notes = QByteArray("<b>").repeated(inNotes) + "New" + QByteArray("</b>").repeated(inNotes);
        for (const QByteArray& text :
             {feed(channel), feed(item("2.0", "https://tessivo.org/2.0", notes.constData()))}) {
            if (extra == 0) {
                EXPECT_EQ(parseUpdateFeed(text).size(), 1u);
                continue;
            }
            try {
                parseUpdateFeed(text);
                ADD_FAILURE() << "a feed one level too deep was read";
            } catch (const std::runtime_error& e) {
                EXPECT_STREQ(e.what(), "The update feed is nested too deeply.");
            }
        }
    }

    // 100,000 levels, in the channel and inside a release's notes.
    const QByteArray open = QByteArray("<x>").repeated(100000), close = QByteArray("</x>").repeated(100000);
    for (const QByteArray& deep : {feed(open + close), feed(item("2.0", "https://a", (open + close).constData()))}) {
        try {
            parseUpdateFeed(deep);
            ADD_FAILURE() << "a deep feed was read";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "The update feed is nested too deeply.");
        }
    }
}

TEST(Network, RedirectsNeverLeadToPlainHttpElsewhereNorDownFromHttps) {
    const QUrl loopback(QStringLiteral("http://127.0.0.1:8080/feed.xml"));
    EXPECT_TRUE(isAllowedRedirect(loopback, QUrl(QStringLiteral("/moved.xml"))));
    EXPECT_TRUE(isAllowedRedirect(loopback, QUrl(QStringLiteral("http://localhost:9/feed.xml"))));
    EXPECT_TRUE(isAllowedRedirect(loopback, QUrl(QStringLiteral("https://tessivo.org/feed.xml"))));
    EXPECT_FALSE(isAllowedRedirect(loopback, QUrl(QStringLiteral("http://203.0.113.9/feed.xml"))));
    EXPECT_FALSE(isAllowedRedirect(loopback, QUrl(QStringLiteral("//203.0.113.9/feed.xml"))));
    EXPECT_FALSE(isAllowedRedirect(loopback, QUrl(QStringLiteral("ftp://127.0.0.1/feed.xml"))));
    const QUrl secure(QStringLiteral("https://tessivo.org/feed.xml"));
    EXPECT_TRUE(isAllowedRedirect(secure, QUrl(QStringLiteral("https://cdn.tessivo.org/feed.xml"))));
    EXPECT_FALSE(isAllowedRedirect(secure, QUrl(QStringLiteral("http://127.0.0.1/feed.xml"))));
}

TEST(Updater, EndlessTricklingDeepAndRedirectedRepliesEndWithAClearError) {
    qRegisterMetaType<UpdateCheckResult>();
    LocalServer server;
    const QUrl address = server.url(QStringLiteral("/appcast.xml"));

    // A body that never ends is cut at the cap.
    server.setBehaviour(LocalServer::Behaviour::endless);
    Updater capped(address, "1.0", options(20000, {}, 1 << 20));
    UpdateCheckResult result = check(capped);
    EXPECT_EQ(result.kind, Kind::error);
    EXPECT_EQ(result.errorMessage, QStringLiteral("The server's reply is larger than 1048576 bytes."));

    // A feed of exactly the cap is read; one byte more is refused.
    const QByteArray exact = feed(item("1.1", "https://tessivo.org/download"));
    server.respondWith(200, exact, "application/rss+xml");
    Updater atTheCap(address, "1.0", options(20000, {}, exact.size()));
    EXPECT_EQ(check(atTheCap).kind, Kind::updateAvailable);
    Updater pastTheCap(address, "1.0", options(20000, {}, exact.size() - 1));
    result = check(pastTheCap);
    EXPECT_EQ(result.kind, Kind::error);
    EXPECT_EQ(result.errorMessage, QStringLiteral("The server's reply is larger than %1 bytes.").arg(exact.size() - 1));

    // A byte every 50 ms keeps every read short; the exchange as a whole
    // still ends at the limit.
    server.setBehaviour(LocalServer::Behaviour::trickle);
    Updater impatient(address, "1.0", options(400));
    result = check(impatient);
    EXPECT_EQ(result.kind, Kind::error);
    EXPECT_EQ(result.errorMessage, QStringLiteral("The request timed out."));

    // A feed nested 100,000 deep is an error, read off the main thread.
    server.respondWith(200, feed(QByteArray("<x>").repeated(100000) + QByteArray("</x>").repeated(100000)));
    Updater updater(address, "1.0", options(10000));
    result = check(updater);
    EXPECT_EQ(result.kind, Kind::error);
    EXPECT_EQ(result.errorMessage, QStringLiteral("The update feed is nested too deeply."));
}

TEST(Updater, FollowsRedirectsOnlyWhereRequestsMayGo) {
    qRegisterMetaType<UpdateCheckResult>();
    LocalServer origin, mirror;
    mirror.respondWith(200, feed(item("1.1", "https://tessivo.org/download")));
    origin.respondWith(302, {}, "text/plain", "Location: " + mirror.url(QStringLiteral("/feed.xml")).toEncoded() + "\r\n");
    Updater updater(origin.url(QStringLiteral("/appcast.xml")), "1.0", options(5000));
    EXPECT_EQ(check(updater).kind, Kind::updateAvailable);
    ASSERT_EQ(mirror.requests().size(), 1);
    EXPECT_EQ(mirror.requests().front().path, "/feed.xml");

    // Plain HTTP away from the loopback interface is refused before any
    // connection: every request that is not for loopback goes to a proxy on
    // 127.0.0.1, which must see nothing.
    LocalServer proxy;
    proxy.respondWith(200, feed(item("9.0", "https://tessivo.org/download")));
    QNetworkProxy::setApplicationProxy(
        QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), quint16(proxy.url({}).port())));
    origin.respondWith(302, {}, "text/plain", "Location: http://203.0.113.9/feed.xml\r\n");
    const UpdateCheckResult refused = check(updater);
    QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::NoProxy));
    EXPECT_EQ(refused.kind, Kind::error);
    EXPECT_EQ(refused.errorMessage,
              QStringLiteral("The server redirected to an address that is not allowed (http://203.0.113.9/feed.xml)."));
    EXPECT_TRUE(proxy.requests().isEmpty());
    EXPECT_EQ(origin.requests().size(), 2);
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
