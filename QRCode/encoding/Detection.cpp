#include "QRCode/encoding/Detection.h"
#include "QRCode/QRCode.h"
#include "image-read-write/ImageLoading.h"
#include "platform/detector/QRDetector.h"

#include <algorithm>
#include <exception>

namespace QRCode {

std::optional<DetectionAccuracy> detectionAccuracy(int rawValue) {
    switch (rawValue) {
    case 0: return DetectionAccuracy::low;
    case 1: return DetectionAccuracy::high;
    default: return std::nullopt;
    }
}

std::vector<QRCodeFeature> QRCode::DetectQRCodes(const gfx::Image& image, DetectionAccuracy accuracy) {
    std::vector<QRCodeFeature> features;
    std::vector<platform::DetectedQRCode> found;
    try {
        // Any accuracy but low searches thoroughly.
        found = platform::detectQRCodes(image, platform::DetectOptions{accuracy != DetectionAccuracy::low});
    } catch (const std::exception&) {
        return features;
    }
    for (auto& code : found) {
        QRCodeFeature feature;
        if (code.hasText) feature.messageString = std::move(code.text);
        feature.messageBytes = std::move(code.bytes);
        auto point = [&](std::size_t i) {
            return gfx::Point{static_cast<double>(code.corners[i].x), static_cast<double>(code.corners[i].y)};
        };
        feature.topLeft = point(0);
        feature.topRight = point(1);
        feature.bottomRight = point(2);
        feature.bottomLeft = point(3);
        double minX = feature.topLeft.x, maxX = minX, minY = feature.topLeft.y, maxY = minY;
        for (const auto& p : {feature.topRight, feature.bottomRight, feature.bottomLeft}) {
            minX = std::min(minX, p.x);
            maxX = std::max(maxX, p.x);
            minY = std::min(minY, p.y);
            maxY = std::max(maxY, p.y);
        }
        feature.bounds = gfx::Rect{minX, minY, maxX - minX, maxY - minY};
        features.push_back(std::move(feature));
    }
    return features;
}

std::vector<std::string> QRCode::DetectQRStrings(const gfx::Image& image, DetectionAccuracy accuracy) {
    std::vector<std::string> strings;
    for (auto& feature : DetectQRCodes(image, accuracy))
        if (feature.messageString) strings.push_back(std::move(*feature.messageString));
    return strings;
}

std::vector<std::string> detectQRStrings(const gfx::Image& image) {
    return QRCode::DetectQRStrings(image, DetectionAccuracy::high);
}

std::vector<QRCodeFeature> QRCode::DetectQRCodesIn(std::span<const std::uint8_t> encodedImage) {
    gfx::ImagePtr image;
    try {
        image = ImageReadWrite::load(encodedImage);
    } catch (const std::exception&) {
        return {};
    }
    if (!image) return {};
    return DetectQRCodes(*image, DetectionAccuracy::high);
}

} // namespace QRCode
