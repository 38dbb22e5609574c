// Platform images in keyed archives and as single coded values.
#include "image-read-write/qt/PlatformImageCodable.h"

#include "image-read-write/ImageTestSupport.h"
#include "image-read-write/qt/PlatformImage.h"
#include "platform/foundation/Base64.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>

using archive::ArchiveError;
using Bytes = std::vector<std::uint8_t>;
using ImageCodingError = PlatformImageCodable::ImageCodingError;

namespace {

// Another archivable class, to hand the image's decoder an archive of it.
struct Swatch {
    std::string name;
};

// An image's class name and keys with chosen values.
struct FakeImage {
    Bytes png;
    double width, height;
};

} // namespace

template <> struct archive::Archivable<Swatch> {
    static constexpr std::string_view className = "Swatch";
    static void encode(const Swatch& s, KeyedEncoder& coder) { coder.encodeString("name", s.name); }
    static Swatch decode(const KeyedDecoder& coder) { return Swatch{coder.decodeString("name").value_or("")}; }
};

template <> struct archive::Archivable<FakeImage> {
    static constexpr std::string_view className = "QImage";
    static void encode(const FakeImage& fake, KeyedEncoder& coder) {
        if (!fake.png.empty()) coder.encodeData("pngData", fake.png);
        coder.encodeDouble("width", fake.width);
        coder.encodeDouble("height", fake.height);
    }
    static FakeImage decode(const KeyedDecoder&) { return {}; }
};

namespace {

// What decoding the value throws: an image coding error, an archive error,
// or nothing (a test failure).
struct Outcome {
    std::optional<ImageCodingError> coding;
    std::optional<ArchiveError::Code> archive;
};

Outcome decodeOutcome(const nlohmann::json& value) {
    try {
        PlatformImageCodable::decode(value);
        ADD_FAILURE() << "decoded " << value.dump().substr(0, 80);
    } catch (const PlatformImageCodable::Exception& e) {
        return {e.code(), std::nullopt};
    } catch (const ArchiveError& e) {
        return {std::nullopt, e.code()};
    }
    return {};
}

nlohmann::json stored(const Bytes& bytes) { return foundation::base64Encode(bytes); }

Bytes archiveOf(const QImage& image) { return archive::archivedData(image); }

QImage sample(double devicePixelRatio) {
    QImage image = ImageReadWrite::toQImage(*imagetest::gradientImage(30, 20, true));
    image.setDevicePixelRatio(devicePixelRatio);
    return image;
}

} // namespace

TEST(PlatformImageCodable, RoundTripsThroughJSONWithPixelAndPointSize) {
    for (const double ratio : {1.0, 2.0, 300.0 / 72}) {
        const PlatformImageCodable original{sample(ratio)};
        const nlohmann::json value = original;
        ASSERT_TRUE(value.is_string());
        const auto text = value.dump();
        const auto back = nlohmann::json::parse(text).get<PlatformImageCodable>();
        EXPECT_EQ(back.image.size(), QSize(30, 20)) << ratio;
        EXPECT_NEAR(back.image.deviceIndependentSize().width(), 30 / ratio, 1e-9) << ratio;
        EXPECT_NEAR(back.image.deviceIndependentSize().height(), 20 / ratio, 1e-9) << ratio;
        // PNG is lossless: the same premultiplied words.
        const auto a = ImageReadWrite::cgImage(original.image);
        const auto b = ImageReadWrite::cgImage(back.image);
        EXPECT_EQ(imagetest::compare(*a, *b).max, 0) << ratio;
    }
}

TEST(PlatformImageCodable, ArchiveIsReadByAnIndependentReader) {
    // The stored PNG says the image's resolution (its pHYs chunk, in pixels
    // per metre), so another reader sees the image at its size in points.
    const std::string script =
        "import plistlib,struct,sys,json\n"
        "a=plistlib.load(open(sys.argv[1],'rb'))\n"
        "o=a['$objects']; root=o[a['$top']['root'].data]\n"
        "cls=o[root['$class'].data]\n"
        "png=o[root['pngData'].data]\n"
        "at,phys=8,None\n"
        "while at+8<=len(png):\n"
        "  n,kind=struct.unpack('>I4s',png[at:at+8])\n"
        "  if kind==b'pHYs': phys=list(struct.unpack('>IIB',png[at+8:at+17]))\n"
        "  at+=12+n\n"
        "print(json.dumps([a['$archiver'],cls['$classname'],cls['$classes'],root['width'],root['height'],"
        "png[:8].hex(),phys]))\n";
    for (const double ratio : {2.0, 300.0 / 72}) {
        SCOPED_TRACE(ratio);
        testsupport::TempDir dir;
        testsupport::writeFile(dir / "image.archive", archiveOf(sample(ratio)));
        testsupport::writeTextFile(dir / "read.py", script);
        std::string output;
        ASSERT_EQ(testsupport::runCommand("/usr/bin/python3 " + (dir / "read.py").string() + " " +
                                              (dir / "image.archive").string(),
                                          &output),
                  0)
            << output;
        const auto read = nlohmann::json::parse(output);
        EXPECT_EQ(read[0], "NSKeyedArchiver");
        EXPECT_EQ(read[1], "QImage");
        EXPECT_EQ(read[2][0], "QImage");
        EXPECT_NEAR(read[3].get<double>(), 30 / ratio, 1e-9);
        EXPECT_NEAR(read[4].get<double>(), 20 / ratio, 1e-9);
        EXPECT_EQ(read[5], "89504e470d0a1a0a");
        ASSERT_TRUE(read[6].is_array()) << output;
        const double pixelsPerMetre = 72 * ratio / 0.0254;
        EXPECT_NEAR(read[6][0].get<double>(), pixelsPerMetre, 0.5);
        EXPECT_NEAR(read[6][1].get<double>(), pixelsPerMetre, 0.5);
        EXPECT_EQ(read[6][2], 1); // metres
    }
}

TEST(PlatformImageCodable, NonArchivesAndOtherClassesAreRefusedWithoutCrash) {
    // Not base64 text at all: InvalidData.
    for (const nlohmann::json& value : {nlohmann::json(42), nlohmann::json("not base64!"), nlohmann::json::array()}) {
        EXPECT_EQ(decodeOutcome(value).coding, ImageCodingError::InvalidData) << value.dump();
    }
    // Random bytes and every truncation of a real archive: the unarchiver's
    // error (or InvalidData), never a crash or an image.
    std::mt19937 random(7);
    for (int i = 0; i < 50; ++i) {
        Bytes bytes(std::size_t(random() % 200));
        for (auto& b : bytes) b = std::uint8_t(random());
        if (i % 2) std::memcpy(bytes.data(), "bplist00", std::min<std::size_t>(8, bytes.size()));
        const Outcome outcome = decodeOutcome(stored(bytes));
        EXPECT_TRUE(outcome.coding == ImageCodingError::InvalidData || outcome.archive == ArchiveError::Code::readCorrupt);
    }
    const Bytes whole = archiveOf(sample(1));
    for (std::size_t length = 0; length < whole.size(); length += 1 + length / 8) {
        const Outcome outcome = decodeOutcome(stored(Bytes(whole.begin(), whole.begin() + std::ptrdiff_t(length))));
        EXPECT_TRUE(outcome.coding == ImageCodingError::InvalidData || outcome.archive == ArchiveError::Code::readCorrupt)
            << length;
    }
    // An archive of another class.
    EXPECT_EQ(decodeOutcome(stored(archive::archivedData(Swatch{"red"}))).archive, ArchiveError::Code::unexpectedClass);
}

TEST(PlatformImageCodable, FieldsThatMakeNoImageAreCorrupt) {
    const Bytes png = ImageReadWrite::imageData(sample(1), ImageExportType::png());
    const auto archived = [](const FakeImage& fake) { return stored(archive::archivedData(fake)); };
    // The real thing decodes.
    EXPECT_EQ(PlatformImageCodable::decode(archived({png, 15, 10})).image.deviceIndependentSize(), QSizeF(15, 10));

    EXPECT_EQ(decodeOutcome(archived({{}, 30, 20})).archive, ArchiveError::Code::readCorrupt);
    EXPECT_EQ(decodeOutcome(archived({Bytes{1, 2, 3}, 30, 20})).archive, ArchiveError::Code::readCorrupt);
    for (const auto& [w, h] : {std::pair{0.0, 20.0}, {-30.0, -20.0}, {std::nan(""), 20.0}, {30.0, 10.0},
                              {1e-320, 1e-320}}) {
        EXPECT_EQ(decodeOutcome(archived({png, w, h})).archive, ArchiveError::Code::readCorrupt) << w << " x " << h;
    }

    // A stored image is a logo or a fill and gets their cap, 4096 on each
    // side: a 32 KB archive of a 16384 x 16384 PNG is refused from the PNG's
    // header, not decoded to a gigabyte.
    const Bytes bomb = testsupport::bilevelPNG(16384, 16384, true);
    ASSERT_LT(bomb.size(), 64u << 10);
    const std::size_t before = testsupport::peakResidentBytes();
    EXPECT_EQ(decodeOutcome(archived({bomb, 16384, 16384})).archive, ArchiveError::Code::readCorrupt);
    EXPECT_LT(testsupport::peakResidentBytes() - before, std::size_t(64) << 20);
    EXPECT_EQ(decodeOutcome(archived({testsupport::bilevelPNG(8192, 2048, true), 8192, 2048})).archive,
              ArchiveError::Code::readCorrupt);
    EXPECT_EQ(PlatformImageCodable::decode(archived({testsupport::bilevelPNG(4096, 2, true), 4096, 2})).image.width(),
              4096);
}

TEST(PlatformImageCodable, ANullImageCannotBeArchived) {
    try {
        (void)PlatformImageCodable{QImage()}.encode();
        ADD_FAILURE() << "archived a null image";
    } catch (const ArchiveError& e) {
        EXPECT_EQ(e.code(), ArchiveError::Code::writeInvalid);
    }
}
