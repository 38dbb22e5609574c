#pragma once

// The thumbnails of one shape list, drawn by the library's preview images.
// Each list entry is copied when the set is made, so drawing a thumbnail
// never touches a generator that a rendering may be using at that moment.
// Drawing is expensive next to painting, so the images of one size and
// colour are drawn once, on first request, and kept.

#include "QRCode/generators/EyeShapeGenerator.h"
#include "QRCode/generators/PixelShapeGenerator.h"
#include "QRCode/generators/PupilShapeGenerator.h"
#include "platform/gfx/Color.h"
#include "platform/gfx/Image.h"

#include <QColor>
#include <QImage>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace Tessivo::ui {

enum class ShapeKind { eye, pupil, pixel };

class ShapeThumbnails {
public:
    // Draws one entry at `dimension` pixels square in a colour.
    using Draw = std::function<gfx::ImagePtr(double dimension, const gfx::Color& colour)>;

    explicit ShapeThumbnails(std::vector<Draw> drawers, std::vector<QString> titles = {});

    static ShapeThumbnails eyes(const std::vector<std::shared_ptr<QRCode::QRCodeEyeShapeGenerator>>& list);
    static ShapeThumbnails pupils(const std::vector<std::shared_ptr<QRCode::QRCodePupilShapeGenerator>>& list);
    static ShapeThumbnails pixels(const std::vector<std::shared_ptr<QRCode::QRCodePixelShapeGenerator>>& list);

    int count() const { return int(drawers_.size()); }
    // The display title of an entry ("Rounded path"), empty when unknown.
    QString title(int index) const;

    // One image per entry, pixelSize pixels square, in `colour`. An entry
    // that cannot be drawn gives a null image.
    const std::vector<QImage>& images(int pixelSize, const QColor& colour);

    // How many times a whole set has been drawn (each size and colour once).
    int drawnSets() const { return drawnSets_; }

private:
    std::vector<Draw> drawers_;
    std::vector<QString> titles_;
    std::map<std::pair<QRgb, int>, std::vector<QImage>> cache_;
    int drawnSets_ = 0;
};

} // namespace Tessivo::ui
