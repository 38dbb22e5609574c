#include "app/ui/ShapeThumbnails.h"

#include "QRCode/generators/EyeShapeFactory.h"
#include "QRCode/generators/PixelShapeFactory.h"
#include "QRCode/generators/PupilShapeFactory.h"
#include "QRCode/views/ImageConversion.h"

#include <exception>

using QRCode::BoolMatrix;
using QRCode::QRCodeEyeShapeFactory;
using QRCode::QRCodeEyeShapeGenerator;
using QRCode::QRCodePixelShapeFactory;
using QRCode::QRCodePixelShapeGenerator;
using QRCode::QRCodePupilShapeFactory;
using QRCode::QRCodePupilShapeGenerator;

namespace Tessivo::ui {

namespace {
// The modules a pixel thumbnail shows: a run across, a run down, a corner
// and single modules, large enough to read at thumbnail size.
const BoolMatrix& thumbnailMatrix() {
    static const BoolMatrix matrix = [] {
        static constexpr int cells[] = {1, 1, 1, 0, 1, //
                                        1, 0, 0, 0, 0, //
                                        1, 0, 1, 1, 0, //
                                        0, 0, 1, 0, 1, //
                                        1, 0, 0, 1, 1};
        return BoolMatrix::fromRawFlattenedInt(5, cells);
    }();
    return matrix;
}

} // namespace

ShapeThumbnails::ShapeThumbnails(std::vector<Draw> drawers, std::vector<QString> titles)
    : drawers_(std::move(drawers)), titles_(std::move(titles)) {}

QString ShapeThumbnails::title(int index) const {
    return index >= 0 && index < int(titles_.size()) ? titles_[std::size_t(index)] : QString();
}

namespace {
template <class List> std::vector<QString> titlesOf(const List& list) {
    std::vector<QString> titles;
    for (const auto& entry : list)
        titles.push_back(entry ? QString::fromUtf8(entry->title().data(), qsizetype(entry->title().size()))
                               : QString());
    return titles;
}

// One drawer per entry, each over a copy of its generator of its own; a
// missing entry draws nothing.
template <class Generator, class DrawOne>
ShapeThumbnails thumbnailsOf(const std::vector<std::shared_ptr<Generator>>& list, DrawOne drawOne) {
    std::vector<ShapeThumbnails::Draw> drawers;
    for (const auto& entry : list) {
        std::shared_ptr<Generator> shape = entry ? entry->copyShape() : nullptr;
        drawers.push_back([shape, drawOne](double dimension, const gfx::Color& colour) -> gfx::ImagePtr {
            if (!shape) return nullptr;
            return drawOne(*shape, dimension, colour);
        });
    }
    return ShapeThumbnails(std::move(drawers), titlesOf(list));
}
} // namespace

ShapeThumbnails ShapeThumbnails::eyes(const std::vector<std::shared_ptr<QRCodeEyeShapeGenerator>>& list) {
    return thumbnailsOf(list, [](QRCodeEyeShapeGenerator& eye, double dimension, const gfx::Color& colour) {
        // Drawn with the eye's own pupil, so the thumbnail reads as a finder.
        return QRCodeEyeShapeFactory::image(eye, nullptr, dimension, colour);
    });
}

ShapeThumbnails ShapeThumbnails::pupils(const std::vector<std::shared_ptr<QRCodePupilShapeGenerator>>& list) {
    return thumbnailsOf(list, [](QRCodePupilShapeGenerator& pupil, double dimension, const gfx::Color& colour) {
        return QRCodePupilShapeFactory::image(pupil, dimension, colour);
    });
}

ShapeThumbnails ShapeThumbnails::pixels(const std::vector<std::shared_ptr<QRCodePixelShapeGenerator>>& list) {
    return thumbnailsOf(list, [](QRCodePixelShapeGenerator& pixel, double dimension, const gfx::Color& colour) {
        return QRCodePixelShapeFactory::image(pixel, dimension, colour, std::nullopt, &thumbnailMatrix());
    });
}

const std::vector<QImage>& ShapeThumbnails::images(int pixelSize, const QColor& colour) {
    const auto key = std::make_pair(colour.rgba(), pixelSize);
    if (auto found = cache_.find(key); found != cache_.end()) return found->second;

    const gfx::Color drawColour = gfx::Color::sRGB(colour.redF(), colour.greenF(), colour.blueF(), colour.alphaF());
    std::vector<QImage> images;
    images.reserve(drawers_.size());
    for (const auto& draw : drawers_) {
        QImage image;
        try {
            if (pixelSize > 0) {
                const gfx::ImagePtr drawn = draw(double(pixelSize), drawColour);
                image = QRCode::views::toQImage(drawn.get());
            }
        } catch (const std::exception&) {
            // A shape that cannot draw its preview leaves an empty cell; the
            // grid stays usable.
        }
        images.push_back(std::move(image));
    }
    ++drawnSets_;
    return cache_.emplace(key, std::move(images)).first->second;
}

} // namespace Tessivo::ui
