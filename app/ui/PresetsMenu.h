#pragma once

#include <string>

#include <QDialog>
#include <QMenu>

class QLineEdit;
class QPushButton;

namespace Tessivo {

// Asks for the name of a new preset. "Save" stays disabled while the name is
// empty once white space is trimmed.
class SavePresetSheet : public QDialog {
    Q_OBJECT
public:
    explicit SavePresetSheet(QWidget* parent = nullptr);
    QLineEdit* nameField() const { return name_; }
    QPushButton* saveButton() const { return save_; }

private:
    QLineEdit* name_;
    QPushButton* save_;
};

// "Presets": the built-in presets, the user's presets, saving the current
// design and deleting a saved preset. Rebuilt each time it opens, so a
// preset saved a moment ago is already listed.
class PresetsMenu : public QMenu {
    Q_OBJECT
public:
    explicit PresetsMenu(QWidget* parent = nullptr);

    // Fills the menu from the presets as they are now.
    void rebuild();
    // Opens the naming sheet on the menu's window; saves on "Save".
    void askToSave();

signals:
    void presetApplied(const QString& name);

private:
    QWidget* sheetParent() const;
};

// A menu text that shows the name exactly: "&" is not a mnemonic here.
QString verbatimMenuText(const std::string& name);

} // namespace Tessivo
