#include "QRCode/QRCode.h"

#include "QRCode/QRCodeError.h"

namespace QRCode {

QRCode::QRCode() : engine_(QRCodeDefaultEngine()) {}

QRCode::QRCode(std::shared_ptr<QRCodeEngine> engine) : QRCode() {
    setEngine(std::move(engine));
    update(std::span<const std::uint8_t>{}, ErrorCorrection::quartile);
}

QRCode::QRCode(std::span<const std::uint8_t> data, ErrorCorrection errorCorrection,
               std::shared_ptr<QRCodeEngine> engine)
    : QRCode() {
    setEngine(std::move(engine));
    update(data, errorCorrection);
}

QRCode::QRCode(std::string_view utf8String, ErrorCorrection errorCorrection, std::shared_ptr<QRCodeEngine> engine)
    : QRCode() {
    setEngine(std::move(engine));
    update(utf8String, errorCorrection);
}

void QRCode::setEngine(std::shared_ptr<QRCodeEngine> engine) {
    engine_ = engine ? std::move(engine) : QRCodeDefaultEngine();
}

void QRCode::update(std::span<const std::uint8_t> data, ErrorCorrection errorCorrection) {
    BoolMatrix matrix = engine_->generate(data, errorCorrection);
    current_ = std::move(matrix);
    currentErrorCorrection_ = errorCorrection;
}

void QRCode::update(std::string_view text, ErrorCorrection errorCorrection) {
    BoolMatrix matrix = engine_->generate(text, errorCorrection);
    current_ = std::move(matrix);
    currentErrorCorrection_ = errorCorrection;
}

double QRCode::cellSize(std::int64_t imageDimension) const {
    return static_cast<double>(imageDimension) / static_cast<double>(current_.dimension());
}

QRCode QRCode::copy() const {
    QRCode result;
    result.current_ = current_;
    return result;
}

std::string QRCode::asciiRepresentation() const { return ::QRCode::asciiRepresentation(current_); }

std::string QRCode::smallAsciiRepresentation() const { return ::QRCode::smallAsciiRepresentation(current_); }

bool QRCode::canGenerateQRCode(std::span<const std::uint8_t> data, ErrorCorrection errorCorrection,
                               std::shared_ptr<QRCodeEngine> engine) {
    try {
        QRCode probe(data, errorCorrection, std::move(engine));
        return true;
    } catch (const QRCodeException&) {
        return false;
    }
}

bool QRCode::canGenerateQRCode(std::string_view text, ErrorCorrection errorCorrection,
                               std::shared_ptr<QRCodeEngine> engine) {
    try {
        QRCode probe(text, errorCorrection, std::move(engine));
        return true;
    } catch (const QRCodeException&) {
        return false;
    }
}

std::shared_ptr<QRCodeEngine> QRCode::QRCodeDefaultEngine() { return std::make_shared<QRCodeEngineCoreImage>(); }

std::vector<std::shared_ptr<QRCodeEngine>> QRCode::QRCodeAvailableEngines() {
    return {std::make_shared<QRCodeEngineCoreImage>(), std::make_shared<QRCodeEngineExternal>()};
}

} // namespace QRCode
