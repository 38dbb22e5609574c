// The two ends of a drag between programs, for the cross-process drag test:
//
//   views_drag_helper source TEXT OUTDIR SECONDS
//       shows an interactive view of TEXT at (0, 0), 200 x 200, with dragging
//       on; writes OUTDIR/source.ready once it is on screen and quits once
//       OUTDIR/done appears.
//   views_drag_helper receive OUTDIR SECONDS
//       shows a drop target at (400, 0), 300 x 300; writes OUTDIR/receiver.ready
//       once it is on screen. On a drop it writes every format it was handed
//       (drop.pdf, drop.png, drop.tiff), the URLs (urls.txt) and a copy of
//       each local file (file-N), then OUTDIR/done, and quits.
//
// Both quit after SECONDS whatever happens, so a drag that hangs cannot keep
// them alive.
#include "QRCode/views/Pasteboard.h"
#include "QRCode/views/QRCodeView.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <cstdio>

namespace {

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

class DropTarget : public QWidget {
public:
    explicit DropTarget(QString outDir) : outDir_(std::move(outDir)) { setAcceptDrops(true); }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override { event->acceptProposedAction(); }
    void dragMoveEvent(QDragMoveEvent* event) override { event->acceptProposedAction(); }

    void dropEvent(QDropEvent* event) override {
        const QMimeData* mime = event->mimeData();
        writeFile(outDir_ + "/formats.txt", mime->formats().join('\n').toUtf8());
        writeFile(outDir_ + "/drop.pdf", mime->data(QRCode::views::kPDFMimeType));
        writeFile(outDir_ + "/drop.png", mime->data(QRCode::views::kPNGMimeType));
        writeFile(outDir_ + "/drop.tiff", mime->data(QRCode::views::kTIFFMimeType));
        QByteArray urls;
        int index = 0;
        for (const QUrl& url : mime->urls()) {
            urls += url.toEncoded() + '\n';
            QFile dropped(url.toLocalFile());
            if (url.isLocalFile() && dropped.open(QIODevice::ReadOnly))
                writeFile(outDir_ + "/file-" + QString::number(index), dropped.readAll());
            ++index;
        }
        writeFile(outDir_ + "/urls.txt", urls);
        event->acceptProposedAction();
        writeFile(outDir_ + "/done", "done");
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }

private:
    QString outDir_;
};

bool showAt(QWidget& widget, const QRect& geometry, const QString& readyFile) {
    widget.setGeometry(geometry);
    widget.show();
    if (!QTest::qWaitForWindowExposed(&widget, 10000)) return false;
    QTest::qWait(200);
    return writeFile(readyFile, "ready");
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) return 2;
    const QString mode = args[1];
    const int seconds = args.last().toInt();
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);

    if (mode == "source" && args.size() == 5) {
        QRCodeView view;
        view.setIbTextContent(args[2]);
        view.setSupportsDrag(true);
        view.setDragImageSize(QSize(300, 200));
        if (!showAt(view, QRect(0, 0, 200, 200), args[3] + "/source.ready")) return 1;
        // Ends normally (so its dropped files are cleaned up) once the
        // receiver has taken everything.
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (QFile::exists(args[3] + "/done")) QTimer::singleShot(200, &app, &QCoreApplication::quit);
        });
        poll.start(100);
        return app.exec();
    }
    if (mode == "receive" && args.size() == 4) {
        DropTarget target(args[2]);
        if (!showAt(target, QRect(400, 0, 300, 300), args[2] + "/receiver.ready")) return 1;
        return app.exec();
    }
    std::fprintf(stderr, "usage: views_drag_helper source TEXT OUTDIR SECONDS | receive OUTDIR SECONDS\n");
    return 2;
}
