// The main window as a desktop program: Quit always ends the event loop and
// saves the settings (also with another window open, also on SIGTERM to the
// real program), a stored value that cannot be read costs the real program
// little and says so once, hiding takes every window along, the window's size limits,
// where the keyboard focus starts and shows, the alerts, the success notice
// and the symbols of the toolbar and the Settings tabs.
#include "UiTestSupport.h"

#include "archive/ArchiveTestSupport.h"
#include "app/ui/ApplicationLifetime.h"
#include "app/ui/CollapsibleGroup.h"
#include "app/ui/DesignPanel.h"
#include "app/ui/MessageSection.h"
#include "app/ui/SettingsWindow.h"
#include "app/ui/SwitchToggle.h"
#include "platform/foundation/Base64.h"
#include "app/ui/Symbols.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <nlohmann/json.hpp>

#include <csignal>
#include <functional>
#include <sys/resource.h>

using namespace Tessivo;
using namespace Tessivo::ui;

namespace {

// Runs the application's event loop until something ends it; a loop that
// nothing ends gives up after `seconds` with 99.
int runEventLoop(int seconds) {
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    giveUp.start(seconds * 1000);
    const int code = QApplication::exec();
    giveUp.stop();
    return code;
}

// The standard suite's file as JSON (what a later start reads).
nlohmann::json savedSettings() {
    const std::string text = testsupport::readTextFile(platform::UserDefaults::standard()->filePath());
    return nlohmann::json::parse(text, nullptr, false);
}

bool hasInk(const QIcon& icon) {
    const QImage image = icon.pixmap(24, 24).toImage().convertToFormat(QImage::Format_ARGB32);
    int inked = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) inked += qAlpha(image.pixel(x, y)) > 128;
    return inked > 24;
}

// The symbol as a control draws it: the control grabbed with a blank
// stand-in of the same size and with the symbol.
DrawnMark symbolMark(QWidget& control, const std::function<void(const QIcon&)>& setIcon, const QIcon& symbol) {
    QPixmap blank(64, 64);
    blank.fill(Qt::transparent);
    setIcon(QIcon(blank));
    pumpEvents();
    const QImage without = control.grab().toImage();
    setIcon(symbol);
    pumpEvents();
    return markBetween(without, control.grab().toImage());
}

// A window that refuses every close.
struct Stubborn : QWidget {
    int refusals = 0;
    void closeEvent(QCloseEvent* event) override {
        ++refusals;
        event->ignore();
    }
};

using Desktop = FreshSettings;

} // namespace

// The main window refuses to close (closing hides it); Qt's own quit asks
// every window first and gives up on a refusal, leaving the Settings
// window and the process behind. Quit must end the loop whatever is open.
TEST_F(Desktop, QuitWithTheSettingsWindowOpenEndsTheLoopAndSavesTheSettings) {
    ApplicationLifetime lifetime;
    MainWindow window;
    window.show();
    SettingsView* settings = openSettings(window);
    ASSERT_TRUE(settings && settings->isVisible());
    QAction* quit = menuBarAction(window, QStringLiteral("Quit Tessivo"));
    ASSERT_NE(quit, nullptr);
    EXPECT_EQ(quit->shortcut(), QKeySequence(QKeySequence::Quit));

    // The last change is made just before quitting: only the save on the
    // way out can have written it.
    QTimer::singleShot(0, [&] {
        window.activateWindow();
        Keys::showHints().set(true);
        quit->trigger();
    });
    EXPECT_EQ(runEventLoop(10), 0);
    const nlohmann::json saved = savedSettings();
    ASSERT_TRUE(saved.is_object()) << platform::UserDefaults::standard()->filePath();
    EXPECT_EQ(saved.value("show hints", false), true);
}

// The application's quit, as the session's end and the signals reach it:
// a window that refuses to close cannot keep the program alive.
TEST_F(Desktop, NoWindowCanRefuseQuit) {
    ApplicationLifetime lifetime;
    Stubborn stubborn;
    stubborn.show();
    QTimer::singleShot(0, [] { QCoreApplication::quit(); });
    EXPECT_EQ(runEventLoop(10), 0);
    EXPECT_EQ(stubborn.refusals, 0); // not even asked
}

// A sheet blocks its window and with it the menu's shortcut; Ctrl+Q
// pressed in the sheet still quits.
TEST_F(Desktop, CtrlQInASheetEndsTheLoop) {
    ApplicationLifetime lifetime;
    MainWindow window;
    window.show();
    window.confirmResetToDefaults();
    QMessageBox* box = window.resetConfirmation();
    ASSERT_TRUE(box && QTest::qWaitForWindowExposed(box));
    QTimer::singleShot(0, [box] { QTest::keyClick(box, Qt::Key_Q, Qt::ControlModifier); });
    EXPECT_EQ(runEventLoop(10), 0);
}

namespace {

// The real program, offscreen, with its settings and runtime folders in
// `home` and the newsletter already answered (no prompt opens). True once it
// listens on its socket: its signal handlers are in place, and a signal is
// handled once the window has been built and shown.
bool startProgram(const QTemporaryDir& home, QProcess& program) {
    const QString runtime = home.filePath(QStringLiteral("run"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QDir().mkpath(home.filePath(QStringLiteral("config/tessivo")));
    testsupport::writeTextFile(home.filePath(QStringLiteral("config/tessivo/org.tessivo.shared.json")).toStdString(),
                               R"({"mailingList.shared.decision":"declined"})");

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(TESSIVO_PROGRAM), {});
    if (!program.waitForStarted(10000)) return false;
    const bool listening = QTest::qWaitFor([&] { return QFile::exists(runtime + QStringLiteral("/tessivo")); }, 20000);
    if (!listening) program.kill();
    return listening;
}

// Ends the program with SIGTERM; true when it ended on its own with status 0.
bool terminate(QProcess& program) {
    if (::kill(pid_t(program.processId()), SIGTERM) != 0) return false;
    const bool ended = program.waitForFinished(20000);
    if (!ended) program.kill();
    return ended && program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0;
}

} // namespace

// SIGTERM (a shutdown, `kill`) goes through Quit: the program ends on its
// own with status 0 and takes its single-instance socket away.
TEST(DesktopProgram, SigtermEndsTheProgramThroughQuit) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    QProcess program;
    program.setProcessChannelMode(QProcess::MergedChannels);
    ASSERT_TRUE(startProgram(home, program)) << program.readAll().toStdString();
    EXPECT_TRUE(terminate(program)) << program.readAll().toStdString();
    EXPECT_FALSE(QFile::exists(home.filePath(QStringLiteral("run/tessivo"))));
}

// A stored background colour whose property list lays 3,000 arrays over one
// another (gigabytes of elements if read element by element): the program
// opens its window at its usual cost, and the colour, read by every control
// that shows it, reads as missing with one line on standard output.
TEST(DesktopProgram, AStoredValueThatCannotBeReadCostsLittleAndSaysSoOnce) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    QDir().mkpath(home.filePath(QStringLiteral("config/tessivo")));
    testsupport::writeTextFile(home.filePath(QStringLiteral("config/tessivo/org.tessivo.Tessivo.json")).toStdString(),
                               R"({"background color": {"$data": ")" +
                                   foundation::base64Encode(archivetest::overlappingArrays(3000, 50000, false)) +
                                   R"("}})");
    QProcess program;
    ASSERT_TRUE(startProgram(home, program)) << program.readAllStandardError().toStdString();
    ASSERT_TRUE(terminate(program)) << program.readAllStandardError().toStdString();
    const QStringList lines =
        QString::fromUtf8(program.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1) << lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(lines[0].contains(QStringLiteral("containers claim more elements"))) << lines[0].toStdString();

    // The largest resident size of any program this test waited for.
    rusage usage{};
    ASSERT_EQ(::getrusage(RUSAGE_CHILDREN, &usage), 0);
    EXPECT_LT(usage.ru_maxrss, 400L * 1024) << "kilobytes";
}

TEST_F(Desktop, HidingTheProgramHidesEveryWindowAndShowingBringsThemBack) {
    MainWindow window;
    window.show();
    SettingsView* settings = openSettings(window);
    ASSERT_TRUE(settings && settings->isVisible());

    QAction* hide = menuBarAction(window, QStringLiteral("Hide Tessivo"));
    ASSERT_NE(hide, nullptr);
    hide->trigger();
    pumpEvents();
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(settings->isVisible());
    window.bringToFront();
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(settings->isVisible());

    // The close button hides the program the same way; a window the user
    // closed himself stays closed when the program comes back.
    window.close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(settings->isVisible());
    window.bringToFront();
    EXPECT_TRUE(settings->isVisible());
    settings->close();
    menuBarAction(window, QStringLiteral("Close Window"))->trigger();
    window.bringToFront();
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(settings->isVisible());
}

// The window itself holds the limits, so the window manager offers no size
// the layout cannot fill (maximising included).
TEST_F(Desktop, TheWindowHoldsItsWidthRangeAndItsOneHeight) {
    MainWindow window;
    window.show();
    pumpEvents();
    const int height = window.height();
    EXPECT_EQ(window.centralWidget()->height(), MainWindow::contentHeight);
    EXPECT_EQ(height, window.centralWidget()->geometry().bottom() + 1); // nothing below the content
    EXPECT_EQ(window.minimumSize(), QSize(MainWindow::minimumContentWidth, height));
    EXPECT_EQ(window.maximumSize(), QSize(MainWindow::maximumContentWidth, height));
    EXPECT_EQ(window.size(), QSize(MainWindow::minimumContentWidth, height)); // opens at 800

    for (const QSize& asked : {QSize(1200, 900), QSize(600, 300), QSize(930, 581)}) {
        window.resize(asked);
        pumpEvents();
        EXPECT_EQ(window.width(), std::clamp(asked.width(), 800, 1000)) << asked.width();
        EXPECT_EQ(window.height(), height);
        // The content fills the window: no empty margin beside it.
        EXPECT_EQ(window.centralWidget()->width(), window.width());
        EXPECT_EQ(window.preview().size(), QSize(540, 540));
    }
}

TEST_F(Desktop, TypingStartsInTheMessageFieldAndFocusShowsOnGroupHeaders) {
    MainWindow window;
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(QApplication::focusWidget(), window.messageSection().firstField());
    QTest::keyClicks(QApplication::focusWidget(), "typed at once");
    EXPECT_EQ(window.messageSection().firstField()->text(), "typed at once");

    auto* panel = qobject_cast<DesignPanel*>(window.designPanel());
    ASSERT_NE(panel, nullptr);
    QToolButton* header = panel->groups().front()->header();
    const QImage unfocused = header->grab().toImage();
    header->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(header->hasFocus());
    EXPECT_NE(header->grab().toImage(), unfocused);                             // the focus can be seen
    EXPECT_EQ(header->size(), unfocused.size() / unfocused.devicePixelRatio()); // and moves nothing

    // Space opens the group and stores it.
    QTest::keyClick(header, Qt::Key_Space);
    pumpEvents();
    EXPECT_TRUE(panel->groups().front()->isExpanded());
    EXPECT_TRUE(Keys::expandedEyeShape().get());

    // The switches take the focus and Space flips them, too.
    SwitchToggle* hints = nullptr;
    for (auto* box : window.findChildren<QCheckBox*>())
        if (box->text() == "Show hints") hints = dynamic_cast<SwitchToggle*>(box);
    ASSERT_NE(hints, nullptr);
    hints->setFocus(Qt::TabFocusReason);
    QTest::keyClick(hints, Qt::Key_Space);
    pumpEvents();
    EXPECT_TRUE(Keys::showHints().get());
}

// Tab from the message field goes round the whole window and back to it.
// Each stop on the way is a control the user can see and that shows it has
// the focus: a stop that showed nothing would leave the keyboard user lost
// (Space on an unmarked "Reset to defaults" opened the reset confirmation).
TEST_F(Desktop, EveryTabStopOfTheWindowIsAVisibleControlThatShowsTheFocus) {
    struct Layout {
        const char* name;
        int layoutMode;
        bool openGroups;
        int messageType;
    };
    const Layout layouts[] = {
        {"advanced, groups closed, text", 1, false, 0}, {"advanced, groups open, text", 1, true, 0},
        {"advanced, groups open, e-mail", 1, true, 2},  {"advanced, groups open, Wi-Fi", 1, true, 5},
        {"advanced, groups open, contact", 1, true, 6}, {"basic, SMS", 0, false, 4},
    };
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(layout.name);
        Keys::layoutMode().set(layout.layoutMode);
        Keys::messageType().set(layout.messageType);
        for (const auto* key : {&Keys::expandedEyeShape(), &Keys::expandedPupilShape(), &Keys::expandedPixelShape(),
                                &Keys::expandedBackground(), &Keys::expandedLogo(), &Keys::expandedAdvanced()})
            key->set(layout.openGroups);
        MainWindow window;
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        if (layout.openGroups) { // the logo's controls take the focus only with "Use logo" on
            auto* panel = qobject_cast<DesignPanel*>(window.designPanel());
            ASSERT_NE(panel, nullptr);
            clickBox(panel->useLogoToggle());
        }
        QWidget* start = window.messageSection().firstField();
        start->setFocus(Qt::TabFocusReason);
        pumpEvents();
        ASSERT_EQ(QApplication::focusWidget(), start);

        // Each stop drawn while it has the focus, and again once the focus
        // has moved on.
        QWidget* stop = start;
        QImage focused = stop->grab().toImage();
        int stops = 0;
        std::set<QWidget*> reached;
        do {
            QTest::keyClick(stop, Qt::Key_Tab);
            pumpEvents();
            QWidget* next = QApplication::focusWidget();
            ASSERT_NE(next, nullptr);
            ASSERT_NE(next, stop) << "Tab stays on " << stop->metaObject()->className();
            QString label = stop->property("text").toString();
            if (label.isEmpty()) label = stop->accessibleName();
            const std::string name = std::string(stop->metaObject()->className()) + " \"" + label.toStdString() +
                                     "\" (stop " + std::to_string(stops) + ")";
            EXPECT_NE(stop->grab().toImage(), focused) << "no focus to be seen on " << name;
            stop = next;
            EXPECT_TRUE(stop->isVisible() && !stop->visibleRegion().isEmpty())
                << stop->metaObject()->className() << " takes the focus unseen";
            EXPECT_TRUE(stop->window() == &window) << stop->metaObject()->className();
            focused = stop->grab().toImage();
            reached.insert(stop);
        } while (stop != start && ++stops < 200);
        EXPECT_EQ(stop, start) << "the chain does not come back to the message field";
        // The bottom bar and the toolbar are on the way.
        EXPECT_TRUE(reached.contains(window.findChild<QPushButton*>(QStringLiteral("resetToDefaults"))));
        EXPECT_TRUE(reached.contains(&window.actionsButton()));
        EXPECT_TRUE(reached.contains(&window.presetsButton()));
    }
}

// Alerts are wide enough to read their title and text in full; in the
// reset confirmation Return means Cancel.
TEST_F(Desktop, AlertsReadInFullAndReturnInTheResetConfirmationChangesNothing) {
    MainWindow window;
    window.show();
    Keys::eyeShapeIdx().set(5);
    Keys::layoutMode().set(0);
    pumpEvents();
    const std::set<std::string> stored = storedNames();

    window.confirmResetToDefaults();
    QMessageBox* box = window.resetConfirmation();
    ASSERT_TRUE(box && QTest::qWaitForWindowExposed(box));
    EXPECT_EQ(box->defaultButton()->text(), "Cancel");
    EXPECT_GE(box->width(), box->fontMetrics().horizontalAdvance(box->windowTitle()) + 120);
    EXPECT_GE(box->width(), 360);
    QTest::keyClick(box, Qt::Key_Return);
    pumpEvents();
    EXPECT_FALSE(window.resetConfirmation());
    EXPECT_EQ(storedNames(), stored);
    EXPECT_EQ(Keys::eyeShapeIdx().get(), 5);
    EXPECT_EQ(Keys::layoutMode().get(), 0);

    window.showExportError(QStringLiteral("Could not save PNG."));
    QMessageBox* alert = window.exportAlert();
    ASSERT_TRUE(alert && QTest::qWaitForWindowExposed(alert));
    EXPECT_EQ(alert->windowTitle(), "Export failed");
    EXPECT_GE(alert->width(), 360);
    QTest::keyClick(alert, Qt::Key_Return);
    pumpEvents();
    EXPECT_FALSE(window.exportErrorMessage());
}

// Each success hides the notice 2 seconds after it: a second success 1
// second later does not keep it on screen beyond the first one's time.
// Time runs through the event loop only: a check 2.5 seconds in is ordered
// after the first hiding and before the second's, however late the loop.
TEST_F(Desktop, TheSuccessNoticeHidesTwoSecondsAfterItFirstAppeared) {
    MainWindow window;
    window.show();
    window.showSuccessNotice();
    ASSERT_TRUE(window.isSuccessNoticeShown());
    auto* notice = window.findChild<QWidget*>(QStringLiteral("successNotice"));
    ASSERT_NE(notice, nullptr);
    EXPECT_TRUE(window.rect().contains(notice->geometry())); // on the window, framed
    EXPECT_EQ(notice->size(), QSize(300, 200));

    bool shownAfterTheSecond = false;
    bool shownBetween = true;
    bool shownAtTheEnd = true;
    bool done = false;
    QTimer::singleShot(1000, Qt::PreciseTimer, &window, [&] {
        window.showSuccessNotice();
        shownAfterTheSecond = window.isSuccessNoticeShown();
    });
    QTimer::singleShot(2500, Qt::PreciseTimer, &window, [&] { shownBetween = window.isSuccessNoticeShown(); });
    QTimer::singleShot(3500, Qt::PreciseTimer, &window, [&] {
        shownAtTheEnd = window.isSuccessNoticeShown();
        done = true;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return done; }, 30000));
    EXPECT_TRUE(shownAfterTheSecond);
    EXPECT_FALSE(shownBetween);
    EXPECT_FALSE(shownAtTheEnd);
}

// Without a desktop icon theme the toolbar and the tabs still have their
// symbols: the application's own, drawn as their labels are, in the light
// palette and in a dark one that arrives while they are shown, standing out
// 3:1 from what lies beside them; a disabled button's is drawn as its
// disabled label.
TEST_F(Desktop, ToolbarMenusAndSettingsTabsAlwaysHaveSymbols) {
    const QStringList themePaths = QIcon::themeSearchPaths(), fallbackPaths = QIcon::fallbackSearchPaths();
    QIcon::setThemeSearchPaths({});
    QIcon::setFallbackSearchPaths({});
    KeepPalette keep;
    for (Symbol symbol : {Symbol::palette, Symbol::send, Symbol::gear}) {
        EXPECT_TRUE(QFile::exists(ownIconPath(symbol))) << ownIconPath(symbol).toStdString();
        EXPECT_TRUE(hasInk(QIcon(ownIconPath(symbol)))) << ownIconPath(symbol).toStdString();
        EXPECT_TRUE(hasInk(symbolIcon(symbol))) << themeIconName(symbol).toStdString();
    }
    auto hex = [](const QColor& colour) { return colour.name().toStdString(); };
    MainWindow window;
    window.show();
    SettingsView* settings = openSettings(window);
    ASSERT_NE(settings, nullptr);
    QTabBar* tabs = settings->tabs()->tabBar();
    for (const bool dark : {false, true}) {
        SCOPED_TRACE(dark ? "dark palette" : "light palette");
        if (dark) {
            QPalette palette = darkPalette();
            for (auto role : {QPalette::WindowText, QPalette::ButtonText})
                palette.setColor(QPalette::Disabled, role, QColor(0x80, 0x80, 0x80));
            QApplication::setPalette(palette);
            pumpEvents();
        }
        for (QToolButton* button : {&window.presetsButton(), &window.actionsButton()}) {
            const std::string what = button->text().toStdString();
            const QIcon symbol = button->icon();
            auto setIcon = [button](const QIcon& icon) { button->setIcon(icon); };
            const DrawnMark mark = symbolMark(*button, setIcon, symbol);
            expectContrast(mark, what);
            EXPECT_EQ(hex(mark.colour), hex(button->palette().color(QPalette::ButtonText))) << what;
            EXPECT_GE(contrastRatio(mark.colour, button->palette().color(QPalette::Window)), 3.0) << what;
            button->setEnabled(false);
            const DrawnMark disabled = symbolMark(*button, setIcon, symbol);
            EXPECT_EQ(hex(disabled.colour), hex(button->palette().color(QPalette::Disabled, QPalette::ButtonText)))
                << what;
            button->setEnabled(true);
        }
        for (int i = 0; i < tabs->count(); ++i) {
            const std::string what = tabs->tabText(i).toStdString();
            const QIcon symbol = tabs->tabIcon(i);
            const DrawnMark mark = symbolMark(
                *tabs, [tabs, i](const QIcon& icon) { tabs->setTabIcon(i, icon); }, symbol);
            expectContrast(mark, what);
            EXPECT_EQ(hex(mark.colour), hex(tabs->palette().color(QPalette::WindowText))) << what;
            EXPECT_GE(contrastRatio(mark.colour, tabs->palette().color(QPalette::Window)), 3.0) << what;
        }
    }

    // Where the icon theme has a symbol, the theme's is used.
    QTemporaryDir themes;
    QDir(themes.path()).mkpath(QStringLiteral("test/16x16/actions"));
    QFile index(themes.filePath(QStringLiteral("test/index.theme")));
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.write("[Icon Theme]\nName=test\nDirectories=16x16/actions\n[16x16/actions]\nSize=16\n");
    index.close();
    QPixmap ink(16, 16);
    ink.fill(Qt::red);
    ASSERT_TRUE(ink.save(themes.filePath(QStringLiteral("test/16x16/actions/document-send.png"))));
    const QString themeName = QIcon::themeName();
    QIcon::setThemeSearchPaths({themes.path()});
    QIcon::setThemeName(QStringLiteral("test"));
    EXPECT_EQ(symbolIcon(Symbol::send).name(), themeIconName(Symbol::send));
    EXPECT_EQ(symbolIcon(Symbol::send).pixmap(16).toImage().pixelColor(8, 8), QColor(Qt::red));
    QIcon::setThemeName(themeName);
    QIcon::setThemeSearchPaths(themePaths);
    QIcon::setFallbackSearchPaths(fallbackPaths);
}

// The real program under a window manager on a private X server: resizing
// and maximising keep the window within its layout's limits, and Ctrl+Q
// with the Settings window open ends it (desktop-session.sh drives it).
TEST(DesktopProgram, UnderAWindowManagerTheWindowKeepsItsSizeAndCtrlQEndsIt) {
    if (const QString tool = missingDesktopTool(); !tool.isEmpty())
        GTEST_SKIP() << tool.toStdString() << " is not installed; ./test installs it";
    QString log;
    EXPECT_TRUE(runDesktopSession(QStringLiteral("size"), &log)) << log.toStdString();
}
