// The commands as they are reached from the running window: the toolbar's
// menus and the Help and application menus.
#include "app/core/MainWindowState.h"
#include "app/core/SettingsKeys.h"
#include "app/ui/ApplicationServices.h"
#include "app/ui/MailingListPrompt.h"
#include "app/ui/MainWindow.h"

#include "../services/LocalServer.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QUrlQuery>

#include <gtest/gtest.h>

using namespace Tessivo;

namespace {

QAction* findAction(const QMenu& menu, const QString& text) {
    for (QAction* a : menu.actions())
        if (a->text() == text) return a;
    return nullptr;
}

// Answers the next save dialog with `path`, as a user typing a name would.
void answerSaveDialog(const QString& path, QString* suggested) {
    QTimer::singleShot(100, [path, suggested] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<QFileDialog*>(w); dialog && dialog->isVisible()) {
                if (suggested) *suggested = dialog->selectedFiles().value(0);
                auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                if (name) name->setText(path);
                QMetaObject::invokeMethod(dialog, "accept");
                return;
            }
    });
}

} // namespace

TEST(MainWindowCommands, ExportCopyAndTheHelpMenuWork) {
    for (const auto* key : Keys::all()) key->reset();
    testsupport::TempDir dir;
    ui::MainWindow window;
    LocalServer server;
    MailingListManager::Config config;
    config.endpointURL = server.url(QStringLiteral("/mailinglist.php"));
    auto store = platform::UserDefaults::open("shared", dir.path());
    config.store = [store] { return store; };
    ui::ApplicationServices services(window, std::make_unique<Updater>(QUrl(), QStringLiteral("1.0")),
                                     std::make_unique<MailingListManager>(config));
    window.show();

    // No message yet: the guard text, and no dialog.
    findAction(window.actionsMenu(), QStringLiteral("PNG"))->trigger();
    EXPECT_EQ(window.exportErrorMessage().value_or(QString()),
              QStringLiteral("Enter a message first to generate a QR code."));
    window.exportAlert()->close();

    window.state().fields.qrText = "From the window";
    QString suggested;
    answerSaveDialog(QString::fromStdString((dir / "mine").string()), &suggested);
    findAction(window.actionsMenu(), QStringLiteral("SVG"))->trigger();
    EXPECT_TRUE(suggested.endsWith(QStringLiteral("/qrcode.svg"))) << suggested.toStdString();
    ASSERT_TRUE(waitFor([&] { return window.isSuccessNoticeShown(); }));
    EXPECT_TRUE(testsupport::readTextFile(dir / "mine.svg").find("<svg") != std::string::npos);

    // The presets menu is filled and applies.
    findAction(window.presetsMenu(), QStringLiteral("Leaf"))->trigger();
    EXPECT_EQ(Keys::pixelShapeIdx().get(), 2);

    // Help: Contact Support hands a mail to the mail program.
    UrlCatcher mail;
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &mail, "open");
    ASSERT_TRUE(window.contactSupportAction().isEnabled());
    window.contactSupportAction().trigger();
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
    ASSERT_EQ(mail.urls.size(), 1);
    EXPECT_TRUE(QUrlQuery(mail.urls.front()).queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded)
                    .endsWith(QStringLiteral(" Support Request")));

    // Without a feed address the update command stays off.
    EXPECT_FALSE(window.checkForUpdatesAction().isEnabled());

    // "Subscribe to Newsletter…" opens the prompt; "Don't ask again" hides
    // the command for good.
    ASSERT_TRUE(window.subscribeAction().isVisible());
    window.subscribeAction().trigger();
    auto* prompt = window.findChild<MailingListPrompt*>();
    ASSERT_TRUE(prompt && prompt->isVisible());
    prompt->declineButton()->click();
    EXPECT_FALSE(prompt->isVisible());
    EXPECT_FALSE(window.subscribeAction().isVisible());
}
