#include "QRCode/views/QRCodeDocumentUIView.h"

#include <QCoreApplication>
#include <QPointer>
#include <QVBoxLayout>

#include <exception>

QRCodeDocumentUIView::QRCodeDocumentUIView(QRCode::DocumentPtr document, QWidget* parent)
    : QWidget(parent), document_(std::move(document)) {
    auto* layout = new QVBoxLayout(this); // owned by this widget
    layout->setContentsMargins(0, 0, 0, 0);
    view_ = new QRCodeDocumentView(document_, this); // owned by this widget
    layout->addWidget(view_);
    observe();
}

QRCodeDocumentUIView::~QRCodeDocumentUIView() = default;

void QRCodeDocumentUIView::setDocument(QRCode::DocumentPtr document) {
    document_ = std::move(document);
    observe();
    showDocument();
}

void QRCodeDocumentUIView::observe() {
    subscription_ = {};
    if (!document_) return;
    QPointer<QRCodeDocumentUIView> self(this);
    // A document may announce changes from any thread; the view is updated
    // on its own.
    subscription_ = document_->observeChanges([self] {
        QCoreApplication* app = QCoreApplication::instance();
        if (app == nullptr) return;
        QMetaObject::invokeMethod(app, [self] {
            if (self) self->showDocument();
        });
    });
}

void QRCodeDocumentUIView::showDocument() {
    view_->setDocument(document_);
    view_->update();
}

std::pair<QRCode::DocumentPtr, bool> QRCodeViewUI::makeDocument(const QRCodeViewUIParameters& p) {
    QRCode::DocumentPtr document;
    try {
        document = std::make_shared<QRCode::Document>(std::string_view(p.text), p.errorCorrection, p.engine);
    } catch (const std::exception&) {
        return {std::make_shared<QRCode::Document>(), false};
    }
    auto& design = *document->design();
    auto& shape = *design.shape();
    auto& style = *design.style();
    design.foregroundColor(p.foregroundColor);
    design.backgroundColor(p.backgroundColor);
    design.setAdditionalQuietZonePixels(p.additionalQuietZonePixels);
    style.setBackgroundFractionalCornerRadius(p.backgroundFractionalCornerRadius);
    shape.setNegatedOnPixelsOnly(p.negatedOnPixelsOnly);
    if (p.onPixelShape) shape.setOnPixels(p.onPixelShape);
    if (p.onPixelStyle) style.setOnPixels(p.onPixelStyle);
    if (p.onPixelBackgroundColor) style.setOnPixelsBackground(p.onPixelBackgroundColor);
    if (p.offPixelShape) shape.setOffPixels(p.offPixelShape);
    if (p.offPixelStyle) style.setOffPixels(p.offPixelStyle);
    if (p.eyeShape) shape.setEye(p.eyeShape); // clears the pupil
    if (p.eyeStyle) style.setEye(p.eyeStyle);
    if (p.eyeBackgroundColor) style.setEyeBackground(p.eyeBackgroundColor);
    if (p.pupilShape) shape.setPupil(p.pupilShape);
    if (p.pupilStyle) style.setPupil(p.pupilStyle);
    if (p.logoTemplate) {
        document->setLogoTemplate(p.logoTemplate);
        document->notifyChanged();
    }
    style.setShadow(p.shadow);
    return {document, true};
}

QRCodeViewUI::QRCodeViewUI(const QRCodeViewUIParameters& parameters, QWidget* parent)
    : QRCodeViewUI(makeDocument(parameters), parameters, parent) {}

QRCodeViewUI::QRCodeViewUI(std::pair<QRCode::DocumentPtr, bool> built, const QRCodeViewUIParameters& parameters,
                           QWidget* parent)
    : QRCodeDocumentUIView(built.first, parent), valid_(built.second) {
    // The receiver gets the document once construction is over, even when
    // this view is gone by then.
    if (parameters.generatedDocument && QCoreApplication::instance() != nullptr) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [callback = parameters.generatedDocument, document = built.first] { callback(document); },
            Qt::QueuedConnection);
    }
}
