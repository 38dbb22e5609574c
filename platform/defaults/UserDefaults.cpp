#include "platform/defaults/UserDefaults.h"

#include "platform/defaults/PropertyListCoding.h"
#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/Diagnostics.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/SymbolicLinks.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <map>
#include <memory>
#include <pthread.h>
#include <pwd.h>
#include <stdexcept>
#include <system_error>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// Diagnostics of the store are single lines, through the process's sink.
void report(const std::string& line) { foundation::diagnostic(line); }

std::string errnoText(int error) { return std::strerror(error); }

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    void reset(int fd = -1) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }
    // Closes now and reports whether the close succeeded.
    bool close() {
        int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

// Reads to the end; fails with EFBIG once more than `limit` bytes came (a
// file that grows while it is read).
bool readAll(int fd, std::string& out, off_t limit) {
    char buffer[16384];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return true;
        if (off_t(out.size()) + n > limit) {
            errno = EFBIG;
            return false;
        }
        out.append(buffer, std::size_t(n));
    }
}

bool ensureDirectory(const std::filesystem::path& directory) {
    std::error_code ec;
    if (std::filesystem::is_directory(directory, ec)) return true;
    std::filesystem::create_directories(directory.parent_path(), ec);
    if (::mkdir(directory.c_str(), 0700) == 0 || errno == EEXIST) return std::filesystem::is_directory(directory, ec);
    return false;
}

// The folder a file is in, for opening and listing.
std::filesystem::path folderOf(const std::filesystem::path& file) {
    std::filesystem::path folder = file.parent_path();
    return folder.empty() ? "." : folder;
}

// How a failure names the settings file: by its own path, and by the file a
// link of that name leads to.
std::string quotedFile(const std::filesystem::path& file, const std::filesystem::path& target) {
    std::string text = "\"" + file.string() + "\"";
    if (target != file) text += " (a link to \"" + target.string() + "\")";
    return text;
}

// How long the writer waits after a change for more to come, so that a burst
// of changes (a slider being dragged) costs one save.
constexpr auto coalescingDelay = std::chrono::milliseconds(20);

} // namespace

// The process's suites: the named ones, shared by name, and every live one,
// whose unsaved changes it saves when the process ends. Made before the first
// suite, so it is destroyed after every suite kept in a static, and its
// destructor runs on return from main or exit().
class UserDefaults::Registry {
public:
    static Registry& instance() {
        static Registry registry;
        return registry;
    }
    static bool closed() { return closed_.load(); }

    std::mutex suitesMutex;
    std::map<std::string, std::weak_ptr<UserDefaults>, std::less<>> suites;

    void add(UserDefaults* suite) {
        std::lock_guard guard(liveMutex_);
        live_.push_back(suite);
    }
    void remove(UserDefaults* suite) {
        std::lock_guard guard(liveMutex_);
        std::erase(live_, suite);
    }

    ~Registry() {
        std::vector<UserDefaults*> remaining;
        {
            std::lock_guard guard(liveMutex_);
            remaining.swap(live_);
            closed_ = true;
        }
        // Suites still alive here (held by a leaked object, or by a frame
        // that exit() never unwound) save now; later changes to them are
        // saved on the writing thread.
        for (UserDefaults* suite : remaining) {
            suite->stopWriter();
            (void)suite->savePending();
        }
    }

private:
    Registry() { ::pthread_atfork(&prepareFork, &afterForkInParent, &afterForkInChild); }

    // fork() waits for saves in progress and holds every suite still, so
    // the child gets consistent suites with unlocked mutexes.
    static void prepareFork() {
        if (closed()) return;
        auto& r = instance();
        r.suitesMutex.lock();
        r.liveMutex_.lock();
        for (UserDefaults* suite : r.live_) {
            suite->saveMutex_.lock();
            suite->mutex_.lock();
        }
    }
    static void afterForkInParent() {
        if (closed()) return;
        auto& r = instance();
        for (UserDefaults* suite : r.live_) {
            suite->mutex_.unlock();
            suite->saveMutex_.unlock();
        }
        r.liveMutex_.unlock();
        r.suitesMutex.unlock();
    }
    static void afterForkInChild() {
        if (closed()) return;
        auto& r = instance();
        for (UserDefaults* suite : r.live_) {
            suite->adoptAfterForkLocked();
            suite->mutex_.unlock();
            suite->saveMutex_.unlock();
        }
        r.liveMutex_.unlock();
        r.suitesMutex.unlock();
    }

    std::mutex liveMutex_;
    std::vector<UserDefaults*> live_;
    static inline std::atomic<bool> closed_{false};
};

// An exclusive flock on the suite's lock file, held for one save.
class UserDefaults::FileLock {
public:
    // Without `wait`, gives up at once when someone else holds the lock
    // (error() is then EWOULDBLOCK).
    explicit FileLock(std::filesystem::path path, bool wait = true) : path_(std::move(path)) {
        fd_.reset(::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
        if (!fd_) {
            error_ = errno;
            return;
        }
        while (::flock(fd_.get(), wait ? LOCK_EX : LOCK_EX | LOCK_NB) != 0) {
            if (errno != EINTR) {
                error_ = errno;
                fd_.reset();
                return;
            }
        }
    }
    ~FileLock() {
        if (fd_) ::flock(fd_.get(), LOCK_UN);
    }
    bool held() const { return bool(fd_); }
    int error() const { return error_; }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    FileDescriptor fd_;
    int error_ = 0;
};

const std::shared_ptr<UserDefaults>& UserDefaults::standard() {
    static const std::shared_ptr<UserDefaults> instance(
        new UserDefaults(std::string(standardSuiteName), defaultDirectory()));
    return instance;
}

bool UserDefaults::isValidSuiteName(std::string_view name) {
    if (name.empty() || name == standardSuiteName || name == "." || name == "..") return false;
    return name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

std::shared_ptr<UserDefaults> UserDefaults::suite(std::string_view name) {
    if (!isValidSuiteName(name)) return nullptr;
    auto& r = Registry::instance();
    std::lock_guard guard(r.suitesMutex);
    auto it = r.suites.find(name);
    if (it != r.suites.end()) {
        if (auto existing = it->second.lock()) return existing;
    }
    std::shared_ptr<UserDefaults> made(new UserDefaults(std::string(name), defaultDirectory()));
    r.suites.insert_or_assign(std::string(name), made);
    return made;
}

std::shared_ptr<UserDefaults> UserDefaults::open(std::string_view name, std::filesystem::path directory) {
    if (name != standardSuiteName && !isValidSuiteName(name))
        throw std::invalid_argument("not a usable suite name: \"" + std::string(name) + "\"");
    return std::shared_ptr<UserDefaults>(new UserDefaults(std::string(name), std::move(directory)));
}

std::filesystem::path UserDefaults::defaultDirectory() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/')
        return std::filesystem::path(xdg) / "tessivo";
    std::filesystem::path home;
    if (const char* h = std::getenv("HOME"); h && h[0] == '/') {
        home = h;
    } else {
        struct passwd entry {};
        struct passwd* result = nullptr;
        char buffer[4096];
        if (::getpwuid_r(::getuid(), &entry, buffer, sizeof buffer, &result) == 0 && result && result->pw_dir)
            home = result->pw_dir;
        else
            home = std::filesystem::temp_directory_path();
    }
    return home / ".config" / "tessivo";
}

UserDefaults::UserDefaults(std::string name, std::filesystem::path directory)
    : name_(std::move(name)), directory_(std::move(directory)) {
    file_ = directory_ / (name_ + ".json");
    if (!Registry::closed()) Registry::instance().add(this);
}

UserDefaults::~UserDefaults() {
    stopWriter();
    (void)savePending();
    if (!Registry::closed()) Registry::instance().remove(this);
}

void UserDefaults::adoptAfterForkLocked() {
    // The parent saves its own pending changes, and its writer thread does
    // not exist here: the handle is let go, and the condition variable made
    // anew, since its old state still counts that thread as waiting.
    pending_.clear();
    dirty_ = false;
    lastFailure_.clear();
    if (writer_.joinable()) writer_.detach();
    std::construct_at(&wake_);
    loaded_ = false;
}

void UserDefaults::stopWriter() {
    std::thread writer;
    {
        std::lock_guard guard(mutex_);
        stopping_ = true;
        writer = std::move(writer_);
    }
    wake_.notify_all();
    if (writer.joinable()) writer.join();
}

void UserDefaults::writerLoop() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return dirty_ || stopping_; });
        wake_.wait_for(lock, coalescingDelay, [&] { return stopping_; });
        // Whoever stops the writer saves what is left.
        if (stopping_) return;
        dirty_ = false;
        lock.unlock();
        (void)savePending();
        lock.lock();
    }
}

UserDefaults::SaveResult UserDefaults::savePending() {
    std::lock_guard saving(saveMutex_);
    {
        std::lock_guard guard(mutex_);
        if (pending_.empty()) {
            refreshLocked();
            return {};
        }
    }
    // The file lock is taken without mutex_, so readers and writers of this
    // suite go on while another program holds it. Reading under the lock can
    // change where the save goes (a link to a damaged file is moved aside):
    // the lock for the new place is then taken instead.
    std::optional<FileLock> lock;
    SaveTarget target{file_, {}, {}};
    PropertyListDictionary snapshot;
    std::uint64_t savedGeneration = 0;
    for (int attempt = 1;; ++attempt) {
        lock.reset();
        int lockError = 0;
        if (ensureDirectory(directory_)) {
            target = saveTarget();
            lock.emplace(target.lock);
            lockError = lock->error();
        } else {
            lockError = errno;
        }
        std::lock_guard guard(mutex_);
        if (!lock || !lock->held()) {
            std::string error = "Cannot lock settings file " + quotedFile(file_, target.file) + ": " +
                                errnoText(lockError) + "; changes are kept in memory only";
            if (!reportedLockFailure_) report(error);
            reportedLockFailure_ = true;
            refreshLocked();
            return {error};
        }
        // Start from what is on disk now: another program or store instance
        // may have replaced the file since it was last read.
        loadLocked(&*lock);
        if (readOnly_)
            return {"Cannot save settings file \"" + file_.string() +
                    "\": it could not be read; changes are kept in memory only"};
        snapshot = persistent_;
        savedGeneration = generation_;
        target = saveTarget();
        if (target.lock == lock->path()) break;
        if (attempt == 3) {
            // Links that change on every look get no save this time.
            target.problem = "its links kept changing";
            break;
        }
    }
    std::string error = saveFile(snapshot, target);
    FileIdentity written = error.empty() ? currentIdentity() : FileIdentity{};
    lock.reset();

    std::lock_guard guard(mutex_);
    if (!error.empty()) {
        if (error != lastFailure_) report(error);
        lastFailure_ = error;
        return {error};
    }
    lastFailure_.clear();
    reportedLockFailure_ = false;
    std::erase_if(pending_, [&](const auto& entry) { return entry.second.generation <= savedGeneration; });
    loadedIdentity_ = written;
    return {};
}

UserDefaults::FileIdentity UserDefaults::currentIdentity() const {
    struct stat st {};
    if (::stat(file_.c_str(), &st) != 0) return {};
    return {true, st.st_dev, st.st_ino, std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec, st.st_size};
}

void UserDefaults::refreshLocked() const {
    if (!loaded_ || currentIdentity() != loadedIdentity_) loadLocked(nullptr);
}

UserDefaults::SaveTarget UserDefaults::saveTarget() const {
    const std::filesystem::path ownLock = file_.string() + ".lock";
    std::error_code error;
    std::filesystem::path end = foundation::followSymbolicLinks(file_, error);
    if (error) return {file_, ownLock, error.message()};
    // Nothing but a regular file is replaced. Reading moves a link to a
    // FIFO or a device aside and leaves one to a folder unread, so the
    // suite's own lock guards such a link, and nothing is made beside what
    // it leads to.
    struct stat st {};
    if (::stat(end.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return {end, ownLock, "it is not a regular file"};
    std::filesystem::path lock = end.string() + ".lock";
    return {std::move(end), std::move(lock), {}};
}

std::vector<std::filesystem::path> UserDefaults::leftoverTemporaries(const std::filesystem::path& file) const {
    // saveFile's names: the writer's prefix and six letters or digits,
    // beside the file.
    const std::string prefix = std::filesystem::path(foundation::atomicWriteTemporaryPrefix(file)).filename().string();
    std::vector<std::filesystem::path> found;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folderOf(file), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() != prefix.size() + 6 || !name.starts_with(prefix)) continue;
        if (!std::all_of(name.begin() + std::ptrdiff_t(prefix.size()), name.end(),
                         [](char c) { return std::isalnum(static_cast<unsigned char>(c)); }))
            continue;
        std::error_code statError;
        if (it->symlink_status(statError).type() == std::filesystem::file_type::regular) found.push_back(it->path());
    }
    return found;
}

void UserDefaults::removeLeftoverTemporariesLocked(const FileLock* lock) const {
    const SaveTarget target = saveTarget();
    // Nothing is saved there now; look again when something is.
    if (!target.problem.empty()) return;
    const auto leftovers = leftoverTemporaries(target.file);
    // A save keeps its temporary file only while it holds the suite's lock:
    // with the lock ours, every temporary file left is one whose writer
    // died. One listed while a live save held the lock is gone by the time
    // the lock is ours (renamed or removed), and no new one appears while we
    // hold it, so the folder is listed once. mutex_ is held here, so the
    // lock is never waited for; when someone is saving, a later read looks
    // again.
    std::optional<FileLock> ownLock;
    if (!leftovers.empty() && (!lock || lock->path() != target.lock)) {
        ownLock.emplace(target.lock, false);
        if (!ownLock->held()) return;
    }
    for (const auto& path : leftovers) ::unlink(path.c_str());
    sweptTemporaries_ = true;
}

void UserDefaults::loadLocked(const FileLock* lock) const {
    loaded_ = true;
    if (!sweptTemporaries_) removeLeftoverTemporariesLocked(lock);
    // Only a regular file (or a link to one) is read. Anything else (a FIFO
    // would block the open, a device never ends) is damaged and moved aside
    // below without being opened, and the open never blocks in case the path
    // changes between the check and the open. A directory is left as it is:
    // it cannot be read and is not ours to move.
    const std::string notRegular = "it is not a regular file";
    const std::string tooLarge = "it is larger than " + std::to_string(maxFileSize >> 20) + " MB";
    std::string problem;
    struct stat st {};
    FileDescriptor fd;
    const bool present = ::stat(file_.c_str(), &st) == 0;
    if (present && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) {
        problem = notRegular;
    } else if (present && S_ISREG(st.st_mode) && st.st_size > maxFileSize) {
        problem = tooLarge;
    } else {
        fd.reset(::open(file_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
        if (!fd) {
            if (errno == ENOENT) {
                persistent_.clear();
                overlayPendingLocked();
                loadedIdentity_ = {};
                readOnly_ = false;
                return;
            }
            if (!readOnly_)
                report("Cannot read settings file \"" + file_.string() + "\": " + errnoText(errno) +
                       "; changes are kept in memory only");
            readOnly_ = true;
            loadedIdentity_ = currentIdentity();
            return;
        }
        ::fstat(fd.get(), &st);
        if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) {
            problem = notRegular;
            fd.reset();
        }
    }
    FileIdentity identity{true, st.st_dev, st.st_ino, std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
                          st.st_size};
    std::string text;
    if (fd && !readAll(fd.get(), text, maxFileSize)) {
        if (errno == EFBIG) {
            problem = tooLarge;
        } else {
            if (!readOnly_)
                report("Cannot read settings file \"" + file_.string() + "\": " + errnoText(errno) +
                       "; changes are kept in memory only");
            readOnly_ = true;
            loadedIdentity_ = identity;
            return;
        }
    }
    fd.reset();

    PropertyListDictionary values;
    if (problem.empty()) {
        try {
            values = propertyListDictionaryFromJSONText(std::move(text));
        } catch (const std::exception& e) {
            problem = e.what();
        }
    }
    if (problem.empty()) {
        persistent_ = std::move(values);
        overlayPendingLocked();
        loadedIdentity_ = identity;
        // A file its owner made read-only stays as it is: renaming a new
        // file over it would replace it all the same.
        const bool writable = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 && ::access(file_.c_str(), W_OK) == 0;
        if (!writable && !readOnly_)
            report("Settings file \"" + file_.string() + "\" is read-only; changes are kept in memory only");
        readOnly_ = !writable;
        return;
    }

    // A damaged file is moved aside, never overwritten. Do that under the
    // suite's lock and only if the file is still the one that was read, so
    // a good file another writer put in its place in the meantime survives.
    std::optional<FileLock> ownLock;
    if (!lock) {
        if (!ensureDirectory(directory_)) {
            readOnly_ = true;
            loadedIdentity_ = identity;
            return;
        }
        // mutex_ is held here, so never wait for the file lock (a save of
        // this suite holds it while it waits for mutex_). Whoever holds it
        // is saving: they deal with the damaged file, and the next read
        // looks again.
        ownLock.emplace(saveTarget().lock, false);
        if (!ownLock->held() && ownLock->error() == EWOULDBLOCK) {
            persistent_.clear();
            overlayPendingLocked();
            loadedIdentity_ = {};
            return;
        }
        lock = &*ownLock;
    }
    if (currentIdentity() != identity) {
        loadLocked(lock);
        return;
    }
    std::error_code ec;
    std::filesystem::path aside;
    for (int n = 0; n < 1000; ++n) {
        char stamp[32];
        std::time_t now = std::time(nullptr);
        struct tm parts {};
        ::gmtime_r(&now, &parts);
        std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%SZ", &parts);
        auto candidate = file_.string() + ".corrupt-" + stamp + (n ? "-" + std::to_string(n) : "");
        if (!std::filesystem::exists(candidate, ec)) {
            aside = candidate;
            break;
        }
    }
    if (lock->held() && !aside.empty() && ::rename(file_.c_str(), aside.c_str()) == 0) {
        report("Settings file \"" + file_.string() + "\" is damaged (" + problem + "); moved it to \"" +
               aside.string() + "\"");
        persistent_.clear();
        overlayPendingLocked();
        loadedIdentity_ = {};
        readOnly_ = false;
    } else {
        if (!readOnly_)
            report("Settings file \"" + file_.string() + "\" is damaged (" + problem +
                   ") and could not be moved aside; changes are kept in memory only");
        persistent_.clear();
        overlayPendingLocked();
        loadedIdentity_ = identity;
        readOnly_ = true;
    }
}

void UserDefaults::overlayPendingLocked() const {
    for (const auto& [key, change] : pending_) {
        if (change.value)
            persistent_.insert_or_assign(key, *change.value);
        else if (auto it = persistent_.find(key); it != persistent_.end())
            persistent_.erase(it);
    }
}

std::string UserDefaults::saveFile(const PropertyListDictionary& values, const SaveTarget& target) const {
    const std::string failure = "Cannot save settings file " + quotedFile(file_, target.file) + ": ";
    if (!target.problem.empty()) return failure + target.problem;
    std::string text;
    try {
        auto json = nlohmann::json::object();
        for (const auto& [k, v] : values) json[k] = propertyListToJSON(v);
        text = foundation::writeJson(json, foundation::JsonStyle::formatted) + "\n";
    } catch (const std::exception& e) {
        return failure + e.what();
    }
    // Settings may be private: the file is the user's alone, whatever it was.
    if (const auto error = foundation::writeFileAtomically(target.file, text, {.mode = 0600}))
        return failure + error.message();
    return {};
}

const PropertyList* UserDefaults::presentedValueLocked(std::string_view key) const {
    if (auto it = persistent_.find(key); it != persistent_.end()) return &it->second;
    if (auto it = registered_.find(key); it != registered_.end()) return &it->second;
    return nullptr;
}

std::optional<PropertyList> UserDefaults::presentedLocked(std::string_view key) const {
    if (const PropertyList* value = presentedValueLocked(key)) return *value;
    return std::nullopt;
}

UserDefaults::Change UserDefaults::applyLocked(std::string_view key, std::optional<PropertyList> value) {
    if (value) {
        // Refuse what the file cannot hold (text that is no UTF-8) before it
        // gets into the domain, where it would stop every later save.
        try {
            (void)foundation::writeJson(nlohmann::json::object({{std::string(key), propertyListToJSON(*value)}}));
        } catch (const std::exception& e) {
            report("Cannot store settings value \"" + std::string(key) + "\": " + e.what());
            return {presentedLocked(key), presentedLocked(key)};
        }
    }

    refreshLocked();

    Change change{presentedLocked(key), std::nullopt};
    auto it = persistent_.find(key);
    bool unchanged = value ? (it != persistent_.end() && it->second == *value && it->second.kind() == value->kind())
                           : it == persistent_.end();
    if (!unchanged) {
        if (value)
            persistent_.insert_or_assign(std::string(key), *value);
        else
            persistent_.erase(it);
        pending_.insert_or_assign(std::string(key), PendingChange{std::move(value), ++generation_});
        if (stopping_ || Registry::closed()) {
            change.saveNow = true;
        } else {
            if (!writer_.joinable()) {
                try {
                    writer_ = std::thread([this] { writerLoop(); });
                } catch (const std::system_error&) {
                    change.saveNow = true;
                }
            }
            dirty_ = true;
            wake_.notify_one();
        }
    }
    change.newValue = presentedLocked(key);
    return change;
}

std::optional<PropertyList> UserDefaults::objectForKey(std::string_view key) const {
    std::lock_guard guard(mutex_);
    refreshLocked();
    return presentedLocked(key);
}

void UserDefaults::readObject(std::string_view key, const std::function<void(const PropertyList*)>& reader) const {
    std::lock_guard guard(mutex_);
    refreshLocked();
    reader(presentedValueLocked(key));
}

void UserDefaults::setObject(std::string_view key, std::optional<PropertyList> value) {
    applyAndReport(key, std::move(value));
}

void UserDefaults::removeObjectForKey(std::string_view key) { setObject(key, std::nullopt); }

void UserDefaults::registerDefaults(const PropertyListDictionary& defaults) {
    std::lock_guard guard(mutex_);
    for (const auto& [k, v] : defaults) registered_.insert_or_assign(k, v);
}

PropertyListDictionary UserDefaults::dictionaryRepresentation() const {
    std::lock_guard guard(mutex_);
    refreshLocked();
    PropertyListDictionary out = registered_;
    for (const auto& [k, v] : persistent_) out.insert_or_assign(k, v);
    return out;
}

PropertyListDictionary UserDefaults::persistentDomain() const {
    std::lock_guard guard(mutex_);
    refreshLocked();
    return persistent_;
}

UserDefaults::SaveResult UserDefaults::synchronize() { return savePending(); }

} // namespace platform
