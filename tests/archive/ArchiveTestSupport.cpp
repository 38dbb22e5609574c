#include "archive/ArchiveTestSupport.h"

#include <gtest/gtest.h>

namespace archivetest {

namespace {

// Widths above 8 bytes (hostile trailers) are padded with leading zeros.
void appendBigEndian(Bytes& out, std::uint64_t value, std::size_t size) {
    for (std::size_t i = size; i-- > 0;) out.push_back(i >= 8 ? 0 : std::uint8_t(value >> (8 * i)));
}

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
