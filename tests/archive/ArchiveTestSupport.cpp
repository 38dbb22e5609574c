#include "archive/ArchiveTestSupport.h"

#include <gtest/gtest.h>

namespace archivetest {

void appendBigEndian(Bytes& out, std::uint64_t value, std::size_t size) {
    for (std::size_t i = size; i-- > 0;) out.push_back(i >= 8 ? 0 : std::uint8_t(value >> (8 * i)));
}

namespace {

std::string tool() { return (testsupport::sourceDir() / "tests/archive/plist_tool.py").string(); }

} // namespace

Bytes Crafted::bytes() const {
    Bytes out{'b', 'p', 'l', 'i', 's', 't', '0', '0'};
    std::vector<std::uint64_t> offsets;
    for (const auto& object : objects) {
        offsets.push_back(out.size());
        out.insert(out.end(), object.begin(), object.end());
    }
    for (std::size_t i = 0; i < offsetOverrides.size() && i < offsets.size(); ++i) offsets[i] = offsetOverrides[i];
    const std::uint64_t table = out.size();
    for (auto offset : offsets) appendBigEndian(out, offset, offsetSize);
    out.insert(out.end(), 6, 0);
    out.push_back(offsetSize);
    out.push_back(refSize);
    appendBigEndian(out, count.value_or(objects.size()), 8);
    appendBigEndian(out, top, 8);
    appendBigEndian(out, tableOffset.value_or(table), 8);
    return out;
}

Bytes overlappingArrays(std::uint16_t arrays, std::uint16_t claimed, bool nested) {
    // Table entries: 0 true, 1 to `arrays` the arrays, `claimed` + k array
    // k (nested) or true, the last the top array; every other entry (0xAF11
    // among them) true.
    const std::size_t count = std::size_t(claimed) + arrays + 1;
    std::vector<std::uint64_t> offsets(count, 8);
    Bytes objects{0x09};
    for (std::size_t k = 0; k < arrays; ++k) {
        offsets[1 + k] = 8 + objects.size();
        if (nested) offsets[claimed + k] = offsets[1 + k];
        objects.insert(objects.end(), {0xAF, 0x11});
        appendBigEndian(objects, claimed + k, 2);
    }
    // Zeros, references to true, for the last array's references to end in.
    objects.resize(objects.size() + 2 * (std::size_t(claimed) + arrays), 0);
    offsets[count - 1] = 8 + objects.size();
    objects.insert(objects.end(), {0xAF, 0x11});
    appendBigEndian(objects, arrays, 2);
    for (std::size_t k = 1; k <= arrays; ++k) appendBigEndian(objects, k, 2);
    Crafted crafted{.objects = {std::move(objects)},
                    .top = nested ? 1 : count - 1,
                    .offsetSize = 3,
                    .refSize = 2,
                    .offsetOverrides = std::move(offsets)};
    crafted.objects.resize(count); // the rest are table entries only
    return crafted.bytes();
}

nlohmann::json pythonDump(const Bytes& plist) {
    testsupport::TempDir dir;
    testsupport::writeFile(dir / "in.plist", plist);
    std::string output;
    const int status =
        testsupport::runCommand("/usr/bin/python3 '" + tool() + "' dump '" + (dir / "in.plist").string() + "'", &output);
    EXPECT_EQ(status, 0) << output;
    return nlohmann::json::parse(output, nullptr, false);
}

Bytes pythonSample(const std::string& name) {
    testsupport::TempDir dir;
    const auto file = dir / "out.plist";
    std::string output;
    const int status =
        testsupport::runCommand("/usr/bin/python3 '" + tool() + "' write " + name + " '" + file.string() + "'", &output);
    EXPECT_EQ(status, 0) << output;
    return testsupport::readFile(file);
}

} // namespace archivetest
