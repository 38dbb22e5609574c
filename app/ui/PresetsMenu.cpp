#include "app/ui/PresetsMenu.h"

#include "app/core/Presets.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace Tessivo {

QString verbatimMenuText(const std::string& name) {
    QString text = QString::fromStdString(name);
    text.replace(QLatin1Char('&'), QLatin1String("&&"));
    return text;
}

SavePresetSheet::SavePresetSheet(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Save Preset"));
    setWindowModality(Qt::WindowModal);
    setFixedWidth(340);
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(12);
    layout->setContentsMargins(20, 20, 20, 20);

    auto* title = new QLabel(QStringLiteral("Save current design as preset"), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    layout->addWidget(title);

    name_ = new QLineEdit(this);
    name_->setPlaceholderText(QStringLiteral("Name"));
    name_->setAccessibleName(QStringLiteral("Name"));
    layout->addWidget(name_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setAutoDefault(false);
    save_ = new QPushButton(QStringLiteral("Save"), this);
    save_->setDefault(true);
    save_->setEnabled(false);
    buttons->addWidget(cancel);
    buttons->addWidget(save_);
    layout->addLayout(buttons);

    connect(name_, &QLineEdit::textChanged, this,
            [this](const QString& text) { save_->setEnabled(!text.trimmed().isEmpty()); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(save_, &QPushButton::clicked, this, &QDialog::accept);
}

PresetsMenu::PresetsMenu(QMenu& menu, QWidget* window) : QObject(&menu), menu_(menu), window_(window) {
    connect(&menu_, &QMenu::aboutToShow, this, &PresetsMenu::rebuild);
    rebuild();
}

void PresetsMenu::rebuild() {
    menu_.clear();
    // The submenu is a child of the menu, not of its action.
    if (deleteMenu_) deleteMenu_->deleteLater();
    menu_.addSection(QStringLiteral("Built-in"));
    for (const QRPreset& preset : builtInPresets()) {
        menu_.addAction(verbatimMenuText(preset.name), this, [preset] { applyPreset(preset); });
    }

    menu_.addSection(QStringLiteral("Your presets"));
    const std::vector<QRPreset> user = userPresetStore().presets(presetsMenuLimit);
    if (user.empty()) {
        QAction* none = menu_.addAction(QStringLiteral("No saved presets"));
        none->setEnabled(false);
    }
    for (const QRPreset& preset : user) {
        menu_.addAction(verbatimMenuText(preset.name), this, [preset] { applyPreset(preset); });
    }

    menu_.addSeparator();
    menu_.addAction(QStringLiteral("Save current as preset\u2026"), this, &PresetsMenu::askToSave);

    if (!user.empty()) {
        QMenu* remove = menu_.addMenu(QStringLiteral("Delete a saved preset"));
        deleteMenu_ = remove;
        for (const QRPreset& preset : user)
            remove->addAction(verbatimMenuText(preset.name), this, [preset] { deleteUserPreset(preset); });
    }
}

void PresetsMenu::askToSave() {
    auto* sheet = new SavePresetSheet(window_);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    connect(sheet, &QDialog::accepted, this, [this, sheet] {
        saveCurrentAsPreset(sheet->nameField()->text().trimmed().toStdString());
        rebuild();
    });
    sheet->open();
}

} // namespace Tessivo
