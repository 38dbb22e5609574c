#include "tests/support/TestSupport.h"

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>
#include <png.h>
#include <zlib.h>

#include <array>
#include <cmath>
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

void appendBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(std::uint8_t(value >> shift));
}

void appendChunk(std::vector<std::uint8_t>& png, const char* type, const std::vector<std::uint8_t>& data) {
    appendBigEndian(png, std::uint32_t(data.size()));
    const std::size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    appendBigEndian(png, std::uint32_t(::crc32(0, png.data() + start, uInt(png.size() - start))));
}

void appendToBytes(png_structp png, png_bytep data, std::size_t size) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}

std::uint32_t s15Fixed16(double value) { return std::uint32_t(std::int32_t(std::lround(value * 65536))); }

} // namespace

std::vector<std::uint8_t> bilevelPNG(std::uint32_t width, std::uint32_t height, bool withPixelData) {
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<std::uint8_t> header;
    for (std::uint32_t v : {width, height}) appendBigEndian(header, v);
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

std::vector<std::uint8_t> writtenPNG(const PNGForm& form, const std::vector<std::uint16_t>& samples) {
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, appendToBytes, nullptr);
    png_set_IHDR(png, info, png_uint_32(form.width), png_uint_32(form.height), form.bitDepth, form.colorType,
                 form.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (form.gamma) png_set_gAMA(png, info, *form.gamma);
    if (form.sRGB) png_set_sRGB(png, info, PNG_sRGB_INTENT_PERCEPTUAL);
    if (!form.iccProfile.empty())
        png_set_iCCP(png, info, "wide gamut", PNG_COMPRESSION_TYPE_BASE, form.iccProfile.data(),
                     png_uint_32(form.iccProfile.size()));
    if (!form.transparent.empty()) {
        png_color_16 colour{};
        colour.gray = colour.red = form.transparent[0];
        if (form.transparent.size() >= 3) {
            colour.green = form.transparent[1];
            colour.blue = form.transparent[2];
        }
        png_set_tRNS(png, info, nullptr, 0, &colour);
    }
    png_write_info(png, info);
    const std::size_t perRow = std::size_t(form.width) * png_get_channels(png, info);
    const std::size_t bytesPerSample = form.bitDepth == 16 ? 2 : 1;
    std::vector<std::uint8_t> rows(perRow * bytesPerSample * std::size_t(form.height));
    for (std::size_t i = 0; i < perRow * std::size_t(form.height); ++i) {
        const std::uint16_t sample = samples[i % samples.size()];
        if (bytesPerSample == 2) {
            rows[2 * i] = std::uint8_t(sample >> 8); // the file's samples are big-endian
            rows[2 * i + 1] = std::uint8_t(sample);
        } else {
            rows[i] = std::uint8_t(sample);
        }
    }
    std::vector<png_bytep> pointers;
    for (int y = 0; y < form.height; ++y) pointers.push_back(rows.data() + perRow * bytesPerSample * std::size_t(y));
    png_write_image(png, pointers.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<std::uint8_t> wideGamutICCProfile() {
    // Tags: white point, the three primaries (adapted to D50) and one tone
    // curve shared by the three channels.
    struct Tag {
        const char* signature;
        std::vector<std::uint8_t> data;
    };
    const auto xyz = [](double x, double y, double z) {
        std::vector<std::uint8_t> data = {'X', 'Y', 'Z', ' ', 0, 0, 0, 0};
        for (const double v : {x, y, z}) appendBigEndian(data, s15Fixed16(v));
        return data;
    };
    const std::vector<std::uint8_t> curve = {'c', 'u', 'r', 'v', 0, 0, 0, 0, 0, 0, 0, 1, 2, 0x33, 0, 0}; // 2.2
    const Tag tags[] = {{"wtpt", xyz(0.96421, 1.0, 0.82491)},
                        {"rXYZ", xyz(0.6097, 0.3111, 0.0195)},
                        {"gXYZ", xyz(0.2053, 0.6257, 0.0609)},
                        {"bXYZ", xyz(0.1492, 0.0632, 0.7446)},
                        {"rTRC", curve},
                        {"gTRC", curve},
                        {"bTRC", curve}};
    const std::size_t tagCount = std::size(tags);
    std::vector<std::uint8_t> body;
    std::vector<std::uint8_t> table;
    appendBigEndian(table, std::uint32_t(tagCount));
    const std::size_t dataStart = 128 + 4 + 12 * tagCount;
    for (const Tag& tag : tags) {
        table.insert(table.end(), tag.signature, tag.signature + 4);
        appendBigEndian(table, std::uint32_t(dataStart + body.size()));
        appendBigEndian(table, std::uint32_t(tag.data.size()));
        body.insert(body.end(), tag.data.begin(), tag.data.end()); // each a multiple of 4 bytes long
    }
    std::vector<std::uint8_t> profile;
    appendBigEndian(profile, std::uint32_t(dataStart + body.size()));
    appendBigEndian(profile, 0);          // preferred colour management module
    appendBigEndian(profile, 0x02100000); // version 2.1
    for (const char* field : {"mntr", "RGB ", "XYZ "}) profile.insert(profile.end(), field, field + 4);
    for (const int part : {2026, 1, 1, 0, 0, 0})
        profile.insert(profile.end(), {std::uint8_t(part >> 8), std::uint8_t(part)});
    profile.insert(profile.end(), {'a', 'c', 's', 'p'});
    profile.resize(64, 0);       // platform, flags, maker, model, attributes
    appendBigEndian(profile, 0); // perceptual intent
    for (const std::uint32_t v : {0xF6D6u, 0x10000u, 0xD32Du}) appendBigEndian(profile, v); // D50, as libpng expects
    profile.resize(128, 0);
    profile.insert(profile.end(), table.begin(), table.end());
    profile.insert(profile.end(), body.begin(), body.end());
    return profile;
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
