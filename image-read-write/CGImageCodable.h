#pragma once

#include "image-read-write/ImageReadWriteError.h"
#include "platform/gfx/Image.h"

#include <nlohmann/json.hpp>

// An image that can be stored as a single value: the base64 text of a PNG
// file at 72 dpi, the form JSON coders give to bytes.
struct CGImageCodable {
    gfx::ImagePtr image;

    // The stored value. Encoding errors of the image pass through unchanged.
    nlohmann::json encode() const;
    // Throws codableInvalidData when the value is not base64 text, and
    // codableInvalidImage when its bytes hold no image or one larger than
    // ImageReadWrite::kMaxEmbeddedImagePixels.
    static CGImageCodable decode(const nlohmann::json& value);
};

// nlohmann::json hooks, so that `json j = codable;` and
// `j.get<CGImageCodable>()` work.
void to_json(nlohmann::json& j, const CGImageCodable& codable);
void from_json(const nlohmann::json& j, CGImageCodable& codable);
