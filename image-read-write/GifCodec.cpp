// GIF over giflib, through its record-level interface: the whole-file reader
// allocates whatever a header claims, so frames are sized and checked here.

#include "image-read-write/Codecs.h"
#include "image-read-write/ImageExportType.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace ImageReadWrite::detail {
namespace {

struct MemoryReader {
    ByteView data;
    std::size_t position = 0;
};

int readFromMemory(GifFileType* gif, GifByteType* buffer, int count) {
    auto* r = static_cast<MemoryReader*>(gif->UserData);
    if (count <= 0 || r->position >= r->data.size()) return 0;
    const std::size_t n = std::min<std::size_t>(std::size_t(count), r->data.size() - r->position);
    std::memcpy(buffer, r->data.data() + r->position, n);
    r->position += n;
    return int(n);
}

int writeToMemory(GifFileType* gif, const GifByteType* buffer, int count) {
    auto* out = static_cast<Bytes*>(gif->UserData);
    if (count < 0) return 0;
    try {
        out->insert(out->end(), buffer, buffer + count);
    } catch (...) {
        return 0;
    }
    return count;
}

struct ReadHandle {
    GifFileType* gif = nullptr;
    ~ReadHandle() {
        int error = 0;
        if (gif) DGifCloseFile(gif, &error);
    }
};

struct WriteHandle {
    GifFileType* gif = nullptr;
    ~WriteHandle() {
        int error = 0;
        if (gif) EGifCloseFile(gif, &error);
    }
};

struct MapHandle {
    ColorMapObject* map = nullptr;
    ~MapHandle() { GifFreeMapObject(map); }
};

int paletteSizeFor(int colours) {
    int size = 2;
    while (size < colours) size *= 2;
    return size;
}

// A straight colour as a key: red, green, blue from the high byte down.
std::uint32_t colourKey(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | b;
}

// Pixels with alpha below one half become the transparent entry; the others
// are opaque colours. Up to 255 distinct colours are kept exactly and each
// row's indices are looked up as it is written, so nothing image-sized is
// held besides the image; more colours are reduced by median cut, which
// needs the whole picture at once.
class Palette {
public:
    explicit Palette(const gfx::Image& image) : image_(image) {
        bool anyTransparent = false, fitsExactly = true;
        std::uint32_t last = 0;
        for (int y = 0; y < image.height(); ++y) {
            const std::uint32_t* row = image.row(y);
            for (int x = 0; x < image.width(); ++x) {
                if ((row[x] >> 24) < 128) {
                    anyTransparent = true;
                    continue;
                }
                if (!fitsExactly || (row[x] == last && !exact_.empty())) continue;
                last = row[x];
                std::uint8_t r, g, b, a;
                unpremultiply(row[x], r, g, b, a);
                const std::uint32_t key = colourKey(r, g, b);
                if (exact_.find(key) != exact_.end()) continue;
                if (exact_.size() == 255) {
                    fitsExactly = false;
                    continue;
                }
                const int index = int(exact_.size());
                exact_.emplace(key, index);
            }
        }
        if (fitsExactly) {
            colours_.resize(exact_.size());
            for (const auto& [key, index] : exact_) {
                colours_[std::size_t(index)] =
                    GifColorType{GifByteType(key >> 16), GifByteType(key >> 8), GifByteType(key)};
            }
        } else {
            exact_.clear();
            quantise(anyTransparent);
        }
        if (anyTransparent) {
            transparentIndex_ = int(colours_.size());
            colours_.push_back(GifColorType{0, 0, 0});
        }
        if (colours_.empty()) colours_.push_back(GifColorType{0, 0, 0});
    }

    const std::vector<GifColorType>& colours() const { return colours_; }
    int transparentIndex() const { return transparentIndex_; }

    // The palette indices of image row y.
    void indexRow(int y, GifByteType* out) const {
        const std::uint32_t* row = image_.row(y);
        const int width = image_.width();
        if (!indices_.empty()) {
            std::copy_n(indices_.data() + std::size_t(y) * std::size_t(width), width, out);
            return;
        }
        std::uint32_t last = 0;
        GifByteType lastIndex = 0;
        bool haveLast = false;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = row[x];
            if ((v >> 24) < 128) {
                out[x] = GifByteType(transparentIndex_);
                continue;
            }
            if (!haveLast || v != last) {
                std::uint8_t r, g, b, a;
                unpremultiply(v, r, g, b, a);
                last = v;
                lastIndex = GifByteType(exact_.at(colourKey(r, g, b)));
                haveLast = true;
            }
            out[x] = lastIndex;
        }
    }

private:
    void quantise(bool anyTransparent) {
        const int width = image_.width(), height = image_.height();
        const std::size_t count = std::size_t(width) * std::size_t(height);
        indices_.resize(count);
        {
            Bytes red(count), green(count), blue(count);
            std::size_t i = 0;
            for (int y = 0; y < height; ++y) {
                const std::uint32_t* row = image_.row(y);
                for (int x = 0; x < width; ++x, ++i) {
                    std::uint8_t a;
                    unpremultiply(row[x], red[i], green[i], blue[i], a);
                }
            }
            int size = anyTransparent ? 255 : 256;
            std::vector<GifColorType> colours(256);
            if (GifQuantizeBuffer(unsigned(width), unsigned(height), &size, red.data(), green.data(), blue.data(),
                                  indices_.data(), colours.data()) != GIF_OK) {
                failEncoding(ImageTypeIdentifier::gif);
            }
            colours.resize(std::size_t(std::clamp(size, 1, 255)));
            colours_ = std::move(colours);
        }
        if (!anyTransparent) return;
        const auto transparent = GifByteType(colours_.size());
        std::size_t i = 0;
        for (int y = 0; y < height; ++y) {
            const std::uint32_t* row = image_.row(y);
            for (int x = 0; x < width; ++x, ++i) {
                if ((row[x] >> 24) < 128) indices_[i] = transparent;
            }
        }
    }

    const gfx::Image& image_;
    std::unordered_map<std::uint32_t, int> exact_;
    std::vector<GifColorType> colours_;
    std::vector<GifByteType> indices_; // one per pixel, only when quantised
    int transparentIndex_ = -1;
};

} // namespace

Bytes encodeGIF(const gfx::Image& image) {
    const char* type = ImageTypeIdentifier::gif;
    checkEncodable(image, type);
    if (image.width() > 65535 || image.height() > 65535) failEncoding(type);
    const Palette palette(image);

    MapHandle map;
    const int mapSize = paletteSizeFor(int(palette.colours().size()));
    std::vector<GifColorType> colours(std::size_t(mapSize), GifColorType{0, 0, 0});
    std::copy(palette.colours().begin(), palette.colours().end(), colours.begin());
    map.map = GifMakeMapObject(mapSize, colours.data());
    if (!map.map) failEncoding(type);

    Bytes out;
    int error = 0;
    WriteHandle handle;
    handle.gif = EGifOpen(&out, writeToMemory, &error);
    GifFileType* gif = handle.gif;
    if (!gif) failEncoding(type);
    EGifSetGifVersion(gif, true);
    bool ok = EGifPutScreenDesc(gif, image.width(), image.height(), map.map->BitsPerPixel, 0, map.map) == GIF_OK;
    if (ok && palette.transparentIndex() >= 0) {
        const GifByteType control[4] = {0x01, 0, 0, GifByteType(palette.transparentIndex())};
        ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control) == GIF_OK;
    }
    ok = ok && EGifPutImageDesc(gif, 0, 0, image.width(), image.height(), false, nullptr) == GIF_OK;
    std::vector<GifByteType> line(std::size_t(image.width()));
    for (int y = 0; ok && y < image.height(); ++y) {
        palette.indexRow(y, line.data());
        ok = EGifPutLine(gif, line.data(), image.width()) == GIF_OK;
    }
    handle.gif = nullptr;
    // Closing writes the trailer; its result is the encoder's final word.
    if (EGifCloseFile(gif, &error) != GIF_OK) ok = false;
    if (!ok || out.empty()) failEncoding(type);
    return out;
}

gfx::ImagePtr decodeGIF(ByteView data, std::int64_t maxPixels) {
    MemoryReader reader{data, 0};
    int error = 0;
    ReadHandle handle;
    handle.gif = DGifOpen(&reader, readFromMemory, &error);
    GifFileType* gif = handle.gif;
    if (!gif) failDecoding();

    int transparent = -1;
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &record) != GIF_OK) failDecoding();
        if (record == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif, &code, &block) != GIF_OK) failDecoding();
            if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
                transparent = (block[1] & 0x01) ? int(block[4]) : -1;
            }
            while (block) {
                if (DGifGetExtensionNext(gif, &block) != GIF_OK) failDecoding();
            }
        } else if (record == IMAGE_DESC_RECORD_TYPE) {
            if (DGifGetImageDesc(gif) != GIF_OK) failDecoding();
            const GifImageDesc desc = gif->Image;
            checkDecodedSize(desc.Width, desc.Height, maxPixels);
            // A zero logical screen is taken to be the first frame's size.
            const int canvasWidth = gif->SWidth > 0 ? gif->SWidth : desc.Left + desc.Width;
            const int canvasHeight = gif->SHeight > 0 ? gif->SHeight : desc.Top + desc.Height;
            checkDecodedSize(canvasWidth, canvasHeight, maxPixels);
            const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
            if (!map || !map->Colors || map->ColorCount <= 0) failDecoding();
            auto image = std::make_shared<gfx::Image>(canvasWidth, canvasHeight);
            std::vector<GifPixelType> line(std::size_t(desc.Width));
            auto putLine = [&](int y) {
                if (DGifGetLine(gif, line.data(), desc.Width) != GIF_OK) failDecoding();
                const int canvasY = desc.Top + y;
                if (canvasY < 0 || canvasY >= canvasHeight) return;
                std::uint32_t* row = image->row(canvasY);
                for (int x = 0; x < desc.Width; ++x) {
                    const int canvasX = desc.Left + x;
                    if (canvasX < 0 || canvasX >= canvasWidth) continue;
                    const int index = line[std::size_t(x)];
                    if (index == transparent || index >= map->ColorCount) continue;
                    const GifColorType& c = map->Colors[index];
                    row[canvasX] = premultiplied(c.Red, c.Green, c.Blue, 255);
                }
            };
            if (desc.Interlace) {
                static constexpr int offsets[4] = {0, 4, 2, 1};
                static constexpr int steps[4] = {8, 8, 4, 2};
                for (int pass = 0; pass < 4; ++pass) {
                    for (int y = offsets[pass]; y < desc.Height; y += steps[pass]) putLine(y);
                }
            } else {
                for (int y = 0; y < desc.Height; ++y) putLine(y);
            }
            return image;
        } else {
            // Terminator (or anything else) before the first image: no image.
            failDecoding();
        }
    }
}

} // namespace ImageReadWrite::detail
