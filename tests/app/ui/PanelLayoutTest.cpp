// The design panel's layout in the window's right-hand column at both ends
// of the window's width: the scroll range ends at the last control for any
// groups open, titled rows and pickers keep their titles whole and their
// inputs at the right end clear of the scroll bar, the switches, and a logo
// problem scrolled into view.
#include "UiTestSupport.h"

#include "app/ui/CollapsibleGroup.h"
#include "app/ui/ColorInput.h"
#include "app/ui/DesignPanel.h"
#include "app/ui/SwitchToggle.h"

#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>

#include <array>

using namespace Tessivo;
using namespace Tessivo::ui;

namespace {

// The groups' keys in the panel's order. Asked for inside the tests: the
// keys open the settings store, which must find the test's own folder.
std::array<const Defaults::Key<bool>*, 6> groupKeys() {
    return {&Keys::expandedEyeShape(),   &Keys::expandedPupilShape(), &Keys::expandedPixelShape(),
            &Keys::expandedBackground(), &Keys::expandedLogo(),       &Keys::expandedAdvanced()};
}

struct PanelLayout : FreshSettings {
    std::unique_ptr<MainWindow> window;
    DesignPanel* panel = nullptr;
    QScrollArea* scroll = nullptr;

    void make(int width) {
        window = std::make_unique<MainWindow>();
        window->show();
        resize(width);
        panel = qobject_cast<DesignPanel*>(window->designPanel());
        scroll = window->designScroll();
        ASSERT_TRUE(panel && scroll);
    }
    void resize(int width) {
        window->resize(width, window->height());
        pumpEvents();
    }
    void openGroups(unsigned mask) {
        const auto keys = groupKeys();
        for (std::size_t i = 0; i < keys.size(); ++i) keys[i]->set((mask >> i & 1u) != 0);
        pumpEvents();
    }
    // Where the panel's last shown control ends, in the panel.
    int contentEnd() const {
        int end = 0;
        for (int i = 0; i < panel->layout()->count(); ++i)
            if (QWidget* w = panel->layout()->itemAt(i)->widget(); w && !w->isHidden())
                end = w->geometry().bottom() + 1;
        return end;
    }
    // The widget's rectangle in the scroll area's viewport.
    QRect inViewport(const QWidget* widget) const {
        return QRect(widget->mapTo(scroll->viewport(), QPoint(0, 0)), widget->size());
    }
};

} // namespace

// The shape grids once reported their one-column height as their least, and
// the panel scrolled hundreds of points past its end.
TEST_F(PanelLayout, TheScrollRangeEndsAtTheLastControlForEveryOpenGroupAtBothWidths) {
    make(800);
    for (int width : {800, 1000}) {
        resize(width);
        for (bool hints : {false, true}) {
            store(Keys::showHints(), hints);
            for (unsigned mask = 0; mask < 64; ++mask) {
                openGroups(mask);
                const int viewport = scroll->viewport()->height();
                const int end = contentEnd();
                ASSERT_GT(end, 0);
                EXPECT_EQ(scroll->verticalScrollBar()->maximum(), std::max(0, end - viewport))
                    << "width " << width << ", groups " << mask << ", hints " << hints;
                EXPECT_EQ(panel->height(), std::max(end, viewport))
                    << "width " << width << ", groups " << mask << ", hints " << hints;
            }
        }
    }

    // Widening while scrolled to the end still shows the end of the panel.
    store(Keys::showHints(), false);
    resize(800);
    openGroups(63);
    QScrollBar* bar = scroll->verticalScrollBar();
    bar->setValue(bar->maximum());
    resize(1000);
    QWidget* advanced = panel->groups().back();
    const QRect shown = inViewport(advanced);
    EXPECT_GE(shown.top(), 0);
    EXPECT_LE(shown.bottom(), scroll->viewport()->height());
}

TEST_F(PanelLayout, RowsKeepTitlesWholeAndInputsAtTheRightEndClearOfTheScrollBar) {
    store(Keys::useHexColorInput(), true);
    openGroups(63);
    make(800);
    for (int width : {800, 1000}) {
        resize(width);
        for (bool hex : {true, false}) {
            store(Keys::useHexColorInput(), hex);
            for (auto* input : panel->findChildren<ColorInput*>()) {
                if (!input->isVisibleTo(panel)) continue;
                QWidget* row = hex ? static_cast<QWidget*>(input->hexField()) : input->pickerField();
                auto* title = row->findChild<QLabel*>();
                QWidget* field = hex ? static_cast<QWidget*>(input->hexField()->lineEdit())
                                     : input->pickerField()->button();
                ASSERT_TRUE(title && field);
                const std::string what = input->title().toStdString() + " at " + std::to_string(width);
                // One line of title, whole; the input at the row's right end.
                EXPECT_LE(title->height(), title->fontMetrics().height() + 4) << what;
                EXPECT_GE(title->width(), title->fontMetrics().horizontalAdvance(title->text())) << what;
                const QRect fieldInRow(field->mapTo(row, QPoint(0, 0)), field->size());
                EXPECT_EQ(fieldInRow.right(), row->width() - 1) << what;
                EXPECT_FALSE(QRect(title->pos(), title->size()).intersects(fieldInRow)) << what;
                // Clear of the scroll bar.
                EXPECT_LE(inViewport(field).right(), scroll->viewport()->width() - 3) << what;
                if (hex) {
                    EXPECT_EQ(field->width(), 100) << what;
                }
            }
        }
    }
    // The hex field still names the colour in full.
    QLineEdit* hexText = panel->backgroundColorInput()->hexField()->lineEdit();
    store(Keys::useHexColorInput(), true);
    EXPECT_GE(hexText->width(), hexText->fontMetrics().horizontalAdvance("#FFFFFF"));

    // Both pickers sit under their titles, at the same leading edge, at
    // every width: no title beside one and above the other.
    for (int width : {800, 1000}) {
        resize(width);
        for (QComboBox* picker : {panel->logoPositionPicker(), panel->errorCorrectionPicker()}) {
            auto* title = qobject_cast<QLabel*>(picker->parentWidget()->findChild<QLabel*>());
            ASSERT_NE(title, nullptr);
            EXPECT_EQ(title->buddy(), picker);
            EXPECT_LE(title->geometry().bottom(), picker->geometry().top()) << title->text().toStdString();
            EXPECT_EQ(title->x(), picker->x()) << title->text().toStdString();
            EXPECT_LE(picker->width(), 300);
        }
    }
}

TEST_F(PanelLayout, MatchingPupilAndShowHintsAreSwitchesThatWriteTheirKeys) {
    openGroups(2);
    make(800);
    auto* matching = dynamic_cast<SwitchToggle*>(static_cast<QCheckBox*>(panel->matchingPupilSwitch()));
    ASSERT_NE(matching, nullptr);
    // At the right end of its row, after a spacer.
    const QWidget* content = matching->parentWidget();
    EXPECT_EQ(matching->geometry().right(), content->contentsRect().right());
    EXPECT_GE(matching->width(), matching->fontMetrics().horizontalAdvance("Matching Pupil") + 32);
    // Anywhere on it flips it: the title as well as the track.
    QTest::mouseClick(matching, Qt::LeftButton, {}, QPoint(4, matching->height() / 2));
    EXPECT_TRUE(Keys::matchingPupil().get());
    QTest::mouseClick(matching, Qt::LeftButton, {}, matching->trackRect().center());
    EXPECT_FALSE(Keys::matchingPupil().get());
    // The key changed elsewhere moves the knob: the switch looks different.
    const QImage off = matching->grab().toImage();
    store(Keys::matchingPupil(), true);
    EXPECT_TRUE(matching->isChecked());
    EXPECT_NE(matching->grab().toImage(), off);
}

TEST_F(PanelLayout, ALogoProblemIsScrolledIntoView) {
    testsupport::TempDir dir;
    openGroups(63);
    make(800);
    ASSERT_EQ(scroll->verticalScrollBar()->value(), 0);
    testsupport::writeFile(dir / "huge.png", testsupport::bilevelPNG(40000, 40000, false));
    panel->loadLogo(QString::fromStdString((dir / "huge.png").string()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !panel->isLoadingLogo() && !panel->logoMessage().isEmpty(); }, 10000));
    pumpEvents();
    auto* message = panel->findChild<QLabel*>(QStringLiteral("logoMessage"));
    ASSERT_TRUE(message && message->isVisibleTo(panel));
    const QRect shown = inViewport(message);
    EXPECT_GE(shown.top(), 0);
    EXPECT_LE(shown.bottom(), scroll->viewport()->height());
}
