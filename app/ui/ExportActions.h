#pragma once

#include "app/core/Export.h"

#include <QMenu>
#include <QPointer>

#include <functional>
#include <memory>

namespace Tessivo {

// Runs the "Actions" menu: asks for a file, renders and writes off the main
// thread on a document of its own, and reports back on the main thread
// through the window's "Export failed" alert or its success notice.
class ExportController : public QObject {
    Q_OBJECT
public:
    // The current design's document, or null when there is no message.
    using DocumentProvider = std::function<std::shared_ptr<QRCode::Document>()>;
    // The file to write, or the empty text when the user cancelled.
    using FileChooser = std::function<QString(ExportFormat)>;

    static constexpr const char* kNoMessageText = "Enter a message first to generate a QR code.";
    static constexpr int kSuccessMilliseconds = 2000;

    struct Reporters {
        std::function<void(const QString&)> showError;
        std::function<void()> showSuccess;
    };

    ExportController(QWidget* window, DocumentProvider documents, Reporters reporters, QObject* parent = nullptr);

    // Replaces the save dialog, which offers the format's default name and
    // gives the file the format's extension (asking before it replaces one).
    void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

    void exportAs(ExportFormat format);
    void copyImage();
    void copyTextArt();

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
    Reporters reporters_;
};

// Fills an "Actions" menu: "Export as..." PNG, JPEG, TIFF, PDF, SVG and
// "Copy to clipboard" Image and ASCII Representation.
void addActionsMenuItems(QMenu& menu, ExportController& controller);

} // namespace Tessivo
