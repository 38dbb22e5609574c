#include "app/ui/CollapsibleGroup.h"

#include "app/ui/FocusOutline.h"

#include <QToolButton>
#include <QVBoxLayout>

namespace Tessivo::ui {

CollapsibleGroup::CollapsibleGroup(const QString& title, const Defaults::Key<bool>& expanded, QWidget* parent)
    : QWidget(parent), header_(new QToolButton(this)), content_(new QWidget(this)) {
    setObjectName(title);
    header_->setText(title);
    header_->setCheckable(true);
    header_->setAutoRaise(true);
    header_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    header_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // A title, not a pressed button: open and closed groups look alike but
    // for the arrow. Keyboard focus (Tab; Space opens and closes) outlines it.
    header_->setFocusPolicy(Qt::TabFocus);
    outlineKeyboardFocus(*header_, QStringLiteral("2px 0px"));
    QFont bold = header_->font();
    bold.setBold(true);
    header_->setFont(bold);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);
    column->addWidget(header_);
    column->addWidget(content_);
    // The content sits under the title, indented like a disclosure group's.
    auto* inner = new QVBoxLayout(content_);
    inner->setContentsMargins(6, 0, 0, 6);
    inner->setSpacing(6);

    // A click shows the new state at once and stores it; the binding brings
    // changes from elsewhere, with the header's signals blocked.
    connect(header_, &QToolButton::toggled, this, [this](bool on) { showExpanded(on); });
    binding_ = Defaults::bindWidget(
        expanded, header_, &QToolButton::toggled,
        [this](QToolButton& button, bool on) {
            button.setChecked(on);
            showExpanded(on);
        },
        [](const QToolButton& button) { return button.isChecked(); });
    showExpanded(header_->isChecked());
}

bool CollapsibleGroup::isExpanded() const { return header_->isChecked(); }

void CollapsibleGroup::showExpanded(bool expanded) {
    header_->setArrowType(expanded ? Qt::DownArrow : Qt::RightArrow);
    content_->setVisible(expanded);
}

} // namespace Tessivo::ui
