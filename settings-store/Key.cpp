#include "settings-store/Key.h"

#include <stdexcept>

namespace Defaults {

AnyKey::AnyKey(std::string name, Suite suite) : name_(std::move(name)), suite_(std::move(suite)) {
    if (!suite_) throw std::invalid_argument("a settings key needs a suite");
}

std::size_t AnyKey::hash() const {
    std::size_t h = std::hash<std::string>{}(name_);
    h ^= std::hash<const void*>{}(suite_.get()) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
    return h;
}

bool isValidKeyPath(std::string_view name) {
    if (!name.empty() && name.front() == '@') return false;
    for (unsigned char c : name)
        if (c == '.' || c >= 0x80) return false;
    return true;
}

void removeAll(platform::UserDefaults& suite) {
    for (const auto& entry : suite.dictionaryRepresentation()) suite.removeObjectForKey(entry.first);
}

} // namespace Defaults
