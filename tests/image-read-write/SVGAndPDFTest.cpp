#include "image-read-write/ImageReadWrite.h"

#include "tests/image-read-write/ImageTestSupport.h"
#include "platform/foundation/Base64.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using namespace ImageReadWrite;

namespace {

std::string base64InLines(const Bytes& bytes) {
    const std::string flat = foundation::base64Encode(bytes);
    std::string text;
    for (std::size_t i = 0; i < flat.size(); i += 64) text += flat.substr(i, 64) + "\n";
    return text;
}

const char* kHead =
    "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" version=\"1.1\" ";

} // namespace

TEST(SVGWrapper, ExactTextForEachFillStyle) {
    const auto image = imagetest::blockImage(2, 1);
    const std::string b64 = base64InLines(imageData(*image, ImageExportType::png()));
    const std::string start = std::string(kHead) +
                              " width=\"2\" height=\"1\"  viewBox=\"0 0 2 1\"  >\n"
                              "<image width=\"2.0\" height=\"1.0\"  xlink:href=\"data:image/png;base64," +
                              b64 + "\" x=\"0\" y=\"0\" ";
    EXPECT_EQ(svgWrapper(*image, std::nullopt, SVGImageFillStyle::aspectFit, ImageExportType::png()),
              start + "  />\n</svg>");
    EXPECT_EQ(svgWrapper(*image, std::nullopt, SVGImageFillStyle::aspectFill, ImageExportType::png()),
              start + " preserveAspectRatio=\"xMidYMid slice\"  />\n</svg>");
    EXPECT_EQ(svgWrapper(*image, std::nullopt, SVGImageFillStyle::scale, ImageExportType::png()),
              start + "preserveAspectRatio=\"none\"  />\n</svg>");
    // imageData gives the same text as UTF-8 bytes.
    const Bytes bytes =
        imageData(*image, ImageExportType::svg(std::nullopt, SVGImageFillStyle::scale, ImageExportType::png()));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), start + "preserveAspectRatio=\"none\"  />\n</svg>");
}

TEST(SVGWrapper, SizesAndAnEmbeddedImageThatDecodesBack) {
    const auto image = imagetest::gradientImage(100, 100, false);
    const std::string svg =
        ImageRepresentation(image).svg(std::nullopt, SVGImageFillStyle::aspectFit, ImageExportType::png());
    EXPECT_NE(svg.find(" width=\"100\" height=\"100\" "), std::string::npos);
    EXPECT_NE(svg.find("viewBox=\"0 0 100 100\""), std::string::npos);
    EXPECT_NE(svg.find("<image width=\"100.0\" height=\"100.0\" "), std::string::npos);
    // The embedded image decodes back to the picture.
    const auto begin = svg.find("data:image/png;base64,") + 22;
    std::string body = svg.substr(begin, svg.find('"', begin) - begin);
    std::erase(body, '\n');
    const auto bytes = foundation::base64Decode(body);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(imagetest::compare(*load(*bytes), *image).max, 0);

    const std::string sized =
        svgWrapper(*image, ImageExportType::Size{100.25, 50}, SVGImageFillStyle::aspectFit, ImageExportType::gif());
    EXPECT_NE(sized.find(" width=\"100.25\" height=\"50\" "), std::string::npos);
    EXPECT_NE(sized.find("<image width=\"100.25\" height=\"50.0\" "), std::string::npos);
    EXPECT_NE(sized.find("data:image/gif;base64,"), std::string::npos);
    const std::string third = svgWrapper(*image, ImageExportType::Size{1.0 / 3, 1.0 / 3}, SVGImageFillStyle::aspectFit,
                                         ImageExportType::jpg());
    EXPECT_NE(third.find(" width=\"0.333\" height=\"0.333\" "), std::string::npos);
    EXPECT_NE(third.find("<image width=\"0.3333333333333333\" height=\"0.3333333333333333\" "), std::string::npos);
}

TEST(SVGWrapper, OnlyBitmapFormatsCanBeEmbedded) {
    const auto image = imagetest::blockImage(4, 4);
    const std::pair<ImageExportType, const char*> refused[] = {
        {ImageExportType::pdf({4, 4}), "application/pdf"},
        {ImageExportType::heic(), "image/heic"},
        {ImageExportType::svg(std::nullopt, SVGImageFillStyle::scale, ImageExportType::png()), "image/svg+xml"},
    };
    for (const auto& [type, mime] : refused) {
        const auto e = imagetest::thrown([&] { svgWrapper(*image, std::nullopt, SVGImageFillStyle::aspectFit, type); });
        EXPECT_EQ(e.code, ImageReadWriteError::unsupportedEmbeddedImageType);
        EXPECT_EQ(e.text, mime);
    }
    // Errors of the embedded encoding pass through unchanged.
    EXPECT_EQ(imagetest::thrown([&] {
                  svgWrapper(*image, std::nullopt, SVGImageFillStyle::aspectFit, ImageExportType::png(0));
              }).code,
              ImageReadWriteError::invalidDPI);
}

TEST(PDFPage, OnePageOfTheGivenSizeReproducibleAndUprightOrAClearError) {
    testsupport::TempDir dir;
    // Top half red, bottom half blue: the page must show red on top.
    auto image = std::make_shared<gfx::Image>(50, 50);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x)
            image->setPixel(x, y, y < 25 ? gfx::Pixel{255, 0, 0, 255} : gfx::Pixel{0, 0, 255, 255});
    const Bytes pdf = imageData(*image, ImageExportType::pdf({200, 100}));
    ASSERT_GT(pdf.size(), 5u);
    EXPECT_EQ(std::string(pdf.begin(), pdf.begin() + 5), "%PDF-");
    EXPECT_EQ(pdf, ImageRepresentation(image).pdf({200, 100})); // no timestamp
    EXPECT_EQ(std::string(pdf.begin(), pdf.end()).find("CreationDate"), std::string::npos);
    // One page; its size shows in the page rendered at 72 dpi.
    const auto path = dir / "page.pdf";
    testsupport::writeFile(path, pdf);
    std::string info;
    ASSERT_EQ(testsupport::runCommand("pdfinfo '" + path.string() + "'", &info), 0);
    EXPECT_NE(info.find("Pages:           1\n"), std::string::npos) << info;
    ASSERT_EQ(testsupport::runCommand("pdftoppm -png -r 72 -singlefile '" + path.string() + "' '" +
                                      (dir / "page").string() + "'"),
              0);
    const auto rendered = loadFile(dir / "page.png");
    ASSERT_EQ(rendered->width(), 200);
    ASSERT_EQ(rendered->height(), 100);
    EXPECT_EQ(rendered->pixel(100, 10), (gfx::Pixel{255, 0, 0, 255}));
    EXPECT_EQ(rendered->pixel(100, 90), (gfx::Pixel{0, 0, 255, 255}));
    EXPECT_EQ(rendered->pixel(5, 10), (gfx::Pixel{255, 0, 0, 255}));
    EXPECT_EQ(rendered->pixel(195, 90), (gfx::Pixel{0, 0, 255, 255}));

    for (const auto size :
         {ImageExportType::Size{0, 10}, ImageExportType::Size{-1, 10}, ImageExportType::Size{std::nan(""), 10}}) {
        EXPECT_EQ(imagetest::thrown([&] { imageData(*image, ImageExportType::pdf(size)); }).code,
                  ImageReadWriteError::cannotCreatePDFContext);
    }
}
