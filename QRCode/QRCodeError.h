#pragma once

#include <exception>
#include <string_view>

namespace QRCode {

// The one error type of the design library. The ordinals are fixed: callers
// and stored error codes rely on them, including the cases nothing raises.
enum class QRCodeError : int {
    cannotGenerateQRCode = 0,
    unableToConvertTextToRequestedEncoding = 1,
    cannotGenerateImage = 2,
    noGeneratorSet = 3,
    noImageSet = 4,
    cannotCreateGenerator = 5,
    unsupportedGeneratorName = 6,
    unsupportedColor = 7,
    invalidURL = 8,
    invalidContent = 9,
    cannotGenerateJSON = 10,
    cannotGenerateImageBase64 = 11,
    invalidHexColorString = 12,
    unsupportedExportType = 13,
};

// The case's name, e.g. "cannotGenerateQRCode"; "unknown" for a value
// outside the fourteen cases.
std::string_view qrCodeErrorName(QRCodeError error) noexcept;

// What the library throws: carries one QRCodeError.
class QRCodeException : public std::exception {
public:
    explicit QRCodeException(QRCodeError error) noexcept : code_(error) {}
    QRCodeError code() const noexcept { return code_; }
    // "QRCodeError." followed by the case's name.
    const char* what() const noexcept override;

private:
    QRCodeError code_;
};

} // namespace QRCode
