#include "app/ui/FocusOutline.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QScrollArea>
#include <QString>

namespace Tessivo::ui {

namespace {

class FocusInView : public QObject {
public:
    explicit FocusInView(QScrollArea& area) : QObject(&area), area_(area) { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn && cameFromTheKeyboard(static_cast<QFocusEvent*>(event)->reason())) {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget && area_.widget() && area_.widget()->isAncestorOf(widget))
                area_.ensureWidgetVisible(widget, 0, margin);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    // A click gives the focus to what is under the pointer (scrolling would
    // move it away mid-click); a window that becomes active again, or a menu
    // that closes, gives it back where it was, which the user may have
    // scrolled away from on purpose.
    static bool cameFromTheKeyboard(Qt::FocusReason reason) {
        return reason != Qt::MouseFocusReason && reason != Qt::ActiveWindowFocusReason &&
               reason != Qt::PopupFocusReason;
    }

    // As far from the edge as Qt keeps what Tab reaches inside the area.
    static constexpr int margin = 50;
    QScrollArea& area_;
};

} // namespace

void outlineKeyboardFocus(QAbstractButton& button, const QString& padding) {
    button.setStyleSheet(QStringLiteral("* { border: 1px solid transparent; border-radius: 3px; padding: %1; }"
                                        "*:focus { border-color: palette(highlight); }"
                                        "*:pressed { background-color: palette(midlight); }")
                             .arg(padding));
}

void keepFocusInView(QScrollArea& area) { new FocusInView(area); }

} // namespace Tessivo::ui
