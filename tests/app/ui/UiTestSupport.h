#pragma once

#include "app/core/SettingsKeys.h"
#include "app/ui/MainWindow.h"
#include "app/ui/PreviewView.h"
#include "platform/detector/QRDetector.h"
#include "tests/support/TestSupport.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMenu>
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
