// The windows and the menus from the keyboard alone, as on the desktop the
// program runs on: the close command and Escape act on the window in front,
// the menu bar opens and closes from the keyboard, and the Settings window
// opens with a control in focus.
#include "UiTestSupport.h"

#include "app/ui/MessageSection.h"

#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>

using namespace Tessivo;
using namespace Tessivo::ui;

namespace {

// Presses a key where the desktop delivers it: to the open menu, else to
// the control in focus in the window in front.
void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = QApplication::activePopupWidget();
    if (!target) target = QApplication::focusWidget();
    if (!target) target = QApplication::activeWindow();
    ASSERT_NE(target, nullptr);
    QTest::keyClick(target, Qt::Key(key), modifiers);
    pumpEvents();
}

void showActive(QWidget& window) {
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

QMenu* openMenu() { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }

using Keyboard = FreshSettings;

} // namespace

// The close command's key (Ctrl+W) and Escape in the Settings window close
// that window and leave the program alone; the close key in the main window
// hides the program.
TEST_F(Keyboard, CloseCommandAndEscapeCloseTheSettingsWindowInFrontAndCtrlWInTheMainWindowHidesTheProgram) {
    MainWindow window;
    showActive(window);
    QAction* close = menuBarAction(window, QStringLiteral("Close Window"));
    ASSERT_NE(close, nullptr);
    // The platform's close key: Ctrl+W on the desktop.
    const QKeyCombination closeKey = close->shortcut()[0];
    EXPECT_EQ(close->shortcut(), QKeySequence(QKeySequence::Close));

    for (const QKeyCombination key : {closeKey, QKeyCombination(Qt::Key_Escape)}) {
        SCOPED_TRACE(QKeySequence(key).toString().toStdString());
        SettingsView* settings = openSettings(window);
        ASSERT_NE(settings, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowActive(settings));
        press(key.key(), key.keyboardModifiers());
        EXPECT_FALSE(settings->isVisible());
        EXPECT_TRUE(window.isVisible());
    }

    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    press(closeKey.key(), closeKey.keyboardModifiers());
    EXPECT_FALSE(window.isVisible());
}

// Alt and a title's letter opens that menu, F10 the first one; the arrows
// move within and across the menus and Return runs the chosen command. One
// Escape closes the menu and the focus is back in the control that had it,
// so Tab goes on from there.
TEST_F(Keyboard, MenuBarOpensWithItsLettersAndF10AndOneEscapeGivesTheFocusBack) {
    MainWindow window;
    showActive(window);
    QLineEdit* field = window.messageSection().firstField();
    ASSERT_EQ(QApplication::focusWidget(), field);

    const QList<QAction*> titles = window.menuBar()->actions();
    ASSERT_EQ(titles.size(), 3);
    struct Title {
        QString shown;
        Qt::Key letter;
    };
    const Title expected[] = {{"Tessivo", Qt::Key_T}, {"File", Qt::Key_F}, {"Help", Qt::Key_H}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(expected[i].shown.toStdString());
        EXPECT_EQ(QString(titles[i]->text()).remove(QLatin1Char('&')), expected[i].shown);
        press(expected[i].letter, Qt::AltModifier);
        ASSERT_EQ(openMenu(), titles[i]->menu());
        press(Qt::Key_Escape);
        EXPECT_EQ(openMenu(), nullptr);
        EXPECT_EQ(QApplication::focusWidget(), field);
    }
    EXPECT_TRUE(field->text().isEmpty()); // no letter went into the field

    press(Qt::Key_F10);
    ASSERT_EQ(openMenu(), titles[0]->menu());
    EXPECT_EQ(openMenu()->activeAction()->text(), "About Tessivo");
    press(Qt::Key_Right);
    EXPECT_EQ(openMenu(), titles[1]->menu());
    press(Qt::Key_Right);
    EXPECT_EQ(openMenu(), titles[2]->menu());
    press(Qt::Key_Escape);
    EXPECT_EQ(openMenu(), nullptr);
    EXPECT_EQ(QApplication::focusWidget(), field);
    press(Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), field);
    EXPECT_TRUE(QApplication::focusWidget() && window.centralWidget()->isAncestorOf(QApplication::focusWidget()));

    // Down and Return choose the second command of the Help menu.
    window.contactSupportAction().setEnabled(true);
    window.subscribeAction().setEnabled(true);
    QSignalSpy subscribe(&window.subscribeAction(), &QAction::triggered);
    press(Qt::Key_H, Qt::AltModifier);
    press(Qt::Key_Down);
    press(Qt::Key_Return);
    EXPECT_EQ(subscribe.count(), 1);
    EXPECT_EQ(openMenu(), nullptr);
}

// The Settings window opens with the focus on its first control, the
// chosen layout, and the focus can be seen.
TEST_F(Keyboard, SettingsWindowOpensWithTheFocusOnTheChosenLayoutAndShowsIt) {
    MainWindow window;
    showActive(window);
    SettingsView* settings = openSettings(window);
    ASSERT_NE(settings, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(settings));
    QRadioButton* chosen = settings->generalTab()->advancedChoice();
    ASSERT_TRUE(chosen->isChecked());
    ASSERT_EQ(QApplication::focusWidget(), chosen);
    const QImage focused = chosen->grab().toImage();
    chosen->clearFocus();
    EXPECT_NE(chosen->grab().toImage(), focused);
}

// The real program under a window manager on a private X server, as a user
// drives it with the keyboard alone (desktop-session.sh): Escape and Ctrl+W
// close the Settings window in front and leave the program there; Alt and
// a letter, F10 and the arrows reach About, Contact Support and Subscribe;
// one Escape out of a menu gives the keys back to the window; Ctrl+W in the
// main window hides the program.
TEST(KeyboardProgram, UnderAWindowManagerTheKeyboardClosesSettingsAndReachesEveryMenuCommand) {
    if (const QString tool = missingDesktopTool(); !tool.isEmpty())
        GTEST_SKIP() << tool.toStdString() << " is not installed; ./test installs it";
    QString log;
    EXPECT_TRUE(runDesktopSession(QStringLiteral("keyboard"), &log)) << log.toStdString();
}
