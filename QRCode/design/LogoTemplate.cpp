#include "QRCode/design/LogoTemplate.h"

#include "QRCode/design/CGPathCodable.h"
#include "QRCode/core/detail/DrawingHelpers.h"
#include "QRCode/QRCodeError.h"
#include "image-read-write/CGImageCodable.h"
#include "image-read-write/ImageEncoding.h"
#include "image-read-write/ImageLoading.h"
#include "platform/foundation/Base64.h"
#include "platform/foundation/Diagnostics.h"
#include "platform/gfx/GraphicsContext.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <span>

namespace QRCode {

namespace {

const gfx::ImagePtr& requireImage(const gfx::ImagePtr& image) {
    if (!image) throw QRCodeException(QRCodeError::noImageSet);
    return image;
}

gfx::Path unitSquarePath() {
    gfx::Path path;
    path.addRect(gfx::Rect(0, 0, 1, 1));
    return path;
}

gfx::Path rectPath(const gfx::Rect& rect) {
    gfx::Path path;
    path.addRect(rect);
    return path;
}

gfx::Path ellipsePath(const gfx::Rect& rect) {
    gfx::Path path;
    path.addEllipse(rect);
    return path;
}

const gfx::Rect kCenterBox(0.375, 0.375, 0.25, 0.25);
const gfx::Rect kBottomRightBox(0.7, 0.7, 0.25, 0.25);

// PNG at 72 dpi as one line of base64; the encoder's error passes through.
std::string pngBase64(const gfx::ImagePtr& image) {
    const ImageReadWrite::Bytes png = ImageReadWrite::ImageRepresentation(image).png(ImageReadWrite::Scale{1});
    return foundation::base64Encode(std::span<const std::uint8_t>(png), foundation::Base64Lines::single);
}

// The image stored under `key`, or nullptr when it is missing or unreadable.
gfx::ImagePtr imageFromSettings(const foundation::SettingsDict& settings, std::string_view key) {
    const auto text = foundation::settingString(settings, key);
    if (!text) return nullptr;
    const auto bytes = foundation::base64Decode(*text);
    if (!bytes) return nullptr;
    try {
        gfx::ImagePtr image =
            ImageReadWrite::load(std::span<const std::uint8_t>(*bytes), ImageReadWrite::kMaxEmbeddedImagePixels);
        if (!image || image->empty()) return nullptr;
        return image;
    } catch (const ImageReadWriteException&) {
        return nullptr;
    }
}

} // namespace

LogoTemplate::LogoTemplate(gfx::ImagePtr image, gfx::Path path, double inset, bool masksQRCodePixels)
    : path_(std::move(path)), image_(requireImage(image)), masksQRCodePixels_(masksQRCodePixels), inset_(inset) {}

LogoTemplate::LogoTemplate(gfx::ImagePtr image, gfx::ImagePtr maskImage, bool masksQRCodePixels)
    : path_(unitSquarePath()), image_(requireImage(image)), maskImage_(std::move(maskImage)),
      masksQRCodePixels_(masksQRCodePixels), inset_(0), useImageMasking_(true) {}

std::shared_ptr<LogoTemplate> LogoTemplate::CircleCenter(gfx::ImagePtr image, double inset) {
    return std::make_shared<LogoTemplate>(std::move(image), ellipsePath(kCenterBox), inset, true);
}

std::shared_ptr<LogoTemplate> LogoTemplate::CircleBottomRight(gfx::ImagePtr image, double inset) {
    return std::make_shared<LogoTemplate>(std::move(image), ellipsePath(kBottomRightBox), inset, true);
}

std::shared_ptr<LogoTemplate> LogoTemplate::SquareCenter(gfx::ImagePtr image, double inset) {
    return std::make_shared<LogoTemplate>(std::move(image), rectPath(kCenterBox), inset, true);
}

std::shared_ptr<LogoTemplate> LogoTemplate::SquareBottomRight(gfx::ImagePtr image, double inset) {
    return std::make_shared<LogoTemplate>(std::move(image), rectPath(kBottomRightBox), inset, true);
}

// Copies keep the source's masking flag so that they render like it.
std::shared_ptr<LogoTemplate> LogoTemplate::copyLogoTemplate() const {
    auto duplicate = std::make_shared<const gfx::Image>(*image_);
    if (useImageMasking_) return std::make_shared<LogoTemplate>(std::move(duplicate), maskImage_, masksQRCodePixels_);
    return std::make_shared<LogoTemplate>(std::move(duplicate), path_, inset_, masksQRCodePixels_);
}

std::shared_ptr<LogoTemplate> LogoTemplate::copyWithImage(gfx::ImagePtr image, gfx::ImagePtr maskImage) const {
    if (useImageMasking_)
        return std::make_shared<LogoTemplate>(std::move(image), std::move(maskImage), masksQRCodePixels_);
    return std::make_shared<LogoTemplate>(std::move(image), path_, inset_, masksQRCodePixels_);
}

gfx::Path LogoTemplate::absolutePathForMaskPath(double dimension, bool flipped) const {
    const gfx::AffineTransform transform = flipped ? gfx::AffineTransform{dimension, 0, 0, -dimension, 0, dimension}
                                                   : gfx::AffineTransform::scale(dimension, dimension);
    return path_.transformed(transform);
}

BoolMatrix LogoTemplate::applyingMask(const BoolMatrix& matrix, double size) const {
    if (!masksQRCodePixels_) return matrix;
    if (useImageMasking_) return applyingImageTransparencyMask(matrix);

    const std::int64_t n = matrix.dimension();
    // A side length of 0 shrinks the path and every centre to one point, so
    // nothing is inside; one that is not finite places nothing anywhere.
    if (n == 0 || size == 0 || !std::isfinite(size)) return n == 0 ? BoolMatrix(0) : matrix;

    // Scaling the path and the module centres by the same factor does not
    // change which centres lie inside, so the test runs in module units
    // (module (r, c) centred on (c + 0.5, r + 0.5)) whatever the output size.
    const gfx::Path scaled = path_.transformed(gfx::AffineTransform::scale(double(n), double(n)));
    // Every point of the figure lies inside the hull of its points, so a
    // centre outside their bounds needs no winding count.
    const gfx::Rect bounds = scaled.boundingBox();
    if (bounds.isNull() || !scaled.isFinite()) return matrix;
    BoolMatrix result = matrix;
    // The modules whose centres fall within the bounds, limited to the
    // matrix before any conversion to integers.
    const double last = double(n - 1);
    const auto firstIndex = [last](double lo) { return std::int64_t(std::clamp(std::ceil(lo - 0.5), 0.0, last + 1)); };
    const auto lastIndex = [last](double hi) { return std::int64_t(std::clamp(std::floor(hi - 0.5), -1.0, last)); };
    const std::int64_t r0 = firstIndex(bounds.minY()), r1 = lastIndex(bounds.maxY());
    const std::int64_t c0 = firstIndex(bounds.minX()), c1 = lastIndex(bounds.maxX());
    if (r1 < r0 || c1 < c0) return result;
    // One pass over the outline for all those centres: a test per module
    // would flatten the whole path again for each of them.
    const std::int64_t columns = c1 - c0 + 1;
    const std::vector<int> winding = scaled.windingNumbersAtCellCentres(c0, r0, columns, r1 - r0 + 1);
    for (std::int64_t r = r0; r <= r1; ++r) {
        for (std::int64_t c = c0; c <= c1; ++c) {
            if (winding[std::size_t((r - r0) * columns + (c - c0))] != 0) result.set(r, c, false);
        }
    }
    return result;
}

BoolMatrix LogoTemplate::applyingImageTransparencyMask(const BoolMatrix& matrix) const {
    const std::int64_t n = matrix.dimension();
    if (n == 0) return matrix;

    // The source scaled to cover an n x n square, centred, cropped evenly on
    // its long axis.
    const gfx::ImagePtr& source = maskImage_ ? maskImage_ : image_;
    const double w = source->width(), h = source->height(), d = double(n);
    const gfx::Size cover = w > h ? gfx::Size{w * d / h, d} : w < h ? gfx::Size{d, h * d / w} : gfx::Size{d, d};
    const gfx::ImagePtr fitted =
        makeSRGBBitmapImage(std::nullopt, gfx::Size{d, d}, [&](gfx::GraphicsContext& ctx, gfx::Size canvas) {
            drawCenteredImage(ctx, canvas, source, cover);
        });
    if (!fitted) {
        foundation::diagnostic("Couldn't scale logo template image");
        return matrix;
    }

    // makeSRGBBitmapImage refuses sizes that do not fit an int.
    auto ctx = gfx::GraphicsContext::makeBitmap(int(n), int(n));
    if (!ctx) {
        foundation::diagnostic("Couldn't get image context");
        return matrix;
    }

    // The bitmap's user space has y upward, while the template's y runs down
    // from the top row: the box from unit y to y + h lands on bitmap rows
    // n*y to n*(y + h) counted from the top.
    const gfx::Rect box = path_.boundingBox();
    if (!box.isNull() && path_.isFinite()) {
        ctx->drawImage(fitted, gfx::Rect(box.minX() * d, (1 - box.maxY()) * d, box.width() * d, box.height() * d));
    }

    const gfx::ImagePtr bitmap = ctx->takeImage();
    if (!bitmap) {
        foundation::diagnostic("Couldn't get image context");
        return matrix;
    }

    // On where the logo is transparent: those modules keep their value.
    BoolMatrix transparent(n);
    for (std::int64_t r = 0; r < n; ++r) {
        for (std::int64_t c = 0; c < n; ++c) {
            if (bitmap->premultipliedPixel(int(c), int(r)).a < 2) transparent.set(r, c, true);
        }
    }
    return matrix.masked(transparent);
}

foundation::SettingsDict LogoTemplate::settings() const {
    foundation::SettingsDict dict = foundation::SettingsDict::object();
    const auto pathJSON = CGPathCodable{path_}.encodeJSON();
    dict["relativeMaskPath"] =
        foundation::base64Encode(std::span<const std::uint8_t>(pathJSON), foundation::Base64Lines::single);
    dict["inset"] = inset_;
    if (useImageMasking_) dict["maskUsingImageTransparency"] = true;
    dict["masksQRCodePixels"] = masksQRCodePixels_;
    // A template whose image cannot be stored fails here rather than being
    // written without its logo (such settings would not load back).
    dict["image"] = pngBase64(image_);
    if (maskImage_) dict["maskImage"] = pngBase64(maskImage_);
    return dict;
}

std::shared_ptr<LogoTemplate> LogoTemplate::Create(const foundation::SettingsDict& settings) {
    if (!settings.is_object() || settings.empty()) return nullptr;

    const auto pathText = foundation::settingString(settings, "relativeMaskPath");
    if (!pathText) return nullptr;
    const auto pathBytes = foundation::base64Decode(*pathText);
    if (!pathBytes) return nullptr;
    gfx::Path path;
    try {
        path = CGPathCodable::decode(std::span<const std::uint8_t>(*pathBytes));
    } catch (const std::exception&) {
        return nullptr;
    }

    const double inset = foundation::settingDouble(settings, "inset").value_or(0.0);
    const bool useImageMasking = foundation::settingBool(settings, "maskUsingImageTransparency").value_or(false);
    const bool masks = foundation::settingBool(settings, "masksQRCodePixels").value_or(true);

    gfx::ImagePtr image = imageFromSettings(settings, "image");
    if (!image) return nullptr;

    auto result = std::make_shared<LogoTemplate>(std::move(image), std::move(path), inset, masks);
    result->useImageMasking_ = useImageMasking;
    result->maskImage_ = imageFromSettings(settings, "maskImage");
    return result;
}

nlohmann::json LogoTemplate::codingValue() const {
    nlohmann::json value = nlohmann::json::object();
    value["useImageMasking"] = useImageMasking_;
    value["masksQRCodePixels"] = masksQRCodePixels_;
    value["inset"] = inset_;
    value["path"] = CGPathCodable{path_}.codingValue();
    value["image"] = CGImageCodable{image_}.encode();
    if (maskImage_) value["maskImage"] = CGImageCodable{maskImage_}.encode();
    return value;
}

std::shared_ptr<LogoTemplate> LogoTemplate::fromCodingValue(const nlohmann::json& value) {
    if (!value.is_object()) throw DecodingError("logo template is not a keyed container");
    auto required = [&](const char* key) -> const nlohmann::json& {
        const auto it = value.find(key);
        if (it == value.end() || it->is_null()) throw DecodingError(std::string("logo template has no ") + key);
        return *it;
    };

    CGImageCodable image = CGImageCodable::decode(required("image"));
    std::optional<CGImageCodable> maskImage;
    if (const auto it = value.find("maskImage"); it != value.end() && !it->is_null())
        maskImage = CGImageCodable::decode(*it);
    gfx::Path path = CGPathCodable::fromCodingValue(required("path")).path;

    const nlohmann::json& inset = required("inset");
    if (!inset.is_number()) throw DecodingError("logo template inset is not a number");
    const nlohmann::json& useImageMasking = required("useImageMasking");
    if (!useImageMasking.is_boolean()) throw DecodingError("logo template useImageMasking is not a Boolean");
    bool masks = true;
    if (const auto it = value.find("masksQRCodePixels"); it != value.end() && !it->is_null()) {
        if (!it->is_boolean()) throw DecodingError("logo template masksQRCodePixels is not a Boolean");
        masks = it->get<bool>();
    }
    if (!image.image || image.image->empty()) throw DecodingError("logo template image is empty");

    auto result = std::make_shared<LogoTemplate>(std::move(image.image), std::move(path), inset.get<double>(), masks);
    result->useImageMasking_ = useImageMasking.get<bool>();
    if (maskImage) result->maskImage_ = std::move(maskImage->image);
    return result;
}

} // namespace QRCode
