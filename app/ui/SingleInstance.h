#pragma once

// One running program per user: the first start listens on a local socket
// named for the user; a later start finds it, asks it to show its window
// and ends.

#include <QLocalServer>
#include <QObject>
#include <QString>

namespace Tessivo::ui {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // The socket for the current user: in $XDG_RUNTIME_DIR when there is
    // one, else in the temporary folder under a name with the user id.
    static QString defaultServerName();

    explicit SingleInstance(QString serverName = defaultServerName(), QObject* parent = nullptr);

    // True when another start of the program answered and was asked to show
    // its window; this start should end then.
    bool notifyRunningInstance(int timeoutMs = 1000);
    // Starts listening (after a crash leaves a stale socket, it is replaced).
    bool listen();

signals:
    // Another start asked this one to show its window.
    void activationRequested();

private:
    QString serverName_;
    QLocalServer server_;
};

} // namespace Tessivo::ui
