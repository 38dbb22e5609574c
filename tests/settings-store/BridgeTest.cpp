#include "platform/defaults/PropertyListCoding.h"
#include "platform/defaults/UserDefaults.h"
#include "settings-store/Defaults.h"
#include "tests/support/CapturedDiagnostics.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace Defaults;
using platform::PropertyList;

namespace app {

struct Preset {
    std::string name;
    int id = 0;
    float scale = 1;
    friend bool operator==(const Preset&, const Preset&) = default;
};
// Written name first; stored with sorted keys.
void to_json(JSON& j, const Preset& p) {
    j = JSON::object();
    j["name"] = p.name;
    j["id"] = p.id;
    j["scale"] = p.scale;
}
void from_json(const JSON& j, Preset& p) {
    p.name = decodeJSONField<std::string>(j, "name");
    p.id = decodeJSONField<int>(j, "id");
    p.scale = decodeJSONField<float>(j, "scale");
}

enum class Mode { light, dark };
enum class Level { low, high };        // codable, but prefers its raw value
enum class Plain { one = 1, two = 2 }; // raw-representable only

template <class E> struct Names;

struct Options {
    using Element = int;
    std::set<int> members;
    std::vector<int> elementsArray() const { return {members.begin(), members.end()}; }
    void insert(int v) { members.insert(v); }
};

struct IdList {
    using value_type = UUID;
    std::vector<UUID> items;
    IdList() = default;
    explicit IdList(std::vector<UUID> v) : items(std::move(v)) {}
    auto begin() const { return items.begin(); }
    auto end() const { return items.end(); }
};

// Names its own type as its stored form: must not compile as a key.
struct SelfStored {
    friend bool operator==(const SelfStored&, const SelfStored&) = default;
};
struct SelfBridge {
    using Value = SelfStored;
    using Serializable = SelfStored;
    std::optional<SelfStored> serialize(const std::optional<SelfStored>& v) const { return v; }
    std::optional<SelfStored> deserialize(const std::optional<SelfStored>& v) const { return v; }
};

// Both codable and a marked collection: no default bridge.
struct Ambiguous {
    using value_type = int;
    std::vector<int> items;
    Ambiguous() = default;
    explicit Ambiguous(std::vector<int> v) : items(std::move(v)) {}
    auto begin() const { return items.begin(); }
    auto end() const { return items.end(); }
};
void to_json(JSON& j, const Ambiguous& a) { j = a.items; }
void from_json(const JSON& j, Ambiguous& a) { a.items = decodeJSON<std::vector<int>>(j); }

} // namespace app

namespace Defaults {
template <> struct RawRepresentation<app::Mode> {
    using RawValue = std::string;
    static std::string rawValue(app::Mode m) { return m == app::Mode::light ? "light" : "dark"; }
    static std::optional<app::Mode> fromRawValue(const std::string& s) {
        if (s == "light") return app::Mode::light;
        if (s == "dark") return app::Mode::dark;
        return std::nullopt;
    }
};
// An enum stored as its int value, low...high.
template <class E, int low, int high> struct IntRawRepresentation {
    using RawValue = int;
    static int rawValue(E e) { return int(e); }
    static std::optional<E> fromRawValue(int v) {
        return v >= low && v <= high ? std::optional<E>(E(v)) : std::nullopt;
    }
};
template <> struct RawRepresentation<app::Level> : IntRawRepresentation<app::Level, 0, 1> {};
template <> struct RawRepresentation<app::Plain> : IntRawRepresentation<app::Plain, 1, 2> {};
template <> struct JSONCoding<app::Mode> : RawValueJSONCoding<app::Mode> {};
template <> struct JSONCoding<app::Level> : RawValueJSONCoding<app::Level> {};
template <> inline constexpr bool preferRawRepresentable<app::Level> = true;
template <> inline constexpr bool setAlgebraSerializable<app::Options> = true;
template <> inline constexpr bool collectionSerializable<app::IdList> = true;
template <> inline constexpr bool collectionSerializable<app::Ambiguous> = true;

template <> struct Serializable<app::Preset> : DefaultSerializable<app::Preset> {};
template <> struct Serializable<app::Mode> : DefaultSerializable<app::Mode> {};
template <> struct Serializable<app::Level> : DefaultSerializable<app::Level> {};
template <> struct Serializable<app::Plain> : DefaultSerializable<app::Plain> {};
template <> struct Serializable<app::Options> : DefaultSerializable<app::Options> {};
template <> struct Serializable<app::IdList> : DefaultSerializable<app::IdList> {};
template <> struct Serializable<app::Ambiguous> : DefaultSerializable<app::Ambiguous> {};
template <> struct Serializable<app::SelfStored> {
    using Bridge = app::SelfBridge;
    static constexpr bool isNativelySupportedType = false;
    static Bridge bridge() { return {}; }
};
} // namespace Defaults

// What the stored forms below cannot show: which types the store holds as
// they are, and which types get no bridge at all (they must not compile as keys).
static_assert(isNativelySupportedType<std::map<std::string, int>> &&
              !isNativelySupportedType<std::map<int, std::string>>);
static_assert(!isNativelySupportedType<std::vector<URL>> && !isNativelySupportedType<std::set<std::string>>);
static_assert(isNativelySupportedType<std::vector<std::map<std::string, double>>> &&
              !isNativelySupportedType<Range<int>>);
static_assert(!DefaultsSerializable<app::SelfStored>, "a bridge that stores a type as itself is refused");
static_assert(!DefaultsSerializable<app::Ambiguous>, "two unrelated default rules leave the type without a bridge");
static_assert(!DefaultsSerializable<std::set<app::SelfStored>>);

namespace {

template <class T> std::optional<T> roundTrip(const T& value) {
    auto stored = toSerializable(value);
    if (!stored) return std::nullopt;
    // Through the suite file's encoding as well.
    auto text = platform::propertyListToJSON(*stored).dump();
    return fromSerializable<T>(platform::propertyListFromJSON(JSON::parse(text)));
}

std::string captured(const std::function<void()>& run) {
    testing::internal::CaptureStdout();
    run();
    return testing::internal::GetCapturedStdout();
}

PropertyList list(std::initializer_list<PropertyList> items) {
    return PropertyList(platform::PropertyListArray(items));
}

} // namespace

TEST(CodableBridge, SortedCompactTextAndRoundTrip) {
    app::Preset preset{"Poster", 7, 0.5f};
    EXPECT_EQ(toSerializable(preset), PropertyList(R"({"id":7,"name":"Poster","scale":0.5})"));
    EXPECT_EQ(roundTrip(preset), preset);
    EXPECT_EQ(roundTrip(std::vector<app::Preset>{preset, {"Card", 8, 2}}),
              (std::vector<app::Preset>{preset, {"Card", 8, 2}}));
}

TEST(CodableBridge, DecodingIsStrictAndSilentEncodingNonFiniteNumbersFailsWithAMessage) {
    TopLevelCodableBridge<app::Preset> bridge;
    std::string out = captured([&] {
        EXPECT_FALSE(bridge.deserialize(std::string("not json")));
        EXPECT_FALSE(bridge.deserialize(std::string(R"({"id":4.5,"name":"x","scale":1})")));
        EXPECT_FALSE(bridge.deserialize(std::string(R"({"id":4,"name":"x","scale":1e39})")));
        EXPECT_FALSE(bridge.deserialize(std::string(R"({"id":4,"name":"x"})")));
        EXPECT_FALSE(bridge.deserialize(std::string(R"({"id":4,"name":"x","scale":1} trailing)")));
        EXPECT_FALSE(bridge.deserialize(std::string(R"([1,2])")));
        EXPECT_FALSE(bridge.deserialize(std::nullopt));
        EXPECT_FALSE(bridge.serialize(std::nullopt));
    });
    EXPECT_EQ(out, "");
    EXPECT_EQ(bridge.deserialize(std::string(R"({"scale":1e38,"name":"x","id":-4})")), (app::Preset{"x", -4, 1e38f}));
    EXPECT_FALSE(TopLevelCodableBridge<std::uint8_t>().deserialize(std::string("256")));
    EXPECT_FALSE(TopLevelCodableBridge<int>().deserialize(std::string("\"5\"")));
    EXPECT_EQ(TopLevelCodableBridge<double>().deserialize(std::string("5")), 5.0);

    // Non-finite numbers fail to encode, with a message.
    app::Preset preset{"x", 1, std::numeric_limits<float>::infinity()};
    std::optional<PropertyList> stored;
    out = captured([&] { stored = toSerializable(preset); });
    EXPECT_FALSE(stored);
    EXPECT_NE(out.find("non-finite"), std::string::npos) << out;
    EXPECT_NE(out.find("scale"), std::string::npos) << out;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1);
    EXPECT_THROW(jsonText(JSON(std::nan(""))), JSONEncodingError);
    // The message names the number as it is and where it sits.
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        JSON value;
        std::string number, place;
    } nonFinite[] = {
        {JSON::array({1.5, inf}), "inf", "1"},
        {JSON::array({-inf, 2.5}), "-inf", "0"},
        {JSON{{"a", JSON::array({0, 1, -inf})}, {"b", 1}}, "-inf", "a.2"},
        {JSON{{"a", 1}, {"b", JSON{{"c", inf}}}}, "inf", "b.c"},
        {JSON(std::nan("")), "nan", "(top level)"},
    };
    for (const auto& c : nonFinite) {
        try {
            (void)jsonText(c.value);
            ADD_FAILURE() << c.number << " was written";
        } catch (const JSONEncodingError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "Unable to encode the non-finite number " + c.number + " in JSON at \"" + c.place + "\"");
        }
    }

    // Invalid UTF-8 is no text: nothing, silently.
    out = captured([&] { stored = toSerializable(app::Preset{"\xff", 1, 1}); });
    EXPECT_FALSE(stored);
    EXPECT_EQ(out, "");
}

TEST(CodableBridge, ItsFailuresAndTheStoresReportsGoWhereTheProgramPointsThem) {
    testing::internal::CaptureStdout();
    {
        const testsupport::CapturedDiagnostics captured;
        EXPECT_FALSE(toSerializable(app::Preset{"x", 1, std::numeric_limits<float>::infinity()}));
        testsupport::TempDir dir;
        testsupport::writeTextFile(dir / "s.json", "{\"a\": 1,");
        EXPECT_FALSE(platform::UserDefaults::open("s", dir.path())->objectForKey("a"));
        const auto& lines = captured.lines();
        EXPECT_EQ(lines.size(), 2u);
        EXPECT_TRUE(lines.size() > 0 && lines[0].find("non-finite") != std::string::npos);
        EXPECT_TRUE(lines.size() > 1 && lines[1].find("is damaged") != std::string::npos);
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(RawValueBridges, CodableEnumsAsJSONAndRawEnumsAsTheirValue) {
    EXPECT_EQ(toSerializable(app::Mode::dark), PropertyList("\"dark\""));
    EXPECT_EQ(roundTrip(app::Mode::dark), app::Mode::dark);
    EXPECT_EQ(toSerializable(app::Level::high), PropertyList(1));
    EXPECT_EQ(toSerializable(app::Plain::two), PropertyList(2));
    EXPECT_EQ(roundTrip(app::Plain::two), app::Plain::two);
    EXPECT_FALSE(fromSerializable<app::Plain>(PropertyList(3)));
    EXPECT_FALSE(fromSerializable<app::Mode>(PropertyList("\"dim\"")));
}

TEST(UUIDBridge, CanonicalUpperCaseText) {
    auto id = UUID::fromString("e621e1f8-c36c-495a-93fc-0c247a3e6e5f");
    ASSERT_TRUE(id);
    EXPECT_EQ(toSerializable(*id), PropertyList("E621E1F8-C36C-495A-93FC-0C247A3E6E5F"));
    EXPECT_EQ(roundTrip(*id), id);
    for (const char* bad : {"", "E621E1F8C36C495A93FC0C247A3E6E5F", "E621E1F8-C36C-495A-93FC-0C247A3E6E5G",
                            "E621E1F8-C36C-495A-93FC-0C247A3E6E5F0", "{E621E1F8-C36C-495A-93FC-0C247A3E6E5}"})
        EXPECT_FALSE(fromSerializable<UUID>(PropertyList(bad))) << bad;
    auto stored = toSerializable(std::vector<UUID>{*id, *id});
    EXPECT_EQ(stored, list({PropertyList(id->uuidString()), PropertyList(id->uuidString())}));
    EXPECT_EQ(fromSerializable<std::vector<UUID>>(list({PropertyList("nope"), PropertyList(id->uuidString())})),
              (std::vector<UUID>{*id}));
}

TEST(RangeBridge, PairsRoundTripAndBadPairsAreRefused) {
    EXPECT_EQ(toSerializable(Range<int>(2, 5)), list({PropertyList(2), PropertyList(5)}));
    EXPECT_EQ(roundTrip(Range<int>(2, 5)), Range<int>(2, 5));
    EXPECT_EQ(roundTrip(ClosedRange<double>(-1.5, -1.5)), ClosedRange<double>(-1.5, -1.5));
    EXPECT_EQ(fromSerializable<Range<int>>(list({PropertyList(1), PropertyList(3), PropertyList(9)})),
              Range<int>(1, 3));
    EXPECT_FALSE(fromSerializable<Range<int>>(list({PropertyList(1)})));
    EXPECT_FALSE(fromSerializable<Range<int>>(list({})));
    EXPECT_FALSE(fromSerializable<Range<int>>(list({PropertyList(1), PropertyList("3")})));
    EXPECT_FALSE(fromSerializable<Range<int>>(list({PropertyList(5), PropertyList(2)})));
    EXPECT_FALSE(fromSerializable<ClosedRange<double>>(list({PropertyList(2.5), PropertyList(2.0)})));
    EXPECT_THROW(Range<int>(5, 2), std::invalid_argument);

    // A bound with a bridge of its own.
    auto low = *UUID::fromString("00000000-0000-0000-0000-000000000001");
    auto high = *UUID::fromString("00000000-0000-0000-0000-000000000002");
    EXPECT_EQ(roundTrip(ClosedRange<UUID>(low, high)), ClosedRange<UUID>(low, high));
    EXPECT_EQ(toSerializable(ClosedRange<UUID>(low, high)),
              list({PropertyList(low.uuidString()), PropertyList(high.uuidString())}));
    EXPECT_FALSE(fromSerializable<ClosedRange<UUID>>(list({PropertyList(low.uuidString()), PropertyList("x")})));
}

TEST(ColorBridge, PairAndArchiveFormsAreReadAndGarbageRefused) {
    auto red = Color::sRGB(1, 0, 0, 0.5);
    EXPECT_EQ(toSerializable(red),
              list({PropertyList("kCGColorSpaceSRGB"),
                    list({PropertyList(1.0), PropertyList(0.0), PropertyList(0.0), PropertyList(0.5)})}));
    EXPECT_EQ(roundTrip(red), red);
    EXPECT_EQ(roundTrip(Color::gray(0.25)), Color::gray(0.25));
    // Integers count as reals in the component list.
    EXPECT_EQ(fromSerializable<Color>(
                  list({PropertyList("kCGColorSpaceExtendedGray"), list({PropertyList(1), PropertyList(1)})})),
              Color::gray(1, 1));

    auto refused = [](const PropertyList& object) { return !fromSerializable<Color>(object); };
    EXPECT_TRUE(refused(list({})));
    EXPECT_TRUE(refused(list({PropertyList("kCGColorSpaceSRGB")})));
    EXPECT_TRUE(refused(list({PropertyList("kCGColorSpaceSRGB"), list({PropertyList(1.0), PropertyList(0.5)})})))
        << "too few components for the space";
    EXPECT_TRUE(refused(list(
        {PropertyList("kCGColorSpaceExtendedGray"), list({PropertyList(1.0), PropertyList(1.0), PropertyList(1.0)})})));
    EXPECT_TRUE(refused(list({PropertyList("Nowhere"), list({PropertyList(1.0), PropertyList(1.0)})})));
    EXPECT_TRUE(
        refused(list({PropertyList("kCGColorSpaceExtendedGray"), list({PropertyList("1"), PropertyList(1.0)})})));
    EXPECT_TRUE(refused(list({PropertyList(3), list({})})));
    EXPECT_TRUE(refused(PropertyList("red")));
    // A component that is no finite number draws nothing meant: refused in
    // every position, as a settings file can hold it ({"$real": "nan"}).
    for (const double bad : {std::nan(""), HUGE_VAL, -HUGE_VAL})
        for (std::size_t at = 0; at < 4; ++at) {
            platform::PropertyListArray components(4, PropertyList(0.5));
            components[at] = PropertyList(bad);
            EXPECT_TRUE(refused(list({PropertyList("kCGColorSpaceSRGB"), PropertyList(components)})))
                << bad << " at " << at;
        }
    EXPECT_FALSE(Color::make("kCGColorSpaceExtendedGray", {std::nan(""), 1}));
    // Extended colours reach past 0...1 and stay.
    EXPECT_EQ(roundTrip(Color::sRGB(-0.5, 1.5, 2, 1)), Color::sRGB(-0.5, 1.5, 2, 1));
    // The pair as an array and as the JSON text of one in raw data follow one
    // rule: elements after the second are ignored, fewer than two are
    // nothing, and the components must be exactly the space's and alpha.
    const auto sRGB = PropertyList("kCGColorSpaceSRGB");
    const auto rgba = [](std::initializer_list<double> values) {
        platform::PropertyListArray out;
        for (double v : values) out.emplace_back(v);
        return PropertyList(std::move(out));
    };
    const struct {
        const char* what;
        PropertyList pair;
        std::optional<Color> expected;
    } pairs[] = {
        {"exact", list({sRGB, rgba({0, 0.5, 1, 1})}), Color::sRGB(0, 0.5, 1, 1)},
        {"a third element", list({sRGB, rgba({0, 0.5, 1, 1}), PropertyList("extra")}), Color::sRGB(0, 0.5, 1, 1)},
        {"a fourth element", list({sRGB, rgba({1, 0, 0, 0.5}), rgba({1}), PropertyList(7)}), Color::sRGB(1, 0, 0, 0.5)},
        {"only the name", list({sRGB}), std::nullopt},
        {"empty", list({}), std::nullopt},
        {"no alpha", list({sRGB, rgba({0, 0.5, 1})}), std::nullopt},
        {"a component too many", list({sRGB, rgba({0, 0.5, 1, 1, 1})}), std::nullopt},
        {"components in the third place", list({sRGB, PropertyList("x"), rgba({0, 0.5, 1, 1})}), std::nullopt},
    };
    for (const auto& c : pairs) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(fromSerializable<Color>(c.pair), c.expected);
        const std::string text = platform::propertyListToJSON(c.pair).dump();
        std::optional<Color> fromData;
        (void)captured([&] {
            fromData = fromSerializable<Color>(
                PropertyList(platform::Data(std::vector<std::uint8_t>(text.begin(), text.end()))));
        });
        EXPECT_EQ(fromData, c.expected) << text;
    }

    // The archive form is read; garbage in it is reported.
    std::string pair = R"(["kCGColorSpaceSRGB",[0,0.5,1,1]])";
    platform::Data archive(std::vector<std::uint8_t>(pair.begin(), pair.end()));
    EXPECT_EQ(fromSerializable<Color>(PropertyList(archive)), Color::sRGB(0, 0.5, 1, 1));
    std::optional<Color> read;
    auto out = captured([&] { read = fromSerializable<Color>(PropertyList(platform::Data({1, 2, 3}))); });
    EXPECT_FALSE(read);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
}

TEST(CollectionBridges, ArraysDropWhatDoesNotConvert) {
    app::Preset a{"A", 1, 1}, c{"C", 3, 3};
    auto presets = list({PropertyList(*toSerializable(a)), PropertyList("{broken"), PropertyList(*toSerializable(c))});
    std::optional<std::vector<app::Preset>> read;
    EXPECT_EQ(captured([&] { read = fromSerializable<std::vector<app::Preset>>(presets); }), "");
    EXPECT_EQ(read, (std::vector<app::Preset>{a, c}));
    EXPECT_EQ(roundTrip(std::vector<app::Preset>{}), std::vector<app::Preset>{});
    EXPECT_FALSE(fromSerializable<std::vector<app::Preset>>(PropertyList("not an array")));
}

TEST(CollectionBridges, DictionariesWithKeysThatAreNotText) {
    std::map<int, int> numbers{{7, 5}, {-1, 0}};
    auto stored = toSerializable(numbers);
    EXPECT_EQ(stored,
              PropertyList(platform::PropertyListDictionary{{"7", PropertyList("5")}, {"-1", PropertyList("0")}}));
    EXPECT_EQ(roundTrip(numbers), numbers);
    auto messy = PropertyList(platform::PropertyListDictionary{
        {"7", PropertyList("5")}, {"seven", PropertyList("1")}, {"8", PropertyList("x")}, {"+9", PropertyList("2")}});
    EXPECT_EQ((fromSerializable<std::map<int, int>>(messy)), (std::map<int, int>({{7, 5}, {9, 2}})));
    EXPECT_EQ(roundTrip(std::map<int, int>()), (std::map<int, int>()));

    std::map<std::string, std::vector<double>> native{{"a", {1.5}}};
    EXPECT_EQ(toSerializable(native), PropertyList(platform::PropertyListDictionary{{"a", list({PropertyList(1.5)})}}));
    EXPECT_EQ(roundTrip(native), native);
}

TEST(CollectionBridges, SetsCustomCollectionsAndOptionals) {
    std::set<std::string> words{"b", "a"};
    EXPECT_EQ(toSerializable(words), list({PropertyList("a"), PropertyList("b")}));
    EXPECT_EQ(roundTrip(words), words);
    EXPECT_FALSE(fromSerializable<std::set<std::string>>(list({PropertyList("a"), PropertyList(1)})));
    EXPECT_EQ(roundTrip(std::set<std::string>{}), std::set<std::string>{});

    auto url = *URL::fromString("https://example.com");
    EXPECT_EQ(toSerializable(std::set<URL>{url}), list({PropertyList("\"https://example.com\"")}));
    EXPECT_EQ(fromSerializable<std::set<URL>>(list({PropertyList("\"https://example.com\""), PropertyList("[")})),
              std::set<URL>{url});
    EXPECT_FALSE(fromSerializable<std::set<URL>>(list({PropertyList(5)})));

    auto options = fromSerializable<app::Options>(list({PropertyList(3), PropertyList(1), PropertyList(3)}));
    ASSERT_TRUE(options);
    EXPECT_EQ(options->members, (std::set<int>{1, 3}));
    EXPECT_EQ(toSerializable(*options), list({PropertyList(1), PropertyList(3)}));

    auto id = *UUID::fromString("00000000-0000-0000-0000-0000000000AB");
    app::IdList ids(std::vector<UUID>{id, id});
    EXPECT_EQ(toSerializable(ids), list({PropertyList(id.uuidString()), PropertyList(id.uuidString())}));
    EXPECT_EQ(fromSerializable<app::IdList>(list({PropertyList("bad"), PropertyList(id.uuidString())}))->items,
              std::vector<UUID>{id});

    // Optionals store as their wrapped value.
    auto file = URL::fromString("file:///tmp/a");
    EXPECT_EQ(toSerializable(file), toSerializable(*file));
    EXPECT_EQ(fromSerializable<std::optional<URL>>(*toSerializable(*file)), std::optional<std::optional<URL>>(file));
    EXPECT_FALSE(toSerializable(std::optional<URL>()));
    EXPECT_FALSE(OptionalBridge<URL>().serialize(std::nullopt));
}
