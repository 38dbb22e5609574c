#include "platform/foundation/SymbolicLinks.h"

#include <cerrno>
#include <sys/stat.h>

namespace foundation {

namespace {

// As many links as the system follows in one path before it gives up.
constexpr int maxSymbolicLinks = 40;

} // namespace

std::filesystem::path followSymbolicLinks(std::filesystem::path path, std::error_code& error) {
    error.clear();
    for (int links = 0;; ++links) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) {
            if (errno == ENOENT) return path;
            error.assign(errno, std::generic_category());
            return {};
        }
        if (!S_ISLNK(st.st_mode)) return path;
        if (links == maxSymbolicLinks) {
            error = std::make_error_code(std::errc::too_many_symbolic_link_levels);
            return {};
        }
        std::filesystem::path target = std::filesystem::read_symlink(path, error);
        if (error) return {};
        // Not normalised: "folder/../x" is left for the system to resolve,
        // since `folder` may itself be a link.
        path = target.is_absolute() ? std::move(target) : path.parent_path() / target;
    }
}

} // namespace foundation
