#include "platform/archive/KeyedArchive.h"

#include "archive/ArchiveTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using namespace archive;
using archivetest::Bytes;

namespace {

// A class of the tests' own, using every kind of field.
struct Swatch {
    std::string name;
    double alpha = 1;
    std::optional<std::int64_t> count{};
    std::optional<bool> flag{};
    std::optional<Bytes> bytes{};
    std::optional<Bytes> blob{};
    std::shared_ptr<Swatch> child{};

    friend bool operator==(const Swatch& a, const Swatch& b) {
        return a.name == b.name && a.alpha == b.alpha && a.count == b.count && a.flag == b.flag &&
               a.bytes == b.bytes && a.blob == b.blob && (a.child && b.child ? *a.child == *b.child : !a.child == !b.child);
    }
};

// Another class, to be refused where a Swatch is asked for.
struct Label {
    std::string text;
};

// A class with two nested objects.
struct Tree {
    std::shared_ptr<Tree> left, right;
    std::size_t height() const {
        return 1 + std::max(left ? left->height() : 0, right ? right->height() : 0);
    }
};

// A class that writes a key of the format's own.
struct Reserved {};

} // namespace

template <> struct archive::Archivable<Swatch> {
    static constexpr std::string_view className = "Swatch";
    static void encode(const Swatch& s, KeyedEncoder& coder) {
        coder.encodeString("name", s.name);
        coder.encodeDouble("alpha", s.alpha);
        if (s.count) coder.encodeInt64("count", *s.count);
        if (s.flag) coder.encodeBool("flag", *s.flag);
        if (s.bytes) coder.encodeBytes("bytes", *s.bytes);
        if (s.blob) coder.encodeData("blob", *s.blob);
        if (s.child) coder.encodeObject("child", *s.child);
    }
    static Swatch decode(const KeyedDecoder& coder) {
        Swatch s;
        auto name = coder.decodeString("name");
        auto alpha = coder.decodeDouble("alpha");
        if (!name || !alpha) throw ArchiveError::corrupt("A swatch needs a name and an alpha.");
        s.name = *name;
        s.alpha = *alpha;
        s.count = coder.decodeInt64("count");
        s.flag = coder.decodeBool("flag");
        s.bytes = coder.decodeBytes("bytes");
        s.blob = coder.decodeData("blob");
        if (auto child = coder.decodeObject<Swatch>("child")) s.child = std::make_shared<Swatch>(std::move(*child));
        return s;
    }
};

template <> struct archive::Archivable<Label> {
    static constexpr std::string_view className = "Label";
    static void encode(const Label& l, KeyedEncoder& coder) { coder.encodeString("text", l.text); }
    static Label decode(const KeyedDecoder& coder) { return Label{coder.decodeString("text").value_or("")}; }
};

template <> struct archive::Archivable<Tree> {
    static constexpr std::string_view className = "Tree";
    static void encode(const Tree& t, KeyedEncoder& coder) {
        if (t.left) coder.encodeObject("left", *t.left);
        if (t.right) coder.encodeObject("right", *t.right);
    }
    static Tree decode(const KeyedDecoder& coder) {
        Tree t;
        if (auto left = coder.decodeObject<Tree>("left")) t.left = std::make_shared<Tree>(std::move(*left));
        if (auto right = coder.decodeObject<Tree>("right")) t.right = std::make_shared<Tree>(std::move(*right));
        return t;
    }
};

template <> struct archive::Archivable<Reserved> {
    static constexpr std::string_view className = "Reserved";
    static void encode(const Reserved&, KeyedEncoder& coder) { coder.encodeBool("$class", true); }
    static Reserved decode(const KeyedDecoder&) { return {}; }
};

namespace {

Swatch sample() {
    Swatch inner{"inner", 1, {}, {}, {}, {}, nullptr};
    return Swatch{"outer \u00e9", 0.5, 3, true, Bytes{1, 2}, Bytes{0xFF, 0}, std::make_shared<Swatch>(inner)};
}

// A keyed archive whose "$objects" are `objects`, root UID(1).
Bytes archiveOf(PlistArray objects, PlistObject top = PlistObject(PlistDictionary{{"root", PlistObject(UID{1})}})) {
    return writeBinaryPropertyList(PlistObject(PlistDictionary{
        {"$archiver", PlistObject("NSKeyedArchiver")},
        {"$version", PlistObject(100000)},
        {"$top", std::move(top)},
        {"$objects", PlistObject(std::move(objects))},
    }));
}

PlistObject classInfo(const std::string& name) {
    return PlistObject(PlistDictionary{{"$classname", PlistObject(name)},
                                       {"$classes", PlistObject(PlistArray{PlistObject(name), PlistObject("NSObject")})}});
}

// A Swatch object in "$objects": class at UID(2), name "x", alpha 1, and
// `child` (a UID) when given.
PlistObject swatchObject(std::optional<std::uint64_t> child = {}) {
    PlistDictionary fields{{"$class", PlistObject(UID{2})}, {"name", PlistObject(UID{3})}, {"alpha", PlistObject(1)}};
    if (child) fields.emplace("child", PlistObject(UID{*child}));
    return PlistObject(std::move(fields));
}

ArchiveError::Code refusal(const Bytes& bytes) {
    try {
        (void)unarchivedObject<Swatch>(bytes);
    } catch (const ArchiveError& error) {
        EXPECT_EQ(std::string(error.what()).find('\n'), std::string::npos) << error.what();
        return error.code();
    }
    ADD_FAILURE() << "unarchived without an error";
    return ArchiveError::Code::writeInvalid;
}

} // namespace

TEST(KeyedArchive, RoundTripAndPythonReadsTheShape) {
    const Swatch swatch = sample();
    const Bytes bytes = archivedData(swatch);
    EXPECT_EQ(unarchivedObject<Swatch>(bytes), swatch);

    const auto dump = archivetest::pythonDump(bytes);
    ASSERT_TRUE(dump.is_object()) << dump;
    EXPECT_EQ(dump["$archiver"], "NSKeyedArchiver");
    EXPECT_EQ(dump["$version"], 100000);
    EXPECT_EQ(dump["$top"], nlohmann::json({{"root", {{"UID", 1}}}}));
    const auto& objects = dump["$objects"];
    ASSERT_TRUE(objects.is_array());
    EXPECT_EQ(objects[0], "$null");
    const auto& root = objects[1];
    const auto& rootClass = objects[root["$class"]["UID"].get<int>()];
    EXPECT_EQ(rootClass["$classname"], "Swatch");
    EXPECT_EQ(rootClass["$classes"], nlohmann::json({"Swatch", "NSObject"}));
    EXPECT_EQ(objects[root["name"]["UID"].get<int>()], "outer \u00e9");
    EXPECT_EQ(root["alpha"], 0.5);
    EXPECT_EQ(root["count"], 3);
    EXPECT_EQ(root["flag"], true);
    EXPECT_EQ(root["bytes"], nlohmann::json({{"data", "0102"}}));
    EXPECT_EQ(objects[root["blob"]["UID"].get<int>()], nlohmann::json({{"data", "ff00"}}));
    const auto& child = objects[root["child"]["UID"].get<int>()];
    EXPECT_EQ(child["$class"], root["$class"]) << "one class entry per class";
    EXPECT_EQ(objects[child["name"]["UID"].get<int>()], "inner");
}

TEST(KeyedArchive, AnArchivePythonWritesReadsBack) {
    const auto read = unarchivedObject<Swatch>(archivetest::pythonSample("swatch"));
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, sample());
}

TEST(KeyedArchive, DecodingAcceptsOnlyTheExpectedClass) {
    const Bytes label = archivedData(Label{"hello"});
    EXPECT_EQ(unarchivedObject<Label>(label)->text, "hello");
    EXPECT_EQ(refusal(label), ArchiveError::Code::unexpectedClass);
    try {
        (void)unarchivedObject<Swatch>(label);
    } catch (const ArchiveError& error) {
        EXPECT_NE(std::string(error.what()).find("'Label'"), std::string::npos) << error.what();
    }
    // A nested object of another class is refused too.
    const Bytes nestedLabel = archiveOf({PlistObject("$null"), swatchObject(4), classInfo("Swatch"), PlistObject("x"),
                                         PlistObject(PlistDictionary{{"$class", PlistObject(UID{5})}}),
                                         classInfo("Label")});
    EXPECT_EQ(refusal(nestedLabel), ArchiveError::Code::unexpectedClass);
    // A class name that would break the message's line is printed safely.
    EXPECT_EQ(refusal(archiveOf({PlistObject("$null"), swatchObject(), classInfo("Evil\nName"), PlistObject("x")})),
              ArchiveError::Code::unexpectedClass);
}

TEST(KeyedArchive, AbsentRootAndAbsentFieldsGiveNothing) {
    EXPECT_EQ(unarchivedObject<Swatch>(archiveOf({PlistObject("$null")},
                                                 PlistObject(PlistDictionary{{"root", PlistObject(UID{0})}}))),
              std::nullopt);
    EXPECT_EQ(unarchivedObject<Swatch>(archiveOf({PlistObject("$null")}, PlistObject(PlistDictionary{}))),
              std::nullopt);
    const auto bare = unarchivedObject<Swatch>(
        archiveOf({PlistObject("$null"), swatchObject(0), classInfo("Swatch"), PlistObject("x")}));
    ASSERT_TRUE(bare);
    EXPECT_FALSE(bare->child);
    EXPECT_FALSE(bare->count);
}

TEST(KeyedArchive, ReferencesReachTheLastObjectAndNoFurther) {
    // Five objects: the root, its child and its class at the last index
    // (4) are read; one further (5, the object count) is refused.
    const PlistObject null("$null"), name("x"), swatchClass = classInfo("Swatch");
    const auto root = [](std::uint64_t index) {
        return PlistObject(PlistDictionary{{"root", PlistObject(UID{index})}});
    };
    const auto classAt = [&](std::uint64_t index) {
        return PlistObject(PlistDictionary{
            {"$class", PlistObject(UID{index})}, {"name", PlistObject(UID{3})}, {"alpha", PlistObject(1)}});
    };
    const auto child = unarchivedObject<Swatch>(archiveOf({null, swatchObject(4), swatchClass, name, swatchObject()}));
    ASSERT_TRUE(child);
    ASSERT_TRUE(child->child);
    EXPECT_EQ(child->child->name, "x");
    EXPECT_EQ(refusal(archiveOf({null, swatchObject(5), swatchClass, name, swatchObject()})),
              ArchiveError::Code::readCorrupt);

    const auto last =
        unarchivedObject<Swatch>(archiveOf({null, swatchObject(), swatchClass, name, swatchObject()}, root(4)));
    ASSERT_TRUE(last);
    EXPECT_EQ(last->name, "x");
    EXPECT_EQ(refusal(archiveOf({null, swatchObject(), swatchClass, name, swatchObject()}, root(5))),
              ArchiveError::Code::readCorrupt);

    EXPECT_TRUE(unarchivedObject<Swatch>(archiveOf({null, classAt(4), null, name, swatchClass})));
    EXPECT_EQ(refusal(archiveOf({null, classAt(5), null, name, swatchClass})), ArchiveError::Code::readCorrupt);
}

TEST(KeyedArchive, HostileArchivesAreRefusedQuickly) {
    using Code = ArchiveError::Code;
    const PlistObject null("$null"), name("x"), swatchClass = classInfo("Swatch");

    EXPECT_EQ(refusal(Bytes{1, 2, 3}), Code::readCorrupt) << "random bytes";
    EXPECT_EQ(refusal(writeBinaryPropertyList(PlistObject(PlistArray{}))), Code::readCorrupt) << "no dictionary";
    EXPECT_EQ(refusal(writeBinaryPropertyList(PlistObject(PlistDictionary{{"$objects", PlistObject(PlistArray{})}}))),
              Code::readCorrupt)
        << "no $archiver";
    Bytes truncated = archivedData(sample());
    truncated.resize(truncated.size() - 1);
    EXPECT_EQ(refusal(truncated), Code::readCorrupt) << "truncated";

    // References outside "$objects": the root, a field, a class.
    EXPECT_EQ(refusal(archiveOf({null}, PlistObject(PlistDictionary{{"root", PlistObject(UID{7})}}))), Code::readCorrupt);
    EXPECT_EQ(refusal(archiveOf({null}, PlistObject(PlistDictionary{{"root", PlistObject(1)}}))), Code::readCorrupt);
    EXPECT_EQ(refusal(archiveOf({null, swatchObject(99), swatchClass, name})), Code::readCorrupt);
    EXPECT_EQ(refusal(archiveOf({null, PlistObject(PlistDictionary{{"$class", PlistObject(UID{1u << 31})}})})),
              Code::readCorrupt);
    // Objects without a class, or whose class entry is no class.
    EXPECT_EQ(refusal(archiveOf({null, PlistObject(PlistDictionary{})})), Code::readCorrupt);
    EXPECT_EQ(refusal(archiveOf({null, PlistObject(PlistDictionary{{"$class", PlistObject(UID{1})}})})),
              Code::readCorrupt);
    EXPECT_EQ(refusal(archiveOf({null, PlistObject("not an object")})), Code::readCorrupt);

    // Reference cycles: an object holding itself, and two holding each other.
    EXPECT_EQ(refusal(archiveOf({null, swatchObject(1), swatchClass, name})), Code::readCorrupt);
    EXPECT_EQ(refusal(archiveOf({null, swatchObject(4), swatchClass, name, swatchObject(1)})), Code::readCorrupt);

    // Fields of the wrong kind.
    auto withField = [&](const char* key, PlistObject value) {
        PlistDictionary fields = *swatchObject().asDictionary();
        fields.insert_or_assign(key, std::move(value));
        return archiveOf({null, PlistObject(std::move(fields)), swatchClass, name});
    };
    EXPECT_EQ(refusal(withField("alpha", PlistObject("1"))), Code::readCorrupt);
    EXPECT_EQ(refusal(withField("count", PlistObject(1.5))), Code::readCorrupt);
    EXPECT_EQ(refusal(withField("name", PlistObject("inline"))), Code::readCorrupt);
    EXPECT_EQ(refusal(withField("name", PlistObject(UID{2}))), Code::readCorrupt) << "a name that is a class";
    EXPECT_EQ(refusal(withField("child", PlistObject(UID{3}))), Code::readCorrupt) << "a child that is a string";

    // A chain of objects nested past the limit.
    PlistArray deep{null, swatchClass, name};
    const std::size_t levels = maxPlistDepth() + 1;
    for (std::size_t i = 0; i < levels; ++i) {
        PlistDictionary fields{{"$class", PlistObject(UID{1})}, {"name", PlistObject(UID{2})}, {"alpha", PlistObject(1)}};
        if (i + 1 < levels) fields.emplace("child", PlistObject(UID{deep.size() + 1}));
        deep.emplace_back(std::move(fields));
    }
    EXPECT_EQ(refusal(archiveOf(deep, PlistObject(PlistDictionary{{"root", PlistObject(UID{3})}}))), Code::readCorrupt);

    // Two hundred objects, each holding one shared 64 KB data object: a
    // small file that would decode to 13 MB of copies.
    PlistArray sharing{null, swatchClass, name, PlistObject(PlistBytes(1 << 16, 7))};
    for (std::uint64_t i = 0; i < 200; ++i) {
        PlistDictionary fields{{"$class", PlistObject(UID{1})}, {"name", PlistObject(UID{2})},
                               {"alpha", PlistObject(1)}, {"blob", PlistObject(UID{3})}};
        if (i + 1 < 200) fields.emplace("child", PlistObject(UID{sharing.size() + 1}));
        sharing.emplace_back(std::move(fields));
    }
    const Bytes sharingBytes = archiveOf(sharing, PlistObject(PlistDictionary{{"root", PlistObject(UID{4})}}));
    EXPECT_LT(sharingBytes.size(), 80000u);
    EXPECT_EQ(refusal(sharingBytes), Code::readCorrupt);
    // The same with one shared 64 KB name: strings count as data do.
    sharing[2] = PlistObject(std::string(1 << 16, 'n'));
    sharing[3] = PlistObject(PlistBytes{});
    EXPECT_EQ(refusal(archiveOf(sharing, PlistObject(PlistDictionary{{"root", PlistObject(UID{4})}}))),
              Code::readCorrupt);

    // Sixty trees each holding the next one twice: 2^60 visits if each
    // reference were followed anew.
    PlistArray dag{null};
    for (std::uint64_t i = 1; i <= 60; ++i)
        dag.emplace_back(PlistDictionary{
            {"$class", PlistObject(UID{61})}, {"left", PlistObject(UID{i + 1})}, {"right", PlistObject(UID{i + 1})}});
    dag.back() = PlistObject(PlistDictionary{{"$class", PlistObject(UID{61})}});
    dag.push_back(classInfo("Tree"));
    try {
        (void)unarchivedObject<Tree>(archiveOf(dag));
        ADD_FAILURE() << "an exponential graph was read";
    } catch (const ArchiveError& error) {
        EXPECT_EQ(error.code(), Code::readCorrupt);
    }
    // A small graph that shares its subtrees reads as a tree.
    auto node = [](std::optional<std::uint64_t> both) {
        PlistDictionary fields{{"$class", PlistObject(UID{4})}};
        if (both) fields.insert({{"left", PlistObject(UID{*both})}, {"right", PlistObject(UID{*both})}});
        return PlistObject(std::move(fields));
    };
    dag = {null, node(2), node(3), node({}), classInfo("Tree")};
    const auto small = unarchivedObject<Tree>(archiveOf(dag));
    ASSERT_TRUE(small);
    EXPECT_EQ(small->height(), 3u);
}

TEST(KeyedArchive, EncodingRefusesWhatCannotBeArchived) {
    auto code = [](const Swatch& s) {
        try {
            (void)archivedData(s);
        } catch (const ArchiveError& error) {
            return error.code();
        }
        return ArchiveError::Code::readCorrupt;
    };
    // Text that is no UTF-8 is refused when written, whatever is wrong with
    // it, never written for the reader to refuse; every character of text
    // that is UTF-8 comes back, up to the edges of the ranges.
    for (const std::string& bad :
         std::vector<std::string>{"\xFF",
                                  "a\xFF"
                                  "b",
                                  "\xC3", "\x80", "\xC0\x80", "\xE0\x80\x80", "\xF0\x80\x80\x80", "\xED\xA0\x80",
                                  "\xED\xBF\xBF", "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80"}) {
        Swatch badText = sample();
        badText.name = bad;
        EXPECT_EQ(code(badText), ArchiveError::Code::writeInvalid) << testing::PrintToString(bad);
        badText = sample();
        badText.child->name = bad;
        EXPECT_EQ(code(badText), ArchiveError::Code::writeInvalid) << testing::PrintToString(bad);
    }
    for (const std::string& good :
         std::vector<std::string>{"\x7F", "\xC2\x80", "\xDF\xBF", "\xE0\xA0\x80", "\xED\x9F\xBF", "\xEE\x80\x80",
                                  "\xEF\xBF\xBF", "\xF0\x90\x80\x80", "\xF4\x8F\xBF\xBF", std::string("a\0b", 3)}) {
        Swatch text = sample();
        text.name = good;
        EXPECT_EQ(unarchivedObject<Swatch>(archivedData(text)), text) << testing::PrintToString(good);
    }
    Swatch deep{"leaf"};
    for (std::size_t i = 0; i < maxPlistDepth() + 1; ++i) {
        Swatch parent{"node"};
        parent.child = std::make_shared<Swatch>(std::move(deep));
        deep = std::move(parent);
    }
    EXPECT_EQ(code(deep), ArchiveError::Code::writeInvalid);
    try {
        (void)archivedData(Reserved{});
        ADD_FAILURE() << "a reserved key was written";
    } catch (const ArchiveError& error) {
        EXPECT_EQ(error.code(), ArchiveError::Code::writeInvalid);
    }
}
