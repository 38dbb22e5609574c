#include "app/core/ColorText.h"
#include "app/core/SettingsKeys.h"

#include <gtest/gtest.h>

using namespace Tessivo;

namespace {
const Color white = Color::sRGB(1, 1, 1);
const Color black = Color::sRGB(0, 0, 0);

struct AppSettingsKeys : ::testing::Test {
    void SetUp() override {
        for (const auto* key : Keys::all()) key->reset();
    }
};
} // namespace

// What "Reset to defaults" does and what the window shows after it are
// checked in the window's tests; here the values themselves.
TEST_F(AppSettingsKeys, FreshStoreReadsEveryDefaultAndStoresNothing) {
    ASSERT_EQ(Keys::all().size(), 24u);
    for (const auto* key : {&Keys::eyeShapeIdx(), &Keys::pupilShapeIdx(), &Keys::pixelShapeIdx(), &Keys::messageType()})
        EXPECT_EQ(key->get(), 0) << key->name();
    EXPECT_EQ(Keys::errorCorrection().get(), 3);
    EXPECT_EQ(Keys::layoutMode().get(), 1);
    EXPECT_EQ(Keys::backgroundColor().get(), white);
    for (const auto* key : {&Keys::fgEyeColor(), &Keys::fgPupilColor(), &Keys::fgPixelColor(), &Keys::fgUnifiedColor()})
        EXPECT_EQ(key->get(), black) << key->name();
    EXPECT_EQ(Keys::backgroundPadding().get(), 0.0f);
    EXPECT_EQ(Keys::backgroundRadius().get(), 0.0f);
    for (const auto* key :
         {&Keys::showHints(), &Keys::expandedEyeShape(), &Keys::expandedPupilShape(), &Keys::expandedPixelShape(),
          &Keys::expandedBackground(), &Keys::expandedLogo(), &Keys::expandedAdvanced(), &Keys::matchingPupil(),
          &Keys::unifiedColor(), &Keys::useHexColorInput()})
        EXPECT_FALSE(key->get()) << key->name();
    EXPECT_TRUE(Keys::userPresets().get().empty());

    // Registration writes nothing persistent: the names hold no stored value.
    const auto persistent = platform::UserDefaults::standard()->persistentDomain();
    for (const auto* key : Keys::all()) EXPECT_FALSE(persistent.contains(key->name())) << key->name();
}

TEST_F(AppSettingsKeys, ColoursKeepTheirOpacityAndValuesOfTheWrongKindReadAsTheDefault) {
    Keys::fgPixelColor().set(Color::sRGB(0.2, 0.4, 0.6, 0.5));
    EXPECT_EQ(Keys::fgPixelColor().get(), Color::sRGB(0.2, 0.4, 0.6, 0.5));
    // The presets are stored as an array of texts.
    Keys::userPresets().set({R"({"name":"A"})", R"({"name":"B"})"});
    auto stored = platform::UserDefaults::standard()->objectForKey("user presets");
    ASSERT_TRUE(stored && stored->asArray());
    EXPECT_EQ(*(*stored->asArray())[1].asString(), R"({"name":"B"})");

    auto& suite = *platform::UserDefaults::standard();
    suite.setObject("eye shape idx", platform::PropertyList(std::string("seven")));
    suite.setObject("background color", platform::PropertyList(std::int64_t(5)));
    suite.setObject("layout mode", platform::PropertyList(std::int64_t(1) << 40));
    EXPECT_EQ(Keys::eyeShapeIdx().get(), 0);
    EXPECT_EQ(Keys::backgroundColor().get(), white);
    EXPECT_EQ(Keys::layoutMode().get(), 1);
}
