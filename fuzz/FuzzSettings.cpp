// A settings file as the user-defaults store finds it on disk, the same
// bytes as the JSON text the typed settings keys decode, and as the raw data
// a colour setting holds (a keyed archive in a binary property list).
#include "platform/archive/BinaryPropertyList.h"
#include "platform/defaults/UserDefaults.h"
#include "settings-store/Bridges.h"
#include "settings-store/JSONCoding.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <span>
#include <vector>
#include <unistd.h>

namespace {

// One folder per process, removed at exit.
struct Folder {
    std::filesystem::path path;
    Folder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tessivo-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data())) path = pattern;
    }
    ~Folder() {
        std::error_code ec;
        if (!path.empty()) std::filesystem::remove_all(path, ec);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Folder folder;
    // The store reports damaged files on standard output; keep runs quiet.
    static std::FILE* const quiet = std::freopen("/dev/null", "w", stdout);
    (void)quiet;
    if (folder.path.empty()) return 0;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path, ec))
        std::filesystem::remove(entry.path(), ec);
    {
        std::ofstream out(folder.path / "fuzz.json", std::ios::binary);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    {
        const auto suite = platform::UserDefaults::open("fuzz", folder.path);
        const auto values = suite->dictionaryRepresentation();
        if (!values.empty()) suite->setObject("copy", values.begin()->second);
        suite->setObject("fresh", platform::PropertyList(1));
    }
    try {
        (void)Defaults::jsonText(Defaults::parseJSON(std::string_view(reinterpret_cast<const char*>(data), size)));
    } catch (const Defaults::JSONDecodingError&) {
    } catch (const Defaults::JSONEncodingError&) {
    }
    const std::span<const std::uint8_t> bytes(data, size);
    // Never throws: a bridge reports what it cannot read and gives nothing.
    (void)Defaults::fromSerializable<Defaults::Color>(
        platform::PropertyList(platform::Data(std::vector<std::uint8_t>(bytes.begin(), bytes.end()))));
    try {
        // Whatever the reader accepts, the writer writes and the reader
        // reads again; comparing the two walks shared structure once (a
        // NaN real makes them unequal, so only the cost is at stake here).
        const auto tree = archive::readBinaryPropertyList(bytes);
        try {
            (void)(archive::readBinaryPropertyList(archive::writeBinaryPropertyList(tree)) == tree);
        } catch (const archive::FormatError&) {
            __builtin_trap();
        }
    } catch (const archive::FormatError&) {
    }
    return 0;
}
