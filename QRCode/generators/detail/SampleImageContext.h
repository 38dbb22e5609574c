#pragma once

#include "platform/gfx/Color.h"
#include "platform/gfx/GraphicsContext.h"
#include "platform/gfx/Image.h"

#include <memory>
#include <optional>

namespace QRCode::detail {

// The bitmap of a shape preview: trunc(dimension) pixels square, filled with
// the background colour (transparent when none), its user space flipped so
// that y grows downward from the top of a dimension-high square. Throws
// QRCodeException(cannotGenerateImage) for a dimension that is not finite,
// below 1 or too large for a bitmap.
std::unique_ptr<gfx::GraphicsContext> makeSampleContext(double dimension,
                                                        const std::optional<gfx::Color>& backgroundColor);

// The image drawn so far; throws cannotGenerateImage when none can be made.
gfx::ImagePtr finishSampleImage(gfx::GraphicsContext& context);

} // namespace QRCode::detail
