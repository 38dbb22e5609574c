#include "app/ui/SettingsWindow.h"

#include "app/core/SettingsKeys.h"
#include "app/ui/Symbols.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace Tessivo::ui {

namespace {

QLabel* caption(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * 0.85);
    label->setFont(font);
    QPalette dimmed = label->palette();
    dimmed.setColor(QPalette::WindowText, dimmed.color(QPalette::PlaceholderText));
    label->setPalette(dimmed);
    return label;
}

} // namespace

GeneralSettingsTab::GeneralSettingsTab(QWidget* parent) : QWidget(parent) {
    setFixedSize(440, 180);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(20, 20, 20, 20);
    auto* form = new QFormLayout;
    auto* choices = new QVBoxLayout;
    basic_ = new QRadioButton("Basic", this);
    advanced_ = new QRadioButton("Advanced", this);
    choices->addWidget(basic_);
    choices->addWidget(advanced_);
    auto* group = new QButtonGroup(this);
    group->addButton(basic_, 0);
    group->addButton(advanced_, 1);
    form->addRow("Layout", choices);
    column->addLayout(form);
    column->addWidget(caption("Basic shows only the message, a single foreground color, and background options \u2014 "
                              "ideal for quick codes. Advanced unlocks per-section shapes, logo embedding, and "
                              "error-correction tuning.",
                              this));
    column->addStretch(1);

    // Every value but 0 is the Advanced layout, and shows as such; only a
    // click writes the key.
    binding_ = Defaults::bindWidget(
        Keys::layoutMode(), group, &QButtonGroup::idClicked,
        [this](QButtonGroup&, int mode) { (mode == 0 ? basic_ : advanced_)->setChecked(true); },
        [this](const QButtonGroup& g) {
            // Checked Advanced stands for whatever non-zero value is stored.
            const int id = g.checkedId();
            if (id == 1 && Keys::layoutMode().get() != 0) return Keys::layoutMode().get();
            return id;
        });
}

ColorSettingsTab::ColorSettingsTab(QWidget* parent) : QWidget(parent), layoutMode_(Keys::layoutMode()) {
    setFixedSize(440, 220);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(20, 20, 20, 20);
    unified_ = new QCheckBox("Use a single color for the whole QR code", this);
    column->addWidget(unified_);
    unifiedCaption_ = caption(QString(), this);
    column->addWidget(unifiedCaption_);
    column->addSpacing(4);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    column->addWidget(line);
    column->addSpacing(4);
    hex_ = new QCheckBox("Use hex input instead of color picker", this);
    column->addWidget(hex_);
    column->addWidget(caption("Type a #RRGGBB value directly instead of opening the system color picker.", this));
    column->addStretch(1);

    bindings_.push_back(Defaults::bindWidget(Keys::unifiedColor(), unified_));
    bindings_.push_back(Defaults::bindWidget(Keys::useHexColorInput(), hex_));
    connect(&layoutMode_.observable(), &Defaults::ObservableBase::objectWillChange, this, [this] { showLayout(); });
    showLayout();
}

void ColorSettingsTab::showLayout() {
    const bool basic = layoutMode_.wrappedValue() == 0;
    unified_->setEnabled(!basic);
    unifiedCaption_->setText(basic ? "Basic layout always uses a single foreground color. Switch to Advanced in "
                                     "General to control eye/pupil/pixel colors independently."
                                   : "When off, eye/pupil/pixel colors can be set independently.");
}

SettingsView::SettingsView(QWidget* parent) : QWidget(parent) {
    setWindowTitle("Settings");
    tabs_ = new QTabWidget(this);
    general_ = new GeneralSettingsTab;
    colors_ = new ColorSettingsTab;
    tabs_->addTab(general_, symbolIcon(Symbol::gear, tabs_->tabBar()), "General");
    tabs_->addTab(colors_, symbolIcon(Symbol::palette, tabs_->tabBar()), "Colors");
    auto* column = new QVBoxLayout(this);
    column->addWidget(tabs_);
    column->setSizeConstraint(QLayout::SetFixedSize);
}

void SettingsView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Cancel) || event->matches(QKeySequence::Close)) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void SettingsView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The window opens with the focus on a control, and shows it: on the
    // first opening the current tab's first control; later, the control
    // that had it when the window closed.
    if (!focusWidget())
        if (QWidget* control = firstControl()) control->setFocus(Qt::ActiveWindowFocusReason);
    // Styles draw the focus only once the keyboard has moved it.
    setAttribute(Qt::WA_KeyboardFocusChange);
}

QWidget* SettingsView::firstControl() const {
    QWidget* page = tabs_->currentWidget();
    for (QWidget* widget = page->nextInFocusChain(); page->isAncestorOf(widget); widget = widget->nextInFocusChain()) {
        if (!(widget->focusPolicy() & Qt::TabFocus) || !widget->isEnabled() || !widget->isVisibleTo(page)) continue;
        // A choice among radio buttons is entered at the chosen one.
        if (auto* radio = qobject_cast<QRadioButton*>(widget); radio && !radio->isChecked()) continue;
        return widget;
    }
    return nullptr;
}

} // namespace Tessivo::ui
