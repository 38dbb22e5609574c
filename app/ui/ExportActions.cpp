#include "app/ui/ExportActions.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QThreadPool>
#include <QTimer>
#include <QVBoxLayout>

namespace Tessivo {

SuccessSheet::SuccessSheet(QWidget* parent) : QDialog(parent)
{
    setWindowModality(Qt::WindowModal);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    auto* text = new QLabel(QStringLiteral("Successfully generated QR image!"), this);
    text->setAlignment(Qt::AlignCenter);
    layout->addWidget(text);
}

ExportController::ExportController(QWidget* window, DocumentProvider documents, QObject* parent)
    : QObject(parent), window_(window), documents_(std::move(documents)),
      chooseFile_([this](ExportFormat f) { return chooseWithDialog(f); })
{
}

QString ExportController::chooseWithDialog(ExportFormat format)
{
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

std::shared_ptr<QRCode::Document> ExportController::documentForJob()
{
    std::shared_ptr<QRCode::Document> built;
    try {
        built = documents_ ? documents_() : nullptr;
        if (built && built->isMatrixCurrent()) return built->copyDocument();
    } catch (const std::exception&) {
    }
    return nullptr;
}

void ExportController::exportAs(ExportFormat format)
{
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
        QMetaObject::invokeMethod(qApp, [self, ok, failure] {
            if (self) self->report(ok, failure);
        }, Qt::QueuedConnection);
    });
}

void ExportController::copy(ClipboardItems (*make)(const QRCode::Document&) noexcept)
{
    auto document = documentForJob();
    if (!document) {
        report(false, QString::fromLatin1(kNoMessageText));
        return;
    }
    QPointer<ExportController> self(this);
    QThreadPool::globalInstance()->start([self, document, make] {
        ClipboardItems items = make(*document);
        // The clipboard belongs to the main thread: only the bytes travel.
        QMetaObject::invokeMethod(qApp, [self, items = std::move(items)] {
            if (!self) return;
            const bool ok = publishClipboardItems(items, *QGuiApplication::clipboard());
            self->report(ok, QStringLiteral("Could not copy the QR code to the clipboard."));
        }, Qt::QueuedConnection);
    });
}

void ExportController::copyImage() { copy(&imageClipboardItems); }
void ExportController::copyTextArt() { copy(&textArtClipboardItems); }

void ExportController::report(bool success, const QString& message)
{
    if (success && showSuccess_) {
        showSuccess_();
    } else if (!success && showError_) {
        showError_(message);
    } else if (success) {
        if (!sheet_) {
            sheet_ = new SuccessSheet(window_);
            sheet_->setAttribute(Qt::WA_DeleteOnClose);
        }
        sheet_->open();
        // Each success hides the sheet two seconds later; nothing is cancelled.
        QTimer::singleShot(kSuccessMilliseconds, this, [this] {
            if (sheet_) sheet_->close();
        });
    } else {
        if (!alert_) {
            alert_ = new QMessageBox(QMessageBox::Warning, QStringLiteral("Export failed"),
                                     QStringLiteral("Export failed"), QMessageBox::Ok, window_);
            alert_->setWindowModality(Qt::WindowModal);
            alert_->setAttribute(Qt::WA_DeleteOnClose);
        }
        // A second failure before the dismissal replaces the text.
        alert_->setInformativeText(message);
        alert_->open();
    }
    emit finished(success);
}

QString ExportController::errorMessage() const
{
    return alert_ && alert_->isVisible() ? alert_->informativeText() : QString();
}

bool ExportController::isSuccessSheetShown() const { return sheet_ && sheet_->isVisible(); }

void fillActionsMenu(QMenu& menu, ExportController& controller)
{
    menu.addSection(QStringLiteral("Export as..."));
    for (ExportFormat format : kExportFormats)
        menu.addAction(QString::fromLatin1(exportFormatInfo(format).title), &controller,
                       [&controller, format] { controller.exportAs(format); });
    menu.addSection(QStringLiteral("Copy to clipboard"));
    menu.addAction(QStringLiteral("Image"), &controller, &ExportController::copyImage);
    menu.addAction(QStringLiteral("ASCII Representation"), &controller, &ExportController::copyTextArt);
}

} // namespace Tessivo
