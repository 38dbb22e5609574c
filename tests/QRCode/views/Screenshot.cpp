// Shows the interactive view in a window, waits for its background
// rendering and saves what the window draws: views_screenshot out.png
#include "QRCode/fills/Solid.h"
#include "QRCode/views/QRCodeView.h"

#include <QApplication>
#include <QTest>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("views.png");
    QRCodeView view;
    view.setWindowTitle(QStringLiteral("QRCodeView"));
    view.setIbTextContent(QStringLiteral("Tessivo views"));
    view.setIbPixelShape(QStringLiteral("abstract"));
    view.setIbPixelColor(QColor(20, 60, 140));
    view.setIbEyeColor(QColor(200, 40, 40));
    view.resize(420, 320);
    view.show();
    if (!QTest::qWaitForWindowExposed(&view) || !QTest::qWaitFor([&] { return !view.image().isNull(); }, 10000)) {
        std::fprintf(stderr, "no rendering\n");
        return 1;
    }
    QTest::qWait(100);
    if (!view.grab().save(out)) return 1;
    return 0;
}
