#include "app/ui/ExportActions.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QThreadPool>

namespace Tessivo {

namespace {

// Qt's own save dialog, whose file always carries the chosen format's
// extension: a name ending in any other is given the format's before the
// overwrite question, so the question names the file that will be written
// and "No" leaves the dialog open. Native dialogs on Linux ask about the
// name as typed and may end before the name can be mended, so this one is
// never native.
class ExportSaveDialog : public QFileDialog {
public:
    ExportSaveDialog(QWidget* parent, ExportFormat format) : QFileDialog(parent), format_(format) {
        setOption(QFileDialog::DontUseNativeDialog);
        setOption(QFileDialog::DontConfirmOverwrite); // asked below, about the final name
    }

    QString chosenPath() const { return chosen_; }

    void accept() override {
        const QString typed = selectedFiles().value(0);
        // An empty name, or a folder to go into, is the dialog's own matter.
        if (typed.isEmpty() || QFileInfo(typed).isDir()) {
            QFileDialog::accept();
            return;
        }
        const QString path = withFormatExtension(typed, format_);
        const QFileInfo target(path);
        if (target.exists() &&
            QMessageBox::warning(
                this, windowTitle(),
                QFileDialog::tr("%1 already exists.\nDo you want to replace it?").arg(target.fileName()),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
            return;
        chosen_ = path;
        QFileDialog::accept();
    }

private:
    ExportFormat format_;
    QString chosen_;
};

} // namespace

ExportController::ExportController(QWidget* window, DocumentProvider documents, Reporters reporters, QObject* parent)
    : QObject(parent), window_(window), documents_(std::move(documents)),
      chooseFile_([this](ExportFormat f) { return chooseWithDialog(f); }), reporters_(std::move(reporters)) {}

QString ExportController::chooseWithDialog(ExportFormat format) {
    const ExportFormatInfo& info = exportFormatInfo(format);
    ExportSaveDialog dialog(window_, format);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QString::fromLatin1(info.nameFilter));
    dialog.setDefaultSuffix(QString::fromLatin1(info.suffix));
    dialog.selectFile(QString::fromLatin1(info.defaultName));
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.chosenPath();
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
