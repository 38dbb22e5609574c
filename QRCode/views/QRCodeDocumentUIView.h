#pragma once

#include "QRCode/document/ChangeNotifier.h"
#include "QRCode/Document.h"
#include "QRCode/generators/EyeShapeGenerator.h"
#include "QRCode/fills/FillStyle.h"
#include "QRCode/generators/PixelShapeGenerator.h"
#include "QRCode/generators/PupilShapeGenerator.h"
#include "QRCode/design/Shadow.h"
#include "QRCode/views/QRCodeDocumentView.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// Hosts a QRCodeDocumentView for one observed document: every change that
// the document announces (Document::notifyChanged) hands the document to the
// hosted view again, which re-renders it in the background.
class QRCodeDocumentUIView : public QWidget {
    Q_OBJECT
public:
    explicit QRCodeDocumentUIView(QRCode::DocumentPtr document, QWidget* parent = nullptr);
    ~QRCodeDocumentUIView() override;

    QRCode::DocumentPtr document() const { return document_; }
    // Observes the new document instead and shows it.
    void setDocument(QRCode::DocumentPtr document);

    QRCodeDocumentView& documentView() const { return *view_; }

private:
    void observe();
    // Hands the document to the hosted view again and repaints it.
    void showDocument();

    QRCode::DocumentPtr document_;
    QRCodeDocumentView* view_ = nullptr; // child widget, owned by Qt's parent chain
    QRCode::ChangeNotifier::Subscription subscription_;
};

// Everything a QRCodeViewUI is built from; absent members leave the default
// design's part as it is.
struct QRCodeViewUIParameters {
    std::string text;
    QRCode::ErrorCorrection errorCorrection = QRCode::ErrorCorrection::quartile;
    gfx::Color foregroundColor = gfx::Color::sRGB(0, 0, 0);
    gfx::Color backgroundColor = gfx::Color::sRGB(1, 1, 1);
    std::uint64_t additionalQuietZonePixels = 0;
    std::shared_ptr<QRCode::QRCodePixelShapeGenerator> onPixelShape;
    QRCode::QRCodeFillStylePtr onPixelStyle;
    std::optional<gfx::Color> onPixelBackgroundColor;
    std::shared_ptr<QRCode::QRCodeEyeShapeGenerator> eyeShape;
    QRCode::QRCodeFillStylePtr eyeStyle;
    std::optional<gfx::Color> eyeBackgroundColor;
    std::shared_ptr<QRCode::QRCodePupilShapeGenerator> pupilShape;
    QRCode::QRCodeFillStylePtr pupilStyle;
    std::shared_ptr<QRCode::QRCodePixelShapeGenerator> offPixelShape;
    QRCode::QRCodeFillStylePtr offPixelStyle;
    QRCode::LogoTemplatePtr logoTemplate;
    bool negatedOnPixelsOnly = false;
    std::optional<QRCode::Shadow> shadow;
    std::shared_ptr<QRCode::QRCodeEngine> engine;
    // Receives the built document from the event loop, after construction.
    std::function<void(QRCode::DocumentPtr)> generatedDocument;
    double backgroundFractionalCornerRadius = 0;
};

// Builds a document from a text and design parameters once, and shows it.
// Text that cannot be encoded gives an empty default document, isValid()
// false and none of the design applied. Given objects are stored by
// reference, not copied.
class QRCodeViewUI : public QRCodeDocumentUIView {
    Q_OBJECT
public:
    explicit QRCodeViewUI(const QRCodeViewUIParameters& parameters, QWidget* parent = nullptr);

    QRCode::DocumentPtr content() const { return document(); }
    bool isValid() const { return valid_; }

    // The document and whether the text could be encoded.
    static std::pair<QRCode::DocumentPtr, bool> makeDocument(const QRCodeViewUIParameters& parameters);

private:
    QRCodeViewUI(std::pair<QRCode::DocumentPtr, bool> built, const QRCodeViewUIParameters& parameters, QWidget* parent);
    bool valid_ = false;
};
