#include "app/ui/SingleInstance.h"

#include <QLocalSocket>

#include <unistd.h>

namespace Tessivo::ui {

namespace {
constexpr char showRequest[] = "show\n";
}

QString SingleInstance::defaultServerName() {
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
