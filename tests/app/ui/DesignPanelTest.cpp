// The design panel driven as a user drives it: what it shows and what ends
// up stored.
#include "tests/app/ui/UiTestSupport.h"

#include "app/core/ColorText.h"
#include "app/core/Presets.h"
#include "app/ui/CollapsibleGroup.h"
#include "app/ui/ColorInput.h"
#include "app/ui/DesignPanel.h"
#include "app/ui/ShapeSelector.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

using namespace Tessivo;
using namespace Tessivo::ui;

namespace {

struct Panel : FreshSettings {
    ShapeLists shapes;
    std::unique_ptr<DesignPanel> panel;

    void make() {
        panel = std::make_unique<DesignPanel>(shapes);
        panel->resize(260, 900);
        panel->show();
        pumpEvents();
    }
    void openAllGroups() {
        for (auto* group : panel->groups())
            if (!group->isExpanded()) QTest::mouseClick(group->header(), Qt::LeftButton);
        pumpEvents();
    }
    // Whether the widget is shown within the panel (all its parents visible).
    bool shown(const QWidget* widget) const { return widget->isVisibleTo(panel.get()); }
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

TEST_F(Panel, BasicAdvancedAndUnifiedLayoutsShowTheirRows) {
    Keys::layoutMode().set(0);
    Keys::unifiedColor().set(false);
    make();
    // Basic: the two colour rows and nothing else, whatever "unified color" holds.
    EXPECT_TRUE(shown(panel->foregroundColorInput()) && shown(panel->basicBackgroundColorInput()));
    for (auto* group : panel->groups()) EXPECT_FALSE(shown(group));

    // Advanced with one colour: the six groups, the foreground row on top,
    // no per-part rows.
    Keys::layoutMode().set(1);
    Keys::unifiedColor().set(true);
    pumpEvents();
    openAllGroups();
    std::vector<QString> titles;
    for (auto* group : panel->groups()) titles.push_back(group->header()->text());
    EXPECT_EQ(titles, (std::vector<QString>{"Eyes", "Pupils", "Pixels", "Background", "Logo", "Advanced"}));
    EXPECT_TRUE(shown(panel->foregroundColorInput()));
    EXPECT_FALSE(shown(panel->basicBackgroundColorInput()));
    for (auto* input : {panel->eyeColorInput(), panel->pupilColorInput(), panel->pixelColorInput()})
        EXPECT_FALSE(shown(input));

    // Per-part colours: no top group; the part rows show their stored colours.
    Keys::fgEyeColor().set(Color::sRGB(1, 0, 0));
    Keys::unifiedColor().set(false);
    pumpEvents();
    EXPECT_FALSE(shown(panel->foregroundColorInput()));
    for (auto* input : {panel->eyeColorInput(), panel->pupilColorInput(), panel->pixelColorInput()})
        EXPECT_TRUE(shown(input));
    EXPECT_EQ(panel->eyeColorInput()->pickerField()->swatch()->color(), QColor(255, 0, 0));
}

TEST_F(Panel, ShapeThumbnailsStoreTheirIndexAndTheOutlineFollowsTheKey) {
    Keys::expandedEyeShape().set(true);
    Keys::expandedPupilShape().set(true);
    Keys::expandedPixelShape().set(true);
    make();
    // One thumbnail per offered shape, in the list's order.
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

    // Clicking the selected one writes the same index again, nothing else.
    int reports = 0;
    auto observation =
        Defaults::observe(Keys::pixelShapeIdx(), {}, [&](const Defaults::KeyChange<int>&) { ++reports; });
    QTest::mouseClick(panel->pixelGrid()->selectors()[6], Qt::LeftButton);
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(Keys::pixelShapeIdx().get(), 6);

    // Changed from elsewhere: exactly that thumbnail is outlined; none when
    // the value lies outside the list.
    auto outlined = [&] {
        std::vector<int> found;
        for (auto* selector : panel->eyeGrid()->selectors())
            if (selector->grab().toImage().pixelColor(1, 17) == panel->palette().color(QPalette::Highlight))
                found.push_back(selector->idx());
        return found;
    };
    Keys::eyeShapeIdx().set(9);
    pumpEvents();
    EXPECT_EQ(outlined(), std::vector<int>{9});
    Keys::eyeShapeIdx().set(40);
    pumpEvents();
    EXPECT_TRUE(outlined().empty());
    EXPECT_EQ(Keys::eyeShapeIdx().get(), 40); // shown, never corrected behind the user's back
}

TEST_F(Panel, ThumbnailsAreDrawnOncePerColourNotPerRepaint) {
    Keys::expandedPixelShape().set(true);
    make();
    ShapeThumbnails& thumbnails = panel->pixelGrid()->thumbnails();
    EXPECT_EQ(thumbnails.drawnSets(), 1);
    for (int i = 0; i < 3; ++i) {
        panel->repaint();
        panel->pixelGrid()->hide();
        panel->pixelGrid()->show();
        (void)panel->grab();
    }
    EXPECT_EQ(thumbnails.drawnSets(), 1);

    // A new text colour (theme change) draws them once in that colour.
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

    QTest::mouseClick(panel->eyeGrid()->selectors()[5], Qt::LeftButton);
    pumpEvents();
    EXPECT_EQ(Keys::pupilShapeIdx().get(), 5);

    // A pupil chosen by hand stays, until the next eye change.
    Keys::pupilShapeIdx().set(14);
    pumpEvents();
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
    QTest::mouseClick(panel->matchingPupilSwitch(), Qt::LeftButton);
    pumpEvents();
    EXPECT_EQ(Keys::pupilShapeIdx().get(), 9);
    QTest::mouseClick(panel->eyeGrid()->selectors()[12], Qt::LeftButton);
    pumpEvents();
    EXPECT_EQ(Keys::pupilShapeIdx().get(), 9);
}

TEST_F(Panel, HexFieldStoresOnReturnAndPutsBackTheColourOnBadInput) {
    Keys::layoutMode().set(0);
    Keys::useHexColorInput().set(true);
    Keys::fgUnifiedColor().set(Color::sRGB(0, 0, 1, 0.5));
    make();
    ColorInput* input = panel->foregroundColorInput();
    ASSERT_TRUE(input->showsHexField());
    QLineEdit* edit = input->hexField()->lineEdit();
    EXPECT_EQ(edit->text(), "#0000FF");
    EXPECT_EQ(edit->placeholderText(), "#RRGGBB");

    // Typing alone changes nothing.
    edit->clear();
    QTest::keyClicks(edit, "1a1a1a");
    EXPECT_EQ(Keys::fgUnifiedColor().get(), Color::sRGB(0, 0, 1, 0.5));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(Keys::fgUnifiedColor().get(), Color::sRGB(26 / 255.0, 26 / 255.0, 26 / 255.0)); // opaque now
    EXPECT_EQ(edit->text(), "#1A1A1A");

    for (const char* bad : {"#12345", "xyz", "#1A1A1A80"}) {
        edit->setText(bad);
        QTest::keyClick(edit, Qt::Key_Return);
        EXPECT_EQ(edit->text(), "#1A1A1A") << bad;
        EXPECT_EQ(Keys::fgUnifiedColor().get(), Color::sRGB(26 / 255.0, 26 / 255.0, 26 / 255.0)) << bad;
    }

    // Typed but not submitted: kept while the colour set elsewhere has the
    // same text, replaced by any other colour's text.
    edit->setText("#ff0000");
    Keys::fgUnifiedColor().set(Color::sRGB(1, 0, 0));
    pumpEvents();
    EXPECT_EQ(edit->text(), "#ff0000");
    Keys::fgUnifiedColor().set(Color::sRGB(0, 1, 0));
    pumpEvents();
    EXPECT_EQ(edit->text(), "#00FF00");
    EXPECT_EQ(input->hexField()->swatch()->color(), QColor(0, 255, 0));
}

TEST_F(Panel, ColourDialogStoresWhileChoosingAndCancelPutsBackTheStart) {
    Keys::layoutMode().set(0);
    Keys::backgroundColor().set(Color::sRGB(1, 1, 1));
    make();
    ColorPickerField* picker = panel->basicBackgroundColorInput()->pickerField();
    QTest::mouseClick(picker->button(), Qt::LeftButton);
    QColorDialog* dialog = picker->dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->testOption(QColorDialog::ShowAlphaChannel));

    dialog->setCurrentColor(QColor(255, 128, 0, 128));
    EXPECT_EQ(colorToHex(Keys::backgroundColor().get()), "#FF8000");
    EXPECT_NEAR(Keys::backgroundColor().get().components.back(), 128 / 255.0, 1e-6); // opacity kept
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

TEST_F(Panel, GroupsAndHintsFollowTheirKeys) {
    make();
    for (auto* group : panel->groups()) EXPECT_FALSE(group->content()->isVisible());
    CollapsibleGroup* pixels = panel->groups()[2];
    QTest::mouseClick(pixels->header(), Qt::LeftButton);
    EXPECT_TRUE(Keys::expandedPixelShape().get());
    EXPECT_TRUE(pixels->content()->isVisible());
    EXPECT_FALSE(Keys::expandedEyeShape().get()); // each group on its own

    Keys::expandedLogo().set(true);
    pumpEvents();
    EXPECT_TRUE(panel->groups()[4]->content()->isVisible());

    openAllGroups();
    for (auto* hint : panel->hints()) EXPECT_FALSE(hint->isVisible());
    const int gridTopWithout = panel->pixelGrid()->mapTo(pixels, QPoint()).y();
    Keys::showHints().set(true);
    pumpEvents();
    ASSERT_EQ(panel->hints().size(), 6u);
    for (auto* hint : panel->hints()) EXPECT_TRUE(hint->isVisible());
    EXPECT_TRUE(panel->hints()[0]->text().startsWith("\"Eyes\" are the forms at the 3 corners"));
    EXPECT_GT(panel->pixelGrid()->mapTo(pixels, QPoint()).y(), gridTopWithout);
}
