// Choosing a logo file: real files in a temporary folder, decoded off the
// main thread; failures say why and keep the logo in place.
#include "tests/app/ui/UiTestSupport.h"

#include "app/ui/DesignPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>

using namespace Tessivo;
using namespace Tessivo::ui;

namespace {

struct Logo : FreshSettings {
    testsupport::TempDir dir;
    ShapeLists shapes;
    std::unique_ptr<DesignPanel> panel;

    void SetUp() override {
        FreshSettings::SetUp();
        Keys::expandedLogo().set(true);
        panel = std::make_unique<DesignPanel>(shapes);
        panel->resize(260, 900);
        panel->show();
        pumpEvents();
    }
    QString path(const char* name) const { return QString::fromStdString((dir / name).string()); }
    // Loads and waits for the outcome on the main thread.
    void load(const QString& file) {
        panel->loadLogo(file);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !panel->isLoadingLogo(); }, 10000));
        pumpEvents();
    }
};

std::string bigEndian(std::uint32_t v) { return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; }

std::uint32_t crc32Of(const std::string& bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::string chunk(const std::string& type, const std::string& data) {
    const std::string body = type + data;
    return bigEndian(std::uint32_t(data.size())) + body + bigEndian(crc32Of(body));
}

// A well-formed PNG header for a width x height grey image, with a tiny
// data stream: the size alone is what matters.
std::string hugePNG(std::uint32_t width, std::uint32_t height) {
    const std::string ihdr = bigEndian(width) + bigEndian(height) + std::string("\x08\x00\x00\x00\x00", 5);
    return std::string("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", ihdr) +
           chunk("IDAT", std::string("\x78\x9c\x03\x00\x00\x00\x00\x01", 8)) + chunk("IEND", "");
}

} // namespace

TEST_F(Logo, ARealPictureBecomesTheLogoAndTheOptionsFollowUseLogo) {
    // Off at first: the options are disabled but keep their values.
    EXPECT_FALSE(panel->logo().active);
    EXPECT_TRUE(panel->logo().maintainAspectRatio);
    EXPECT_EQ(panel->logo().position, 0);
    EXPECT_FALSE(panel->maintainAspectRatioToggle()->isEnabled());
    EXPECT_FALSE(panel->logoPositionPicker()->isEnabled());
    EXPECT_FALSE(panel->selectImageButton()->isEnabled());
    EXPECT_FALSE(panel->logoThumbnail()->isVisible()); // no image yet

    QSignalSpy changes(panel.get(), &DesignPanel::logoChanged);
    clickBox(panel->useLogoToggle());
    EXPECT_TRUE(panel->logo().active);
    EXPECT_TRUE(panel->selectImageButton()->isEnabled());
    EXPECT_EQ(changes.count(), 1);

    QImage picture(64, 32, QImage::Format_ARGB32);
    picture.fill(QColor(200, 20, 20));
    ASSERT_TRUE(picture.save(path("logo.png")));
    load(path("logo.png"));
    ASSERT_NE(panel->logo().image, nullptr);
    EXPECT_EQ(panel->logo().image->width(), 64);
    EXPECT_EQ(panel->logo().image->height(), 32);
    EXPECT_EQ(panel->logo().image->pixel(5, 5), (gfx::Pixel{200, 20, 20, 255}));
    EXPECT_TRUE(panel->logoThumbnail()->isVisible());
    EXPECT_EQ(panel->logoThumbnail()->size(), QSize(120, 120)); // stretched, not kept in proportion
    const QImage shown = panel->logoThumbnail()->grab().toImage();
    EXPECT_EQ(shown.pixelColor(5, 5), QColor(200, 20, 20));
    EXPECT_EQ(shown.pixelColor(shown.width() - 5, shown.height() - 5), QColor(200, 20, 20));
    EXPECT_TRUE(panel->logoMessage().isEmpty());
    EXPECT_EQ(changes.count(), 2);

    panel->logoPositionPicker()->setCurrentIndex(1);
    clickBox(panel->maintainAspectRatioToggle());
    EXPECT_EQ(panel->logo().position, 1);
    EXPECT_FALSE(panel->logo().maintainAspectRatio);

    // Switched off: the image stays, and shows again when switched on.
    clickBox(panel->useLogoToggle());
    EXPECT_FALSE(panel->logo().active);
    EXPECT_NE(panel->logo().image, nullptr);
    EXPECT_FALSE(panel->logoThumbnail()->isEnabled());
    EXPECT_EQ(panel->logo().position, 1);

    // The logo is no setting: nothing was stored.
    EXPECT_EQ(storedNames(), (std::set<std::string>{"expanded logo settings"}));
}

TEST_F(Logo, BadFilesSayWhyAndKeepTheCurrentLogo) {
    clickBox(panel->useLogoToggle());
    QImage picture(16, 16, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    ASSERT_TRUE(picture.save(path("first.png")));
    load(path("first.png"));
    const gfx::ImagePtr first = panel->logo().image;
    ASSERT_NE(first, nullptr);

    QSignalSpy changes(panel.get(), &DesignPanel::logoChanged);
    testsupport::writeTextFile(dir / "notes.png", "just some text, not a picture\n");
    load(path("notes.png"));
    EXPECT_EQ(panel->logo().image, first);
    EXPECT_TRUE(panel->logoMessage().contains("\u201Cnotes.png\u201D is not an image"))
        << panel->logoMessage().toStdString();

    // A PNG cut short after its header.
    testsupport::writeTextFile(dir / "cut.png", testsupport::readTextFile(dir / "first.png").substr(0, 40));
    load(path("cut.png"));
    EXPECT_EQ(panel->logo().image, first);
    EXPECT_TRUE(panel->logoMessage().contains("cut.png")) << panel->logoMessage().toStdString();

    testsupport::writeTextFile(dir / "huge.png", hugePNG(40000, 40000));
    load(path("huge.png"));
    EXPECT_EQ(panel->logo().image, first);
    EXPECT_TRUE(panel->logoMessage().contains("too large")) << panel->logoMessage().toStdString();
    EXPECT_TRUE(panel->logoMessage().contains("40000")) << panel->logoMessage().toStdString();

    load(path("gone.png")); // chosen, then removed before it was read
    EXPECT_EQ(panel->logo().image, first);
    EXPECT_TRUE(panel->logoMessage().contains("could not be found")) << panel->logoMessage().toStdString();
    EXPECT_EQ(changes.count(), 0);

    // A good file chosen while a bad one is still being read replaces the
    // logo and clears the message: only the last choice counts.
    picture.fill(Qt::green);
    ASSERT_TRUE(picture.save(path("second.png")));
    panel->loadLogo(path("notes.png"));
    load(path("second.png"));
    QTest::qWait(50);
    pumpEvents();
    EXPECT_TRUE(panel->logoMessage().isEmpty());
    ASSERT_NE(panel->logo().image, first);
    EXPECT_EQ(panel->logo().image->pixel(0, 0), (gfx::Pixel{0, 255, 0, 255}));
    EXPECT_EQ(changes.count(), 1);
}
