#include "image-read-write/ImageEncoding.h"
#include "image-read-write/ImageLoading.h"
#include "platform/detector/QRDetector.h"
#include "platform/foundation/Base64.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <png.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <vector>
#include <string>

namespace {

struct ToolResult {
    int status;
    std::string out;
    std::string err;
};

// Runs the tool with `args`, after `environment` (NAME=value assignments
// for the shell, each followed by a space).
ToolResult tool(const std::string& args, const std::string& environment = {}) {
    testsupport::TempDir scratch;
    const auto errPath = scratch / "stderr";
    ToolResult run;
    run.status = testsupport::runCommand(environment + QRTOOL_PATH + " " + args + " 2>" + errPath.string(), &run.out);
    run.err = testsupport::readTextFile(errPath);
    return run;
}

int shell(const std::string& command, std::string* out = nullptr) {
    return testsupport::runCommand(command + " 2>&1", out);
}

std::size_t entries(const std::filesystem::path& folder) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder)) ++n;
    return n;
}

std::size_t lines(const std::string& s) { return std::size_t(std::count(s.begin(), s.end(), '\n')); }

// The text of the one code a picture file shows.
std::string scanned(const std::filesystem::path& picture) {
    const auto found = platform::detectQRCodes(*ImageReadWrite::loadFile(picture));
    EXPECT_EQ(found.size(), 1u) << picture;
    return found.empty() ? std::string() : found[0].text;
}

} // namespace

TEST(QRTool, EncodePrintsTextArt) {
    // Default engine (filter, with its one-module margin) at level Q.
    const ToolResult full = tool("encode 'HELLO WORLD'");
    EXPECT_EQ(full.status, 0);
    EXPECT_EQ(lines(full.out), 23U);
    EXPECT_NE(full.out.find("\u2588\u2588"), std::string::npos);
    const ToolResult small = tool("encode --engine external --level H --small 'HELLO WORLD'");
    EXPECT_EQ(small.status, 0);
    EXPECT_EQ(lines(small.out), 14U); // version 2 at H: 27 rows, two per line
    EXPECT_TRUE(small.err.empty());

    testsupport::TempDir dir;
    testsupport::writeFile(dir / "msg.bin", {0x00, 0xFF, 0x10});
    const ToolResult file = tool("encode --level L --file " + (dir / "msg.bin").string());
    EXPECT_EQ(file.status, 0);
    EXPECT_EQ(lines(file.out), 23U);

    const ToolResult help = tool("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("encode"), std::string::npos);
}

TEST(QRToolRender, EveryFormatOpensInAnIndependentReader) {
    testsupport::TempDir dir;
    for (const std::string ext : {"png", "jpg", "tiff", "gif", "heic", "pdf", "svg", "txt"}) {
        const auto path = dir / ("x." + ext);
        const ToolResult run = tool("render --text 'https://example.com' -o " + path.string());
        ASSERT_EQ(run.status, 0) << ext << ": " << run.err;
        EXPECT_TRUE(run.out.empty()) << ext;
        // (A sanitizer build may add its own report of a codec library.)
        EXPECT_EQ(run.err.find("qrtool:"), std::string::npos) << ext << ": " << run.err;
        std::string out;
        if (ext == "pdf") {
            ASSERT_EQ(shell("pdfinfo " + path.string(), &out), 0) << out;
            EXPECT_NE(out.find("1024 x 1024 pts"), std::string::npos) << out;
        } else if (ext == "svg") {
            EXPECT_EQ(shell("xmllint --noout " + path.string(), &out), 0) << out;
            const auto png = dir / "svg.png";
            ASSERT_EQ(shell("rsvg-convert " + path.string() + " -o " + png.string(), &out), 0) << out;
            EXPECT_EQ(scanned(png), "https://example.com");
        } else if (ext == "txt") {
            const std::string art = testsupport::readTextFile(path);
            EXPECT_NE(art.find("\u2588\u2588"), std::string::npos);
        } else {
            ASSERT_EQ(shell("identify -format '%w %h' " + path.string(), &out), 0) << out;
            EXPECT_EQ(out, "1024 1024") << ext;
        }
    }
    EXPECT_EQ(scanned(dir / "x.png"), "https://example.com");
    EXPECT_EQ(entries(dir.path()), 9u); // eight outputs and the rasterised SVG, no temporaries
}

TEST(QRToolRender, SizeDpiLevelEngineAndFileContent) {
    testsupport::TempDir dir;
    testsupport::writeFile(dir / "msg.bin", {'b', 'y', 't', 'e', 's'});
    const ToolResult run = tool("render --file " + (dir / "msg.bin").string() +
                                " --level H --engine external --size 300 --dpi 144 -o " + (dir / "a.png").string());
    ASSERT_EQ(run.status, 0) << run.err;
    std::string out;
    ASSERT_EQ(shell("identify -units PixelsPerInch -format '%w %h %x' " + (dir / "a.png").string(), &out), 0);
    // PNG stores pixels per metre: 144 dpi reads back as 143.99.
    EXPECT_EQ(out.substr(0, 8), "300 300 ") << out;
    EXPECT_NEAR(std::stod(out.substr(8)), 144, 0.05) << out;
    const auto found = platform::detectQRCodes(*ImageReadWrite::loadFile(dir / "a.png"));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].bytes, (std::vector<std::uint8_t>{'b', 'y', 't', 'e', 's'}));

    ASSERT_EQ(tool("render --text hi --size 200 --dpi 144 -o " + (dir / "a.pdf").string()).status, 0);
    ASSERT_EQ(tool("render --text hi --size 200 --dpi 72.5 -o " + (dir / "b.png").string()).status, 0);
    ASSERT_EQ(shell("pdfinfo " + (dir / "a.pdf").string(), &out), 0);
    EXPECT_NE(out.find("100 x 100 pts"), std::string::npos) << out;
}

TEST(QRToolRender, DocumentsLoadPrintTheirJsonAndTakeNewContent) {
    testsupport::TempDir dir;
    const nlohmann::json document = {
        {"correction", "L"},
        {"text", "from the document"},
        {"design", {{"additionalQuietZonePixels", 2}}},
    };
    testsupport::writeTextFile(dir / "doc.qrjcode", document.dump());

    const ToolResult json = tool("render --document " + (dir / "doc.qrjcode").string() + " --json -");
    ASSERT_EQ(json.status, 0) << json.err;
    const auto printed = nlohmann::json::parse(json.out);
    EXPECT_EQ(printed["correction"], "L");
    EXPECT_EQ(printed["text"], "from the document");
    EXPECT_EQ(printed["design"]["additionalQuietZonePixels"], 2);
    EXPECT_EQ(json.out.rfind("{\n  \"correction\": \"L\",\n", 0), 0u);

    // The document's content at its own level, or replaced by --text.
    ASSERT_EQ(tool("render --document " + (dir / "doc.qrjcode").string() + " -o " + (dir / "d.png").string()).status,
              0);
    EXPECT_EQ(scanned(dir / "d.png"), "from the document");
    ASSERT_EQ(
        tool("render --document " + (dir / "doc.qrjcode").string() + " --text replaced -o " + (dir / "e.png").string())
            .status,
        0);
    EXPECT_EQ(scanned(dir / "e.png"), "replaced");

    // A document whose content fits only after the new level is set: no
    // stray diagnostics on either stream.
    testsupport::writeTextFile(dir / "big.qrjcode",
                               nlohmann::json{{"correction", "H"}, {"text", std::string(2000, 'a')}}.dump());
    const ToolResult big = tool("render --document " + (dir / "big.qrjcode").string() + " --level L --json -");
    EXPECT_EQ(big.status, 0) << big.err;
    EXPECT_TRUE(big.err.empty()) << big.err;
    EXPECT_EQ(nlohmann::json::parse(big.out)["correction"], "L");
}

TEST(QRToolRender, FailuresOfEveryCommandGiveOneLineStatusOneAndNoFile) {
    testsupport::TempDir dir;
    testsupport::writeTextFile(dir / "array.qrjcode", "[1, 2]");
    testsupport::writeTextFile(dir / "broken.qrjcode", "{\"text\": ");
    testsupport::writeTextFile(dir / "big.qrjcode",
                               nlohmann::json{{"correction", "H"}, {"text", std::string(2000, 'a')}}.dump());
    // Fill settings nested 50,000 deep (once a stack overflow).
    testsupport::writeTextFile(dir / "deep.qrjcode",
                               R"({"design": {"style": {"onPixels": {"type": "solid", "settings": {"x": )" +
                                   std::string(50000, '[') + std::string(50000, ']') + "}}}}}");
    testsupport::writeFile(dir / "big.bin", std::vector<std::uint8_t>(3000, 'a'));
    const std::string out = (dir / "out.png").string();
    for (const std::string& args : std::vector<std::string>{
             std::string("encode"),
             std::string("encode --level X hi"),
             std::string("encode --engine nope hi"),
             std::string("encode a b"),
             std::string("encode --bogus hi"),
             std::string("encode --file /nonexistent/x"),
             "encode --file " + (dir / "big.bin").string(),
             "encode --engine external --level H --file " + (dir / "big.bin").string(),
             std::string("encode \"$(printf '\\377')\""),
             std::string("frobnicate"),
             std::string("render --text hi"),
             "render --text hi -o " + (dir / "x.bmp").string(),
             "render --text hi --file x -o " + out,
             "render --text hi --level Z -o " + out,
             "render --text hi --size 0 -o " + out,
             "render --text hi --size 99999 -o " + out,
             "render --text hi --dpi -3 -o " + out,
             "render --text hi --dpi nan -o " + out,
             "render --text hi --engine nope -o " + out,
             std::string("render --text hi --json file.json"),
             "render --text hi --bogus -o " + out,
             "render --file /nonexistent/in -o " + out,
             "render --document /nonexistent/doc -o " + out,
             "render --document " + (dir / "array.qrjcode").string() + " -o " + out,
             "render --document " + (dir / "broken.qrjcode").string() + " -o " + out,
             "render --document " + (dir / "big.qrjcode").string() + " -o " + out,
             "render --text \"$(printf '\\377')\" -o " + out,
             "render --text \"$(head -c 3000 /dev/zero | tr '\\0' a)\" --level H -o " + out,
             "render --text hi -o " + (dir / "missing" / "x.png").string(),
             // Endless input ends in an error, not in exhausted memory.
             "render --file /dev/zero -o " + out,
             "render --document /dev/zero -o " + out,
             "encode --file /dev/zero",
             "render --document " + (dir / "deep.qrjcode").string() + " -o " + out,
             // Decimal only, like --size, and within 1...100000.
             "render --text hi --dpi 0x10 -o " + out,
             "render --text hi --dpi 0.001 -o " + out,
             "render --text hi --dpi 1e6 -o " + out,
             "render --text hi --dpi 1e3 -o " + out,
             "render --text hi --dpi +300 -o " + out,
             "render --text hi --dpi 72. -o " + out,
             "render --text hi --dpi .5e3 -o " + out,
             "render --text hi --dpi 7.2.1 -o " + out,
             // Every option at most once, the last never silently winning.
             "render --text hi --size 100 --size 200 -o " + out,
             "render --text hi --dpi 72 --dpi 72 -o " + out,
             "render --text hi --level H --level L -o " + out,
             "render --text hi --engine external --engine coreimage -o " + out,
             "render --text hi -o " + out + " --output " + out,
             std::string("encode --level H --level L hi"),
             std::string("encode --engine external --engine coreimage hi"),
             std::string("encode --small --small hi"),
         }) {
        const ToolResult run = tool(args);
        EXPECT_EQ(run.status, 1) << args;
        EXPECT_TRUE(run.out.empty()) << args << ": " << run.out;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << args << ": " << run.err;
        EXPECT_FALSE(std::filesystem::exists(out)) << args;
    }
    EXPECT_EQ(entries(dir.path()), 5u); // only the five inputs: no partial or temporary files

    // An existing output stays as it was when rendering fails.
    testsupport::writeTextFile(dir / "keep.png", "old");
    EXPECT_EQ(tool("render --text \"$(printf '\\377')\" -o " + (dir / "keep.png").string()).status, 1);
    EXPECT_EQ(testsupport::readTextFile(dir / "keep.png"), "old");
}

// A size and a resolution each within range can still make a PDF page
// larger than the library draws (size x 72 / dpi points a side): the one
// line names the page and the least resolution that does, and that
// resolution (or one pixel less) renders.
TEST(QRToolRender, APDFPageTooLargeForItsSizeAndDpiIsNamedWithTheResolutionThatFits) {
    testsupport::TempDir dir;
    const std::string out = (dir / "x.pdf").string();
    struct Case {
        const char* size;
        const char* dpi;
        const char* page; // as the message gives it
        const char* fits; // a --dpi that works for this size
    };
    for (const Case& c :
         {Case{"16384", "1", "1179648 points a side (416 m)", "1.18"},
          Case{"13889", "1", "1000008 points a side", "1.01"}, Case{"16384", "1.1", "1072407 points a side", "1.18"}}) {
        const std::string args = std::string("render --text hi --size ") + c.size + " --dpi ";
        const ToolResult refused = tool(args + c.dpi + " -o " + out);
        EXPECT_EQ(refused.status, 1) << c.size;
        EXPECT_EQ(lines(refused.err), 1u) << refused.err;
        EXPECT_NE(refused.err.find(c.page), std::string::npos) << refused.err;
        EXPECT_NE(refused.err.find(std::string("use --dpi ") + c.fits + " or more"), std::string::npos) << refused.err;
        EXPECT_EQ(refused.err.find("QRCodeError"), std::string::npos) << refused.err;
        EXPECT_FALSE(std::filesystem::exists(out));

        const ToolResult rendered = tool(args + c.fits + " -o " + out);
        EXPECT_EQ(rendered.status, 0) << rendered.err;
        EXPECT_TRUE(std::filesystem::exists(out));
        std::filesystem::remove(out);
    }
    // The largest page that is drawn: 13888 pixels at 1 dpi.
    EXPECT_EQ(tool("render --text hi --size 13888 --dpi 1 -o " + out).status, 0);
    EXPECT_EQ(entries(dir.path()), 1u);
}

TEST(QRToolRender, ReplacedOutputsKeepTheirModeLinksStayLinksAndReadOnlyOnesAreRefused) {
    testsupport::TempDir dir;
    const auto file = dir / "private.png";
    testsupport::writeTextFile(file, "old");
    std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    ASSERT_EQ(tool("render --text hi -o " + file.string()).status, 0);
    EXPECT_EQ(std::filesystem::status(file).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(scanned(file), "hi");

    // A link to the output is followed: the link stays, its target changes.
    std::filesystem::create_directory(dir / "real");
    std::filesystem::create_symlink("real/target.png", dir / "link.png");
    ASSERT_EQ(tool("render --text linked -o " + (dir / "link.png").string()).status, 0);
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.png"));
    EXPECT_EQ(scanned(dir / "real" / "target.png"), "linked");
    EXPECT_EQ(entries(dir.path()), 3u);
    EXPECT_EQ(entries(dir / "real"), 1u);

    // A file its owner marked read-only is refused, directly or through a
    // link, by a run that may not write it: root gives up its power to
    // write any file for the run, and without it still replaces the file.
    using std::filesystem::perms;
    const auto readOnly = dir / "read-only.png";
    testsupport::writeTextFile(readOnly, "kept");
    std::filesystem::permissions(readOnly, perms::owner_read | perms::group_read | perms::others_read);
    std::filesystem::create_symlink("read-only.png", dir / "read-only-link.png");
    const bool root = ::geteuid() == 0;
    for (const char* name : {"read-only.png", "read-only-link.png"}) {
        const std::string path = (dir / name).string();
        const ToolResult run =
            tool("render --text hi -o " + path, root ? "setpriv --bounding-set=-all --inh-caps=-all " : "");
        EXPECT_EQ(run.status, 1) << name;
        EXPECT_EQ(run.err, "qrtool: cannot write '" + path + "': Permission denied\n");
    }
    EXPECT_EQ(testsupport::readTextFile(readOnly), "kept");
    EXPECT_EQ(std::filesystem::status(readOnly).permissions(),
              perms::owner_read | perms::group_read | perms::others_read);
    EXPECT_EQ(entries(dir.path()), 5u);
    if (root) {
        ASSERT_EQ(tool("render --text root -o " + readOnly.string()).status, 0);
        EXPECT_EQ(scanned(readOnly), "root");
        EXPECT_EQ(std::filesystem::status(readOnly).permissions(),
                  perms::owner_read | perms::group_read | perms::others_read);
    }
}

TEST(QRToolRender, AnUnreadableLogoOrFillImageIsReportedAndLeftOutAndEachPictureIsDecodedOnce) {
    testsupport::TempDir dir;
    // A PNG signature and nothing a decoder can use; and images past the
    // 4096-pixel side of logos and fills, though within their pixel count.
    const std::string junk = "iVBORw0KGgoAAAAA";
    for (const std::string& image :
         {junk, foundation::base64Encode(testsupport::bilevelPNG(8192, 2048)),
          foundation::base64Encode(testsupport::bilevelPNG(16384, 1))}) {
        const nlohmann::json document = {
            {"text", "hi"},
            {"logoTemplate", {{"image", image}, {"relativeMaskPath", "W10="}}},
            {"design", {{"style", {{"background", {{"type", "image"}, {"settings", {{"imagePNGbase64", image}}}}}}}}},
        };
        testsupport::writeTextFile(dir / "doc.qrjcode", document.dump());
        const ToolResult run =
            tool("render --document " + (dir / "doc.qrjcode").string() + " -o " + (dir / "a.png").string());
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.err.find("warning: the logo in"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("warning: a fill image in"), std::string::npos) << run.err;
        EXPECT_EQ(scanned(dir / "a.png"), "hi");
    }

    // Every place a fill goes is checked, and a readable picture warns of
    // nothing. Each picture is decoded once, a fill's as a logo's (counted
    // where the tool enters libpng), whatever the output.
    const std::string picture = foundation::base64Encode(testsupport::bilevelPNG(64, 64));
    const nlohmann::json imageFill = {{"type", "image"}, {"settings", {{"imagePNGbase64", picture}}}};
    const nlohmann::json brokenFill = {{"type", "image"}, {"settings", {{"imagePNGbase64", junk}}}};
    for (const char* place : {"onPixels", "offPixels", "eye", "pupil", "background"}) {
        for (const bool readable : {true, false}) {
            const nlohmann::json document = {{"text", "hi"},
                                             {"design", {{"style", {{place, readable ? imageFill : brokenFill}}}}}};
            testsupport::writeTextFile(dir / "fill.qrjcode", document.dump());
            const ToolResult run =
                tool("render --document " + (dir / "fill.qrjcode").string() + " -o " + (dir / "a.png").string());
            EXPECT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(run.err.find("warning: a fill image in") != std::string::npos, !readable) << place << run.err;
        }
    }
    const nlohmann::json withFill = {{"text", "hi"}, {"design", {{"style", {{"onPixels", imageFill}}}}}};
    const nlohmann::json withLogo = {{"text", "hi"},
                                     {"logoTemplate", {{"image", picture}, {"relativeMaskPath", "W10="}}}};
    for (const auto& [name, document] : {std::pair{"fill", withFill}, std::pair{"logo", withLogo}}) {
        testsupport::writeTextFile(dir / "doc.qrjcode", document.dump());
        for (const char* output : {"a.png", "a.pdf", "a.svg"}) {
            std::filesystem::remove(dir / "decodes");
            const ToolResult run =
                tool("render --document " + (dir / "doc.qrjcode").string() + " -o " + (dir / output).string(),
                     "LD_PRELOAD=" PNG_DECODE_COUNTER " TESSIVO_PNG_DECODES=" + (dir / "decodes").string() +
                         " ASAN_OPTIONS=verify_asan_link_order=0 ");
            EXPECT_EQ(run.status, 0) << name << " " << output << ": " << run.err;
            EXPECT_EQ(testsupport::readTextFile(dir / "decodes"), "1\n") << name << " " << output;
        }
    }
}

// A logo or a fill picture saved at 16 bits a sample without any statement
// of its colours is drawn as the same picture saved at 8 bits, as every
// viewer shows it: its samples are sRGB-encoded, not linear light.
TEST(QRToolRender, ASixteenBitPictureThatStatesNoGammaDrawsAsItsEightBitTwin) {
    testsupport::TempDir dir;
    // Greys and colours from dark to light, each 16-bit sample within half
    // a level of its twin's.
    std::vector<std::uint16_t> eight, sixteen;
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 48; ++x) {
            for (const int v : {x * 5 + 8, y * 5 + 8, (x + y) % 2 ? 32 : 112}) {
                eight.push_back(std::uint16_t(v));
                sixteen.push_back(std::uint16_t(v * 257 + (x * 37 + y * 11) % 257 - 128));
            }
        }
    }
    testsupport::PNGForm form{.width = 48, .height = 48, .colorType = PNG_COLOR_TYPE_RGB};
    const std::string deep = foundation::base64Encode(testsupport::writtenPNG(form, sixteen));
    form.bitDepth = 8;
    const std::string shallow = foundation::base64Encode(testsupport::writtenPNG(form, eight));
    // The logo hides a square of the code: the middle 24% of its side.
    const auto asLogo = [](const std::string& picture) {
        const std::string square = foundation::base64Encode(
            R"([{"type":0,"points":[[0.38,0.38]]},{"type":1,"points":[[0.62,0.38]]},)"
            R"({"type":1,"points":[[0.62,0.62]]},{"type":1,"points":[[0.38,0.62]]},{"type":4}])");
        return nlohmann::json{{"text", "hi"}, {"logoTemplate", {{"image", picture}, {"relativeMaskPath", square}}}};
    };
    const auto asBackground = [](const std::string& picture) {
        const nlohmann::json fill = {{"type", "image"}, {"settings", {{"imagePNGbase64", picture}}}};
        return nlohmann::json{{"text", "hi"}, {"design", {{"style", {{"background", fill}}}}}};
    };
    for (const auto& [name, document] : {std::pair{"logo", +asLogo}, std::pair{"background", +asBackground}}) {
        SCOPED_TRACE(name);
        std::vector<gfx::ImagePtr> drawn;
        for (const std::string& picture : {deep, shallow}) {
            testsupport::writeTextFile(dir / "doc.qrjcode", document(picture).dump());
            const ToolResult run = tool("render --document " + (dir / "doc.qrjcode").string() + " --size 256 -o " +
                                        (dir / "a.png").string());
            ASSERT_EQ(run.status, 0) << run.err;
            EXPECT_TRUE(run.err.empty()) << run.err;
            drawn.push_back(ImageReadWrite::loadFile(dir / "a.png"));
        }
        ASSERT_EQ(drawn[0]->width(), drawn[1]->width());
        ASSERT_EQ(drawn[0]->height(), drawn[1]->height());
        int most = 0;
        for (int y = 0; y < drawn[0]->height(); ++y) {
            for (int x = 0; x < drawn[0]->width(); ++x) {
                const gfx::Pixel a = drawn[0]->pixel(x, y), b = drawn[1]->pixel(x, y);
                for (const int d : {a.r - b.r, a.g - b.g, a.b - b.b, a.a - b.a}) most = std::max(most, std::abs(d));
            }
        }
        EXPECT_LE(most, 1);
        EXPECT_EQ(scanned(dir / "a.png"), "hi");
    }
}

TEST(QRToolRender, OutputsThatAreNotRegularFilesAreRefusedAndLeftAsTheyAre) {
    testsupport::TempDir dir;
    ASSERT_EQ(shell("mkfifo " + (dir / "pipe.png").string()), 0);
    std::filesystem::create_symlink("pipe.png", dir / "to-pipe.png");
    std::filesystem::create_symlink("loop-b.png", dir / "loop-a.png");
    std::filesystem::create_symlink("loop-a.png", dir / "loop-b.png");
    std::filesystem::create_directory(dir / "folder.png");
    for (const std::string name : {"pipe.png", "to-pipe.png", "loop-a.png", "folder.png"}) {
        const ToolResult run = tool("render --text hi -o " + (dir / name).string());
        EXPECT_EQ(run.status, 1) << name;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << name << ": " << run.err;
        EXPECT_NE(run.err.find("cannot write"), std::string::npos) << run.err;
    }
    EXPECT_TRUE(std::filesystem::is_fifo(dir / "pipe.png"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "to-pipe.png"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "loop-a.png"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder.png"));
    EXPECT_TRUE(std::filesystem::is_empty(dir / "folder.png"));
    EXPECT_EQ(entries(dir.path()), 5u); // no temporary left behind
}

TEST(QRToolRender, AnOutputNameAtTheFileNameLimitIsWritten) {
    testsupport::TempDir dir;
    const auto path = dir / (std::string(251, 'n') + ".png"); // 255 bytes, the most a name may have
    const ToolResult run = tool("render --text limit -o " + path.string());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(scanned(path), "limit");
    EXPECT_EQ(entries(dir.path()), 1u);
}

TEST(QRToolRender, AWriteStoppedByTheFileSizeLimitLeavesNoTemporaryAndReplacesNothing) {
    // The kernel stops the write with SIGXFSZ at the size limit: the tool
    // ends by that signal, and its temporary file goes with it.
    testsupport::TempDir dir;
    const std::string command =
        "ulimit -f 8 && exec " + std::string(QRTOOL_PATH) + " render --text hi -o " + (dir / "big.tiff").string();
    std::string out;
    const int status = shell("sh -c '" + command + "'; echo \"status $?\"", &out);
    EXPECT_EQ(status, 0);
    EXPECT_NE(out.find("status 153"), std::string::npos) << out; // 128 + SIGXFSZ
    EXPECT_EQ(entries(dir.path()), 0u);

    // With SIGXFSZ ignored the write fails as on a full disk: the tool says
    // so and leaves the file it would replace as it was.
    for (const char* name : {"big.tiff", "small.png", "small.pdf"}) {
        testsupport::writeTextFile(dir / name, "kept");
        const std::string ignoring = "trap '' XFSZ && ulimit -f 1 && exec " + std::string(QRTOOL_PATH) +
                                     " render --text hi -o " + (dir / name).string();
        out.clear();
        EXPECT_EQ(shell("sh -c \"" + ignoring + "\" 2>&1; echo \"status $?\"", &out), 0);
        EXPECT_NE(out.find("File too large"), std::string::npos) << out;
        EXPECT_EQ(lines(out), 2u) << out;
        EXPECT_NE(out.find("status 1"), std::string::npos) << out;
        EXPECT_EQ(testsupport::readTextFile(dir / name), "kept");
    }
    EXPECT_EQ(entries(dir.path()), 3u);
}

namespace {

// Runs the tool with `args` (no shell) and returns its exit status and the
// most memory it held, in bytes.
std::pair<int, std::size_t> statusAndPeakMemory(const std::vector<std::string>& args) {
    std::vector<char*> argv{const_cast<char*>(QRTOOL_PATH)};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDERR_FILENO);
        ::execv(QRTOOL_PATH, argv.data());
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage {};
    ::wait4(child, &status, 0, &usage);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, std::size_t(usage.ru_maxrss) * 1024};
}

} // namespace

TEST(QRToolRender, AMessageNoSymbolHoldsIsRefusedForLittleMoreThanItsOwnSize) {
    // 8 MB of text in a document (the filter once took some 150 times that).
    testsupport::TempDir dir;
    testsupport::writeTextFile(dir / "huge.qrjcode",
                               nlohmann::json{{"text", std::string(std::size_t(8) << 20, 'h')}}.dump());
    const ToolResult run =
        tool("render --document " + (dir / "huge.qrjcode").string() + " -o " + (dir / "x.png").string());
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("does not fit in a symbol"), std::string::npos) << run.err;
    for (const char* engine : {"coreimage", "external"}) {
        const auto [status, peak] =
            statusAndPeakMemory({"render", "--engine", engine, "--document", (dir / "huge.qrjcode").string(), "-o",
                                 (dir / "x.png").string()});
        EXPECT_EQ(status, 1) << engine;
        EXPECT_LT(peak, std::size_t(400) << 20) << engine; // once over a gigabyte
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "x.png"));
}

namespace {

// A document whose logo mask is curves reaching a million logo sides out:
// more than a clip may take at any size, so every render warns and leaves
// the logo out.
nlohmann::json documentWithAMaskTooComplexToDraw() {
    nlohmann::json elements = nlohmann::json::array({{{"type", 0}, {"points", {{0.5, 0.5}}}}});
    for (int i = 0; i < 50; ++i) {
        const double a = i * 2.4, far = 1e6;
        elements.push_back({{"type", 3},
                            {"points",
                             {{0.5 + far * std::cos(a), 0.5 + far * std::sin(a)},
                              {0.5 - far * std::sin(a), 0.5 + far * std::cos(a)},
                              {0.5, 0.5}}}});
    }
    elements.push_back({{"type", 4}});
    const std::string mask = elements.dump();
    return {
        {"text", "hi"},
        {"correction", "H"},
        {"logoTemplate",
         {{"image", foundation::base64Encode(testsupport::bilevelPNG(8, 8))},
          {"relativeMaskPath", foundation::base64Encode(std::vector<std::uint8_t>(mask.begin(), mask.end()))}}},
    };
}

} // namespace

TEST(QRToolRender, StandardOutputHoldsOnlyTheJsonOfARenderThatSucceeded) {
    testsupport::TempDir dir;
    const auto doc = dir / "doc.qrjcode";
    testsupport::writeTextFile(doc, documentWithAMaskTooComplexToDraw().dump());

    // The library's warning goes to standard error; the JSON stays JSON.
    const ToolResult run =
        tool("render --document " + doc.string() + " --size 128 --json - -o " + (dir / "a.png").string());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("Logo mask too complex to draw at this size"), std::string::npos) << run.err;
    const auto printed = nlohmann::json::parse(run.out, nullptr, false);
    EXPECT_TRUE(printed.is_object() && printed.value("text", "") == "hi") << run.out;
    EXPECT_EQ(scanned(dir / "a.png"), "hi");

    // A render refused after the document loaded prints nothing at all on
    // standard output, nor does the tool run without a command.
    for (const std::string& args : {
             "render --document " + doc.string() + " --size 16384 --dpi 1 --json - -o " + (dir / "x.pdf").string(),
             "render --document " + doc.string() + " --json - -o " + (dir / "missing" / "x.png").string(),
             "render --document " + doc.string() + " --dpi 1.5 --json - -o " + (dir / "x.jpg").string(),
             std::string(),
         }) {
        const ToolResult refused = tool(args);
        EXPECT_EQ(refused.status, 1) << args;
        EXPECT_TRUE(refused.out.empty()) << args;
        EXPECT_FALSE(refused.err.empty()) << args;
    }
    EXPECT_EQ(entries(dir.path()), 2u); // the document and a.png
}

namespace {

// The density of a JPEG's JFIF header: its unit (1: dots per inch) and the
// horizontal and vertical values.
std::array<int, 3> jfifDensity(const std::filesystem::path& file) {
    const auto bytes = testsupport::readFile(file);
    const std::string text(bytes.begin(), bytes.end());
    const auto at = text.find(std::string("JFIF\0", 5));
    if (at == std::string::npos || at + 12 > bytes.size()) return {-1, -1, -1};
    const auto u16 = [&](std::size_t i) { return bytes[i] << 8 | bytes[i + 1]; };
    return {bytes[at + 7], u16(at + 8), u16(at + 10)};
}

// The horizontal pixels per metre of a PNG's pHYs chunk.
long pngPixelsPerMetre(const std::filesystem::path& file) {
    const auto bytes = testsupport::readFile(file);
    const std::string text(bytes.begin(), bytes.end());
    const auto at = text.find("pHYs");
    if (at == std::string::npos || at + 8 > bytes.size()) return -1;
    return long(bytes[at + 4]) << 24 | long(bytes[at + 5]) << 16 | long(bytes[at + 6]) << 8 | long(bytes[at + 7]);
}

} // namespace

// A JPEG holds whole dots per inch from 1 to 65535 and a PNG whole pixels
// per metre: a resolution they cannot hold within a percent is refused in
// one line that says what would do, where the encoder would round or clamp
// it in silence.
TEST(QRToolRender, AJpegOrPngRecordsItsResolutionWithinAPercentOrIsRefused) {
    testsupport::TempDir dir;
    const auto jpg = dir / "a.jpg", png = dir / "a.png", tiff = dir / "a.tiff";
    struct Refused {
        const char* dpi;
        std::filesystem::path out;
        const char* fits; // in the message, or empty
    };
    for (const Refused& c :
         {Refused{"70000", jpg, "use --dpi 65535 or less"}, Refused{"66200", jpg, "use --dpi 65535 or less"},
          Refused{"1.5", jpg, "use --dpi 1 or 2"}, Refused{"10.5", jpg, "use --dpi 10 or 11"}, Refused{"0.99", jpg, ""},
          Refused{"1.0033", png, "use --dpi 1.016"}}) {
        const ToolResult run = tool(std::string("render --text hi --size 64 --dpi ") + c.dpi + " -o " + c.out.string());
        EXPECT_EQ(run.status, 1) << c.dpi;
        EXPECT_EQ(lines(run.err), 1u) << run.err;
        EXPECT_NE(run.err.find(c.fits), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty());
        EXPECT_EQ(entries(dir.path()), 0u) << c.dpi; // no file, no temporary
    }

    // What a JPEG can hold within a percent is recorded as the nearest whole
    // number it holds (65535 for up to 1% above it).
    for (const auto& [dpi, recorded] : std::vector<std::pair<std::string, int>>{{"300", 300},
                                                                                {"65535", 65535},
                                                                                {"1", 1},
                                                                                {"72.3", 72},
                                                                                {"50.4", 50},
                                                                                {"65535.4", 65535},
                                                                                {"65536", 65535},
                                                                                {"66190", 65535}}) {
        const ToolResult run = tool("render --text hi --size 64 --dpi " + dpi + " -o " + jpg.string());
        ASSERT_EQ(run.status, 0) << dpi << ": " << run.err;
        EXPECT_EQ(jfifDensity(jpg), (std::array<int, 3>{1, recorded, recorded})) << dpi;
    }
    // Other formats and resolutions as before.
    ASSERT_EQ(tool("render --text hi --size 64 --dpi 1 -o " + png.string()).status, 0);
    EXPECT_EQ(pngPixelsPerMetre(png), 39); // 0.9906 dpi
    ASSERT_EQ(tool("render --text hi --size 64 --dpi 70000 -o " + png.string()).status, 0);
    EXPECT_EQ(pngPixelsPerMetre(png), 2755906);
    ASSERT_EQ(tool("render --text hi --size 64 --dpi 70000 -o " + tiff.string()).status, 0);
    std::string out;
    ASSERT_EQ(shell("identify -units PixelsPerInch -format '%x' " + tiff.string(), &out), 0) << out;
    EXPECT_EQ(out, "70000");
}

namespace {

// The PDF's page drawn by pdftoppm, `pixels` a side.
gfx::ImagePtr pdfPage(const std::filesystem::path& pdf, int pixels) {
    const auto png = pdf.parent_path() / (pdf.stem().string() + "-page");
    std::string out;
    EXPECT_EQ(shell("pdftoppm -png -singlefile -scale-to " + std::to_string(pixels) + " '" + pdf.string() + "' '" +
                        png.string() + "'",
                    &out),
              0)
        << out;
    return ImageReadWrite::loadFile(png.string() + ".png");
}

// The mean difference of two pictures of one size over white, in levels of
// the colour components.
double meanDifference(const gfx::Image& a, const gfx::Image& b) {
    EXPECT_EQ(a.width(), b.width());
    EXPECT_EQ(a.height(), b.height());
    if (a.width() != b.width() || a.height() != b.height()) return 255;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const auto p = a.premultipliedPixel(x, y), q = b.premultipliedPixel(x, y);
            sum += std::abs((p.r + 255 - p.a) - (q.r + 255 - q.a)) + std::abs((p.g + 255 - p.a) - (q.g + 255 - q.a)) +
                   std::abs((p.b + 255 - p.a) - (q.b + 255 - q.a));
        }
    }
    return sum / (3.0 * a.width() * a.height());
}

nlohmann::json fill(const std::string& type, const nlohmann::json& settings) {
    return {{"type", type}, {"settings", settings}};
}

nlohmann::json shadow(double offset, double blur, int type) {
    return {{"offset-width", offset},
            {"offset-height", -offset},
            {"blur", blur},
            {"type", type},
            {"color", "0.0,0.6,0.0,1.0"}};
}

} // namespace

// Drop and inner shadows of gradient and image fills and the inner shadow
// of a solid fill are drawn through a picture: on a page of 16,384 points,
// or of 1000 pixels at 7 dpi (10,286 points), it is coarser than on a
// 1000-point page and the same shadow scaled up. (Sharp shadow edges land
// on the page's pixels a little differently at every page size: a fourth
// of what the shadow itself changes leaves room for that, not for a
// missing or misplaced shadow.)
TEST(QRToolRender, ShadowsDrawnThroughPicturesShowOnPdfPagesOfEverySize) {
    testsupport::TempDir dir;
    auto red = std::make_shared<gfx::Image>(2, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) red->setPixel(x, y, {220, 0, 0, 255});
    const auto png = ImageReadWrite::ImageRepresentation(red).png(ImageReadWrite::Scale{1});
    const nlohmann::json image = fill("image", {{"imagePNGbase64", foundation::base64Encode(png)}});
    const nlohmann::json gradient =
        fill("lineargradient",
             {{"startX", 0}, {"startY", 0}, {"endX", 1}, {"endY", 1}, {"gradient", "0:1,0,0,1|1:1,0.8,0,1"}});
    const nlohmann::json solid = fill("solid", {{"color", "0.9,0.0,0.0,1.0"}});
    struct Case {
        const char* name;
        nlohmann::json onPixels;
        int type; // 0 drop, 1 inner
    };
    for (const Case& c : {Case{"gradient-drop", gradient, 0}, Case{"gradient-inner", gradient, 1},
                          Case{"image-drop", image, 0}, Case{"image-inner", image, 1}, Case{"solid-inner", solid, 1}}) {
        nlohmann::json document = {{"text", "https://example.com"},
                                   {"design", {{"style", {{"onPixels", c.onPixels}}}}}};
        testsupport::writeTextFile(dir / "plain.qrjcode", document.dump());
        document["design"]["style"]["shadow"] = shadow(0.35, 0, c.type);
        testsupport::writeTextFile(dir / "shadow.qrjcode", document.dump());
        const auto render = [&](const std::string& doc, const std::string& options, const std::string& name) {
            const auto pdf = dir / (name + ".pdf");
            const ToolResult run =
                tool("render --document " + (dir / doc).string() + " " + options + " -o " + pdf.string());
            EXPECT_EQ(run.status, 0) << c.name << " " << options << ": " << run.err;
            EXPECT_TRUE(run.err.empty()) << c.name << " " << options << ": " << run.err;
            return pdfPage(pdf, 500);
        };
        const auto plain = render("plain.qrjcode", "--size 1000", "plain");
        const auto small = render("shadow.qrjcode", "--size 1000", "small");
        const double shadowAlone = meanDifference(*small, *plain);
        EXPECT_GT(shadowAlone, 8) << c.name;
        for (const std::string options : {"--size 16384", "--size 1000 --dpi 7"}) {
            const auto large = render("shadow.qrjcode", options, "large");
            EXPECT_LT(meanDifference(*large, *small), shadowAlone / 4) << c.name << " " << options;
        }
    }
}

// Numbers near the ends of a double in every place of a document that
// carries geometry into a PDF: a strict reader takes every PDF made, and it
// shows what the bitmap of the same document shows.
TEST(QRToolRender, PdfsOfDocumentsWithFarGeometryPassAStrictReaderAndShowWhatTheBitmapShows) {
    testsupport::TempDir dir;
    const std::string logoImage = foundation::base64Encode(testsupport::bilevelPNG(8, 8));
    const std::string ramp = "0:0,0.7,0,1|0.5:0,0,1,1|1:1,0,0,1";
    const auto mask = [](double far) {
        const std::string text = nlohmann::json::array({{{"type", 0}, {"points", {{0.4, 0.4}}}},
                                                        {{"type", 1}, {"points", {{far, 0.4}}}},
                                                        {{"type", 1}, {"points", {{far, far}}}},
                                                        {{"type", 1}, {"points", {{0.4, 0.6}}}},
                                                        {{"type", 4}}})
                                     .dump();
        return foundation::base64Encode(std::vector<std::uint8_t>(text.begin(), text.end()));
    };
    const auto withStyle = [&](const nlohmann::json& style) {
        return nlohmann::json{{"text", "hi"}, {"design", {{"style", style}}}};
    };
    const nlohmann::json linear =
        fill("lineargradient", {{"startX", 0}, {"startY", 0}, {"endX", 1}, {"endY", 1}, {"gradient", ramp}});
    for (const double far : {1e9, 1e18, 1e25, 1e300, -1e18, 1e-300}) {
        const std::vector<std::pair<std::string, nlohmann::json>> documents = {
            {"logo mask",
             {{"text", "hi"},
              {"correction", "H"},
              {"logoTemplate", {{"image", logoImage}, {"relativeMaskPath", mask(far)}}}}},
            {"logo inset",
             {{"text", "hi"},
              {"correction", "H"},
              {"logoTemplate", {{"image", logoImage}, {"relativeMaskPath", mask(0.6)}, {"inset", -far}}}}},
            {"linear gradient",
             withStyle({{"onPixels",
                         fill("lineargradient",
                              {{"startX", far}, {"startY", 0}, {"endX", 1}, {"endY", -far}, {"gradient", ramp}})}})},
            {"radial gradient",
             withStyle(
                 {{"onPixels", fill("radialgradient", {{"centerX", far}, {"centerY", 0.5}, {"gradient", ramp}})}})},
            {"drop shadow", withStyle({{"onPixels", linear}, {"shadow", shadow(far, far, 0)}})},
            {"inner shadow", withStyle({{"onPixels", linear}, {"shadow", shadow(far, far, 1)}})},
        };
        for (const auto& [place, document] : documents) {
            const std::string what = place + " at " + nlohmann::json(far).dump();
            testsupport::writeTextFile(dir / "doc.qrjcode", document.dump());
            const auto pdf = dir / "far.pdf", png = dir / "far.png";
            for (const auto& out : {pdf, png}) {
                const ToolResult run =
                    tool("render --document " + (dir / "doc.qrjcode").string() + " --size 128 -o " + out.string());
                ASSERT_EQ(run.status, 0) << what << ": " << run.err;
            }
            std::string out;
            EXPECT_EQ(shell("qpdf --check " + pdf.string(), &out), 0) << what << ": " << out;
            // (Up to a few levels apart along the edges; a shadow without
            // offset or blur is all edges.)
            EXPECT_LT(meanDifference(*pdfPage(pdf, 128), *ImageReadWrite::loadFile(png)), 12) << what;
        }
    }
}
