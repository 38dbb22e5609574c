#include "image-read-write/ImageProperties.h"

#include "image-read-write/ImageReadWriteError.h"

#include <cmath>

namespace ImageReadWrite {
namespace {

void addOtherProperties(ImageProperties& properties, const ImageProperties* otherProperties) {
    if (!otherProperties || otherProperties->is_null()) return;
    if (!otherProperties->is_object()) throw ImageReadWriteException(ImageReadWriteError::internalError);
    for (const auto& [key, value] : otherProperties->items()) properties[key] = value;
}

} // namespace

double clampedQuality(double compression) {
    if (!(compression > 0)) return 0; // negative, zero or NaN
    if (compression > 1) return 1;
    return compression;
}

ImageProperties imageProperties(int pixelWidth, int pixelHeight, double dpi, std::optional<double> compression,
                                bool excludeGPSData, const ImageProperties* otherProperties) {
    if (!std::isfinite(dpi) || dpi <= 0) throw ImageReadWriteException(ImageReadWriteError::invalidDPI);
    ImageProperties properties = ImageProperties::object();
    properties[ImageProperty::pixelWidth] = pixelWidth;
    properties[ImageProperty::pixelHeight] = pixelHeight;
    properties[ImageProperty::dpiWidth] = dpi;
    properties[ImageProperty::dpiHeight] = dpi;
    if (compression) properties[ImageProperty::lossyCompressionQuality] = clampedQuality(*compression);
    if (excludeGPSData) properties[ImageProperty::excludeGPS] = true;
    addOtherProperties(properties, otherProperties);
    return properties;
}

ImageProperties gifImageProperties(int pixelWidth, int pixelHeight, const ImageProperties* otherProperties) {
    ImageProperties properties = ImageProperties::object();
    properties[ImageProperty::pixelWidth] = pixelWidth;
    properties[ImageProperty::pixelHeight] = pixelHeight;
    properties[ImageProperty::dpiWidth] = 72.0;
    properties[ImageProperty::dpiHeight] = 72.0;
    addOtherProperties(properties, otherProperties);
    return properties;
}

} // namespace ImageReadWrite
