#pragma once

#include "app/core/MailingListManager.h"
#include "app/core/Updater.h"

#include <QObject>

#include <memory>

namespace Tessivo::ui {

class MainWindow;

// The process's updater and mailing-list manager, and the window's commands
// that use them: "Check for Updates…", "Contact Support", "Subscribe to
// Newsletter…" and the newsletter prompt. Made once, after the window.
class ApplicationServices : public QObject {
    Q_OBJECT
public:
    // The build's feed address and endpoint.
    explicit ApplicationServices(MainWindow& window);
    // Given services (tests).
    ApplicationServices(MainWindow& window, std::unique_ptr<Updater> updater,
                        std::unique_ptr<MailingListManager> mailingList);

    Updater& updater() const { return *updater_; }
    MailingListManager& mailingList() const { return *mailingList_; }

    // Counts this launch; the prompt may open a little later.
    void registerLaunch() { mailingList_->registerLaunch(); }

private:
    void attach(MainWindow& window);

    std::unique_ptr<Updater> updater_;
    std::unique_ptr<MailingListManager> mailingList_;
};

} // namespace Tessivo::ui
