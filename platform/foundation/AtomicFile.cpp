#include "platform/foundation/AtomicFile.h"

#include "platform/foundation/SymbolicLinks.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <ctime>

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace foundation {
namespace {

std::error_code lastError() { return {errno, std::generic_category()}; }

// The new file while it is being written: closed and removed unless it was
// renamed into place.
class TemporaryFile {
public:
    // Creates a file of a name no other file has, beginning with `prefix`,
    // with `mode` (less the umask).
    TemporaryFile(const std::string& prefix, mode_t mode) {
        static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name = prefix;
            std::uint64_t bits = 0;
            // The name need not be secret, only unlikely to be taken
            // (O_EXCL makes sure it is not): the clock serves without
            // random bytes.
            if (::getrandom(&bits, sizeof bits, GRND_NONBLOCK) != ssize_t(sizeof bits)) {
                timespec now{};
                ::clock_gettime(CLOCK_MONOTONIC, &now);
                bits = std::uint64_t(now.tv_nsec) * 0x9E3779B97F4A7C15u ^ std::uint64_t(attempt);
            }
            for (int i = 0; i < 6; ++i, bits /= 62) name += kLetters[bits % 62];
            fd_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            if (fd_ >= 0) {
                path_ = std::move(name);
                return;
            }
            if (errno != EEXIST) return;
        }
    }
    ~TemporaryFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!path_.empty()) ::unlink(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int fd() const { return fd_; }

    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }
    bool renameTo(const std::filesystem::path& target) {
        if (::rename(path_.c_str(), target.c_str()) != 0) return false;
        path_.clear();
        return true;
    }

private:
    int fd_ = -1;
    std::string path_;
};

bool writeAll(int fd, std::span<const std::uint8_t> bytes) {
    const std::uint8_t* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= std::size_t(n);
    }
    return true;
}

} // namespace

std::string atomicWriteTemporaryPrefix(const std::filesystem::path& target) {
    static constexpr std::string_view kTail = ".tmp-";
    static constexpr std::size_t kRandom = 6;
    std::string name = target.filename().string();
    // The file's own name may already be as long as a name may be.
    name.resize(std::min(name.size(), std::size_t(NAME_MAX) - kTail.size() - kRandom));
    std::filesystem::path folder = target.parent_path();
    return (folder / (name + std::string(kTail))).string();
}

std::error_code writeFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                                    const AtomicWriteOptions& options) {
    std::error_code error;
    std::filesystem::path target = followSymbolicLinks(path, error);
    if (error) return error;
    if (target.filename().empty()) return std::make_error_code(std::errc::is_a_directory);

    std::optional<mode_t> mode = options.mode;
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode)) return std::make_error_code(std::errc::is_a_directory);
        if (!S_ISREG(existing.st_mode)) return std::make_error_code(std::errc::invalid_argument);
        if (!mode) mode = existing.st_mode & 07777;
        // The rename below needs only the folder's permission, so it would
        // replace a file its owner marked read-only. Ask the system whether
        // this process may write the file itself, as cp does: a process that
        // may write any file (root) still replaces it. A file that went away
        // meanwhile, or one being run (ETXTBSY), is no reason to refuse.
        if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0 &&
            (errno == EACCES || errno == EPERM || errno == EROFS))
            return lastError();
    } else if (errno != ENOENT) {
        return lastError();
    }

    // A file whose mode is set afterwards is private until then; a new one
    // gets the umask's mode from the system.
    TemporaryFile temporary(atomicWriteTemporaryPrefix(target), mode ? 0600 : 0666);
    if (temporary.fd() < 0) return lastError();
    if (!writeAll(temporary.fd(), bytes)) return lastError();
    if (mode && ::fchmod(temporary.fd(), *mode) != 0) return lastError();
    if (::fsync(temporary.fd()) != 0) return lastError();
    if (!temporary.close()) return lastError();
    if (!temporary.renameTo(target)) return lastError();

    // The rename itself lasts once the folder is synced; where the system
    // cannot sync a folder the file is in place all the same.
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    if (const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
    return {};
}

} // namespace foundation
