#include "app/ui/MessageSection.h"

#include "app/core/MainWindowState.h"
#include "app/core/SettingsKeys.h"

#include "settings-store/qt/Observable.h"
#include "settings-store/qt/WidgetBinding.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace Tessivo::ui {

namespace {
QString qs(const std::string& s) { return QString::fromStdString(s); }
std::string ss(const QString& s) { return s.toStdString(); }

QWidget* makeForm(QWidget* parent) {
    auto* form = new QWidget(parent);
    auto* layout = new QVBoxLayout(form);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    return form;
}
} // namespace

MessageSection::MessageSection(MainWindowState& state, QWidget* parent) : QWidget(parent), state_(state) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 6);
    outer->setSpacing(6);

    // Header row: "Message", a spacer and the kind picker at the right end.
    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 6, 0, 0);
    auto* heading = new QLabel(tr("Message"), this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    header->addWidget(heading);
    header->addStretch(1);
    kindPicker_ = new QComboBox(this);
    kindPicker_->setMaximumWidth(140);
    kindPicker_->setAccessibleName(tr("Message"));
    for (auto kind : allMessageTypes) kindPicker_->addItem(tr(title(kind).data()), rawValue(kind));
    header->addWidget(kindPicker_);
    outer->addLayout(header);

    auto* forms = new QWidget(this);
    auto* formsLayout = new QVBoxLayout(forms);
    formsLayout->setContentsMargins(0, 0, 0, 6);
    formsLayout->setSpacing(0);
    outer->addWidget(forms);

    for (auto& form : forms_) {
        form = makeForm(forms);
        formsLayout->addWidget(form);
    }
    auto* text = forms_[0];
    auto* url = forms_[1];
    auto* email = forms_[2];
    auto* phone = forms_[3];
    auto* sms = forms_[4];
    auto* wifi = forms_[5];
    auto* vcard = forms_[6];

    // Text and URL edit the same string.
    textField_ = addField(text, tr("The text you want to include in your QR code"), &MessageFields::qrText);
    urlField_ = addField(url, QStringLiteral("https://www.example.com"), &MessageFields::qrText);
    connect(textField_, &QLineEdit::textEdited, urlField_, [this](const QString& t) { urlField_->setText(t); });
    connect(urlField_, &QLineEdit::textEdited, textField_, [this](const QString& t) { textField_->setText(t); });

    addField(email, tr("To"), &MessageFields::msgEmailTo);
    addField(email, tr("Subject (optional)"), &MessageFields::msgEmailSubject);
    addField(email, tr("Body (optional)"), &MessageFields::msgEmailBody);
    addField(phone, QStringLiteral("+1 555 555 5555"), &MessageFields::msgPhone);
    addField(sms, tr("Number"), &MessageFields::msgSmsTo);
    addField(sms, tr("Message (optional)"), &MessageFields::msgSmsBody);

    addField(wifi, tr("Network name (SSID)"), &MessageFields::msgWifiSSID);
    auto* securityRow = new QHBoxLayout;
    securityRow->setSpacing(8);
    securityRow->addWidget(new QLabel(tr("Security"), wifi));
    auto* security = new QComboBox(wifi);
    security->addItem(tr("WPA/WPA2"), int(wifiWPA));
    security->addItem(tr("WEP"), int(wifiWEP));
    security->addItem(tr("None"), int(wifiNoPassword));
    security->setAccessibleName(tr("Security"));
    security->setCurrentIndex(state_.fields.msgWifiAuth);
    securityRow->addWidget(security, 1);
    wifi->layout()->addItem(securityRow);
    // Shown in clear, as typed; hidden (but kept) while there is no security.
    wifiPassword_ = addField(wifi, tr("Password"), &MessageFields::msgWifiPassword);
    wifiPassword_->setVisible(state_.fields.msgWifiAuth != wifiNoPassword);
    connect(security, &QComboBox::currentIndexChanged, this, [this](int index) {
        state_.fields.msgWifiAuth = index < 0 ? int(wifiWPA) : index;
        wifiPassword_->setVisible(state_.fields.msgWifiAuth != wifiNoPassword);
        emit messageChanged();
    });
    auto* hidden = new QCheckBox(tr("Hidden network"), wifi);
    hidden->setChecked(state_.fields.msgWifiHidden);
    wifi->layout()->addWidget(hidden);
    connect(hidden, &QCheckBox::toggled, this, [this](bool on) {
        state_.fields.msgWifiHidden = on;
        emit messageChanged();
    });

    addField(vcard, tr("Name"), &MessageFields::msgVcardName);
    addField(vcard, tr("Organization (optional)"), &MessageFields::msgVcardOrg);
    addField(vcard, tr("Phone (optional)"), &MessageFields::msgVcardPhone);
    addField(vcard, tr("Email (optional)"), &MessageFields::msgVcardEmail);

    // The picker shows and writes "message type"; a stored value that names
    // no kind leaves the picker without a selection and shows the text form.
    kindBinding_ = Defaults::bindWidget(Keys::messageType(), kindPicker_);
    auto observer = std::make_unique<Defaults::Observable<int>>(Keys::messageType());
    connect(observer.get(), &Defaults::ObservableBase::objectWillChange, this, [this] {
        showFormOfStoredKind();
        emit messageChanged();
    });
    kindObserver_ = std::move(observer);
    showFormOfStoredKind();
}

MessageSection::~MessageSection() = default;

QLineEdit* MessageSection::addField(QWidget* form, const QString& placeholder, std::string MessageFields::*field) {
    auto* edit = new QLineEdit(form);
    // One character more than a symbol can hold in bytes: longer text is
    // cut there and still shows as too long, never as a shorter code.
    edit->setMaxLength(int(maximumMessageBytes) + 1);
    edit->setPlaceholderText(placeholder);
    edit->setAccessibleName(placeholder);
    // At the narrowest window a long placeholder is cut: the whole text
    // shows when the pointer rests on the field.
    edit->setToolTip(placeholder);
    edit->setText(qs(state_.fields.*field));
    form->layout()->addWidget(edit);
    const auto index = std::size_t(std::find(forms_.begin(), forms_.end(), form) - forms_.begin());
    if (index < firstFields_.size() && !firstFields_[index]) firstFields_[index] = edit;
    connect(edit, &QLineEdit::textChanged, this, [this, field](const QString& t) {
        std::string value = ss(t);
        if (state_.fields.*field == value) return;
        state_.fields.*field = std::move(value);
        emit messageChanged();
    });
    return edit;
}

void MessageSection::showFormOfStoredKind() {
    const auto kind = messageTypeFromRaw(Keys::messageType().get()).value_or(MessageType::text);
    for (std::size_t i = 0; i < forms_.size(); ++i) forms_[i]->setVisible(int(i) == rawValue(kind));
}

QLineEdit* MessageSection::firstField() const {
    const auto kind = messageTypeFromRaw(Keys::messageType().get()).value_or(MessageType::text);
    return firstFields_[std::size_t(rawValue(kind))];
}

} // namespace Tessivo::ui
