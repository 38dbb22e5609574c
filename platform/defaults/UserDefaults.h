#pragma once

#include "platform/defaults/Observation.h"
#include "platform/defaults/PropertyList.h"

#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace platform {

// A user-defaults suite: named values that outlive the process, in front of
// a registration domain of fallbacks that are never saved.
//
// Each suite keeps one JSON file, <directory>/<suite name>.json, mode 0600.
// Every change rewrites that file atomically (temporary file, fsync, rename)
// while holding an exclusive flock on <suite name>.json.lock, and re-reads
// the file first when another writer has replaced it, so programs and store
// instances that share a suite never lose each other's keys. Reads pick up a
// file replaced by another writer. A file that cannot be parsed, or that
// nests deeper than foundation::maxJsonDepth, is renamed aside (one line on
// standard output says where) and never overwritten. A file without write
// permission is left as it is and changes stay in memory (one line says so).
// A value nested too deeply for the file is refused (one line says so).
//
// All operations are safe to call from several threads at once.
class UserDefaults {
public:
    // The name of the standard suite's file; a named suite of this name does
    // not exist.
    static constexpr std::string_view standardSuiteName = "org.tessivo.Tessivo";

    // The standard suite of the application, made on first use.
    static const std::shared_ptr<UserDefaults>& standard();

    // The named suite, shared by everyone who asks for the same name while it
    // is alive. Null for the empty name, the standard suite's own name, and a
    // name that cannot be a file name ("." and "..", or one with a slash or
    // a NUL character). Dots inside a name are fine.
    static std::shared_ptr<UserDefaults> suite(std::string_view name);

    // A suite kept in the given folder, not shared with anyone in this
    // process (tests and tools). Same name rules as suite(); throws
    // std::invalid_argument for a name it refuses.
    static std::shared_ptr<UserDefaults> open(std::string_view name, std::filesystem::path directory);

    // $XDG_CONFIG_HOME/tessivo (an absolute XDG_CONFIG_HOME only), else
    // ~/.config/tessivo.
    static std::filesystem::path defaultDirectory();

    static bool isValidSuiteName(std::string_view name);

    ~UserDefaults();
    UserDefaults(const UserDefaults&) = delete;
    UserDefaults& operator=(const UserDefaults&) = delete;

    const std::string& name() const { return name_; }
    const std::filesystem::path& filePath() const { return file_; }

    // The value set for the name, else its registered fallback, else nothing.
    std::optional<PropertyList> objectForKey(std::string_view key) const;

    // Stores the value under the name; nothing removes the value set.
    void setObject(std::string_view key, std::optional<PropertyList> value);

    // Removes the value set for the name; registered fallbacks stay.
    void removeObjectForKey(std::string_view key);

    // Adds fallbacks (replacing earlier ones of the same names). Kept in
    // memory only.
    void registerDefaults(const PropertyListDictionary& defaults);

    // Every name the suite presents: the registered fallbacks overlaid with
    // the values set.
    PropertyListDictionary dictionaryRepresentation() const;

    // The values set, without fallbacks.
    PropertyListDictionary persistentDomain() const;

    // Re-reads the file if another writer replaced it.
    void synchronize() const;

    // Key-value observation of one key (Observation.h). The suite holds the
    // observer weakly. With Initial, the first report is sent before this
    // returns.
    void addObserver(const std::shared_ptr<KeyValueObserver>& observer, std::string_view key,
                     KeyValueObservingOptions options, const void* context = nullptr);
    // Removes the most recent matching registration; waits for its callbacks
    // running on other threads to end.
    void removeObserver(const KeyValueObserver* observer, std::string_view key, const void* context = nullptr);

private:
    struct FileIdentity {
        bool exists = false;
        dev_t device = 0;
        ino_t inode = 0;
        std::int64_t modifiedNanoseconds = 0;
        off_t size = 0;
        bool operator==(const FileIdentity&) const = default;
    };
    class FileLock;

    UserDefaults(std::string name, std::filesystem::path directory);

    // What one change did to the value the suite presents for a name (the
    // value set, else the registered fallback): the seam for change
    // observers, which are to be called with it on the writing thread once
    // mutex_ is released.
    struct Change {
        std::optional<PropertyList> oldValue;
        std::optional<PropertyList> newValue;
    };

    // Callers hold mutex_.
    std::optional<PropertyList> presentedLocked(std::string_view key) const;
    void refreshLocked() const;
    void loadLocked(const FileLock* lock) const;
    FileIdentity currentIdentity() const;
    Change applyLocked(std::string_view key, std::optional<PropertyList> value);
    bool saveLocked(const PropertyListDictionary& values);
    std::filesystem::path moveAsideLocked() const;
    // Writes one key and reports it to the key's observers (Observation.cpp).
    void applyAndReport(std::string_view key, std::optional<PropertyList> value);

    std::string name_;
    std::filesystem::path directory_;
    std::filesystem::path file_;
    std::filesystem::path lockFile_;

    mutable std::mutex mutex_;
    mutable PropertyListDictionary persistent_;
    mutable FileIdentity loadedIdentity_;
    mutable bool loaded_ = false;
    // Set when the file exists but cannot be read (permissions, I/O): the
    // suite then keeps changes in memory rather than overwrite what it could
    // not read.
    mutable bool readOnly_ = false;
    bool reportedLockFailure_ = false;
    PropertyListDictionary registered_;
    KeyValueObserverList observers_;
};

} // namespace platform
