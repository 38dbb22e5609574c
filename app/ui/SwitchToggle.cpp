#include "app/ui/SwitchToggle.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyle>

#include <algorithm>

namespace Tessivo::ui {

namespace {
constexpr int focusMargin = 2; // room for the focus ring around the track
}

SwitchToggle::SwitchToggle(const QString& title, const Defaults::Key<bool>& key, QWidget* parent)
    : Defaults::Toggle(title, key, parent) {
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleName(title);
}

QSize SwitchToggle::sizeHint() const {
    const QFontMetrics metrics = fontMetrics();
    const int titleWidth = text().isEmpty() ? 0 : metrics.horizontalAdvance(text()) + titleGap;
    const int height = std::max(metrics.height(), trackHeight) + 2 * focusMargin;
    return {titleWidth + trackWidth + 2 * focusMargin, height};
}

QRect SwitchToggle::trackRect() const {
    return {width() - trackWidth - focusMargin, (height() - trackHeight) / 2, trackWidth, trackHeight};
}

bool SwitchToggle::hitButton(const QPoint& pos) const { return rect().contains(pos); }

void SwitchToggle::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& colours = palette();
    const bool enabled = isEnabled();
    const QRect track = trackRect();

    if (!text().isEmpty()) {
        const QRect titleRect(0, 0, track.left() - titleGap, height());
        style()->drawItemText(&painter, titleRect, Qt::AlignLeft | Qt::AlignVCenter, colours, enabled, text(),
                              QPalette::WindowText);
    }

    const qreal radius = trackHeight / 2.0;
    QColor fill = isChecked() ? colours.color(QPalette::Highlight) : colours.color(QPalette::Mid);
    if (!enabled) fill.setAlphaF(0.45f);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(track), radius, radius);

    const qreal knob = trackHeight - 4;
    const qreal knobX = isChecked() ? track.right() + 1 - 2 - knob : track.left() + 2;
    QColor knobColour = colours.color(QPalette::Base);
    if (!enabled) knobColour.setAlphaF(0.8f);
    painter.setBrush(knobColour);
    painter.setPen(QPen(colours.color(QPalette::Shadow).lighter(180), 0.5));
    painter.drawEllipse(QRectF(knobX, track.top() + 2, knob, knob));

    if (hasFocus()) {
        QColor ring = colours.color(QPalette::Highlight);
        ring.setAlphaF(0.6f);
        painter.setPen(QPen(ring, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(track).adjusted(-1.5, -1.5, 1.5, 1.5), radius + 1.5, radius + 1.5);
    }
}

} // namespace Tessivo::ui
