#pragma once

#include "QRCode/QRCodeError.h"
#include "platform/foundation/SettingsValue.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

// What the pixel, eye and pupil shape families share: the class entries a
// registry is built from, the registry itself, the two-key archive and the
// typed settings lookup.

namespace QRCode {

using foundation::SettingsDict;
using foundation::SettingsValue;

// A setting handed to setSettingValue: std::nullopt is "no value" (which
// several settings read as "back to the default"); a JSON null is a value of
// the wrong kind like any other non-number.
using OptionalSettingsValue = std::optional<SettingsValue>;

// One class of a generator family as a registry sees it: the class-level
// Name and Title and its Create. A class T with static members Name, Title
// and Create(const SettingsDict&) becomes an entry through generatorClass<T>.
template <class Generator> struct GeneratorClass {
    std::string_view name;
    std::string_view title;
    std::shared_ptr<Generator> (*create)(const SettingsDict& settings);
};

template <class T, class Generator> constexpr GeneratorClass<Generator> generatorClass() {
    return {T::Name, T::Title,
            [](const SettingsDict& settings) -> std::shared_ptr<Generator> { return T::Create(settings); }};
}

// The classes of one generator family, fixed at construction.
//
// registeredTypes() is the registration list sorted stably by Title,
// comparing byte by byte (so "CRT" before "Circle", "Hexa" before
// "Hexagon"); all() is sorted by Name the same way. Lookup by name is exact
// and case-sensitive.
template <class Generator> class GeneratorRegistry {
public:
    using Class = GeneratorClass<Generator>;

    explicit GeneratorRegistry(std::vector<Class> registrationOrder) : types_(std::move(registrationOrder)) {
        std::stable_sort(types_.begin(), types_.end(),
                         [](const Class& a, const Class& b) { return a.title < b.title; });
    }

    const std::vector<Class>& registeredTypes() const noexcept { return types_; }

    // The Name of every registered class, in registry order.
    std::vector<std::string> availableGeneratorNames() const {
        std::vector<std::string> names;
        names.reserve(types_.size());
        for (const auto& t : types_) names.emplace_back(t.name);
        return names;
    }

    // One new generator of every class with default settings, by Name.
    std::vector<std::shared_ptr<Generator>> all() const {
        std::vector<const Class*> byName;
        byName.reserve(types_.size());
        for (const auto& t : types_) byName.push_back(&t);
        std::stable_sort(byName.begin(), byName.end(),
                         [](const Class* a, const Class* b) { return a->name < b->name; });
        std::vector<std::shared_ptr<Generator>> result;
        result.reserve(byName.size());
        for (const Class* t : byName) result.push_back(t->create(SettingsDict()));
        return result;
    }

    // The registered class called `name`, or nullptr.
    const Class* classNamed(std::string_view name) const noexcept {
        for (const auto& t : types_) {
            if (t.name == name) return &t;
        }
        return nullptr;
    }

    // A new generator of the class called `name`, made with `settings` (a
    // null SettingsDict for none). An unknown name throws
    // QRCodeException(unsupportedGeneratorName).
    std::shared_ptr<Generator> named(std::string_view name, const SettingsDict& settings = SettingsDict()) const {
        const Class* type = classNamed(name);
        if (type == nullptr) throw QRCodeException(QRCodeError::unsupportedGeneratorName);
        return type->create(settings);
    }

    // A generator from its archive {"type": Name, "settings": {...}}. A
    // missing or non-text "type" throws cannotCreateGenerator; an unknown type
    // throws unsupportedGeneratorName; "settings" of another kind than a
    // dictionary means the defaults.
    std::shared_ptr<Generator> create(const SettingsDict& archive) const {
        const auto type = foundation::settingString(archive, "type");
        if (!type) throw QRCodeException(QRCodeError::cannotCreateGenerator);
        const SettingsValue* settings = foundation::settingEntry(archive, "settings");
        if (settings != nullptr && settings->is_object()) return named(*type, *settings);
        return named(*type, SettingsDict::object());
    }

private:
    std::vector<Class> types_;
};

// Appends every class of each family list, in order: the registration list
// of a registry is the concatenation of its families' lists.
template <class Generator>
std::vector<GeneratorClass<Generator>> concatenateFamilies(
    std::initializer_list<std::span<const GeneratorClass<Generator>>> families) {
    std::vector<GeneratorClass<Generator>> list;
    for (const auto family : families) list.insert(list.end(), family.begin(), family.end());
    return list;
}

// The stored form of a generator of any of the three shape families.
template <class Generator> SettingsDict generatorArchive(const Generator& generator) {
    SettingsDict archive = SettingsDict::object();
    archive["type"] = std::string(generator.name());
    archive["settings"] = generator.settings();
    return archive;
}

// Typed lookup in a generator's settings: the value under `key` converted to
// T (double, std::int64_t, bool, std::string or SettingsValue), or nothing
// when the key is missing or the value is of another kind. Numbers follow the
// settings readers: Booleans count as numbers, strings never do.
template <class T> std::optional<T> settingValueIn(const SettingsDict& settings, std::string_view key) {
    if constexpr (std::is_same_v<T, double>) {
        return foundation::settingDouble(settings, key);
    } else if constexpr (std::is_same_v<T, bool>) {
        return foundation::settingBool(settings, key);
    } else if constexpr (std::is_same_v<T, std::int64_t>) {
        return foundation::settingInteger(settings, key);
    } else if constexpr (std::is_same_v<T, std::string>) {
        return foundation::settingString(settings, key);
    } else {
        static_assert(std::is_same_v<T, SettingsValue>, "settingValue: unsupported type");
        const SettingsValue* entry = foundation::settingEntry(settings, key);
        if (entry == nullptr) return std::nullopt;
        return *entry;
    }
}

// What every pixel, eye and pupil shape offers besides its drawing: its
// settings and the class's names. Each family's interface adds copyShape
// and its paths.
class QRCodeShapeGenerator {
public:
    virtual ~QRCodeShapeGenerator() = default;

    // Back to the class's default settings (nothing where there are none);
    // clears whatever the generator remembers between drawings.
    virtual void reset() = 0;
    virtual SettingsDict settings() const = 0;
    virtual bool supportsSettingValueForKey(std::string_view key) const = 0;
    // Applies one setting; true when the key was understood and the value
    // taken. std::nullopt is "no value".
    virtual bool setSettingValue(const OptionalSettingsValue& value, std::string_view key) = 0;

    // The class's Name and Title.
    virtual std::string_view name() const noexcept = 0;
    virtual std::string_view title() const noexcept = 0;

    // The value under `key` of settings() as T (double, std::int64_t, bool,
    // std::string or SettingsValue), or nothing when missing or of another kind.
    template <class T> std::optional<T> settingValue(std::string_view key) const {
        return settingValueIn<T>(settings(), key);
    }
};

} // namespace QRCode
