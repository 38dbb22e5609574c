#pragma once

#include "QRCode/views/QRCodeDocumentView.h"

#include <QColor>
#include <QMimeData>
#include <QSize>
#include <QString>
#include <QStringConverter>
#include <QUrl>

#include <memory>
#include <optional>

namespace QRCode {
class QRCodeMessageFormatter;
}

// A document view that always owns a document, exposes its content, level,
// design and logo, offers designer properties (text, level, generators by
// registry name, four solid colours) and can be a drag source that hands the
// code over as PDF, PNG or TIFF data or as a PDF file.
//
// Every change made through the view ends with a refresh: the owned document
// is shown again, rendered 0.1 s after the last refresh.
class QRCodeView : public QRCodeDocumentView {
    Q_OBJECT
    Q_PROPERTY(bool supportsDrag READ supportsDrag WRITE setSupportsDrag)
    Q_PROPERTY(QSize dragImageSize READ dragImageSize WRITE setDragImageSize)
    Q_PROPERTY(QString ibEyeShape READ ibEyeShape WRITE setIbEyeShape)
    Q_PROPERTY(QString ibPixelShape READ ibPixelShape WRITE setIbPixelShape)
    Q_PROPERTY(QString ibPupilShape READ ibPupilShape WRITE setIbPupilShape)
    Q_PROPERTY(QString ibCorrectionLevel READ ibCorrectionLevel WRITE setIbCorrectionLevel)
    Q_PROPERTY(QString ibTextContent READ ibTextContent WRITE setIbTextContent)
    Q_PROPERTY(QColor ibPixelColor READ ibPixelColor WRITE setIbPixelColor)
    Q_PROPERTY(QColor ibEyeColor READ ibEyeColor WRITE setIbEyeColor)
    Q_PROPERTY(QColor ibPupilColor READ ibPupilColor WRITE setIbPupilColor)
    Q_PROPERTY(QColor ibBackgroundColor READ ibBackgroundColor WRITE setIbBackgroundColor)
public:
    // The name under which a dropped file is written (a counter is inserted
    // before the extension when a file of that name exists in the folder).
    static constexpr const char* kDroppedFileName = "Dropped QRCode.pdf";

    // A new default document (empty data, level quartile, default design).
    explicit QRCodeView(QWidget* parent = nullptr);
    // The given document, or a new default one when null.
    explicit QRCodeView(QRCode::DocumentPtr document, QWidget* parent = nullptr);
    ~QRCodeView() override;

    // Never null.
    QRCode::DocumentPtr document() const override { return document_; }
    void setDocument(QRCode::DocumentPtr document) override;

    QRCode::ErrorCorrection errorCorrection() const { return document_->errorCorrection(); }
    void setErrorCorrection(QRCode::ErrorCorrection errorCorrection);
    // Data content's bytes; empty when the content is text.
    QRCode::Document::Bytes data() const;
    void setData(QRCode::Document::Bytes data);
    QRCode::DesignPtr design() const { return document_->design(); }
    void setDesign(QRCode::DesignPtr design);
    QRCode::LogoTemplatePtr logoTemplate() const { return document_->logoTemplate(); }
    void setLogoTemplate(QRCode::LogoTemplatePtr logoTemplate);
    std::int64_t cellDimension() const { return document_->cellDimension(); }
    // The module size for the smaller side of the view, truncated to a whole
    // number; 0 when there is no matrix.
    std::int64_t cellSize() const;

    // The text's bytes become data content. False, and nothing changes,
    // when the text cannot be represented in the encoding.
    bool setString(const QString& text);
    bool setString(const QString& text, QStringConverter::Encoding encoding);
    // The message's bytes become data content.
    void setMessage(const QRCode::QRCodeMessageFormatter& message);

    bool supportsDrag() const { return supportsDrag_; }
    void setSupportsDrag(bool value) { supportsDrag_ = value; }
    // Pixel size of the dragged images and point size of the dragged PDF.
    QSize dragImageSize() const { return dragImageSize_; }
    void setDragImageSize(QSize size) { dragImageSize_ = size; }

    // Designer properties.
    QString ibEyeShape() const { return eyeShape_; }
    void setIbEyeShape(const QString& name);
    QString ibPixelShape() const { return pixelShape_; }
    void setIbPixelShape(const QString& name);
    QString ibPupilShape() const { return pupilShape_; }
    void setIbPupilShape(const QString& name);
    QString ibCorrectionLevel() const;
    void setIbCorrectionLevel(const QString& level);
    QString ibTextContent() const;
    void setIbTextContent(const QString& text);
    QColor ibPixelColor() const;
    void setIbPixelColor(const QColor& color);
    QColor ibEyeColor() const;
    void setIbEyeColor(const QColor& color);
    QColor ibPupilColor() const;
    void setIbPupilColor(const QColor& color);
    QColor ibBackgroundColor() const;
    void setIbBackgroundColor(const QColor& color);

    // Re-applies the designer's generator names to the document for a
    // design-time preview; an empty pupil name leaves the eye's own pupil.
    void prepareForInterfaceBuilder();

    // The data of one drag: PDF, PNG, TIFF and a file URL, each made when a
    // receiver asks for it, from the view's document at that moment. The
    // file is written once per drag, into a new folder of its own inside
    // droppedFilesFolder(), so it is named by what exists there (nothing:
    // "Dropped QRCode.pdf") and not by earlier drags, and it stays readable
    // after the drag, and the view, have gone.
    std::unique_ptr<QMimeData> makeDragMimeData();
    // The drag image: 128 x 128 pixels at 144 dpi; null when it cannot be
    // rendered.
    QImage makeDragImage() const;
    // The folder under which dropped files are written; it is shared by all
    // views and removed when the process ends. Empty when none could be made.
    static QString droppedFilesFolder();
    // Writes the document's PDF atomically into `folder`, named
    // kDroppedFileName or, when a file of that name exists there, the first
    // free "Dropped QRCode-N.pdf" (N = 2, 3, ...). The file's URL, or none
    // when the PDF cannot be made or written (a failed write is printed).
    std::optional<QUrl> writeDroppedFile(const QString& folder);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    friend class QRCodeDragMimeData;
    void refresh();
    void applyEyeShape();
    void applyPixelShape();
    void applyPupilShape();

    // Throws the renderer's errors.
    QImage dragImage() const;
    QByteArray dragPDF() const;
    QByteArray dragTIFF() const;
    QByteArray dragPNG() const;

    bool supportsDrag_ = false;
    QSize dragImageSize_{512, 512};
    QString eyeShape_;
    QString pixelShape_;
    QString pupilShape_;
    QRCode::DocumentPtr document_;
};
