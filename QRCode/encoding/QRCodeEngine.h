#pragma once

#include "QRCode/core/BoolMatrix.h"
#include "QRCode/core/ErrorCorrection.h"
#include "platform/qrfilter/QRCodeFilter.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace QRCode {

// Turns a message and a level into the module matrix of one symbol. Failures
// throw QRCodeException. An engine serves one call at a time.
class QRCodeEngine {
public:
    virtual ~QRCodeEngine() = default;

    // The engine's registry name.
    virtual std::string name() const = 0;
    // Text (UTF-8) in; each engine turns it into bytes itself.
    virtual BoolMatrix generate(std::string_view text, ErrorCorrection errorCorrection) = 0;
    // Bytes in, encoded as they stand.
    virtual BoolMatrix generate(std::span<const std::uint8_t> data, ErrorCorrection errorCorrection) = 0;
};

// The default engine, over the platform's QR-code filter (libqrencode). Its
// matrix is the filter's image read pixel by pixel, so it includes the
// filter's one-module light margin.
//   text that is not valid UTF-8      -> unableToConvertTextToRequestedEncoding
//   no image (the data does not fit)  -> cannotGenerateImage (more than a
//                                        symbol can hold is refused at once)
class QRCodeEngineCoreImage final : public QRCodeEngine {
public:
    static constexpr std::string_view Name = "coreimage";

    std::string name() const override { return std::string(Name); }
    BoolMatrix generate(std::string_view text, ErrorCorrection errorCorrection) override;
    BoolMatrix generate(std::span<const std::uint8_t> data, ErrorCorrection errorCorrection) override;

private:
    platform::QRCodeFilter filter_; // made once, inputs set on every call
};

// Our own encoder (numeric, alphanumeric or byte mode; automatic version,
// mask and level boost), with a one-module light border around the symbol.
//   text that is not valid UTF-8      -> unableToConvertTextToRequestedEncoding
//   the data does not fit version 40  -> cannotGenerateQRCode
class QRCodeEngineExternal final : public QRCodeEngine {
public:
    static constexpr std::string_view Name = "external";

    std::string name() const override { return std::string(Name); }
    BoolMatrix generate(std::string_view text, ErrorCorrection errorCorrection) override;
    BoolMatrix generate(std::span<const std::uint8_t> data, ErrorCorrection errorCorrection) override;
};

// Whether `text` is well-formed UTF-8 (no overlong forms, surrogates or
// values above U+10FFFF).
bool isValidUTF8(std::string_view text) noexcept;

} // namespace QRCode
