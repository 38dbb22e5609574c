#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>

#include <sys/types.h>

namespace foundation {

struct AtomicWriteOptions {
    // The permissions the file gets. Without them a replaced file keeps its
    // own, and a new file gets what creating it gives (0666 less the umask).
    std::optional<mode_t> mode;
};

// Puts `bytes` at `path` so that the path holds either the file it held
// before or all of `bytes`, never a part, whatever fails (a full disk, a
// file-size limit, a failing device). The bytes go to a new file beside the
// target; every write, the fsync and the close are checked, and only then is
// the new file renamed over the target and the folder synced. Nothing of the
// new file is left when any step fails.
//
// A symbolic link is followed to the file it leads to, so that a link stays
// a link. Only a regular file, or nothing, is replaced: a folder fails with
// is_a_directory and a device, pipe or socket with invalid_argument. A file
// this process may not write (one its owner marked read-only) is left as it
// is, with permission_denied, before anything is created.
// Returns the first failure, or an empty error code.
std::error_code writeFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                                    const AtomicWriteOptions& options = {});

inline std::error_code writeFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                                           const AtomicWriteOptions& options = {}) {
    return writeFileAtomically(path, std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()),
                               options);
}

// How the names of writeFileAtomically's temporary files for `target` begin
// (its file name, shortened where the system's name limit asks, then
// ".tmp-"); six letters or digits follow. Only a process killed between
// writing and renaming leaves one behind, which whoever knows that no write
// to `target` is under way may remove.
std::string atomicWriteTemporaryPrefix(const std::filesystem::path& target);

} // namespace foundation
