#pragma once

#include "platform/defaults/Observation.h"
#include "platform/defaults/PropertyList.h"

#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <thread>
#include <vector>

namespace platform {

// A user-defaults suite: named values that outlive the process, in front of
// a registration domain of fallbacks that are never saved.
//
// Each suite keeps one JSON file, <directory>/<suite name>.json, mode 0600.
// A change takes effect in memory at once (readers and observers see it
// before setObject returns); the file is written behind, off the caller's
// thread, by the suite's own writer: changes that arrive close together are
// saved as one file holding the latest values. Every save rewrites the file
// atomically (temporary file, fsync, rename) while holding an exclusive flock
// on <suite name>.json.lock, and re-reads the file under that lock first, so
// programs and store instances that share a suite never lose each other's
// keys.
//
// A settings file that is a symbolic link (or a chain of them, a relative
// link taken against its own folder) is the user's own set-up: it is read
// through, and a save replaces the file at the end of the chain, with the
// temporary file and the lock (that file's name and ".lock") beside it, so
// that a program using the file by its real path shares the lock; the links
// stay. A dangling link is read as a missing file, and the first save makes
// the file where it leads; a folder it leads into that is not there is not
// made (it may be a drive not mounted now): the save fails until it is
// there. A loop of links fails to read and to save. A link to anything but
// a regular file is treated as such a file is.
//
// synchronize() writes what is still unsaved before it returns; so do
// the suite's destructor and the end of the process (return from main or
// exit()), for every suite still alive then. A temporary file that a killed
// save left behind is removed when the suite is first read, unless another
// writer holds the lock (it may be that file's writer). Reads pick up a file replaced by
// another writer, keeping this suite's unsaved changes on top of it. A file
// that cannot be parsed, that nests deeper than foundation::maxJsonDepth, or
// that is no regular file of at most maxFileSize bytes, is renamed aside
// (one line on standard output says where) and never overwritten. A file
// without write permission is left as it is and changes stay in memory (one
// line says so). A value nested too deeply for the file is refused (one line
// says so).
//
// A save that fails prints one line on standard output (once until a save
// succeeds again), keeps the changes in memory and is tried again on the next
// change or synchronize(), which reports the failure to its caller.
//
// After fork() the child's copy of a suite forgets the changes its parent had
// not saved yet (the parent still saves them) and writes its own.
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

    // The largest settings file read, in bytes. A larger one, and one that is
    // not a regular file (a FIFO, a device, a link to either), is damaged:
    // moved aside unread like a file that does not parse. A link to a
    // regular file is read and saved through, since users keep settings
    // files in folders of their own that way.
    static constexpr off_t maxFileSize = off_t(64) << 20;

    ~UserDefaults();
    UserDefaults(const UserDefaults&) = delete;
    UserDefaults& operator=(const UserDefaults&) = delete;

    const std::string& name() const { return name_; }
    const std::filesystem::path& filePath() const { return file_; }

    // The value set for the name, else its registered fallback, else nothing.
    std::optional<PropertyList> objectForKey(std::string_view key) const;

    // Hands the value objectForKey would give (or null) to `reader` without
    // copying it: for reading part of a large value. The suite stays locked
    // while the reader runs, so the reader must not use the suite.
    void readObject(std::string_view key, const std::function<void(const PropertyList*)>& reader) const;

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

    // What synchronize() reports: empty error when every change made before
    // the call is in the file.
    struct SaveResult {
        std::string error;
        bool ok() const { return error.empty(); }
    };

    // Writes the changes not saved yet and waits for that, then re-reads the
    // file if another writer replaced it. On failure the changes stay in
    // memory, to be saved by a later change or call.
    SaveResult synchronize();

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
    class Registry;
    // Where a save writes: the settings file, or the file at the end of its
    // links.
    struct SaveTarget {
        std::filesystem::path file; // what the new file is renamed over
        std::filesystem::path lock; // the lock file that guards that
        std::string problem;        // why nothing may be written there; empty when it may
    };

    UserDefaults(std::string name, std::filesystem::path directory);

    // What one change did to the value the suite presents for a name (the
    // value set, else the registered fallback): the seam for change
    // observers, which are to be called with it on the writing thread once
    // mutex_ is released.
    struct Change {
        std::optional<PropertyList> oldValue;
        std::optional<PropertyList> newValue;
        // No writer thread takes the change (shutting down, or a thread could
        // not be started): the writing thread saves it itself.
        bool saveNow = false;
    };
    // A change not in the file yet; `generation` tells a change saved from
    // one made while the save was running.
    struct PendingChange {
        std::optional<PropertyList> value;
        std::uint64_t generation = 0;
    };

    // Callers hold mutex_.
    // The value set for the name, else its registered fallback, else null.
    const PropertyList* presentedValueLocked(std::string_view key) const;
    std::optional<PropertyList> presentedLocked(std::string_view key) const;
    void refreshLocked() const;
    void loadLocked(const FileLock* lock) const;
    // Temporary files of saves killed before their rename, removed at the
    // first read once the suite's lock is free (`lock` when the caller
    // holds it).
    void removeLeftoverTemporariesLocked(const FileLock* lock) const;
    std::vector<std::filesystem::path> leftoverTemporaries(const std::filesystem::path& file) const;
    SaveTarget saveTarget() const;
    void overlayPendingLocked() const;
    // In the child of fork(), with mutex_ and saveMutex_ held.
    void adoptAfterForkLocked();
    FileIdentity currentIdentity() const;
    Change applyLocked(std::string_view key, std::optional<PropertyList> value);
    // Writes the file; the error text, empty on success. Needs the file lock,
    // not mutex_.
    std::string saveFile(const PropertyListDictionary& values, const SaveTarget& target) const;
    // Saves the pending changes (the writer thread, synchronize, shutdown).
    // Takes saveMutex_, then the file lock, then mutex_; never call it with
    // mutex_ held.
    SaveResult savePending();
    void writerLoop();
    // Ends the writer thread (without saving); returns once it has stopped.
    void stopWriter();
    // Writes one key and reports it to the key's observers (Observation.cpp).
    void applyAndReport(std::string_view key, std::optional<PropertyList> value);

    std::string name_;
    std::filesystem::path directory_;
    std::filesystem::path file_;

    mutable std::mutex mutex_;
    mutable PropertyListDictionary persistent_;
    mutable FileIdentity loadedIdentity_;
    mutable bool loaded_ = false;
    // Set when the file exists but cannot be read (permissions, I/O): the
    // suite then keeps changes in memory rather than overwrite what it could
    // not read.
    mutable bool readOnly_ = false;
    mutable bool sweptTemporaries_ = false;
    bool reportedLockFailure_ = false;
    PropertyListDictionary registered_;
    KeyValueObserverList observers_;

    // Write-behind state, guarded by mutex_. persistent_ is always the file
    // as last read with pending_ applied on top.
    std::map<std::string, PendingChange, std::less<>> pending_;
    std::uint64_t generation_ = 0;
    bool dirty_ = false;      // the writer has changes to save
    bool stopping_ = false;   // the writer is gone or going: save on the caller's thread
    std::string lastFailure_; // the failure last reported, until a save succeeds
    std::condition_variable wake_;
    std::thread writer_;
    // Serialises saves of this suite (writer thread, synchronize, shutdown).
    std::mutex saveMutex_;
};

} // namespace platform
