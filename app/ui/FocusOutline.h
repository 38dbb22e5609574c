#pragma once

// Keyboard focus on buttons drawn without a frame.

class QAbstractButton;
class QString;

namespace Tessivo::ui {

// A borderless button draws no bevel, so the style has nowhere to show the
// keyboard focus. This gives it an outline in the accent colour while it
// has the focus; a transparent border of the same width holds its place
// otherwise, so nothing moves. `padding` is the style-sheet padding inside
// the outline ("2px 0px").
void outlineKeyboardFocus(QAbstractButton& button, const QString& padding);

} // namespace Tessivo::ui
