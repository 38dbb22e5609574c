#pragma once

#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QUrl>

#include <optional>

namespace Tessivo {

// Whether the application may send a request to this address: HTTPS always;
// plain HTTP only to the loopback interface (the local servers of tests and
// development). Anything else is refused before a connection is made.
bool isAllowedRequestURL(const QUrl& url);

// How requests of the updater and the mailing list are made. Certificate
// checks stay on; a test that serves TLS from 127.0.0.1 passes its own CA as
// the extra trusted certificate instead of switching checks off.
struct NetworkOptions {
    int timeoutMilliseconds = 60'000;
    std::optional<QSslConfiguration> sslConfiguration;
};

void applyNetworkOptions(QNetworkRequest& request, const NetworkOptions& options);

} // namespace Tessivo
