// The presets menu, the update dialog and the mailing-list prompt on their
// own, driven as a user would (the export actions: see the window's test).
#include "UiTestSupport.h"

#include "app/core/ColorText.h"
#include "app/core/Presets.h"
#include "app/core/SettingsKeys.h"
#include "app/ui/MailingListPrompt.h"
#include "app/ui/PresetsMenu.h"
#include "app/ui/UpdateDialog.h"

#include "tests/app/AppTestSupport.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QSignalSpy>

using namespace Tessivo;

namespace {

template <class W> W* visibleTopLevel() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* typed = qobject_cast<W*>(w); typed && typed->isVisible()) return typed;
    return nullptr;
}

class Widgets : public ::testing::Test {
protected:
    void SetUp() override {
        for (const auto* key : Keys::all()) key->reset();
        window.resize(800, 580);
        window.show();
    }
    void TearDown() override {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != &window) w->close();
        SetUp();
    }
    QMainWindow window;
};

} // namespace

TEST_F(Widgets, PresetsMenuAppliesSavesAndDeletesWithNamesVerbatim) {
    QMenu menu;
    PresetsMenu presets(menu, &window);
    QStringList texts = actionTexts(menu);
    EXPECT_EQ(texts.mid(0, 11), (QStringList{"Built-in", "Classic", "Rounded", "Soft Circles", "Leaf", "Sunset",
                                             "Deep Ocean", "Midnight", "Retro Star", "Flower Power", "Your presets"}));
    ASSERT_TRUE(findAction(menu, QStringLiteral("No saved presets")));
    EXPECT_FALSE(findAction(menu, QStringLiteral("No saved presets"))->isEnabled());
    EXPECT_FALSE(findAction(menu, QStringLiteral("Delete a saved preset")));

    findAction(menu, QStringLiteral("Sunset"))->trigger();
    EXPECT_EQ(Keys::pixelShapeIdx().get(), 8);
    EXPECT_EQ(colorToHex(Keys::fgPixelColor().get()), "#D9480F");

    // Save through the sheet as the user does.
    Keys::eyeShapeIdx().set(9);
    findAction(menu, QStringLiteral("Save current as preset\u2026"))->trigger();
    auto* sheet = visibleTopLevel<SavePresetSheet>();
    if (!sheet) sheet = window.findChild<SavePresetSheet*>();
    ASSERT_TRUE(sheet && sheet->isVisible());
    EXPECT_FALSE(sheet->saveButton()->isEnabled());
    QTest::keyClicks(sheet->nameField(), QStringLiteral("   "));
    EXPECT_FALSE(sheet->saveButton()->isEnabled());
    sheet->nameField()->setText(QStringLiteral("  Salt & Pepper  "));
    QTest::keyClick(sheet->nameField(), Qt::Key_Return);
    QApplication::processEvents();

    presets.rebuild();
    QAction* mine = findAction(menu, QStringLiteral("Salt && Pepper"));
    ASSERT_TRUE(mine);
    EXPECT_FALSE(findAction(menu, QStringLiteral("No saved presets")));
    QAction* remove = findAction(menu, QStringLiteral("Delete a saved preset"));
    ASSERT_TRUE(remove && remove->menu());

    Keys::eyeShapeIdx().set(0);
    mine->trigger();
    EXPECT_EQ(Keys::eyeShapeIdx().get(), 9);
    EXPECT_EQ(Keys::pixelShapeIdx().get(), 8);

    findAction(*remove->menu(), QStringLiteral("Salt && Pepper"))->trigger();
    presets.rebuild();
    EXPECT_TRUE(findAction(menu, QStringLiteral("No saved presets")));
    EXPECT_TRUE(userPresetStore().presets().empty());
}

TEST_F(Widgets, PresetsMenuListsTheNewestSavedPresetsAndKeepsEveryStoredEntry) {
    // 150 presets among half a million stored entries that are not presets.
    platform::PropertyListArray entries;
    for (int i = 0; i < 500000; ++i) {
        if (i < 150 * 2000 && i % 2000 == 1999) {
            QRPreset p = builtInPresets().front();
            p.id = randomUUID();
            p.name = "Mine " + std::to_string(i / 2000);
            entries.emplace_back(presetJSONText(p));
        } else {
            entries.emplace_back("bad " + std::to_string(i));
        }
    }
    const platform::PropertyList stored(entries);
    auto& suite = *Keys::userPresets().suite();
    suite.setObject(PresetStore::keyName, stored);

    QMenu menu;
    PresetsMenu presets(menu, &window);
    const QStringList texts = actionTexts(menu);
    const auto first = texts.indexOf(QStringLiteral("Your presets")) + 1;
    const auto divider = texts.indexOf(QStringLiteral("--"), first);
    ASSERT_EQ(divider - first, qsizetype(presetsMenuLimit));
    EXPECT_EQ(texts[first], QStringLiteral("Mine 50"));
    EXPECT_EQ(texts[divider - 1], QStringLiteral("Mine 149"));
    QAction* remove = findAction(menu, QStringLiteral("Delete a saved preset"));
    ASSERT_TRUE(remove && remove->menu());
    EXPECT_EQ(remove->menu()->actions().size(), qsizetype(presetsMenuLimit));

    // Opening the menu and applying a preset change nothing stored.
    emit menu.aboutToShow();
    QAction* mine = findAction(menu, QStringLiteral("Mine 60"));
    ASSERT_TRUE(mine);
    mine->trigger();
    ASSERT_TRUE(suite.synchronize().ok());
    EXPECT_EQ(suite.objectForKey(PresetStore::keyName), stored);
    suite.removeObjectForKey(PresetStore::keyName);
}

TEST_F(Widgets, MailingListPromptWalksFormProgressAndThanks) {
    testsupport::TempDir dir;
    LocalServer server;
    MailingListManager::Config config;
    config.endpointURL = server.url(QStringLiteral("/mailinglist.php"));
    config.privacyURL = QUrl(QStringLiteral("https://tessivo.org/privacy/"));
    config.bundleIdentifier = QStringLiteral("org.tessivo.Tessivo");
    auto store = platform::UserDefaults::open("shared", dir.path());
    config.store = [store] { return store; };
    config.timeZoneId = [] { return QStringLiteral("UTC"); };
    MailingListManager manager(config);
    MailingListPromptPresenter presenter(manager, &window);

    manager.showPromptIfEligible(true);
    MailingListPrompt* prompt = presenter.prompt();
    ASSERT_TRUE(prompt && prompt->isVisible());
    EXPECT_EQ(prompt->width(), 420);
    EXPECT_EQ(prompt->visibleState(), 0);
    EXPECT_FALSE(prompt->subscribeButton()->isEnabled());

    QTest::keyClicks(prompt->emailField(), QStringLiteral(" "));
    ASSERT_TRUE(prompt->subscribeButton()->isEnabled());
    QTest::keyClick(prompt->emailField(), Qt::Key_Return);
    EXPECT_TRUE(prompt->failureLabel()->isVisible());
    EXPECT_EQ(prompt->failureLabel()->text(), QStringLiteral("Please enter a valid email address."));
    // The borderless "Don't ask again" shows when Tab reaches it (Space there
    // would decline for good).
    prompt->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(prompt));
    const QImage unfocused = prompt->declineButton()->grab().toImage();
    prompt->declineButton()->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(prompt->declineButton()->hasFocus());
    EXPECT_NE(prompt->declineButton()->grab().toImage(), unfocused);

    // "Maybe later" closes; reopening starts with an empty form.
    prompt->laterButton()->click();
    EXPECT_FALSE(prompt->isVisible());
    EXPECT_EQ(manager.storedDecision(), MailingListManager::Decision::snoozed);
    manager.showPromptIfEligible(true);
    EXPECT_TRUE(prompt->isVisible());
    EXPECT_TRUE(prompt->emailField()->text().isEmpty());
    EXPECT_FALSE(prompt->failureLabel()->isVisible());

    server.respondWith(201);
    QTest::keyClicks(prompt->emailField(), QStringLiteral("me@example.org"));
    prompt->subscribeButton()->click();
    EXPECT_EQ(prompt->visibleState(), 1); // progress while the request runs
    ASSERT_TRUE(waitFor([&] { return prompt->visibleState() == 2; }));
    EXPECT_TRUE(manager.isOptedOut());
    // The thanks close by themselves (after a few seconds).
    EXPECT_TRUE(prompt->isVisible());
    EXPECT_TRUE(waitFor([&] { return !prompt->isVisible(); }, 30000));
    EXPECT_FALSE(manager.isPresented());
    EXPECT_EQ(manager.status().kind, MailingListManager::SubmitStatus::Kind::idle);
}

TEST_F(Widgets, UpdateResultsSayWhatHappenedAndOpenTheDownloadPage) {
    UpdateCheckResult newer;
    newer.kind = UpdateCheckResult::Kind::updateAvailable;
    newer.newest = {QStringLiteral("Tessivo 2.0"), QStringLiteral("2.0"),
                    QUrl(QStringLiteral("https://tessivo.org/get")), QStringLiteral("<script>x</script> Faster")};
    QMessageBox* box = makeUpdateResultDialog(newer, QStringLiteral("1.0"), &window);
    EXPECT_TRUE(box->informativeText().contains(QStringLiteral("2.0")));
    EXPECT_EQ(box->detailedText(), newer.newest.notes);
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
    box->open();
    QPushButton* download = nullptr;
    for (QAbstractButton* b : box->buttons())
        if (b->text() == QStringLiteral("Open Download Page")) download = qobject_cast<QPushButton*>(b);
    ASSERT_TRUE(download);
    download->click();
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls.front(), QUrl(QStringLiteral("https://tessivo.org/get")));

    UpdateCheckResult failed;
    failed.errorMessage = QStringLiteral("Host not found");
    box = makeUpdateResultDialog(failed, QStringLiteral("1.0"), &window);
    EXPECT_EQ(box->text(), QStringLiteral("Update check failed"));
    EXPECT_EQ(box->informativeText(), QStringLiteral("Host not found"));
    // Wide enough that a window manager does not cut the title.
    box->show();
    EXPECT_GE(box->width(), box->fontMetrics().horizontalAdvance(box->windowTitle()) + 120);
    EXPECT_GE(box->width(), 360);
    box->close();

    // The command is off while a check runs (and without a feed: see the
    // window's test), and the result is shown when it ends.
    LocalServer server;
    server.respondWith(200, "<rss version=\"2.0\"><channel></channel></rss>");
    Updater updater(server.url(QStringLiteral("/feed")), QStringLiteral("1.0"));
    QAction on(QStringLiteral("Check for Updates\u2026"));
    connectCheckForUpdates(on, updater, &window);
    EXPECT_TRUE(on.isEnabled());
    on.trigger();
    EXPECT_FALSE(on.isEnabled());
    QMessageBox* shown = nullptr;
    ASSERT_TRUE(waitFor([&] {
        for (QMessageBox* b : window.findChildren<QMessageBox*>())
            if (b->isVisible()) shown = b;
        return shown != nullptr;
    }));
    EXPECT_TRUE(on.isEnabled());
    EXPECT_EQ(shown->text(), QStringLiteral("You're up to date"));
    EXPECT_EQ(server.requests().size(), 1);
}
