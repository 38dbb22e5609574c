#pragma once

#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QString>
#include <QUrl>

#include <optional>

class QNetworkReply;

namespace Tessivo {

// Whether the application may send a request to this address: HTTPS always;
// plain HTTP only to the loopback interface (the local servers of tests and
// development). Anything else is refused before a connection is made.
bool isAllowedRequestURL(const QUrl& url);

// Whether a reply from `from` may be followed to `to` (resolved against
// `from`): the target must be an allowed address, and HTTPS never steps down
// to plain HTTP. So a loopback test server cannot send the client to plain
// HTTP elsewhere.
bool isAllowedRedirect(const QUrl& from, const QUrl& to);

// How requests of the updater and the mailing list are made. Certificate
// checks stay on; a test that serves TLS from 127.0.0.1 passes its own CA as
// the extra trusted certificate instead of switching checks off.
struct NetworkOptions {
    // The whole exchange, from sending the request to the last byte of the
    // reply; a server that trickles its answer does not extend it.
    int timeoutMilliseconds = 60'000;
    // The most a reply body may hold. An update feed or a status answer is a
    // few kilobytes; anything near this is not one.
    qint64 maximumReplyBytes = qint64(4) << 20;
    std::optional<QSslConfiguration> sslConfiguration;
};

// Applies the TLS settings; a request that may be redirected also asks to
// have each redirect checked by boundReply.
void applyNetworkOptions(QNetworkRequest& request, const NetworkOptions& options);

// Keeps one reply within the options: aborts it when the whole exchange
// outlasts the timeout or its body grows past the cap, and refuses a
// redirect that isAllowedRedirect refuses before anything is sent there.
// Call right after the request is sent.
void boundReply(QNetworkReply& reply, const NetworkOptions& options);

// Why boundReply stopped the reply, as a sentence for the user; empty when it
// did not.
QString boundedReplyFailure(const QNetworkReply& reply);
// Whether boundReply stopped the reply because time ran out.
bool boundedReplyTimedOut(const QNetworkReply& reply);

} // namespace Tessivo
