#include "QRCode/QRCodeError.h"

#include <array>

namespace QRCode {

namespace {

// Names with their prefix, so what() can hand out a stable C string.
constexpr std::array<const char*, 14> kWhat{
    "QRCodeError.cannotGenerateQRCode",
    "QRCodeError.unableToConvertTextToRequestedEncoding",
    "QRCodeError.cannotGenerateImage",
    "QRCodeError.noGeneratorSet",
    "QRCodeError.noImageSet",
    "QRCodeError.cannotCreateGenerator",
    "QRCodeError.unsupportedGeneratorName",
    "QRCodeError.unsupportedColor",
    "QRCodeError.invalidURL",
    "QRCodeError.invalidContent",
    "QRCodeError.cannotGenerateJSON",
    "QRCodeError.cannotGenerateImageBase64",
    "QRCodeError.invalidHexColorString",
    "QRCodeError.unsupportedExportType",
};
constexpr std::string_view kPrefix = "QRCodeError.";

const char* whatOf(QRCodeError error) noexcept {
    const auto ordinal = static_cast<int>(error);
    if (ordinal < 0 || ordinal >= static_cast<int>(kWhat.size())) return "QRCodeError.unknown";
    return kWhat[static_cast<std::size_t>(ordinal)];
}

} // namespace

std::string_view qrCodeErrorName(QRCodeError error) noexcept {
    return std::string_view(whatOf(error)).substr(kPrefix.size());
}

const char* QRCodeException::what() const noexcept { return whatOf(code_); }

} // namespace QRCode
