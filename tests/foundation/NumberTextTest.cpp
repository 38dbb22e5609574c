#include "platform/foundation/NumberParse.h"
#include "platform/foundation/NumberText.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

using namespace foundation;

namespace {

// Switches the process to a locale with "," as decimal separator while
// alive: an installed one, or else one compiled into a scratch folder with
// localedef when the locale sources are present.
class CommaLocale {
public:
    CommaLocale() {
        previous_ = std::setlocale(LC_ALL, nullptr);
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"}) {
            if (std::setlocale(LC_ALL, name)) {
                active_ = true;
                return;
            }
        }
        scratch_ = std::make_unique<testsupport::TempDir>();
        const std::string target = (scratch_->path() / "de_DE.UTF-8").string();
        testsupport::runCommand("localedef -i de_DE -f UTF-8 '" + target + "' >/dev/null 2>&1");
        ::setenv("LOCPATH", scratch_->path().c_str(), 1);
        active_ = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    }
    ~CommaLocale() {
        std::setlocale(LC_ALL, previous_.c_str());
        if (scratch_) ::unsetenv("LOCPATH");
    }
    bool active() const { return active_; }

private:
    std::string previous_;
    std::unique_ptr<testsupport::TempDir> scratch_;
    bool active_ = false;
};

void expectNumberTexts() {
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    using Row = std::pair<double, const char*>;
    for (const auto& [value, text] :
         {Row{1.0, "1.0"}, Row{0.5, "0.5"}, Row{1.0 / 3.0, "0.3333333333333333"}, Row{1e-05, "1e-05"}, Row{0.1, "0.1"},
          Row{-2.0, "-2.0"}, Row{100000.0, "100000.0"}, Row{0.0001, "0.0001"}, Row{1e16, "1e+16"},
          Row{1.5e300, "1.5e+300"}, Row{-0.0, "-0.0"}, Row{nan, "nan"}, Row{-inf, "-inf"}}) {
        EXPECT_EQ(shortestNumberText(value), text) << value;
    }
    for (const auto& [value, text] :
         {Row{1.0, "1"}, Row{0.375, "0.375"}, Row{0.3754, "0.375"}, Row{2.5, "2.5"}, Row{1234567.0, "1234567"},
          Row{-0.0, "0"}, Row{-0.0001, "0"}, Row{-12.25, "-12.25"}, Row{0.9999, "1"}, Row{inf, "0"}}) {
        EXPECT_EQ(svgNumberText(value), text) << value;
    }
    for (const auto& [value, text] :
         {Row{0.33333, "0.3333"}, Row{0.5, "0.5"}, Row{1.0, "1"}, Row{0.12345678, "0.1235"}}) {
        EXPECT_EQ(gradientComponentText(value), text) << value;
    }
}

void expectParsing() {
    EXPECT_EQ(parseDouble("1.5"), 1.5);
    EXPECT_EQ(parseDouble("-2e3"), -2000.0);
    EXPECT_EQ(parseDouble("+.5"), 0.5);
    EXPECT_EQ(parseDouble("0x1p3"), 8.0);
    EXPECT_EQ(parseDouble("inf"), std::numeric_limits<double>::infinity());
    EXPECT_TRUE(std::isnan(*parseDouble("nan")));
    for (const char* bad : {"", " 1.5", "1.5 ", "\t1.5", "\n1.5", "1,5", "1.5x", "x", "--1", "."}) {
        EXPECT_FALSE(parseDouble(bad).has_value()) << '"' << bad << '"';
    }
    EXPECT_FALSE(parseDouble(std::string_view("1.5\0", 4)).has_value());
    EXPECT_FALSE(parseDouble(std::string_view("\0001", 2)).has_value()); // a NUL, then "1"

    EXPECT_EQ(parseInt64("-42"), -42);
    EXPECT_EQ(parseInt64("9223372036854775807"), INT64_MAX);
    for (const char* bad : {"", "9223372036854775808", "1.0", " 1", "1 ", "+1", "0x10"}) {
        EXPECT_FALSE(parseInt64(bad).has_value()) << '"' << bad << '"';
    }
}

} // namespace

TEST(NumberText, WritesShortestSvgAndGradientFormsAndTheShortestReadsBackExactly) {
    expectNumberTexts();
    for (double v : {0.1, 1.0 / 3.0, 2.0 / 3.0, 1e-300, 123456.789, 5e-324, 1.7976931348623157e308}) {
        EXPECT_EQ(parseDouble(shortestNumberText(v)), v) << shortestNumberText(v);
    }
}

TEST(NumberParse, AcceptsOnlyOneWholeCLocaleLiteral) { expectParsing(); }

TEST(NumberText, IgnoresTheProcessLocale) {
    CommaLocale locale;
    if (!locale.active()) GTEST_SKIP() << "no locale with a decimal comma installed";
    ASSERT_EQ(*std::localeconv()->decimal_point, ',');
    expectNumberTexts();
    expectParsing();
}
