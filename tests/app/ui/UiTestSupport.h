#pragma once

#include "app/core/SettingsKeys.h"
#include "app/ui/FocusOutline.h"
#include "app/ui/MainWindow.h"
#include "app/ui/PreviewView.h"
#include "app/ui/SettingsWindow.h"
#include "platform/detector/QRDetector.h"
#include "tests/support/TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

// Runs what the event loop has queued, including what that queues in turn
// (key observers report on a later turn, and may write keys themselves).
inline void pumpEvents() {
    for (int i = 0; i < 4; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

// Stores a value and lets the widgets that show the key catch up.
template <class T> void store(const Defaults::Key<T>& key, const std::type_identity_t<T>& value) {
    key.set(value);
    pumpEvents();
}

// Lets posted key changes arrive, then waits for the preview to show the
// newest values.
inline void settle(Tessivo::ui::MainWindow& window) {
    pumpEvents();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.previewRenderer().isBusy(); }, 20000));
    pumpEvents();
}

// What a scanner reads from the preview's code.
inline std::vector<std::string> scan(const Tessivo::ui::PreviewView& preview) {
    std::vector<std::string> texts;
    if (preview.codeImage())
        for (const auto& code : platform::detectQRCodes(*preview.codeImage())) texts.push_back(code.text);
    return texts;
}

inline bool samePixels(const gfx::ImagePtr& a, const gfx::ImagePtr& b) {
    return a && b && a->byteCount() == b->byteCount() && std::equal(a->data(), a->data() + a->byteCount(), b->data());
}

// Clicks the widget and lets what the click stored reach the widgets.
inline void click(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton);
    pumpEvents();
}

// Clicks a check box on its box (its label may be narrower than the row).
inline void clickBox(QAbstractButton* box) { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2)); }

// The menu's item texts, "--" for a separator without a title.
inline QStringList actionTexts(const QMenu& menu) {
    QStringList texts;
    for (QAction* a : menu.actions())
        texts << (a->isSeparator() && a->text().isEmpty() ? QStringLiteral("--") : a->text());
    return texts;
}

// The menu item with this text ("&&" stands for a literal "&").
inline QAction* findAction(const QMenu& menu, const QString& text) {
    for (QAction* a : menu.actions())
        if (a->text() == text) return a;
    return nullptr;
}

// The command with this text in one of the window's menus.
inline QAction* menuBarAction(QMainWindow& window, const QString& text) {
    for (auto* menu : window.menuBar()->findChildren<QMenu*>())
        if (QAction* action = findAction(*menu, text)) return action;
    return nullptr;
}

// Opens the Settings window as its command does.
inline Tessivo::ui::SettingsView* openSettings(Tessivo::ui::MainWindow& window) {
    window.settingsAction().trigger();
    pumpEvents();
    return window.findChild<Tessivo::ui::SettingsView*>();
}

// The first tool of the desktop sessions that is not installed, or "".
inline QString missingDesktopTool() {
    for (const char* tool : {"xvfb-run", "openbox", "xdotool", "xprop", "xwininfo", "timeout"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) return QString::fromLatin1(tool);
    return {};
}

// Runs desktop-session.sh with the real program and the scenario under a
// window manager on a private X server; true when every step passed. `log`
// gets what the session printed.
inline bool runDesktopSession(const QString& scenario, QString* log) {
    auto run = [&] {
        QTemporaryDir out;
        QProcess session;
        session.setProcessChannelMode(QProcess::MergedChannels);
        // `timeout` ends xvfb-run politely, which then ends its X server.
        session.start(QStringLiteral("timeout"),
                      {QStringLiteral("120"), QStringLiteral("xvfb-run"), QStringLiteral("-a"), QStringLiteral("-s"),
                       QStringLiteral("-screen 0 1280x800x24"), QStringLiteral("sh"),
                       QStringLiteral(TESSIVO_DESKTOP_SCRIPT), QStringLiteral(TESSIVO_PROGRAM), out.path(), scenario});
        const bool finished = session.waitForFinished(150000);
        if (!finished) session.kill();
        *log = QString::fromLocal8Bit(session.readAll());
        return finished && session.exitStatus() == QProcess::NormalExit && session.exitCode() == 0;
    };
    // xvfb-run -a can lose a race for a display number with another test
    // starting a server at the same moment; one more try settles that.
    return run() || (!log->contains(QStringLiteral("the window is up")) && run());
}

// The names that hold a stored value in the standard suite.
inline std::set<std::string> storedNames() {
    std::set<std::string> names;
    for (const auto& entry : platform::UserDefaults::standard()->persistentDomain()) names.insert(entry.first);
    return names;
}

// Every test starts from a store without stored values.
struct FreshSettings : ::testing::Test {
    void SetUp() override {
        for (const auto* key : Tessivo::Keys::all()) key->reset();
        pumpEvents();
    }
};

// What a widget draws as the screen shows it: two grabs of the same area,
// without it and with it; the pixels that differ are the mark. Its colour is
// the one most of them share. Beside it lie the unchanged pixels that touch
// it; each colour that makes up a tenth of those is a surface the mark must
// stand out from (the rest is anti-aliasing).
struct DrawnMark {
    QColor colour;
    std::vector<QColor> beside;
    int pixels = 0;
};

inline DrawnMark markBetween(const QImage& without, const QImage& with) {
    const QImage before = without.convertToFormat(QImage::Format_RGB32);
    const QImage after = with.convertToFormat(QImage::Format_RGB32);
    DrawnMark mark;
    if (before.size() != after.size()) return mark;
    auto changed = [&](int x, int y) { return before.pixel(x, y) != after.pixel(x, y); };
    std::map<QRgb, int> markColours, besideColours;
    int besideCount = 0;
    for (int y = 0; y < after.height(); ++y)
        for (int x = 0; x < after.width(); ++x) {
            if (changed(x, y)) {
                ++markColours[after.pixel(x, y)];
                ++mark.pixels;
                continue;
            }
            bool touches = false;
            for (int dy = -1; dy <= 1 && !touches; ++dy)
                for (int dx = -1; dx <= 1 && !touches; ++dx)
                    touches = after.valid(x + dx, y + dy) && changed(x + dx, y + dy);
            if (touches) {
                ++besideColours[after.pixel(x, y)];
                ++besideCount;
            }
        }
    if (markColours.empty()) return mark;
    mark.colour = QColor(std::max_element(markColours.begin(), markColours.end(), [](auto& a, auto& b) {
                             return a.second < b.second;
                         })->first);
    for (const auto& [rgb, count] : besideColours)
        if (count * 10 >= besideCount) mark.beside.push_back(QColor(rgb));
    return mark;
}

// The mark stands out 3:1 from every surface beside it.
inline void expectContrast(const DrawnMark& mark, const std::string& what) {
    ASSERT_GT(mark.pixels, 0) << what << ": nothing to be seen";
    ASSERT_FALSE(mark.beside.empty()) << what;
    for (const QColor& colour : mark.beside)
        EXPECT_GE(Tessivo::ui::contrastRatio(mark.colour, colour), 3.0)
            << what << ": mark " << mark.colour.name().toStdString() << " beside " << colour.name().toStdString();
}

// A dark palette whose accent is deep: the accent as it is would hardly
// show on the window, and neither would the light palette's.
inline QPalette darkPalette() {
    QPalette dark(QColor(0x45, 0x49, 0x4a), QColor(0x3c, 0x3f, 0x41));
    for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text, QPalette::BrightText})
        dark.setColor(role, QColor(0xf0, 0xf0, 0xf0));
    dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    dark.setColor(QPalette::Highlight, QColor(0x1f, 0x4e, 0x8c));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    return dark;
}

// Gives the application back the palette it had when a test changes it.
struct KeepPalette {
    const QPalette original = QApplication::palette();
    ~KeepPalette() {
        QApplication::setPalette(original);
        pumpEvents();
    }
};
