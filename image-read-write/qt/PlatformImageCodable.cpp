#include "image-read-write/qt/PlatformImageCodable.h"

#include "image-read-write/ImageLoading.h"
#include "image-read-write/qt/PlatformImage.h"
#include "platform/foundation/Base64.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

constexpr std::string_view kPNGKey = "pngData";
constexpr std::string_view kWidthKey = "width";
constexpr std::string_view kHeightKey = "height";

} // namespace

void archive::Archivable<QImage>::encode(const QImage& image, KeyedEncoder& coder) {
    if (image.isNull()) throw ArchiveError::invalid("An empty image cannot be archived.");
    ImageReadWrite::Bytes png;
    try {
        png = ImageReadWrite::imageData(image, ImageExportType::png(image.devicePixelRatio()));
    } catch (const ImageReadWriteException& e) {
        throw ArchiveError::invalid(std::string("The image has no PNG form: ") + e.what());
    }
    const QSizeF points = image.deviceIndependentSize();
    coder.encodeData(kPNGKey, png);
    coder.encodeDouble(kWidthKey, points.width());
    coder.encodeDouble(kHeightKey, points.height());
}

QImage archive::Archivable<QImage>::decode(const KeyedDecoder& coder) {
    const auto png = coder.decodeData(kPNGKey);
    const auto width = coder.decodeDouble(kWidthKey);
    const auto height = coder.decodeDouble(kHeightKey);
    if (!png || !width || !height) throw ArchiveError::corrupt("An image needs PNG data, a width and a height.");
    QImage image;
    try {
        // A stored image is a logo or a fill: it gets their cap, and the
        // cap is checked from the PNG's header before any pixel is decoded.
        image = ImageReadWrite::toQImage(*ImageReadWrite::load(*png, ImageReadWrite::kMaxEmbeddedImagePixels));
    } catch (const ImageReadWriteException&) {
        throw ArchiveError::corrupt("The image's PNG data cannot be read, or its image is larger than " +
                                    std::to_string(ImageReadWrite::kMaxEmbeddedImageSide) + " pixels on a side.");
    }
    const double ratioX = image.width() / *width;
    const double ratioY = image.height() / *height;
    const bool sameRatio = std::abs(ratioX - ratioY) <= 1e-9 * std::max(ratioX, ratioY);
    if (!(*width > 0) || !(*height > 0) || !std::isfinite(ratioX) || !(ratioX > 0) || !sameRatio) {
        throw ArchiveError::corrupt("The image's size in points does not fit its pixels.");
    }
    image.setDevicePixelRatio(ratioX);
    return image;
}

const char* PlatformImageCodable::Exception::what() const noexcept {
    switch (code_) {
    case ImageCodingError::InvalidData: return "InvalidData";
    case ImageCodingError::UnableToConvertImageToPNG: return "UnableToConvertImageToPNG";
    }
    return "ImageCodingError";
}

nlohmann::json PlatformImageCodable::encode() const {
    return foundation::base64Encode(archive::archivedData(image));
}

PlatformImageCodable PlatformImageCodable::decode(const nlohmann::json& value) {
    if (!value.is_string()) throw Exception(ImageCodingError::InvalidData);
    const auto bytes = foundation::base64Decode(value.get_ref<const std::string&>());
    if (!bytes) throw Exception(ImageCodingError::InvalidData);
    auto image = archive::unarchivedObject<QImage>(*bytes);
    if (!image) throw Exception(ImageCodingError::InvalidData);
    return PlatformImageCodable{std::move(*image)};
}

void to_json(nlohmann::json& j, const PlatformImageCodable& codable) { j = codable.encode(); }
void from_json(const nlohmann::json& j, PlatformImageCodable& codable) { codable = PlatformImageCodable::decode(j); }
