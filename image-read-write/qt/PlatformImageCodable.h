#pragma once

// Platform images in keyed archives, and a platform image stored as a single
// value (the bytes of its keyed archive, which JSON coders hold as base64
// text).

#include "platform/archive/KeyedArchive.h"

#include <QImage>

#include <nlohmann/json.hpp>

#include <exception>
#include <string_view>

// A QImage is archived as an object of class "QImage" with its pixels as PNG
// bytes ("pngData", a data object, at the image's own resolution) and its
// size in points ("width", "height": the pixel size divided by the device
// pixel ratio). A null image has no PNG form and cannot be archived
// (writeInvalid). Decoding refuses with readCorrupt what makes no image:
// missing fields, bytes that are no PNG the image module reads within the
// cap of a document's images (ImageReadWrite::kMaxEmbeddedImagePixels, 4096
// on each side), or a point size that is not positive and finite or gives the
// two sides different ratios.
template <> struct archive::Archivable<QImage> {
    static constexpr std::string_view className = "QImage";
    static void encode(const QImage& image, KeyedEncoder& coder);
    static QImage decode(const KeyedDecoder& coder);
};

// One platform image that encodes to and decodes from a single value.
struct PlatformImageCodable {
    enum class ImageCodingError { InvalidData, UnableToConvertImageToPNG };

    class Exception : public std::exception {
    public:
        explicit Exception(ImageCodingError code) : code_(code) {}
        ImageCodingError code() const noexcept { return code_; }
        const char* what() const noexcept override;

    private:
        ImageCodingError code_;
    };

    QImage image;

    // The base64 text of the image's keyed archive; the archiver's
    // archive::ArchiveError passes on.
    nlohmann::json encode() const;
    // Throws Exception(InvalidData) for a value that is not base64 text and
    // for an archive whose root is the absent object; the unarchiver's
    // archive::ArchiveError passes on (bytes that are no keyed archive, a root
    // of another class, fields that make no image).
    static PlatformImageCodable decode(const nlohmann::json& value);
};

// nlohmann::json hooks, so that `json j = codable;` and
// `j.get<PlatformImageCodable>()` work.
void to_json(nlohmann::json& j, const PlatformImageCodable& codable);
void from_json(const nlohmann::json& j, PlatformImageCodable& codable);
