// Every bound of the property-list reader, met exactly and missed by one:
// what lies just inside is read, what reaches one byte or one entry
// further is refused. Under the sanitizers a check that lets one byte too
// many through shows as a read past the input.

#include "platform/archive/BinaryPropertyList.h"

#include "archive/ArchiveTestSupport.h"

#include <gtest/gtest.h>

#include <optional>

using namespace archive;
using archivetest::Bytes;
using archivetest::Crafted;

namespace {

// The property list the bytes hold, or nothing when the reader refuses them.
std::optional<PlistObject> readOrRefuse(const Bytes& bytes) {
    try {
        return readBinaryPropertyList(bytes);
    } catch (const FormatError&) {
        return std::nullopt;
    }
}

// The strings "a", "b" and "c", then `booleans` Booleans, then the object
// `last` (on top), right before the offset table.
Crafted stringsBooleansAndLast(std::size_t booleans, Bytes last) {
    Crafted c;
    for (char key : {'a', 'b', 'c'}) c.objects.push_back(Bytes{0x51, std::uint8_t(key)});
    for (std::size_t i = 0; i < booleans; ++i) c.objects.push_back(Bytes{std::uint8_t(i % 2 ? 0x08 : 0x09)});
    c.objects.push_back(std::move(last));
    c.top = c.objects.size() - 1;
    return c;
}

// An array of four references (at 9 to 12) with a second array inside
// them at 10, whose marker (0xA1 or 0xA2, a reference to true for the
// first) says how many of the references after it are its own. One claims
// exactly the bytes the objects span, two one more.
Bytes arrayInsideAnArray(std::uint8_t innerMarker) {
    Crafted c{.objects = {Bytes{0xA4, 1, innerMarker, 2, 0x09}}, .offsetOverrides = {8, 10}};
    c.objects.resize(0xA3); // the rest are table entries only, all naming true
    c.offsetOverrides.resize(c.objects.size(), 12);
    return c.bytes();
}

} // namespace

TEST(PropertyListLimits, WhatEndsExactlyAtABoundIsReadAndOneFurtherIsRefused) {
    const PlistObject yes(true), no(false);
    const auto abc = [&](PlistObject a, PlistObject b, PlistObject c) {
        return PlistObject(PlistDictionary{{"a", std::move(a)}, {"b", std::move(b)}, {"c", std::move(c)}});
    };
    const struct {
        const char* what;
        Bytes bytes;
        std::optional<PlistObject> read; // nothing: refused
    } cases[] = {
        // The trailer: the shortest file, and the widths it gives.
        {"the shortest file: header, one object, its offset, the trailer", Crafted{.objects = {Bytes{0x09}}}.bytes(),
         yes},
        {"one byte short of it",
         [] {
             Bytes b = Crafted{.objects = {Bytes{0x09}}}.bytes();
             b.erase(b.begin() + 8);
             return b;
         }(),
         std::nullopt},
        {"8-byte offsets", Crafted{.objects = {Bytes{0x09}}, .offsetSize = 8}.bytes(), yes},
        {"9-byte offsets", Crafted{.objects = {Bytes{0x09}}, .offsetSize = 9}.bytes(), std::nullopt},
        {"8-byte references",
         Crafted{.objects = {Bytes{0xA1, 0, 0, 0, 0, 0, 0, 0, 1}, Bytes{0x09}}, .refSize = 8}.bytes(),
         PlistObject(PlistArray{yes})},
        {"9-byte references",
         Crafted{.objects = {Bytes{0xA1, 0, 0, 0, 0, 0, 0, 0, 0, 1}, Bytes{0x09}}, .refSize = 9}.bytes(), std::nullopt},
        // The object count fills the table up to the trailer, or one more.
        {"a count that fills the table", Crafted{.objects = {Bytes{0x09}, Bytes{0x08}}, .count = 2}.bytes(), yes},
        {"a count one past the table", Crafted{.objects = {Bytes{0x09}, Bytes{0x08}}, .count = 3}.bytes(),
         std::nullopt},
        {"the table starting right after the header's object",
         Crafted{.objects = {Bytes{0x09}}, .tableOffset = 9}.bytes(), yes},
        {"the table starting on the header", Crafted{.objects = {Bytes{0x09}}, .tableOffset = 8}.bytes(), std::nullopt},
        // The top object is the last of the table, or one past it.
        {"the last object on top", Crafted{.objects = {Bytes{0x09}, Bytes{0x08}}, .top = 1}.bytes(), no},
        {"one past the last on top", Crafted{.objects = {Bytes{0x09}, Bytes{0x08}}, .top = 2}.bytes(), std::nullopt},
        // Offsets: the first byte after the header and the last before the
        // table, or one further out.
        // (The table's first byte, 8, would read as false.)
        {"an object at the last byte before the table",
         Crafted{.objects = {Bytes{0x09}, Bytes{0x09}}, .top = 1, .offsetOverrides = {8, 9}}.bytes(), yes},
        {"an object at the table",
         Crafted{.objects = {Bytes{0x09}, Bytes{0x09}}, .top = 1, .offsetOverrides = {8, 10}}.bytes(), std::nullopt},
        {"an object in the header", Crafted{.objects = {Bytes{0x09}}, .offsetOverrides = {7}}.bytes(), std::nullopt},
        // References: the last object of the table, or one past it.
        {"a reference to the last object", Crafted{.objects = {Bytes{0xA1, 1}, Bytes{0x09}}}.bytes(),
         PlistObject(PlistArray{yes})},
        {"a reference one past the last", Crafted{.objects = {Bytes{0xA1, 2}, Bytes{0x09}}}.bytes(), std::nullopt},
        // Objects whose bytes end right at the table, or one byte into it.
        {"an integer up to the table", Crafted{.objects = {Bytes{0x11, 1, 2}}}.bytes(), PlistObject(258)},
        {"an integer one byte into the table", Crafted{.objects = {Bytes{0x12, 1, 2, 3}}}.bytes(), std::nullopt},
        {"text up to the table", Crafted{.objects = {Bytes{0x53, 'a', 'b', 'c'}}}.bytes(), PlistObject("abc")},
        {"text one byte into the table", Crafted{.objects = {Bytes{0x54, 'a', 'b', 'c'}}}.bytes(), std::nullopt},
        {"a long count up to the table", Crafted{.objects = {Bytes{0x4F, 0x10, 2, 7, 8}}}.bytes(),
         PlistObject(PlistBytes{7, 8})},
        {"a long count's integer one byte into the table", Crafted{.objects = {Bytes{0x4F, 0x11, 0}}}.bytes(),
         std::nullopt},
        {"UTF-16 up to the table", Crafted{.objects = {Bytes{0x61, 0x00, 0xE9}}}.bytes(), PlistObject("\u00e9")},
        {"UTF-16 one unit into the table", Crafted{.objects = {Bytes{0x62, 0x00, 0xE9}}}.bytes(), std::nullopt},
        // Containers with nine objects before them: past the table, its
        // first entry (8) would read as a good reference. A dictionary's
        // keys come first, then its values: the values must end before the
        // table too.
        {"array references up to the table", stringsBooleansAndLast(6, Bytes{0xA3, 3, 4, 5}).bytes(),
         PlistObject(PlistArray{yes, no, yes})},
        {"array references one into the table", stringsBooleansAndLast(6, Bytes{0xA3, 3, 4}).bytes(), std::nullopt},
        {"dictionary values up to the table", stringsBooleansAndLast(6, Bytes{0xD3, 0, 1, 2, 3, 4, 5}).bytes(),
         abc(yes, no, yes)},
        {"dictionary values one into the table", stringsBooleansAndLast(6, Bytes{0xD3, 0, 1, 2, 3, 4}).bytes(),
         std::nullopt},
        // Containers laid over one another may claim as many references as
        // the objects span, and not one more.
        {"arrays claiming every byte of the objects", arrayInsideAnArray(0xA1),
         PlistObject(PlistArray{PlistObject(PlistArray{yes}), yes, yes, yes})},
        {"arrays claiming one byte more", arrayInsideAnArray(0xA2), std::nullopt},
    };
    for (const auto& c : cases) {
        const auto read = readOrRefuse(c.bytes);
        ASSERT_EQ(read.has_value(), c.read.has_value()) << c.what;
        if (read) {
            EXPECT_EQ(*read, *c.read) << c.what;
        }
    }
}
