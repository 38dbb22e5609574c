#include "QRCode/core/detail/Clamp.h"
#include "QRCode/core/SplitMix64.h"
#include "QRCode/core/UniqueFileURL.h"
#include "QRCode/core/ZelDebounce.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>

using namespace QRCode;

TEST(SplitMix64, PublishedSequenceAndRepeatsFromTheSameSeed) {
    SplitMix64 rng(0);
    EXPECT_EQ(rng.next(), 0xe220a8397b1dcdafULL);
    EXPECT_EQ(rng.state, 0x9e3779b97f4a7c15ULL);
    EXPECT_EQ(rng.next(), 0x6e789e6aa1b965f4ULL);
    EXPECT_EQ(rng.next(), 0x06c45d188009454fULL);

    // The abstract pixel shape relies on this parity pattern for seed 123456.
    rng = SplitMix64(123456);
    std::string parity;
    for (int i = 0; i < 8; ++i) parity += (rng.next() % 2) ? 'o' : 'e';
    EXPECT_EQ(parity, "oooeooee");

    SplitMix64 a(308653205), b(308653205);
    std::vector<int> x(20), y(20);
    std::iota(x.begin(), x.end(), 0);
    std::iota(y.begin(), y.end(), 0);
    std::shuffle(x.begin(), x.end(), a);
    std::shuffle(y.begin(), y.end(), b);
    EXPECT_EQ(x, y);
}

TEST(UniqueFileURL, CountsUpFromTwo) {
    testsupport::TempDir dir;
    EXPECT_EQ(uniqueFileURL(dir.path(), "Dropped QRCode.pdf"), dir / "Dropped QRCode.pdf");
    testsupport::writeTextFile(dir / "Dropped QRCode.pdf", "x");
    EXPECT_EQ(uniqueFileURL(dir.path(), "Dropped QRCode.pdf"), dir / "Dropped QRCode-2.pdf");
    testsupport::writeTextFile(dir / "Dropped QRCode-2.pdf", "x");
    EXPECT_EQ(uniqueFileURL(dir.path(), "Dropped QRCode.pdf"), dir / "Dropped QRCode-3.pdf");

    testsupport::writeTextFile(dir / "README", "x");
    EXPECT_EQ(uniqueFileURL(dir.path(), "README"), dir / "README-2");
    std::filesystem::create_directory(dir / "a.tar.gz");
    EXPECT_EQ(uniqueFileURL(dir.path(), "a.tar.gz"), dir / "a.tar-2.gz");
    std::filesystem::create_symlink(dir / "nowhere", dir / "link.png");
    EXPECT_EQ(uniqueFileURL(dir.path(), "link.png"), dir / "link-2.png");
}

TEST(ZelDebounce, BurstRunsOnlyTheLastBlockOneIntervalAfterIt) {
    foundation::ManualExecutor executor;
    ZelDebounce debounce(executor, 0.1);
    std::vector<std::pair<int, double>> runs;
    for (int i = 1; i <= 3; ++i) {
        debounce.debounce([&, i] { runs.emplace_back(i, executor.now()); });
        executor.advance(0.05);
    }
    EXPECT_TRUE(runs.empty());
    executor.advance(0.04);
    EXPECT_TRUE(runs.empty());
    executor.advance(0.02);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].first, 3);
    EXPECT_NEAR(runs[0].second, 0.2, 1e-9); // third call at 0.1, plus 0.1
    executor.advance(1.0);
    EXPECT_EQ(runs.size(), 1u);
}

TEST(ZelDebounce, SingleCallRunsOnceAndSurvivesTheDebouncer) {
    foundation::ManualExecutor executor;
    int count = 0;
    {
        ZelDebounce debounce(executor, 0.1);
        debounce.debounce([&] { ++count; });
    }
    executor.advance(0.099);
    EXPECT_EQ(count, 0);
    executor.advance(0.002);
    EXPECT_EQ(count, 1);
    executor.advance(1.0);
    EXPECT_EQ(count, 1);
}

TEST(Clamp, AllRangeForms) {
    EXPECT_EQ(clamped(15, HalfOpenRange<int>{0, 10}), 9);
    EXPECT_EQ(clamped(15.0, HalfOpenRange<double>{0.0, 10.0}), std::nextafter(10.0, 0.0));
    EXPECT_LT(clamped(15.0, HalfOpenRange<double>{0.0, 10.0}), 10.0);
    EXPECT_EQ(clamped(-3, ClosedRange<int>{0, 10}), 0);
    EXPECT_EQ(clamped(15, ClosedRange<int>{0, 10}), 10);
    EXPECT_EQ(clamped(15, PartialRangeUpTo<int>{10}), 9);
    EXPECT_EQ(clamped(15, PartialRangeThrough<int>{10}), 10);
    EXPECT_EQ(clamped(-15, PartialRangeFrom<int>{-2}), -2);
    EXPECT_EQ(clamped(1.5f, PartialRangeUpTo<float>{1.0f}), std::nextafter(1.0f, 0.0f));
    EXPECT_THROW(clamped(0, PartialRangeUpTo<int>{INT32_MIN}), std::invalid_argument);
    double v = 1.7;
    clamp(v, ClosedRange<double>{0.0, 1.0});
    EXPECT_EQ(v, 1.0);
    EXPECT_EQ(clampedToUnit(-0.5), 0.0);
    EXPECT_EQ(clampedToUnit(0.25), 0.25);
    double u = 2.0;
    clampToUnit(u);
    EXPECT_EQ(u, 1.0);
}
