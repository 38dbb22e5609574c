// Joins single-picture HEIF files, as libheif writes them, into one file
// whose primary image is a grid of those pictures. The files' boxes are read
// only as far as needed (items, their properties, data and references); the
// pictures' coded data and properties are copied unchanged.

#include "image-read-write/HeifGrid.h"

#include "image-read-write/Codecs.h"
#include "image-read-write/ImageExportType.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace ImageReadWrite::detail {
namespace {

using FourCC = std::uint32_t;

constexpr FourCC fourCC(const char (&s)[5]) {
    return (FourCC(std::uint8_t(s[0])) << 24) | (FourCC(std::uint8_t(s[1])) << 16) | (FourCC(std::uint8_t(s[2])) << 8) |
           FourCC(std::uint8_t(s[3]));
}

[[noreturn]] void fail() { failEncoding(ImageTypeIdentifier::heic); }

// Big-endian reading of a box's bytes; running past the end fails.
class Reader {
public:
    explicit Reader(ByteView data) : data_(data) {}
    bool atEnd() const { return at_ >= data_.size(); }
    std::uint64_t read(int bytes) {
        if (bytes < 0 || std::size_t(bytes) > data_.size() - at_) fail();
        std::uint64_t v = 0;
        for (int i = 0; i < bytes; ++i) v = (v << 8) | data_[at_++];
        return v;
    }
    ByteView take(std::size_t n) {
        if (n > data_.size() - at_) fail();
        const ByteView part = data_.subspan(at_, n);
        at_ += n;
        return part;
    }
    void skipString() {
        while (read(1) != 0) {
        }
    }

private:
    ByteView data_;
    std::size_t at_ = 0;
};

struct Box {
    FourCC type;
    ByteView whole; // header included
    ByteView body;
};

std::vector<Box> boxes(ByteView data) {
    std::vector<Box> found;
    Reader r(data);
    std::size_t at = 0;
    while (!r.atEnd()) {
        std::uint64_t size = r.read(4);
        const FourCC type = FourCC(r.read(4));
        std::size_t header = 8;
        if (size == 1) {
            size = r.read(8);
            header = 16;
        } else if (size == 0) {
            size = data.size() - at;
        }
        if (size < header || size > data.size() - at) fail();
        found.push_back(
            Box{type, data.subspan(at, std::size_t(size)), data.subspan(at + header, std::size_t(size) - header)});
        r.take(std::size_t(size) - header);
        at += std::size_t(size);
    }
    return found;
}

const Box& only(const std::vector<Box>& list, FourCC type) {
    const auto it = std::find_if(list.begin(), list.end(), [&](const Box& b) { return b.type == type; });
    if (it == list.end()) fail();
    return *it;
}

struct Association {
    std::size_t property; // index into File::properties
    bool essential;
};

struct Item {
    FourCC type = 0;
    std::vector<Association> properties;
    Bytes data;
};

struct Reference {
    FourCC type;
    std::uint32_t from;
    std::vector<std::uint32_t> to;
};

// What a single-picture file holds.
struct File {
    ByteView ftyp;
    std::uint32_t primary = 0;
    std::map<std::uint32_t, Item> items;
    std::vector<ByteView> properties; // whole boxes, in ipco order
    std::vector<Reference> references;

    std::uint32_t referring(FourCC type, std::uint32_t to) const {
        for (const Reference& ref : references)
            if (ref.type == type && std::find(ref.to.begin(), ref.to.end(), to) != ref.to.end()) return ref.from;
        return 0;
    }
    std::uint32_t itemOfType(FourCC type) const {
        for (const auto& [id, item] : items)
            if (item.type == type) return id;
        return 0;
    }
};

File parse(ByteView bytes) {
    File file;
    const std::vector<Box> top = boxes(bytes);
    file.ftyp = only(top, fourCC("ftyp")).whole;
    const ByteView metaBody = only(top, fourCC("meta")).body;
    if (metaBody.size() < 4) fail();
    const std::vector<Box> meta = boxes(metaBody.subspan(4));

    Reader pitm(only(meta, fourCC("pitm")).body);
    const auto pitmVersion = pitm.read(1);
    pitm.read(3);
    file.primary = std::uint32_t(pitm.read(pitmVersion == 0 ? 2 : 4));

    Reader iinf(only(meta, fourCC("iinf")).body);
    const auto iinfVersion = iinf.read(1);
    iinf.read(3);
    iinf.read(iinfVersion == 0 ? 2 : 4);
    for (const Box& infe : boxes(iinf.take(only(meta, fourCC("iinf")).body.size() - (iinfVersion == 0 ? 6 : 8)))) {
        Reader r(infe.body);
        const auto version = r.read(1);
        r.read(3);
        if (version < 2) fail();
        const auto id = std::uint32_t(r.read(version == 2 ? 2 : 4));
        r.read(2);
        file.items[id].type = FourCC(r.read(4));
    }

    Reader iloc(only(meta, fourCC("iloc")).body);
    const auto ilocVersion = iloc.read(1);
    iloc.read(3);
    const auto sizes = iloc.read(2);
    const int offsetSize = int(sizes >> 12), lengthSize = int(sizes >> 8 & 15), baseSize = int(sizes >> 4 & 15);
    const int indexSize = ilocVersion >= 1 ? int(sizes & 15) : 0;
    const auto count = iloc.read(ilocVersion < 2 ? 2 : 4);
    for (std::uint64_t i = 0; i < count; ++i) {
        const auto id = std::uint32_t(iloc.read(ilocVersion < 2 ? 2 : 4));
        // Construction method 0: offsets in the file; 1: in the idat box.
        const auto method = ilocVersion >= 1 ? iloc.read(2) & 15 : 0;
        if (method > 1) fail();
        const ByteView source = method == 0 ? bytes : only(meta, fourCC("idat")).body;
        iloc.read(2);
        const auto base = iloc.read(baseSize);
        const auto extents = iloc.read(2);
        Bytes& data = file.items[id].data;
        for (std::uint64_t e = 0; e < extents; ++e) {
            iloc.read(indexSize);
            const auto offset = base + iloc.read(offsetSize);
            const auto length = iloc.read(lengthSize);
            if (offset > source.size() || length > source.size() - offset) fail();
            data.insert(data.end(), source.begin() + std::ptrdiff_t(offset),
                        source.begin() + std::ptrdiff_t(offset + length));
        }
    }

    const std::vector<Box> iprp = boxes(only(meta, fourCC("iprp")).body);
    for (const Box& property : boxes(only(iprp, fourCC("ipco")).body)) file.properties.push_back(property.whole);
    Reader ipma(only(iprp, fourCC("ipma")).body);
    const auto ipmaVersion = ipma.read(1);
    const auto ipmaFlags = ipma.read(3);
    const auto entries = ipma.read(4);
    for (std::uint64_t i = 0; i < entries; ++i) {
        const auto id = std::uint32_t(ipma.read(ipmaVersion < 1 ? 2 : 4));
        const auto associations = ipma.read(1);
        for (std::uint64_t a = 0; a < associations; ++a) {
            const bool wide = (ipmaFlags & 1) != 0;
            const auto v = ipma.read(wide ? 2 : 1);
            const std::uint64_t index = v & (wide ? 0x7FFF : 0x7F);
            if (index == 0 || index > file.properties.size()) fail();
            file.items[id].properties.push_back({std::size_t(index - 1), (v >> (wide ? 15 : 7)) != 0});
        }
    }

    if (const auto iref = std::find_if(meta.begin(), meta.end(), [](const Box& b) { return b.type == fourCC("iref"); });
        iref != meta.end()) {
        Reader r(iref->body);
        const auto version = r.read(1);
        r.read(3);
        for (const Box& ref : boxes(iref->body.subspan(4))) {
            Reader rr(ref.body);
            Reference reference{ref.type, std::uint32_t(rr.read(version == 0 ? 2 : 4)), {}};
            const auto n = rr.read(2);
            for (std::uint64_t k = 0; k < n; ++k) reference.to.push_back(std::uint32_t(rr.read(version == 0 ? 2 : 4)));
            file.references.push_back(std::move(reference));
        }
    }
    // A picture coded whole, not one that libheif wrapped in a grid of its
    // own to crop it.
    if (!file.items.count(file.primary) || file.items.at(file.primary).type != fourCC("hvc1")) fail();
    return file;
}

// ---- writing

// Appends a box around what `body` writes.
template <class Body> void box(Bytes& out, const char (&type)[5], Body&& body) {
    const std::size_t start = out.size();
    appendBigEndian(out, 0, 4);
    out.insert(out.end(), type, type + 4);
    body();
    const std::size_t size = out.size() - start;
    for (int i = 0; i < 4; ++i) out[start + std::size_t(i)] = std::uint8_t(size >> (24 - 8 * i));
}

template <class Body> void fullBox(Bytes& out, const char (&type)[5], int version, std::uint32_t flags, Body&& body) {
    box(out, type, [&] {
        appendBigEndian(out, std::uint64_t(version), 1);
        appendBigEndian(out, flags, 3);
        body();
    });
}

Bytes ispe(std::uint32_t width, std::uint32_t height) {
    Bytes b;
    fullBox(b, "ispe", 0, 0, [&] {
        appendBigEndian(b, width, 4);
        appendBigEndian(b, height, 4);
    });
    return b;
}

struct OutItem {
    std::uint32_t id;
    FourCC type;
    bool hidden;
    std::vector<std::pair<std::size_t, bool>> properties; // index into the output's list, essential
    Bytes data;
    bool inIdat = false;
};

// Property boxes of the output, each kept once.
class Properties {
public:
    std::size_t add(ByteView whole) {
        Bytes b(whole.begin(), whole.end());
        const auto it = std::find(list_.begin(), list_.end(), b);
        if (it != list_.end()) return std::size_t(it - list_.begin());
        list_.push_back(std::move(b));
        return list_.size() - 1;
    }
    const std::vector<Bytes>& list() const { return list_; }

private:
    std::vector<Bytes> list_;
};

FourCC boxType(ByteView whole) { return whole.size() >= 8 ? FourCC(Reader(whole.subspan(4, 4)).read(4)) : 0; }

// The properties of a file's item, copied; `forGrid` leaves out what
// describes one coded picture (its decoder configuration and size).
void copyProperties(const File& file, const Item& item, bool forGrid, Properties& properties, OutItem& out) {
    for (const Association& a : item.properties) {
        const ByteView whole = file.properties[a.property];
        const FourCC type = boxType(whole);
        if (forGrid && (type == fourCC("hvcC") || type == fourCC("ispe"))) continue;
        out.properties.emplace_back(properties.add(whole), a.essential);
    }
}

} // namespace

Bytes heifGrid(std::uint32_t width, std::uint32_t height, int columns, int rows, const std::vector<Bytes>& tiles) {
    if (columns < 1 || rows < 1 || columns > 256 || rows > 256 || tiles.size() != std::size_t(columns * rows)) fail();
    if (width > 0xFFFF || height > 0xFFFF) fail();
    std::vector<File> files;
    files.reserve(tiles.size());
    for (const Bytes& tile : tiles) files.push_back(parse(tile));

    Properties properties;
    std::vector<OutItem> items;
    std::uint32_t nextId = 1;
    const std::uint32_t gridId = nextId++;
    const bool alpha = files[0].referring(fourCC("auxl"), files[0].primary) != 0;
    const std::uint32_t alphaGridId = alpha ? nextId++ : 0;

    // The grid's description: 16-bit sizes.
    Bytes description;
    appendBigEndian(description, 0, 1);
    appendBigEndian(description, 0, 1);
    appendBigEndian(description, std::uint64_t(rows - 1), 1);
    appendBigEndian(description, std::uint64_t(columns - 1), 1);
    appendBigEndian(description, width, 2);
    appendBigEndian(description, height, 2);
    const std::size_t fullSize = properties.add(ispe(width, height));

    OutItem grid{gridId, fourCC("grid"), false, {{fullSize, false}}, description, true};
    copyProperties(files[0], files[0].items.at(files[0].primary), true, properties, grid);
    OutItem alphaGrid{alphaGridId, fourCC("grid"), false, {{fullSize, false}}, description, true};
    std::vector<std::uint32_t> tileIds, alphaTileIds;
    std::vector<OutItem> tileItems;
    for (const File& file : files) {
        const Item& main = file.items.at(file.primary);
        OutItem tile{nextId++, main.type, true, {}, main.data, false};
        copyProperties(file, main, false, properties, tile);
        tileIds.push_back(tile.id);
        tileItems.push_back(std::move(tile));
        if (!alpha) continue;
        const std::uint32_t alphaId = file.referring(fourCC("auxl"), file.primary);
        if (alphaId == 0) fail();
        const Item& alphaItem = file.items.at(alphaId);
        if (alphaItem.type != fourCC("hvc1")) fail();
        if (alphaTileIds.empty()) copyProperties(file, alphaItem, true, properties, alphaGrid);
        OutItem alphaTile{nextId++, alphaItem.type, true, {}, alphaItem.data, false};
        copyProperties(file, alphaItem, false, properties, alphaTile);
        alphaTileIds.push_back(alphaTile.id);
        tileItems.push_back(std::move(alphaTile));
    }
    items.push_back(std::move(grid));
    if (alpha) items.push_back(std::move(alphaGrid));
    for (OutItem& tile : tileItems) items.push_back(std::move(tile));
    std::uint32_t exifId = 0;
    if (const std::uint32_t id = files[0].itemOfType(fourCC("Exif"))) {
        exifId = nextId++;
        items.push_back(OutItem{exifId, fourCC("Exif"), false, {}, files[0].items.at(id).data, false});
    }

    // The meta box with file offsets counted from the mdat's data, then
    // moved by where that data starts.
    const auto metaBox = [&](std::uint64_t dataStart) {
        Bytes m;
        fullBox(m, "meta", 0, 0, [&] {
            fullBox(m, "hdlr", 0, 0, [&] {
                appendBigEndian(m, 0, 4);
                appendBigEndian(m, fourCC("pict"), 4);
                m.insert(m.end(), 12, 0); // reserved
                appendBigEndian(m, 0, 1);
            });
            fullBox(m, "pitm", 0, 0, [&] { appendBigEndian(m, gridId, 2); });
            fullBox(m, "iinf", 0, 0, [&] {
                appendBigEndian(m, items.size(), 2);
                for (const OutItem& item : items) {
                    fullBox(m, "infe", 2, item.hidden ? 1 : 0, [&] {
                        appendBigEndian(m, item.id, 2);
                        appendBigEndian(m, 0, 2);
                        appendBigEndian(m, item.type, 4);
                        appendBigEndian(m, 0, 1);
                    });
                }
            });
            fullBox(m, "iref", 0, 0, [&] {
                const auto reference = [&](const char(&type)[5], std::uint32_t from,
                                           const std::vector<std::uint32_t>& to) {
                    box(m, type, [&] {
                        appendBigEndian(m, from, 2);
                        appendBigEndian(m, to.size(), 2);
                        for (std::uint32_t id : to) appendBigEndian(m, id, 2);
                    });
                };
                reference("dimg", gridId, tileIds);
                if (alpha) {
                    reference("dimg", alphaGridId, alphaTileIds);
                    reference("auxl", alphaGridId, {gridId});
                }
                if (exifId) reference("cdsc", exifId, {gridId});
            });
            box(m, "iprp", [&] {
                box(m, "ipco", [&] {
                    for (const Bytes& p : properties.list()) m.insert(m.end(), p.begin(), p.end());
                });
                const bool wide = properties.list().size() > 127;
                fullBox(m, "ipma", 0, wide ? 1 : 0, [&] {
                    appendBigEndian(m, items.size(), 4);
                    for (const OutItem& item : items) {
                        appendBigEndian(m, item.id, 2);
                        appendBigEndian(m, item.properties.size(), 1);
                        for (const auto& [index, essential] : item.properties) {
                            const std::uint64_t v = index + 1;
                            appendBigEndian(m, wide ? (v | (essential ? 0x8000u : 0)) : (v | (essential ? 0x80u : 0)),
                                            wide ? 2 : 1);
                        }
                    }
                });
            });
            fullBox(m, "iloc", 1, 0, [&] {
                appendBigEndian(m, 0x4400, 2); // 4-byte offsets and lengths, no base offset or index
                appendBigEndian(m, items.size(), 2);
                std::uint64_t inMdat = 0, inIdat = 0;
                for (const OutItem& item : items) {
                    appendBigEndian(m, item.id, 2);
                    appendBigEndian(m, item.inIdat ? 1 : 0, 2);
                    appendBigEndian(m, 0, 2);
                    appendBigEndian(m, 1, 2);
                    std::uint64_t& at = item.inIdat ? inIdat : inMdat;
                    appendBigEndian(m, (item.inIdat ? 0 : dataStart) + at, 4);
                    appendBigEndian(m, item.data.size(), 4);
                    at += item.data.size();
                }
            });
            box(m, "idat", [&] {
                for (const OutItem& item : items)
                    if (item.inIdat) m.insert(m.end(), item.data.begin(), item.data.end());
            });
        });
        return m;
    };
    std::uint64_t mdatSize = 8;
    for (const OutItem& item : items)
        if (!item.inIdat) mdatSize += item.data.size();
    if (mdatSize > 0xFFFFFFFFu) fail();

    Bytes out(files[0].ftyp.begin(), files[0].ftyp.end());
    const std::uint64_t dataStart = out.size() + metaBox(0).size() + 8;
    if (dataStart + mdatSize > 0xFFFFFFFFu) fail();
    const Bytes meta = metaBox(dataStart);
    out.insert(out.end(), meta.begin(), meta.end());
    box(out, "mdat", [&] {
        for (const OutItem& item : items)
            if (!item.inIdat) out.insert(out.end(), item.data.begin(), item.data.end());
    });
    return out;
}

} // namespace ImageReadWrite::detail
