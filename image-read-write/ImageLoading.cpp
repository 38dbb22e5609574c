#include "image-read-write/ImageLoading.h"

#include "image-read-write/Codecs.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <system_error>

namespace ImageReadWrite {
namespace {

enum class Format { png, jpeg, tiff, gif, heif, unknown };

bool startsWith(std::span<const std::uint8_t> data, const char* prefix, std::size_t length) {
    return data.size() >= length && std::memcmp(data.data(), prefix, length) == 0;
}

Format sniff(std::span<const std::uint8_t> data) {
    if (startsWith(data, "\x89PNG\r\n\x1a\n", 8)) return Format::png;
    if (startsWith(data, "\xFF\xD8\xFF", 3)) return Format::jpeg;
    // Classic TIFF, then BigTIFF (64-bit offsets), in either byte order.
    if (startsWith(data, "II*\0", 4) || startsWith(data, "MM\0*", 4)) return Format::tiff;
    if (startsWith(data, "II+\0", 4) || startsWith(data, "MM\0+", 4)) return Format::tiff;
    if (startsWith(data, "GIF87a", 6) || startsWith(data, "GIF89a", 6)) return Format::gif;
    if (data.size() >= 12 && std::memcmp(data.data() + 4, "ftyp", 4) == 0) return Format::heif;
    return Format::unknown;
}

// Files larger than this cannot hold an image of the largest size in any
// format we read, so they are refused before being read into memory.
constexpr std::uintmax_t kMaxFileSize = std::uintmax_t(gfx::Image::kMaxPixels) * 8;

} // namespace

gfx::ImagePtr load(std::span<const std::uint8_t> data, std::int64_t maxPixels) {
    try {
        switch (sniff(data)) {
        case Format::png: return detail::decodePNG(data, maxPixels);
        case Format::jpeg: return detail::decodeJPEG(data, maxPixels);
        case Format::tiff: return detail::decodeTIFF(data, maxPixels);
        case Format::gif: return detail::decodeGIF(data, maxPixels);
        case Format::heif: return detail::decodeHEIF(data, maxPixels);
        case Format::unknown: break;
        }
    } catch (const ImageReadWriteException&) {
        throw;
    } catch (const std::bad_alloc&) {
        throw ImageReadWriteException(ImageReadWriteError::unableToDecodeImage);
    } catch (const std::length_error&) {
        throw ImageReadWriteException(ImageReadWriteError::unableToDecodeImage);
    }
    throw ImageReadWriteException(ImageReadWriteError::unableToDecodeImage);
}

gfx::ImagePtr loadFile(const std::filesystem::path& path, std::int64_t maxPixels) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        throw ImageReadWriteException(ImageReadWriteError::unableToDecodeImage);
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec || size > kMaxFileSize) throw ImageReadWriteException(ImageReadWriteError::unableToDecodeImage);
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ImageReadWriteException(ImageReadWriteError::unableToDecodeImage);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(size))) {
        throw ImageReadWriteException(ImageReadWriteError::unableToDecodeImage);
    }
    return load(bytes, maxPixels);
}

std::vector<std::filesystem::path> namedImageDirectories() {
    std::vector<std::filesystem::path> directories;
    if (const char* list = std::getenv("TESSIVO_IMAGE_PATH")) {
        std::string_view rest(list);
        while (!rest.empty()) {
            const auto colon = rest.find(':');
            const std::string_view entry = rest.substr(0, colon);
            if (!entry.empty()) directories.emplace_back(entry);
            if (colon == std::string_view::npos) break;
            rest.remove_prefix(colon + 1);
        }
    }
    std::error_code ec;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        const auto folder = executable.parent_path();
        directories.push_back(folder / "images");
        directories.push_back(folder / ".." / "share" / "tessivo" / "images");
    }
    return directories;
}

gfx::ImagePtr loadNamed(std::string_view name) {
    const std::string text(name);
    auto failure = [&] { return ImageReadWriteException(ImageReadWriteError::cannotLoadImageNamed, text); };
    // A name, not a path: no separators, no parent references.
    if (text.empty() || text.find('/') != std::string::npos || text.find('\0') != std::string::npos || text == "." ||
        text == "..") {
        throw failure();
    }
    static constexpr const char* extensions[] = {"", ".png", ".jpg", ".jpeg", ".tiff", ".tif", ".gif", ".heic"};
    for (const auto& directory : namedImageDirectories()) {
        for (const char* extension : extensions) {
            const auto candidate = directory / (text + extension);
            std::error_code ec;
            if (!std::filesystem::is_regular_file(candidate, ec)) continue;
            try {
                return loadFile(candidate);
            } catch (const ImageReadWriteException&) {
                throw failure();
            }
        }
    }
    throw failure();
}

} // namespace ImageReadWrite
