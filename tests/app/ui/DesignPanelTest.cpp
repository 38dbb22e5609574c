// The design panel inside the real main window, driven as a user drives it:
// what it shows, what ends up stored and what reaches the preview; the reset
// of the bottom bar, the Settings window, and logo files (real files in a
// temporary folder, decoded off the main thread; failures say why and keep
// the logo in place).
#include "tests/app/ui/UiTestSupport.h"

#include "app/core/ColorText.h"
#include "app/core/MainWindowState.h"
#include "app/core/Presets.h"
#include "app/ui/CollapsibleGroup.h"
#include "app/ui/ColorInput.h"
#include "app/ui/DesignPanel.h"
#include "app/ui/SettingsWindow.h"
#include "app/ui/ShapeSelector.h"
#include "app/ui/SwitchToggle.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSemaphore>
#include <QSignalSpy>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QThreadPool>
#include <QToolButton>
#include <QWheelEvent>

#include <atomic>
#include <filesystem>

using namespace Tessivo;
using namespace Tessivo::ui;

namespace {

struct Panel : FreshSettings {
    testsupport::TempDir dir;
    std::unique_ptr<MainWindow> window;
    DesignPanel* panel = nullptr;

    void make() {
        window = std::make_unique<MainWindow>();
        window->state().fields.qrText = "https://example.org/tessivo";
        window->show();
        panel = qobject_cast<DesignPanel*>(window->designPanel());
        ASSERT_NE(panel, nullptr);
        settle();
    }
    void settle() { ::settle(*window); }
    gfx::ImagePtr preview() const { return window->preview().codeImage(); }
    QString path(const char* name) const { return QString::fromStdString((dir / name).string()); }
    void openAllGroups() {
        for (auto* group : panel->groups())
            if (!group->isExpanded()) QTest::mouseClick(group->header(), Qt::LeftButton);
        pumpEvents();
    }
    // Whether the widget is shown within the panel (all its parents visible).
    bool shown(const QWidget* widget) const { return widget->isVisibleTo(panel); }
    // Loads a logo file and waits for the outcome on the main thread.
    void load(const QString& file) {
        panel->loadLogo(file);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !panel->isLoadingLogo(); }, 10000));
        pumpEvents();
    }
};

// Darkest pixel count: how much of a thumbnail is drawn.
int inkedPixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 128) ++count;
    return count;
}

} // namespace

TEST_F(Panel, ShapeThumbnailsStoreTheirIndexAndTheOutlineFollowsTheKey) {
    Keys::expandedEyeShape().set(true);
    Keys::expandedPupilShape().set(true);
    Keys::expandedPixelShape().set(true);
    make();
    // One thumbnail per offered shape, in the list's order.
    const ShapeLists& shapes = window->state().shapes;
    ASSERT_EQ(panel->eyeGrid()->selectors().size(), shapes.eyeShapes.size());
    ASSERT_EQ(panel->pupilGrid()->selectors().size(), shapes.pupilShapes.size());
    ASSERT_EQ(panel->pixelGrid()->selectors().size(), shapes.pixelShapes.size());
    EXPECT_EQ(panel->pixelGrid()->selectors()[6]->accessibleName().toStdString(), shapes.pixelShapes[6]->title());

    // Every thumbnail shows a drawn shape, and different shapes look different.
    for (auto* grid : {panel->eyeGrid(), panel->pupilGrid(), panel->pixelGrid()}) {
        for (auto* selector : grid->selectors())
            EXPECT_GT(inkedPixels(selector->thumbnail()), 20) << selector->objectName().toStdString();
        EXPECT_NE(grid->selectors()[0]->thumbnail(), grid->selectors()[1]->thumbnail());
    }

    QTest::mouseClick(panel->pixelGrid()->selectors()[6], Qt::LeftButton);
    EXPECT_EQ(Keys::pixelShapeIdx().get(), 6);
    pumpEvents();
    EXPECT_EQ(panel->pixelGrid()->shownIndex(), 6);

    // Changed from elsewhere: exactly that thumbnail is outlined; none when
    // the value lies outside the list.
    auto outlined = [&] {
        std::vector<int> found;
        for (auto* selector : panel->eyeGrid()->selectors())
            if (selector->grab().toImage().pixelColor(1, 17) == panel->palette().color(QPalette::Highlight))
                found.push_back(selector->idx());
        return found;
    };
    store(Keys::eyeShapeIdx(), 9);
    EXPECT_EQ(outlined(), std::vector<int>{9});
    store(Keys::eyeShapeIdx(), 40);
    EXPECT_TRUE(outlined().empty());
    EXPECT_EQ(Keys::eyeShapeIdx().get(), 40); // shown, never corrected behind the user's back

    // Thumbnails are drawn once per text colour, not per repaint; a new
    // colour (theme change) draws them once in that colour.
    ShapeThumbnails& thumbnails = panel->pixelGrid()->thumbnails();
    EXPECT_EQ(thumbnails.drawnSets(), 1);
    panel->pixelGrid()->hide();
    panel->pixelGrid()->show();
    (void)panel->grab();
    EXPECT_EQ(thumbnails.drawnSets(), 1);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::WindowText, QColor(200, 30, 30));
    panel->setPalette(palette);
    pumpEvents();
    EXPECT_EQ(thumbnails.drawnSets(), 2);
    const QImage red = panel->pixelGrid()->selectors()[0]->thumbnail();
    EXPECT_EQ(red.pixelColor(red.width() / 10, red.height() / 10), QColor(200, 30, 30)); // a corner module
    panel->setPalette(QPalette());
    pumpEvents();
    EXPECT_EQ(thumbnails.drawnSets(), 2); // the first colour's set was kept
}

TEST_F(Panel, MatchingPupilFollowsTheEyeAfterAWholeChange) {
    Keys::eyeShapeIdx().set(12);
    Keys::pupilShapeIdx().set(7);
    Keys::expandedEyeShape().set(true);
    make();
    EXPECT_EQ(Keys::pupilShapeIdx().get(), 7); // nothing runs when the panel appears

    // Switching on maps the current eye; 12 has no pupil of its own.
    QTest::mouseClick(panel->matchingPupilSwitch(), Qt::LeftButton);
    EXPECT_TRUE(Keys::matchingPupil().get());
    pumpEvents();
    EXPECT_EQ(Keys::pupilShapeIdx().get(), 0);

    click(panel->eyeGrid()->selectors()[5]);
    EXPECT_EQ(Keys::pupilShapeIdx().get(), 5);

    // A pupil chosen by hand stays, until the next eye change.
    store(Keys::pupilShapeIdx(), 14);
    EXPECT_EQ(Keys::pupilShapeIdx().get(), 14);

    // A preset that changes the eye ends with the eye's pupil, not its own;
    // one that keeps the eye keeps its pupil.
    QRPreset preset = presetFromSettings("Mine");
    preset.eyeShapeIdx = 3;
    preset.pupilShapeIdx = 9;
    applyPreset(preset);
    pumpEvents();
    EXPECT_EQ(Keys::pupilShapeIdx().get(), 3);
    applyPreset(preset);
    pumpEvents();
    EXPECT_EQ(Keys::pupilShapeIdx().get(), 9);

    // Switched off: the pupil stays where it is and eyes no longer move it.
    click(panel->matchingPupilSwitch());
    EXPECT_EQ(Keys::pupilShapeIdx().get(), 9);
    click(panel->eyeGrid()->selectors()[12]);
    EXPECT_EQ(Keys::pupilShapeIdx().get(), 9);
}

TEST_F(Panel, ColourDialogAndHexFieldStoreWhatTheUserChoosesAndRestoreOnBadInput) {
    Keys::layoutMode().set(0);
    make();
    ColorPickerField* picker = panel->basicBackgroundColorInput()->pickerField();
    QTest::mouseClick(picker->button(), Qt::LeftButton);
    QColorDialog* dialog = picker->dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->testOption(QColorDialog::ShowAlphaChannel));
    // Stored while choosing, opacity included; Cancel puts back the start.
    dialog->setCurrentColor(QColor(255, 128, 0, 128));
    EXPECT_EQ(colorToHex(Keys::backgroundColor().get()), "#FF8000");
    EXPECT_NEAR(Keys::backgroundColor().get().components.back(), 128 / 255.0, 1e-6);
    pumpEvents();
    EXPECT_EQ(picker->swatch()->color(), QColor(255, 128, 0, 128));
    dialog->reject();
    pumpEvents();
    EXPECT_EQ(Keys::backgroundColor().get(), Color::sRGB(1, 1, 1));
    QTest::mouseClick(picker->button(), Qt::LeftButton);
    ASSERT_NE(picker->dialog(), nullptr);
    picker->dialog()->setCurrentColor(QColor(10, 20, 30));
    picker->dialog()->accept();
    pumpEvents();
    EXPECT_EQ(colorToHex(Keys::backgroundColor().get()), "#0A141E");

    Keys::fgUnifiedColor().set(Color::sRGB(0, 0, 1, 0.5));
    store(Keys::useHexColorInput(), true);
    ColorInput* input = panel->foregroundColorInput();
    ASSERT_TRUE(input->showsHexField());
    QLineEdit* edit = input->hexField()->lineEdit();
    EXPECT_EQ(edit->text(), "#0000FF");
    EXPECT_EQ(edit->placeholderText(), "#RRGGBB");
    // Typing alone changes nothing; Return stores the colour, opaque.
    edit->clear();
    QTest::keyClicks(edit, "1a1a1a");
    EXPECT_EQ(Keys::fgUnifiedColor().get(), Color::sRGB(0, 0, 1, 0.5));
    QTest::keyClick(edit, Qt::Key_Return);
    const Color typed = Color::sRGB(26 / 255.0, 26 / 255.0, 26 / 255.0);
    EXPECT_EQ(Keys::fgUnifiedColor().get(), typed);
    EXPECT_EQ(edit->text(), "#1A1A1A");
    for (const char* bad : {"#12345", "xyz", "#1A1A1A80"}) {
        edit->setText(bad);
        QTest::keyClick(edit, Qt::Key_Return);
        EXPECT_EQ(edit->text(), "#1A1A1A") << bad;
        EXPECT_EQ(Keys::fgUnifiedColor().get(), typed) << bad;
    }
    // Typed but not submitted: kept while the colour set elsewhere has the
    // same text, replaced by any other colour's text.
    edit->setText("#ff0000");
    store(Keys::fgUnifiedColor(), Color::sRGB(1, 0, 0));
    EXPECT_EQ(edit->text(), "#ff0000");
    store(Keys::fgUnifiedColor(), Color::sRGB(0, 1, 0));
    EXPECT_EQ(edit->text(), "#00FF00");
    EXPECT_EQ(input->hexField()->swatch()->color(), QColor(0, 255, 0));
}

TEST_F(Panel, SlidersWriteOnlyWhenMovedAndPickersShowWhatIsStored) {
    Keys::backgroundPadding().set(3.14159f);
    Keys::backgroundRadius().set(57.0f); // out of range, hand-edited
    Keys::errorCorrection().set(7);
    Keys::expandedBackground().set(true);
    Keys::expandedAdvanced().set(true);
    make();
    pumpEvents();
    // Shown, rounded to the slider's steps, but never written back.
    EXPECT_EQ(panel->paddingSlider()->slider()->value(), 314);
    EXPECT_EQ(panel->radiusSlider()->slider()->value(), 2000);
    EXPECT_FLOAT_EQ(Keys::backgroundPadding().get(), 3.14159f);
    EXPECT_FLOAT_EQ(Keys::backgroundRadius().get(), 57.0f);
    EXPECT_EQ(panel->errorCorrectionPicker()->currentText(), "High (~30%)");
    EXPECT_EQ(Keys::errorCorrection().get(), 7);

    // The user's moves are stored at once, ends included.
    QSlider* slider = panel->paddingSlider()->slider();
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_End);
    EXPECT_FLOAT_EQ(Keys::backgroundPadding().get(), 20.0f);
    QTest::keyClick(slider, Qt::Key_Home);
    EXPECT_FLOAT_EQ(Keys::backgroundPadding().get(), 0.0f);
    QTest::keyClick(slider, Qt::Key_PageUp);
    EXPECT_FLOAT_EQ(Keys::backgroundPadding().get(), 1.0f);

    // A wheel turned over a picker or slider only scrolls the panel, until
    // the user has clicked into the control.
    QComboBox* picker = panel->errorCorrectionPicker();
    auto turnWheel = [](QWidget* widget) {
        QWheelEvent wheel(QPointF(5, 5), widget->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(widget, &wheel);
    };
    slider->clearFocus();
    turnWheel(slider);
    turnWheel(picker);
    EXPECT_FLOAT_EQ(Keys::backgroundPadding().get(), 1.0f);
    EXPECT_EQ(Keys::errorCorrection().get(), 7);
    slider->setFocus();
    turnWheel(slider);
    EXPECT_NE(Keys::backgroundPadding().get(), 1.0f);

    ASSERT_EQ(picker->count(), 4);
    picker->setFocus();
    QTest::keyClick(picker, Qt::Key_Home);
    EXPECT_EQ(Keys::errorCorrection().get(), 0);
    EXPECT_EQ(picker->currentText(), "Low (~7%)");
}

TEST_F(Panel, ResetAsksFirstThenLeavesOnlyMessageTypeAndPresets) {
    Keys::layoutMode().set(0);
    make();
    // Every key holds a value of its own: a preset's twelve and the rest.
    applyPreset(builtInPresets()[4]);
    for (auto* key : {&Keys::showHints(), &Keys::expandedEyeShape(), &Keys::expandedPupilShape(),
                      &Keys::expandedPixelShape(), &Keys::expandedBackground(), &Keys::expandedLogo(),
                      &Keys::expandedAdvanced(), &Keys::matchingPupil(), &Keys::useHexColorInput()})
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

// The Settings window's choices and the panel's groups, rows, hints and
// controls: what the panel shows and what reaches the preview at once.
TEST_F(Panel, LayoutColoursGroupsAndHintsFollowTheSettingsAndReachThePreview) {
    Keys::fgEyeColor().set(Color::sRGB(1, 0, 0));
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

    // Advanced with per-part colours: six closed groups, each opened on its
    // own; the part rows show their stored colours, no foreground row.
    std::vector<QString> titles;
    for (auto* group : panel->groups()) {
        titles.push_back(group->header()->text());
        EXPECT_FALSE(group->content()->isVisible());
    }
    EXPECT_EQ(titles, (std::vector<QString>{"Eyes", "Pupils", "Pixels", "Background", "Logo", "Advanced"}));
    CollapsibleGroup* pixels = panel->groups()[2];
    QTest::mouseClick(pixels->header(), Qt::LeftButton);
    EXPECT_TRUE(Keys::expandedPixelShape().get());
    EXPECT_TRUE(pixels->content()->isVisible());
    EXPECT_FALSE(Keys::expandedEyeShape().get());
    store(Keys::expandedLogo(), true);
    EXPECT_TRUE(panel->groups()[4]->content()->isVisible());
    openAllGroups();
    EXPECT_FALSE(shown(panel->foregroundColorInput()) || shown(panel->basicBackgroundColorInput()));
    for (auto* input : {panel->eyeColorInput(), panel->pupilColorInput(), panel->pixelColorInput()})
        EXPECT_TRUE(shown(input));
    EXPECT_EQ(panel->eyeColorInput()->pickerField()->swatch()->color(), QColor(255, 0, 0));
    const gfx::ImagePtr redEyes = preview();

    // One colour: the foreground row on top, no part rows, black eyes.
    settings->tabs()->setCurrentIndex(1);
    clickBox(colors->unifiedColorToggle());
    EXPECT_TRUE(Keys::unifiedColor().get());
    settle();
    EXPECT_TRUE(shown(panel->foregroundColorInput()));
    for (auto* input : {panel->eyeColorInput(), panel->pupilColorInput(), panel->pixelColorInput()})
        EXPECT_FALSE(shown(input));
    EXPECT_FALSE(samePixels(redEyes, preview()));
    const gfx::ImagePtr plain = preview();

    // Basic: the two colour rows and nothing else; the unified toggle greys
    // out but shows its value, and the caption says why.
    settings->tabs()->setCurrentIndex(0);
    clickBox(general->basicChoice());
    EXPECT_EQ(Keys::layoutMode().get(), 0);
    settle();
    EXPECT_TRUE(shown(panel->foregroundColorInput()) && shown(panel->basicBackgroundColorInput()));
    for (auto* group : panel->groups()) EXPECT_FALSE(shown(group));
    EXPECT_TRUE(samePixels(plain, preview()));
    EXPECT_FALSE(colors->unifiedColorToggle()->isEnabled());
    EXPECT_TRUE(colors->unifiedColorToggle()->isChecked());
    EXPECT_TRUE(colors->unifiedCaption()->text().startsWith("Basic layout always uses a single foreground color."));
    store(Keys::unifiedColor(), false); // whatever "unified color" holds
    settle();
    EXPECT_TRUE(shown(panel->foregroundColorInput()) && !shown(panel->eyeColorInput()));
    EXPECT_TRUE(samePixels(plain, preview()));

    // A hand-edited 2 is Advanced everywhere (with the part colours again),
    // and showing it writes nothing.
    Keys::layoutMode().set(2);
    settle();
    EXPECT_TRUE(general->advancedChoice()->isChecked());
    EXPECT_TRUE(colors->unifiedColorToggle()->isEnabled());
    EXPECT_TRUE(panel->groups()[0]->isVisibleTo(panel));
    EXPECT_EQ(Keys::layoutMode().get(), 2);
    EXPECT_TRUE(samePixels(redEyes, preview()));
    settings->tabs()->setCurrentIndex(1);
    clickBox(colors->hexInputToggle());
    EXPECT_TRUE(Keys::useHexColorInput().get());
    pumpEvents();
    EXPECT_TRUE(panel->eyeColorInput()->showsHexField());
    EXPECT_TRUE(panel->backgroundColorInput()->showsHexField());

    // A pixel colour typed in hex and a pixel shape clicked in the panel.
    QLineEdit* pixelHex = panel->pixelColorInput()->hexField()->lineEdit();
    pixelHex->setText("#C01C28");
    QTest::keyClick(pixelHex, Qt::Key_Return);
    settle();
    bool red = false; // some module of the preview is now that red
    for (int y = 0; y < preview()->height() && !red; y += 3)
        for (int x = 0; x < preview()->width() && !red; x += 3)
            red = preview()->pixel(x, y) == gfx::Pixel{0xC0, 0x1C, 0x28, 255};
    EXPECT_TRUE(red);
    const gfx::ImagePtr squares = preview();
    QTest::mouseClick(panel->pixelGrid()->selectors()[1], Qt::LeftButton); // circles
    EXPECT_EQ(Keys::pixelShapeIdx().get(), 1);
    settle();
    EXPECT_FALSE(samePixels(squares, preview()));

    // Hints: shown above the controls, which move down to make room.
    for (auto* hint : panel->hints()) EXPECT_FALSE(hint->isVisible());
    const int gridTopWithout = panel->pixelGrid()->mapTo(pixels, QPoint()).y();
    store(Keys::showHints(), true);
    ASSERT_EQ(panel->hints().size(), 6u);
    for (auto* hint : panel->hints()) EXPECT_TRUE(hint->isVisible());
    EXPECT_TRUE(panel->hints()[0]->text().startsWith("\"Eyes\" are the forms at the 3 corners"));
    EXPECT_GT(panel->pixelGrid()->mapTo(pixels, QPoint()).y(), gridTopWithout);
}

TEST_F(Panel, ARealPictureBecomesTheLogoInThePanelAndThePreview) {
    Keys::expandedLogo().set(true);
    make();
    // Off at first: the options are disabled but keep their values.
    EXPECT_FALSE(panel->logo().active);
    EXPECT_TRUE(panel->logo().maintainAspectRatio);
    EXPECT_EQ(panel->logo().position, 0);
    EXPECT_FALSE(panel->maintainAspectRatioToggle()->isEnabled());
    EXPECT_FALSE(panel->logoPositionPicker()->isEnabled());
    EXPECT_FALSE(panel->selectImageButton()->isEnabled());
    EXPECT_FALSE(panel->logoThumbnail()->isVisible()); // no image yet

    QSignalSpy changes(panel, &DesignPanel::logoChanged);
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
    settle();
    EXPECT_EQ(preview()->pixel(512, 512), (gfx::Pixel{200, 20, 20, 255}));

    // Later renderings reuse the fitted logo yet draw what a fresh build
    // draws; another position fits the picture again.
    Keys::backgroundPadding().set(2);
    settle();
    EXPECT_TRUE(samePixels(preview(), window->state().makeQRImage()));
    panel->logoPositionPicker()->setCurrentIndex(1);
    clickBox(panel->maintainAspectRatioToggle());
    EXPECT_EQ(panel->logo().position, 1);
    EXPECT_FALSE(panel->logo().maintainAspectRatio);
    settle();
    EXPECT_NE(preview()->pixel(512, 512), (gfx::Pixel{200, 20, 20, 255}));
    EXPECT_TRUE(samePixels(preview(), window->state().makeQRImage()));

    // Switched off: the image stays in the panel but leaves the preview.
    const gfx::ImagePtr withLogo = preview();
    clickBox(panel->useLogoToggle());
    EXPECT_FALSE(panel->logo().active);
    EXPECT_NE(panel->logo().image, nullptr);
    EXPECT_FALSE(panel->logoThumbnail()->isEnabled());
    EXPECT_EQ(panel->logo().position, 1);
    settle();
    EXPECT_FALSE(samePixels(withLogo, preview()));

    // The logo is no setting: nothing was stored for it.
    EXPECT_EQ(storedNames(), (std::set<std::string>{"background padding", "expanded logo settings"}));
}

// The chooser takes what a document keeps of a logo, each side at most 4096
// pixels: a picture past that on either side is refused as other
// too-large pictures are, the current logo staying.
TEST_F(Panel, LogoPicturesAreTakenUpToWhatADocumentKeeps) {
    Keys::expandedLogo().set(true);
    make();
    clickBox(panel->useLogoToggle());
    struct Case {
        const char* name;
        std::uint32_t width, height;
        bool taken;
    };
    for (const Case& c :
         {Case{"wide.png", 4097, 10, false}, Case{"tall.png", 10, 4097, false}, Case{"long.png", 16384, 1, false},
          Case{"square.png", 4096, 4096, true}, Case{"edge.png", 4096, 1, true}, Case{"past.png", 4097, 4097, false}}) {
        const gfx::ImagePtr before = panel->logo().image;
        testsupport::writeFile(dir / c.name, testsupport::bilevelPNG(c.width, c.height));
        load(path(c.name));
        if (c.taken) {
            EXPECT_TRUE(panel->logoMessage().isEmpty()) << c.name << ": " << panel->logoMessage().toStdString();
            ASSERT_NE(panel->logo().image, nullptr) << c.name;
            EXPECT_EQ(panel->logo().image->width(), int(c.width)) << c.name;
            EXPECT_EQ(panel->logo().image->height(), int(c.height)) << c.name;
        } else {
            EXPECT_EQ(panel->logo().image, before) << c.name;
            const std::string message = panel->logoMessage().toStdString();
            EXPECT_NE(message.find("too large"), std::string::npos) << c.name << ": " << message;
            EXPECT_NE(message.find(std::to_string(c.width) + " \u00D7 " + std::to_string(c.height)), std::string::npos)
                << c.name << ": " << message;
            EXPECT_NE(message.find("4096 \u00D7 4096"), std::string::npos) << message;
        }
    }
}

// Choosing a file that is no picture is a wrong choice in the open panel:
// it is not taken, and nothing on screen changes. A picture above the pixel
// limit is one the user meant to use, so that refusal says why.
TEST_F(Panel, FilesThatAreNoPictureChangeNothingAndATooLargeOneSaysWhy) {
    Keys::expandedLogo().set(true);
    make();
    clickBox(panel->useLogoToggle());
    QImage picture(16, 16, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    ASSERT_TRUE(picture.save(path("first.png")));
    load(path("first.png"));
    const gfx::ImagePtr first = panel->logo().image;
    ASSERT_NE(first, nullptr);
    settle();
    QWidget* logoGroup = panel->logoThumbnail()->parentWidget();
    const gfx::ImagePtr previewBefore = preview();
    const QImage groupBefore = logoGroup->grab().toImage();
    const QWidgetList windowsBefore = QApplication::topLevelWidgets();

    QSignalSpy changes(panel, &DesignPanel::logoChanged);
    testsupport::writeTextFile(dir / "notes.png", "just some text, not a picture\n");
    // A PNG cut short after its header.
    testsupport::writeTextFile(dir / "cut.png", testsupport::readTextFile(dir / "first.png").substr(0, 40));
    std::filesystem::create_directory(dir / "folder.png");
    for (const char* name : {"notes.png", "cut.png", "folder.png", "gone.png" /* chosen, then removed */}) {
        SCOPED_TRACE(name);
        load(path(name));
        settle();
        EXPECT_EQ(panel->logo().image, first);
        EXPECT_TRUE(panel->logoMessage().isEmpty()) << panel->logoMessage().toStdString();
        EXPECT_EQ(logoGroup->grab().toImage(), groupBefore); // no message, nothing moved
        EXPECT_TRUE(samePixels(preview(), previewBefore));
        EXPECT_EQ(QApplication::topLevelWidgets(), windowsBefore); // no alert either
    }
    EXPECT_EQ(changes.count(), 0);

    testsupport::writeFile(dir / "huge.png", testsupport::bilevelPNG(40000, 40000, false));
    load(path("huge.png"));
    EXPECT_EQ(panel->logo().image, first);
    EXPECT_TRUE(panel->logoMessage().contains("too large")) << panel->logoMessage().toStdString();
    EXPECT_TRUE(panel->logoMessage().contains("40000")) << panel->logoMessage().toStdString();
    const QString tooLarge = panel->logoMessage();
    load(path("notes.png")); // changes nothing, the last message included
    EXPECT_EQ(panel->logoMessage(), tooLarge);
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

// A choice made while earlier ones are still being read (large or hostile
// pictures) is decoded and shown at once, in the panel and the preview,
// however many earlier decodes still run; their results, when they come,
// are dropped.
TEST_F(Panel, TheLastChoiceIsShownWithoutWaitingForTheDecodesItSuperseded) {
    Keys::expandedLogo().set(true);
    make();
    clickBox(panel->useLogoToggle());
    // Reading slow.png is held until the test lets it go, as many times as
    // the application's pool runs tasks at once.
    const int slow = QThreadPool::globalInstance()->maxThreadCount();
    struct Gate {
        QSemaphore release;
        std::atomic<int> held = 0, ended = 0;
    };
    const auto gate = std::make_shared<Gate>();
    const auto releaseAtEnd = qScopeGuard([&] { gate->release.release(slow); });
    panel->logoLoader().setDecode([gate](const QString& file) {
        const bool isSlow = file.endsWith("slow.png");
        if (isSlow) {
            ++gate->held;
            gate->release.acquire();
        }
        LogoLoadResult result = decodeLogoFile(file);
        if (isSlow) ++gate->ended;
        return result;
    });
    QImage picture(16, 16, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(path("slow.png")));
    picture.fill(Qt::green);
    ASSERT_TRUE(picture.save(path("quick.png")));
    for (int i = 0; i < slow; ++i) panel->loadLogo(path("slow.png"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return gate->held == slow; }, 10000));

    panel->loadLogo(path("quick.png"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel->logo().image != nullptr; }, 10000));
    settle();
    EXPECT_EQ(gate->held, slow);
    EXPECT_EQ(gate->ended, 0);
    EXPECT_EQ(panel->logo().image->pixel(0, 0), (gfx::Pixel{0, 255, 0, 255}));
    EXPECT_EQ(preview()->pixel(512, 512), (gfx::Pixel{0, 255, 0, 255}));

    // The superseded decodes end without replacing it.
    gate->release.release(slow);
    ASSERT_TRUE(QTest::qWaitFor([&] { return gate->ended == slow; }, 10000));
    QTest::qWait(50);
    pumpEvents();
    EXPECT_EQ(panel->logo().image->pixel(0, 0), (gfx::Pixel{0, 255, 0, 255}));
}
