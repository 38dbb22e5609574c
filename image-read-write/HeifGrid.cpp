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
#include <set>
#include <tuple>
#include <utility>

namespace ImageReadWrite::detail {
namespace {

using FourCC = std::uint32_t;

constexpr FourCC fourCC(const char (&s)[5]) {
    return (FourCC(std::uint8_t(s[0])) << 24) | (FourCC(std::uint8_t(s[1])) << 16) | (FourCC(std::uint8_t(s[2])) << 8) |
           FourCC(std::uint8_t(s[3]));
}

// What the readers below throw for boxes they cannot follow.
struct Malformed {};
[[noreturn]] void malformed() { throw Malformed{}; }

// Big-endian reading of a box's bytes; running past the end fails.
class Reader {
public:
    explicit Reader(ByteView data) : data_(data) {}
    bool atEnd() const { return at_ >= data_.size(); }
    std::uint64_t read(int bytes) {
        if (bytes < 0 || std::size_t(bytes) > data_.size() - at_) malformed();
        std::uint64_t v = 0;
        for (int i = 0; i < bytes; ++i) v = (v << 8) | data_[at_++];
        return v;
    }
    ByteView take(std::size_t n) {
        if (n > data_.size() - at_) malformed();
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
        if (size < header || size > data.size() - at) malformed();
        found.push_back(
            Box{type, data.subspan(at, std::size_t(size)), data.subspan(at + header, std::size_t(size) - header)});
        r.take(std::size_t(size) - header);
        at += std::size_t(size);
    }
    return found;
}

const Box& only(const std::vector<Box>& list, FourCC type) {
    const auto it = std::find_if(list.begin(), list.end(), [&](const Box& b) { return b.type == type; });
    if (it == list.end()) malformed();
    return *it;
}

struct Association {
    std::size_t property; // index into File::properties
    bool essential;
};

struct Item {
    FourCC type = 0;
    std::vector<Association> properties;
    std::vector<ByteView> extents; // of its data, in order
};

Bytes dataOf(const Item& item) {
    Bytes data;
    for (const ByteView extent : item.extents) data.insert(data.end(), extent.begin(), extent.end());
    return data;
}

struct Reference {
    FourCC type;
    std::uint32_t from;
    std::vector<std::uint32_t> to;
};

// What a file holds.
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
    if (metaBody.size() < 4) malformed();
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
        if (version < 2) malformed();
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
        if (method > 1) malformed();
        const ByteView source = method == 0 ? bytes : only(meta, fourCC("idat")).body;
        iloc.read(2);
        const auto base = iloc.read(baseSize);
        const auto extents = iloc.read(2);
        std::vector<ByteView>& data = file.items[id].extents;
        for (std::uint64_t e = 0; e < extents; ++e) {
            iloc.read(indexSize);
            const auto offset = base + iloc.read(offsetSize);
            const auto length = iloc.read(lengthSize);
            if (offset > source.size() || length > source.size() - offset) malformed();
            data.push_back(source.subspan(std::size_t(offset), std::size_t(length)));
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
            if (index == 0 || index > file.properties.size()) malformed();
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
    return file;
}

// ---- what decoding costs

// Bits of a parameter set's payload, with the bytes that keep start codes
// out of it (0x03 after two zero bytes) taken away; past the end, zeros.
class BitReader {
public:
    explicit BitReader(ByteView nal) {
        int zeros = 0;
        for (const std::uint8_t byte : nal) {
            if (zeros >= 2 && byte == 3) {
                zeros = 0;
                continue;
            }
            bytes_.push_back(byte);
            zeros = byte == 0 ? zeros + 1 : 0;
        }
    }
    std::uint64_t bits(int n) {
        std::uint64_t v = 0;
        for (int i = 0; i < n; ++i, ++at_) {
            const std::size_t byte = at_ / 8;
            v = v << 1 | (byte < bytes_.size() ? (bytes_[byte] >> (7 - at_ % 8)) & 1 : 0);
        }
        return v;
    }
    // An unsigned Exp-Golomb number; more than 31 leading zeros is no size.
    std::uint64_t golomb() {
        int zeros = 0;
        while (bits(1) == 0) {
            if (++zeros > 31) malformed();
        }
        return (std::uint64_t(1) << zeros) - 1 + bits(zeros);
    }

private:
    Bytes bytes_;
    std::size_t at_ = 0;
};

// The picture size an HEVC sequence parameter set (NAL header included)
// declares.
std::pair<std::uint64_t, std::uint64_t> spsSize(ByteView nal) {
    BitReader r(nal);
    r.bits(16 + 4); // NAL header, video parameter set
    const int subLayers = int(r.bits(3));
    r.bits(1);
    r.bits(96); // general profile, tier and level
    std::vector<std::pair<bool, bool>> present(static_cast<std::size_t>(subLayers));
    for (auto& [profile, level] : present) {
        profile = r.bits(1) != 0;
        level = r.bits(1) != 0;
    }
    if (subLayers > 0) r.bits(2 * (8 - subLayers));
    for (const auto& [profile, level] : present) r.bits((profile ? 88 : 0) + (level ? 8 : 0));
    r.golomb();                     // its own id
    if (r.golomb() == 3) r.bits(1); // chroma format 4:4:4: separate planes
    const std::uint64_t width = r.golomb();
    return {width, r.golomb()};
}

// Decoding a file's primary image (and the auxiliary images libheif
// decodes with it) costs about what its pixels cost, whatever its boxes
// claim: libheif decodes a grid's tile once for every reference to it, and
// each coded picture at the size its parameter set gives, not its declared
// one.
class Cost {
    static constexpr std::uint64_t kMostSide = std::uint64_t(1) << 20;

public:
    explicit Cost(const File& file, std::size_t fileSize) : file_(file), fileSize_(fileSize) {}

    // Refuses (throws Malformed) an image whose pictures would cost more.
    void image(std::uint32_t id) {
        const auto [width, height] = sizeOf(id);
        // The pictures are coded at about the image's size: a picture
        // reaches past it by the padding of its coding units, and the
        // image's grid by the padding its tiles need to cover it (added in
        // visit). Each picture costs besides its pixels (a decoder is set
        // up for it): on average at least 128 x 128 pixels a picture.
        pixelsLeft_ = 4 * (width + 64) * (height + 64);
        picturesLeft_ = std::max<std::uint64_t>(64, width * height / 16384);
        visit(id, 0);
    }

private:
    const Item& item(std::uint32_t id) const {
        const auto it = file_.items.find(id);
        if (it == file_.items.end()) malformed();
        return it->second;
    }
    ByteView property(std::uint32_t id, FourCC type) const {
        for (const Association& a : item(id).properties) {
            const ByteView whole = file_.properties[a.property];
            if (FourCC(Reader(whole.subspan(4, 4)).read(4)) == type) return whole.subspan(8);
        }
        return {};
    }
    std::pair<std::uint64_t, std::uint64_t> sizeOf(std::uint32_t id) const {
        Reader ispe(property(id, fourCC("ispe")));
        ispe.read(4);
        const std::uint64_t width = ispe.read(4), height = ispe.read(4);
        // Far past any side an image may have: no product overflows.
        if (width > kMostSide || height > kMostSide) malformed();
        return {width, height};
    }
    std::vector<std::uint32_t> derivedFrom(std::uint32_t id) const {
        for (const Reference& ref : file_.references)
            if (ref.type == fourCC("dimg") && ref.from == id) return ref.to;
        return {};
    }

    void visit(std::uint32_t id, int depth) {
        // Each picture and derived image is decoded once.
        if (depth > 8 || !seen_.insert(id).second) malformed();
        const FourCC type = item(id).type;
        const std::vector<std::uint32_t> sources = derivedFrom(id);
        // The padding of the image's own grid is paid for, not that of a
        // grid inside it: nesting grids gains nothing.
        if (type == fourCC("grid")) {
            const std::uint64_t padding = grid(id, sources);
            if (depth == 0) pixelsLeft_ += padding;
        }
        if (type == fourCC("grid") || type == fourCC("iden") || type == fourCC("iovl")) {
            for (std::uint32_t source : sources) visit(source, depth + 1);
            return;
        }
        auto [width, height] = sizeOf(id);
        if (type == fourCC("hvc1")) std::tie(width, height) = hevc(id, width, height);
        if (picturesLeft_ == 0 || width * height > pixelsLeft_) malformed();
        --picturesLeft_;
        pixelsLeft_ -= width * height;
    }

    // The tiles lie in the grid: each row and column of them starts inside
    // it. Returns how much of the padding they need to cover it (their
    // pixels beyond it) is paid for: up to kMostPaddingPerTile a tile, so a
    // small image in an ordinary tile reads and one in a huge tile does not.
    std::uint64_t grid(std::uint32_t id, const std::vector<std::uint32_t>& tiles) const {
        const Bytes description = dataOf(item(id));
        Reader r(description);
        r.read(1);
        const bool wide = (r.read(1) & 1) != 0;
        const std::uint64_t rows = r.read(1) + 1, columns = r.read(1) + 1;
        const std::uint64_t width = r.read(wide ? 4 : 2), height = r.read(wide ? 4 : 2);
        if (tiles.empty() || tiles.size() != rows * columns) malformed();
        const auto tile = sizeOf(tiles.front());
        for (std::uint32_t other : tiles)
            if (sizeOf(other) != tile) malformed();
        if ((columns - 1) * tile.first >= width || (rows - 1) * tile.second >= height) malformed();
        const std::uint64_t coveredWidth = columns * tile.first, coveredHeight = rows * tile.second;
        const std::uint64_t inside = std::min(width, coveredWidth) * std::min(height, coveredHeight);
        return std::min(coveredWidth * coveredHeight - inside, tiles.size() * kMostPaddingPerTile);
    }

    // The size a sequence parameter set codes a picture at, which must be
    // about its declared size: whole coding units of up to 64 x 64, cut to
    // size.
    static std::pair<std::uint64_t, std::uint64_t> codedSize(ByteView sps, std::uint64_t width, std::uint64_t height) {
        const auto coded = spsSize(sps);
        if (coded.first > width + 64 || coded.second > height + 64) malformed();
        return coded;
    }

    // The size a picture is coded at, by the parameter sets of its
    // configuration and of its data; its data lie in the file once.
    std::pair<std::uint64_t, std::uint64_t> hevc(std::uint32_t id, std::uint64_t width, std::uint64_t height) {
        Reader config(property(id, fourCC("hvcC")));
        config.take(21);
        const int lengthSize = int(config.read(1) & 3) + 1;
        std::pair<std::uint64_t, std::uint64_t> coded{0, 0};
        for (std::uint64_t arrays = config.read(1); arrays > 0; --arrays) {
            const auto nalType = config.read(1) & 0x3F;
            for (std::uint64_t n = config.read(2); n > 0; --n) {
                const ByteView nal = config.take(std::size_t(config.read(2)));
                if (nalType == 33) coded = codedSize(nal, width, height);
            }
        }
        for (const ByteView extent : item(id).extents) {
            if (extent.size() > fileSize_ - dataBytes_) malformed();
            dataBytes_ += extent.size();
        }
        const Bytes data = dataOf(item(id));
        Reader units(data);
        while (!units.atEnd()) {
            const ByteView nal = units.take(std::size_t(units.read(lengthSize)));
            if (nal.empty()) malformed();
            // A sequence parameter set may come again with the picture; the
            // decoder then codes it at that one's size.
            if (((nal[0] >> 1) & 0x3F) == 33) coded = codedSize(nal, width, height);
        }
        if (coded.first == 0 || coded.second == 0) malformed();
        return coded;
    }

    const File& file_;
    const std::size_t fileSize_;
    std::set<std::uint32_t> seen_;
    std::uint64_t pixelsLeft_ = 0, picturesLeft_ = 0;
    std::size_t dataBytes_ = 0;
};

// ---- writing

[[noreturn]] void fail() { failEncoding(ImageTypeIdentifier::heic); }

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
    for (const Bytes& tile : tiles) {
        try {
            files.push_back(parse(tile));
        } catch (const Malformed&) {
            fail();
        }
        // A picture coded whole, not one that libheif wrapped in a grid of
        // its own to crop it.
        const File& file = files.back();
        if (!file.items.count(file.primary) || file.items.at(file.primary).type != fourCC("hvc1")) fail();
    }

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
        OutItem tile{nextId++, main.type, true, {}, dataOf(main), false};
        copyProperties(file, main, false, properties, tile);
        tileIds.push_back(tile.id);
        tileItems.push_back(std::move(tile));
        if (!alpha) continue;
        const std::uint32_t alphaId = file.referring(fourCC("auxl"), file.primary);
        if (alphaId == 0) fail();
        const Item& alphaItem = file.items.at(alphaId);
        if (alphaItem.type != fourCC("hvc1")) fail();
        if (alphaTileIds.empty()) copyProperties(file, alphaItem, true, properties, alphaGrid);
        OutItem alphaTile{nextId++, alphaItem.type, true, {}, dataOf(alphaItem), false};
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
        items.push_back(OutItem{exifId, fourCC("Exif"), false, {}, dataOf(files[0].items.at(id)), false});
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

bool heifDecodingBounded(ByteView bytes) {
    try {
        const File file = parse(bytes);
        Cost cost(file, bytes.size());
        cost.image(file.primary);
        // Auxiliary images (alpha) of the primary one.
        for (const Reference& ref : file.references) {
            if (ref.type == fourCC("auxl") && std::find(ref.to.begin(), ref.to.end(), file.primary) != ref.to.end())
                cost.image(ref.from);
        }
        return true;
    } catch (const Malformed&) {
        return false;
    }
}

} // namespace ImageReadWrite::detail
