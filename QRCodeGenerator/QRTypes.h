#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace QRCodeGenerator {

// Error-correction level of a symbol, weakest first.
enum class QRCodeECC : int { low = 0, medium = 1, quartile = 2, high = 3 };

// A symbol version, 1 to 40.
using QRCodeVersion = std::uint8_t;
inline constexpr QRCodeVersion kMinVersion = 1;
inline constexpr QRCodeVersion kMaxVersion = 40;

// A data mask pattern number, 0 to 7.
using QRCodeMask = std::uint8_t;

// The only failure of encoding: the data does not fit the allowed versions.
class QRCodeError : public std::runtime_error {
public:
    enum class Code { dataTooLong };
    QRCodeError(Code code, const std::string& message) : std::runtime_error(message), code_(code) {}
    Code code() const noexcept { return code_; }

private:
    Code code_;
};

} // namespace QRCodeGenerator
