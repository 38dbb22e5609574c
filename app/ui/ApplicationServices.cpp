#include "app/ui/ApplicationServices.h"

#include "app/core/BuildConfig.h"
#include "app/core/SupportMail.h"
#include "app/ui/MailingListPrompt.h"
#include "app/ui/MainWindow.h"
#include "app/ui/UpdateDialog.h"

#include <QAction>

namespace Tessivo::ui {

ApplicationServices::ApplicationServices(MainWindow& window)
    : ApplicationServices(
          window,
          std::make_unique<Updater>(QUrl(QString::fromUtf8(kUpdateFeedURL)), QString::fromLatin1(kApplicationVersion)),
          std::make_unique<MailingListManager>(MailingListManager::defaultConfig())) {}

ApplicationServices::ApplicationServices(MainWindow& window, std::unique_ptr<Updater> updater,
                                         std::unique_ptr<MailingListManager> mailingList)
    : updater_(std::move(updater)), mailingList_(std::move(mailingList)) {
    attach(window);
}

void ApplicationServices::attach(MainWindow& window) {
    connectCheckForUpdates(window.checkForUpdatesAction(), *updater_, &window);

    QAction& support = window.contactSupportAction();
    support.setEnabled(true);
    connect(&support, &QAction::triggered, this, [] { contactSupport(); });

    // "Subscribe to Newsletter…" is there until the user has answered for good.
    QAction& subscribe = window.subscribeAction();
    subscribe.setEnabled(true);
    subscribe.setVisible(!mailingList_->isOptedOut());
    connect(mailingList_.get(), &MailingListManager::isOptedOutChanged, &subscribe,
            [&subscribe](bool optedOut) { subscribe.setVisible(!optedOut); });
    connect(&subscribe, &QAction::triggered, this, [this] { mailingList_->showPromptIfEligible(true); });

    // The prompt does not open by itself while an update check runs.
    Updater* updater = updater_.get();
    mailingList_->setUpdaterBusyCheck([updater] { return updater->sessionInProgress(); });
    new MailingListPromptPresenter(*mailingList_, &window);
}

} // namespace Tessivo::ui
