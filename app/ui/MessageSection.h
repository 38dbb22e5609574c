#pragma once

// The message section: the kind of message ("message type", saved) and the
// form of that kind, whose fields edit the window's message fields directly.
// Switching kinds clears nothing.

#include <QWidget>

#include <array>
#include <memory>
#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace Defaults {
class ObservableBase;
class WidgetBinding;
} // namespace Defaults

namespace Tessivo {
class MainWindowState;
struct MessageFields;
} // namespace Tessivo

namespace Tessivo::ui {

class MessageSection : public QWidget {
    Q_OBJECT
public:
    MessageSection(MainWindowState& state, QWidget* parent = nullptr);
    ~MessageSection() override;

    QComboBox* kindPicker() const { return kindPicker_; }
    // The visible form's first field (where typing starts).
    QLineEdit* firstField() const;

signals:
    // A field changed; the preview should follow.
    void messageChanged();

private:
    QLineEdit* addField(QWidget* form, const QString& placeholder, std::string MessageFields::*field);
    void showFormOfStoredKind();

    MainWindowState& state_;
    QComboBox* kindPicker_ = nullptr;
    std::array<QWidget*, 7> forms_{};
    std::array<QLineEdit*, 7> firstFields_{};
    QLineEdit* textField_ = nullptr;
    QLineEdit* urlField_ = nullptr;
    QLineEdit* wifiPassword_ = nullptr;
    std::unique_ptr<Defaults::WidgetBinding> kindBinding_;
    std::unique_ptr<Defaults::ObservableBase> kindObserver_;
};

} // namespace Tessivo::ui
