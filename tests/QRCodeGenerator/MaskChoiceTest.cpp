// The encoder scores masks on packed bits; this checks its choice against a
// plain module-by-module reading of the penalty rules.
#include "QRCodeGenerator/QRCode.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdlib>
#include <string>

using QRCodeGenerator::QRCode;
using QRCodeGenerator::QRCodeECC;
using QRCodeGenerator::QRSegment;

namespace {

struct ReferencePenalty {
    int size;
    std::array<int, 7> history{};

    void addHistory(int run) {
        if (history[0] == 0) run += size;
        for (int i = 6; i > 0; --i) history[i] = history[i - 1];
        history[0] = run;
    }
    int countPatterns() const {
        const int n = history[1];
        const bool core = n > 0 && history[2] == n && history[3] == n * 3 && history[4] == n && history[5] == n;
        return (core && history[0] >= n * 4 && history[6] >= n ? 1 : 0) +
               (core && history[6] >= n * 4 && history[0] >= n ? 1 : 0);
    }
};

long long referencePenalty(const QRCode& qr) {
    const int n = qr.size();
    long long result = 0;
    for (int pass = 0; pass < 2; ++pass) {
        for (int a = 0; a < n; ++a) {
            ReferencePenalty p{n};
            bool runColor = false;
            int run = 0;
            for (int b = 0; b < n; ++b) {
                const bool dark = pass == 0 ? qr.getModule(b, a) : qr.getModule(a, b);
                if (dark == runColor) {
                    ++run;
                    if (run == 5)
                        result += 3;
                    else if (run > 5)
                        ++result;
                } else {
                    p.addHistory(run);
                    if (!runColor) result += p.countPatterns() * 40;
                    runColor = dark;
                    run = 1;
                }
            }
            if (runColor) {
                p.addHistory(run);
                run = 0;
            }
            run += n;
            p.addHistory(run);
            result += p.countPatterns() * 40;
        }
    }
    for (int y = 0; y + 1 < n; ++y)
        for (int x = 0; x + 1 < n; ++x) {
            const bool c = qr.getModule(x, y);
            if (c == qr.getModule(x + 1, y) && c == qr.getModule(x, y + 1) && c == qr.getModule(x + 1, y + 1))
                result += 3;
        }
    long long dark = 0;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) dark += qr.getModule(x, y);
    const long long total = static_cast<long long>(n) * n;
    const long long k = (std::llabs(dark * 20 - total * 10) + total - 1) / total - 1;
    return result + k * 10;
}

} // namespace

TEST(MaskChoice, LowestReferencePenaltyWinsWithLowestNumberOnTies) {
    std::uint32_t seed = 7;
    auto next = [&seed] {
        seed = seed * 1664525U + 1013904223U;
        return seed >> 8;
    };
    int checked = 0;
    for (int version = 1; version <= 40; version += 3) {
        for (int levelIndex = 0; levelIndex < 4; ++levelIndex) {
            const auto level = static_cast<QRCodeECC>(levelIndex);
            std::vector<std::uint8_t> data(static_cast<std::size_t>(
                QRCode::getNumDataCodewords(static_cast<QRCodeGenerator::QRCodeVersion>(version), level)));
            for (auto& b : data) b = static_cast<std::uint8_t>(next());
            const auto v = static_cast<QRCodeGenerator::QRCodeVersion>(version);
            const QRCode chosen(v, level, data);
            long long best = LLONG_MAX;
            int bestMask = -1;
            for (int mask = 0; mask < 8; ++mask) {
                const QRCode fixed(v, level, data, static_cast<QRCodeGenerator::QRCodeMask>(mask));
                const long long penalty = referencePenalty(fixed);
                if (penalty < best) {
                    best = penalty;
                    bestMask = mask;
                }
                if (mask == chosen.mask()) {
                    EXPECT_EQ(fixed.modules(), chosen.modules());
                }
            }
            EXPECT_EQ(chosen.mask(), bestMask) << "version " << version << " level " << levelIndex;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 14 * 4);
}
