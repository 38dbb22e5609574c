#include "tests/app/AppTestSupport.h"

#include "platform/detector/QRDetector.h"
#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <QTimer>

#include <cstring>

LocalServer::LocalServer() { start(std::make_unique<QTcpServer>()); }

LocalServer::LocalServer(const QSslCertificate& certificate, const QSslKey& key) : tls_(true) {
    auto server = std::make_unique<QSslServer>();
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.setLocalCertificate(certificate);
    config.setPrivateKey(key);
    config.setPeerVerifyMode(QSslSocket::VerifyNone);
    server->setSslConfiguration(config);
    start(std::move(server));
}

void LocalServer::start(std::unique_ptr<QTcpServer> server) {
    server_ = std::move(server);
    QObject::connect(server_.get(), &QTcpServer::pendingConnectionAvailable, [this] {
        while (QTcpSocket* s = server_->nextPendingConnection()) accept(s);
    });
    server_->listen(QHostAddress::LocalHost, 0);
}

QUrl LocalServer::url(const QString& path) const {
    return QUrl(QStringLiteral("%1://127.0.0.1:%2%3")
                    .arg(tls_ ? QStringLiteral("https") : QStringLiteral("http"))
                    .arg(server_->serverPort())
                    .arg(path));
}

void LocalServer::accept(QTcpSocket* socket) {
    socket->setParent(server_.get());
    QObject::connect(socket, &QTcpSocket::readyRead, [this, socket] { readFrom(socket); });
    if (socket->bytesAvailable()) readFrom(socket);
}

void LocalServer::readFrom(QTcpSocket* socket) {
    QByteArray& buffer = buffers_[socket];
    buffer += socket->readAll();
    const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0) return;
    RecordedRequest request;
    const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
    const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
    request.method = first.value(0);
    request.path = first.value(1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0)
            request.headers.insert(lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
    }
    const qsizetype length = request.headers.value("content-length", "0").toLongLong();
    if (buffer.size() < headerEnd + 4 + length) return;
    request.body = buffer.mid(headerEnd + 4, length);
    buffers_.remove(socket);
    requests_.append(request);

    switch (behaviour_) {
    case Behaviour::silent: return;
    case Behaviour::drop: socket->abort(); return;
    case Behaviour::garbage:
        socket->write("this is not an HTTP answer\r\n\r\n");
        socket->disconnectFromHost();
        return;
    case Behaviour::respond:
        socket->write("HTTP/1.1 " + QByteArray::number(status_) + " Status\r\nContent-Type: " + contentType_ +
                      "\r\nContent-Length: " + QByteArray::number(body_.size()) + "\r\n" + extraHeaders_ +
                      "Connection: close\r\n\r\n" + body_);
        socket->disconnectFromHost();
        return;
    case Behaviour::endless: sendEndlessly(socket); return;
    case Behaviour::trickle: trickle(socket); return;
    }
}

void LocalServer::sendEndlessly(QTcpSocket* socket) {
    // No length: the body ends when the connection does. The server stops by
    // itself after 256 MB, so a client without a cap fails its test rather
    // than the machine.
    socket->write("HTTP/1.1 200 OK\r\nContent-Type: " + contentType_ + "\r\nConnection: close\r\n\r\n");
    auto sent = std::make_shared<qint64>(0);
    const QByteArray chunk(64 * 1024, 'x');
    auto more = [socket, sent, chunk] {
        while (socket->bytesToWrite() < 4 * chunk.size() && *sent < (qint64(256) << 20)) {
            socket->write(chunk);
            *sent += chunk.size();
        }
        if (*sent >= (qint64(256) << 20)) socket->disconnectFromHost();
    };
    QObject::connect(socket, &QTcpSocket::bytesWritten, socket, more);
    more();
}

void LocalServer::trickle(QTcpSocket* socket) {
    // A whole reply's worth of headers, then one byte of the body every 50 ms
    // (each read is quick; the exchange never ends).
    socket->write("HTTP/1.1 200 OK\r\nContent-Type: " + contentType_ +
                  "\r\nContent-Length: 100000\r\nConnection: close\r\n\r\n");
    auto* timer = new QTimer(socket);
    QObject::connect(timer, &QTimer::timeout, socket, [socket] { socket->write("x"); });
    timer->start(50);
}

TestCertificate TestCertificate::make(const std::string& folder) {
    const std::string key = folder + "/key.pem", cert = folder + "/cert.pem";
    const int rc = testsupport::runCommand("openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1 "
                                           "-addext subjectAltName=IP:127.0.0.1 -keyout '" +
                                           key + "' -out '" + cert + "' 2>/dev/null");
    if (rc != 0) throw std::runtime_error("openssl failed");
    QFile certFile(QString::fromStdString(cert)), keyFile(QString::fromStdString(key));
    certFile.open(QIODevice::ReadOnly);
    keyFile.open(QIODevice::ReadOnly);
    return {QSslCertificate(certFile.readAll(), QSsl::Pem), QSslKey(keyFile.readAll(), QSsl::Rsa, QSsl::Pem)};
}

QSslConfiguration trusting(const QSslCertificate& certificate) {
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.setCaCertificates({certificate});
    return config;
}

bool waitFor(const std::function<bool()>& condition, int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > milliseconds) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(1);
    }
    return true;
}

std::string scanImage(const QImage& image) {
    if (image.isNull()) return {};
    // Qt's premultiplied ARGB32 is the bitmap's own layout.
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    gfx::Image bitmap(argb.width(), argb.height());
    for (int y = 0; y < argb.height(); ++y)
        std::memcpy(bitmap.row(y), argb.constScanLine(y), std::size_t(bitmap.stride()));
    const auto codes = platform::detectQRCodes(bitmap);
    return codes.empty() ? std::string() : codes.front().text;
}
