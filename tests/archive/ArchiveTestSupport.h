#pragma once

// Shared by the archive suites: hand-made binary property lists, and
// Python's plistlib as the independent reader and writer.

#include "support/TestSupport.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace archivetest {

using Bytes = std::vector<std::uint8_t>;

// A binary property list laid out by hand: the objects' bytes in order, an
// offset table of `offsetSize`-byte entries and the trailer. `trailer`
// fields left at their defaults are filled in truthfully.
struct Crafted {
    std::vector<Bytes> objects{};
    std::uint64_t top = 0;
    std::uint8_t offsetSize = 1;
    std::uint8_t refSize = 1;
    std::optional<std::uint64_t> count{};       // defaults to objects.size()
    std::optional<std::uint64_t> tableOffset{}; // defaults to the real one
    std::vector<std::uint64_t> offsetOverrides{}; // replaces the first offsets

    Bytes bytes() const;
};

// Appends `value` as `size` bytes, big-endian; widths above 8 bytes (for
// hostile trailers) are padded with leading zeros.
void appendBigEndian(Bytes& out, std::uint64_t value, std::size_t size);

// `arrays` arrays laid over one another four bytes apart, each at an offset
// of its own, so sharing by offset never applies. Array k claims
// `claimed` + k two-byte references: the headers of the arrays after it
// ("AF 11" and a count, as references 0xAF11 and that count) and the zeros
// after them. Nested, the count in each header refers to that array, so
// each array holds the ones after it; side by side, the counts refer to a
// Boolean and a top array holds every array. Read element by element they
// come to over `arrays` times `claimed` elements from a file of about
// 5 * claimed + 11 * arrays bytes. `claimed` must lie above 0xAF11.
Bytes overlappingArrays(std::uint16_t arrays, std::uint16_t claimed, bool nested);

// plist_tool.py's dump of a file: the property list as JSON with UIDs,
// data and dates tagged ({"UID": n}, {"data": hex}, {"date": seconds}).
nlohmann::json pythonDump(const Bytes& plist);

// The sample property list `name` of plist_tool.py, written by plistlib.
Bytes pythonSample(const std::string& name);

} // namespace archivetest
