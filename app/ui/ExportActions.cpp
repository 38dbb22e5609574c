#include "app/ui/ExportActions.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QThreadPool>

namespace Tessivo {

ExportController::ExportController(QWidget* window, DocumentProvider documents, Reporters reporters, QObject* parent)
    : QObject(parent), window_(window), documents_(std::move(documents)),
      chooseFile_([this](ExportFormat f) { return chooseWithDialog(f); }), reporters_(std::move(reporters)) {}

QString ExportController::chooseWithDialog(ExportFormat format) {
    const ExportFormatInfo& info = exportFormatInfo(format);
    QFileDialog dialog(window_);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QString::fromLatin1(info.nameFilter));
    dialog.setDefaultSuffix(QString::fromLatin1(info.suffix));
    dialog.selectFile(QString::fromLatin1(info.defaultName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

std::shared_ptr<QRCode::Document> ExportController::documentForJob() {
    std::shared_ptr<QRCode::Document> built;
    try {
        built = documents_ ? documents_() : nullptr;
        if (built && built->isMatrixCurrent()) return built->copyDocument();
    } catch (const std::exception&) {
    }
    return nullptr;
}

void ExportController::exportAs(ExportFormat format) {
    auto document = documentForJob();
    const QString failure = QString::fromLatin1(exportFormatInfo(format).failureText);
    if (!document) {
        report(false, QString::fromLatin1(kNoMessageText));
        return;
    }
    const QString path = chooseFile_(format);
    if (path.isEmpty()) return;
    QPointer<ExportController> self(this);
    QThreadPool::globalInstance()->start([self, document, format, path, failure] {
        const bool ok = exportToFile(*document, format, path);
        QMetaObject::invokeMethod(
            qApp,
            [self, ok, failure] {
                if (self) self->report(ok, failure);
            },
            Qt::QueuedConnection);
    });
}

void ExportController::copy(ClipboardItems (*make)(const QRCode::Document&) noexcept) {
    auto document = documentForJob();
    if (!document) {
        report(false, QString::fromLatin1(kNoMessageText));
        return;
    }
    QPointer<ExportController> self(this);
    QThreadPool::globalInstance()->start([self, document, make] {
        ClipboardItems items = make(*document);
        // The clipboard belongs to the main thread: only the bytes travel.
        QMetaObject::invokeMethod(
            qApp,
            [self, items = std::move(items)] {
                if (!self) return;
                const bool ok = publishClipboardItems(items, *QGuiApplication::clipboard());
                self->report(ok, QStringLiteral("Could not copy the QR code to the clipboard."));
            },
            Qt::QueuedConnection);
    });
}

void ExportController::copyImage() { copy(&imageClipboardItems); }
void ExportController::copyTextArt() { copy(&textArtClipboardItems); }

void ExportController::report(bool success, const QString& message) {
    if (success && reporters_.showSuccess) reporters_.showSuccess();
    if (!success && reporters_.showError) reporters_.showError(message);
    emit finished(success);
}

void addActionsMenuItems(QMenu& menu, ExportController& controller) {
    menu.addSection(QStringLiteral("Export as..."));
    for (ExportFormat format : kExportFormats)
        menu.addAction(QString::fromLatin1(exportFormatInfo(format).title), &controller,
                       [&controller, format] { controller.exportAs(format); });
    menu.addSection(QStringLiteral("Copy to clipboard"));
    menu.addAction(QStringLiteral("Image"), &controller, &ExportController::copyImage);
    menu.addAction(QStringLiteral("ASCII Representation"), &controller, &ExportController::copyTextArt);
}

} // namespace Tessivo
