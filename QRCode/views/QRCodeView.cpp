#include "QRCode/views/QRCodeView.h"

#include "QRCode/generators/EyeShapeFactory.h"
#include "QRCode/generators/eye/Square.h"
#include "QRCode/fills/Solid.h"
#include "QRCode/generators/pixel/Square.h"
#include "QRCode/generators/PixelShapeFactory.h"
#include "QRCode/generators/pupil/Square.h"
#include "QRCode/generators/PupilShapeFactory.h"
#include "QRCode/document/QRCodeMessageFormatter.h"
#include "QRCode/core/UniqueFileURL.h"
#include "QRCode/views/ImageConversion.h"
#include "QRCode/views/PlatformImage.h"
#include "QRCode/views/Pasteboard.h"
#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/Diagnostics.h"

#include <QDrag>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointer>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QUrl>

#include <cmath>
#include <exception>
#include <limits>

using QRCode::QRCodeEyeShapeFactory;
using QRCode::QRCodeFillStylePtr;
using QRCode::QRCodeMessageFormatter;
using QRCode::QRCodePixelShapeFactory;
using QRCode::QRCodePupilShapeFactory;
using QRCode::uniqueFileURL;
using QRCode::views::toColor;

namespace {

constexpr const char* kURIListMimeType = "text/uri-list";

QByteArray toByteArray(const std::vector<std::uint8_t>& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

// The colour of a solid fill, or `fallback` for any other fill or none.
QColor solidColor(const QRCodeFillStylePtr& fill, const QColor& fallback) {
    if (const auto solid = std::dynamic_pointer_cast<QRCode::FillStyle::Solid>(fill)) {
        return QRCode::views::platformColor(*solid);
    }
    return fallback;
}

// The generator of that name, or null for an unknown name.
template <class Factory>
auto lookup(const Factory& factory, const QString& name) -> decltype(factory.named(std::string_view())) {
    try {
        return factory.named(name.toStdString());
    } catch (const std::exception&) {
        return nullptr;
    }
}

} // namespace

// Drag data made on request, from the view's document at that moment.
class QRCodeDragMimeData : public QMimeData {
public:
    explicit QRCodeDragMimeData(QRCodeView* view) : view_(view) {}

    QStringList formats() const override {
        return {QString::fromLatin1(QRCode::views::kPDFMimeType), QString::fromLatin1(QRCode::views::kPNGMimeType),
                QString::fromLatin1(QRCode::views::kTIFFMimeType), QString::fromLatin1(kURIListMimeType)};
    }

    bool hasFormat(const QString& mimeType) const override { return formats().contains(mimeType); }

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override {
        if (!view_) return {};
        if (mimeType == QLatin1String(QRCode::views::kPDFMimeType)) return view_->dragPDF();
        if (mimeType == QLatin1String(QRCode::views::kTIFFMimeType)) return nonEmpty(view_->dragTIFF());
        if (mimeType == QLatin1String(QRCode::views::kPNGMimeType)) return nonEmpty(view_->dragPNG());
        if (mimeType == QLatin1String(kURIListMimeType)) {
            // A receiver may ask more than once; the file is written once.
            if (!fileURL_) fileURL_ = writeFile();
            if (!*fileURL_) return {};
            const QUrl& url = **fileURL_;
            if (type.id() == QMetaType::QVariantList) return QVariantList{QVariant(url)};
            if (type.id() == QMetaType::QUrl) return QVariant(url);
            return QByteArray(url.toEncoded() + "\r\n");
        }
        return {};
    }

private:
    // The PDF in a new folder of this drag's own, so that its name depends
    // only on what exists where it lands, never on earlier drags.
    std::optional<QUrl> writeFile() const {
        const QString root = QRCodeView::droppedFilesFolder();
        if (root.isEmpty()) return std::nullopt;
        QTemporaryDir folder(root + QStringLiteral("/drag-XXXXXX"));
        if (!folder.isValid()) return std::nullopt;
        folder.setAutoRemove(false); // removed with the root when the process ends
        auto url = view_->writeDroppedFile(folder.path());
        if (!url) QDir(folder.path()).removeRecursively();
        return url;
    }

    static QVariant nonEmpty(const QByteArray& bytes) { return bytes.isEmpty() ? QVariant() : QVariant(bytes); }

    QPointer<QRCodeView> view_;
    mutable std::optional<std::optional<QUrl>> fileURL_;
};

QRCodeView::QRCodeView(QWidget* parent) : QRCodeView(nullptr, parent) {}

QRCodeView::QRCodeView(QRCode::DocumentPtr document, QWidget* parent)
    : QRCodeDocumentView(document, parent),
      document_(document ? std::move(document) : std::make_shared<QRCode::Document>()) {
    refresh();
}

QRCodeView::~QRCodeView() = default;

void QRCodeView::refresh() { submitChange(document_); }

void QRCodeView::setDocument(QRCode::DocumentPtr document) {
    document_ = document ? std::move(document) : std::make_shared<QRCode::Document>();
    refresh();
}

void QRCodeView::setErrorCorrection(QRCode::ErrorCorrection errorCorrection) {
    document_->setErrorCorrection(errorCorrection);
    refresh();
}

QRCode::Document::Bytes QRCodeView::data() const { return document_->data().value_or(QRCode::Document::Bytes{}); }

void QRCodeView::setData(QRCode::Document::Bytes data) {
    document_->setData(std::move(data));
    refresh();
}

void QRCodeView::setDesign(QRCode::DesignPtr design) {
    if (design) document_->setDesign(std::move(design));
    refresh();
}

void QRCodeView::setLogoTemplate(QRCode::LogoTemplatePtr logoTemplate) {
    document_->setLogoTemplate(std::move(logoTemplate));
    refresh();
}

std::int64_t QRCodeView::cellSize() const {
    const double size = document_->cellSize(std::min(width(), height()));
    if (!std::isfinite(size) || size < 0 || size > double(std::numeric_limits<std::int64_t>::max())) return 0;
    return std::int64_t(size);
}

bool QRCodeView::setString(const QString& text) { return setString(text, QStringConverter::Utf8); }

bool QRCodeView::setString(const QString& text, QStringConverter::Encoding encoding) {
    QStringEncoder encoder(encoding, QStringConverter::Flag::Stateless);
    const QByteArray bytes = encoder.encode(text);
    if (encoder.hasError()) return false;
    setData(QRCode::Document::Bytes(bytes.begin(), bytes.end()));
    return true;
}

void QRCodeView::setMessage(const QRCodeMessageFormatter& message) { setData(message.data()); }

// ---- Designer properties ----

void QRCodeView::applyEyeShape() {
    auto eye = lookup(QRCodeEyeShapeFactory::shared(), eyeShape_);
    if (!eye) eye = std::make_shared<QRCode::EyeShape::Square>();
    document_->design()->shape()->setEye(std::move(eye)); // clears the pupil
}

void QRCodeView::applyPixelShape() {
    auto pixels = lookup(QRCodePixelShapeFactory::shared(), pixelShape_);
    if (!pixels) pixels = QRCode::PixelShape::Square::Create();
    document_->design()->shape()->setOnPixels(std::move(pixels));
}

void QRCodeView::applyPupilShape() {
    auto pupil = lookup(QRCodePupilShapeFactory::shared(), pupilShape_);
    if (!pupil) pupil = std::make_shared<QRCode::PupilShape::Square>();
    document_->design()->shape()->setPupil(std::move(pupil));
}

void QRCodeView::setIbEyeShape(const QString& name) {
    eyeShape_ = name;
    applyEyeShape();
    refresh();
}

void QRCodeView::setIbPixelShape(const QString& name) {
    pixelShape_ = name;
    applyPixelShape();
    refresh();
}

void QRCodeView::setIbPupilShape(const QString& name) {
    pupilShape_ = name;
    applyPupilShape();
    refresh();
}

QString QRCodeView::ibCorrectionLevel() const {
    switch (document_->errorCorrection()) {
    case QRCode::ErrorCorrection::low: return QStringLiteral("L");
    case QRCode::ErrorCorrection::medium: return QStringLiteral("M");
    case QRCode::ErrorCorrection::quartile: return QStringLiteral("Q");
    case QRCode::ErrorCorrection::high: return QStringLiteral("H");
    }
    return QStringLiteral("Q");
}

void QRCodeView::setIbCorrectionLevel(const QString& level) {
    const QChar first = level.isEmpty() ? QChar('q') : level.front().toLower();
    QRCode::ErrorCorrection value = QRCode::ErrorCorrection::quartile;
    if (first == QChar('l'))
        value = QRCode::ErrorCorrection::low;
    else if (first == QChar('m'))
        value = QRCode::ErrorCorrection::medium;
    else if (first == QChar('h'))
        value = QRCode::ErrorCorrection::high;
    setErrorCorrection(value);
}

QString QRCodeView::ibTextContent() const {
    const auto bytes = document_->data();
    if (!bytes) return {};
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(QByteArrayView(bytes->data(), qsizetype(bytes->size())));
    if (decoder.hasError()) return {};
    return text;
}

void QRCodeView::setIbTextContent(const QString& text) { setString(text); }

QColor QRCodeView::ibPixelColor() const { return solidColor(document_->design()->style()->onPixels(), Qt::black); }
QColor QRCodeView::ibEyeColor() const { return solidColor(document_->design()->style()->eye(), Qt::black); }
QColor QRCodeView::ibPupilColor() const { return solidColor(document_->design()->style()->pupil(), Qt::black); }
QColor QRCodeView::ibBackgroundColor() const {
    return solidColor(document_->design()->style()->background(), Qt::white);
}

void QRCodeView::setIbPixelColor(const QColor& color) {
    document_->design()->style()->setOnPixels(QRCode::FillStyle::Solid::make(toColor(color)));
    refresh();
}

void QRCodeView::setIbEyeColor(const QColor& color) {
    document_->design()->style()->setEye(QRCode::FillStyle::Solid::make(toColor(color)));
    refresh();
}

void QRCodeView::setIbPupilColor(const QColor& color) {
    document_->design()->style()->setPupil(QRCode::FillStyle::Solid::make(toColor(color)));
    refresh();
}

void QRCodeView::setIbBackgroundColor(const QColor& color) {
    document_->design()->style()->setBackground(QRCode::FillStyle::Solid::make(toColor(color)));
    refresh();
}

void QRCodeView::prepareForInterfaceBuilder() {
    try {
        const auto bytes = data();
        document_->update(std::span<const std::uint8_t>(bytes), document_->errorCorrection());
    } catch (const std::exception& error) {
        foundation::diagnostic(error.what());
        return;
    }
    applyPixelShape();
    applyEyeShape();
    if (!pupilShape_.isEmpty()) {
        document_->design()->shape()->setPupil(lookup(QRCodePupilShapeFactory::shared(), pupilShape_));
    }
    document_->setLogoTemplate(document_->logoTemplate());
    refresh();
}

// ---- Drag source ----

QByteArray QRCodeView::dragPDF() const {
    try {
        const gfx::Size size{double(dragImageSize_.width()), double(dragImageSize_.height())};
        return toByteArray(document_->pdfData(size, 72));
    } catch (const std::exception&) {
        return {};
    }
}

// The document's image of dragImageSize pixels at 144 dpi.
QImage QRCodeView::dragImage() const {
    const gfx::Size size{double(dragImageSize_.width()), double(dragImageSize_.height())};
    return QRCode::views::platformImage(*document_, size, 144);
}

QByteArray QRCodeView::dragTIFF() const {
    try {
        return toByteArray(ImageReadWrite::tiffRepresentation(dragImage()));
    } catch (const std::exception&) {
        return {};
    }
}

QByteArray QRCodeView::dragPNG() const {
    try {
        return toByteArray(ImageReadWrite::imageData(dragImage(), ImageExportType::png(1, false)));
    } catch (const std::exception&) {
        return {};
    }
}

QString QRCodeView::droppedFilesFolder() {
    // Receivers may open a dropped file's URL long after the drag (or the
    // view) has ended, so the files live as long as the process.
    static const std::unique_ptr<QTemporaryDir> folder = [] {
        auto dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/tessivo-drops-XXXXXX"));
        return dir->isValid() ? std::move(dir) : nullptr;
    }();
    return folder ? folder->path() : QString();
}

std::optional<QUrl> QRCodeView::writeDroppedFile(const QString& folder) {
    if (folder.isEmpty()) return std::nullopt;
    const QByteArray pdf = dragPDF();
    if (pdf.isEmpty()) return std::nullopt;
    const auto path = uniqueFileURL(std::filesystem::path(folder.toStdString()), kDroppedFileName);
    if (const auto error =
            foundation::writeFileAtomically(path, std::string_view(pdf.constData(), std::size_t(pdf.size())))) {
        foundation::diagnostic("Cannot write \"" + path.string() + "\": " + error.message());
        return std::nullopt;
    }
    return QUrl::fromLocalFile(QString::fromStdString(path.string()));
}

std::unique_ptr<QMimeData> QRCodeView::makeDragMimeData() { return std::make_unique<QRCodeDragMimeData>(this); }

QImage QRCodeView::makeDragImage() const {
    try {
        return QRCode::views::platformImage(*document_, 128, 144); // 64 x 64 points
    } catch (const std::exception&) {
        return {};
    }
}

void QRCodeView::mousePressEvent(QMouseEvent* event) {
    if (!property("supportsDrag").toBool()) return;
    // The drag object must outlive exec(): on X11 the receiver asks for the
    // data after the drop, when exec() has already returned, and the platform
    // answers from the drag object it still tracks and deletes it itself once
    // the receiver has finished. Deleting it here would hand over nothing.
    QDrag* drag = std::make_unique<QDrag>(this).release(); // owned by Qt from here on
    drag->setMimeData(makeDragMimeData().release());       // the drag owns its data
    const QImage image = makeDragImage();
    if (!image.isNull()) {
        drag->setPixmap(QPixmap::fromImage(image));
        drag->setHotSpot(event->position().toPoint());
    }
    drag->exec(Qt::CopyAction, Qt::CopyAction);
}
