#include "app/ui/FocusOutline.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QScrollArea>
#include <QString>

#include <algorithm>
#include <cmath>

namespace Tessivo::ui {

namespace {

constexpr double requiredContrast = 3.0;

double luminance(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    auto linear = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
}

double leastContrast(const QColor& colour, std::initializer_list<QColor> beside) {
    double least = 21.0;
    for (const QColor& other : beside) least = std::min(least, contrastRatio(colour, other));
    return least;
}

QColor mixed(const QColor& from, const QColor& to, double amount) {
    const QColor a = from.toRgb(), b = to.toRgb();
    auto mix = [amount](double x, double y) { return x + (y - x) * amount; };
    return QColor::fromRgbF(float(mix(a.redF(), b.redF())), float(mix(a.greenF(), b.greenF())),
                            float(mix(a.blueF(), b.blueF())));
}

// The outline's colour is worked out from the palette, which a style sheet
// cannot do; and a button with a style sheet keeps the palette it had when
// the sheet was set. So when its parent's palette changes (a new system
// palette reaches the parent before its children) the button takes the
// parent's palette again and the sheet is set anew.
class FocusOutline : public QObject {
public:
    FocusOutline(QAbstractButton& button, const QString& padding)
        : QObject(&button), button_(button), padding_(padding) {
        apply();
        if (QWidget* parent = button.parentWidget()) parent->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == button_.parentWidget() && event->type() == QEvent::PaletteChange) apply();
        return QObject::eventFilter(watched, event);
    }

private:
    void apply() {
        button_.setStyleSheet(QString());
        button_.setPalette(QPalette());
        const QPalette& palette = button_.palette();
        const QColor outline = focusMarkColour(palette.color(QPalette::Highlight),
                                               {palette.color(QPalette::Window), palette.color(QPalette::ButtonText)});
        button_.setStyleSheet(QStringLiteral("* { border: 1px solid transparent; border-radius: 3px; padding: %1; }"
                                             "*:focus { border-color: %2; }"
                                             "*:pressed { background-color: palette(midlight); }")
                                  .arg(padding_, outline.name()));
    }

    QAbstractButton& button_;
    QString padding_;
};

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

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor focusMarkColour(const QColor& preferred, std::initializer_list<QColor> beside) {
    QColor best = preferred;
    double bestContrast = leastContrast(preferred, beside);
    constexpr int steps = 20;
    for (int step = 1; step <= steps && bestContrast < requiredContrast; ++step) {
        for (const QColor& end : {QColor(Qt::black), QColor(Qt::white)}) {
            const QColor candidate = mixed(preferred, end, double(step) / steps);
            const double contrast = leastContrast(candidate, beside);
            if (contrast > bestContrast) {
                best = candidate;
                bestContrast = contrast;
            }
        }
    }
    return best;
}

void outlineKeyboardFocus(QAbstractButton& button, const QString& padding) { new FocusOutline(button, padding); }

void keepFocusInView(QScrollArea& area) { new FocusInView(area); }

} // namespace Tessivo::ui
