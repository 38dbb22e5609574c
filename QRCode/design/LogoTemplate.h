#pragma once

#include "QRCode/core/BoolMatrix.h"
#include "platform/foundation/SettingsValue.h"
#include "platform/gfx/Image.h"
#include "platform/gfx/Path.h"

#include <memory>
#include <stdexcept>

#include <nlohmann/json.hpp>

namespace QRCode {

// A logo laid over a code: the logo image, the area it covers as a path in
// unit-square coordinates (x from 0 at the left edge to 1 at the right, y
// from 0 at the top row to 1 at the bottom row) and whether the modules under
// it are hidden.
//
// Two ways of hiding modules:
//   path mode: a module is hidden when its centre lies inside the path
//     (nonzero winding);
//   image-transparency mode: the mask image (or the logo image without one)
//     is laid over the path's bounding box, and a module is hidden wherever
//     that image is not transparent (alpha 2 or more of 255).
//
// Templates are shared by reference (std::shared_ptr) between a document and
// the renderers, which only read them.
class LogoTemplate {
public:
    // Raised by fromCodingValue for a missing key or a value of the wrong type.
    class DecodingError : public std::runtime_error {
    public:
        using std::runtime_error::runtime_error;
    };

    // A path-mode template. A null image throws QRCodeException(noImageSet).
    LogoTemplate(gfx::ImagePtr image, gfx::Path path, double inset = 0, bool masksQRCodePixels = true);
    // An image-transparency template over the whole unit square, inset 0.
    // `maskImage` may be null (the logo image's own transparency is used).
    // A null image throws QRCodeException(noImageSet).
    LogoTemplate(gfx::ImagePtr image, gfx::ImagePtr maskImage, bool masksQRCodePixels = true);

    LogoTemplate(const LogoTemplate&) = delete;
    LogoTemplate& operator=(const LogoTemplate&) = delete;

    // Path-mode presets with masking on: an ellipse or a square of side 0.25,
    // centred (0.375...0.625) or near the bottom-right corner (0.7...0.95).
    static std::shared_ptr<LogoTemplate> CircleCenter(gfx::ImagePtr image, double inset = 0);
    static std::shared_ptr<LogoTemplate> CircleBottomRight(gfx::ImagePtr image, double inset = 0);
    static std::shared_ptr<LogoTemplate> SquareCenter(gfx::ImagePtr image, double inset = 0);
    static std::shared_ptr<LogoTemplate> SquareBottomRight(gfx::ImagePtr image, double inset = 0);

    const gfx::Path& path() const { return path_; }
    void setPath(gfx::Path path) { path_ = std::move(path); }
    const gfx::ImagePtr& image() const { return image_; }
    const gfx::ImagePtr& maskImage() const { return maskImage_; }
    bool masksQRCodePixels() const { return masksQRCodePixels_; }
    // Margin (output units) by which drawing shrinks the scaled path's
    // bounding box before drawing the image into it.
    double inset() const { return inset_; }
    bool useImageMasking() const { return useImageMasking_; }

    // A new template of the same mode with a duplicate of the image and the
    // same masking flag. Path mode keeps the path and inset; image mode keeps
    // the mask image and takes the unit-square path.
    std::shared_ptr<LogoTemplate> copyLogoTemplate() const;
    // A new template of the same mode with `image` and the same masking flag.
    // Path mode keeps the path and inset (`maskImage` is not used); image mode
    // uses `maskImage`.
    std::shared_ptr<LogoTemplate> copyWithImage(gfx::ImagePtr image, gfx::ImagePtr maskImage = nullptr) const;

    // The path scaled to `dimension`; flipped maps y to dimension * (1 - y).
    gfx::Path absolutePathForMaskPath(double dimension, bool flipped) const;

    // The matrix with the modules under the logo switched off, for a symbol
    // whose n x n modules fill a square of side `size`. Without masking the
    // matrix is returned unchanged. In path mode the result does not depend
    // on `size` (as long as it is finite and not 0, else nothing is hidden),
    // so every output hides the same modules.
    BoolMatrix applyingMask(const BoolMatrix& matrix, double size) const;
    // The image-transparency mask of the matrix. Never fails: when no bitmap
    // can be made it prints a line and returns the matrix unchanged.
    BoolMatrix applyingImageTransparencyMask(const BoolMatrix& matrix) const;

    // "relativeMaskPath" (base64 of the stored path JSON), "inset",
    // "maskUsingImageTransparency" (only when true), "masksQRCodePixels",
    // "image" and "maskImage" (base64 PNG at 72 dpi). An image that cannot be
    // encoded throws the image module's ImageReadWriteException; a path with a
    // coordinate that is not finite throws foundation::JsonError.
    foundation::SettingsDict settings() const;
    // The template the settings describe, or nullptr when they describe none
    // (empty, no readable path, or no readable image).
    static std::shared_ptr<LogoTemplate> Create(const foundation::SettingsDict& settings);

    // The keyed coding form: {"useImageMasking", "masksQRCodePixels",
    // "inset", "path", "image", "maskImage" (when present)}; path and images
    // as their base64 coding values. Encoding errors of the path and images
    // pass through.
    nlohmann::json codingValue() const;
    // Requires "image", "path", "inset" and "useImageMasking";
    // "masksQRCodePixels" defaults to true. Throws DecodingError, or the
    // path's or image's own decoding error.
    static std::shared_ptr<LogoTemplate> fromCodingValue(const nlohmann::json& value);

private:
    gfx::Path path_;
    gfx::ImagePtr image_;
    gfx::ImagePtr maskImage_;
    bool masksQRCodePixels_ = true;
    double inset_ = 0;
    bool useImageMasking_ = false;
};

using LogoTemplatePtr = std::shared_ptr<LogoTemplate>;

} // namespace QRCode
