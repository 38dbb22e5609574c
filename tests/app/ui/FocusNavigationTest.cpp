// The keyboard user's view of the main window: Tab into the scrolling design
// panel brings the control with the focus into view, every focus mark the
// window draws itself stands out 3:1 from what lies beside it (in the light
// palette and in a dark one with a deep accent), and the shape grids move
// the focus as grids.
#include "UiTestSupport.h"

#include "app/ui/CollapsibleGroup.h"
#include "app/ui/DesignPanel.h"
#include "app/ui/FocusOutline.h"
#include "app/ui/MessageSection.h"
#include "app/ui/ShapeSelector.h"
#include "app/ui/SwitchToggle.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>

#include <functional>
#include <map>

using namespace Tessivo;
using namespace Tessivo::ui;

namespace {

struct FocusNavigation : FreshSettings {
    std::unique_ptr<MainWindow> window;
    DesignPanel* panel = nullptr;
    QScrollArea* scroll = nullptr;

    // The Advanced layout with every group open: the panel scrolls.
    void make(int width = 800) {
        Keys::layoutMode().set(1);
        for (const auto* key : {&Keys::expandedEyeShape(), &Keys::expandedPupilShape(), &Keys::expandedPixelShape(),
                                &Keys::expandedBackground(), &Keys::expandedLogo(), &Keys::expandedAdvanced()})
            key->set(true);
        window = std::make_unique<MainWindow>();
        window->show();
        window->resize(width, window->height());
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        pumpEvents();
        panel = qobject_cast<DesignPanel*>(window->designPanel());
        scroll = window->designScroll();
        ASSERT_TRUE(panel && scroll);
        ASSERT_GT(scroll->verticalScrollBar()->maximum(), 0);
    }
    bool inView(const QWidget* widget) const {
        const QRect shown(widget->mapTo(scroll->viewport(), QPoint(0, 0)), widget->size());
        return scroll->viewport()->rect().contains(shown);
    }
    SwitchToggle* switchTitled(const QString& title) const {
        for (auto* box : window->findChildren<QCheckBox*>())
            if (box->text() == title) return dynamic_cast<SwitchToggle*>(box);
        return nullptr;
    }
};

// A focus mark as the screen shows it: the control's parent drawn with the
// focus elsewhere and on the control; the pixels that differ are the mark.
DrawnMark focusMark(QWidget* control, QWidget* elsewhere) {
    QWidget* area = control->parentWidget();
    elsewhere->setFocus(Qt::TabFocusReason);
    pumpEvents();
    const QImage before = area->grab().toImage();
    control->setFocus(Qt::TabFocusReason);
    pumpEvents();
    return markBetween(before, area->grab().toImage());
}

} // namespace

// Tab from the message field onto the panel scrolled to its end, and
// Shift+Tab from the bottom bar onto the panel at its top: either way the
// first control reached was out of sight.
TEST_F(FocusNavigation, TabIntoTheScrolledPanelBringsTheFocusIntoView) {
    make();
    QScrollBar* bar = scroll->verticalScrollBar();

    QLineEdit* field = window->messageSection().firstField();
    field->setFocus(Qt::TabFocusReason);
    bar->setValue(bar->maximum());
    pumpEvents();
    QTest::keyClick(field, Qt::Key_Tab);
    pumpEvents();
    QWidget* first = QApplication::focusWidget();
    ASSERT_TRUE(first && panel->isAncestorOf(first));
    EXPECT_EQ(first, panel->groups().front()->header());
    EXPECT_TRUE(inView(first)) << "scrolled to " << bar->value();

    SwitchToggle* hints = switchTitled("Show hints");
    ASSERT_TRUE(hints && !panel->isAncestorOf(hints));
    hints->setFocus(Qt::TabFocusReason);
    bar->setValue(0);
    pumpEvents();
    QTest::keyClick(hints, Qt::Key_Backtab, Qt::ShiftModifier);
    pumpEvents();
    QWidget* last = QApplication::focusWidget();
    ASSERT_TRUE(last && panel->isAncestorOf(last));
    EXPECT_EQ(last, panel->errorCorrectionPicker());
    EXPECT_TRUE(inView(last)) << "scrolled to " << bar->value();

    // A click on a control half out of sight takes the focus where the
    // pointer is and scrolls nothing.
    SwitchToggle* matching = panel->matchingPupilSwitch();
    bar->setValue(matching->mapTo(panel, QPoint(0, matching->height() / 2)).y());
    pumpEvents();
    const int scrolled = bar->value();
    ASSERT_FALSE(inView(matching));
    QTest::mouseClick(matching, Qt::LeftButton, {}, QPoint(matching->width() / 2, matching->height() - 2));
    pumpEvents();
    EXPECT_TRUE(matching->hasFocus());
    EXPECT_EQ(bar->value(), scrolled);
}

TEST_F(FocusNavigation, FocusMarksContrastWithWhatIsBesideThem) {
    // The measure itself: black on white, and the light palette's accent on
    // its window.
    EXPECT_NEAR(contrastRatio(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_NEAR(contrastRatio(QColor(0xad, 0xcd, 0xe1), QColor(0xef, 0xef, 0xef)), 1.45, 0.01);

    KeepPalette keep;
    make();
    QLineEdit* elsewhere = window->messageSection().firstField();
    for (const bool dark : {false, true}) {
        SCOPED_TRACE(dark ? "dark palette" : "light palette");
        if (dark) { // the system's palette changes under the open window
            QApplication::setPalette(darkPalette());
            pumpEvents();
        }
        const auto& tiles = panel->eyeGrid()->selectors();
        store(Keys::eyeShapeIdx(), 0);
        expectContrast(focusMark(tiles[1], elsewhere), "shape tile");
        expectContrast(focusMark(tiles[0], elsewhere), "chosen shape tile");
        expectContrast(focusMark(panel->groups().front()->header(), elsewhere), "group header");
        expectContrast(focusMark(window->findChild<QPushButton*>(QStringLiteral("resetToDefaults")), elsewhere),
                       "Reset to defaults");
        SwitchToggle* hints = switchTitled("Show hints");
        ASSERT_NE(hints, nullptr);
        for (const bool on : {false, true}) {
            store(Keys::showHints(), on);
            expectContrast(focusMark(hints, elsewhere), on ? "switch on" : "switch off");
        }
        store(Keys::showHints(), false);
    }
}

// Left and Right go to the neighbouring tile in reading order, Up and Down
// to the tile above and below in the columns as laid out, Home and End to
// the first and last tile; at an edge, and below a column that the last
// row leaves short, the focus stays. Only Space chooses.
TEST_F(FocusNavigation, ArrowsHomeAndEndMoveTheFocusThroughTheGridAsLaidOut) {
    std::set<int> columnCounts;
    for (const int width : {800, 1000}) {
        make(width);
        store(Keys::eyeShapeIdx(), 2);
        const auto& tiles = panel->eyeGrid()->selectors();
        const int count = int(tiles.size());
        ASSERT_GT(count, 7);
        int columns = 0;
        for (auto* tile : tiles) columns += tile->y() == tiles.front()->y();
        columnCounts.insert(columns);
        ASSERT_NE(count % columns, 0) << "the last row should be short at width " << width;

        // The neighbour in the laid-out columns, the tile itself when none.
        auto vertical = [&](int from, int direction) {
            int best = from;
            for (int i = 0; i < count; ++i) {
                if (tiles[i]->x() != tiles[from]->x()) continue;
                const int dy = (tiles[i]->y() - tiles[from]->y()) * direction;
                if (dy > 0 && (best == from || dy < (tiles[best]->y() - tiles[from]->y()) * direction)) best = i;
            }
            return best;
        };
        const std::pair<Qt::Key, std::function<int(int)>> moves[] = {
            {Qt::Key_Right, [&](int i) { return std::min(i + 1, count - 1); }},
            {Qt::Key_Left, [](int i) { return std::max(i - 1, 0); }},
            {Qt::Key_Down, [&](int i) { return vertical(i, 1); }},
            {Qt::Key_Up, [&](int i) { return vertical(i, -1); }},
            {Qt::Key_Home, [](int) { return 0; }},
            {Qt::Key_End, [&](int) { return count - 1; }},
        };
        for (const auto& [key, expected] : moves)
            for (int from = 0; from < count; ++from) {
                tiles[from]->setFocus(Qt::TabFocusReason);
                QTest::keyClick(tiles[from], key);
                pumpEvents();
                EXPECT_EQ(QApplication::focusWidget(), tiles[expected(from)])
                    << QKeySequence(key).toString().toStdString() << " from tile " << from << " of " << columns
                    << " columns";
            }
        EXPECT_EQ(Keys::eyeShapeIdx().get(), 2);
        EXPECT_EQ(panel->eyeGrid()->shownIndex(), 2);

        tiles[0]->setFocus(Qt::TabFocusReason);
        QTest::keyClick(tiles[0], Qt::Key_Down);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        pumpEvents();
        EXPECT_EQ(Keys::eyeShapeIdx().get(), columns);
    }
    EXPECT_EQ(columnCounts, (std::set<int>{5, 7}));
}
