#include "platform/defaults/UserDefaults.h"

#include "platform/defaults/PropertyListCoding.h"
#include "platform/foundation/Json.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <map>
#include <pwd.h>
#include <stdexcept>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// Diagnostics of the store are single lines on standard output.
void report(const std::string& line) {
    std::string text = line + "\n";
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

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

bool writeAll(int fd, const std::string& text) {
    const char* p = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= std::size_t(n);
    }
    return true;
}

bool readAll(int fd, std::string& out) {
    char buffer[16384];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return true;
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

struct Registry {
    std::mutex mutex;
    std::map<std::string, std::weak_ptr<UserDefaults>, std::less<>> suites;
};

Registry& registry() {
    static Registry instance;
    return instance;
}

} // namespace

// An exclusive flock on the suite's lock file, held for one change.
class UserDefaults::FileLock {
public:
    explicit FileLock(const std::filesystem::path& path) {
        fd_.reset(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
        if (!fd_) {
            error_ = errno;
            return;
        }
        while (::flock(fd_.get(), LOCK_EX) != 0) {
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

private:
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
    auto& r = registry();
    std::lock_guard guard(r.mutex);
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
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/') return std::filesystem::path(xdg) / "tessivo";
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
    lockFile_ = directory_ / (name_ + ".json.lock");
}

UserDefaults::~UserDefaults() = default;

UserDefaults::FileIdentity UserDefaults::currentIdentity() const {
    struct stat st {};
    if (::stat(file_.c_str(), &st) != 0) return {};
    return {true, st.st_dev, st.st_ino, std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec, st.st_size};
}

void UserDefaults::refreshLocked() const {
    if (!loaded_ || currentIdentity() != loadedIdentity_) loadLocked(nullptr);
}

void UserDefaults::loadLocked(const FileLock* lock) const {
    loaded_ = true;
    FileDescriptor fd(::open(file_.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) {
        if (errno == ENOENT) {
            persistent_.clear();
            loadedIdentity_ = {};
            readOnly_ = false;
            return;
        }
        if (!readOnly_) report("Cannot read settings file \"" + file_.string() + "\": " + errnoText(errno) +
                               "; changes are kept in memory only");
        readOnly_ = true;
        loadedIdentity_ = currentIdentity();
        return;
    }
    struct stat st {};
    ::fstat(fd.get(), &st);
    FileIdentity identity{true, st.st_dev, st.st_ino,
                          std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec, st.st_size};
    std::string text;
    if (!readAll(fd.get(), text)) {
        if (!readOnly_) report("Cannot read settings file \"" + file_.string() + "\": " + errnoText(errno) +
                               "; changes are kept in memory only");
        readOnly_ = true;
        loadedIdentity_ = identity;
        return;
    }
    fd.reset();

    std::string problem;
    PropertyListDictionary values;
    try {
        auto json = foundation::parseJson(text);
        if (!json.is_object()) throw PropertyListFormatError("the file does not hold a JSON object");
        for (auto it = json.begin(); it != json.end(); ++it) values.emplace(it.key(), propertyListFromJSON(it.value()));
    } catch (const std::exception& e) {
        problem = e.what();
    }
    if (problem.empty()) {
        persistent_ = std::move(values);
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
        ownLock.emplace(lockFile_);
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
        loadedIdentity_ = {};
        readOnly_ = false;
    } else {
        if (!readOnly_) report("Settings file \"" + file_.string() + "\" is damaged (" + problem +
                               ") and could not be moved aside; changes are kept in memory only");
        persistent_.clear();
        loadedIdentity_ = identity;
        readOnly_ = true;
    }
}

bool UserDefaults::saveLocked(const PropertyListDictionary& values) {
    std::string text;
    try {
        auto json = nlohmann::json::object();
        for (const auto& [k, v] : values) json[k] = propertyListToJSON(v);
        text = foundation::writeJson(json, foundation::JsonStyle::formatted) + "\n";
    } catch (const std::exception& e) {
        report("Cannot save settings file \"" + file_.string() + "\": " + e.what());
        return false;
    }
    std::string temporary = file_.string() + ".tmp-XXXXXX";
    FileDescriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!fd) {
        report("Cannot save settings file \"" + file_.string() + "\": " + errnoText(errno));
        return false;
    }
    bool ok = ::fchmod(fd.get(), 0600) == 0 && writeAll(fd.get(), text) && ::fsync(fd.get()) == 0;
    int error = errno;
    ok = fd.close() && ok;
    if (ok && ::rename(temporary.c_str(), file_.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        report("Cannot save settings file \"" + file_.string() + "\": " + errnoText(error));
        return false;
    }
    // Make the rename itself durable.
    FileDescriptor dir(::open(directory_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir) ::fsync(dir.get());
    return true;
}

std::optional<PropertyList> UserDefaults::presentedLocked(std::string_view key) const {
    if (auto it = persistent_.find(key); it != persistent_.end()) return it->second;
    if (auto it = registered_.find(key); it != registered_.end()) return it->second;
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

    std::optional<FileLock> lock;
    if (ensureDirectory(directory_)) lock.emplace(lockFile_);
    if (!lock || !lock->held()) {
        if (!reportedLockFailure_)
            report("Cannot lock settings file \"" + file_.string() + "\": " +
                   errnoText(lock ? lock->error() : errno) + "; changes are kept in memory only");
        reportedLockFailure_ = true;
        refreshLocked();
    } else {
        // Always start from what is on disk now: another program or store
        // instance may have replaced the file since it was last read.
        loadLocked(&*lock);
    }

    Change change{presentedLocked(key), std::nullopt};
    auto updated = persistent_;
    auto it = updated.find(key);
    bool unchanged = value ? (it != updated.end() && it->second == *value && it->second.kind() == value->kind())
                           : it == updated.end();
    if (!unchanged) {
        if (value) updated.insert_or_assign(std::string(key), std::move(*value));
        else updated.erase(it);
        if (lock && lock->held() && !readOnly_ && saveLocked(updated)) loadedIdentity_ = currentIdentity();
        persistent_ = std::move(updated);
    }
    change.newValue = presentedLocked(key);
    return change;
}

std::optional<PropertyList> UserDefaults::objectForKey(std::string_view key) const {
    std::lock_guard guard(mutex_);
    refreshLocked();
    return presentedLocked(key);
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

void UserDefaults::synchronize() const {
    std::lock_guard guard(mutex_);
    refreshLocked();
}

} // namespace platform
