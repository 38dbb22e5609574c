#pragma once

#include <filesystem>
#include <string_view>

namespace QRCode {

// A path in `folder` for a file called `name` that does not exist yet:
// folder/name, else folder/stem-2.ext, folder/stem-3.ext and so on. A name
// without an extension gives stem-2, stem-3 (no trailing dot). Anything at
// the path counts as taken, a dangling symbolic link included. Only tests;
// the file is neither created nor reserved.
std::filesystem::path uniqueFileURL(const std::filesystem::path& folder, std::string_view name);

} // namespace QRCode
