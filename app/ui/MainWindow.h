#pragma once

// The main window: the live preview beside the message section and the
// scrolling design panel, a bottom bar ("Show hints", "Reset to defaults"),
// the toolbar's "Presets" and "Actions" menus, and the menus of the
// application. Closing the window hides it; Quit ends the program.

#include <QDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>

#include <memory>
#include <optional>
#include <vector>

class QAction;
class QMenu;
class QScrollArea;
class QToolButton;

// Kept out of this header: the settings store's templates are more C++ than
// the meta-object compiler reads.
namespace Defaults {
class ObservableBase;
} // namespace Defaults

namespace Tessivo {
class MainWindowState;
}

namespace Tessivo::ui {

class MessageSection;
class PreviewRenderer;
class PreviewView;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int minimumContentWidth = 800;
    static constexpr int maximumContentWidth = 1000;
    static constexpr int contentHeight = 580;
    // Around the message section and the design panel.
    static constexpr int columnPadding = 20;

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The message fields, the logo and the shape lists.
    MainWindowState& state() { return *state_; }
    // Rebuilds the preview at the next turn of the event loop (settings keys
    // are followed without it; view state such as the logo needs it).
    void schedulePreview();

    PreviewView& preview() const { return *preview_; }
    PreviewRenderer& previewRenderer() const { return *renderer_; }
    MessageSection& messageSection() const { return *messageSection_; }
    QWidget* designPanel() const { return designPanel_; }
    QScrollArea* designScroll() const { return designScroll_; }

    QMenu& presetsMenu() const { return *presetsMenu_; }
    QMenu& actionsMenu() const { return *actionsMenu_; }
    QToolButton& presetsButton() const { return *presetsButton_; }
    QToolButton& actionsButton() const { return *actionsButton_; }
    // Disabled until their windows and commands exist.
    QAction& settingsAction() const { return *settingsAction_; }
    QAction& checkForUpdatesAction() const { return *checkForUpdatesAction_; }
    QAction& contactSupportAction() const { return *contactSupportAction_; }
    QAction& subscribeAction() const { return *subscribeAction_; }

    // The "Export failed" alert with the text; a second failure while it is
    // shown replaces the text. Dismissing it clears the text.
    void showExportError(const QString& message);
    std::optional<QString> exportErrorMessage() const { return exportErrorMessage_; }
    // The success notice, hidden again 2 seconds after each success.
    static constexpr int successNoticeDuration = 2000;
    void showSuccessNotice();
    bool isSuccessNoticeShown() const;
    // The reset confirmation; "Proceed" resets the design keys.
    void confirmResetToDefaults();
    QMessageBox* resetConfirmation() const { return resetConfirmation_; }
    QMessageBox* exportAlert() const { return exportAlert_; }

    // Hides the program: this window and every other window it shows (the
    // Settings window, a colour dialog). bringToFront brings them back.
    void hideApplication();
    // Shows, raises and activates the window (a second start of the program),
    // and the windows that hideApplication hid.
    void bringToFront();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    void buildMenus();
    QWidget* buildBottomBar(QWidget* parent);
    void buildToolbar();
    // The window's own limits: the content's width range and its height,
    // with the menu bar and the toolbar, so that the window manager offers
    // no size the layout cannot fill.
    void holdSizeLimits();

    std::unique_ptr<MainWindowState> state_;
    PreviewView* preview_ = nullptr;
    PreviewRenderer* renderer_ = nullptr;
    MessageSection* messageSection_ = nullptr;
    QScrollArea* designScroll_ = nullptr;
    QWidget* designPanel_ = nullptr;

    QMenu* presetsMenu_ = nullptr;
    QMenu* actionsMenu_ = nullptr;
    QToolButton* presetsButton_ = nullptr;
    QToolButton* actionsButton_ = nullptr;
    QAction* settingsAction_ = nullptr;
    QAction* checkForUpdatesAction_ = nullptr;
    QAction* contactSupportAction_ = nullptr;
    QAction* subscribeAction_ = nullptr;

    std::optional<QString> exportErrorMessage_;
    QPointer<QMessageBox> exportAlert_;
    QPointer<QMessageBox> resetConfirmation_;
    QPointer<QWidget> successNotice_;

    std::vector<QPointer<QWidget>> hiddenWindows_;
    bool shownBefore_ = false;

    std::vector<std::unique_ptr<Defaults::ObservableBase>> observers_;
};

} // namespace Tessivo::ui
