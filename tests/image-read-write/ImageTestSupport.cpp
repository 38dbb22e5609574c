#include "tests/image-read-write/ImageTestSupport.h"

#include "image-read-write/Codecs.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>

namespace imagetest {

gfx::ImagePtr gradientImage(int width, int height, bool transparency) {
    auto image = std::make_shared<gfx::Image>(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            gfx::Pixel p{std::uint8_t(x * 255 / std::max(1, width - 1)),
                         std::uint8_t(y * 255 / std::max(1, height - 1)), std::uint8_t(128 + (x - y) / 4), 255};
            if (transparency && x < width / 4)
                p.a = 0;
            else if (transparency && y >= height - 4)
                p.a = 160;
            image->setPixel(x, y, p);
        }
    }
    return image;
}

gfx::ImagePtr blockImage(int width, int height) {
    static const gfx::Pixel colours[] = {{255, 255, 255, 255}, {0, 0, 0, 255}, {200, 30, 40, 255}, {20, 90, 220, 255}};
    auto image = std::make_shared<gfx::Image>(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) image->setPixel(x, y, colours[((x / 8) + (y / 8) * 3) % 4]);
    }
    return image;
}

namespace {
void accumulate(Difference& d, long long& sum, long long& count, const gfx::Pixel& a, const std::uint8_t* b) {
    const int da = std::abs(int(a.a) - int(b[3]));
    d.max = std::max(d.max, da);
    sum += da;
    ++count;
    if (a.a == 0 && b[3] == 0) return;
    const int dc[3] = {std::abs(int(a.r) - int(b[0])), std::abs(int(a.g) - int(b[1])), std::abs(int(a.b) - int(b[2]))};
    for (int c : dc) {
        d.max = std::max(d.max, c);
        sum += c;
        ++count;
    }
}
} // namespace

Difference compare(const gfx::Image& image, const std::vector<std::uint8_t>& rgba) {
    Difference d;
    EXPECT_EQ(rgba.size(), std::size_t(image.width()) * image.height() * 4);
    if (rgba.size() != std::size_t(image.width()) * image.height() * 4) return Difference{255, 255};
    long long sum = 0, count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            accumulate(d, sum, count, image.pixel(x, y), rgba.data() + (std::size_t(y) * image.width() + x) * 4);
        }
    }
    d.mean = count ? double(sum) / double(count) : 0;
    return d;
}

Difference compare(const gfx::Image& a, const gfx::Image& b) {
    EXPECT_EQ(a.width(), b.width());
    EXPECT_EQ(a.height(), b.height());
    if (a.width() != b.width() || a.height() != b.height()) return Difference{255, 255};
    std::vector<std::uint8_t> rgba;
    for (int y = 0; y < b.height(); ++y) {
        for (int x = 0; x < b.width(); ++x) {
            const gfx::Pixel p = b.pixel(x, y);
            rgba.insert(rgba.end(), {p.r, p.g, p.b, p.a});
        }
    }
    return compare(a, rgba);
}

ExternalRead readWithPIL(const std::filesystem::path& file) {
    const auto raw = file.string() + ".raw";
    const auto script = testsupport::sourceDir() / "tests" / "image-read-write" / "read_image.py";
    std::string output;
    const int status = testsupport::runCommand(
        "/usr/bin/python3 '" + script.string() + "' '" + file.string() + "' '" + raw + "'", &output);
    EXPECT_EQ(status, 0) << output;
    ExternalRead result;
    if (status != 0) return result;
    result.info = nlohmann::json::parse(output);
    result.rgba = testsupport::readFile(raw);
    return result;
}

ExternalRead readWithImageMagick(const std::filesystem::path& file, int width, int height) {
    ExternalRead result;
    std::string output;
    const int status = testsupport::runCommand(
        "identify -format '{\"width\":%w,\"height\":%h}' '" + file.string() + "' 2>/dev/null", &output);
    EXPECT_EQ(status, 0) << output;
    if (status != 0) return result;
    result.info = nlohmann::json::parse(output);
    const auto raw = file.string() + ".raw";
    EXPECT_EQ(testsupport::runCommand("convert '" + file.string() + "' -depth 8 rgba:'" + raw + "' 2>/dev/null"), 0);
    result.rgba = testsupport::readFile(raw);
    EXPECT_EQ(result.rgba.size(), std::size_t(width) * height * 4);
    return result;
}

nlohmann::json readHEICExifResolution(const std::filesystem::path& file) {
    const auto script = testsupport::sourceDir() / "tests" / "image-read-write" / "read_image.py";
    std::string output;
    const int status = testsupport::runCommand(
        "/usr/bin/python3 '" + script.string() + "' --exif-resolution '" + file.string() + "'", &output);
    EXPECT_EQ(status, 0) << output;
    return status == 0 ? nlohmann::json::parse(output) : nlohmann::json::object();
}

bool heicEncodingAvailable() { return ImageReadWrite::detail::heicEncoderAvailable(); }

std::size_t find(const ImageReadWrite::Bytes& bytes, std::string_view text, std::size_t from) {
    const std::string_view all(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return all.find(text, from);
}

} // namespace imagetest
