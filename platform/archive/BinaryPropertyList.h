#pragma once

// Binary property lists ("bplist00"): the tree of objects and its writer and
// reader. Keyed archives (KeyedArchive.h) are written in this format.
//
// The file: the 8-byte header "bplist00"; the objects, each a marker byte
// (high nibble the kind, low nibble a size or a count, 0xF meaning "an
// integer object follows with the count") and its bytes; the offset table
// (the file offset of every object, big-endian, all of one width); and a
// 32-byte trailer: six unused bytes, the offset width, the object reference
// width, the object count, the index of the top object and the offset of
// the offset table (the last three 8-byte big-endian). Containers refer to
// their elements by index into the offset table. Integers and reals are
// big-endian; strings are ASCII, or UTF-16 big-endian when they hold other
// characters; dates are seconds since 2001-01-01 00:00:00 UTC.
//
// Objects are immutable and share their children: copying one is cheap, and
// a file whose containers refer to one element many times is read without
// copying that element.

#include <compare>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace archive {

// Raised for bytes that are no binary property list we accept, and for a
// tree that cannot be written (text that is not UTF-8, nesting too deep).
// The message is one line.
class FormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A reference to another object of a keyed archive: an index into its
// "$objects" array.
struct UID {
    std::uint64_t value = 0;
    friend bool operator==(const UID&, const UID&) = default;
};

// A point in time, as seconds since 2001-01-01 00:00:00 UTC.
struct PlistDate {
    double timeIntervalSinceReferenceDate = 0;
    friend bool operator==(const PlistDate&, const PlistDate&) = default;
};

class PlistObject;
using PlistBytes = std::vector<std::uint8_t>;
using PlistArray = std::vector<PlistObject>;
using PlistDictionary = std::map<std::string, PlistObject, std::less<>>;

// One object of a property list. Integers above the signed 64-bit range
// are their own kind; every other integer is Integer.
class PlistObject {
public:
    enum class Kind { Bool, Integer, Unsigned, Real, Date, Data, String, UID, Array, Dictionary };
    using Storage = std::variant<bool, std::int64_t, std::uint64_t, double, PlistDate, PlistBytes, std::string, UID,
                                 PlistArray, PlistDictionary>;

    PlistObject(); // false
    PlistObject(bool v);
    PlistObject(int v) : PlistObject(std::int64_t(v)) {}
    PlistObject(std::int64_t v);
    PlistObject(std::uint64_t v); // Integer when it fits
    PlistObject(double v);
    PlistObject(PlistDate v);
    PlistObject(PlistBytes v);
    PlistObject(std::string v);
    PlistObject(const char* v) : PlistObject(std::string(v)) {}
    PlistObject(UID v);
    PlistObject(PlistArray v);
    PlistObject(PlistDictionary v);

    Kind kind() const { return static_cast<Kind>(storage_->index()); }
    const Storage& storage() const { return *storage_; }

    // Checked reads: a pointer to the value when it is of that kind, else null.
    const bool* asBool() const { return std::get_if<bool>(storage_.get()); }
    const double* asReal() const { return std::get_if<double>(storage_.get()); }
    const PlistDate* asDate() const { return std::get_if<PlistDate>(storage_.get()); }
    const PlistBytes* asData() const { return std::get_if<PlistBytes>(storage_.get()); }
    const std::string* asString() const { return std::get_if<std::string>(storage_.get()); }
    const UID* asUID() const { return std::get_if<UID>(storage_.get()); }
    const PlistArray* asArray() const { return std::get_if<PlistArray>(storage_.get()); }
    const PlistDictionary* asDictionary() const { return std::get_if<PlistDictionary>(storage_.get()); }
    // An integer of the Integer kind (never a real, a Boolean or an Unsigned).
    std::optional<std::int64_t> asInteger() const;

    // The same object (shared), for the writer to write it once.
    const void* identity() const { return storage_.get(); }

    // Deep comparison; integers compare by value. Each pair of containers
    // is compared once, so structure shared many times costs its size.
    friend bool operator==(const PlistObject& a, const PlistObject& b);

private:
    std::shared_ptr<const Storage> storage_;
};

// The deepest nesting of arrays and dictionaries written or read: an array
// of scalars is 1 deep. Matches the limit of the user-defaults store.
std::size_t maxPlistDepth();

// The bytes of a binary property list holding `root`. An object shared in
// the tree is written once. Throws FormatError for a string that is not
// valid UTF-8 or a tree nested deeper than maxPlistDepth().
std::vector<std::uint8_t> writeBinaryPropertyList(const PlistObject& root);

// The top object of a binary property list. Throws FormatError, with the
// reason, for anything else: a wrong header or trailer, an offset or an
// object reference outside the file, a count larger than the bytes that
// could hold it, a container that contains itself, nesting deeper than
// maxPlistDepth(), non-text dictionary keys or a key given twice, invalid
// text, the kinds keyed archives never hold (null, sets, fill bytes), and
// strings, data and dictionary keys that would come to more than four times
// the input plus 1 MiB in all (each key counted at every use, a string or
// data object once per offset: offset table entries that give one offset
// share one object), and containers whose elements need more reference
// bytes in all than the objects span. Each element read takes a slot of its
// own, a shared child's too, so the elements are counted as made: at their
// reference's width (a dictionary entry twice, key and value), a container
// once per offset. Containers that lie side by side never exceed that, so
// every file a writer makes reads; containers laid over one another, each
// claiming the following ones' bytes as its references, are refused as
// corrupt once they claim more. The time and memory of reading are linear
// in the size of the input whatever it holds.
PlistObject readBinaryPropertyList(std::span<const std::uint8_t> bytes);

} // namespace archive
