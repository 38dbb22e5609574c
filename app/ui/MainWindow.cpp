#include "app/ui/MainWindow.h"

#include "app/core/DocumentBuilder.h"
#include "app/core/MainWindowState.h"
#include "app/core/SettingsKeys.h"
#include "app/ui/Alerts.h"
#include "app/ui/Extensions.h"
#include "app/ui/FocusOutline.h"
#include "app/ui/MessageSection.h"
#include "app/ui/PreviewView.h"
#include "app/ui/SwitchToggle.h"
#include "app/ui/Symbols.h"

#include "settings-store/qt/Observable.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFrame>
#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace Tessivo::ui {

namespace {

QFrame* divider(QFrame::Shape shape, QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(shape);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

template <class V> std::unique_ptr<Defaults::ObservableBase> observe(const Defaults::Key<V>& key, MainWindow* window) {
    auto observable = std::make_unique<Defaults::Observable<V>>(key);
    QObject::connect(observable.get(), &Defaults::ObservableBase::objectWillChange, window,
                     [window] { window->schedulePreview(); });
    return observable;
}

// A filled green rectangle with a white check mark.
QPixmap successSymbol(int side) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(52, 199, 89));
    p.drawRoundedRect(QRectF(side * 0.05, side * 0.15, side * 0.9, side * 0.7), side * 0.12, side * 0.12);
    p.setPen(QPen(Qt::white, side * 0.08, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF(
        {QPointF(side * 0.3, side * 0.5), QPointF(side * 0.45, side * 0.64), QPointF(side * 0.72, side * 0.36)}));
    return pixmap;
}

// The success notice: a framed card over the window with the symbol and the
// message. It belongs to the window, so it needs no window manager.
class SuccessNotice : public QWidget {
public:
    explicit SuccessNotice(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("successNotice"));
        setFixedSize(300, 200);
        setAttribute(Qt::WA_StyledBackground, false);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(16, 16, 16, 16);
        layout->addStretch(1);
        auto* symbol = new QLabel(this);
        symbol->setPixmap(successSymbol(80));
        symbol->setAlignment(Qt::AlignCenter);
        layout->addWidget(symbol);
        auto* text = new QLabel(tr("Successfully generated QR image!"), this);
        QFont bold = text->font();
        bold.setBold(true);
        text->setFont(bold);
        text->setAlignment(Qt::AlignCenter);
        layout->addWidget(text);
        layout->addStretch(1);
        auto* shadow = new QGraphicsDropShadowEffect(this);
        shadow->setBlurRadius(24);
        shadow->setOffset(0, 4);
        shadow->setColor(QColor(0, 0, 0, 90));
        setGraphicsEffect(shadow);
        hide();
    }

    // Centred over the window's content.
    void place() {
        const QWidget* area = parentWidget();
        move((area->width() - width()) / 2, (area->height() - height()) / 2);
        raise();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QColor border = palette().color(QPalette::Mid);
        painter.setPen(QPen(border, 1));
        painter.setBrush(palette().color(QPalette::Window).lighter(104));
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 12, 12);
    }
};

// The menu bar from the keyboard as in the desktop's other programs. F10
// opens the first menu, as Alt and a title's letter opens that menu. One
// Escape closes an open menu and gives the focus back to the control that
// had it: Qt's menu bar would keep the focus, its title highlighted, until
// a second Escape, and Tab would move along the titles meanwhile.
class MenuBarKeys : public QObject {
public:
    explicit MenuBarKeys(QMenuBar& bar) : QObject(&bar), bar_(bar) {
        for (QAction* title : bar.actions())
            if (QMenu* menu = title->menu()) menu->installEventFilter(this);
        auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), bar.window());
        connect(f10, &QShortcut::activated, this, &MenuBarKeys::openFirstMenu);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || !static_cast<QKeyEvent*>(event)->matches(QKeySequence::Cancel))
            return false;
        static_cast<QMenu*>(watched)->hide();
        // The menu bar's own way out of its keyboard mode, which puts the
        // focus back where it was.
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(&bar_, &escape);
        return true;
    }

private:
    // Opened with its first command chosen, as Alt and a letter opens it.
    void openFirstMenu() {
        const QList<QAction*> titles = bar_.actions();
        if (titles.isEmpty() || !titles.front()->menu()) return;
        QMenu* menu = titles.front()->menu();
        bar_.setActiveAction(titles.front());
        for (QAction* item : menu->actions()) {
            if (item->isVisible() && item->isEnabled() && !item->isSeparator()) {
                menu->setActiveAction(item);
                break;
            }
        }
    }

    QMenuBar& bar_;
};

} // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), state_(std::make_unique<MainWindowState>()) {
    setWindowTitle(QStringLiteral("Tessivo"));

    auto* content = new QWidget(this);
    content->setMinimumWidth(minimumContentWidth);
    content->setMaximumWidth(maximumContentWidth);
    content->setFixedHeight(contentHeight);
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    // Top row: preview | divider | message section above the design panel.
    auto* top = new QHBoxLayout;
    top->setSpacing(0);
    preview_ = new PreviewView(content);
    top->addWidget(preview_, 0, Qt::AlignCenter);
    top->addWidget(divider(QFrame::VLine, content));
    // The column is padded 20 points on every side; the panel's scroll bar
    // lies in the right-hand padding, so the panel is as wide as the message
    // section and its controls keep a gap to the bar.
    designScroll_ = new QScrollArea(content);
    // The panel's controls take the focus and are scrolled into view as the
    // keyboard reaches them, also from outside the panel; the scrolling area
    // itself would be a stop that shows nothing.
    designScroll_->setFocusPolicy(Qt::NoFocus);
    keepFocusInView(*designScroll_);
    const int barWidth = designScroll_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, designScroll_);
    const int barGap = 4;
    const int rightEdge = std::max(0, columnPadding - barWidth - barGap);
    auto* right = new QVBoxLayout;
    right->setContentsMargins(columnPadding, columnPadding, rightEdge, columnPadding);
    right->setSpacing(0);
    messageSection_ = new MessageSection(*state_, content);
    messageSection_->setContentsMargins(0, 0, columnPadding - rightEdge, 0);
    right->addWidget(messageSection_);
    designScroll_->setWidgetResizable(true);
    designScroll_->setFrameShape(QFrame::NoFrame);
    designScroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    designScroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    designPanel_ = makeDesignPanel(*this, designScroll_);
    designPanel_->setContentsMargins(0, 0, std::max(barGap, columnPadding - rightEdge - barWidth), 0);
    designScroll_->setWidget(designPanel_);
    right->addWidget(designScroll_, 1);
    top->addLayout(right, 1);
    column->addLayout(top, 1);
    column->addWidget(divider(QFrame::HLine, content));
    column->addWidget(buildBottomBar(content));
    setCentralWidget(content);

    renderer_ = new PreviewRenderer(*state_, *preview_, this);
    connect(messageSection_, &MessageSection::messageChanged, this, &MainWindow::schedulePreview);
    // Every key the document is built from.
    DesignValues::forEachKey([this](const auto& key, auto) { observers_.push_back(observe(key, this)); });

    buildToolbar();
    buildMenus();
    holdSizeLimits();
    resize(minimumSize());
    schedulePreview();
}

MainWindow::~MainWindow() {
    // The widgets and the renderer refer to the state: let them go first.
    delete renderer_;
    delete takeCentralWidget();
}

void MainWindow::schedulePreview() { renderer_->schedule(); }

QWidget* MainWindow::buildBottomBar(QWidget* parent) {
    auto* bar = new QWidget(parent);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(25, 4, 25, 4);
    row->addWidget(new SwitchToggle(tr("Show hints"), Keys::showHints(), bar));
    row->addStretch(1);
    auto* reset = new QPushButton(tr("Reset to defaults"), bar);
    reset->setFlat(true);
    // Space on it opens the reset confirmation: it must show when it has
    // the focus.
    outlineKeyboardFocus(*reset, QStringLiteral("3px 6px"));
    reset->setObjectName(QStringLiteral("resetToDefaults"));
    connect(reset, &QPushButton::clicked, this, &MainWindow::confirmResetToDefaults);
    row->addWidget(reset);
    return bar;
}

void MainWindow::buildToolbar() {
    auto* toolbar = addToolBar(tr("Toolbar"));
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    toolbar->toggleViewAction()->setEnabled(false);
    auto* spacer = new QWidget(toolbar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    toolbar->addWidget(spacer);

    auto makeMenuButton = [&](const QString& title, Symbol symbol, QMenu*& menu, QToolButton*& button) {
        menu = new QMenu(title, this);
        button = new QToolButton(toolbar);
        button->setText(title);
        button->setIcon(symbolIcon(symbol, button, QPalette::ButtonText));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setPopupMode(QToolButton::InstantPopup);
        button->setMenu(menu);
        toolbar->addWidget(button);
    };
    makeMenuButton(tr("Presets"), Symbol::palette, presetsMenu_, presetsButton_);
    makeMenuButton(tr("Actions"), Symbol::send, actionsMenu_, actionsButton_);
    fillPresetsMenu(*this, *presetsMenu_);
    fillActionsMenu(*this, *actionsMenu_);
    // A button whose menu stays empty would open nothing.
    auto follow = [](QToolButton* button, QMenu* menu) {
        auto update = [button, menu] { button->setEnabled(!menu->actions().isEmpty()); };
        update();
        QObject::connect(menu, &QMenu::aboutToShow, button, update);
    };
    follow(presetsButton_, presetsMenu_);
    follow(actionsButton_, actionsMenu_);
}

void MainWindow::buildMenus() {
    auto* app = menuBar()->addMenu(QStringLiteral("&Tessivo"));
    auto* about = app->addAction(tr("About Tessivo"));
    connect(about, &QAction::triggered, this, [this] {
        QMessageBox::about(this, tr("About Tessivo"),
                           tr("<b>Tessivo</b> %1<br>Design QR codes with your own shapes and colours.")
                               .arg(QApplication::applicationVersion()));
    });
    app->addSeparator();
    checkForUpdatesAction_ = app->addAction(tr("Check for Updates…"));
    checkForUpdatesAction_->setEnabled(false);
    app->addSeparator();
    settingsAction_ = app->addAction(tr("Settings…"));
    connectSettingsWindow(*this, *settingsAction_);
    app->addSeparator();
    auto* hide = app->addAction(tr("Hide Tessivo"));
    connect(hide, &QAction::triggered, this, &MainWindow::hideApplication);
    auto* quit = app->addAction(tr("Quit Tessivo"));
    quit->setShortcut(QKeySequence::Quit);
    quit->setMenuRole(QAction::QuitRole);
    connect(quit, &QAction::triggered, qApp, &QCoreApplication::quit);

    // No "New": there is one window, and it is always there.
    auto* file = menuBar()->addMenu(tr("&File"));
    auto* close = file->addAction(tr("Close Window"));
    close->setShortcut(QKeySequence::Close);
    connect(close, &QAction::triggered, this, &MainWindow::hideApplication);

    auto* help = menuBar()->addMenu(tr("&Help"));
    contactSupportAction_ = help->addAction(tr("Contact Support"));
    contactSupportAction_->setEnabled(false);
    subscribeAction_ = help->addAction(tr("Subscribe to Newsletter…"));
    subscribeAction_->setEnabled(false);

    new MenuBarKeys(*menuBar());
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The window keeps its message and design; a second start or the
    // desktop's activation shows it again. Quit does not come here: it ends
    // the event loop without asking the windows (ApplicationLifetime).
    event->ignore();
    hideApplication();
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    holdSizeLimits();
    // Typing starts in the message field when the window first appears.
    if (!shownBefore_) {
        shownBefore_ = true;
        if (QWidget* field = messageSection_->firstField()) field->setFocus(Qt::ActiveWindowFocusReason);
    }
}

bool MainWindow::event(QEvent* event) {
    const bool handled = QMainWindow::event(event);
    switch (event->type()) {
    case QEvent::LayoutRequest:
    case QEvent::FontChange:
    case QEvent::StyleChange: holdSizeLimits(); break;
    default: break;
    }
    return handled;
}

void MainWindow::holdSizeLimits() {
    // The menu bar, the toolbar and the content's least size; the content's
    // height is fixed, so this is the window's one height.
    const QSize least = layout()->totalMinimumSize();
    const QSize minimum(std::max(minimumContentWidth, least.width()), least.height());
    const QSize maximum(std::max(maximumContentWidth, minimum.width()), least.height());
    if (minimumSize() != minimum) setMinimumSize(minimum);
    if (maximumSize() != maximum) setMaximumSize(maximum);
}

void MainWindow::hideApplication() {
    // Popups and tool tips close by themselves; every other window goes
    // with the program and comes back with it.
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget == this || !widget->isVisible()) continue;
        switch (widget->windowType()) {
        case Qt::Popup:
        case Qt::ToolTip:
        case Qt::Desktop:
        case Qt::SplashScreen: continue;
        default: break;
        }
        hiddenWindows_.emplace_back(widget);
        widget->hide();
    }
    hide();
}

void MainWindow::bringToFront() {
    show();
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    raise();
    activateWindow();
    // The windows hidden with the program, above the main window.
    const auto hidden = std::exchange(hiddenWindows_, {});
    for (const QPointer<QWidget>& widget : hidden) {
        if (!widget) continue;
        widget->show();
        widget->raise();
    }
}

void MainWindow::showExportError(const QString& message) {
    exportErrorMessage_ = message;
    if (exportAlert_) {
        exportAlert_->setInformativeText(message);
        return;
    }
    auto* alert = new QMessageBox(QMessageBox::Warning, tr("Export failed"), message, QMessageBox::NoButton, this);
    alert->setWindowModality(Qt::WindowModal);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->addButton(tr("OK"), QMessageBox::RejectRole);
    alert->setText(tr("Export failed"));
    alert->setInformativeText(message);
    giveAlertWidth(*alert);
    // Any way of closing it (OK, Escape) clears the text, so the next
    // failure shows it again.
    connect(alert, &QDialog::finished, this, [this] { exportErrorMessage_.reset(); });
    exportAlert_ = alert;
    alert->open();
}

void MainWindow::showSuccessNotice() {
    if (!successNotice_) successNotice_ = new SuccessNotice(this);
    auto* notice = static_cast<SuccessNotice*>(successNotice_.data());
    notice->place();
    notice->show();
    // Each success hides the notice 2 seconds later, whatever came between:
    // a second success while it shows does not keep it longer.
    QTimer::singleShot(successNoticeDuration, notice, &QWidget::hide);
}

bool MainWindow::isSuccessNoticeShown() const { return successNotice_ && successNotice_->isVisible(); }

void MainWindow::confirmResetToDefaults() {
    if (resetConfirmation_) return;
    auto* box = new QMessageBox(this);
    box->setIcon(QMessageBox::Warning);
    box->setWindowTitle(tr("Are you sure?"));
    box->setText(tr("Are you sure?"));
    box->setInformativeText(
        tr("You are going to reset all settings to their default values, so all changes will be lost!"));
    auto* proceed = box->addButton(tr("Proceed"), QMessageBox::DestructiveRole);
    auto* cancel = box->addButton(tr("Cancel"), QMessageBox::RejectRole);
    // Return must not run the destructive choice.
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    proceed->setAutoDefault(false);
    giveAlertWidth(*box);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    connect(box, &QMessageBox::buttonClicked, this, [proceed](QAbstractButton* button) {
        if (button == proceed) resetToDefaults();
    });
    resetConfirmation_ = box;
    box->open();
}

} // namespace Tessivo::ui
