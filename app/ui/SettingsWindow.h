#pragma once

// The Settings window: the "General" tab with the layout, the "Colors" tab
// with the single foreground colour and the hex input. Every control writes
// its key at once; the open main window follows because it observes the
// same keys.

// Qt and the standard library first: moc needs their configuration before
// it reads the settings headers.
#include <QWidget>
#include <memory>
#include <vector>

#include "settings-store/qt/Default.h"
#include "settings-store/qt/WidgetBinding.h"

class QCheckBox;
class QLabel;
class QRadioButton;
class QTabWidget;

namespace Tessivo::ui {

class GeneralSettingsTab : public QWidget {
    Q_OBJECT
public:
    explicit GeneralSettingsTab(QWidget* parent = nullptr);
    QRadioButton* basicChoice() const { return basic_; }
    QRadioButton* advancedChoice() const { return advanced_; }

private:
    QRadioButton* basic_;
    QRadioButton* advanced_;
    std::unique_ptr<Defaults::WidgetBinding> binding_;
};

class ColorSettingsTab : public QWidget {
    Q_OBJECT
public:
    explicit ColorSettingsTab(QWidget* parent = nullptr);
    QCheckBox* unifiedColorToggle() const { return unified_; }
    QCheckBox* hexInputToggle() const { return hex_; }
    QLabel* unifiedCaption() const { return unifiedCaption_; }

private:
    void showLayout();

    Defaults::Default<int> layoutMode_;
    QCheckBox* unified_;
    QLabel* unifiedCaption_;
    QCheckBox* hex_;
    std::vector<std::unique_ptr<Defaults::WidgetBinding>> bindings_;
};

class SettingsView : public QWidget {
    Q_OBJECT
public:
    explicit SettingsView(QWidget* parent = nullptr);
    QTabWidget* tabs() const { return tabs_; }
    GeneralSettingsTab* generalTab() const { return general_; }
    ColorSettingsTab* colorTab() const { return colors_; }

protected:
    // Escape and the close command close the window, as a preferences
    // window of the desktop closes.
    void keyPressEvent(QKeyEvent* event) override;
    // Opens with the focus on a control, drawn.
    void showEvent(QShowEvent* event) override;

private:
    QWidget* firstControl() const;

    QTabWidget* tabs_;
    GeneralSettingsTab* general_;
    ColorSettingsTab* colors_;
};

} // namespace Tessivo::ui
