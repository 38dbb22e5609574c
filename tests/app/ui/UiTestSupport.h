#pragma once

#include "app/core/SettingsKeys.h"
#include "app/ui/MainWindow.h"
#include "app/ui/PreviewView.h"
#include "app/ui/SettingsWindow.h"
#include "platform/detector/QRDetector.h"
#include "tests/support/TestSupport.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
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
