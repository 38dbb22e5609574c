#pragma once

#include "QRCode/generators/GeneratorRegistry.h"

#include <memory>
#include <string_view>

namespace QRCode {

// The common part of a shape class without settings, for any of the shape
// interfaces (`Interface`: pixel, eye or pupil generator): Create and
// copyShape make a fresh instance, settings are empty and every key is
// refused, reset does nothing. The derived class declares Name and Title and
// draws.
template <class Derived, class Interface> class WithoutSettings : public Interface {
public:
    static std::shared_ptr<Derived> Create(const SettingsDict& = SettingsDict()) { return std::make_shared<Derived>(); }

    std::shared_ptr<Interface> copyShape() const override { return std::make_shared<Derived>(); }
    void reset() override {}
    SettingsDict settings() const override { return SettingsDict::object(); }
    bool supportsSettingValueForKey(std::string_view) const override { return false; }
    bool setSettingValue(const OptionalSettingsValue&, std::string_view) override { return false; }
    std::string_view name() const noexcept override { return Derived::Name; }
    std::string_view title() const noexcept override { return Derived::Title; }
};

} // namespace QRCode
