#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <sys/types.h>

namespace testsupport {

// A fresh, empty folder that is removed with everything in it when the
// object goes out of scope.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

std::vector<std::uint8_t> readFile(const std::filesystem::path& path);
std::string readTextFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
void writeTextFile(const std::filesystem::path& path, const std::string& text);

// Runs a shell command; returns its exit status and fills `output` with what
// it printed on standard output.
int runCommand(const std::string& command, std::string* output = nullptr);

// The source tree's root (for test data and helper scripts), as the build
// knows it, whatever the working folder.
std::filesystem::path sourceDir();

// A black-and-white PNG (one bit per pixel, all black) of the given size,
// written byte by byte. Without pixel data its image data holds a few bytes
// only: a tiny file that claims a huge image.
std::vector<std::uint8_t> bilevelPNG(std::uint32_t width, std::uint32_t height, bool withPixelData = true);

// A PNG as libpng writes it, of 8 or 16 bits a sample: `colorType` (grey,
// grey and alpha, RGB or RGBA), Adam7-interlaced or not, its pixels'
// samples taken in turn from `samples` (as many a pixel as the type has).
// A gamma, when given, is stored in a gAMA chunk, `sRGB` adds an sRGB
// chunk, an ICC profile an iCCP chunk, a transparent colour (its samples)
// a tRNS chunk; without them the file states nothing of its colours.
struct PNGForm {
    int width = 0, height = 0, colorType = 0, bitDepth = 16;
    bool interlaced = false;
    std::optional<double> gamma{};
    bool sRGB = false;
    std::vector<std::uint8_t> iccProfile{};
    std::vector<std::uint16_t> transparent{};
};
std::vector<std::uint8_t> writtenPNG(const PNGForm& form, const std::vector<std::uint16_t>& samples);

// An RGB display profile of wide-gamut primaries and a tone curve of 2.2,
// as an editor embeds one: not among the sRGB profiles libpng knows, so to
// libpng it states no gamma.
std::vector<std::uint8_t> wideGamutICCProfile();

// The most memory this process has held so far, in bytes.
std::size_t peakResidentBytes();

// Holds this process's files to at most `bytes` while it lives, with
// SIGXFSZ ignored: a write past the limit fails with EFBIG as it would on a
// full disk, and the process goes on. Needs no privileges.
class FileSizeLimit {
public:
    explicit FileSizeLimit(std::uint64_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    std::uint64_t saved_ = 0;
    void (*savedHandler_)(int) = nullptr;
};

// While it lives, a process started as root acts as the unprivileged user
// and group 65534 (its effective ids, for every thread), so it may write
// only what an ordinary user's program may; any other process is left as it
// is. Files and folders made meanwhile belong to that user.
class ActingUnprivileged {
public:
    ActingUnprivileged();
    ~ActingUnprivileged();
    ActingUnprivileged(const ActingUnprivileged&) = delete;
    ActingUnprivileged& operator=(const ActingUnprivileged&) = delete;

private:
    bool acting_ = false;
    gid_t savedGroup_ = 0;
};

// Watches a FIFO from the writing side: whoever opens it to read (which
// blocks until a writer comes) is let through at once and noted, so a test
// of code that must never open it fails instead of hanging.
class FifoWatch {
public:
    explicit FifoWatch(const std::filesystem::path& fifo);
    ~FifoWatch();
    FifoWatch(const FifoWatch&) = delete;
    FifoWatch& operator=(const FifoWatch&) = delete;
    // Stops watching; whether anyone opened the FIFO to read.
    bool openedForReading();

private:
    std::atomic<bool> stop_{false}, opened_{false};
    std::thread thread_;
};

} // namespace testsupport
