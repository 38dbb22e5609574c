#pragma once

// From the main window's settings to a QR document and its preview image.
// Every call builds a new document, new fills and a new logo template.

#include "app/core/SettingsKeys.h"
#include "app/core/ShapeLists.h"

#include "QRCode/Document.h"
#include "QRCode/core/ErrorCorrection.h"
#include "platform/gfx/Image.h"

#include <cstddef>
#include <string_view>

namespace Tessivo {

// The design keys as one value, read in one go.
struct DesignValues {
    int errorCorrection = 3;
    int eyeShapeIdx = 0;
    int pupilShapeIdx = 0;
    int pixelShapeIdx = 0;
    Color backgroundColor = Color::sRGB(1, 1, 1);
    float backgroundPadding = 0;
    float backgroundRadius = 0;
    int layoutMode = 1;
    bool unifiedColor = false;
    Color fgUnifiedColor = Color::sRGB(0, 0, 0);
    Color fgEyeColor = Color::sRGB(0, 0, 0);
    Color fgPupilColor = Color::sRGB(0, 0, 0);
    Color fgPixelColor = Color::sRGB(0, 0, 0);

    // The values stored now (defaults where nothing is stored).
    static DesignValues fromSettings();

    // Calls visit(key, member) for every key the document is built from, so
    // readers and observers of the design keys share one list.
    template <class Visit> static void forEachKey(Visit&& visit) {
        visit(Keys::errorCorrection(), &DesignValues::errorCorrection);
        visit(Keys::eyeShapeIdx(), &DesignValues::eyeShapeIdx);
        visit(Keys::pupilShapeIdx(), &DesignValues::pupilShapeIdx);
        visit(Keys::pixelShapeIdx(), &DesignValues::pixelShapeIdx);
        visit(Keys::backgroundColor(), &DesignValues::backgroundColor);
        visit(Keys::backgroundPadding(), &DesignValues::backgroundPadding);
        visit(Keys::backgroundRadius(), &DesignValues::backgroundRadius);
        visit(Keys::layoutMode(), &DesignValues::layoutMode);
        visit(Keys::unifiedColor(), &DesignValues::unifiedColor);
        visit(Keys::fgUnifiedColor(), &DesignValues::fgUnifiedColor);
        visit(Keys::fgEyeColor(), &DesignValues::fgEyeColor);
        visit(Keys::fgPupilColor(), &DesignValues::fgPupilColor);
        visit(Keys::fgPixelColor(), &DesignValues::fgPixelColor);
    }
};

// The logo of the main window (not saved).
struct LogoOptions {
    gfx::ImagePtr image;
    bool active = false;
    int position = 0; // 0 centre, anything else the lower-right corner
    bool maintainAspectRatio = true;
};

inline constexpr int previewDimension = 1024;
// The most bytes any QR symbol holds (version 40 at level L). A longer
// message is refused before it reaches the encoder, whose cost grows with it.
inline constexpr std::size_t maximumMessageBytes = 2953;
inline constexpr int logoCanvasSide = 307;

// 0 L, 1 M, 2 Q, 3 H; anything else H.
QRCode::ErrorCorrection errorCorrectionLevel(long long stored);

// A new document for the text, or null for an empty text or a text that does
// not fit at the chosen level (longer than maximumMessageBytes: refused
// without encoding). The document holds the list's generators
// themselves, so it must be rendered before another document of the same
// lists is (use ShapeLists::copy() for work on another thread).
QRCode::DocumentPtr makeDocument(std::string_view text, const DesignValues& design, const LogoOptions& logo,
                                 const ShapeLists& shapes);

// The document rendered at 1024 x 1024, or null when there is no document or
// rendering fails.
gfx::ImagePtr makeQRImage(std::string_view text, const DesignValues& design, const LogoOptions& logo,
                          const ShapeLists& shapes);

// The picture scaled to fit a side x side transparent canvas with its aspect
// ratio kept (the longer side fills it): centred, or against the right and
// bottom edges. Null for an empty picture or a canvas that cannot be made.
gfx::ImagePtr fitLogoImage(const gfx::Image& image, int side, bool centered);

} // namespace Tessivo
