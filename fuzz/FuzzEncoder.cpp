// The symbol encoder: the first byte picks the level and the kind of
// message, the rest is the message.
#include "QRCodeGenerator/QRCode.h"

#include <cstdint>
#include <span>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const auto level = static_cast<QRCodeGenerator::QRCodeECC>(data[0] & 3);
    const std::span<const std::uint8_t> message(data + 1, size - 1);
    try {
        const auto symbol =
            (data[0] & 4) ? QRCodeGenerator::QRCode::encode(
                                std::string_view(reinterpret_cast<const char*>(message.data()), message.size()), level)
                          : QRCodeGenerator::QRCode::encodeBinary(message, level);
        (void)symbol.getModule(symbol.size() / 2, symbol.size() / 2);
    } catch (const QRCodeGenerator::QRCodeError&) {
    }
    return 0;
}
