#pragma once

#include "app/core/MailingListManager.h"

#include <QDialog>
#include <QPointer>

class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;

namespace Tessivo {

// The newsletter invitation: a form (address, "Don't ask again", "Maybe
// later", "Subscribe"), a progress state while the request runs, and the
// thanks, which closes itself after 3.5 seconds. Follows the manager's
// status; closing it by any means clears the form.
class MailingListPrompt : public QDialog {
    Q_OBJECT
public:
    static constexpr int kThanksMilliseconds = 3500;

    MailingListPrompt(MailingListManager& manager, QWidget* parent = nullptr);

    QLineEdit* emailField() const { return email_; }
    QPushButton* subscribeButton() const { return subscribe_; }
    QPushButton* laterButton() const { return later_; }
    QPushButton* declineButton() const { return decline_; }
    QPushButton* doneButton() const { return done_; }
    QLabel* failureLabel() const { return failure_; }
    // 0 form, 1 progress, 2 thanks.
    int visibleState() const;

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void showStatus();

    MailingListManager& manager_;
    QStackedWidget* states_;
    QLineEdit* email_;
    QLabel* failure_;
    QPushButton* decline_;
    QPushButton* later_;
    QPushButton* subscribe_;
    QPushButton* done_;
    int thanksGeneration_ = 0;
};

// Shows the prompt as a sheet of the window whenever the manager asks for it
// and hides it when the manager says so.
class MailingListPromptPresenter : public QObject {
    Q_OBJECT
public:
    MailingListPromptPresenter(MailingListManager& manager, QWidget* window);
    MailingListPrompt* prompt() const { return prompt_; }

private:
    MailingListManager& manager_;
    QPointer<MailingListPrompt> prompt_;
};

} // namespace Tessivo
