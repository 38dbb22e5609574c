#include "app/ui/SwitchToggle.h"

#include "app/ui/FocusOutline.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyle>

#include <algorithm>

namespace Tessivo::ui {

namespace {
// Room for the focus ring around the track: 2 points of ring, 1 point of
// window between ring and track, so that the ring stands out from the
// window on both sides whatever the track's colour.
constexpr int focusRingWidth = 2;
constexpr int focusMargin = focusRingWidth + 1;
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
        const QColor ring = focusMarkColour(colours.color(QPalette::Highlight), {colours.color(QPalette::Window)});
        painter.setPen(QPen(ring, focusRingWidth));
        painter.setBrush(Qt::NoBrush);
        const qreal offset = focusMargin - focusRingWidth / 2.0; // the pen's middle
        painter.drawRoundedRect(QRectF(track).adjusted(-offset, -offset, offset, offset), radius + offset,
                                radius + offset);
    }
}

} // namespace Tessivo::ui
