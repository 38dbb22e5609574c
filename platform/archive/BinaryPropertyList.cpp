#include "platform/archive/BinaryPropertyList.h"

#include "platform/foundation/Json.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <deque>
#include <limits>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace archive {

PlistObject::PlistObject() : PlistObject(false) {}
PlistObject::PlistObject(bool v) : storage_(std::make_shared<const Storage>(v)) {}
PlistObject::PlistObject(std::int64_t v) : storage_(std::make_shared<const Storage>(v)) {}
PlistObject::PlistObject(std::uint64_t v)
    : storage_(v <= std::uint64_t(std::numeric_limits<std::int64_t>::max())
                   ? std::make_shared<const Storage>(std::int64_t(v))
                   : std::make_shared<const Storage>(v)) {}
PlistObject::PlistObject(double v) : storage_(std::make_shared<const Storage>(v)) {}
PlistObject::PlistObject(PlistDate v) : storage_(std::make_shared<const Storage>(v)) {}
PlistObject::PlistObject(PlistBytes v) : storage_(std::make_shared<const Storage>(std::move(v))) {}
PlistObject::PlistObject(std::string v) : storage_(std::make_shared<const Storage>(std::move(v))) {}
PlistObject::PlistObject(UID v) : storage_(std::make_shared<const Storage>(v)) {}
PlistObject::PlistObject(PlistArray v) : storage_(std::make_shared<const Storage>(std::move(v))) {}
PlistObject::PlistObject(PlistDictionary v) : storage_(std::make_shared<const Storage>(std::move(v))) {}

std::optional<std::int64_t> PlistObject::asInteger() const {
    if (auto v = std::get_if<std::int64_t>(storage_.get())) return *v;
    return std::nullopt;
}

namespace {

struct PairHash {
    std::size_t operator()(const std::pair<const void*, const void*>& pair) const {
        const std::hash<const void*> hash;
        return hash(pair.first) * 31 + hash(pair.second);
    }
};
using ComparedPairs = std::unordered_set<std::pair<const void*, const void*>, PairHash>;

// Objects are immutable and cannot contain themselves, so a pair of
// containers met again is either equal or the walk has already answered
// false: each pair is walked once, and a structure shared many times (a
// diamond of arrays each holding the next twice) costs its size, not the
// number of paths through it.
bool sameStorage(const PlistObject::Storage& a, const PlistObject::Storage& b, ComparedPairs& compared) {
    if (&a == &b) return true;
    if (a.index() != b.index()) return false;
    if (const auto* left = std::get_if<PlistArray>(&a)) {
        const auto& right = std::get<PlistArray>(b);
        if (left->size() != right.size()) return false;
        if (!compared.emplace(&a, &b).second) return true;
        for (std::size_t i = 0; i < left->size(); ++i)
            if (!sameStorage((*left)[i].storage(), right[i].storage(), compared)) return false;
        return true;
    }
    if (const auto* left = std::get_if<PlistDictionary>(&a)) {
        const auto& right = std::get<PlistDictionary>(b);
        if (left->size() != right.size()) return false;
        if (!compared.emplace(&a, &b).second) return true;
        for (auto l = left->begin(), r = right.begin(); l != left->end(); ++l, ++r)
            if (l->first != r->first || !sameStorage(l->second.storage(), r->second.storage(), compared)) return false;
        return true;
    }
    return a == b;
}

} // namespace

bool operator==(const PlistObject& a, const PlistObject& b) {
    ComparedPairs compared;
    return sameStorage(*a.storage_, *b.storage_, compared);
}

std::size_t maxPlistDepth() { return foundation::maxJsonDepth; }

namespace {

constexpr std::uint8_t header[8] = {'b', 'p', 'l', 'i', 's', 't', '0', '0'};
constexpr std::size_t trailerSize = 32;

// ---- text ----

// UTF-16 code units of UTF-8 text; nothing for text that is not UTF-8.
std::optional<std::u16string> utf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = std::uint8_t(text[i]);
        std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
        if (length == 0 || i + length > text.size()) return std::nullopt;
        std::uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = std::uint8_t(text[i + k]);
            if ((next & 0xC0) != 0x80) return std::nullopt;
            code = code << 6 | (next & 0x3F);
        }
        constexpr std::uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return std::nullopt;
        if (code >= 0x10000) {
            code -= 0x10000;
            out.push_back(char16_t(0xD800 + (code >> 10)));
            out.push_back(char16_t(0xDC00 + (code & 0x3FF)));
        } else {
            out.push_back(char16_t(code));
        }
        i += length;
    }
    return out;
}

void appendUTF8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | code >> 6);
        out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += char(0xE0 | code >> 12);
        out += char(0x80 | (code >> 6 & 0x3F));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xF0 | code >> 18);
        out += char(0x80 | (code >> 12 & 0x3F));
        out += char(0x80 | (code >> 6 & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

// ---- writing ----

std::size_t bytesFor(std::uint64_t value) {
    return value <= 0xFF ? 1 : value <= 0xFFFF ? 2 : value <= 0xFFFFFFFF ? 4 : 8;
}

class Writer {
public:
    std::vector<std::uint8_t> write(const PlistObject& root) {
        number(root);
        refSize_ = bytesFor(order_.size());
        out_.assign(std::begin(header), std::end(header));
        std::vector<std::uint64_t> offsets;
        offsets.reserve(order_.size());
        for (const PlistObject* object : order_) {
            offsets.push_back(out_.size());
            writeObject(*object);
        }
        const std::uint64_t tableOffset = out_.size();
        const std::size_t offsetSize = bytesFor(tableOffset);
        for (auto offset : offsets) appendBigEndian(offset, offsetSize);
        out_.insert(out_.end(), 6, 0);
        out_.push_back(std::uint8_t(offsetSize));
        out_.push_back(std::uint8_t(refSize_));
        appendBigEndian(order_.size(), 8);
        appendBigEndian(0, 8);
        appendBigEndian(tableOffset, 8);
        return std::move(out_);
    }

private:
    // Gives every distinct object an index, parents before their children,
    // and returns its height (0 for a scalar, 1 for a container of scalars).
    // Dictionary keys are string objects of their own, one per distinct key.
    std::size_t number(const PlistObject& object, std::size_t depth = 0) {
        if (auto seen = index_.find(object.identity()); seen != index_.end()) return seen->second.height;
        if (depth > maxPlistDepth()) tooDeep();
        index_.emplace(object.identity(), Numbered{order_.size(), 0});
        order_.push_back(&object);
        std::size_t height = 0;
        if (auto array = object.asArray()) {
            for (const auto& element : *array) height = std::max(height, number(element, depth + 1) + 1);
            if (array->empty()) height = 1;
        } else if (auto dictionary = object.asDictionary()) {
            height = 1;
            for (const auto& [key, value] : *dictionary) {
                if (!keyIndex_.contains(key)) {
                    keyIndex_.emplace(key, order_.size());
                    order_.push_back(&keys_.emplace_back(key));
                }
                height = std::max(height, number(value, depth + 1) + 1);
            }
        }
        // A shared object counts at its deepest use, which its first use
        // need not be: the heights tell. The depth only bounds the recursion.
        if (height > maxPlistDepth()) tooDeep();
        index_.at(object.identity()).height = height;
        return height;
    }

    [[noreturn]] static void tooDeep() {
        throw FormatError("The property list is nested more than " + std::to_string(maxPlistDepth()) +
                          " levels deep.");
    }

    void appendBigEndian(std::uint64_t value, std::size_t size) {
        for (std::size_t i = size; i-- > 0;) out_.push_back(std::uint8_t(value >> (8 * i)));
    }

    void marker(std::uint8_t kind, std::uint64_t count) {
        if (count < 15) {
            out_.push_back(std::uint8_t(kind << 4 | count));
        } else {
            out_.push_back(std::uint8_t(kind << 4 | 0xF));
            integer(std::int64_t(count));
        }
    }

    void integer(std::int64_t value) {
        // Negative numbers take all eight bytes: the shorter widths are unsigned.
        const std::size_t size = value < 0 ? 8 : bytesFor(std::uint64_t(value));
        out_.push_back(std::uint8_t(0x10 | std::countr_zero(size)));
        appendBigEndian(std::uint64_t(value), size);
    }

    void reference(const PlistObject& object) { appendBigEndian(index_.at(object.identity()).index, refSize_); }

    void writeObject(const PlistObject& object) {
        struct Visit {
            Writer& w;
            void operator()(bool v) { w.out_.push_back(v ? 0x09 : 0x08); }
            void operator()(std::int64_t v) { w.integer(v); }
            void operator()(std::uint64_t v) {
                w.out_.push_back(0x14);
                w.appendBigEndian(0, 8);
                w.appendBigEndian(v, 8);
            }
            void operator()(double v) {
                w.out_.push_back(0x23);
                w.appendBigEndian(std::bit_cast<std::uint64_t>(v), 8);
            }
            void operator()(PlistDate v) {
                w.out_.push_back(0x33);
                w.appendBigEndian(std::bit_cast<std::uint64_t>(v.timeIntervalSinceReferenceDate), 8);
            }
            void operator()(const PlistBytes& v) {
                w.marker(0x4, v.size());
                w.out_.insert(w.out_.end(), v.begin(), v.end());
            }
            void operator()(const std::string& v) {
                bool ascii = true;
                for (char c : v) ascii = ascii && std::uint8_t(c) < 0x80;
                if (ascii) {
                    w.marker(0x5, v.size());
                    w.out_.insert(w.out_.end(), v.begin(), v.end());
                    return;
                }
                auto units = utf16(v);
                if (!units) throw FormatError("A string of the property list is not valid UTF-8.");
                w.marker(0x6, units->size());
                for (char16_t unit : *units) w.appendBigEndian(unit, 2);
            }
            void operator()(UID v) {
                const std::size_t size = bytesFor(v.value);
                w.out_.push_back(std::uint8_t(0x80 | (size - 1)));
                w.appendBigEndian(v.value, size);
            }
            void operator()(const PlistArray& v) {
                w.marker(0xA, v.size());
                for (const auto& element : v) w.reference(element);
            }
            void operator()(const PlistDictionary& v) {
                w.marker(0xD, v.size());
                for (const auto& [name, value] : v) w.appendBigEndian(w.keyIndex_.find(name)->second, w.refSize_);
                for (const auto& [name, value] : v) w.reference(value);
            }
        };
        std::visit(Visit{*this}, object.storage());
    }

    struct Numbered {
        std::size_t index;
        std::size_t height;
    };
    std::unordered_map<const void*, Numbered> index_;
    std::vector<const PlistObject*> order_;
    std::map<std::string, std::size_t, std::less<>> keyIndex_;
    std::deque<PlistObject> keys_;
    std::size_t refSize_ = 1;
    std::vector<std::uint8_t> out_;
};

// ---- reading ----

[[noreturn]] void corrupt(const std::string& reason) {
    throw FormatError("The data isn't a binary property list: " + reason + ".");
}

class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {
        if (bytes.size() < sizeof header + 1 + trailerSize) corrupt("it is too short");
        if (std::memcmp(bytes.data(), header, sizeof header) != 0) corrupt("the header is not bplist00");
        const std::size_t trailer = bytes.size() - trailerSize;
        offsetSize_ = bytes[trailer + 6];
        refSize_ = bytes[trailer + 7];
        if (offsetSize_ < 1 || offsetSize_ > 8) corrupt("the offset width is not 1 to 8 bytes");
        if (refSize_ < 1 || refSize_ > 8) corrupt("the object reference width is not 1 to 8 bytes");
        const std::uint64_t count = bigEndian(trailer + 8, 8);
        top_ = bigEndian(trailer + 16, 8);
        tableOffset_ = bigEndian(trailer + 24, 8);
        if (tableOffset_ < sizeof header + 1 || tableOffset_ > trailer)
            corrupt("the offset table lies outside the file");
        if (count == 0 || count > (trailer - tableOffset_) / offsetSize_)
            corrupt("the object count does not fit the offset table");
        if (top_ >= count) corrupt("the top object is not in the offset table");
        count_ = std::size_t(count);
        // Strings, data and dictionary keys are copies of what the file
        // holds: a file that refers to one large value from many places (or
        // lays objects over one another) would cost that value once per
        // reference, so their total is held to a few times the file's size.
        budget_ = 4 * bytes.size() + (std::size_t(1) << 20);
        // Every element a container is read with takes a slot of its own,
        // shared child or not, and each comes from a reference in the file.
        // Containers that lie side by side have no more reference bytes
        // than the objects span; containers laid over one another can claim
        // the same bytes again and again, and are stopped at that bound.
        referenceBytesLeft_ = tableOffset_ - sizeof header;
    }

    PlistObject read() { return object(top_, 0).value; }

private:
    struct Entry {
        PlistObject value;
        std::size_t height = 0; // 0 for a scalar, 1 for a container of scalars
    };
    struct State {
        bool started = false;
        std::optional<Entry> done;
    };

    std::uint64_t bigEndian(std::size_t at, std::size_t size) const {
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < size; ++i) value = value << 8 | bytes_[at + i];
        return value;
    }

    // The object at table index `index`, read once and shared after that;
    // table entries that give one offset share one object.
    const Entry& object(std::uint64_t index, std::size_t depth) {
        if (index >= count_) corrupt("an object reference lies outside the offset table");
        const std::uint64_t offset = bigEndian(tableOffset_ + std::size_t(index) * offsetSize_, offsetSize_);
        if (offset < sizeof header || offset >= tableOffset_) corrupt("an object offset lies outside the objects");
        // Elements of the map stay where they are while it grows.
        State& state = state_[std::size_t(offset)];
        if (state.done) return *state.done;
        if (state.started) corrupt("a container contains itself");
        if (depth > maxPlistDepth()) corrupt("it is nested too deeply");
        state.started = true;
        Entry entry = parse(std::size_t(offset), depth);
        // A shared container may be met again deeper down: its height, not
        // the depth it was first met at, bounds every walk through it.
        if (entry.height > maxPlistDepth()) corrupt("it is nested too deeply");
        state.done = std::move(entry);
        return *state.done;
    }

    // Ensures `size` bytes from `at` lie before the offset table.
    void need(std::size_t at, std::uint64_t size) const {
        if (at > tableOffset_ || size > tableOffset_ - at) corrupt("an object runs past the end of the objects");
    }

    // The count of a data, string or container object: the marker's low
    // nibble, or the integer object after it. Moves `at` past them.
    std::uint64_t count(std::uint8_t marker, std::size_t& at) const {
        ++at;
        if ((marker & 0xF) != 0xF) return marker & 0xF;
        need(at, 1);
        const std::uint8_t intMarker = bytes_[at];
        if ((intMarker & 0xF0) != 0x10 || (intMarker & 0xF) > 3) corrupt("a count is not an integer");
        const std::size_t size = std::size_t(1) << (intMarker & 0xF);
        need(at + 1, size);
        const std::uint64_t value = bigEndian(at + 1, size);
        at += 1 + size;
        return value;
    }

    // Counts `size` bytes of strings, data or keys about to be made.
    void materialise(std::uint64_t size) {
        if (size > budget_) corrupt("its strings, data and keys are used too often for its size");
        budget_ -= std::size_t(size);
    }

    // The `count` units of `unit` bytes that start at `at`, checked against
    // the file before anything is allocated for them.
    void needUnits(std::size_t at, std::uint64_t count, std::size_t unit) const {
        if (count > (tableOffset_ - std::min<std::size_t>(at, tableOffset_)) / unit)
            corrupt("a count is larger than the file");
    }

    // The `count` references of `unit` bytes each at `at` that a container
    // is about to be read with: in the file, and counted against what the
    // objects span before a slot is made for them.
    void needReferences(std::size_t at, std::uint64_t count, std::size_t unit) {
        needUnits(at, count, unit);
        // needUnits keeps count * unit within the objects.
        const std::size_t size = std::size_t(count) * unit;
        if (size > referenceBytesLeft_) corrupt("its containers claim more elements than it holds");
        referenceBytesLeft_ -= size;
    }

    Entry parse(std::size_t at, std::size_t depth) {
        const std::uint8_t marker = bytes_[at];
        switch (marker >> 4) {
        case 0x0:
            if (marker == 0x08 || marker == 0x09) return {PlistObject(marker == 0x09)};
            corrupt("it holds a null or fill object");
        case 0x1: {
            if ((marker & 0xF) > 4) corrupt("an integer is wider than 16 bytes");
            const std::size_t size = std::size_t(1) << (marker & 0xF);
            need(at + 1, size);
            if (size == 16) {
                // Only the unsigned 64-bit numbers above the signed range come as 16 bytes.
                if (bigEndian(at + 1, 8) != 0) corrupt("an integer lies outside 64 bits");
                return {PlistObject(bigEndian(at + 9, 8))};
            }
            const std::uint64_t raw = bigEndian(at + 1, size);
            // Eight bytes are signed; the shorter widths are unsigned.
            return {PlistObject(std::int64_t(raw))};
        }
        case 0x2: {
            const std::size_t size = std::size_t(1) << (marker & 0xF);
            if (size != 4 && size != 8) corrupt("a real is neither 4 nor 8 bytes");
            need(at + 1, size);
            if (size == 4) return {PlistObject(double(std::bit_cast<float>(std::uint32_t(bigEndian(at + 1, 4)))))};
            return {PlistObject(std::bit_cast<double>(bigEndian(at + 1, 8)))};
        }
        case 0x3:
            if (marker != 0x33) corrupt("a date is not 8 bytes");
            need(at + 1, 8);
            return {PlistObject(PlistDate{std::bit_cast<double>(bigEndian(at + 1, 8))})};
        case 0x4: {
            const std::uint64_t n = count(marker, at);
            needUnits(at, n, 1);
            materialise(n);
            return {PlistObject(PlistBytes(bytes_.begin() + at, bytes_.begin() + at + std::size_t(n)))};
        }
        case 0x5: {
            const std::uint64_t n = count(marker, at);
            needUnits(at, n, 1);
            materialise(n);
            std::string text(reinterpret_cast<const char*>(bytes_.data() + at), std::size_t(n));
            for (char c : text)
                if (std::uint8_t(c) >= 0x80) corrupt("an ASCII string holds other bytes");
            return {PlistObject(std::move(text))};
        }
        case 0x6: {
            const std::uint64_t n = count(marker, at);
            needUnits(at, n, 2);
            // At most three bytes of UTF-8 per unit; counted as made.
            std::string text = utf16Text(at, std::size_t(n));
            materialise(text.size());
            return {PlistObject(std::move(text))};
        }
        case 0x8: {
            const std::size_t size = (marker & 0xF) + 1;
            if (size > 8) corrupt("a UID is wider than 8 bytes");
            need(at + 1, size);
            return {PlistObject(UID{bigEndian(at + 1, size)})};
        }
        case 0xA: {
            const std::uint64_t n = count(marker, at);
            needReferences(at, n, refSize_);
            PlistArray array;
            array.reserve(std::size_t(n));
            std::size_t height = 0;
            for (std::size_t i = 0; i < n; ++i) {
                const Entry& element = object(bigEndian(at + i * refSize_, refSize_), depth + 1);
                height = std::max(height, element.height);
                array.push_back(element.value);
            }
            return {PlistObject(std::move(array)), height + 1};
        }
        case 0xD: {
            const std::uint64_t n = count(marker, at);
            needReferences(at, n, 2 * refSize_);
            PlistDictionary dictionary;
            std::size_t height = 0;
            const std::size_t values = at + std::size_t(n) * refSize_;
            for (std::size_t i = 0; i < n; ++i) {
                const auto key = object(bigEndian(at + i * refSize_, refSize_), depth + 1).value.asString();
                if (!key) corrupt("a dictionary key is not a string");
                materialise(key->size());
                std::string name = *key;
                const Entry& value = object(bigEndian(values + i * refSize_, refSize_), depth + 1);
                height = std::max(height, value.height);
                if (!dictionary.emplace(std::move(name), value.value).second)
                    corrupt("a dictionary holds a key twice");
            }
            return {PlistObject(std::move(dictionary)), height + 1};
        }
        default:
            corrupt("it holds an object of an unknown or unsupported kind");
        }
    }

    std::string utf16Text(std::size_t at, std::size_t units) const {
        std::string text;
        text.reserve(units);
        for (std::size_t i = 0; i < units; ++i) {
            std::uint32_t code = std::uint32_t(bigEndian(at + 2 * i, 2));
            if (code >= 0xD800 && code <= 0xDBFF && i + 1 < units) {
                const std::uint32_t low = std::uint32_t(bigEndian(at + 2 * (i + 1), 2));
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                    ++i;
                }
            }
            if (code >= 0xD800 && code <= 0xDFFF) corrupt("a string holds an unpaired surrogate");
            appendUTF8(text, code);
        }
        return text;
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t offsetSize_ = 0;
    std::size_t refSize_ = 0;
    std::size_t count_ = 0;
    std::uint64_t top_ = 0;
    std::size_t tableOffset_ = 0;
    std::unordered_map<std::size_t, State> state_; // by offset
    std::size_t budget_ = 0;
    std::size_t referenceBytesLeft_ = 0;
};

} // namespace

std::vector<std::uint8_t> writeBinaryPropertyList(const PlistObject& root) { return Writer().write(root); }

PlistObject readBinaryPropertyList(std::span<const std::uint8_t> bytes) { return Reader(bytes).read(); }

} // namespace archive
