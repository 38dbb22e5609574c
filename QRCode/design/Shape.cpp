#include "QRCode/design/Shape.h"

#include "QRCode/generators/eye/Square.h"
#include "QRCode/generators/EyeShapeFactory.h"
#include "QRCode/generators/pixel/Square.h"
#include "QRCode/generators/PixelShapeFactory.h"
#include "QRCode/generators/PupilShapeFactory.h"
#include "QRCode/QRCodeError.h"

namespace QRCode {

namespace {

template <class T> std::shared_ptr<T> required(std::shared_ptr<T> generator) {
    if (!generator) throw QRCodeException(QRCodeError::noGeneratorSet);
    return generator;
}

// The generator archived under `key`, or null when the key is missing, not a
// dictionary, or the factory cannot make a generator from it.
template <class Factory>
auto generatorFrom(const Factory& factory, const SettingsDict& settings, std::string_view key)
    -> decltype(factory.create(settings)) {
    const SettingsValue* entry = foundation::settingEntry(settings, key);
    if (entry == nullptr || !entry->is_object()) return nullptr;
    try {
        return factory.create(*entry);
    } catch (const std::exception&) {
        return nullptr;
    }
}

} // namespace

Shape::Shape() : onPixels_(PixelShape::Square::Create()), eye_(EyeShape::Square::Create()) {}

Shape::Shape(std::shared_ptr<QRCodePixelShapeGenerator> onPixels, std::shared_ptr<QRCodePixelShapeGenerator> offPixels,
             bool negatedOnPixelsOnly, bool extendOffPixelsIntoEmptyQRCodeComponents,
             bool mirrorEyePathsAroundQRCodeCenter, std::shared_ptr<QRCodeEyeShapeGenerator> eye,
             std::shared_ptr<QRCodePupilShapeGenerator> pupil)
    : onPixels_(required(std::move(onPixels))), offPixels_(std::move(offPixels)),
      negatedOnPixelsOnly_(negatedOnPixelsOnly),
      extendOffPixelsIntoEmptyQRCodeComponents_(extendOffPixelsIntoEmptyQRCodeComponents),
      mirrorEyePathsAroundQRCodeCenter_(mirrorEyePathsAroundQRCodeCenter), eye_(required(std::move(eye))),
      pupil_(std::move(pupil)) {}

void Shape::setOnPixels(std::shared_ptr<QRCodePixelShapeGenerator> generator) {
    onPixels_ = required(std::move(generator));
}

void Shape::setEye(std::shared_ptr<QRCodeEyeShapeGenerator> generator) {
    eye_ = required(std::move(generator));
    pupil_.reset();
}

std::shared_ptr<QRCodePupilShapeGenerator> Shape::actualPupilShape() const {
    if (pupil_) return pupil_;
    return eye_->defaultPupil();
}

std::shared_ptr<Shape> Shape::copyShape() const {
    auto copy = std::make_shared<Shape>();
    copy->onPixels_ = onPixels_->copyShape();
    copy->offPixels_ = offPixels_ ? offPixels_->copyShape() : nullptr;
    copy->setEye(eye_->copyShape());
    copy->pupil_ = pupil_ ? pupil_->copyShape() : nullptr;
    copy->negatedOnPixelsOnly_ = negatedOnPixelsOnly_;
    copy->extendOffPixelsIntoEmptyQRCodeComponents_ = extendOffPixelsIntoEmptyQRCodeComponents_;
    copy->mirrorEyePathsAroundQRCodeCenter_ = mirrorEyePathsAroundQRCodeCenter_;
    return copy;
}

SettingsDict Shape::settings() const {
    SettingsDict dict = SettingsDict::object();
    dict["onPixels"] = pixelShapeArchive(*onPixels_);
    if (offPixels_) dict["offPixels"] = pixelShapeArchive(*offPixels_);
    dict["eye"] = eyeShapeArchive(*eye_);
    if (pupil_) dict["pupil"] = pupilShapeArchive(*pupil_);
    dict["negatedOnPixelsOnly"] = negatedOnPixelsOnly_;
    dict["extendOffPixelsIntoEmptyQRCodeComponents"] = extendOffPixelsIntoEmptyQRCodeComponents_;
    dict["mirrorEyePathsAroundQRCodeCenter"] = mirrorEyePathsAroundQRCodeCenter_;
    return dict;
}

std::shared_ptr<Shape> Shape::Create(const SettingsDict& settings) {
    auto shape = std::make_shared<Shape>();
    const auto& pixels = QRCodePixelShapeFactory::shared();

    // Documents from older versions name the on- and off-pixel shapes
    // "data" and "dataInverted"; a readable older entry wins.
    if (auto on = generatorFrom(pixels, settings, "data")) {
        shape->onPixels_ = std::move(on);
    } else if (auto on2 = generatorFrom(pixels, settings, "onPixels")) {
        shape->onPixels_ = std::move(on2);
    }

    if (auto eye = generatorFrom(QRCodeEyeShapeFactory::shared(), settings, "eye")) shape->setEye(std::move(eye));

    if (auto off = generatorFrom(pixels, settings, "dataInverted")) {
        shape->offPixels_ = std::move(off);
    } else {
        shape->offPixels_ = generatorFrom(pixels, settings, "offPixels");
    }

    shape->pupil_ = generatorFrom(QRCodePupilShapeFactory::shared(), settings, "pupil");

    if (auto v = foundation::settingBool(settings, "negatedOnPixelsOnly")) shape->negatedOnPixelsOnly_ = *v;
    if (auto v = foundation::settingBool(settings, "extendOffPixelsIntoEmptyQRCodeComponents"))
        shape->extendOffPixelsIntoEmptyQRCodeComponents_ = *v;
    if (auto v = foundation::settingBool(settings, "mirrorEyePathsAroundQRCodeCenter"))
        shape->mirrorEyePathsAroundQRCodeCenter_ = *v;
    return shape;
}

} // namespace QRCode
