#include "app/ui/LabeledRow.h"

#include <QWidget>

#include <algorithm>

namespace Tessivo::ui {

LabeledRowLayout::LabeledRowLayout(QWidget* title, QWidget* control, QWidget* parent) : QLayout(parent) {
    setContentsMargins(0, 0, 0, 0);
    addWidget(title);
    addWidget(control);
}

LabeledRowLayout::~LabeledRowLayout() {
    while (QLayoutItem* item = takeAt(0)) delete item;
}

void LabeledRowLayout::addItem(QLayoutItem* item) { items_.append(item); }

QLayoutItem* LabeledRowLayout::takeAt(int index) {
    return index >= 0 && index < items_.size() ? items_.takeAt(index) : nullptr;
}

QSize LabeledRowLayout::titleSize() const { return items_.size() > 0 ? items_[0]->sizeHint() : QSize(); }
QSize LabeledRowLayout::controlSize() const { return items_.size() > 1 ? items_[1]->sizeHint() : QSize(); }

bool LabeledRowLayout::fitsOnOneLine(int width) const {
    const QMargins m = contentsMargins();
    return titleSize().width() + gap + controlSize().width() <= width - m.left() - m.right();
}

QSize LabeledRowLayout::sizeHint() const {
    const QMargins m = contentsMargins();
    const QSize title = titleSize();
    const QSize control = controlSize();
    return {title.width() + gap + control.width() + m.left() + m.right(),
            std::max(title.height(), control.height()) + m.top() + m.bottom()};
}

QSize LabeledRowLayout::minimumSize() const {
    // Two lines at the least width; heightForWidth gives the real height.
    const QMargins m = contentsMargins();
    const QSize title = titleSize();
    const QSize control = controlSize();
    return {std::max(title.width(), control.width()) + m.left() + m.right(),
            std::max(title.height(), control.height()) + m.top() + m.bottom()};
}

int LabeledRowLayout::heightForWidth(int width) const {
    const QMargins m = contentsMargins();
    const QSize title = titleSize();
    const QSize control = controlSize();
    const int lines = fitsOnOneLine(width) ? std::max(title.height(), control.height())
                                           : title.height() + gap / 2 + control.height();
    return lines + m.top() + m.bottom();
}

void LabeledRowLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    if (items_.size() < 2) return;
    const QRect area = rect.marginsRemoved(contentsMargins());
    const QSize title = titleSize();
    const QSize control = controlSize();
    if (fitsOnOneLine(rect.width())) {
        const int line = std::max(title.height(), control.height());
        items_[0]->setGeometry(QRect(area.left(), area.top() + (line - title.height()) / 2,
                                     area.width() - control.width() - gap, title.height()));
        items_[1]->setGeometry(QRect(area.right() + 1 - control.width(), area.top() + (line - control.height()) / 2,
                                     control.width(), control.height()));
    } else {
        items_[0]->setGeometry(QRect(area.left(), area.top(), area.width(), title.height()));
        items_[1]->setGeometry(QRect(std::max(area.left(), area.right() + 1 - control.width()),
                                     area.top() + title.height() + gap / 2, std::min(control.width(), area.width()),
                                     control.height()));
    }
}

} // namespace Tessivo::ui
