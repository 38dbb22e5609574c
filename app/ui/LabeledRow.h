#pragma once

// A titled row of the design panel: the title, a flexible space, then the
// control at the right end. When the row is too narrow for both on one line
// the title takes a line of its own above the control (still at the right
// end), so a title never breaks between its words and the control keeps its
// size.

#include <QLayout>
#include <QList>

namespace Tessivo::ui {

class LabeledRowLayout : public QLayout {
public:
    static constexpr int gap = 6;

    LabeledRowLayout(QWidget* title, QWidget* control, QWidget* parent);
    ~LabeledRowLayout() override;

    // Whether title and control share one line at this width (margins
    // included).
    bool fitsOnOneLine(int width) const;

    void addItem(QLayoutItem* item) override;
    int count() const override { return int(items_.size()); }
    QLayoutItem* itemAt(int index) const override { return items_.value(index); }
    QLayoutItem* takeAt(int index) override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    Qt::Orientations expandingDirections() const override { return Qt::Horizontal; }
    void setGeometry(const QRect& rect) override;

private:
    QSize titleSize() const;
    QSize controlSize() const;

    QList<QLayoutItem*> items_; // title, control
};

} // namespace Tessivo::ui
