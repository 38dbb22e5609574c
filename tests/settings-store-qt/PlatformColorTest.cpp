// The platform colour as a settings value: stored through the secure-coding
// bridge as the store's colour archive, read back from the suite's file, and
// checked by an independent property-list reader.
#include "settings-store/qt/PlatformColor.h"

#include "archive/ArchiveTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <functional>
#include <limits>

using namespace Defaults;
using platform::PropertyList;
using platform::UserDefaults;

static_assert(std::is_same_v<Serializable<QColor>::Bridge, NSSecureCodingBridge<QColor>>);
static_assert(!isNativelySupportedType<QColor> && !isNativelySupportedType<std::optional<QColor>>);

namespace {

// An archivable class that is no colour.
struct Label {
    std::string text;
};

} // namespace

template <> struct archive::Archivable<Label> {
    static constexpr std::string_view className = "Label";
    static void encode(const Label& label, KeyedEncoder& coder) { coder.encodeString("text", label.text); }
    static Label decode(const KeyedDecoder& coder) { return Label{coder.decodeString("text").value_or("")}; }
};

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::string captured(const std::function<void()>& run) {
    testing::internal::CaptureStdout();
    run();
    return testing::internal::GetCapturedStdout();
}

long lines(const std::string& text) { return std::count(text.begin(), text.end(), '\n'); }

PropertyList archived(const Color& color) { return PropertyList(platform::Data(archive::archivedData(color))); }

// The colour an archive holds, as Python's plistlib reads it: the root's
// class, its space name ("" when it has none) and its components decoded
// from the big-endian reals.
struct PythonColour {
    std::string className;
    std::string space;
    std::vector<double> components;
};

PythonColour pythonColour(const std::vector<std::uint8_t>& bytes) {
    const auto dump = archivetest::pythonDump(bytes);
    PythonColour colour;
    if (!dump.is_object() || dump["$archiver"] != "NSKeyedArchiver") return colour;
    const auto& objects = dump["$objects"];
    const auto& root = objects[dump["$top"]["root"]["UID"].get<std::size_t>()];
    colour.className = objects[root["$class"]["UID"].get<std::size_t>()]["$classname"];
    if (root.contains("colorSpaceName")) colour.space = objects[root["colorSpaceName"]["UID"].get<std::size_t>()];
    const std::string hex = root["components"]["data"];
    for (std::size_t at = 0; at + 16 <= hex.size(); at += 16)
        colour.components.push_back(std::bit_cast<double>(std::uint64_t(std::stoull(hex.substr(at, 16), nullptr, 16))));
    return colour;
}

} // namespace

TEST(PlatformColor, RoundTripsThroughTheSettingsFileAsAColourArchive) {
    struct Case {
        const char* name;
        QColor color;
        QColor readBack;
        std::string space;
        std::vector<double> components;
    };
    const QColor translucent = QColor::fromRgbF(0.2f, 0.4f, 0.6f, 0.5f);
    const QColor grey(128, 128, 128);
    const QColor extended = QColor::fromRgbF(1.5f, -0.25f, 0.5f, 1.0f);
    ASSERT_EQ(extended.spec(), QColor::ExtendedRgb);
    const QColor cmyk = QColor::fromCmykF(0.1f, 0.2f, 0.3f, 0.4f, 0.75f);
    const QColor hsv = QColor::fromHsvF(0.5f, 1.0f, 1.0f);
    const std::vector<Case> cases = {
        {"sRGB with alpha",
         translucent,
         translucent,
         "kCGColorSpaceSRGB",
         {translucent.redF(), translucent.greenF(), translucent.blueF(), translucent.alphaF()}},
        {"8-bit sRGB",
         QColor(10, 20, 30, 40),
         QColor(10, 20, 30, 40),
         "kCGColorSpaceSRGB",
         {10 / 255.0, 20 / 255.0, 30 / 255.0, 40 / 255.0}},
        {"grey", grey, grey, "kCGColorSpaceSRGB", {128 / 255.0, 128 / 255.0, 128 / 255.0, 1}},
        {"extended range", extended, extended, "kCGColorSpaceExtendedSRGB", {1.5, -0.25, 0.5, 1}},
        {"CMYK",
         cmyk,
         cmyk,
         "kCGColorSpaceGenericCMYK",
         {cmyk.cyanF(), cmyk.magentaF(), cmyk.yellowF(), cmyk.blackF(), cmyk.alphaF()}},
        {"HSV as its sRGB colour", hsv, hsv.toRgb(), "kCGColorSpaceSRGB", {0, 1, 1, 1}},
    };

    testsupport::TempDir dir;
    auto suite = UserDefaults::open("platform-colour", dir.path());
    Key<QColor> key("colour", QColor(Qt::black), suite);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        key.set(c.color);
        ASSERT_TRUE(suite->synchronize().ok());
        // A second instance reads the suite's file.
        auto again = UserDefaults::open("platform-colour", dir.path());
        EXPECT_EQ(Key<QColor>("colour", QColor(Qt::black), again).get(), c.readBack);
        const auto stored = again->objectForKey("colour");
        ASSERT_TRUE(stored && stored->asData()) << (stored ? stored->debugDescription() : "nothing");

        const PythonColour python = pythonColour(stored->asData()->bytes);
        EXPECT_EQ(python.className, "NSColor");
        EXPECT_EQ(python.space, c.space);
        ASSERT_EQ(python.components.size(), c.components.size());
        for (std::size_t i = 0; i < c.components.size(); ++i)
            EXPECT_NEAR(python.components[i], c.components[i], 1e-6) << "component " << i;
        // The store's own colour reads the same archive.
        EXPECT_EQ(fromSerializable<Color>(*stored), Color::make(c.space, python.components));
    }
}

TEST(PlatformColor, AnInvalidColourIsRefusedAndRemovesTheStoredValue) {
    EXPECT_FALSE(NSSecureCodingBridge<QColor>().serialize(QColor()));
    EXPECT_FALSE(toSerializable(QColor()));
    EXPECT_FALSE(toSerializable(QColor::fromRgbF(std::numeric_limits<float>::infinity(), 0, 0)));

    testsupport::TempDir dir;
    auto suite = UserDefaults::open("platform-colour", dir.path());
    Key<QColor> key("colour", QColor(Qt::white), suite);
    key.set(QColor(Qt::red));
    EXPECT_EQ(key.get(), QColor(Qt::red));
    key.set(QColor());
    EXPECT_EQ(suite->persistentDomain().count("colour"), 0u);
    EXPECT_EQ(key.get(), QColor(Qt::white));
}

TEST(PlatformColor, ReadsColourArchivesOfEverySpaceKind) {
    struct Case {
        const char* name;
        PropertyList archive;
        QColor expected;
    };
    const double linearHalf = std::pow((0.5 + 0.055) / 1.055, 2.4); // 0.5 through the sRGB curve
    const std::vector<Case> cases = {
        {"grey", archived(Color::gray(0.5, 0.25)), QColor::fromRgbF(0.5f, 0.5f, 0.5f, 0.25f)},
        {"generic grey", archived(*Color::make("kCGColorSpaceGenericGray", {0.2, 1})),
         QColor::fromRgbF(0.2f, 0.2f, 0.2f)},
        {"linear sRGB through the curve", archived(*Color::make("kCGColorSpaceLinearSRGB", {linearHalf, 0, 1, 1})),
         QColor::fromRgbF(0.5f, 0, 1)},
        {"linear grey", archived(*Color::make("kCGColorSpaceLinearGray", {linearHalf, 0.5})),
         QColor::fromRgbF(0.5f, 0.5f, 0.5f, 0.5f)},
        {"display P3 taken as sRGB", archived(*Color::make("kCGColorSpaceDisplayP3", {1, 0.5, 0, 1})),
         QColor::fromRgbF(1, 0.5f, 0)},
        {"unnamed RGB", archived(Color{"", {0.25, 0.5, 0.75, 1}}), QColor::fromRgbF(0.25f, 0.5f, 0.75f)},
        {"unnamed grey", archived(Color{"", {0.75, 0.5}}), QColor::fromRgbF(0.75f, 0.75f, 0.75f, 0.5f)},
        {"unnamed CMYK", archived(Color{"", {0, 1, 0, 0, 1}}), QColor::fromCmykF(0, 1, 0, 0)},
        // Written by another archiver.
        {"another archiver's unnamed colour", PropertyList(platform::Data(archivetest::pythonSample("colour"))),
         QColor::fromRgbF(0.25f, 0.5f, 0.75f)},
        {"another archiver's grey", PropertyList(platform::Data(archivetest::pythonSample("named-colour"))),
         QColor::fromRgbF(0.5f, 0.5f, 0.5f)},
    };
    for (const auto& c : cases) {
        std::optional<QColor> read;
        EXPECT_EQ(captured([&] { read = fromSerializable<QColor>(c.archive); }), "") << c.name;
        ASSERT_TRUE(read) << c.name;
        EXPECT_EQ(read->rgba64(), c.expected.rgba64()) << c.name;
    }
}

TEST(PlatformColor, AnotherClassOrABadColourReadsAsTheDefaultWithOneLine) {
    testsupport::TempDir dir;
    auto suite = UserDefaults::open("platform-colour", dir.path());
    Key<QColor> key("colour", QColor(Qt::blue), suite);
    const std::vector<std::pair<const char*, PropertyList>> stored = {
        {"another class", PropertyList(platform::Data(archive::archivedData(Label{"not a colour"})))},
        {"garbage", PropertyList(platform::Data({1, 2, 3}))},
        {"alpha above one", archived(Color::sRGB(1, 0, 0, 2))},
        {"negative alpha", archived(Color::gray(0.5, -0.5))},
        {"a component that is no number", archived(Color{"", {kNaN, 0, 0, 1}})},
        {"an infinite component", archived(Color{"", {std::numeric_limits<double>::infinity(), 0, 0, 1}})},
        {"beyond half precision", archived(Color{"kCGColorSpaceExtendedSRGB", {1e6, 0, 0, 1}})},
        {"CMYK out of range", archived(*Color::make("kCGColorSpaceGenericCMYK", {1.5, 0, 0, 0, 1}))},
        {"an unnamed colour of seven components", archived(Color{"", std::vector<double>(7, 0.5)})},
    };
    for (const auto& [what, object] : stored) {
        suite->setObject("colour", object);
        QColor read;
        const auto out = captured([&] { read = key.get(); });
        EXPECT_EQ(read, QColor(Qt::blue)) << what;
        EXPECT_EQ(lines(out), 1) << what << ": " << out;
    }
}
