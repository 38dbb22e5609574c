#include "platform/archive/KeyedArchive.h"

namespace archive {

namespace {

constexpr std::string_view archiverName = "NSKeyedArchiver";
constexpr std::int64_t archiveVersion = 100000;
constexpr std::string_view nullObject = "$null";

// A name from the archive fit for a one-line message: control characters
// replaced, and no longer than a line.
std::string printable(std::string_view name) {
    std::string out;
    for (char c : name.substr(0, 80)) out += std::uint8_t(c) < 0x20 || c == 0x7F ? '?' : c;
    if (name.size() > 80) out += "...";
    return out;
}

} // namespace

ArchiveError ArchiveError::corrupt(const std::string& detail) {
    return ArchiveError(Code::readCorrupt,
                        "The data couldn't be read because it isn't in the correct format. " + detail);
}

ArchiveError ArchiveError::invalid(const std::string& detail) {
    return ArchiveError(Code::writeInvalid, "The object couldn't be archived. " + detail);
}

// ---- encoding ----

void KeyedEncoder::set(std::string_view key, PlistObject value) {
    if (key.empty() || key.front() == '$')
        throw ArchiveError::invalid("The key \"" + printable(key) + "\" is reserved by the archive format.");
    fields_.insert_or_assign(std::string(key), std::move(value));
}

void KeyedEncoder::encodeBool(std::string_view key, bool value) { set(key, PlistObject(value)); }
void KeyedEncoder::encodeInt64(std::string_view key, std::int64_t value) { set(key, PlistObject(value)); }
void KeyedEncoder::encodeDouble(std::string_view key, double value) { set(key, PlistObject(value)); }
void KeyedEncoder::encodeBytes(std::string_view key, std::span<const std::uint8_t> bytes) {
    set(key, PlistObject(PlistBytes(bytes.begin(), bytes.end())));
}
void KeyedEncoder::encodeString(std::string_view key, std::string_view text) {
    set(key, writer_.value(PlistObject(std::string(text))));
}
void KeyedEncoder::encodeData(std::string_view key, std::span<const std::uint8_t> bytes) {
    set(key, writer_.value(PlistObject(PlistBytes(bytes.begin(), bytes.end()))));
}

namespace detail {

ArchiveWriter::ArchiveWriter() { objects_.emplace_back(std::string(nullObject)); }

std::size_t ArchiveWriter::reserve() {
    if (++depth_ > maxPlistDepth())
        throw ArchiveError::invalid("Its objects are nested more than " + std::to_string(maxPlistDepth()) +
                                    " levels deep.");
    objects_.emplace_back();
    return objects_.size() - 1;
}

UID ArchiveWriter::finish(std::size_t index, PlistDictionary fields) {
    --depth_;
    objects_[index] = PlistObject(std::move(fields));
    return UID{index};
}

UID ArchiveWriter::value(PlistObject plain) {
    objects_.push_back(std::move(plain));
    return UID{objects_.size() - 1};
}

UID ArchiveWriter::classReference(std::string_view className) {
    if (auto found = classes_.find(className); found != classes_.end()) return found->second;
    const UID uid = value(PlistObject(PlistDictionary{
        {"$classname", PlistObject(std::string(className))},
        {"$classes", PlistObject(PlistArray{PlistObject(std::string(className)), PlistObject("NSObject")})},
    }));
    classes_.emplace(std::string(className), uid);
    return uid;
}

std::vector<std::uint8_t> ArchiveWriter::finish(UID root) {
    PlistDictionary archive{
        {"$archiver", PlistObject(std::string(archiverName))},
        {"$version", PlistObject(archiveVersion)},
        {"$top", PlistObject(PlistDictionary{{"root", PlistObject(root)}})},
        {"$objects", PlistObject(std::move(objects_))},
    };
    try {
        return writeBinaryPropertyList(PlistObject(std::move(archive)));
    } catch (const FormatError& error) {
        throw ArchiveError::invalid(error.what());
    }
}

// ---- decoding ----

ArchiveReader::ArchiveReader(std::span<const std::uint8_t> bytes) {
    try {
        document_ = readBinaryPropertyList(bytes);
    } catch (const FormatError& error) {
        throw ArchiveError::corrupt(error.what());
    }
    const auto* top = document_.asDictionary();
    if (!top) throw ArchiveError::corrupt("The property list is not a dictionary.");
    auto entry = [top](std::string_view key) -> const PlistObject* {
        auto found = top->find(key);
        return found == top->end() ? nullptr : &found->second;
    };
    const auto* archiver = entry("$archiver");
    if (!archiver || !archiver->asString() || *archiver->asString() != archiverName)
        throw ArchiveError::corrupt("It is not a keyed archive.");
    objects_ = entry("$objects") ? entry("$objects")->asArray() : nullptr;
    const auto* roots = entry("$top") ? entry("$top")->asDictionary() : nullptr;
    if (!objects_ || !roots) throw ArchiveError::corrupt("The keyed archive has no \"$objects\" or \"$top\".");
    if (auto found = roots->find("root"); found != roots->end()) {
        const auto* uid = found->second.asUID();
        if (!uid) throw ArchiveError::corrupt("The archive's root is not an object reference.");
        root_ = uid->value;
    }
    inProgress_.assign(objects_->size(), false);
    // Every object is decoded once per reference to it; an archive whose
    // objects refer to one another exponentially often stops here instead.
    visitsLeft_ = 8 * objects_->size() + 64;
    bytesLeft_ = 4 * bytes.size() + (std::size_t(1) << 20);
}

void ArchiveReader::handOut(std::size_t size) {
    if (size > bytesLeft_) throw ArchiveError::corrupt("The archived objects refer to their data too often.");
    bytesLeft_ -= size;
}

const PlistObject* ArchiveReader::at(std::uint64_t index) const {
    if (index >= objects_->size()) throw ArchiveError::corrupt("An object reference lies outside \"$objects\".");
    const PlistObject& object = (*objects_)[std::size_t(index)];
    if (const auto* text = object.asString(); text && *text == nullObject) return nullptr;
    return &object;
}

ArchiveReader::Visit::Visit(ArchiveReader& reader, std::uint64_t index, std::string_view className)
    : reader_(reader), index_(std::size_t(index)), fields_(nullptr) {
    const PlistObject* object = reader.at(index);
    if (!object || !object->asDictionary()) throw ArchiveError::corrupt("An archived object is not a dictionary.");
    if (reader.inProgress_[index_]) throw ArchiveError::corrupt("An archived object contains itself.");
    if (reader.depth_ >= maxPlistDepth()) throw ArchiveError::corrupt("The archived objects are nested too deeply.");
    if (reader.visitsLeft_ == 0) throw ArchiveError::corrupt("The archived objects refer to one another too often.");
    fields_ = object->asDictionary();

    const PlistDictionary* classInfo = nullptr;
    if (auto found = fields_->find("$class"); found != fields_->end() && found->second.asUID()) {
        const PlistObject* target = reader.at(found->second.asUID()->value);
        classInfo = target ? target->asDictionary() : nullptr;
    }
    const std::string* name = nullptr;
    if (classInfo)
        if (auto found = classInfo->find("$classname"); found != classInfo->end()) name = found->second.asString();
    if (!name) throw ArchiveError::corrupt("An archived object names no class.");
    if (*name != className)
        throw ArchiveError(ArchiveError::Code::unexpectedClass,
                           "The archived object is of unexpected class '" + printable(*name) +
                               "'; the allowed class is '" + std::string(className) + "'.");

    reader.inProgress_[index_] = true;
    ++reader.depth_;
    --reader.visitsLeft_;
}

ArchiveReader::Visit::~Visit() {
    reader_.inProgress_[index_] = false;
    --reader_.depth_;
}

} // namespace detail

const PlistObject* KeyedDecoder::field(std::string_view key) const {
    auto found = fields_.find(key);
    return found == fields_.end() ? nullptr : &found->second;
}

namespace {
[[noreturn]] void wrongKind(std::string_view key, std::string_view expected) {
    throw ArchiveError::corrupt("The value for key '" + printable(key) + "' is not " + std::string(expected) + ".");
}

// The bytes of `value` (inline bytes or a data object), counted against the
// reader's allowance; nothing for no value.
std::optional<PlistBytes> handOutBytes(detail::ArchiveReader& reader, const PlistObject* value, std::string_view key,
                                       std::string_view expected) {
    if (!value) return std::nullopt;
    if (!value->asData()) wrongKind(key, expected);
    reader.handOut(value->asData()->size());
    return *value->asData();
}
} // namespace

bool KeyedDecoder::containsValue(std::string_view key) const { return field(key) != nullptr; }

std::optional<bool> KeyedDecoder::decodeBool(std::string_view key) const {
    const auto* value = field(key);
    if (!value) return std::nullopt;
    if (!value->asBool()) wrongKind(key, "a Boolean");
    return *value->asBool();
}

std::optional<std::int64_t> KeyedDecoder::decodeInt64(std::string_view key) const {
    const auto* value = field(key);
    if (!value) return std::nullopt;
    auto integer = value->asInteger();
    if (!integer) wrongKind(key, "a 64-bit integer");
    return integer;
}

std::optional<double> KeyedDecoder::decodeDouble(std::string_view key) const {
    const auto* value = field(key);
    if (!value) return std::nullopt;
    if (const auto* real = value->asReal()) return *real;
    if (auto integer = value->asInteger()) return double(*integer);
    wrongKind(key, "a number");
}

std::optional<std::vector<std::uint8_t>> KeyedDecoder::decodeBytes(std::string_view key) const {
    return handOutBytes(reader_, field(key), key, "bytes");
}

std::optional<std::uint64_t> KeyedDecoder::reference(std::string_view key) const {
    const auto* value = field(key);
    if (!value) return std::nullopt;
    if (!value->asUID()) wrongKind(key, "an object reference");
    if (!reader_.at(value->asUID()->value)) return std::nullopt;
    return value->asUID()->value;
}

const PlistObject* KeyedDecoder::referenced(std::string_view key) const {
    auto index = reference(key);
    return index ? reader_.at(*index) : nullptr;
}

std::optional<std::string> KeyedDecoder::decodeString(std::string_view key) const {
    const auto* object = referenced(key);
    if (!object) return std::nullopt;
    if (!object->asString()) wrongKind(key, "a string");
    reader_.handOut(object->asString()->size());
    return *object->asString();
}

std::optional<std::vector<std::uint8_t>> KeyedDecoder::decodeData(std::string_view key) const {
    return handOutBytes(reader_, referenced(key), key, "data");
}

} // namespace archive
