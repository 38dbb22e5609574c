#include "image-read-write/CGImageCodable.h"

#include "image-read-write/ImageEncoding.h"
#include "image-read-write/ImageLoading.h"
#include "platform/foundation/Base64.h"

nlohmann::json CGImageCodable::encode() const {
    if (!image) throw ImageReadWriteException(ImageReadWriteError::codableInvalidImage);
    const auto png = ImageReadWrite::imageData(*image, ImageExportType::png(1, true));
    return foundation::base64Encode(png);
}

CGImageCodable CGImageCodable::decode(const nlohmann::json& value) {
    if (!value.is_string()) throw ImageReadWriteException(ImageReadWriteError::codableInvalidData);
    const auto bytes = foundation::base64Decode(value.get_ref<const std::string&>());
    if (!bytes) throw ImageReadWriteException(ImageReadWriteError::codableInvalidData);
    try {
        // Stored images are logos: the cap for embedded images applies.
        return CGImageCodable{ImageReadWrite::load(*bytes, ImageReadWrite::kMaxEmbeddedImagePixels)};
    } catch (const ImageReadWriteException&) {
        throw ImageReadWriteException(ImageReadWriteError::codableInvalidImage);
    }
}

void to_json(nlohmann::json& j, const CGImageCodable& codable) { j = codable.encode(); }
void from_json(const nlohmann::json& j, CGImageCodable& codable) { codable = CGImageCodable::decode(j); }
