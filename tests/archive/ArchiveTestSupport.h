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

// plist_tool.py's dump of a file: the property list as JSON with UIDs,
// data and dates tagged ({"UID": n}, {"data": hex}, {"date": seconds}).
nlohmann::json pythonDump(const Bytes& plist);

// The sample property list `name` of plist_tool.py, written by plistlib.
Bytes pythonSample(const std::string& name);

} // namespace archivetest
