#include "app/core/ColorText.h"
#include "app/core/Presets.h"
#include "app/core/SettingsKeys.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <limits>

using namespace Tessivo;

namespace {

const QRPreset& builtIn(const std::string& name) {
    for (const auto& p : builtInPresets())
        if (p.name == name) return p;
    throw std::runtime_error("no preset " + name);
}

platform::PropertyListArray storedEntries() {
    auto value = Keys::userPresets().suite()->objectForKey(PresetStore::keyName);
    return value && value->asArray() ? *value->asArray() : platform::PropertyListArray{};
}

class PresetKeys : public ::testing::Test {
protected:
    void SetUp() override {
        for (const auto* key : Keys::all()) key->reset();
    }
    void TearDown() override { SetUp(); }
};

} // namespace

TEST(PresetJSON, WritesSortedCompactKeysAndRoundTrips) {
    QRPreset p = builtIn("Sunset");
    p.name = "Ünïcode & \"quotes\"";
    p.backgroundPadding = 0.1f;
    const std::string text = presetJSONText(p);
    const std::string id = p.id.uuidString();
    EXPECT_EQ(text, "{\"backgroundColor\":{\"hex\":\"#FFF4E8\"},\"backgroundPadding\":0.10000000149011612,"
                    "\"backgroundRadius\":12.0,\"errorCorrection\":3,\"eyeShapeIdx\":6,"
                    "\"fgEyeColor\":{\"hex\":\"#D9480F\"},\"fgPixelColor\":{\"hex\":\"#D9480F\"},"
                    "\"fgPupilColor\":{\"hex\":\"#D9480F\"},\"fgUnifiedColor\":{\"hex\":\"#D9480F\"},"
                    "\"id\":\"" +
                        id +
                        "\",\"name\":\"Ünïcode & \\\"quotes\\\"\",\"pixelShapeIdx\":8,"
                        "\"pupilShapeIdx\":6,\"unifiedColor\":true}");
    EXPECT_EQ(id.size(), 36u);
    const auto back = decodePreset(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, p);

    // Another writer's form: integers as whole floats, lower-case UUID,
    // extra keys. It still decodes.
    nlohmann::json foreign = nlohmann::json::parse(text);
    foreign["errorCorrection"] = 1.0;
    foreign["backgroundRadius"] = 4;
    foreign["id"] = "0f8fad5b-d9cb-469f-a165-70867728950e";
    foreign["future"] = {1, 2};
    const auto other = decodePreset(foreign.dump());
    ASSERT_TRUE(other);
    EXPECT_EQ(other->errorCorrection, 1);
    EXPECT_EQ(other->backgroundRadius, 4.0f);
    EXPECT_EQ(other->id.uuidString(), "0F8FAD5B-D9CB-469F-A165-70867728950E");

    // Equal settings with another id are another preset; deleting and
    // comparing go by id, so no two built-ins share one.
    QRPreset twin = p;
    twin.id = randomUUID();
    EXPECT_NE(twin, p);
    const auto& all = builtInPresets();
    ASSERT_EQ(all.size(), 9u);
    for (std::size_t i = 0; i < all.size(); ++i)
        for (std::size_t j = 0; j < i; ++j) EXPECT_NE(all[i].id, all[j].id);
}

TEST(PresetJSON, RefusesMissingKeysWrongTypesAndBadIds) {
    const nlohmann::json good = nlohmann::json::parse(presetJSONText(builtIn("Classic")));
    for (const auto& [key, value] : good.items()) {
        nlohmann::json missing = good;
        missing.erase(key);
        EXPECT_FALSE(decodePreset(missing.dump())) << "without " << key;
    }
    auto with = [&](const char* key, nlohmann::json v) {
        nlohmann::json j = good;
        j[key] = std::move(v);
        return decodePreset(j.dump());
    };
    EXPECT_FALSE(with("id", "not-a-uuid"));
    EXPECT_FALSE(with("unifiedColor", 1));
    EXPECT_FALSE(with("eyeShapeIdx", "3"));
    EXPECT_FALSE(with("eyeShapeIdx", 2.5));
    EXPECT_FALSE(with("backgroundPadding", "4"));
    // Numbers beyond the float range are no numbers of a preset (they would
    // read as infinity); the largest float is one.
    for (const char* key : {"backgroundPadding", "backgroundRadius"}) {
        EXPECT_FALSE(with(key, 1e39)) << key;
        EXPECT_FALSE(with(key, -1e39)) << key;
        const auto largest = with(key, double(std::numeric_limits<float>::max()));
        ASSERT_TRUE(largest) << key;
        EXPECT_EQ(std::string(key) == "backgroundPadding" ? largest->backgroundPadding : largest->backgroundRadius,
                  std::numeric_limits<float>::max());
    }
    EXPECT_FALSE(with("fgEyeColor", "#000000"));
    EXPECT_FALSE(with("fgEyeColor", {{"hex", 0}}));
    EXPECT_FALSE(decodePreset("[]"));
    EXPECT_FALSE(decodePreset("{\"id\":"));
    EXPECT_FALSE(decodePreset(""));

    QRPreset nan = builtIn("Classic");
    nan.backgroundPadding = std::numeric_limits<float>::quiet_NaN();
    EXPECT_THROW(presetJSONText(nan), std::exception);
}

TEST_F(PresetKeys, ApplyingWritesTheTwelveKeysAndNothingElse) {
    Keys::layoutMode().set(0);
    Keys::matchingPupil().set(true);
    Keys::messageType().set(4);
    // Every value distinct from the others and from the defaults.
    QRPreset preset = builtIn("Sunset");
    preset.pupilShapeIdx = 9;
    preset.errorCorrection = 1;
    preset.fgEyeColor = {"#112233"};
    preset.fgPupilColor = {"#445566"};
    preset.fgPixelColor = {"#778899"};
    applyPreset(preset);
    QRPreset back = presetFromSettings(preset.name);
    back.id = preset.id;
    EXPECT_EQ(back, preset);
    EXPECT_EQ(Keys::layoutMode().get(), 0);
    EXPECT_TRUE(Keys::matchingPupil().get());
    EXPECT_EQ(Keys::messageType().get(), 4);

    // A colour text that does not read applies black.
    QRPreset odd = builtIn("Midnight");
    odd.backgroundColor = {"#GGGGGG"};
    applyPreset(odd);
    EXPECT_EQ(colorToHex(Keys::backgroundColor().get()), "#000000");
    EXPECT_EQ(colorToHex(Keys::fgPixelColor().get()), "#F9FAFB");
}

TEST_F(PresetKeys, SavingTrimsTheNameDropsAlphaAndDeletesById) {
    EXPECT_TRUE(userPresetStore().presets().empty());
    Keys::eyeShapeIdx().set(4);
    Keys::backgroundColor().set(Color::sRGB(1, 0, 0, 0.5));
    Keys::backgroundPadding().set(2.5f);
    EXPECT_FALSE(saveCurrentAsPreset(" \t\n"));
    EXPECT_TRUE(storedEntries().empty());
    ASSERT_TRUE(saveCurrentAsPreset("  My  design  \n"));
    ASSERT_TRUE(saveCurrentAsPreset("My  design"));
    auto presets = userPresetStore().presets();
    ASSERT_EQ(presets.size(), 2u);
    EXPECT_EQ(presets[0].name, "My  design");
    EXPECT_EQ(presets[0].eyeShapeIdx, 4);
    EXPECT_EQ(presets[0].backgroundColor.hex, "#FF0000");
    EXPECT_EQ(presets[0].backgroundPadding, 2.5f);
    EXPECT_NE(presets[0].id, presets[1].id);

    Keys::backgroundColor().reset();
    applyPreset(presets[0]);
    EXPECT_EQ(Keys::backgroundColor().get(), Color::sRGB(1, 0, 0, 1));

    deleteUserPreset(presets[0]);
    presets = userPresetStore().presets();
    ASSERT_EQ(presets.size(), 1u);
    EXPECT_EQ(presets[0].name, "My  design");
    deleteUserPreset(presets[0]);
    EXPECT_TRUE(userPresetStore().presets().empty());
    const auto stored = Keys::userPresets().suite()->objectForKey(PresetStore::keyName);
    ASSERT_TRUE(stored && stored->asArray());
    EXPECT_TRUE(stored->asArray()->empty());
}

TEST_F(PresetKeys, EntriesThatDoNotDecodeAreKeptButNotOffered) {
    const std::string first = presetJSONText(builtIn("Leaf"));
    nlohmann::json lacking = nlohmann::json::parse(presetJSONText(builtIn("Rounded")));
    lacking.erase("unifiedColor");
    const std::string second = lacking.dump();
    const std::string third = presetJSONText(builtIn("Midnight"));
    Keys::userPresets().suite()->setObject(
        PresetStore::keyName, platform::PropertyList(platform::PropertyListArray{first, second, 42, third}));

    auto presets = userPresetStore().presets();
    ASSERT_EQ(presets.size(), 2u);
    EXPECT_EQ(presets[0].name, "Leaf");
    EXPECT_EQ(presets[1].name, "Midnight");

    ASSERT_TRUE(saveCurrentAsPreset("New"));
    deleteUserPreset(presets[0]);
    const auto entries = storedEntries();
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(*entries[0].asString(), second);
    EXPECT_EQ(entries[1], platform::PropertyList(std::int64_t(42)));
    EXPECT_EQ(*entries[2].asString(), third);
    EXPECT_EQ(decodePreset(*entries[3].asString())->name, "New");
}

TEST(PresetJSON, HostileTextsAreRefusedQuietlyAndDeepExtrasIgnored) {
    const std::string deep = std::string(100000, '[') + std::string(100000, ']');
    for (const std::string& text : {std::string(), std::string("x"), std::string("{}"), deep,
                                    "{\"id\":" + deep + "}", std::string(300, '{'), std::string(300, ' '),
                                    "\"" + std::string(400, 'a') + "\"", std::string("{\"name\":\"\xff\xfe\"}")})
        EXPECT_FALSE(decodePreset(text)) << text.substr(0, 40);

    // Keys beyond the fourteen are ignored however deeply they nest.
    nlohmann::json withExtra = nlohmann::json::parse(presetJSONText(builtIn("Leaf")));
    std::string text = withExtra.dump();
    text.insert(1, "\"extra\":" + deep + ",");
    const auto decoded = decodePreset(text);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(*decoded, builtIn("Leaf"));
}

TEST_F(PresetKeys, AHugeStoredArrayOffersItsNewestPresetsAndIsKeptByteForByte) {
    // 200,000 entries that are no presets around 150 that are.
    platform::PropertyListArray entries;
    for (int i = 0; i < 200000; ++i) {
        if (i % 1000 == 999) {
            QRPreset p = builtIn("Sunset");
            p.id = randomUUID();
            p.name = "Mine " + std::to_string(i / 1000);
            entries.emplace_back(presetJSONText(p));
        } else if (i % 7 == 0) {
            entries.emplace_back(std::int64_t(i));
        } else {
            entries.emplace_back("x" + std::to_string(i));
        }
    }
    entries.emplace_back(std::string(300, '['));
    const platform::PropertyList stored(entries);
    Keys::userPresets().suite()->setObject(PresetStore::keyName, stored);

    const auto newest = userPresetStore().presets(presetsMenuLimit);
    ASSERT_EQ(newest.size(), presetsMenuLimit);
    EXPECT_EQ(newest.front().name, "Mine 100");
    EXPECT_EQ(newest.back().name, "Mine 199");
    EXPECT_EQ(userPresetStore().presets().size(), 200u);
    EXPECT_EQ(Keys::userPresets().suite()->objectForKey(PresetStore::keyName), stored);

    // Deleting one keeps every other entry exactly as it was.
    deleteUserPreset(newest.front());
    const auto after = storedEntries();
    ASSERT_EQ(after.size(), entries.size() - 1);
    auto expected = entries;
    expected.erase(expected.begin() + 100 * 1000 + 999);
    EXPECT_TRUE(after == expected);
}
