#pragma once

// A Boolean setting shown as a switch: its title, then a rounded track whose
// knob sits at the right end, on the accent colour, while the key is on. It
// is the settings store's toggle (it writes its key at once and follows the
// key from anywhere), drawn as a switch rather than a check box. A click
// anywhere on it, or Space while it has the focus, flips it.

// Qt first: moc needs its configuration before it reads the settings headers.
#include <QCheckBox>
#include <QString>

#include "settings-store/qt/Toggle.h"

namespace Tessivo::ui {

class SwitchToggle : public Defaults::Toggle {
public:
    static constexpr int trackWidth = 32;
    static constexpr int trackHeight = 18;
    static constexpr int titleGap = 8;

    SwitchToggle(const QString& title, const Defaults::Key<bool>& key, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
    // Where the track lies (at the right end, centred vertically).
    QRect trackRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
};

} // namespace Tessivo::ui
