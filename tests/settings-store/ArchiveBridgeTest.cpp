// The bridges that store keyed archives: archivable objects, the colour's
// archive form, and which bridge an archivable type receives by default.
#include "settings-store/Defaults.h"

#include "archive/ArchiveTestSupport.h"
#include "platform/foundation/Base64.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

using namespace Defaults;
using platform::PropertyList;
using platform::UserDefaults;

namespace app {

// Archivable only.
struct Badge {
    std::string title;
    friend bool operator==(const Badge&, const Badge&) = default;
};

// Archivable and codable: stored as JSON unless marked.
struct Note {
    std::string text;
    int size = 0;
    friend bool operator==(const Note&, const Note&) = default;
};
void to_json(JSON& j, const Note& n) { j = JSON{{"text", n.text}, {"size", n.size}}; }
void from_json(const JSON& j, Note& n) {
    n.text = decodeJSONField<std::string>(j, "text");
    n.size = decodeJSONField<int>(j, "size");
}

// Archivable, codable and marked to prefer its archive.
struct Stamp {
    std::string text;
    int size = 0;
    friend bool operator==(const Stamp&, const Stamp&) = default;
};
void to_json(JSON& j, const Stamp& n) { j = JSON{{"text", n.text}, {"size", n.size}}; }
void from_json(const JSON& j, Stamp& n) {
    n.text = decodeJSONField<std::string>(j, "text");
    n.size = decodeJSONField<int>(j, "size");
}

// Archivable and raw-representable: two unrelated rules, no default bridge.
enum class Tone { soft, loud };

} // namespace app

// Each archivable class of these tests stores one string and maybe a size.
template <class T> struct TextArchivable {
    static void encode(const T& v, archive::KeyedEncoder& coder) {
        coder.encodeString("text", v.text);
        if constexpr (requires { v.size; }) coder.encodeInt64("size", v.size);
    }
    static T decode(const archive::KeyedDecoder& coder) {
        T v;
        auto text = coder.decodeString("text");
        if (!text) throw archive::ArchiveError::corrupt("The object has no text.");
        v.text = *text;
        if constexpr (requires { v.size; }) v.size = int(coder.decodeInt64("size").value_or(0));
        return v;
    }
};

template <> struct archive::Archivable<app::Note> : TextArchivable<app::Note> {
    static constexpr std::string_view className = "Note";
};
template <> struct archive::Archivable<app::Stamp> : TextArchivable<app::Stamp> {
    static constexpr std::string_view className = "Stamp";
};
template <> struct archive::Archivable<app::Badge> {
    static constexpr std::string_view className = "Badge";
    static void encode(const app::Badge& b, KeyedEncoder& coder) { coder.encodeString("title", b.title); }
    static app::Badge decode(const KeyedDecoder& coder) { return app::Badge{coder.decodeString("title").value_or("")}; }
};
template <> struct archive::Archivable<app::Tone> {
    static constexpr std::string_view className = "Tone";
    static void encode(const app::Tone& t, KeyedEncoder& coder) { coder.encodeBool("loud", t == app::Tone::loud); }
    static app::Tone decode(const KeyedDecoder& coder) {
        return coder.decodeBool("loud").value_or(false) ? app::Tone::loud : app::Tone::soft;
    }
};

namespace Defaults {
template <> struct RawRepresentation<app::Tone> {
    using RawValue = int;
    static int rawValue(app::Tone t) { return int(t); }
    static std::optional<app::Tone> fromRawValue(int v) {
        return v == 0 || v == 1 ? std::optional<app::Tone>(app::Tone(v)) : std::nullopt;
    }
};
template <> inline constexpr bool preferNSSecureCoding<app::Stamp> = true;
template <> struct Serializable<app::Badge> : DefaultSerializable<app::Badge> {};
template <> struct Serializable<app::Note> : DefaultSerializable<app::Note> {};
template <> struct Serializable<app::Stamp> : DefaultSerializable<app::Stamp> {};
template <> struct Serializable<app::Tone> : DefaultSerializable<app::Tone> {};
} // namespace Defaults

// Rules 5 to 7 and their precedence.
static_assert(std::is_same_v<Serializable<app::Badge>::Bridge, NSSecureCodingBridge<app::Badge>>);
static_assert(std::is_same_v<Serializable<app::Note>::Bridge, CodableNSSecureCodingBridge<app::Note>>);
static_assert(std::is_same_v<Serializable<app::Stamp>::Bridge, NSSecureCodingBridge<app::Stamp>>);
static_assert(!DefaultsSerializable<app::Tone>, "archivable and raw-representable: neither rule includes the other");
static_assert(!isNativelySupportedType<app::Badge> && !isNativelySupportedType<std::vector<app::Badge>>);
namespace {
namespace c = Defaults::detail::condition;
// Every marker needs its rule's other conditions; the most specific rule wins.
static_assert(detail::winningDefaultBridgeRule(c::codable | c::rawRepresentable | c::prefersRaw) == 3);
static_assert(detail::winningDefaultBridgeRule(c::secureCoding | c::codable | c::prefersSecureCoding) == 7);
static_assert(detail::winningDefaultBridgeRule(c::secureCoding | c::codable | c::rawRepresentable) == 0);
static_assert(detail::winningDefaultBridgeRule(c::secureCoding | c::collection) == 0);
static_assert(detail::winningDefaultBridgeRule(c::secureCoding) == 5);
static_assert(detail::winningDefaultBridgeRule(0) == 0);

std::string captured(const std::function<void()>& run) {
    testing::internal::CaptureStdout();
    run();
    return testing::internal::GetCapturedStdout();
}

long lines(const std::string& text) { return std::count(text.begin(), text.end(), '\n'); }

const std::vector<std::uint8_t>& bytesOf(const std::optional<PropertyList>& stored) {
    static const std::vector<std::uint8_t> none;
    return stored && stored->asData() ? stored->asData()->bytes : none;
}

// The class name of an archive's root, as Python's plistlib reads it.
std::string pythonRootClass(const std::vector<std::uint8_t>& archive) {
    const auto dump = archivetest::pythonDump(archive);
    if (!dump.is_object() || dump["$archiver"] != "NSKeyedArchiver") return "(no keyed archive)";
    const auto& objects = dump["$objects"];
    const auto& root = objects[dump["$top"]["root"]["UID"].get<std::size_t>()];
    return objects[root["$class"]["UID"].get<std::size_t>()]["$classname"];
}

const Color unnamed{"", {0.25, 0.5, 0.75, 1}};

} // namespace

TEST(NSSecureCodingBridge, StoresAnArchiveThatAnotherReaderReads) {
    const app::Badge badge{"Gold \u2605"};
    const auto stored = toSerializable(badge);
    ASSERT_TRUE(stored && stored->asData()) << (stored ? stored->debugDescription() : "nothing");
    EXPECT_EQ(pythonRootClass(bytesOf(stored)), "Badge");
    EXPECT_EQ(fromSerializable<app::Badge>(*stored), badge);
    // Arrays of them: each element its own archive.
    const std::vector<app::Badge> badges{{"a"}, {"b"}};
    EXPECT_EQ(fromSerializable<std::vector<app::Badge>>(*toSerializable(badges)), badges);

    // Absent in, absent out, both ways.
    EXPECT_FALSE(NSSecureCodingBridge<app::Badge>().serialize(std::nullopt));
    EXPECT_FALSE(NSSecureCodingBridge<app::Badge>().deserialize(std::nullopt));
}

TEST(NSSecureCodingBridge, WrongClassOrGarbagePrintsOneLineAndGivesNothing) {
    const auto note = toSerializable(app::Stamp{"not a badge", 1});
    ASSERT_TRUE(note && note->asData());
    for (const auto& [what, object] : std::vector<std::pair<std::string, PropertyList>>{
             {"another class", *note},
             {"random bytes", PropertyList(platform::Data({1, 2, 3}))},
             {"a truncated archive",
              PropertyList(platform::Data(std::vector<std::uint8_t>(bytesOf(note).begin(), bytesOf(note).end() - 1)))},
             {"a colour archive", *toSerializable(unnamed)}}) {
        std::optional<app::Badge> read;
        const auto out = captured([&] { read = fromSerializable<app::Badge>(object); });
        EXPECT_FALSE(read) << what;
        EXPECT_EQ(lines(out), 1) << what << ": " << out;
    }
    // An archive of the absent object is no error.
    auto nullRoot = archive::writeBinaryPropertyList(archive::PlistObject(archive::PlistDictionary{
        {"$archiver", archive::PlistObject("NSKeyedArchiver")},
        {"$top", archive::PlistObject(archive::PlistDictionary{{"root", archive::PlistObject(archive::UID{0})}})},
        {"$objects", archive::PlistObject(archive::PlistArray{archive::PlistObject("$null")})},
    }));
    std::optional<app::Badge> read;
    EXPECT_EQ(captured([&] { read = fromSerializable<app::Badge>(PropertyList(platform::Data(nullRoot))); }), "");
    EXPECT_FALSE(read);
    // Data of another kind than raw data is no archive at all: silently nothing.
    EXPECT_EQ(captured([&] { read = fromSerializable<app::Badge>(PropertyList("text")); }), "");
    EXPECT_FALSE(read);
}

TEST(CodableNSSecureCodingBridge, StoresJSONTextLikeTheCodableBridge) {
    const app::Note note{"hello", 3};
    EXPECT_EQ(toSerializable(note), PropertyList(R"({"size":3,"text":"hello"})"));
    EXPECT_EQ(toSerializable(note), PropertyList(*TopLevelCodableBridge<app::Note>().serialize(note)));
    EXPECT_EQ(fromSerializable<app::Note>(*toSerializable(note)), note);
    std::optional<app::Note> read;
    EXPECT_EQ(captured([&] { read = fromSerializable<app::Note>(PropertyList("{broken")); }), "");
    EXPECT_FALSE(read);
    // Marked to prefer its archive, the same kind of type is archived.
    const auto stamp = toSerializable(app::Stamp{"hello", 3});
    ASSERT_TRUE(stamp && stamp->asData());
    EXPECT_EQ(pythonRootClass(bytesOf(stamp)), "Stamp");
    EXPECT_EQ(fromSerializable<app::Stamp>(*stamp), (app::Stamp{"hello", 3}));
}

TEST(ColorBridge, AColourWithoutANamedSpaceIsStoredAsAnArchive) {
    const auto stored = toSerializable(unnamed);
    ASSERT_TRUE(stored && stored->asData()) << (stored ? stored->debugDescription() : "nothing");
    EXPECT_EQ(pythonRootClass(bytesOf(stored)), "NSColor");
    EXPECT_EQ(fromSerializable<Color>(*stored), unnamed);
    // Named colours keep the pair form.
    EXPECT_TRUE(toSerializable(Color::sRGB(1, 0, 0))->asArray());

    // Archives another archiver wrote, with and without a space name.
    EXPECT_EQ(fromSerializable<Color>(PropertyList(platform::Data(archivetest::pythonSample("colour")))), unnamed);
    EXPECT_EQ(fromSerializable<Color>(PropertyList(platform::Data(archivetest::pythonSample("named-colour")))),
              Color::gray(0.5, 1));

    // Colours no archive can hold are not stored.
    EXPECT_FALSE(toSerializable(Color{"", {}}));
    EXPECT_FALSE(toSerializable(Color{"", std::vector<double>(17, 0.5)}));
    EXPECT_FALSE(toSerializable(Color{"Nowhere", {1, 1}}));
    EXPECT_FALSE(toSerializable(Color{"kCGColorSpaceSRGB", {1, 1}}));

    // An archive of another class prints once and gives nothing.
    std::optional<Color> read;
    const auto out = captured([&] { read = fromSerializable<Color>(*toSerializable(app::Badge{"x"})); });
    EXPECT_FALSE(read);
    EXPECT_EQ(lines(out), 1) << out;
}

TEST(ColorBridge, ArchivedColoursWithBadFieldsAreRefused) {
    auto colourArchive = [](std::optional<std::string> name, archive::PlistBytes components) {
        archive::PlistDictionary fields{{"$class", archive::PlistObject(archive::UID{2})},
                                        {"components", archive::PlistObject(std::move(components))}};
        archive::PlistArray objects{archive::PlistObject("$null"), archive::PlistObject(),
                                    archive::PlistObject(archive::PlistDictionary{
                                        {"$classname", archive::PlistObject("NSColor")},
                                        {"$classes", archive::PlistObject(archive::PlistArray{
                                                         archive::PlistObject("NSColor"), archive::PlistObject("NSObject")})}})};
        if (name) {
            fields.emplace("colorSpaceName", archive::PlistObject(archive::UID{3}));
            objects.emplace_back(*name);
        }
        objects[1] = archive::PlistObject(std::move(fields));
        return PropertyList(platform::Data(archive::writeBinaryPropertyList(archive::PlistObject(archive::PlistDictionary{
            {"$archiver", archive::PlistObject("NSKeyedArchiver")},
            {"$top", archive::PlistObject(archive::PlistDictionary{{"root", archive::PlistObject(archive::UID{1})}})},
            {"$objects", archive::PlistObject(std::move(objects))},
        }))));
    };
    const archive::PlistBytes half{0x3F, 0xE0, 0, 0, 0, 0, 0, 0}; // 0.5
    archive::PlistBytes two = half;
    two.insert(two.end(), half.begin(), half.end());
    archive::PlistBytes nanAndHalf{0x7F, 0xF8, 0, 0, 0, 0, 0, 0};
    nanAndHalf.insert(nanAndHalf.end(), half.begin(), half.end());
    archive::PlistBytes infinityAndHalf{0x7F, 0xF0, 0, 0, 0, 0, 0, 0};
    infinityAndHalf.insert(infinityAndHalf.end(), half.begin(), half.end());
    EXPECT_EQ(fromSerializable<Color>(colourArchive("kCGColorSpaceExtendedGray", two)), Color::gray(0.5, 0.5));
    for (const auto& [what, object] : std::vector<std::pair<std::string, PropertyList>>{
             {"no components", colourArchive(std::nullopt, {})},
             {"a partial component", colourArchive(std::nullopt, {0x3F, 0xE0})},
             {"seventeen components", colourArchive(std::nullopt, archive::PlistBytes(17 * 8, 0))},
             {"an unknown space", colourArchive("Nowhere", two)},
             {"too few components for sRGB", colourArchive("kCGColorSpaceSRGB", two)},
             {"a NaN component", colourArchive(std::nullopt, nanAndHalf)},
             {"a named colour with a NaN component", colourArchive("kCGColorSpaceExtendedGray", nanAndHalf)},
             {"an infinite component", colourArchive(std::nullopt, infinityAndHalf)},
             {"too many components for grey", colourArchive("kCGColorSpaceExtendedGray", [&] {
                  archive::PlistBytes three = two;
                  three.insert(three.end(), half.begin(), half.end());
                  return three;
              }())}}) {
        std::optional<Color> read;
        const auto out = captured([&] { read = fromSerializable<Color>(object); });
        EXPECT_FALSE(read) << what;
        EXPECT_EQ(lines(out), 1) << what << ": " << out;
    }
}

// A settings file whose stored colour is a property list of 3,000 arrays
// laid over one another (2.5 GB of elements when read element by element):
// the colour reads as the key's default with one line saying why, and the
// read costs next to nothing.
TEST(ColorBridge, AStoredArchiveOfContainersLaidOverOneAnotherReadsAsTheDefaultWithOneLine) {
    testsupport::TempDir dir;
    const auto plist = archivetest::overlappingArrays(3000, 50000, false);
    testsupport::writeTextFile(dir / "overlapping.json",
                               R"({"background color": {"$data": ")" + foundation::base64Encode(plist) + R"("}})");
    auto suite = UserDefaults::open("overlapping", dir.path());
    const Color white = Color::sRGB(1, 1, 1);
    const Key<Color> background("background color", white, suite);
    ASSERT_TRUE(suite->objectForKey("background color") && suite->objectForKey("background color")->asData());
    const std::size_t before = testsupport::peakResidentBytes();
    Color read;
    const auto out = captured([&] { read = background.get(); });
    EXPECT_EQ(read, white);
    EXPECT_EQ(lines(out), 1) << out;
    EXPECT_NE(out.find("containers"), std::string::npos) << out;
    EXPECT_LT(testsupport::peakResidentBytes() - before, std::size_t(64) << 20);
}

TEST(ArchiveBridges, RoundTripThroughTheUserDefaultsFiles) {
    testsupport::TempDir dir;
    const char* previous = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = previous ? previous : "";
    ::setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1);
    {
        auto suite = UserDefaults::suite("archive-bridges");
        ASSERT_TRUE(suite);
        Key<Color> colour("colour", Color::sRGB(0, 0, 0), suite);
        Key<std::optional<app::Badge>> badge("badge", suite);
        Key<std::vector<app::Stamp>> stamps("stamps", {}, suite);
        Key<std::optional<app::Note>> note("note", suite);
        colour.set(unnamed);
        badge.set(app::Badge{"Gold"});
        stamps.set({{"one", 1}, {"two", 2}});
        note.set(app::Note{"n", 4});
        ASSERT_TRUE(suite->synchronize().ok());

        // The suite's file keeps the archives as data; another instance reads them.
        const auto file = dir.path() / "tessivo" / "archive-bridges.json";
        const auto text = testsupport::readTextFile(file);
        EXPECT_NE(text.find("\"$data\": \"YnBsaXN0MD"), std::string::npos) << "base64 of bplist00: " << text;
        auto again = UserDefaults::open("archive-bridges", dir.path() / "tessivo");
        EXPECT_EQ(Key<Color>("colour", Color::sRGB(0, 0, 0), again).get(), unnamed);
        EXPECT_EQ(Key<std::optional<app::Badge>>("badge", again).get(), app::Badge{"Gold"});
        EXPECT_EQ(Key<std::vector<app::Stamp>>("stamps", {}, again).get(),
                  (std::vector<app::Stamp>{{"one", 1}, {"two", 2}}));
        EXPECT_EQ(Key<std::optional<app::Note>>("note", again).get(), (app::Note{"n", 4}));

        // Data of another class under a key reads as its default and prints one line.
        suite->setObject("badge", *toSerializable(app::Stamp{"imposter", 0}));
        std::optional<app::Badge> read{app::Badge{"unset"}};
        const auto out = captured([&] { read = badge.get(); });
        EXPECT_FALSE(read);
        EXPECT_EQ(lines(out), 1) << out;
        suite->setObject("colour", *toSerializable(app::Badge{"not a colour"}));
        Color readColour;
        EXPECT_EQ(lines(captured([&] { readColour = colour.get(); })), 1);
        EXPECT_EQ(readColour, Color::sRGB(0, 0, 0));
        ASSERT_TRUE(suite->synchronize().ok());

        // A colour the file gives a NaN or infinite component reads as the
        // key's default, like any other damaged value.
        for (const char* component : {R"({"$real": "nan"})", R"({"$real": "-inf"})"}) {
            testsupport::writeTextFile(dir.path() / "tessivo" / "nan-colour.json",
                                       std::string(R"({"colour": ["kCGColorSpaceSRGB", [0, )") + component +
                                           ", 0, 1]]}");
            auto damaged = UserDefaults::open("nan-colour", dir.path() / "tessivo");
            EXPECT_EQ(Key<Color>("colour", Color::sRGB(0, 0, 1), damaged).get(), Color::sRGB(0, 0, 1)) << component;
        }
    }
    if (previous)
        ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
}
