#include "QRCode/core/UniqueFileURL.h"

#include <string>
#include <system_error>

namespace QRCode {

namespace {

bool isTaken(const std::filesystem::path& path) {
    std::error_code error;
    const auto status = std::filesystem::symlink_status(path, error);
    return status.type() != std::filesystem::file_type::not_found && status.type() != std::filesystem::file_type::none;
}

} // namespace

std::filesystem::path uniqueFileURL(const std::filesystem::path& folder, std::string_view name) {
    std::filesystem::path candidate = folder / std::filesystem::path(std::string(name));
    const std::string stem = candidate.stem().string();
    const std::string extension = candidate.extension().string(); // with its leading "." or empty
    for (unsigned long long counter = 2; isTaken(candidate); ++counter) {
        candidate = folder / (stem + "-" + std::to_string(counter) + extension);
    }
    return candidate;
}

} // namespace QRCode
