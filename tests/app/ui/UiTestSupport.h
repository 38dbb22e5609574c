#pragma once

#include "app/core/SettingsKeys.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <set>
#include <string>

// Runs what the event loop has queued, including what that queues in turn
// (key observers report on a later turn, and may write keys themselves).
inline void pumpEvents() {
    for (int i = 0; i < 4; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

// Clicks a check box on its box (its label may be narrower than the row).
inline void clickBox(QAbstractButton* box) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
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
