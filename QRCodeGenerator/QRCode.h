#pragma once

#include "QRCodeGenerator/QRSegment.h"
#include "QRCodeGenerator/QRTypes.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace QRCodeGenerator {

// One QR Code symbol (Model 2, versions 1 to 40), built once and then only
// read. Modules are dark where `true`.
class QRCode {
public:
    // Encodes UTF-8 text (numeric, alphanumeric or byte mode) with versions 1
    // to 40, automatic mask and level boost. Throws QRCodeError (dataTooLong).
    static QRCode encode(std::string_view text, QRCodeECC ecl);
    // Encodes bytes as one byte-mode segment, with the same settings.
    static QRCode encodeBinary(std::span<const std::uint8_t> data, QRCodeECC ecl);
    // Encodes segments: the smallest version in [minVersion, maxVersion] that
    // holds them, the level raised as far as that version allows when
    // `boostEcl`, and the given mask (automatic when absent).
    static QRCode encode(const std::vector<QRSegment>& segments, QRCodeECC ecl, QRCodeVersion minVersion = kMinVersion,
                         QRCodeVersion maxVersion = kMaxVersion, std::optional<QRCodeMask> mask = std::nullopt,
                         bool boostEcl = true);

    // Builds the symbol from its data codewords (exactly getNumDataCodewords
    // of them); an absent mask means the one of lowest penalty.
    QRCode(QRCodeVersion version, QRCodeECC errorCorrectionLevel, std::span<const std::uint8_t> dataCodewords,
           std::optional<QRCodeMask> mask = std::nullopt);

    QRCodeVersion version() const { return version_; }
    int size() const { return size_; }
    QRCodeECC errorCorrectionLevel() const { return errorCorrectionLevel_; }
    QRCodeMask mask() const { return mask_; }
    // size x size cells, row-major (element y * size + x), 1 for dark.
    const std::vector<std::uint8_t>& modules() const { return modules_; }

    // Whether the module at column x, row y is dark; false outside the symbol.
    bool getModule(int x, int y) const {
        return x >= 0 && x < size_ && y >= 0 && y < size_ && modules_[static_cast<std::size_t>(y) * size_ + x] != 0;
    }

    // The symbol as an SVG document: a border of `border` modules, an optional
    // light background, dark modules as one path, an optional pixel width.
    std::string toSvgString(int border, const std::optional<std::string>& lightColor = std::nullopt,
                            const std::string& darkColor = "#000000",
                            const std::optional<std::string>& pixelWidth = std::nullopt) const;

    // The number of data codewords a version and level hold: what the
    // constructor takes.
    static int getNumDataCodewords(QRCodeVersion version, QRCodeECC ecl);

private:
    void setFunctionModule(int x, int y, bool dark);
    void drawFunctionPatterns();
    void drawFinderPattern(int x, int y);
    void drawAlignmentPattern(int x, int y);
    void drawFormatBits(QRCodeMask mask);
    void drawVersion();
    void drawCodewords(std::span<const std::uint8_t> codewords);
    void applyMask(QRCodeMask mask);
    int getPenaltyScore() const;

    std::uint8_t& cell(int x, int y) { return modules_[static_cast<std::size_t>(y) * size_ + x]; }

    QRCodeVersion version_;
    int size_;
    QRCodeECC errorCorrectionLevel_;
    QRCodeMask mask_ = 0;
    std::vector<std::uint8_t> modules_;
    std::vector<std::uint8_t> isFunction_; // emptied once construction ends
};

} // namespace QRCodeGenerator
