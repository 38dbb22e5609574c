#pragma once

#include "app/core/Export.h"

#include <QDialog>
#include <QMenu>
#include <QPointer>

#include <functional>
#include <memory>

class QMessageBox;

namespace Tessivo {

// The notice shown for two seconds after an export or a copy succeeded.
class SuccessSheet : public QDialog {
    Q_OBJECT
public:
    explicit SuccessSheet(QWidget* parent = nullptr);
};

// Runs the "Actions" menu: asks for a file, renders and writes off the main
// thread on a document of its own, and reports back on the main thread with
// the "Export failed" alert or the success sheet.
class ExportController : public QObject {
    Q_OBJECT
public:
    // The current design's document, or null when there is no message.
    using DocumentProvider = std::function<std::shared_ptr<QRCode::Document>()>;
    // The chosen file, or the empty text when the user cancelled.
    using FileChooser = std::function<QString(ExportFormat)>;

    static constexpr const char* kNoMessageText = "Enter a message first to generate a QR code.";
    static constexpr int kSuccessMilliseconds = 2000;

    ExportController(QWidget* window, DocumentProvider documents, QObject* parent = nullptr);

    // A save dialog with the format's filter, default name and suffix.
    void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }
    // Where outcomes are shown; by default an alert and a sheet of the
    // controller's own.
    void setReporters(std::function<void(const QString&)> showError, std::function<void()> showSuccess) {
        showError_ = std::move(showError);
        showSuccess_ = std::move(showSuccess);
    }

    void exportAs(ExportFormat format);
    void copyImage();
    void copyTextArt();

    // What the user sees: the alert's message while it is open, and whether
    // the success sheet is up.
    QString errorMessage() const;
    bool isSuccessSheetShown() const;

signals:
    // After the outcome is shown (tests and the status line wait for it).
    void finished(bool success);

private:
    QString chooseWithDialog(ExportFormat format);
    // The design for a background job: built now, then copied so that it
    // shares no generator object with the preview.
    std::shared_ptr<QRCode::Document> documentForJob();
    void report(bool success, const QString& message);
    void copy(ClipboardItems (*make)(const QRCode::Document&) noexcept);

    QWidget* window_;
    DocumentProvider documents_;
    FileChooser chooseFile_;
    std::function<void(const QString&)> showError_;
    std::function<void()> showSuccess_;
    QPointer<QMessageBox> alert_;
    QPointer<SuccessSheet> sheet_;
};

// Fills an "Actions" menu: "Export as..." PNG, JPEG, TIFF, PDF, SVG and
// "Copy to clipboard" Image and ASCII Representation.
void fillActionsMenu(QMenu& menu, ExportController& controller);

} // namespace Tessivo
