// The design panel inside the real main window: its controls reach the
// preview, the reset of the bottom bar, and the Settings menu item.
#include "tests/app/ui/UiTestSupport.h"

#include "app/core/MainWindowState.h"
#include "app/ui/CollapsibleGroup.h"
#include "app/ui/ColorInput.h"
#include "app/ui/DesignPanel.h"
#include "app/ui/SettingsWindow.h"
#include "app/ui/ShapeSelector.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

using namespace Tessivo;
using namespace Tessivo::ui;

namespace {

struct InWindow : FreshSettings {
    std::unique_ptr<MainWindow> window;
    DesignPanel* panel = nullptr;

    void make(const std::string& message = "https://example.org/tessivo") {
        window = std::make_unique<MainWindow>();
        window->state().fields.qrText = message;
        window->show();
        panel = qobject_cast<DesignPanel*>(window->designPanel());
        ASSERT_NE(panel, nullptr);
        settle();
    }
    void settle() { ::settle(*window); }
    gfx::ImagePtr preview() const { return window->preview().codeImage(); }
};

bool samePixels(const gfx::ImagePtr& a, const gfx::ImagePtr& b) {
    return a && b && a->byteCount() == b->byteCount() && std::equal(a->data(), a->data() + a->byteCount(), b->data());
}

} // namespace

TEST_F(InWindow, ShapeColourAndLogoChangesReachThePreview) {
    Keys::expandedPixelShape().set(true);
    Keys::expandedLogo().set(true);
    make();
    ASSERT_EQ(window->preview().content(), PreviewView::Content::code);
    const gfx::ImagePtr squares = preview();

    QTest::mouseClick(panel->pixelGrid()->selectors()[1], Qt::LeftButton); // circles
    EXPECT_EQ(Keys::pixelShapeIdx().get(), 1);
    settle();
    const gfx::ImagePtr circles = preview();
    EXPECT_FALSE(samePixels(squares, circles));

    Keys::useHexColorInput().set(true);
    settle();
    QLineEdit* pixelHex = panel->pixelColorInput()->hexField()->lineEdit();
    pixelHex->setText("#C01C28");
    QTest::keyClick(pixelHex, Qt::Key_Return);
    settle();
    // Some module of the preview is now that red.
    bool red = false;
    for (int y = 0; y < preview()->height() && !red; y += 3)
        for (int x = 0; x < preview()->width() && !red; x += 3)
            red = preview()->pixel(x, y) == gfx::Pixel{0xC0, 0x1C, 0x28, 255};
    EXPECT_TRUE(red);

    // A logo reaches the preview once "Use logo" is on.
    testsupport::TempDir dir;
    QImage logo(60, 30, QImage::Format_RGB32);
    logo.fill(QColor(0, 90, 200));
    const QString file = QString::fromStdString((dir / "logo.png").string());
    ASSERT_TRUE(logo.save(file));
    panel->loadLogo(file);
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel->logo().image != nullptr; }, 10000));
    settle();
    EXPECT_EQ(window->state().logo.image, panel->logo().image);
    EXPECT_FALSE(window->state().logo.active);
    const gfx::ImagePtr withoutLogo = preview();
    clickBox(panel->useLogoToggle());
    settle();
    EXPECT_TRUE(window->state().logo.active);
    EXPECT_EQ(preview()->pixel(512, 512), (gfx::Pixel{0, 90, 200, 255}));
    EXPECT_FALSE(samePixels(withoutLogo, preview()));
    // Later renderings reuse the fitted logo yet draw what a fresh build
    // draws; another position fits the picture again.
    Keys::backgroundPadding().set(2);
    settle();
    EXPECT_TRUE(samePixels(preview(), window->state().makeQRImage()));
    window->state().logo.position = 1;
    window->schedulePreview();
    settle();
    EXPECT_NE(preview()->pixel(512, 512), (gfx::Pixel{0, 90, 200, 255}));
    EXPECT_TRUE(samePixels(preview(), window->state().makeQRImage()));
}

TEST_F(InWindow, ResetAsksFirstThenLeavesOnlyMessageTypeAndPresets) {
    Keys::layoutMode().set(0);
    make();
    // Every key holds a value of its own.
    for (auto* key : {&Keys::eyeShapeIdx(), &Keys::pupilShapeIdx(), &Keys::pixelShapeIdx()}) key->set(4);
    Keys::backgroundPadding().set(2);
    Keys::backgroundRadius().set(2);
    for (auto* key : {&Keys::backgroundColor(), &Keys::fgEyeColor(), &Keys::fgPupilColor(), &Keys::fgPixelColor(),
                      &Keys::fgUnifiedColor()})
        key->set(Color::sRGB(1, 0, 0));
    for (auto* key :
         {&Keys::showHints(), &Keys::expandedEyeShape(), &Keys::expandedPupilShape(), &Keys::expandedPixelShape(),
          &Keys::expandedBackground(), &Keys::expandedLogo(), &Keys::expandedAdvanced(), &Keys::matchingPupil(),
          &Keys::unifiedColor(), &Keys::useHexColorInput()})
        key->set(true);
    Keys::errorCorrection().set(0);
    Keys::messageType().set(1); // a web address: the text field still counts
    Keys::userPresets().set({R"({"name":"Mine"})"});
    settle();
    ASSERT_EQ(storedNames().size(), 24u);
    const gfx::ImagePtr styled = preview();

    auto* reset = window->findChild<QPushButton*>("resetToDefaults");
    ASSERT_NE(reset, nullptr);
    auto press = [&](const char* text) {
        QMessageBox* box = window->resetConfirmation();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), "Are you sure?");
        EXPECT_EQ(box->informativeText(),
                  "You are going to reset all settings to their default values, so all changes will be lost!");
        for (auto* button : box->buttons())
            if (button->text() == text) QTest::mouseClick(button, Qt::LeftButton);
        settle();
    };
    QTest::mouseClick(reset, Qt::LeftButton);
    press("Cancel");
    EXPECT_EQ(storedNames().size(), 24u);

    QTest::mouseClick(reset, Qt::LeftButton);
    press("Proceed");
    EXPECT_EQ(storedNames(), (std::set<std::string>{"message type", "user presets"}));
    EXPECT_EQ(Keys::messageType().get(), 1);
    ASSERT_NE(preview(), nullptr);

    // Panel and preview show the defaults at once: Advanced, every group
    // closed, no hints, High, the square shapes in black on white.
    for (auto* group : panel->groups()) {
        EXPECT_TRUE(group->isVisibleTo(panel));
        EXPECT_FALSE(group->isExpanded());
    }
    for (auto* hint : panel->hints()) EXPECT_FALSE(hint->isVisibleTo(panel));
    for (auto* box : window->findChildren<QCheckBox*>()) EXPECT_FALSE(box->text() == "Show hints" && box->isChecked());
    EXPECT_EQ(panel->errorCorrectionPicker()->currentText(), "High (~30%)");
    EXPECT_EQ(panel->eyeGrid()->shownIndex(), 0);
    EXPECT_FALSE(panel->foregroundColorInput()->showsHexField());
    EXPECT_FALSE(samePixels(styled, preview()));
    EXPECT_EQ(preview()->pixel(0, 0), (gfx::Pixel{255, 255, 255, 255}));
}

TEST_F(InWindow, TheSettingsWindowsTabsApplyAtOnce) {
    make();
    QAction& item = window->settingsAction();
    item.trigger();
    item.trigger(); // one window, raised again
    pumpEvents();
    ASSERT_EQ(window->findChildren<SettingsView*>().size(), 1);
    SettingsView* settings = window->findChild<SettingsView*>();
    EXPECT_TRUE(settings->isVisible() && settings->isWindow());
    EXPECT_EQ(settings->tabs()->tabText(0), "General");
    EXPECT_EQ(settings->tabs()->tabText(1), "Colors");
    GeneralSettingsTab* general = settings->generalTab();
    ColorSettingsTab* colors = settings->colorTab();
    EXPECT_TRUE(general->advancedChoice()->isChecked());
    EXPECT_EQ(colors->unifiedCaption()->text(), "When off, eye/pupil/pixel colors can be set independently.");

    // Basic: the panel keeps only its colour rows, the unified toggle greys
    // out but shows its value, the caption says why, and the preview uses
    // the single (black) foreground instead of the red eyes.
    const gfx::ImagePtr plain = preview();
    Keys::fgEyeColor().set(Color::sRGB(1, 0, 0));
    Keys::unifiedColor().set(true);
    settle();
    clickBox(general->basicChoice());
    EXPECT_EQ(Keys::layoutMode().get(), 0);
    settle();
    EXPECT_FALSE(panel->groups()[0]->isVisibleTo(panel)); // the rows: see the panel's own tests
    EXPECT_TRUE(samePixels(plain, preview()));
    EXPECT_FALSE(colors->unifiedColorToggle()->isEnabled());
    EXPECT_TRUE(colors->unifiedColorToggle()->isChecked());
    EXPECT_TRUE(colors->unifiedCaption()->text().startsWith("Basic layout always uses a single foreground color."));

    // A hand-edited 2 is Advanced everywhere, and showing it writes nothing.
    Keys::layoutMode().set(2);
    settle();
    EXPECT_TRUE(general->advancedChoice()->isChecked());
    EXPECT_TRUE(colors->unifiedColorToggle()->isEnabled());
    EXPECT_TRUE(panel->groups()[0]->isVisibleTo(panel));
    EXPECT_EQ(Keys::layoutMode().get(), 2);

    settings->tabs()->setCurrentIndex(1);
    clickBox(colors->unifiedColorToggle());
    EXPECT_FALSE(Keys::unifiedColor().get());
    settle();
    EXPECT_FALSE(samePixels(plain, preview())); // the red eyes are back
    clickBox(colors->hexInputToggle());
    EXPECT_TRUE(Keys::useHexColorInput().get());
    pumpEvents();
    EXPECT_TRUE(panel->eyeColorInput()->showsHexField());
    EXPECT_TRUE(panel->backgroundColorInput()->showsHexField());
}
