#pragma once

#include <string>

#include <QDialog>
#include <QMenu>
#include <QPointer>

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

// Fills a "Presets" menu: the built-in presets, the user's presets, saving
// the current design and deleting a saved preset. Rebuilt each time the menu
// opens, so a preset saved a moment ago is already listed. Lives as a child
// of the menu.
class PresetsMenu : public QObject {
    Q_OBJECT
public:
    // `window` carries the naming sheet.
    PresetsMenu(QMenu& menu, QWidget* window);

    QMenu& menu() const { return menu_; }
    // Fills the menu from the presets as they are now.
    void rebuild();
    // Opens the naming sheet on the window; saves on "Save".
    void askToSave();

private:
    QMenu& menu_;
    QWidget* window_;
    QPointer<QMenu> deleteMenu_;
};

// A menu text that shows the name exactly: "&" is not a mnemonic here.
QString verbatimMenuText(const std::string& name);

} // namespace Tessivo
