#include "app/ui/SingleInstance.h"

#include <QFileInfo>
#include <QLocalSocket>

#include <unistd.h>

namespace Tessivo::ui {

namespace {
constexpr char showRequest[] = "show\n";
}

QString SingleInstance::defaultServerName() {
    // The user's private runtime folder when the session has one; otherwise
    // a name in the temporary folder that carries the user id.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.startsWith(QLatin1Char('/')) && QFileInfo(runtime).isDir()) return runtime + QStringLiteral("/tessivo");
    return QStringLiteral("tessivo-%1").arg(qulonglong(::getuid()));
}

SingleInstance::SingleInstance(QString serverName, QObject* parent)
    : QObject(parent), serverName_(std::move(serverName)) {
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                // Only the one request is understood; anything else is ignored.
                if (socket->readAll().startsWith("show")) emit activationRequested();
                socket->disconnectFromServer();
            });
        }
    });
}

bool SingleInstance::notifyRunningInstance(int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(serverName_);
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write(showRequest);
    return socket.waitForBytesWritten(timeoutMs);
}

bool SingleInstance::listen() {
    // Owner-only access: another user must not reach this program.
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (server_.listen(serverName_)) return true;
    // Nobody answered above, so a socket file left behind is stale.
    QLocalServer::removeServer(serverName_);
    return server_.listen(serverName_);
}

} // namespace Tessivo::ui
