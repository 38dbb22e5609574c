#include "QRCode/fills/FillStyle.h"

#include "QRCode/core/Colors.h"
#include "QRCode/fills/GradientFills.h"
#include "QRCode/fills/ImageFill.h"
#include "QRCode/fills/Solid.h"
#include "QRCode/QRCodeError.h"
#include "platform/foundation/Json.h"

namespace QRCode {

foundation::SettingsDict QRCodeFillStyleGenerator::fillStyleArchive() const {
    foundation::SettingsDict archive = foundation::SettingsDict::object();
    archive["settings"] = settings();
    archive["type"] = std::string(name());
    return archive;
}

gfx::ImagePtr QRCodeFillStyleGenerator::image(int width, int height, bool isFlipped) const {
    auto ctx = gfx::GraphicsContext::makeBitmap(width, height);
    if (!ctx) throw QRCodeException(QRCodeError::cannotGenerateImage);
    if (isFlipped) {
        ctx->scaleBy(1, -1);
        ctx->translateBy(0, -height);
    }
    fill(*ctx, gfx::Rect(0, 0, width, height));
    auto image = ctx->takeImage();
    if (!image) throw QRCodeException(QRCodeError::cannotGenerateImage);
    return image;
}

namespace {

template <class Fill> QRCodeFillStylePtr createFill(const foundation::SettingsDict& settings) {
    return Fill::Create(settings);
}

} // namespace

QRCodeFillStyleFactory::QRCodeFillStyleFactory()
    : entries_{
          {FillStyle::Solid::Name, &createFill<FillStyle::Solid>},
          {FillStyle::LinearGradient::Name, &createFill<FillStyle::LinearGradient>},
          {FillStyle::RadialGradient::Name, &createFill<FillStyle::RadialGradient>},
          {FillStyle::Image::Name, &createFill<FillStyle::Image>},
      } {}

const QRCodeFillStyleFactory& QRCodeFillStyleFactory::shared() {
    static const QRCodeFillStyleFactory factory;
    return factory;
}

std::vector<std::string> QRCodeFillStyleFactory::knownTypes() const {
    std::vector<std::string> names;
    names.reserve(entries_.size());
    for (const Entry& e : entries_) names.emplace_back(e.name);
    return names;
}

QRCodeFillStylePtr QRCodeFillStyleFactory::Create(const foundation::SettingsDict& archive) const {
    if (!archive.is_object() || archive.empty()) throw QRCodeException(QRCodeError::cannotCreateGenerator);
    const auto type = foundation::settingString(archive, "type");
    if (!type) throw QRCodeException(QRCodeError::cannotCreateGenerator);
    if (foundation::jsonDepth(archive) > foundation::maxJsonDepth)
        throw QRCodeException(QRCodeError::cannotCreateGenerator);
    static const foundation::SettingsDict noSettings = foundation::SettingsDict::object();
    const foundation::SettingsValue* entry = foundation::settingEntry(archive, "settings");
    const foundation::SettingsDict& settings = entry && entry->is_object() ? *entry : noSettings;
    for (const Entry& e : entries_) {
        if (e.name == *type) return e.create(settings);
    }
    throw QRCodeException(QRCodeError::cannotCreateGenerator);
}

} // namespace QRCode

namespace QRCode::FillStyle {

const std::shared_ptr<Solid>& clear() {
    static const std::shared_ptr<Solid> fill = std::make_shared<Solid>(gfx::Color::gray(0, 0));
    return fill;
}

} // namespace QRCode::FillStyle
