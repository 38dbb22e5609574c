#include "app/core/Network.h"

#include <QHostAddress>

namespace Tessivo {

bool isAllowedRequestURL(const QUrl& url) {
    if (!url.isValid() || url.host().isEmpty()) return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("https")) return true;
    if (scheme != QLatin1String("http")) return false;
    if (url.host().compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0) return true;
    const QHostAddress address(url.host());
    return !address.isNull() && address.isLoopback();
}

void applyNetworkOptions(QNetworkRequest& request, const NetworkOptions& options) {
    request.setTransferTimeout(options.timeoutMilliseconds);
    if (options.sslConfiguration) request.setSslConfiguration(*options.sslConfiguration);
}

} // namespace Tessivo
