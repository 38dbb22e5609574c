// Every engine's symbols must scan: generated messages of every mode, level
// and a spread of versions are encoded, drawn as plain squares and read back
// with a real decoder.
#include "QRCode/QRCode.h"
#include "QRCode/core/SplitMix64.h"
#include "QRCodeGenerator/QRCode.h"
#include "platform/detector/QRDetector.h"
#include "platform/gfx/Image.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using QRCode::BoolMatrix;
using QRCode::SplitMix64;

namespace {

enum class Kind { numeric, alphanumeric, bytes, utf8 };

struct Message {
    Kind kind;
    QRCode::ErrorCorrection level;
    std::vector<std::uint8_t> bytes; // for text kinds, the UTF-8 of the text
};

// Byte-mode capacity of a version-40 symbol per level: the filter engine
// always encodes bytes, so no message may exceed it.
constexpr int kByteCapacity40[4] = {2953, 2331, 1663, 1273};

// Characters of `kind` that fit `bits` of data at version v (count field
// and mode indicator already taken off).
int maxChars(Kind kind, int bits) {
    switch (kind) {
    case Kind::numeric: return bits / 10 * 3 + (bits % 10 >= 7 ? 2 : bits % 10 >= 4 ? 1 : 0);
    case Kind::alphanumeric: return bits / 11 * 2 + (bits % 11 >= 6 ? 1 : 0);
    default: return bits / 8;
    }
}

int capacityChars(Kind kind, int version, QRCode::ErrorCorrection level) {
    using QRCodeGenerator::QRSegment;
    const auto v = static_cast<QRCodeGenerator::QRCodeVersion>(version);
    const auto mode = kind == Kind::numeric        ? QRSegment::Mode::numeric
                      : kind == Kind::alphanumeric ? QRSegment::Mode::alphanumeric
                                                   : QRSegment::Mode::byte;
    const int bits =
        QRCodeGenerator::QRCode::getNumDataCodewords(v, static_cast<QRCodeGenerator::QRCodeECC>(level)) * 8 - 4 -
        QRSegment::numCharCountBits(mode, v);
    return maxChars(kind, bits);
}

std::vector<Message> generateMessages(int count) {
    SplitMix64 rng(20261206);
    auto below = [&rng](std::uint64_t n) { return static_cast<int>(rng.next() % n); };
    static const std::vector<std::string> multiByte = {"\u00e9", "\u00df",     "\u20ac", "\u4e2d",
                                                       "\u6587", "\U0001F600", "\u0416", "\u05d0"};
    std::vector<Message> messages;
    for (int i = 0; i < count; ++i) {
        Message m;
        m.level = static_cast<QRCode::ErrorCorrection>(i % 4);
        m.kind = static_cast<Kind>((i / 4) % 4);
        const int version = 1 + (i * 7) % 40;
        const int levelIndex = static_cast<int>(m.level);
        // A length that needs this version in its own mode, kept within what
        // byte mode holds at version 40.
        int high = std::min(capacityChars(m.kind, version, m.level), kByteCapacity40[levelIndex]);
        int low = version == 1 ? 1 : std::min(capacityChars(m.kind, version - 1, m.level) + 1, high);
        const int length = low + below(static_cast<std::uint64_t>(high - low + 1));
        switch (m.kind) {
        case Kind::numeric:
            for (int k = 0; k < length; ++k) m.bytes.push_back(static_cast<std::uint8_t>('0' + below(10)));
            break;
        case Kind::alphanumeric: {
            const std::string set = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";
            for (int k = 0; k < length; ++k)
                m.bytes.push_back(static_cast<std::uint8_t>(set[static_cast<std::size_t>(below(45))]));
            break;
        }
        case Kind::bytes:
            for (int k = 0; k < length; ++k) m.bytes.push_back(static_cast<std::uint8_t>(below(256)));
            break;
        case Kind::utf8:
            while (true) {
                const std::string piece = below(3) == 0 ? std::string(1, static_cast<char>('a' + below(26)))
                                                        : multiByte[static_cast<std::size_t>(below(8))];
                if (m.bytes.size() + piece.size() > static_cast<std::size_t>(length)) break;
                m.bytes.insert(m.bytes.end(), piece.begin(), piece.end());
            }
            if (m.bytes.empty()) m.bytes.push_back('x');
            break;
        }
        messages.push_back(std::move(m));
    }
    return messages;
}

// Plain squares, `scale` pixels per module, with a light quiet zone of four
// modules added around the matrix (whose own border is only one module).
gfx::Image render(const BoolMatrix& matrix, int scale) {
    constexpr int quiet = 4;
    const int n = static_cast<int>(matrix.dimension());
    const int side = (n + 2 * quiet) * scale;
    gfx::Image image(side, side);
    for (int y = 0; y < side; ++y) {
        std::uint32_t* row = image.row(y);
        const int my = y / scale - quiet;
        for (int x = 0; x < side; ++x) {
            const int mx = x / scale - quiet;
            const bool dark = mx >= 0 && my >= 0 && mx < n && my < n && matrix(my, mx);
            row[x] = dark ? 0xFF000000U : 0xFFFFFFFFU;
        }
    }
    return image;
}

std::string describe(const Message& m, std::size_t index) {
    static const char* kinds[] = {"numeric", "alphanumeric", "bytes", "utf8"};
    return "message " + std::to_string(index) + " (" + kinds[static_cast<int>(m.kind)] + ", level " +
           std::to_string(static_cast<int>(m.level)) + ", " + std::to_string(m.bytes.size()) + " bytes)";
}

} // namespace

TEST(Scan, GeneratedMessagesDecodeThroughBothEngines) {
    const std::vector<Message> messages = generateMessages(240);
    QRCode::QRCodeEngineCoreImage coreImage;
    QRCode::QRCodeEngineExternal external;
    std::set<int> externalVersions;
    int decoded = 0;

    for (std::size_t i = 0; i < messages.size(); ++i) {
        const Message& m = messages[i];
        for (QRCode::QRCodeEngine* engine :
             {static_cast<QRCode::QRCodeEngine*>(&coreImage), static_cast<QRCode::QRCodeEngine*>(&external)}) {
            SCOPED_TRACE(describe(m, i) + " through " + engine->name());
            BoolMatrix matrix;
            if (m.kind == Kind::bytes) {
                matrix = engine->generate(std::span<const std::uint8_t>(m.bytes), m.level);
            } else {
                const std::string text(m.bytes.begin(), m.bytes.end());
                matrix = engine->generate(std::string_view(text), m.level);
            }
            if (engine == &external) externalVersions.insert(static_cast<int>((matrix.dimension() - 2 - 17) / 4));
            const auto found = platform::detectQRCodes(render(matrix, 3));
            EXPECT_EQ(found.size(), 1U);
            if (found.size() != 1) continue;
            EXPECT_EQ(found[0].bytes, m.bytes);
            if (m.kind != Kind::bytes) {
                EXPECT_EQ(found[0].text, std::string(m.bytes.begin(), m.bytes.end()));
            }
            ++decoded;
        }
    }
    EXPECT_EQ(decoded, 480);
    EXPECT_EQ(externalVersions.size(), 40U);
    EXPECT_EQ(*externalVersions.begin(), 1);
    EXPECT_EQ(*externalVersions.rbegin(), 40);
}
