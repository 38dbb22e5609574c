#include "platform/archive/BinaryPropertyList.h"

#include "archive/ArchiveTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace archive;
using archivetest::Bytes;
using archivetest::Crafted;

namespace {

PlistObject sampleTree() {
    PlistArray many;
    for (int i = 0; i < 300; ++i) many.emplace_back(i);
    return PlistObject(PlistDictionary{
        {"bool", PlistObject(true)},
        {"no", PlistObject(false)},
        {"small", PlistObject(7)},
        {"byte", PlistObject(200)},
        {"short", PlistObject(40000)},
        {"int", PlistObject(std::int64_t(3000000000))},
        {"negative", PlistObject(-5)},
        {"big", PlistObject(std::uint64_t(1) << 63 | 5)},
        {"real", PlistObject(0.25)},
        {"date", PlistObject(PlistDate{611409600})},
        {"data", PlistObject(PlistBytes{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19})},
        {"ascii", PlistObject("plain text that is longer than fifteen")},
        {"unicode", PlistObject("gr\u00fc\u00dfe \u2603 \U0001F600")},
        {"empty", PlistObject("")},
        {"array", PlistObject(std::move(many))},
        {"nested", PlistObject(PlistDictionary{
                       {"inner", PlistObject(PlistArray{
                                     PlistObject(PlistArray{}), PlistObject(PlistDictionary{}),
                                     PlistObject(PlistArray{PlistObject(1),
                                                            PlistObject(PlistArray{PlistObject(2),
                                                                                   PlistObject(PlistArray{
                                                                                       PlistObject(3)})})})})}})},
    });
}

// `depth` arrays, each holding the next; the innermost is empty.
PlistObject nestedArrays(std::size_t depth) {
    PlistObject inner{PlistArray{}};
    for (std::size_t i = 1; i < depth; ++i) inner = PlistObject(PlistArray{inner});
    return inner;
}

Bytes marker(std::uint8_t kind, std::vector<std::uint8_t> rest = {}) {
    rest.insert(rest.begin(), kind);
    return rest;
}

void appendBE32(Bytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(std::uint8_t(value >> shift));
}

// An array of `dictionaries` one-entry dictionaries whose one key, a string
// of `keySize` bytes, is a single object of the file.
Crafted sharedKey(std::uint32_t dictionaries, std::uint32_t keySize) {
    Crafted c{.offsetSize = 4, .refSize = 4};
    Bytes top{0xAF, 0x12};
    appendBE32(top, dictionaries);
    for (std::uint32_t i = 0; i < dictionaries; ++i) appendBE32(top, 3 + i);
    Bytes key{0x5F, 0x12};
    appendBE32(key, keySize);
    key.resize(key.size() + keySize, 'k');
    Bytes dictionary{0xD1};
    appendBE32(dictionary, 1);
    appendBE32(dictionary, 2);
    c.objects = {top, key, Bytes{0x09}};
    c.objects.insert(c.objects.end(), dictionaries, dictionary);
    return c;
}

// `dictionaries` dictionaries of `entries` entries, one after another: the
// keys of each are the strings k1, k2 and on, and its values are the bytes
// of the next dictionary (its header and keys, read as references that all
// name true). A top array holds them all.
Bytes stackedDictionaries(std::size_t dictionaries, std::uint8_t entries) {
    // Entries from `first` on are the dictionaries, the last the top array;
    // every other entry (0xDF10, the references "DF 10" makes, among them) true.
    constexpr std::size_t first = 30000, count = 0xDF12;
    std::vector<std::uint64_t> offsets(count, 8);
    Bytes objects{0x09};
    for (std::size_t i = 1; i <= entries; ++i) {
        offsets[i] = 8 + objects.size();
        const std::string key = "k" + std::to_string(i);
        objects.push_back(std::uint8_t(0x50 | key.size()));
        objects.insert(objects.end(), key.begin(), key.end());
    }
    for (std::size_t d = 0; d < dictionaries; ++d) {
        offsets[first + d] = 8 + objects.size();
        objects.insert(objects.end(), {0xDF, 0x10, entries});
        for (std::size_t i = 1; i <= entries; ++i) archivetest::appendBigEndian(objects, i, 2);
    }
    // Zeros, references to true, for the last dictionary's values.
    objects.resize(objects.size() + 2 * std::size_t(entries), 0);
    offsets[count - 1] = 8 + objects.size();
    objects.insert(objects.end(), {0xAF, 0x11});
    archivetest::appendBigEndian(objects, dictionaries, 2);
    for (std::size_t d = 0; d < dictionaries; ++d) archivetest::appendBigEndian(objects, first + d, 2);
    Crafted crafted{.objects = {std::move(objects)},
                    .top = count - 1,
                    .offsetSize = 3,
                    .refSize = 2,
                    .offsetOverrides = std::move(offsets)};
    crafted.objects.resize(count); // the rest are table entries only
    return crafted.bytes();
}

// `levels` arrays, each holding the next twice; the innermost holds `leaf`.
PlistObject diamond(std::size_t levels, const PlistObject& leaf) {
    PlistObject inner{PlistArray{leaf}};
    for (std::size_t i = 1; i < levels; ++i) inner = PlistObject(PlistArray{inner, inner});
    return inner;
}

void expectRefused(const Bytes& bytes, const std::string& what) {
    try {
        (void)readBinaryPropertyList(bytes);
        ADD_FAILURE() << what << ": read without an error";
    } catch (const FormatError& error) {
        EXPECT_EQ(std::string(error.what()).find('\n'), std::string::npos) << what;
    }
}

} // namespace

TEST(BinaryPropertyList, EveryKindRoundTripsAndPythonReadsWhatWeWrite) {
    const PlistObject tree = sampleTree();
    const Bytes bytes = writeBinaryPropertyList(tree);
    ASSERT_GE(bytes.size(), 8u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 8), "bplist00");
    EXPECT_EQ(readBinaryPropertyList(bytes), tree);

    // plistlib reads our bytes as the same values; the sample it writes
    // itself has the same content.
    const auto dumped = archivetest::pythonDump(bytes);
    ASSERT_TRUE(dumped.is_object()) << dumped;
    EXPECT_EQ(dumped["big"], (std::uint64_t(1) << 63) + 5);
    EXPECT_EQ(dumped["negative"], -5);
    EXPECT_EQ(dumped["unicode"], "gr\u00fc\u00dfe \u2603 \U0001F600");
    EXPECT_EQ(dumped["data"]["data"], "000102030405060708090a0b0c0d0e0f10111213");
    EXPECT_EQ(dumped["date"]["date"], 611409600.0);
    EXPECT_EQ(dumped["array"].size(), 300u);
    EXPECT_EQ(dumped["array"][299], 299);
    EXPECT_EQ(dumped["nested"]["inner"][2][1][1][0], 3);
    EXPECT_EQ(dumped, archivetest::pythonDump(archivetest::pythonSample("kinds")));
}

TEST(BinaryPropertyList, WhatPythonWritesReadsBack) {
    const PlistObject read = readBinaryPropertyList(archivetest::pythonSample("kinds"));
    EXPECT_EQ(read, sampleTree());
    // Python writes 2^63 + 5 as a 16-byte integer.
    ASSERT_TRUE(read.asDictionary());
    EXPECT_EQ(read.asDictionary()->at("big").kind(), PlistObject::Kind::Unsigned);
}

TEST(BinaryPropertyList, SharedObjectsAreWrittenOnceAndStayShared) {
    // Sixty levels of [x, x]: 2^60 elements as a tree, 61 objects as a file.
    PlistObject shared("leaf");
    for (int i = 0; i < 60; ++i) shared = PlistObject(PlistArray{shared, shared});
    const Bytes bytes = writeBinaryPropertyList(shared);
    EXPECT_LT(bytes.size(), 500u);
    const PlistObject read = readBinaryPropertyList(bytes);
    ASSERT_TRUE(read.asArray());
    EXPECT_EQ(read.asArray()->at(0).identity(), read.asArray()->at(1).identity());
    // Written again, it is as small: the reader kept the sharing.
    EXPECT_EQ(writeBinaryPropertyList(read).size(), bytes.size());
}

TEST(BinaryPropertyList, WhatReadingMakesIsBoundedByTheInput) {
    // 60,000 offset table entries that all give one 64 KB data object's
    // offset: one object, shared, rather than 3.9 GB of copies.
    constexpr std::uint32_t entries = 60000;
    Crafted everywhere{.offsetSize = 4, .refSize = 4};
    Bytes top{0xAF, 0x12};
    appendBE32(top, entries - 1);
    for (std::uint32_t i = 1; i < entries; ++i) appendBE32(top, i);
    Bytes data{0x4F, 0x12};
    appendBE32(data, 1 << 16);
    data.resize(data.size() + (1 << 16), 0xAB);
    everywhere.objects = {top, data};
    everywhere.objects.resize(entries); // the rest are table entries only
    everywhere.offsetOverrides.assign(entries, 8 + top.size());
    everywhere.offsetOverrides[0] = 8;
    const std::size_t before = testsupport::peakResidentBytes();
    const PlistObject read = readBinaryPropertyList(everywhere.bytes());
    ASSERT_TRUE(read.asArray());
    ASSERT_EQ(read.asArray()->size(), entries - 1);
    for (const auto& element : *read.asArray()) ASSERT_EQ(element.identity(), read.asArray()->front().identity());
    EXPECT_EQ(read.asArray()->front().asData()->size(), 1u << 16);
    EXPECT_LT(testsupport::peakResidentBytes() - before, std::size_t(64) << 20);

    // Dictionary keys are copies wherever they are used: 4,000 dictionaries
    // sharing one 1 MB key would make 4 GB of them from a 1 MB file.
    const Bytes keyEverywhere = sharedKey(4000, 1 << 20).bytes();
    expectRefused(keyEverywhere, "one 1 MB key in 4,000 dictionaries");
    try {
        (void)readBinaryPropertyList(keyEverywhere);
    } catch (const FormatError& error) {
        EXPECT_NE(std::string(error.what()).find("too often"), std::string::npos) << error.what();
    }
    EXPECT_LT(testsupport::peakResidentBytes() - before, std::size_t(64) << 20);
    // Sharing within the bound reads: fifty dictionaries sharing a 10 KB key.
    const PlistObject fifty = readBinaryPropertyList(sharedKey(50, 10000).bytes());
    ASSERT_TRUE(fifty.asArray());
    ASSERT_EQ(fifty.asArray()->size(), 50u);
    EXPECT_EQ(fifty.asArray()->back().asDictionary()->begin()->first, std::string(10000, 'k'));
}

TEST(BinaryPropertyList, ContainersLaidOverOneAnotherAreRefusedAndSideBySideOnesRead) {
    const std::size_t before = testsupport::peakResidentBytes();
    // 3,000 arrays, each claiming the 50,000 and more references after its
    // header: 155 million elements, 2.5 GB of them, from under 300 KB.
    const Bytes sideBySide = archivetest::overlappingArrays(3000, 50000, false);
    EXPECT_LT(sideBySide.size(), 300000u);
    expectRefused(sideBySide, "3,000 arrays laid over one another");
    try {
        (void)readBinaryPropertyList(sideBySide);
    } catch (const FormatError& error) {
        EXPECT_NE(std::string(error.what()).find("containers"), std::string::npos) << error.what();
    }
    // Nested within the depth limit, each holding the arrays after it.
    expectRefused(archivetest::overlappingArrays(400, 50000, true), "400 nested arrays laid over one another");
    // A dictionary's keys and values both count: these hold the next
    // dictionary's bytes as their values.
    expectRefused(stackedDictionaries(200, 100), "dictionaries whose values are the next one's bytes");
    EXPECT_LT(testsupport::peakResidentBytes() - before, std::size_t(64) << 20);

    // One of each, overlapping nothing, reads.
    const PlistObject array = readBinaryPropertyList(archivetest::overlappingArrays(1, 50000, false));
    ASSERT_TRUE(array.asArray() && array.asArray()->size() == 1);
    ASSERT_TRUE(array.asArray()->front().asArray());
    EXPECT_EQ(array.asArray()->front().asArray()->size(), 50000u);
    const PlistObject dictionary = readBinaryPropertyList(stackedDictionaries(1, 100));
    ASSERT_TRUE(dictionary.asArray() && dictionary.asArray()->size() == 1);
    ASSERT_TRUE(dictionary.asArray()->front().asDictionary());
    EXPECT_EQ(dictionary.asArray()->front().asDictionary()->size(), 100u);
    EXPECT_EQ(dictionary.asArray()->front().asDictionary()->at("k100"), PlistObject(true));

    // What a writer makes reads however many elements share one child:
    // 2,000 arrays of 500 references to one data object, and 2,000
    // dictionaries whose 100 keys all name one array.
    const PlistObject shared(PlistBytes(100, 7));
    PlistArray rows;
    for (int i = 0; i < 2000; ++i) rows.emplace_back(PlistArray(500, shared));
    PlistDictionary fields;
    for (int i = 0; i < 100; ++i) fields.emplace("field " + std::to_string(i), rows.front());
    PlistArray maps;
    for (int i = 0; i < 2000; ++i) maps.emplace_back(fields);
    const PlistObject tree(
        PlistDictionary{{"rows", PlistObject(std::move(rows))}, {"maps", PlistObject(std::move(maps))}});
    EXPECT_EQ(readBinaryPropertyList(writeBinaryPropertyList(tree)), tree);
}

TEST(BinaryPropertyList, ComparingWalksSharedStructureOnce) {
    // Two diamonds of 500 levels built apart: 2^500 paths each, 500 pairs
    // of levels to compare.
    const PlistObject a = diamond(500, PlistObject("leaf")), b = diamond(500, PlistObject("leaf"));
    ASSERT_NE(a.identity(), b.identity());
    EXPECT_EQ(a, b);
    EXPECT_FALSE(a == diamond(500, PlistObject("other leaf")));
    EXPECT_FALSE(a == diamond(499, PlistObject("leaf")));
    // Side by side in one file, read back, and compared there.
    const PlistObject read =
        readBinaryPropertyList(writeBinaryPropertyList(PlistObject(PlistArray{a, diamond(500, PlistObject("leaf"))})));
    ASSERT_TRUE(read.asArray());
    ASSERT_NE(read.asArray()->at(0).identity(), read.asArray()->at(1).identity());
    EXPECT_EQ(read.asArray()->at(0), read.asArray()->at(1));
    EXPECT_EQ(read.asArray()->at(0), a);
    // Dictionaries compare by keys and values, shared or not.
    const PlistObject left(PlistDictionary{{"x", a}, {"y", a}});
    EXPECT_EQ(left, PlistObject(PlistDictionary{{"x", b}, {"y", a}}));
    EXPECT_FALSE(left == PlistObject(PlistDictionary{{"x", b}, {"z", a}}));
    EXPECT_FALSE(left == PlistObject(PlistDictionary{{"x", b}, {"y", diamond(500, PlistObject(1))}}));
}

TEST(BinaryPropertyList, NestingIsLimitedWhenWritingAndReading) {
    const std::size_t limit = maxPlistDepth();
    EXPECT_EQ(readBinaryPropertyList(writeBinaryPropertyList(nestedArrays(limit))), nestedArrays(limit));
    EXPECT_THROW(writeBinaryPropertyList(nestedArrays(limit + 1)), FormatError);
    EXPECT_THROW(writeBinaryPropertyList(nestedArrays(2 * limit)), FormatError);
    // A chain shared at two depths is as deep as its deeper use, though
    // written where it is first met.
    const PlistObject sharedChain = nestedArrays(limit - 2);
    EXPECT_NO_THROW(writeBinaryPropertyList(PlistObject(PlistArray{sharedChain, PlistObject(PlistArray{sharedChain})})));
    EXPECT_THROW(writeBinaryPropertyList(
                     PlistObject(PlistArray{sharedChain, PlistObject(PlistArray{PlistObject(PlistArray{sharedChain})})})),
                 FormatError);

    // Files laid out by hand: `arrays` arrays, each holding the next.
    auto chain = [](std::size_t arrays) {
        Crafted c{.offsetSize = 2, .refSize = 2};
        for (std::size_t i = 1; i < arrays; ++i) c.objects.push_back(Bytes{0xA1, std::uint8_t(i >> 8), std::uint8_t(i)});
        c.objects.push_back(marker(0xA0));
        return c;
    };
    EXPECT_EQ(readBinaryPropertyList(chain(limit).bytes()), nestedArrays(limit));
    expectRefused(chain(limit + 1).bytes(), "nested past the limit");

    // Sharing cannot smuggle depth in: object 0 holds object 2 (the head of
    // a chain) and object 1, which holds object 2 again, one level deeper.
    auto shared = [&](std::size_t arrays) {
        Crafted c = chain(arrays);
        c.objects[0] = Bytes{0xA2, 0, 2, 0, 1};
        c.objects[1] = Bytes{0xA1, 0, 2};
        return c;
    };
    EXPECT_NO_THROW(readBinaryPropertyList(shared(limit).bytes()));
    expectRefused(shared(limit + 1).bytes(), "a shared chain met one level deeper");
}

TEST(BinaryPropertyList, HostileFilesAreRefusedWithAnError) {
    const Bytes valid = writeBinaryPropertyList(sampleTree());

    // A billion-element array claimed by a 30-byte file, and by one just
    // long enough to have a trailer.
    Bytes thirty{'b', 'p', 'l', 'i', 's', 't', '0', '0', 0xAF, 0x12, 0x3B, 0x9A, 0xCA, 0x00};
    thirty.resize(30, 0);
    expectRefused(thirty, "a billion elements in 30 bytes");
    expectRefused(Crafted{.objects = {Bytes{0xAF, 0x12, 0x3B, 0x9A, 0xCA, 0x00}}}.bytes(), "a billion elements");
    expectRefused(Crafted{.objects = {Bytes{0x4F, 0x13, 0, 0, 0, 0, 0x3B, 0x9A, 0xCA, 0x00}}}.bytes(), "a billion bytes");
    expectRefused(Crafted{.objects = {Bytes{0xDF, 0x13, 0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}}}.bytes(),
                  "a dictionary count near 2^63");
    expectRefused(Crafted{.objects = {Bytes{0x6F, 0x13, 0x80, 0, 0, 0, 0, 0, 0, 1}}}.bytes(), "a UTF-16 count near 2^63");

    // References and offsets outside the file.
    expectRefused(Crafted{.objects = {Bytes{0xA1, 5}}}.bytes(), "an element reference past the table");
    expectRefused(Crafted{.objects = {Bytes{0x09}}, .top = 3}.bytes(), "a top object past the table");
    expectRefused(Crafted{.objects = {Bytes{0x09}}, .offsetOverrides = {200}}.bytes(), "an object offset past the end");
    expectRefused(Crafted{.objects = {Bytes{0x09}}, .offsetOverrides = {2}}.bytes(), "an object offset inside the header");
    expectRefused(Crafted{.objects = {Bytes{0x09}}, .tableOffset = 4000}.bytes(), "an offset table past the end");
    expectRefused(Crafted{.objects = {Bytes{0x09}}, .count = 1u << 30}.bytes(), "more objects than the table holds");
    expectRefused(Crafted{.objects = {Bytes{0x09}}, .count = 0}.bytes(), "no objects");
    expectRefused(Crafted{.objects = {Bytes{0x13, 0, 0}}}.bytes(), "an integer running into the offset table");
    expectRefused(Crafted{.objects = {Bytes{0xA3, 0}}}.bytes(), "an array running into the offset table");

    // Odd widths in the trailer.
    for (std::uint8_t width : {0, 9, 16, 255}) {
        expectRefused(Crafted{.objects = {Bytes{0x09}}, .offsetSize = width}.bytes(), "offset width " + std::to_string(width));
        expectRefused(Crafted{.objects = {Bytes{0x09}}, .refSize = width}.bytes(), "reference width " + std::to_string(width));
    }
    // Three-byte offsets are unusual but well-formed.
    EXPECT_EQ(readBinaryPropertyList(Crafted{.objects = {Bytes{0x09}}, .offsetSize = 3}.bytes()), PlistObject(true));

    // Containers that contain themselves, directly or through another, and
    // one whose references overlap its own marker.
    expectRefused(Crafted{.objects = {Bytes{0xA1, 0}}}.bytes(), "an array holding itself");
    expectRefused(Crafted{.objects = {Bytes{0xA1, 1}, Bytes{0xA1, 0}}}.bytes(), "two arrays holding each other");
    expectRefused(Crafted{.objects = {Bytes{0x51, 'k'}, Bytes{0xD1, 0, 1}}, .top = 1}.bytes(), "a dictionary holding itself");
    expectRefused(Crafted{.objects = {Bytes{0xA1, 1}, Bytes{0x09}}, .offsetOverrides = {8, 8}}.bytes(),
                  "two table entries at one offset, the array holding itself through the second");

    // Kinds and contents a keyed archive never holds.
    expectRefused(Crafted{.objects = {Bytes{0x00}}}.bytes(), "null");
    expectRefused(Crafted{.objects = {Bytes{0xC1, 1}, Bytes{0x09}}}.bytes(), "a set");
    expectRefused(Crafted{.objects = {Bytes{0x70}}}.bytes(), "an unknown marker");
    expectRefused(Crafted{.objects = {Bytes{0x15, 0}}}.bytes(), "a 32-byte integer");
    expectRefused(Crafted{.objects = {Bytes{0x21, 0, 0}}}.bytes(), "a 2-byte real");
    expectRefused(Crafted{.objects = {Bytes{0x51, 0xE9}}}.bytes(), "a byte above 127 in an ASCII string");
    expectRefused(Crafted{.objects = {Bytes{0x61, 0xD8, 0x3D}}}.bytes(), "an unpaired surrogate");
    expectRefused(Crafted{.objects = {Bytes{0xD1, 1, 1}, Bytes{0x10, 1}}}.bytes(), "a key that is not a string");
    expectRefused(Crafted{.objects = {Bytes{0xD2, 1, 1, 2, 2}, Bytes{0x51, 'k'}, Bytes{0x09}}}.bytes(), "a key given twice");
    expectRefused(Bytes{'b', 'p', 'l', 'i', 's', 't', '0', '1'}, "another version");

    // Every truncation of a valid file, and a wrong header.
    for (std::size_t size = 0; size < valid.size(); ++size)
        expectRefused(Bytes(valid.begin(), valid.begin() + std::ptrdiff_t(size)), "truncated to " + std::to_string(size));
    Bytes header = valid;
    header[7] = '1';
    expectRefused(header, "bplist01");
}

TEST(BinaryPropertyList, EveryDamagedByteReadsOrIsRefused) {
    // Under the sanitizers this walks every path of the reader with a
    // damaged value: it must read something or throw, never anything else.
    const Bytes valid = writeBinaryPropertyList(sampleTree());
    for (std::size_t i = 0; i < valid.size(); ++i) {
        for (std::uint8_t flip : {0x01, 0x10, 0x80, 0xFF}) {
            Bytes damaged = valid;
            damaged[i] ^= flip;
            try {
                (void)readBinaryPropertyList(damaged);
            } catch (const FormatError&) {
            }
        }
    }
}

TEST(BinaryPropertyList, TextThatIsNotUTF8IsNotWritten) {
    for (std::string bad : {"\xC3", "\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "ab\xFF"})
        EXPECT_THROW(writeBinaryPropertyList(PlistObject(PlistArray{PlistObject(bad)})), FormatError) << bad;
    // Keys too.
    EXPECT_THROW(writeBinaryPropertyList(PlistObject(PlistDictionary{{"\xFF", PlistObject(1)}})), FormatError);
}

TEST(BinaryPropertyList, NumbersKeepTheirValues) {
    for (std::int64_t v : {std::int64_t(0), std::int64_t(255), std::int64_t(256), std::int64_t(65535),
                           std::int64_t(65536), std::int64_t(4294967295), std::int64_t(4294967296), std::int64_t(-1),
                           std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max()})
        EXPECT_EQ(readBinaryPropertyList(writeBinaryPropertyList(PlistObject(v))).asInteger(), v) << v;
    const auto max = readBinaryPropertyList(writeBinaryPropertyList(PlistObject(~std::uint64_t(0))));
    ASSERT_EQ(max.kind(), PlistObject::Kind::Unsigned);
    EXPECT_EQ(std::get<std::uint64_t>(max.storage()), ~std::uint64_t(0));
    const auto nan = readBinaryPropertyList(writeBinaryPropertyList(PlistObject(std::nan(""))));
    ASSERT_TRUE(nan.asReal());
    EXPECT_TRUE(std::isnan(*nan.asReal()));
    // A four-byte real reads as the same number.
    EXPECT_EQ(*readBinaryPropertyList(Crafted{.objects = {Bytes{0x22, 0x3E, 0x80, 0, 0}}}.bytes()).asReal(), 0.25);
}
