#include "settings-store/UpdateStream.h"

namespace Defaults {

UpdateStream<std::monostate> updates(const std::vector<std::reference_wrapper<const AnyKey>>& keys, bool initial) {
    using Stream = UpdateStream<std::monostate>;
    auto buffer = std::make_shared<Stream::Buffer>();
    std::weak_ptr<Stream::Buffer> weak = buffer;
    std::vector<std::shared_ptr<Observation>> feeds;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const AnyKey& key = keys[i];
        auto observation = UserDefaultsKeyObservation::make(key.suite(), key.name(), [weak](BaseChange) {
            if (auto b = weak.lock()) b->yield(std::monostate{});
        });
        // Only the first key reports the initial mark: one, not one per key.
        observation->start(initial && i == 0 ? ObservationOptions{ObservationOption::initial} : ObservationOptions{});
        feeds.push_back(std::move(observation));
    }
    return Stream(std::move(buffer), std::move(feeds));
}

} // namespace Defaults
