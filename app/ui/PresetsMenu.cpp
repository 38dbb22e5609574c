#include "app/ui/PresetsMenu.h"

#include "app/core/Presets.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace Tessivo {

QString verbatimMenuText(const std::string& name)
{
    QString text = QString::fromStdString(name);
    text.replace(QLatin1Char('&'), QLatin1String("&&"));
    return text;
}

SavePresetSheet::SavePresetSheet(QWidget* parent) : QDialog(parent)
{
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

PresetsMenu::PresetsMenu(QWidget* parent) : QMenu(QStringLiteral("Presets"), parent)
{
    setIcon(QIcon::fromTheme(QStringLiteral("preferences-desktop-color")));
    connect(this, &QMenu::aboutToShow, this, &PresetsMenu::rebuild);
    rebuild();
}

QWidget* PresetsMenu::sheetParent() const
{
    return parentWidget() ? parentWidget()->window() : nullptr;
}

void PresetsMenu::rebuild()
{
    clear();
    addSection(QStringLiteral("Built-in"));
    for (const QRPreset& preset : builtInPresets()) {
        addAction(verbatimMenuText(preset.name), this, [this, preset] {
            applyPreset(preset);
            emit presetApplied(QString::fromStdString(preset.name));
        });
    }

    addSection(QStringLiteral("Your presets"));
    const std::vector<QRPreset> user = userPresetStore().presets();
    if (user.empty()) {
        QAction* none = addAction(QStringLiteral("No saved presets"));
        none->setEnabled(false);
    }
    for (const QRPreset& preset : user) {
        addAction(verbatimMenuText(preset.name), this, [this, preset] {
            applyPreset(preset);
            emit presetApplied(QString::fromStdString(preset.name));
        });
    }

    addSeparator();
    addAction(QStringLiteral("Save current as preset\u2026"), this, &PresetsMenu::askToSave);

    if (!user.empty()) {
        QMenu* remove = addMenu(QStringLiteral("Delete a saved preset"));
        for (const QRPreset& preset : user)
            remove->addAction(verbatimMenuText(preset.name), this, [this, preset] {
                deleteUserPreset(preset);
                rebuild();
            });
    }
}

void PresetsMenu::askToSave()
{
    auto* sheet = new SavePresetSheet(sheetParent());
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    connect(sheet, &QDialog::accepted, this, [this, sheet] {
        saveCurrentAsPreset(sheet->nameField()->text().trimmed().toStdString());
        rebuild();
    });
    sheet->open();
}

} // namespace Tessivo
