#pragma once

// Helpers of the services' and the windows' tests.
//
// A one-purpose HTTP(S) server on 127.0.0.1 for the network tests. It runs
// on the test's own event loop, records each request and answers as told:
// a status with a body (and extra header lines), nothing at all (a slow
// server), bytes that are not HTTP, a dropped connection, a body that never
// ends, or a body trickled out one byte at a time.
#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QList>
#include <QMap>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

#include <functional>
#include <memory>
#include <string>

struct RecordedRequest {
    QByteArray method;
    QByteArray path;
    QMap<QByteArray, QByteArray> headers; // names in lower case
    QByteArray body;
};

class LocalServer {
public:
    enum class Behaviour { respond, silent, garbage, drop, endless, trickle };

    // Plain HTTP, or TLS with the given certificate and key.
    LocalServer();
    LocalServer(const QSslCertificate& certificate, const QSslKey& key);

    void respondWith(int status, QByteArray body = {}, QByteArray contentType = "text/plain",
                     QByteArray extraHeaders = {}) {
        behaviour_ = Behaviour::respond;
        status_ = status;
        body_ = std::move(body);
        contentType_ = std::move(contentType);
        extraHeaders_ = std::move(extraHeaders);
    }
    void setBehaviour(Behaviour behaviour) { behaviour_ = behaviour; }

    QUrl url(const QString& path) const;
    const QList<RecordedRequest>& requests() const { return requests_; }

private:
    void start(std::unique_ptr<QTcpServer> server);
    void accept(QTcpSocket* socket);
    void readFrom(QTcpSocket* socket);
    void sendEndlessly(QTcpSocket* socket);
    void trickle(QTcpSocket* socket);

    std::unique_ptr<QTcpServer> server_;
    bool tls_ = false;
    Behaviour behaviour_ = Behaviour::respond;
    int status_ = 200;
    QByteArray body_;
    QByteArray contentType_ = "text/plain";
    QByteArray extraHeaders_;
    QMap<QTcpSocket*, QByteArray> buffers_;
    QList<RecordedRequest> requests_;
};

// A self-signed certificate for 127.0.0.1 made with openssl in `folder`.
struct TestCertificate {
    QSslCertificate certificate;
    QSslKey key;
    static TestCertificate make(const std::string& folder);
};

// Client TLS settings that trust exactly the given certificate (checks on).
QSslConfiguration trusting(const QSslCertificate& certificate);

// Receives what QDesktopServices would hand to another program
// (installed with QDesktopServices::setUrlHandler(scheme, catcher, "open")).
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls.append(url); }
};

// Runs the event loop until the condition holds or the time runs out.
bool waitFor(const std::function<bool()>& condition, int milliseconds = 10000);

// The text a scanner reads from the picture, or "" when it finds no code.
std::string scanImage(const QImage& image);
