#pragma once

// Keyed archives: an object graph written as a binary property list in the
// published keyed-archive shape, with secure (class-checked) decoding.
//
// The archive is a dictionary:
//     "$archiver": "NSKeyedArchiver"
//     "$version":  100000
//     "$top":      {"root": UID(1)}
//     "$objects":  ["$null", <root object>, ...]
// Every archived object is a dictionary in "$objects" holding its fields and
// "$class": a UID of a class dictionary {"$classname": name, "$classes":
// [name, "NSObject"]}. Scalars (Booleans, integers, reals) and inline bytes
// sit in the object's dictionary itself; strings, data objects and nested
// objects sit in "$objects" and the field holds their UID. UID(0), "$null",
// is the absent object.
//
// Making a type archivable: specialise archive::Archivable<T>, e.g.
//
//     template <> struct archive::Archivable<Swatch> {
//         static constexpr std::string_view className = "Swatch";
//         static void encode(const Swatch& s, archive::KeyedEncoder& coder) {
//             coder.encodeString("name", s.name);
//             coder.encodeDouble("alpha", s.alpha);
//         }
//         // Throws ArchiveError (readCorrupt) for fields that make no Swatch.
//         static Swatch decode(const archive::KeyedDecoder& coder) {
//             auto name = coder.decodeString("name");
//             auto alpha = coder.decodeDouble("alpha");
//             if (!name || !alpha) throw archive::ArchiveError::corrupt("A swatch needs a name and an alpha.");
//             return Swatch{*name, *alpha};
//         }
//     };
//
// and then
//
//     std::vector<std::uint8_t> bytes = archive::archivedData(swatch);        // throws ArchiveError
//     std::optional<Swatch> back = archive::unarchivedObject<Swatch>(bytes);  // throws ArchiveError
//
// Decoding is always secure: an object is decoded only as the one class the
// caller names, and an archived object whose "$classname" differs is an
// error (unexpectedClass), never a different type. Hostile archives
// (reference cycles, references outside "$objects", graphs that refer to
// one object or one large data object exponentially often, nesting past
// maxPlistDepth()) are refused with readCorrupt; the time and memory of
// reading stay linear in the archive's size.

#include "platform/archive/BinaryPropertyList.h"

#include <concepts>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace archive {

// The one error of archiving and unarchiving. Its message is one line, fit
// to show to a user as it stands.
class ArchiveError : public std::runtime_error {
public:
    enum class Code {
        readCorrupt,     // the data is no keyed archive, or its fields make no object
        unexpectedClass, // an archived object is not of the class the caller asked for
        writeInvalid,    // the value cannot be archived (text that is no UTF-8, a reserved key, ...)
    };

    ArchiveError(Code code, const std::string& message) : std::runtime_error(message), code_(code) {}
    Code code() const noexcept { return code_; }

    static ArchiveError corrupt(const std::string& detail);
    static ArchiveError invalid(const std::string& detail);

private:
    Code code_;
};

class KeyedEncoder;
class KeyedDecoder;

// The customisation point: specialise for each archivable type (see above).
// Members:
//     static constexpr std::string_view className;   // "$classname" in the archive
//     static void encode(const T&, KeyedEncoder&);     // may throw ArchiveError
//     static T decode(const KeyedDecoder&);            // throws ArchiveError for bad fields
template <class T> struct Archivable;

template <class T>
concept KeyedArchivable = requires(const T& value, KeyedEncoder& encoder, const KeyedDecoder& decoder) {
    { Archivable<T>::className } -> std::convertible_to<std::string_view>;
    Archivable<T>::encode(value, encoder);
    { Archivable<T>::decode(decoder) } -> std::same_as<T>;
};

namespace detail {
class ArchiveWriter;
class ArchiveReader;
} // namespace detail

// Writes the fields of one object. Keys are any non-empty text not starting
// with "$" (those are the format's own; others throw writeInvalid); writing
// a key twice keeps the last value.
class KeyedEncoder {
public:
    void encodeBool(std::string_view key, bool value);
    void encodeInt64(std::string_view key, std::int64_t value);
    void encodeDouble(std::string_view key, double value);
    // Bytes stored inline in the object's fields.
    void encodeBytes(std::string_view key, std::span<const std::uint8_t> bytes);
    // A string object; the field holds its UID. Throws writeInvalid for text
    // that is not UTF-8 when the archive is finished.
    void encodeString(std::string_view key, std::string_view text);
    // A data object; the field holds its UID.
    void encodeData(std::string_view key, std::span<const std::uint8_t> bytes);
    // A nested archived object of its own class; the field holds its UID.
    template <KeyedArchivable U> void encodeObject(std::string_view key, const U& value);

private:
    friend class detail::ArchiveWriter;
    KeyedEncoder(detail::ArchiveWriter& writer, PlistDictionary& fields) : writer_(writer), fields_(fields) {}
    void set(std::string_view key, PlistObject value);

    detail::ArchiveWriter& writer_;
    PlistDictionary& fields_;
};

// Reads the fields of one object. Every decode gives nothing for a missing
// key and throws ArchiveError (readCorrupt) for a key holding a value of
// another kind.
class KeyedDecoder {
public:
    bool containsValue(std::string_view key) const;
    std::optional<bool> decodeBool(std::string_view key) const;
    std::optional<std::int64_t> decodeInt64(std::string_view key) const;
    // A real, or an integer (converted).
    std::optional<double> decodeDouble(std::string_view key) const;
    std::optional<std::vector<std::uint8_t>> decodeBytes(std::string_view key) const;
    // A string object; nothing also for the absent object.
    std::optional<std::string> decodeString(std::string_view key) const;
    // A data object; nothing also for the absent object.
    std::optional<std::vector<std::uint8_t>> decodeData(std::string_view key) const;
    // A nested object, which must be of U's class (else unexpectedClass);
    // nothing also for the absent object.
    template <KeyedArchivable U> std::optional<U> decodeObject(std::string_view key) const;

private:
    friend class detail::ArchiveReader;
    KeyedDecoder(detail::ArchiveReader& reader, const PlistDictionary& fields) : reader_(reader), fields_(fields) {}
    const PlistObject* field(std::string_view key) const;
    // The object a UID field refers to; null for a missing key or the absent object.
    const PlistObject* referenced(std::string_view key) const;
    std::optional<std::uint64_t> reference(std::string_view key) const;

    detail::ArchiveReader& reader_;
    const PlistDictionary& fields_;
};

namespace detail {

// Builds "$objects" while objects are encoded.
class ArchiveWriter {
public:
    ArchiveWriter();

    // Encodes one object of class `className` with `encodeFields` and gives
    // its UID.
    template <class F> UID object(std::string_view className, F&& encodeFields) {
        const std::size_t index = reserve();
        PlistDictionary fields;
        fields.emplace("$class", classReference(className));
        KeyedEncoder encoder(*this, fields);
        encodeFields(encoder);
        return finish(index, std::move(fields));
    }
    UID value(PlistObject plain);
    // The archive's bytes with `root` as its root object.
    std::vector<std::uint8_t> finish(UID root);

private:
    std::size_t reserve();
    UID finish(std::size_t index, PlistDictionary fields);
    UID classReference(std::string_view className);

    std::vector<PlistObject> objects_;
    std::size_t depth_ = 0;
    std::map<std::string, UID, std::less<>> classes_;
};

// Reads "$objects", guarding against cycles, deep nesting and runaway
// re-reading of shared objects.
class ArchiveReader {
public:
    explicit ArchiveReader(std::span<const std::uint8_t> bytes);

    std::optional<std::uint64_t> rootReference() const { return root_; }
    // The object at `index`; null for the absent object. Throws readCorrupt
    // for an index outside "$objects".
    const PlistObject* at(std::uint64_t index) const;

    // Counts `size` bytes handed out as decoded strings and data. A value
    // holds its own copies, so an archive whose objects all refer to one
    // large data object would cost its size once per reference: the total
    // is held to a few times the archive's size (readCorrupt beyond).
    void handOut(std::size_t size);

    // Decodes the object at `index` as class `className` with `decodeFields`.
    template <class T, class F> T object(std::uint64_t index, std::string_view className, F&& decodeFields) {
        Visit visit(*this, index, className);
        return decodeFields(KeyedDecoder(*this, visit.fields()));
    }

private:
    // Marks an object as being decoded for as long as it lives.
    class Visit {
    public:
        Visit(ArchiveReader& reader, std::uint64_t index, std::string_view className);
        ~Visit();
        Visit(const Visit&) = delete;
        Visit& operator=(const Visit&) = delete;
        const PlistDictionary& fields() const { return *fields_; }

    private:
        ArchiveReader& reader_;
        std::size_t index_;
        const PlistDictionary* fields_;
    };

    PlistObject document_;
    const PlistArray* objects_ = nullptr;
    std::optional<std::uint64_t> root_;
    std::vector<bool> inProgress_;
    std::size_t depth_ = 0;
    std::size_t visitsLeft_ = 0;
    std::size_t bytesLeft_ = 0;
};

} // namespace detail

template <KeyedArchivable U> void KeyedEncoder::encodeObject(std::string_view key, const U& value) {
    set(key, writer_.object(Archivable<U>::className,
                            [&](KeyedEncoder& nested) { Archivable<U>::encode(value, nested); }));
}

template <KeyedArchivable U> std::optional<U> KeyedDecoder::decodeObject(std::string_view key) const {
    auto index = reference(key);
    if (!index) return std::nullopt;
    return reader_.object<U>(*index, Archivable<U>::className,
                             [](const KeyedDecoder& nested) { return Archivable<U>::decode(nested); });
}

// The keyed archive of `root`, secure coding required. Throws ArchiveError
// (writeInvalid, or what the type's encode throws).
template <KeyedArchivable T> std::vector<std::uint8_t> archivedData(const T& root) {
    detail::ArchiveWriter writer;
    const UID uid =
        writer.object(Archivable<T>::className, [&](KeyedEncoder& encoder) { Archivable<T>::encode(root, encoder); });
    return writer.finish(uid);
}

// The root object of a keyed archive, decoded only as T. Nothing when the
// archive's root is the absent object; throws ArchiveError when the bytes
// are no keyed archive (readCorrupt), the root is of another class
// (unexpectedClass) or its fields make no T (what the type's decode throws).
template <KeyedArchivable T> std::optional<T> unarchivedObject(std::span<const std::uint8_t> bytes) {
    detail::ArchiveReader reader(bytes);
    auto root = reader.rootReference();
    if (!root || !reader.at(*root)) return std::nullopt;
    return reader.object<T>(*root, Archivable<T>::className,
                            [](const KeyedDecoder& decoder) { return Archivable<T>::decode(decoder); });
}

} // namespace archive
