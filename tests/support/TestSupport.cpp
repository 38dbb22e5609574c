#include "tests/support/TestSupport.h"

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>
#include <zlib.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <stdexcept>
#include <sys/wait.h>

namespace testsupport {

TempDir::TempDir() {
    std::random_device rd;
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = base / ("tessivo-test-" + std::to_string(rd()) + std::to_string(rd()));
        if (std::filesystem::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::vector<std::uint8_t> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string readTextFile(const std::filesystem::path& path) {
    auto bytes = readFile(path);
    return {bytes.begin(), bytes.end()};
}

void writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

void writeTextFile(const std::filesystem::path& path, const std::string& text) {
    writeFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

int runCommand(const std::string& command, std::string* output) {
    struct PipeCloser {
        void operator()(FILE* f) const {
            if (f) pclose(f);
        }
    };
    FILE* raw = popen(command.c_str(), "r");
    if (!raw) return -1;
    std::string text;
    std::array<char, 4096> buffer{};
    size_t n = 0;
    while ((n = fread(buffer.data(), 1, buffer.size(), raw)) > 0) text.append(buffer.data(), n);
    const int status = pclose(raw);
    if (output) *output = std::move(text);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::filesystem::path sourceDir() { return std::filesystem::path(TESSIVO_SOURCE_DIR); }

namespace {

void appendChunk(std::vector<std::uint8_t>& png, const char* type, const std::vector<std::uint8_t>& data) {
    auto put32 = [&png](std::uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8) png.push_back(std::uint8_t(v >> shift));
    };
    put32(std::uint32_t(data.size()));
    const std::size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    put32(std::uint32_t(::crc32(0, png.data() + start, uInt(png.size() - start))));
}

} // namespace

std::vector<std::uint8_t> bilevelPNG(std::uint32_t width, std::uint32_t height, bool withPixelData) {
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<std::uint8_t> header;
    for (std::uint32_t v : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8) header.push_back(std::uint8_t(v >> shift));
    header.insert(header.end(), {1, 0, 0, 0, 0}); // 1 bit, grey, deflate, no filter, not interlaced
    appendChunk(png, "IHDR", header);
    const std::size_t raw = withPixelData ? std::size_t(height) * (1 + (width + 7) / 8) : 16;
    const std::vector<std::uint8_t> rows(raw, 0);
    std::vector<std::uint8_t> packed(compressBound(uLong(raw)));
    uLongf packedSize = uLongf(packed.size());
    compress2(packed.data(), &packedSize, rows.data(), uLong(raw), 9);
    packed.resize(packedSize);
    appendChunk(png, "IDAT", packed);
    appendChunk(png, "IEND", {});
    return png;
}

std::size_t peakResidentBytes() {
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return std::size_t(usage.ru_maxrss) * 1024;
}

FileSizeLimit::FileSizeLimit(std::uint64_t bytes) {
    savedHandler_ = ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit {};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    saved_ = limit.rlim_cur;
    limit.rlim_cur = rlim_t(bytes);
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) throw std::runtime_error("cannot limit the size of files");
}

FileSizeLimit::~FileSizeLimit() {
    struct rlimit limit {};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = rlim_t(saved_);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ::signal(SIGXFSZ, savedHandler_);
}

ActingUnprivileged::ActingUnprivileged() {
    if (::geteuid() != 0) return;
    savedGroup_ = ::getegid();
    if (::setegid(65534) != 0) throw std::runtime_error("cannot act as group 65534");
    if (::seteuid(65534) != 0) {
        ::setegid(savedGroup_);
        throw std::runtime_error("cannot act as user 65534");
    }
    acting_ = true;
}

ActingUnprivileged::~ActingUnprivileged() {
    if (!acting_) return;
    // The saved user id is still root's, so its powers come back.
    if (::seteuid(0) != 0 || ::setegid(savedGroup_) != 0) std::abort();
}

FifoWatch::FifoWatch(const std::filesystem::path& fifo)
    : thread_([this, fifo] {
          while (!stop_) {
              const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
              if (fd >= 0) {
                  opened_ = true;
                  ::close(fd);
              }
              std::this_thread::sleep_for(std::chrono::milliseconds(1));
          }
      }) {}

FifoWatch::~FifoWatch() { openedForReading(); }

bool FifoWatch::openedForReading() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    return opened_;
}

} // namespace testsupport
