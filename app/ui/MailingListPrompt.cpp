#include "app/ui/MailingListPrompt.h"

#include "app/ui/FocusOutline.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace Tessivo {
namespace {

QLabel* label(const QString& text, QWidget* parent, qreal scale = 1.0, bool bold = false, const char* color = nullptr) {
    auto* l = new QLabel(text, parent);
    l->setTextFormat(Qt::PlainText);
    QFont font = l->font();
    if (scale != 1.0) font.setPointSizeF(font.pointSizeF() * scale);
    font.setBold(bold);
    l->setFont(font);
    if (color) l->setStyleSheet(QStringLiteral("color: %1;").arg(QLatin1String(color)));
    return l;
}

} // namespace

MailingListPrompt::MailingListPrompt(MailingListManager& manager, QWidget* parent)
    : QDialog(parent), manager_(manager) {
    setWindowTitle(MailingListManager::promptTitle());
    setWindowModality(Qt::WindowModal);
    setFixedWidth(420);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(16);

    auto* header = new QVBoxLayout;
    header->setSpacing(6);
    header->addWidget(label(MailingListManager::promptTitle(), this, 1.4, true));
    QLabel* message = label(MailingListManager::promptMessage(), this, 0.95, false, "palette(placeholder-text)");
    message->setWordWrap(true);
    header->addWidget(message);
    layout->addLayout(header);

    states_ = new QStackedWidget(this);

    auto* form = new QWidget(states_);
    auto* formLayout = new QVBoxLayout(form);
    formLayout->setContentsMargins(0, 0, 0, 0);
    formLayout->setSpacing(10);
    email_ = new QLineEdit(form);
    email_->setPlaceholderText(QStringLiteral("you@example.com"));
    formLayout->addWidget(email_);
    failure_ = label(QString(), form, 0.85, false, "red");
    failure_->setWordWrap(true);
    failure_->hide();
    formLayout->addWidget(failure_);
    auto* row = new QHBoxLayout;
    decline_ = new QPushButton(QStringLiteral("Don't ask again"), form);
    decline_->setFlat(true);
    ui::outlineKeyboardFocus(*decline_, QStringLiteral("3px 6px"));
    decline_->setAutoDefault(false);
    later_ = new QPushButton(QStringLiteral("Maybe later"), form);
    later_->setAutoDefault(false);
    subscribe_ = new QPushButton(QStringLiteral("Subscribe"), form);
    subscribe_->setMinimumWidth(80);
    subscribe_->setDefault(true);
    subscribe_->setEnabled(false);
    row->addWidget(decline_);
    row->addStretch();
    row->addWidget(later_);
    row->addWidget(subscribe_);
    formLayout->addLayout(row);
    states_->addWidget(form);

    auto* progress = new QWidget(states_);
    auto* progressLayout = new QHBoxLayout(progress);
    progressLayout->setContentsMargins(0, 30, 0, 30);
    auto* spinner = new QProgressBar(progress);
    spinner->setRange(0, 0);
    spinner->setTextVisible(false);
    spinner->setMaximumWidth(160);
    progressLayout->addStretch();
    progressLayout->addWidget(spinner);
    progressLayout->addStretch();
    states_->addWidget(progress);

    auto* thanks = new QWidget(states_);
    auto* thanksLayout = new QVBoxLayout(thanks);
    thanksLayout->setContentsMargins(0, 6, 0, 6);
    thanksLayout->setSpacing(20);
    auto* words = new QVBoxLayout;
    words->setSpacing(4);
    QLabel* in = label(QStringLiteral("\u2714 You're in!"), thanks, 1.1, true, "green");
    in->setAlignment(Qt::AlignCenter);
    QLabel* thanked = label(QStringLiteral("Thanks for subscribing."), thanks, 0.95);
    thanked->setAlignment(Qt::AlignCenter);
    words->addWidget(in);
    words->addWidget(thanked);
    thanksLayout->addLayout(words);
    done_ = new QPushButton(QStringLiteral("Done"), thanks);
    done_->setAutoDefault(false);
    thanksLayout->addWidget(done_, 0, Qt::AlignCenter);
    states_->addWidget(thanks);
    layout->addWidget(states_);

    auto* divider = new QFrame(this);
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);
    layout->addWidget(divider);

    auto* footer = new QHBoxLayout;
    footer->setSpacing(12);
    const QUrl privacy = manager.config().privacyURL;
    if (privacy.isValid()) {
        auto* link = new QLabel(this);
        link->setTextFormat(Qt::RichText);
        link->setText(QStringLiteral("<a href=\"%1\">Privacy policy</a>")
                          .arg(privacy.toString(QUrl::FullyEncoded).toHtmlEscaped()));
        link->setOpenExternalLinks(true);
        QFont small = link->font();
        small.setPointSizeF(small.pointSizeF() * 0.85);
        link->setFont(small);
        footer->addWidget(link);
    }
    footer->addStretch();
    footer->addWidget(
        label(QStringLiteral("You can unsubscribe any time."), this, 0.85, false, "palette(placeholder-text)"));
    layout->addLayout(footer);

    connect(email_, &QLineEdit::textChanged, this,
            [this](const QString& text) { subscribe_->setEnabled(!text.isEmpty()); });
    connect(subscribe_, &QPushButton::clicked, this, [this] { manager_.subscribe(email_->text()); });
    connect(later_, &QPushButton::clicked, this, [this] { manager_.snooze(); });
    connect(decline_, &QPushButton::clicked, this, [this] { manager_.decline(); });
    connect(done_, &QPushButton::clicked, this, [this] { manager_.setPresented(false); });
    connect(&manager_, &MailingListManager::statusChanged, this, &MailingListPrompt::showStatus);
    showStatus();
}

int MailingListPrompt::visibleState() const { return states_->currentIndex(); }

void MailingListPrompt::showStatus() {
    using Kind = MailingListManager::SubmitStatus::Kind;
    const auto& status = manager_.status();
    switch (status.kind) {
    case Kind::idle:
    case Kind::failure:
        states_->setCurrentIndex(0);
        failure_->setText(status.message);
        failure_->setVisible(status.kind == Kind::failure);
        done_->setDefault(false);
        subscribe_->setDefault(true);
        break;
    case Kind::submitting: states_->setCurrentIndex(1); break;
    case Kind::success: {
        states_->setCurrentIndex(2);
        subscribe_->setDefault(false);
        done_->setDefault(true);
        done_->setFocus();
        const int generation = ++thanksGeneration_;
        QTimer::singleShot(kThanksMilliseconds, this, [this, generation] {
            if (generation == thanksGeneration_ && states_->currentIndex() == 2) manager_.setPresented(false);
        });
        break;
    }
    }
    adjustSize();
}

void MailingListPrompt::hideEvent(QHideEvent* event) {
    // Whatever closed the sheet, the next opening starts afresh.
    ++thanksGeneration_;
    email_->clear();
    manager_.setStatus({});
    manager_.setPresented(false);
    QDialog::hideEvent(event);
}

MailingListPromptPresenter::MailingListPromptPresenter(MailingListManager& manager, QWidget* window)
    : QObject(window), manager_(manager) {
    connect(&manager_, &MailingListManager::isPresentedChanged, this, [this, window](bool presented) {
        if (presented) {
            if (!prompt_) prompt_ = new MailingListPrompt(manager_, window);
            prompt_->open();
        } else if (prompt_ && prompt_->isVisible()) {
            prompt_->close();
        }
    });
}

} // namespace Tessivo
