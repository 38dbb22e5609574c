#pragma once

// Showing the keyboard focus: on buttons drawn without a frame, and kept in
// view in a scrolling area.

class QAbstractButton;
class QScrollArea;
class QString;

namespace Tessivo::ui {

// A borderless button draws no bevel, so the style has nowhere to show the
// keyboard focus. This gives it an outline in the accent colour while it
// has the focus; a transparent border of the same width holds its place
// otherwise, so nothing moves. `padding` is the style-sheet padding inside
// the outline ("2px 0px").
void outlineKeyboardFocus(QAbstractButton& button, const QString& padding);

// Scrolls `area` so that a control inside it that receives the focus from
// the keyboard (Tab, Shift+Tab, arrows, mnemonics) is in view, however the
// focus came in. Qt does so only for Tab pressed inside the area. A click
// scrolls nothing: the control is where the pointer is.
void keepFocusInView(QScrollArea& area);

} // namespace Tessivo::ui
