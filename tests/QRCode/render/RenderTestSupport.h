#pragma once

#include "QRCode/generators/eye/Square.h"
#include "QRCode/fills/Solid.h"
#include "QRCode/generators/pixel/Square.h"
#include "QRCode/QRCode.h"
#include "QRCode/design/Design.h"

#include <memory>
#include <string>

namespace rendertest {

// An engine that hands out one fixed matrix, so a holder can carry any
// matrix (an empty one, or one of a chosen dimension).
class FixedEngine final : public QRCode::QRCodeEngine {
public:
    explicit FixedEngine(QRCode::BoolMatrix matrix) : matrix_(std::move(matrix)) {}
    std::string name() const override { return "fixed"; }
    QRCode::BoolMatrix generate(std::string_view, QRCode::ErrorCorrection) override { return matrix_; }
    QRCode::BoolMatrix generate(std::span<const std::uint8_t>, QRCode::ErrorCorrection) override { return matrix_; }

private:
    QRCode::BoolMatrix matrix_;
};

inline QRCode::QRCode holder(const QRCode::BoolMatrix& matrix) {
    return QRCode::QRCode(std::make_shared<FixedEngine>(matrix));
}

// A pseudo-random n x n matrix (fixed seed).
inline QRCode::BoolMatrix randomMatrix(int n, std::uint32_t seed = 0x9E3779B9u) {
    QRCode::BoolMatrix m(n);
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c) {
            seed = seed * 1664525u + 1013904223u;
            m.set(r, c, (seed >> 31) != 0);
        }
    return m;
}

// Whether a cell is in the outer ring or one of the three eye blocks.
inline bool isReserved(int r, int c, int n) {
    return r == 0 || c == 0 || r == n - 1 || c == n - 1 || (r < 9 && c < 9) || (r >= n - 9 && c < 9) ||
           (r < 9 && c >= n - 9);
}

// Straight colour of a pixel laid over white, as grey 0...255.
inline int greyOnWhite(const gfx::Image& image, int x, int y) {
    const gfx::Pixel p = image.premultipliedPixel(x, y);
    const int white = 255 - p.a;
    return (int(p.r) + int(p.g) + int(p.b)) / 3 + white;
}

// The default design: square modules, black on white.
inline std::shared_ptr<QRCode::Design> blackOnWhite() { return std::make_shared<QRCode::Design>(); }

} // namespace rendertest
