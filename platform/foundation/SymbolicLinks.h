#pragma once

#include <filesystem>
#include <system_error>

namespace foundation {

// The path at the end of the chain of symbolic links that starts at `path`,
// or `path` itself when it is no link: where a write to `path` lands, so that
// a file written in its place can be renamed over that end and every link
// stays a link. A relative link is taken against the folder of the link
// that holds it, as the system takes it. The end need not exist: a dangling
// link leads to where its file would be. A chain longer than the system
// follows (a loop of links) fails with too_many_symbolic_link_levels, and a
// path that cannot be looked at fails with the reason; both give an empty
// path.
std::filesystem::path followSymbolicLinks(std::filesystem::path path, std::error_code& error);

} // namespace foundation
